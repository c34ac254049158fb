// The disc's program on other Linux systems: real roots of other Debian releases made
// with debootstrap, entered with chroot in a mount namespace of the test's own. The X
// server's socket is bound in, and the disc's folder read-only at the same path.

#include "support/Disc.h"
#include "support/Session.h"

#include <unistd.h>

using namespace support;

namespace
{
const juce::File roots (BRELVAN_ROOTS_DIR);
const juce::File stagedAutorun (BRELVAN_STAGED_AUTORUN);

// Arguments after the script: the root, the folder to bind whole (the test's own files),
// the disc's folder (bound read-only), then the command to run inside.
constexpr const char* enterRoot = R"(set -e
root="$1" files="$2" disc="$3"
shift 3
mkdir -p "$root/tmp/.X11-unix" "$root$files"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
mount --bind "$files" "$root$files"
mount --bind -o ro "$disc" "$root$disc"
mount -t proc proc "$root/proc"
exec /usr/sbin/chroot "$root" "$@")";

std::vector<std::string> inRoot (const char* release, const Disc& disc, std::vector<std::string> command)
{
    std::vector<std::string> args{ "--mount", "--propagation", "private", "/bin/sh", "-c", enterRoot, "sh",
                                   roots.getChildFile (release).getFullPathName().toStdString(),
                                   disc.root().getParentDirectory().getFullPathName().toStdString(),
                                   disc.root().getFullPathName().toStdString() };
    args.insert (args.end(), command.begin(), command.end());
    return args;
}

bool mayEnterRoots()
{
    return getuid() == 0;
}

/** A disc with the build's autorun.sh, as mastering writes it, beside the program. */
void addAutorun (const Disc& disc)
{
    ASSERT_TRUE (stagedAutorun.copyFileTo (disc.root().getChildFile ("autorun.sh")));
}
} // namespace

// Debian 13 has glibc 2.41: autorun.sh lets the menu start, and Install runs a stand-in.
TEST (OtherSystems, OnDebian13TheMenuStartsFromAutorunAndInstallWorks)
{
    if (!mayEnterRoots())
        GTEST_SKIP() << "entering a root needs root privileges";
    Disc disc;
    ASSERT_NO_FATAL_FAILURE (addAutorun (disc));
    const auto autorun = disc.root().getChildFile ("autorun.sh").getFullPathName().toStdString();
    auto s = Session ([&] (const XServer& x)
                      { return disc.startAs (x, "/usr/bin/unshare", inRoot ("trixie", disc, { "/bin/sh", autorun }), "/"); },
                      1024, 768, SessionStyle{ true });
    ASSERT_TRUE (s.window.has_value()) << "no menu on Debian 13";
    EXPECT_EQ (s.window->bounds.getWidth(), 644);
    ASSERT_TRUE (s.openProductPage (1));
    s.clickPage (installButton);
    EXPECT_EQ (disc.runs (1), juce::StringArray ("run Tessaly.exe args=0"));
    // The menu is autorun.sh's child, so it is known by its window: closed, the window goes.
    click (s.x, s.inWindow (closeButtonInWindow));
    const auto windowGone = [&]
    {
        for (auto waited = 0ms; waited < 5s; waited += 100ms, std::this_thread::sleep_for (100ms))
            if (!waitForTitledWindow (s.x, "ORVALIS Brelvan", 0ms).has_value())
                return true;
        return false;
    };
    EXPECT_TRUE (windowGone()) << "the menu did not close";
}

// Debian 11 has glibc 2.31, older than the program needs: autorun.sh says so through the
// first dialog program there is, or on standard error, and starts nothing.
TEST (OtherSystems, OnDebian11AutorunExplainsTheSystemIsTooOldAndStartsNothing)
{
    if (!mayEnterRoots())
        GTEST_SKIP() << "entering a root needs root privileges";
    Disc disc;
    ASSERT_NO_FATAL_FAILURE (addAutorun (disc));
    // The program itself is replaced by a stand-in that would record its start.
    disc.putInstaller ("OrvalisBrelvan", Disc::scriptStandIn(), 0755);
    const auto files = disc.root().getParentDirectory();
    const auto dialogLog = files.getChildFile ("dialog.txt");
    const auto dialogs = files.getChildFile ("dialogs");
    const auto put = [] (const juce::File& script, const juce::String& text)
    {
        script.getParentDirectory().createDirectory();
        script.replaceWithText ("#!/bin/sh\n" + text, false, false, "\n");
        script.setExecutePermission (true);
    };
    put (dialogs.getChildFile ("zenity"), "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + dialogLog.getFullPathName() + "'; done\n");
    // Where getconf says nothing, the version comes from ldd (this loader is too old to say it).
    const auto silentGetconf = files.getChildFile ("no-getconf");
    put (silentGetconf.getChildFile ("getconf"), "exit 1\n");

    const std::string sentence = "The ORVALIS Brelvan menu needs a Linux system with the GNU C library (glibc) 2.34 or later; this system has 2.31.";
    const auto autorun = disc.root().getChildFile ("autorun.sh").getFullPathName().toStdString();
    const std::pair<const char*, juce::File> ways[] = { { "with zenity", dialogs }, { "without a dialog program", {} }, { "without getconf's answer", silentGetconf } };
    for (const auto& [how, firstOnPath] : ways)
    {
        SCOPED_TRACE (how);
        const bool withDialog = firstOnPath == dialogs;
        const auto path = (firstOnPath == juce::File() ? juce::String() : firstOnPath.getFullPathName() + ":") + "/usr/bin:/bin";
        auto command = inRoot ("bullseye", disc, { "/usr/bin/env", "PATH=" + path.toStdString(), "BRELVAN_TEST_LOG=" + files.getChildFile ("log.txt").getFullPathName().toStdString(), "/bin/sh", autorun });
        command.insert (command.begin(), "/usr/bin/unshare");
        const auto ending = runToEnd (command, { "PATH=/usr/bin:/bin" }, 30s);
        EXPECT_EQ (ending.status, std::optional<int> (1)) << ending.errors;
        if (withDialog)
        {
            EXPECT_EQ (juce::StringArray::fromLines (dialogLog.loadFileAsString().trimEnd()),
                       juce::StringArray ("--error", "--title=ORVALIS Brelvan", juce::String ("--text=") + sentence));
            EXPECT_EQ (ending.errors, "");
        }
        else
        {
            EXPECT_EQ (ending.errors, sentence + "\n");
        }
    }
    std::this_thread::sleep_for (500ms);
    EXPECT_TRUE (disc.log (0, 0ms).isEmpty()) << "the program started: " << disc.log().joinIntoString ("\n");
}
