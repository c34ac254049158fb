// The program without an X server it can use, and when the one it has goes away.

#include "support/Disc.h"
#include "support/SocketInTheWay.h"

#include <gtest/gtest.h>

using namespace support;

namespace
{
/** One line on standard error, naming what was tried, and status 1: no crash, no window,
    and no waiting. */
void expectOneLineAndStatusOne (const Ending& ending, const std::string& named)
{
    EXPECT_EQ (ending.status, std::optional<int> (1)) << "signal " << ending.signal << (ending.dumpedCore ? " (core)" : "");
    EXPECT_FALSE (ending.dumpedCore);
    EXPECT_EQ (std::count (ending.errors.begin(), ending.errors.end(), '\n'), 1) << ending.errors;
    EXPECT_TRUE (!ending.errors.empty() && ending.errors.back() == '\n') << ending.errors;
    EXPECT_NE (ending.errors.find (named), std::string::npos) << ending.errors;
}

std::vector<std::string> plainEnvironment()
{
    return { "PATH=/usr/bin:/bin", "HOME=" + juce::SystemStats::getEnvironmentVariable ("HOME", "/").toStdString() };
}
} // namespace

// No DISPLAY, a display nobody serves, one whose server never answers, and one the framework
// cannot draw on: an 8-bit screen has no visual of the 16, 24 or 32 bits the framework draws
// with.
TEST (Display, WithoutADisplayItCanUseTheProgramSaysSoAndEndsWithStatusOne)
{
    for (const auto* display : { "", ":987" })
    {
        SCOPED_TRACE (*display != '\0' ? display : "no DISPLAY");
        auto env = plainEnvironment();
        if (*display != '\0')
            env.push_back (std::string ("DISPLAY=") + display);
        expectOneLineAndStatusOne (runToEnd ({ programPath() }, env, 10s), *display != '\0' ? display : "DISPLAY");
    }

    {
        SCOPED_TRACE ("a server that takes the connection and never answers");
        int number = 700;
        while (juce::File ("/tmp/.X11-unix/X" + juce::String (number)).exists() || juce::File ("/tmp/.X" + juce::String (number) + "-lock").exists())
            ++number;
        juce::File ("/tmp/.X11-unix").createDirectory();
        const SocketInTheWay silent (juce::File ("/tmp/.X11-unix/X" + juce::String (number)));
        const auto display = ":" + std::to_string (number);
        auto env = plainEnvironment();
        env.push_back ("DISPLAY=" + display);
        const auto ending = runToEnd ({ programPath() }, env, 60s);
        expectOneLineAndStatusOne (ending, display);
        EXPECT_NE (ending.errors.find ("does not answer"), std::string::npos) << ending.errors;
        EXPECT_GE (silent.connections(), 1);
    }

    SCOPED_TRACE ("an 8-bit screen");
    const XServer eightBits (1024, 768, 8);
    auto env = plainEnvironment();
    env.push_back ("DISPLAY=" + eightBits.displayName());
    // The ceiling only ends a program that would run on for ever.
    const auto ending = runToEnd ({ programPath() }, env, 30s);
    expectOneLineAndStatusOne (ending, eightBits.displayName());
    EXPECT_NE (ending.errors.find ("visual"), std::string::npos) << ending.errors;
}

TEST (Display, LosingTheXServerEndsTheProgramWithOneLineAndStatusOne)
{
    Disc disc;
    const auto errors = disc.workingFolder().getChildFile ("errors.txt");
    auto x = std::make_unique<XServer>();
    Process app (*x, disc.program().getFullPathName().toStdString(), {}, disc.workingFolder().getFullPathName().toStdString(),
                 disc.environment(), errors.getFullPathName().toStdString());
    ASSERT_TRUE (waitForWindow (*x, app.pid()).has_value());

    x.reset(); // the server goes away under the running program
    EXPECT_EQ (app.waitForExit (30s), std::optional<int> (1)) << app.state();
    const auto said = errors.loadFileAsString();
    EXPECT_EQ (said, "OrvalisBrelvan: the connection to the X server was lost\n");
}
