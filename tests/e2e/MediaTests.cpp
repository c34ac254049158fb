// The program on media as desktops mount them, started the ways people start it.

#include "Session.h"
#include "launching/OpeningRule.h"

#include <sys/mount.h>
#include <unistd.h>

using namespace e2e;

namespace
{
juce::MemoryBlock bytesOf (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

juce::MemoryBlock textBlock (const juce::String& text)
{
    return { text.toRawUTF8(), text.getNumBytesAsUTF8() };
}

const auto scriptStandIn = Disc::scriptStandIn();

} // namespace

TEST (Media, APackWithTheExecuteBitHoldingACommandIsOpenedNeverRun)
{
    Disc disc;
    const auto marker = disc.root().getParentDirectory().getChildFile ("pack-ran");
    disc.putInstaller ("Kestrune/Kestrune.tpk", textBlock ("touch '" + marker.getFullPathName() + "'\n"), 0555);
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());

    ASSERT_NO_FATAL_FAILURE (s.install (3));
    EXPECT_EQ (disc.log (2), juce::StringArray ("open args=1", disc.root().getChildFile ("Kestrune/Kestrune.tpk").getFullPathName()));
    std::this_thread::sleep_for (300ms);
    EXPECT_FALSE (marker.exists()) << "the pack ran as a shell script";
    s.closeAndExpectStatusZero();
}

// Mastered without Rock Ridge, or as UDF, a disc shows its programs without execute permission.
TEST (Media, ProgramsWithoutExecutePermissionStartThroughTheirLoaderAndInterpreter)
{
    Disc disc;
    disc.putInstaller ("Orvalis/Orvalis.exe", bytesOf (juce::File (BRELVAN_STAND_IN)), 0444);
    disc.putInstaller ("Tessaly/Tessaly.exe", scriptStandIn, 0444);
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());

    ASSERT_NO_FATAL_FAILURE (s.install (0));
    ASSERT_NO_FATAL_FAILURE (s.install (1));
    EXPECT_EQ (disc.runs (2), juce::StringArray ("run Orvalis.exe args=0", "run Tessaly.exe args=0"));
    s.closeAndExpectStatusZero();
}

TEST (Media, OnANoexecMountNoInstallerRuns)
{
    Disc disc;
    std::vector<std::unique_ptr<NoexecMount>> mounts;
    for (auto* item : { "Orvalis", "Tessaly", "Marrowby" })
    {
        mounts.push_back (std::make_unique<NoexecMount> (disc.root().getChildFile (item)));
        if (!mounts.back()->isMounted())
            GTEST_SKIP() << "mounting a noexec tmpfs was refused here (it needs root)";
    }
    disc.putInstaller ("Orvalis/Orvalis.exe", bytesOf (juce::File (BRELVAN_STAND_IN)), 0555);
    disc.putInstaller ("Tessaly/Tessaly.exe", scriptStandIn, 0555);
    disc.putInstaller ("Marrowby/Marrowby.exe", bytesOf (juce::File (BRELVAN_STAND_IN)), 0444);
    ASSERT_TRUE (OpeningRule::isOnNoexecMount (disc.root().getChildFile ("Tessaly/Tessaly.exe")));

    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    for (int item : { 0, 1, 2 })
        ASSERT_NO_FATAL_FAILURE (s.install (item));
    std::this_thread::sleep_for (300ms);
    EXPECT_TRUE (disc.log (0, 0ms).isEmpty()) << disc.log().joinIntoString ("\n");
    EXPECT_TRUE (s.app->isRunning());
    s.closeAndExpectStatusZero();
}

TEST (Media, InstallFindsTheDiscHoweverTheProgramWasStarted)
{
    Disc disc;
    const auto elsewhere = disc.workingFolder().getChildFile ("shortcuts");
    elsewhere.createDirectory();
    const auto link = elsewhere.getChildFile ("Brelvan Menu");
    ASSERT_TRUE (disc.program().createSymbolicLink (link, true));
    const auto loader = OpeningRule::elfInterpreter (disc.program()).toStdString();
    ASSERT_FALSE (loader.empty());
    const auto home = juce::SystemStats::getEnvironmentVariable ("HOME", "/").toStdString();
    const auto cwd = disc.workingFolder().getFullPathName().toStdString();

    const std::pair<const char*, Session::Start> ways[] = {
        { "through a link elsewhere", [&] (const XServer& x)
          { return disc.startAs (x, link.getFullPathName().toStdString(), {}, cwd); } },
        { "by bare name through PATH, from $HOME", [&] (const XServer& x)
          { return disc.startAs (x, "/usr/bin/env", { "PATH=" + disc.root().getFullPathName().toStdString() + ":" + disc.searchPath(), "OrvalisBrelvan" }, home); } },
        { "through the dynamic loader", [&] (const XServer& x)
          { return disc.startAs (x, loader, { disc.program().getFullPathName().toStdString() }, cwd); } },
        { "through the loader, by a path relative to the working folder", [&] (const XServer& x)
          { return disc.startAs (x, loader, { "disc/OrvalisBrelvan" }, disc.root().getParentDirectory().getFullPathName().toStdString()); } },
    };

    int expected = 0;
    for (const auto& [how, start] : ways)
    {
        Session s (start);
        ASSERT_TRUE (s.window.has_value()) << how;
        ASSERT_NO_FATAL_FAILURE (s.install (1));
        ++expected;
        const auto log = disc.runs (expected);
        EXPECT_EQ (log.size(), expected) << how;
        EXPECT_EQ (log[log.size() - 1], "run Tessaly.exe args=0") << how;
        s.closeAndExpectStatusZero();
    }
}
