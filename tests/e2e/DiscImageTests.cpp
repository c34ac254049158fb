// The disc image: mastered, checked before burning, and used the way a desktop shows it.

#include "Autorun.h"

#include <unistd.h>

using namespace e2e;

namespace
{
const std::vector<std::string> plainEnvironment{ "PATH=/usr/bin:/bin", "HOME=/tmp" };

Ending discCheck (const std::string& image)
{
    return runToEnd ({ BRELVAN_DISC_CHECK, image }, plainEnvironment, 60s);
}

/** Runs a command to its end and says whether it succeeded. */
bool succeeds (const std::vector<std::string>& argv)
{
    return runToEnd (argv, plainEnvironment, 60s).status == std::optional<int> (0);
}

/** A disc with recording stand-ins (a compiled program and two scripts) and the pack. */
std::unique_ptr<Disc> recordingDisc()
{
    auto disc = std::make_unique<Disc>();
    juce::MemoryBlock program;
    juce::File (BRELVAN_STAND_IN).loadFileAsData (program);
    disc->putInstaller ("Orvalis/Orvalis.exe", program, 0755);

    // The Windows program, without execute bit, as the disc carries it.
    const juce::File windowsProgram (BRELVAN_WINDOWS_PROGRAM);
    if (windowsProgram.existsAsFile())
    {
        juce::MemoryBlock exe;
        windowsProgram.loadFileAsData (exe);
        disc->putInstaller ("OrvalisBrelvan.exe", exe, 0644);
    }

    // The stand-ins write as the desktop user; the log must take their lines.
    const juce::File log (juce::String (disc->environment().at ("BRELVAN_TEST_LOG")));
    log.create();
    chmod (log.getFullPathName().toRawUTF8(), 0666);
    return disc;
}

enum class ImageKind
{
    rockRidge,
    jolietOnly
};

/** The image's files as a desktop's mount shows them, in a folder nobody can write to. */
juce::File showAsMounted (const juce::File& image, ImageKind kind, const juce::File& mountPoint)
{
    const auto iso = image.getFullPathName().toStdString(), folder = mountPoint.getFullPathName().toStdString();
    if (kind == ImageKind::rockRidge)
    {
        // Rock Ridge records owner and modes, and they win over the mount's mode= option.
        EXPECT_TRUE (succeeds ({ "osirrox", "-indev", iso, "-extract", "/", folder }));
        EXPECT_TRUE (succeeds ({ "chown", "-R", "0:0", folder }));
        EXPECT_TRUE (succeeds ({ "chmod", "-R", "a-w", folder }));
    }
    else
    {
        // udisks: uid=<user>,gid=<group>,mode=0400,dmode=0500, names from the Joliet tree.
        EXPECT_TRUE (succeeds ({ "osirrox", "-rockridge", "off", "-indev", iso, "-extract", "/", folder }));
        EXPECT_TRUE (succeeds ({ "chown", "-R", std::to_string (desktopUser) + ":" + std::to_string (desktopUser), folder }));
        EXPECT_TRUE (succeeds ({ "find", folder, "-type", "f", "-exec", "chmod", "0400", "{}", "+" }));
        EXPECT_TRUE (succeeds ({ "find", folder, "-type", "d", "-exec", "chmod", "0500", "{}", "+" }));
    }
    return mountPoint;
}

/** Every Install button, and what each must start. */
void installEverything (Session& s, const Disc& disc, const juce::File& mounted)
{
    for (int item = 0; item < 4; ++item)
        ASSERT_NO_FATAL_FAILURE (s.install (item));

    const auto pack = mounted.getChildFile ("Kestrune/Kestrune.tpk").getFullPathName();
    EXPECT_EQ (disc.runs (5), juce::StringArray ("run Orvalis.exe args=0", "run Tessaly.exe args=0", "run Marrowby.exe args=0", "open args=1", pack));
}
} // namespace

TEST (DiscImage, TheBuiltImagePassesEveryCheckBeforeBurning)
{
    if (!BRELVAN_PORTABLE_BUILD)
        GTEST_SKIP() << "a sanitized build is not the portable program that goes on the disc";
    juce::ChildProcess check;
    ASSERT_TRUE (check.start (juce::StringArray (BRELVAN_DISC_CHECK, BRELVAN_DISC_IMAGE)));
    const auto output = check.readAllProcessOutput();
    check.waitForProcessToFinish (30000);
    EXPECT_EQ (check.getExitCode(), 0u) << output;

    auto lines = juce::StringArray::fromLines (output.trimEnd());
    // One informational line, whether the Windows program is signed; every other line is a check.
    EXPECT_NE (output.contains ("info: OrvalisBrelvan.exe is not signed\n"), output.contains ("info: OrvalisBrelvan.exe is signed by ")) << output;
    for (int i = lines.size(); --i >= 0;)
        if (lines[i].startsWith ("info: "))
            lines.remove (i);
    EXPECT_EQ (lines.size(), 9) << output;
    for (const auto& line : lines)
        EXPECT_TRUE (line.startsWith ("ok: ")) << line;
    EXPECT_TRUE (output.contains ("OrvalisBrelvan.exe starts on Windows 7 SP1 and later")) << output;
    EXPECT_TRUE (output.contains ("OrvalisBrelvan.exe is copied to memory before it runs from removable or network media")) << output;
    EXPECT_TRUE (output.contains ("Rock Ridge and Joliet")) << output;
    EXPECT_TRUE (output.contains ("\"ORVALIS_BRELVAN\"")) << output;
}

