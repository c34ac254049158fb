// The program without an X server, and when the one it has goes away.

#include "Disc.h"

#include <gtest/gtest.h>

using namespace e2e;

TEST (Display, WithoutADisplayTheProgramSaysSoAndEndsWithStatusOne)
{
    std::vector<std::string> environment{ "PATH=/usr/bin:/bin", "HOME=" + juce::SystemStats::getEnvironmentVariable ("HOME", "/").toStdString() };
    for (const auto* display : { "", ":987" })
    {
        auto env = environment;
        if (*display != '\0')
            env.push_back (std::string ("DISPLAY=") + display);

        const auto ending = runToEnd ({ programPath() }, env, 10s);
        EXPECT_EQ (ending.status, std::optional<int> (1)) << "signal " << ending.signal << (ending.dumpedCore ? " (core)" : "");
        EXPECT_FALSE (ending.dumpedCore);
        EXPECT_EQ (std::count (ending.errors.begin(), ending.errors.end(), '\n'), 1) << ending.errors;
        EXPECT_TRUE (ending.errors.back() == '\n') << ending.errors;
        EXPECT_NE (ending.errors.find (*display != '\0' ? display : "DISPLAY"), std::string::npos) << ending.errors;
    }
}

TEST (Display, LosingTheXServerEndsTheProgramWithoutACrash)
{
    Disc disc;
    auto x = std::make_unique<XServer>();
    auto app = disc.start (*x);
    ASSERT_TRUE (waitForWindow (*x, app->pid()).has_value());

    x.reset(); // the server goes away under the running program
    const auto status = app->waitForExit (10s);
    ASSERT_TRUE (status.has_value()) << app->state();
    EXPECT_NE (*status, 0);
}
