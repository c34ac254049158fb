// The program on media as desktops mount them, started the ways people start it.

#include "launching/OpeningRule.h"
#include "support/Session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace support;

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
    ASSERT_TRUE (OpeningRule::isOnNoexecMount (disc.root().getChildFile ("Tessaly/Tessaly.exe").getFullPathName().toStdString()));

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
    // Where a program that believed its name would look.
    const auto decoy = elsewhere.getChildFile ("Tessaly/Tessaly.exe");
    decoy.getParentDirectory().createDirectory();
    decoy.replaceWithText ("#!/bin/sh\necho \"the decoy ran\" >> \"$BRELVAN_TEST_LOG\"\n");
    decoy.setExecutePermission (true);
    const auto loader = OpeningRule::elfInterpreter (disc.program().getFullPathName().toStdString());
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
        // The name a program is given may be anything at all; where it lies is the kernel's to say.
        { "through the loader, told to go by the name of a folder elsewhere", [&] (const XServer& x)
          { return disc.startAs (x, loader, { "--argv0", elsewhere.getChildFile ("OrvalisBrelvan").getFullPathName().toStdString(), disc.program().getFullPathName().toStdString() }, cwd); } },
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

// A disc mounted under a label in Latin-1, or in any bytes at all, gives a folder whose name
// is no text. Install still finds each installer beside the program, and nothing where a
// program that cut the name as text would have looked.
TEST (Media, AFolderNamedInBytesThatAreNoTextStillFindsItsInstallers)
{
    for (const auto& name : { std::string ("caf\xe9"), std::string ("\xff\xfe\xc0\x80"), std::string ("two\nlines"),
                              std::string ("\xe6\x97\xa5 caf\xc3\xa9 \x80") })
    {
        SCOPED_TRACE ("folder named in the bytes " + juce::String::toHexString (name.data(), static_cast<int> (name.size())).toStdString());
        Disc disc;
        const auto base = disc.root().getParentDirectory().getFullPathName().toStdString();
        const auto root = base + "/" + name;
        ASSERT_EQ (rename (disc.root().getFullPathName().toRawUTF8(), root.c_str()), 0);
        for (const auto* decoy : { "/O/Orvalis/Orvalis.exe", "/O/Tessaly/Tessaly.exe" })
        {
            const auto path = root + decoy;
            ASSERT_EQ (system (("mkdir -p \"$(dirname '" + path + "')\"").c_str()), 0);
            const std::string script = "#!/bin/sh\necho \"a decoy ran\" >> \"$BRELVAN_TEST_LOG\"\n";
            auto* file = std::fopen (path.c_str(), "w");
            ASSERT_NE (file, nullptr);
            std::fputs (script.c_str(), file);
            std::fclose (file);
            chmod (path.c_str(), 0755);
        }

        {
            Session s ([&] (const XServer& x)
                       { return std::make_unique<Process> (x, root + "/OrvalisBrelvan", std::vector<std::string>(),
                                                           disc.workingFolder().getFullPathName().toStdString(), disc.environment()); });
            ASSERT_TRUE (s.window.has_value());
            ASSERT_NO_FATAL_FAILURE (s.install (0));
            ASSERT_NO_FATAL_FAILURE (s.install (1));
            EXPECT_EQ (disc.runs (2), juce::StringArray ("run Orvalis.exe args=0", "run Tessaly.exe args=0"));
            s.closeAndExpectStatusZero();
        }
        // Back under its own name, where the disc's clean-up finds it.
        ASSERT_EQ (system (("rm -rf '" + root + "/O'").c_str()), 0);
        ASSERT_EQ (rename (root.c_str(), disc.root().getFullPathName().toRawUTF8()), 0);
    }
}

// A socket, a device or a pipe under an installer's name is no file to open and no folder to
// show: Install does nothing at all, as for a missing installer.
TEST (Media, WhatIsNeitherAFileNorAFolderIsNeverOpened)
{
    Disc disc;
    const auto pathOf = [&disc] (const char* relative)
    {
        const auto file = disc.root().getChildFile (relative);
        file.deleteFile();
        return file.getFullPathName().toStdString();
    };

    const auto socketPath = pathOf ("Orvalis/Orvalis.exe");
    const int listening = socket (AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT (socketPath.size(), sizeof (address.sun_path));
    std::strncpy (address.sun_path, socketPath.c_str(), sizeof (address.sun_path) - 1);
    ASSERT_EQ (bind (listening, reinterpret_cast<const sockaddr*> (&address), sizeof (address)), 0);
    const bool devices = mknod (pathOf ("Tessaly/Tessaly.exe").c_str(), S_IFBLK | 0555, makedev (7, 0)) == 0 && mknod (pathOf ("Kestrune/Kestrune.tpk").c_str(), S_IFCHR | 0444, makedev (1, 3)) == 0;
    ASSERT_EQ (mkfifo (pathOf ("Marrowby/Marrowby.exe").c_str(), 0555), 0);

    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    for (int item = 0; item < 4; ++item)
        ASSERT_NO_FATAL_FAILURE (s.install (item));
    std::this_thread::sleep_for (300ms);
    EXPECT_TRUE (disc.log (0, 0ms).isEmpty()) << disc.log().joinIntoString ("\n");
    s.closeAndExpectStatusZero();
    close (listening);
    if (!devices)
        GTEST_SKIP() << "making device nodes was refused here (it needs root); the socket and the pipe were checked";
}
