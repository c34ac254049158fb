// The Linux program as the disc carries it: a first stage with the menu packed behind it,
// which it runs from memory. (A checking build ships its program unpacked: these tests skip.)

#include "platform/linux/PackedProgram.h"
#include "support/Session.h"
#include "tools/disc/PackedProgramFile.h"

#include <gtest/gtest.h>

using namespace support;

namespace
{
bool isPacked (const juce::File& program)
{
    juce::MemoryBlock bytes;
    return program.loadFileAsData (bytes) && PackedProgramFile::isPacked (bytes);
}

juce::String procFile (pid_t pid, const std::string& name)
{
    return juce::File ("/proc/" + juce::String (pid) + "/" + name).loadFileAsString();
}

/** An installer that records whether the first stage's word about the menu's file reached it. */
juce::MemoryBlock standInThatShowsTheStagesWord()
{
    const juce::String script = "#!/bin/sh\nprintf 'run %s stage=%s pid=%s\\n' \"${0##*/}\" \"${BRELVAN_PROGRAM_FILE-unset}\" \"$$\" >> \"$BRELVAN_TEST_LOG\"\n";
    return { script.toRawUTF8(), script.getNumBytesAsUTF8() };
}
} // namespace

// The menu runs from memory under its own name, nothing of it mapped from the disc. The word
// on where its file lies comes from the stage alone, whatever the environment said before,
// and goes no further than the menu.
TEST (ShippedProgram, RunsFromMemoryAsItselfAndKeepsTheStagesWordToItself)
{
    Disc disc;
    if (!isPacked (disc.program()))
        GTEST_SKIP() << "this build ships its program unpacked";
    disc.putInstaller ("Tessaly/Tessaly.exe", standInThatShowsTheStagesWord(), 0755);
    // Where a menu that believed its environment would look.
    const auto decoy = disc.workingFolder().getChildFile ("decoy");
    decoy.getChildFile ("Tessaly").createDirectory();
    decoy.getChildFile ("Tessaly/Tessaly.exe").replaceWithText ("#!/bin/sh\necho \"the decoy ran\" >> \"$BRELVAN_TEST_LOG\"\n");
    decoy.getChildFile ("Tessaly/Tessaly.exe").setExecutePermission (true);

    auto environment = disc.environment();
    environment[PackedProgram::programFileVariable] = decoy.getChildFile ("OrvalisBrelvan").getFullPathName().toStdString();
    Session s ([&] (const XServer& x)
               { return std::make_unique<Process> (x, disc.program().getFullPathName().toStdString(), std::vector<std::string>{},
                                                   disc.workingFolder().getFullPathName().toStdString(), environment); });
    ASSERT_TRUE (s.window.has_value());
    const auto pid = s.app->pid();
    EXPECT_EQ (procFile (pid, "comm").trim(), "OrvalisBrelvan") << "the process goes by another name";
    EXPECT_FALSE (procFile (pid, "maps").contains (disc.root().getFullPathName())) << "the menu runs from the disc";

    ASSERT_NO_FATAL_FAILURE (s.install (1));
    EXPECT_EQ (disc.runs (1), juce::StringArray ("run Tessaly.exe stage=unset"));
    s.closeAndExpectStatusZero();
}

// A disc file cut short, or changed in the packed menu, is told apart from the menu: one line
// and the shell's status for a program that cannot run, and nothing half unpacked runs.
TEST (ShippedProgram, ADamagedFileSaysSoInOneLineAndRunsNothing)
{
    const Disc disc;
    juce::MemoryBlock whole;
    ASSERT_TRUE (disc.program().loadFileAsData (whole));
    if (!isPacked (disc.program()))
        GTEST_SKIP() << "this build ships its program unpacked";

    const auto stageBytes = PackedProgram::headerOffset (static_cast<const unsigned char*> (whole.getData()), whole.getSize());
    const std::pair<const char*, std::function<void (juce::MemoryBlock&)>> damages[] = {
        { "cut in the packed menu", [] (juce::MemoryBlock& file)
          { file.setSize (file.getSize() / 2); } },
        { "cut right behind the stage", [stageBytes] (juce::MemoryBlock& file)
          { file.setSize (stageBytes); } },
        { "a byte of the packed menu changed", [] (juce::MemoryBlock& file)
          { static_cast<char*> (file.getData())[file.getSize() * 3 / 4] ^= 0x5a; } },
        { "a header that claims a larger menu", [stageBytes] (juce::MemoryBlock& file)
          { static_cast<char*> (file.getData())[stageBytes + 22] = 0x7f; } },
    };
    for (const auto& [what, damage] : damages)
    {
        auto damaged = whole;
        damage (damaged);
        ASSERT_TRUE (disc.program().replaceWithData (damaged.getData(), damaged.getSize()));
        ASSERT_TRUE (disc.program().setExecutePermission (true));
        const auto ending = runToEnd ({ disc.program().getFullPathName().toStdString() }, { "DISPLAY=:9999", "PATH=/usr/bin:/bin" }, 30s);
        EXPECT_EQ (ending.status, std::optional<int> (127)) << what << ": " << ending.errors;
        EXPECT_TRUE (ending.errors.rfind ("OrvalisBrelvan: ", 0) == 0 && std::count (ending.errors.begin(), ending.errors.end(), '\n') == 1)
            << what << ": " << ending.errors;
    }
}

// Where the system runs no file from memory (vm.memfd_noexec, here in a process namespace of
// the test's own), the menu still starts, through its dynamic loader, under its own name.
TEST (ShippedProgram, StartsWhereTheSystemRunsNoFileFromMemory)
{
    Disc disc;
    if (!isPacked (disc.program()))
        GTEST_SKIP() << "this build ships its program unpacked";
    if (geteuid() != 0 || !juce::File ("/proc/sys/vm/memfd_noexec").existsAsFile())
        GTEST_SKIP() << "needs root and a kernel that can refuse to run memory files";

    // The menu's window names its process as the namespace numbers it: found by its title.
    const auto program = disc.program().getFullPathName().toStdString();
    Session s ([&] (const XServer& x)
               { return disc.startAs (x, "/usr/bin/unshare", { "--pid", "--fork", "--kill-child", "/bin/sh", "-c", "echo 2 > /proc/sys/vm/memfd_noexec && exec \"$0\"", program },
                                      disc.workingFolder().getFullPathName().toStdString()); },
               1024, 768, SessionStyle{ true });
    ASSERT_TRUE (s.window.has_value());
    const auto menu = procFile (s.app->pid(), "task/" + juce::String (s.app->pid()).toStdString() + "/children").trim().getIntValue();
    EXPECT_EQ (procFile (menu, "comm").trim(), "OrvalisBrelvan");
    EXPECT_TRUE (juce::File ("/proc/" + juce::String (menu) + "/exe").getLinkedTarget().getFileName().startsWith ("ld-linux")) << "the menu ran from memory all the same";
    ASSERT_NO_FATAL_FAILURE (s.install (1));
    EXPECT_EQ (disc.runs (1), juce::StringArray ("run Tessaly.exe args=0"));
    s.closeAndExpectStatusZero();
}