TEST (DiscImage, TheProgramNeedsOnlyGlibcFreeTypeAndX11)
{
    if (!BRELVAN_PORTABLE_BUILD)
        GTEST_SKIP() << "a sanitized build is not the portable program that goes on the disc";
    juce::ChildProcess check;
    ASSERT_TRUE (check.start (juce::StringArray (BRELVAN_DISC_CHECK, "--program", juce::String (programPath()))));
    const auto output = check.readAllProcessOutput();
    check.waitForProcessToFinish (30000);
    EXPECT_EQ (check.getExitCode(), 0u) << output;
    EXPECT_TRUE (output.startsWith ("ok: ")) << output;
    for (const auto* unwanted : { "libstdc++", "libgcc_s", "libpng", "libjpeg", "libz.", "GLIBCXX", "GLIBC_2.35", "GLIBC_2.36" })
        EXPECT_FALSE (output.contains (unwanted)) << unwanted << " in " << output;
}

TEST (DiscImage, AnImageWithoutRockRidgeIsRejectedWithTheReason)
{
    Disc disc;
    const auto image = disc.workingFolder().getChildFile ("joliet-only.iso");
    ASSERT_TRUE (succeeds ({ "xorriso", "-rockridge", "off", "-joliet", "on", "-volid", "ORVALIS_BRELVAN",
                             "-outdev", image.getFullPathName().toStdString(), "-map", disc.root().getFullPathName().toStdString(), "/" }));

    juce::ChildProcess check;
    ASSERT_TRUE (check.start (juce::StringArray (BRELVAN_DISC_CHECK, image.getFullPathName())));
    const auto output = check.readAllProcessOutput();
    check.waitForProcessToFinish (30000);
    EXPECT_EQ (check.getExitCode(), 1u) << output;
    EXPECT_TRUE (output.contains ("FAILED: no Rock Ridge")) << output;
    EXPECT_TRUE (output.contains ("xorriso -as mkisofs -r -J")) << output;
}

TEST (DiscImage, MasteringRefusesADiscThatWouldNotWorkAndWritesNoImage)
{
    Disc missing;
    missing.root().getChildFile ("Marrowby/Marrowby.exe").deleteFile();
    const auto image = missing.workingFolder().getChildFile ("disc.iso");
    image.replaceWithText ("an older image");
    auto ending = masterImage (missing.root(), image);
    EXPECT_EQ (ending.status, std::optional<int> (1));
    EXPECT_NE (ending.errors.find ("Marrowby/Marrowby.exe is missing"), std::string::npos) << ending.errors;
    EXPECT_FALSE (image.exists());

    Disc executablePack;
    chmod (executablePack.root().getChildFile ("Kestrune/Kestrune.tpk").getFullPathName().toRawUTF8(), 0755);
    ending = masterImage (executablePack.root(), image);
    EXPECT_EQ (ending.status, std::optional<int> (1));
    EXPECT_NE (ending.errors.find ("Kestrune/Kestrune.tpk is no program but carries an execute bit"), std::string::npos) << ending.errors;
    EXPECT_FALSE (image.exists());
}

// With Rock Ridge the disc keeps its modes. Mastered without it, the disc shows every file
// as 0400: nothing is executable, so the menu and its installers start only through the
// loader and interpreter.
class AsMounted : public testing::TestWithParam<ImageKind>
{
};

TEST_P (AsMounted, FromTheImageEveryInstallWorks)
{
    const bool rockRidge = GetParam() == ImageKind::rockRidge;
    if (!rockRidge && !canActAsDesktopUser())
        GTEST_SKIP() << "needs root and setpriv to show the disc as owned by another user";

    auto disc = recordingDisc();
    auto image = disc->workingFolder().getChildFile ("disc.iso");
    const auto mastered = masterImage (disc->root(), image); // also writes autorun.sh
    ASSERT_EQ (mastered.status, std::optional<int> (0)) << mastered.errors;
    if (rockRidge && BRELVAN_PORTABLE_BUILD && juce::File (BRELVAN_WINDOWS_PROGRAM).existsAsFile())
    {
        EXPECT_EQ (discCheck (image.getFullPathName().toStdString()).status, std::optional<int> (0));
    }
    if (!rockRidge)
    {
        image = disc->workingFolder().getChildFile ("joliet.iso");
        ASSERT_TRUE (succeeds ({ "xorriso", "-rockridge", "off", "-joliet", "on", "-volid", "ORVALIS_BRELVAN",
                                 "-outdev", image.getFullPathName().toStdString(), "-map", disc->root().getFullPathName().toStdString(), "/" }));
    }

    const auto mounted = showAsMounted (image, GetParam(), disc->workingFolder().getChildFile ("media"));
    if (rockRidge)
    {
        EXPECT_EQ (access (mounted.getChildFile ("OrvalisBrelvan").getFullPathName().toRawUTF8(), X_OK), 0);
    }

    AutorunStart how;
    how.environment = disc->environment();
    how.asDesktopUser = !rockRidge || canActAsDesktopUser();
    Session s (throughAutorun (mounted, how));
    ASSERT_TRUE (s.window.has_value()) << "no menu from autorun.sh";
    installEverything (s, *disc, mounted);
    s.closeAndExpectStatusZero();
    succeeds ({ "chmod", "-R", "u+w", mounted.getFullPathName().toStdString() });
}

INSTANTIATE_TEST_SUITE_P (DiscImage, AsMounted, testing::Values (ImageKind::rockRidge, ImageKind::jolietOnly),
                          [] (const testing::TestParamInfo<ImageKind>& kind)
                          { return kind.param == ImageKind::rockRidge ? "RockRidge" : "JolietOnly"; });
