// GNOME Files' own "Run Software": the real nautilus-autorun-software, on media mounted where
// desktops mount them.

#include "support/Autorun.h"
#include "support/MediaMount.h"

using namespace support;

namespace
{
/** Runs a medium's software through Run Software, walks the menu and installs every item. */
void runSoftwareAndInstallEverything (const juce::File& image, MediaMount::Kind kind, const std::string& label, const Disc& disc)
{
    const MediaMount medium (image, kind, label);
    ASSERT_TRUE (medium.isMounted()) << medium.whyNotMounted();

    AutorunStart how;
    how.environment = disc.environment();
    Session s (throughRunSoftware (medium.root(), label, how));
    ASSERT_TRUE (s.window.has_value()) << "no menu after Run";
    s.walkEveryPage();
    installEverything (s, disc, medium.root());
    s.closeAndExpectStatusZero();
}
} // namespace

TEST (RunSoftware, OnTheDiscItAsksAndRunStartsTheMenu)
{
    const auto disc = recordingDisc (juce::File (BRELVAN_WINDOWS_PROGRAM));
    const auto image = disc->workingFolder().getChildFile ("disc.iso");
    const auto made = masterImage (disc->root(), image);
    ASSERT_EQ (made.status, std::optional<int> (0)) << made.errors;
    runSoftwareAndInstallEverything (image, MediaMount::Kind::disc, "ORVALIS_BRELVAN", *disc);
}

// A stick shows no file as executable: autorun.sh starts the menu through its loader, and the
// menu its installers through theirs.
TEST (RunSoftware, OnTheStickItAsksAndRunStartsTheMenu)
{
    const auto disc = recordingDisc (juce::File (BRELVAN_WINDOWS_PROGRAM));
    const auto image = disc->workingFolder().getChildFile ("stick.img");
    const auto made = makeStick (disc->root(), image);
    ASSERT_EQ (made.status, std::optional<int> (0)) << made.errors;
    runSoftwareAndInstallEverything (image, MediaMount::Kind::stick, "BRELVAN", *disc);
}
