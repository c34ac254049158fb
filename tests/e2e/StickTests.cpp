// The bundle on a USB stick: the stick image the build writes, and the menu from a stick's
// files as a desktop shows them.

#include "support/Autorun.h"
#include "support/MediaMount.h"

#include <unistd.h>

using namespace support;

// disc-check reads a stick as it reads a disc, and says what a stick cannot have.
TEST (Stick, TheBuiltStickImagePassesEveryCheck)
{
    if (!BRELVAN_PORTABLE_BUILD || !juce::File (BRELVAN_WINDOWS_PROGRAM).existsAsFile())
        GTEST_SKIP() << "the stick of a build with the portable program and the Windows program";
    const auto check = discCheck (juce::File (BRELVAN_STICK_IMAGE));
    std::cout << check.output;
    EXPECT_EQ (check.status, std::optional<int> (0)) << check.output;
    EXPECT_NE (check.output.find ("ok: a FAT32 stick"), std::string::npos);
    EXPECT_NE (check.output.find ("info: a stick has no Rock Ridge, and there are no execute bits to check"), std::string::npos);
    EXPECT_NE (check.output.find ("ok: the names are kept as on the disc"), std::string::npos);
}

// Started as a person starts it from a terminal, "sh autorun.sh": nothing on the stick is
// executable, so the menu and every program among its installers start through their loader
// or interpreter.
TEST (Stick, FromItsFilesAutorunShStartsTheMenuAndInstallRunsEachItem)
{
    const auto disc = recordingDisc (juce::File (BRELVAN_WINDOWS_PROGRAM));
    const auto image = disc->workingFolder().getChildFile ("stick.img");
    const auto made = makeStick (disc->root(), image);
    ASSERT_EQ (made.status, std::optional<int> (0)) << made.errors;
    const MediaMount stick (image, MediaMount::Kind::stick, "BRELVAN");
    ASSERT_TRUE (stick.isMounted()) << stick.whyNotMounted();
    for (const auto* path : { "OrvalisBrelvan", "autorun.sh", "Orvalis/Orvalis.exe", "Tessaly/Tessaly.exe" })
        EXPECT_NE (access (stick.root().getChildFile (path).getFullPathName().toRawUTF8(), X_OK), 0) << path << " is executable on the stick";

    AutorunStart how;
    how.environment = disc->environment();
    Session s (throughAutorun (stick.root(), how));
    ASSERT_TRUE (s.window.has_value()) << "no menu from sh autorun.sh";
    installEverything (s, *disc, stick.root());
    s.closeAndExpectStatusZero();
}
