// The menu from its disc image, mounted as desktops mount it, with and without Rock Ridge.

#include "support/Autorun.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace support;

namespace
{
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

} // namespace

// With Rock Ridge the disc keeps its modes. Mastered without it, the disc shows every file
// as 0400: nothing is executable, so the menu and its installers start only through the
// loader and interpreter.
class MountedImage : public testing::TestWithParam<ImageKind>
{
};

TEST_P (MountedImage, FromTheImageEveryInstallWorks)
{
    const bool rockRidge = GetParam() == ImageKind::rockRidge;
    if (!rockRidge && !canActAsDesktopUser())
        GTEST_SKIP() << "needs root and setpriv to show the disc as owned by another user";

    auto disc = recordingDisc (juce::File (BRELVAN_WINDOWS_PROGRAM));
    auto image = disc->workingFolder().getChildFile ("disc.iso");
    const auto mastered = masterImage (disc->root(), image); // also writes autorun.sh
    ASSERT_EQ (mastered.status, std::optional<int> (0)) << mastered.errors;
    if (rockRidge && BRELVAN_PORTABLE_BUILD && juce::File (BRELVAN_WINDOWS_PROGRAM).existsAsFile())
    {
        EXPECT_EQ (discCheck (image).status, std::optional<int> (0));
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

INSTANTIATE_TEST_SUITE_P (Images, MountedImage, testing::Values (ImageKind::rockRidge, ImageKind::jolietOnly),
                          [] (const testing::TestParamInfo<ImageKind>& kind)
                          { return kind.param == ImageKind::rockRidge ? "RockRidge" : "JolietOnly"; });
