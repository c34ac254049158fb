// A disc that leaves the drive while the menu shows, with memory short.

#include "support/Autorun.h"

#include <X11/keysym.h>

using namespace support;

namespace
{
/** Kibibytes of the process's readable mappings that lie on the disc. */
long kibibytesMappedFrom (pid_t pid, const juce::File& disc)
{
    long total = 0;
    const auto prefix = disc.getFullPathName() + "/";
    for (const auto& line : juce::StringArray::fromLines (juce::File ("/proc/" + juce::String (pid) + "/maps").loadFileAsString()))
    {
        auto fields = juce::StringArray::fromTokens (line, " ", "");
        fields.removeEmptyStrings();
        if (fields.size() < 6 || !fields[5].startsWith (prefix) || !fields[1].startsWithChar ('r'))
            continue;
        const auto range = juce::StringArray::fromTokens (fields[0], "-", "");
        total += (long) ((range[1].getHexValue64() - range[0].getHexValue64()) / 1024);
    }
    return total;
}

/** A product page's first link, which shows its address as a tip. */
const juce::Point<int> orvalisLink{ 60, 360 };
} // namespace

class PulledDisc : public testing::TestWithParam<StartedBy>
{
};

// Pulled once the menu shows, with memory short, so that the kernel takes back every
// page it can: the menu goes on in every page, and Install finds nothing to start.
TEST_P (PulledDisc, LeavesTheMenuWorkingAndInstallFindingNothing)
{
    Disc disc;
    const auto image = disc.workingFolder().getChildFile ("disc.iso");
    const auto mastered = masterImage (disc.root(), image);
    ASSERT_EQ (mastered.status, std::optional<int> (0)) << mastered.errors;
    OpticalDriveMount drive (image, dvd8x);
    ASSERT_TRUE (drive.isMounted()) << drive.whyNotMounted();
    MemoryCgroup cgroup;
    ASSERT_TRUE (cgroup.exists()) << "no memory cgroup could be made";

    const auto errors = disc.workingFolder().getChildFile ("errors.txt");
    AutorunStart how;
    how.environment = disc.environment();
    how.cgroup = &cgroup;
    how.errorFile = errors.getFullPathName().toStdString();
    Session s (started (GetParam(), drive.root(), how));
    ASSERT_TRUE (s.window.has_value()) << "no menu from the disc";
    ASSERT_TRUE (s.pageBecomes (-1));
    EXPECT_EQ (kibibytesMappedFrom (s.app->pid(), drive.root()), 0) << "the menu still runs from the disc";

    // The kernel takes back every page it can to fit 1 MiB beside the memory it cannot take,
    // then keeps the menu short of memory while it is used, with room to show its pages.
    drive.pull();
    const auto held = cgroup.anonymousBytes();
    ASSERT_TRUE (cgroup.limitTo (held + (1 << 20)));
    ASSERT_TRUE (cgroup.limitTo (held + (8 << 20)));

    // By keyboard: each item's page and back, the focus ring on the item left.
    focusWindow (s.x, s.window->id);
    for (int item : { 1, 0, 2, 3 })
    {
        pressKey (s.x, XK_Return);
        ASSERT_TRUE (s.pageBecomes (item)) << items[item] << ", the menu: " << s.app->state();
        pressKey (s.x, XK_Escape);
        ASSERT_TRUE (s.pageBecomes (-1)) << items[item] << ", the menu: " << s.app->state();
        EXPECT_TRUE (eventually ([&]
                                 { return s.ringAround (menuButtonBounds[item], "menu"); }))
            << items[item];
        pressKey (s.x, XK_Tab);
    }

    // By mouse: every page, a link's tip, and Install with no installer left to find.
    s.walkEveryPage();
    ASSERT_TRUE (s.openProductPage (0));
    moveMouse (s.x, s.onScreen (orvalisLink).translated (-6, 0));
    moveMouse (s.x, s.onScreen (orvalisLink));
    EXPECT_TRUE (eventually ([&]
                             { return viewableWindows (s.x).size() == 2; }))
        << "no tooltip appeared";
    s.clickPage (installButton);
    std::this_thread::sleep_for (300ms);
    EXPECT_EQ (s.visiblePage(), 0);
    EXPECT_TRUE (disc.log (0, 0ms).isEmpty()) << disc.log().joinIntoString ("\n");

    s.closeAndExpectStatusZero();
    EXPECT_EQ (errors.loadFileAsString(), "");
}

INSTANTIATE_TEST_SUITE_P (Drive, PulledDisc, testing::Values (StartedBy::autorun, StartedBy::itsPath),
                          [] (const testing::TestParamInfo<StartedBy>& way)
                          { return nameOf (way.param); });
