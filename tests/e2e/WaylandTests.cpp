// The menu on a Wayland desktop through XWayland, driven only through the compositor: its seat
// for the pointer, wtype for keys, and grim for what the output shows.

#include "support/Session.h"
#include "support/SwayDesktop.h"

#include <gtest/gtest.h>

using namespace support;

namespace
{
constexpr const char* title = "ORVALIS Brelvan";
constexpr auto firstFrame = 30s;

/** The picture made smaller by whole blocks of pixels, each the mean of its block. */
juce::Image shrunk (const juce::Image& picture, int factor)
{
    if (factor == 1)
        return picture;
    juce::Image small (juce::Image::RGB, picture.getWidth() / factor, picture.getHeight() / factor, false);
    const juce::Image::BitmapData from (picture, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < small.getHeight(); ++y)
        for (int x = 0; x < small.getWidth(); ++x)
        {
            int r = 0, g = 0, b = 0;
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx)
                {
                    const auto c = from.getPixelColour (x * factor + dx, y * factor + dy);
                    r += c.getRed(), g += c.getGreen(), b += c.getBlue();
                }
            const auto n = factor * factor;
            small.setPixelAt (x, y, juce::Colour ((juce::uint8) (r / n), (juce::uint8) (g / n), (juce::uint8) (b / n)));
        }
    return small;
}

/** The menu started on the desktop's XWayland from a staged disc, walked through the compositor. */
struct WaylandWalk
{
    WaylandWalk (const SwayDesktop& d, const Disc& disc)
        : desktop (d)
        , menu (std::make_unique<Process> (d.x(), disc.program().getFullPathName().toStdString(), std::vector<std::string>{},
                                           disc.workingFolder().getFullPathName().toStdString(), disc.environment()))
        , window (waitForTitledWindow (d.x(), title))
    {
    }

    /** A point of the shown page, on the output: read from the compositor each time. */
    juce::Point<int> onOutput (juce::Point<int> inPage) const
    {
        const auto place = desktop.windowPlace (title);
        return place ? place->getPosition() + contentInWindow + inPage : juce::Point<int>();
    }

    /** Which page the output shows: -1 for the menu, 0 to 3 for a product page, 99 for none;
        what was seen goes to seen, for a failure to tell. */
    int pageShown (int scale, std::string& seen) const
    {
        const auto place = desktop.windowPlace (title);
        if (!place)
        {
            seen = "no window titled \"" + std::string (title) + "\" in sway's tree";
            return 99;
        }
        if (place->getWidth() != windowWidth || place->getHeight() != windowHeight)
        {
            giveTheStartSize (*place);
            seen = "the window at " + place->toString().toStdString() + ", not at its start size";
            return 99;
        }
        const auto shot = desktop.screenshot();
        const auto origin = place->getPosition() + contentInWindow;
        seen = "the window at " + place->toString().toStdString() + " on a screenshot of " + std::to_string (shot.getWidth()) + " x " + std::to_string (shot.getHeight()) + "; pixels unlike each page:";
        const auto shows = [&] (const char* name, juce::Rectangle<int> area)
        {
            const auto shown = shrunk (shot.getClippedImage ((area + origin) * scale), scale);
            const auto differing = countDifferentPixels (shown, background (name).getClippedImage (area), scaledTolerance);
            seen += std::string (" ") + name + " " + std::to_string (differing);
            return differing <= (1.0 - scaledShare) * area.getWidth() * area.getHeight();
        };
        return pageShownBy (shows);
    }

    /** Whether the output comes to show the page; when it does not, what it showed instead is
        told and kept beside the test (wayland-failure-*.png), with the compositor's log. */
    testing::AssertionResult pageBecomes (int page, int scale = 1, std::chrono::milliseconds ceiling = 10s) const
    {
        std::string seen;
        const auto shown = eventually ([&]
                                       { return pageShown (scale, seen) == page; },
                                       ceiling);
        const auto name = juce::String ("wayland-scale") + juce::String (scale) + "-page" + juce::String (page);
        keepForAPerson (name + (shown ? "" : "-not-shown"));
        if (shown)
            return testing::AssertionSuccess();
        const auto kept = juce::File::getCurrentWorkingDirectory().getChildFile ("wayland-failure-" + name + ".png");
        keep (kept);
        return testing::AssertionFailure() << "page " << page << " not shown within " << ceiling.count() << " ms: " << seen << "\nthe output kept in "
                                           << kept.getFullPathName() << (resizedByTheTest ? " (the test had sway give the window its start size)" : "") << "\nsway's log ends:\n"
                                           << desktop.logTail();
    }

