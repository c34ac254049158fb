#include "launching/DetachedProcess.h"
#include "launching/OpeningRule.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

namespace
{
const std::string opener (OpeningRule::desktopOpener);
using Command = std::vector<std::string>;

std::string path (const juce::File& f)
{
    return f.getFullPathName().toStdString();
}

Command commandFor (const juce::File& f)
{
    return OpeningRule::commandFor (path (f));
}

/** A folder of test files, on a tmpfs mounted noexec when asked (and allowed). */
class Medium
{
public:
    explicit Medium (bool noexec)
    {
        folder.createDirectory();
        if (noexec)
            mount = std::make_unique<support::NoexecMount> (folder);
    }

    ~Medium()
    {
        mount.reset();
        folder.deleteRecursively();
    }

    bool isNoexec() const { return mount != nullptr && mount->isMounted(); }

    juce::File add (const juce::String& name, const juce::MemoryBlock& content, mode_t mode) const
    {
        const auto file = folder.getChildFile (name);
        if (content.isEmpty())
            file.create(); // replaceWithData would delete it
        else
            file.replaceWithData (content.getData(), content.getSize());
        chmod (file.getFullPathName().toRawUTF8(), mode);
        return file;
    }

    juce::File add (const juce::String& name, const juce::String& text, mode_t mode) const
    {
        return add (name, juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8()), mode);
    }

    juce::File root() const { return folder; }

private:
    juce::File folder{ juce::File::createTempFile ("medium") };
    std::unique_ptr<support::NoexecMount> mount;
};

juce::MemoryBlock contentOf (const juce::File& f)
{
    juce::MemoryBlock data;
    f.loadFileAsData (data);
    return data;
}

/** The loader this machine's own programs name. */
std::string systemLoader()
{
    return OpeningRule::elfInterpreter ("/bin/true");
}

enum class Permission
{
    executable,
    noExecuteBit,
    noexecMount
};

struct Situation
{
    Permission permission;
    mode_t mode;
    const char* name;
};

constexpr Situation situations[] = {
    { Permission::executable, 0555, "mode 555" },
    { Permission::noExecuteBit, 0444, "mode 444" },
    { Permission::noexecMount, 0555, "mode 555 on a noexec mount" },
};
} // namespace

TEST (OpeningRule, EveryKindOfFileUnderEveryPermission)
{
    ASSERT_EQ (systemLoader().rfind ("/", 0), 0u) << "no loader named in /bin/true";

    for (const auto& situation : situations)
    {
        Medium medium (situation.permission == Permission::noexecMount);
        if (situation.permission == Permission::noexecMount && !medium.isNoexec())
        {
            GTEST_SKIP() << "mounting a noexec tmpfs was refused (needs root); the other permissions were checked";
        }

        const auto elf = medium.add ("Orvalis.exe", contentOf (juce::File ("/bin/true")), situation.mode);
        const auto script = medium.add ("Tessaly.exe", "#!/bin/sh\necho hello\n", situation.mode);
        const auto withArgument = medium.add ("tool", "#!  /usr/bin/env   sh -e \t\r \nexit 0\n", situation.mode);
        const auto pack = medium.add ("Kestrune.tpk", "pack", situation.mode);
        const auto windowsProgram = medium.add ("Setup.exe", "MZ\x90", situation.mode);
        const auto empty = medium.add ("empty", juce::MemoryBlock(), situation.mode);
        const auto shellLine = medium.add ("bare.tpk", "touch /tmp/brelvan-must-not-exist\n", situation.mode);
        const auto folder = medium.root().getChildFile ("Marrowby");
        folder.createDirectory();

        SCOPED_TRACE (situation.name);

        // Whatever their bits, these are documents for the desktop to open.
        for (const auto& document : { pack, windowsProgram, empty, shellLine, folder })
            EXPECT_EQ (commandFor (document), (Command{ opener, path (document) })) << path (document);

        switch (situation.permission)
        {
            case Permission::executable:
                EXPECT_EQ (commandFor (elf), Command{ path (elf) });
                EXPECT_EQ (commandFor (script), Command{ path (script) });
                EXPECT_EQ (commandFor (withArgument), Command{ path (withArgument) });
                break;
            case Permission::noExecuteBit:
                EXPECT_EQ (commandFor (elf), (Command{ systemLoader(), path (elf) }));
                EXPECT_EQ (commandFor (script), (Command{ "/bin/sh", path (script) }));
                // One argument, as the kernel passes it: the rest of the line, blanks trimmed at both ends.
                EXPECT_EQ (commandFor (withArgument), (Command{ "/usr/bin/env", "sh -e \t\r", path (withArgument) }));
                break;
            case Permission::noexecMount:
                EXPECT_TRUE (commandFor (elf).empty());
                EXPECT_TRUE (commandFor (script).empty());
                EXPECT_TRUE (commandFor (withArgument).empty());
                break;
        }
    }
}

