#include "launching/DetachedProcess.h"
#include "support/InProcess.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace support;

TEST (DetachedProcess, RunsTheProgramWithItsArgumentsUntouched)
{
    const juce::TemporaryFile output;
    // Bytes that are no UTF-8 among them: an argument is passed as bytes, never as text.
    const std::string tricky ("a b \"c\" 'd' $(touch injected) `touch injected` ; touch injected & \xc3\xa9 caf\xe9 \xff\xfe\xc0\x80\nline");

    const std::string script ("printf '%s\\n' \"$1\" > \"$2\"");
    ASSERT_TRUE (DetachedProcess::start ({ "/bin/sh", "-c", script, "sh", tricky, output.getFile().getFullPathName().toStdString() }));

    juce::MemoryBlock written;
    const auto complete = [&]
    { return output.getFile().loadFileAsData (written) && written.getSize() > 0 && written[written.getSize() - 1] == '\n'; };
    for (int i = 0; i < 100 && !complete(); ++i)
        juce::Thread::sleep (20);
    EXPECT_EQ (std::string (static_cast<const char*> (written.getData()), written.getSize()), tricky + "\n");
    EXPECT_FALSE (juce::File::getCurrentWorkingDirectory().getChildFile ("injected").exists());

    EXPECT_FALSE (DetachedProcess::start ({ "/nonexistent/program" }));
    EXPECT_FALSE (DetachedProcess::start ({}));
    EXPECT_FALSE (DetachedProcess::start ({ "/bin/echo", std::string ("cut\0short", 9) }));
}

TEST (DetachedProcess, StartsTheProgramInASessionOfItsOwnWithOnlyTheStandardStreams)
{
    // A descriptor of ours without close-on-exec, which must not reach the program.
    const auto leaked = open ("/dev/null", O_RDONLY);
    ASSERT_GE (leaked, 3);
    const juce::String marker ("7.3219");
    ASSERT_TRUE (DetachedProcess::start ({ "sleep", marker.toStdString() }));
    close (leaked);

    juce::File process;
    for (int i = 0; i < 100 && process == juce::File(); ++i)
    {
        for (const auto& entry : juce::RangedDirectoryIterator (juce::File ("/proc"), false, "*", juce::File::findDirectories))
        {
            juce::MemoryBlock cmdline;
            entry.getFile().getChildFile ("cmdline").loadFileAsData (cmdline);
            if (cmdline.toString() == juce::String ("sleep") && cmdline.getSize() > 6 && juce::String (static_cast<const char*> (cmdline.getData()) + 6) == marker)
                process = entry.getFile();
        }
        juce::Thread::sleep (10);
    }
    ASSERT_NE (process, juce::File());

    juce::StringArray descriptors;
    for (const auto& fd : juce::RangedDirectoryIterator (process.getChildFile ("fd"), false, "*", juce::File::findFilesAndDirectories))
        descriptors.add (fd.getFile().getFileName());
    descriptors.sort (false);
    EXPECT_EQ (descriptors.joinIntoString (" "), "0 1 2");

    const auto pid = process.getFileName().getIntValue();
    EXPECT_NE (getsid (pid), getsid (0));
    kill (pid, SIGKILL);
}

TEST (DetachedProcess, LeavesNoZombieBehind)
{
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE (DetachedProcess::start ({ "true" }));
    juce::Thread::sleep (200);

    // No child of this process is left unreaped.
    EXPECT_EQ (support::zombieChildren (getpid()), 0);
}

TEST (DetachedProcess, OpensExecutablesDirectlyAndEverythingElseWithTheDesktopOpener)
{
    RecordingOpener opener;
    const juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto pack = folder.getFile().getChildFile ("pack with space $(x).tpk");
    pack.replaceWithText ("content");

    EXPECT_TRUE (DetachedProcess::openFile (pack.getFullPathName().toStdString()));
    EXPECT_EQ (opener.calls(), juce::StringArray (pack.getFullPathName()));

    opener.forget();
    EXPECT_TRUE (DetachedProcess::openAddress ("http://orvalis.example/a b?c=1&d='2'"));
    EXPECT_EQ (opener.calls(), juce::StringArray ("http://orvalis.example/a b?c=1&d='2'"));

    EXPECT_FALSE (DetachedProcess::openFile (folder.getFile().getChildFile ("missing.exe").getFullPathName().toStdString()));
    folder.getFile().deleteRecursively();
}

TEST (DetachedProcess, FindsBareNamesOnlyInAbsolutePathEntries)
{
    const juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto local = folder.getFile().getChildFile ("brelvan-probe");
    local.replaceWithText ("#!/bin/sh\n");
    ASSERT_TRUE (local.setExecutePermission (true));
    const auto oldPath = juce::SystemStats::getEnvironmentVariable ("PATH", {});
    const auto oldFolder = juce::File::getCurrentWorkingDirectory();
    folder.getFile().setAsCurrentWorkingDirectory();

    setenv ("PATH", ("::.:" + folder.getFile().getFileName() + ":/bin").toRawUTF8(), 1);
    EXPECT_EQ (DetachedProcess::resolveProgram ("brelvan-probe"), "") << "a program in the working folder was picked up";
    EXPECT_EQ (DetachedProcess::resolveProgram ("sh"), "/bin/sh");
    setenv ("PATH", (folder.getFile().getFullPathName() + ":/bin").toRawUTF8(), 1);
    EXPECT_EQ (DetachedProcess::resolveProgram ("brelvan-probe"), local.getFullPathName().toStdString());
    EXPECT_EQ (DetachedProcess::resolveProgram ("/x/y"), "/x/y");

    setenv ("PATH", oldPath.toRawUTF8(), 1);
    oldFolder.setAsCurrentWorkingDirectory();
}