    /** Where BRELVAN_TEST_SHOTS names a folder, what the output shows goes there, for a person to look at. */
    void keepForAPerson (const juce::String& name) const
    {
        const auto folder = juce::SystemStats::getEnvironmentVariable ("BRELVAN_TEST_SHOTS", {});
        if (folder.isNotEmpty())
            keep (juce::File (folder).getChildFile (name + ".png"));
    }

    void keep (const juce::File& file) const
    {
        juce::FileOutputStream out (file);
        if (out.openedOk() && out.setPosition (0) && out.truncate().wasOk())
            juce::PNGImageFormat().writeImageToStream (desktop.screenshot(), out);
    }

    // On a busy machine sway 1.7 can float the just-mapped window at another size than the
    // one it was mapped with (seen: 128 x 128), and the menu, being resizable, follows. A
    // person would drag it larger; the test asks the compositor for the start size, and says so.
    void giveTheStartSize (juce::Rectangle<int> place) const
    {
        std::cout << "sway shows the window at " << place.toString() << "; the test asks for its start size\n";
        resizedByTheTest = desktop.resizeWindow (title, { windowWidth, windowHeight });
    }

    void click (juce::Point<int> inPage) const
    {
        desktop.click (onOutput (inPage));
        std::this_thread::sleep_for (150ms);
    }

    const SwayDesktop& desktop;
    std::unique_ptr<Process> menu;
    std::optional<WindowInfo> window;
    mutable bool resizedByTheTest = false;
};
} // namespace

// Everything a person does on the menu, with the pointer and keys of the compositor's seat.
TEST (Wayland, TheMenuIsUsedWithTheCompositorsPointerAndKeys)
{
    const SwayDesktop desktop;
    ASSERT_TRUE (desktop.isUp()) << desktop.whyNotUp();
    Disc disc;
    WaylandWalk walk (desktop, disc);
    ASSERT_TRUE (walk.window.has_value()) << "no menu on XWayland: " << walk.menu->state();
    // The first frame may take long: decoding every picture, under the sanitizers, on a busy machine.
    ASSERT_TRUE (walk.pageBecomes (-1, 1, firstFrame)) << "the menu does not show";

    walk.click (menuButtons[1]);
    ASSERT_TRUE (walk.pageBecomes (1)) << "a click on Tessaly";
    // The page's first control has the focus; the next is Return, which Return presses.
    desktop.key ("Tab");
    desktop.key ("Return");
    ASSERT_TRUE (walk.pageBecomes (-1)) << "Tab and Return";
    desktop.key ("Return");
    ASSERT_TRUE (walk.pageBecomes (1)) << "Return on Tessaly, which kept the focus";
    desktop.key ("Escape");
    ASSERT_TRUE (walk.pageBecomes (-1)) << "Escape";

    walk.click (menuButtons[1]);
    ASSERT_TRUE (walk.pageBecomes (1));
    walk.click (installButton);
    EXPECT_EQ (disc.runs (1), juce::StringArray ("run Tessaly.exe args=0"));
    walk.click (links[1][0].bounds.getCentre());
    const juce::StringArray expected{ "run Tessaly.exe args=0", "open args=1", links[1][0].address };
    EXPECT_EQ (disc.runs (3), expected);
    std::this_thread::sleep_for (300ms);
    EXPECT_EQ (disc.runs (3), expected) << "one run and one address, nothing more";

    desktop.click (desktop.windowPlace (title)->getPosition() + closeButtonInWindow);
    EXPECT_EQ (walk.menu->waitForExit (10s), std::optional<int> (0)) << walk.menu->state();
}

// At scale 2 X programs see a screen of half the output's size and the compositor doubles
// their windows: the menu keeps its own size, not doubled twice, and clicks land where its
// controls are drawn.
TEST (Wayland, AtScale2TheCompositorDoublesTheMenuAndClicksLandOnItsControls)
{
    const SwayDesktop desktop (2);
    ASSERT_TRUE (desktop.isUp()) << desktop.whyNotUp();
    Disc disc;
    WaylandWalk walk (desktop, disc);
    ASSERT_TRUE (walk.window.has_value()) << "no menu on XWayland: " << walk.menu->state();
    EXPECT_EQ (walk.window->bounds.getWidth(), windowWidth) << "the program scaled itself";
    EXPECT_EQ (walk.window->bounds.getHeight(), windowHeight) << "the program scaled itself";
    ASSERT_TRUE (walk.pageBecomes (-1, 2, firstFrame)) << "the menu, doubled, does not show";

    walk.click (menuButtons[1]);
    ASSERT_TRUE (walk.pageBecomes (1, 2)) << "a click on Tessaly";
    walk.click (installButton);
    EXPECT_EQ (disc.runs (1), juce::StringArray ("run Tessaly.exe args=0"));
    walk.click (returnButton);
    EXPECT_TRUE (walk.pageBecomes (-1, 2));
}