TEST (OpeningRule, ProgramsThatCannotStartHereStartNothing)
{
    Medium medium (false);
    EXPECT_TRUE (commandFor (medium.root().getChildFile ("missing.exe")).empty());

    // Interpreters that are missing, relative, or no program at all.
    for (const auto* line : { "#!/nonexistent/sh\n", "#!sh\n", "#!\n", "#!   \n", "#!/etc/passwd\n" })
        EXPECT_TRUE (commandFor (medium.add ("script", line, 0444)).empty()) << line;

    // An interpreter named in bytes that are no UTF-8 (a lead byte with no continuation).
    const char badLine[] = "#!/bin/s\xe1\n";
    EXPECT_TRUE (commandFor (medium.add ("bytes", juce::MemoryBlock (badLine, sizeof (badLine) - 1), 0444)).empty());

    // A "#!" line longer than the kernel reads.
    EXPECT_TRUE (commandFor (medium.add ("long", "#!/bin/sh " + juce::String::repeatedString ("x", 300) + "\n", 0444)).empty());

    // A statically linked program names no loader; one naming a missing loader has none either.
    auto noLoader = contentOf (juce::File ("/bin/true"));
    const std::string bytes (static_cast<const char*> (noLoader.getData()), noLoader.getSize());
    const auto at = bytes.find (systemLoader());
    ASSERT_NE (at, std::string::npos);
    static_cast<char*> (noLoader.getData())[at + 1] = 'X';
    EXPECT_TRUE (commandFor (medium.add ("broken.exe", noLoader, 0444)).empty());

    // A pipe on the disc: never opened in a way that could block.
    const auto pipe = medium.root().getChildFile ("pipe.exe");
    ASSERT_EQ (mkfifo (pipe.getFullPathName().toRawUTF8(), 0555), 0);
    EXPECT_TRUE (commandFor (pipe).empty());

    // Nor a socket or a device under an installer's name: their file type shares bits with
    // a folder's, and they are neither folders nor files to open.
    const auto socketPath = medium.root().getChildFile ("socket.exe");
    const int listening = socket (AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy (address.sun_path, path (socketPath).c_str(), sizeof (address.sun_path) - 1);
    ASSERT_EQ (bind (listening, reinterpret_cast<const sockaddr*> (&address), sizeof (address)), 0);
    EXPECT_TRUE (commandFor (socketPath).empty());
    close (listening);
    const auto device = medium.root().getChildFile ("device.exe");
    if (mknod (path (device).c_str(), S_IFBLK | 0444, makedev (7, 0)) == 0)
    {
        EXPECT_TRUE (commandFor (device).empty());
    }
    EXPECT_EQ (commandFor (juce::File ("/dev/null")), Command()) << "a character device";
}

TEST (OpeningRule, ReadsTheLoaderFromEveryElfLayout)
{
    const auto elfInterpreter = [] (const juce::File& f)
    { return OpeningRule::elfInterpreter (path (f)); };
    Medium medium (false);

    // A 32-bit big-endian program: header, one PT_INTERP entry, then the path.
    juce::MemoryOutputStream bigEndian;
    const char ident[] = { 0x7f, 'E', 'L', 'F', 1, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    bigEndian.write (ident, sizeof (ident));
    const auto half = [&] (int v)
    { bigEndian.writeShortBigEndian (static_cast<short> (v)); };
    const auto word = [&] (int v)
    { bigEndian.writeIntBigEndian (v); };
    half (2), half (20), word (1), word (0), word (52), word (0), word (0), half (52), half (32), half (1), half (40), half (0), half (0);
    word (3), word (84), word (0), word (0), word (13), word (13), word (4), word (1);
    bigEndian.write ("/lib/ld.so.1", 13);
    EXPECT_EQ (elfInterpreter (medium.add ("be32", bigEndian.getMemoryBlock(), 0444)), "/lib/ld.so.1");

    // Damaged headers give no loader and do no harm.
    auto damaged = bigEndian.getMemoryBlock();
    static_cast<char*> (damaged.getData())[84 + 12] = 'x'; // the terminating zero
    EXPECT_EQ (elfInterpreter (medium.add ("unterminated", damaged, 0444)), "");
    damaged = bigEndian.getMemoryBlock();
    static_cast<unsigned char*> (damaged.getData())[44] = 0xff; // 65,535 entries
    static_cast<unsigned char*> (damaged.getData())[45] = 0xff;
    static_cast<unsigned char*> (damaged.getData())[42] = 0xff; // of 65,535 bytes each
    EXPECT_EQ (elfInterpreter (medium.add ("huge", damaged, 0444)), "");
    damaged.setSize (40);
    EXPECT_EQ (elfInterpreter (medium.add ("short", damaged, 0444)), "");

#if defined(__x86_64__)
    EXPECT_EQ (systemLoader(), "/lib64/ld-linux-x86-64.so.2");
#endif
}

// The fault this rule exists for: a data file with the execute bit, holding a shell
// command. The C library's execvp would hand it to /bin/sh; nothing may run it.
TEST (OpeningRule, ACommandLineWithTheExecuteBitIsNeverRun)
{
    support::RecordingOpener recorder;
    Medium medium (false);
    const auto marker = medium.root().getChildFile ("ran");
    const auto pack = medium.add ("Kestrune.tpk", "touch '" + marker.getFullPathName() + "'\n", 0555);

    EXPECT_FALSE (DetachedProcess::start ({ path (pack) })) << "the kernel does not execute it, and no shell may";
    EXPECT_TRUE (DetachedProcess::openFile (path (pack)));
    EXPECT_EQ (recorder.calls(), juce::StringArray (pack.getFullPathName()));

    juce::Thread::sleep (300);
    EXPECT_FALSE (marker.exists());
}
