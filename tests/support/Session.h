#pragma once

// A running program on a fresh X server, and what the tests know of its pages.

#include "Disc.h"
#include "Facts.h"

#include <functional>
#include <gtest/gtest.h>
#include <iostream>

namespace support
{
// Areas of each page where no child lies, so the screen shows the background itself.
inline const juce::Rectangle<int> menuFreeArea{ 0, 0, 330, 280 }, productFreeArea{ 0, 0, 380, 290 };

inline juce::Image background (const char* name, int set = 1)
{
    const juce::File pictures (BRELVAN_SOURCE_DIR "/artwork/pictures");
    return juce::ImageFileFormat::loadFrom ((set == 1 ? pictures : pictures.getChildFile ("2x")).getChildFile (juce::String (name) + "Background.png"));
}

/** A background as a display at this scale shows it: the 1x picture at 100 %, the 2x
    picture at 200 %, and between and beyond, the 2x picture resampled at the framework's
    best quality, as the program draws it. */
inline juce::Image backgroundAt (const char* name, double scale)
{
    if (scale == 1.0)
        return background (name);
    const auto twice = background (name, 2);
    if (scale == 2.0)
        return twice;
    return twice.rescaled (juce::roundToInt (640 * scale), juce::roundToInt (400 * scale), juce::Graphics::highResamplingQuality);
}

// A scaled screen matches a picture when at least 97 % of its pixels lie within 8 levels of it.
constexpr int scaledTolerance = 8;
constexpr double scaledShare = 0.97;

/** Whether the screen shows this area of a page's background, the page's top-left corner at the origin. */
inline bool showsBackground (const XServer& x, juce::Point<int> origin, const char* name, juce::Rectangle<int> area, double scale = 1.0)
{
    const auto inPixels = (area.toDouble() * scale).toNearestInt();
    const auto shown = screenshot (x, inPixels + origin);
    const auto expected = backgroundAt (name, scale).getClippedImage (inPixels);
    if (scale == 1.0)
        return countDifferentPixels (shown, expected) == 0;
    return countDifferentPixels (shown, expected, scaledTolerance) <= (1.0 - scaledShare) * inPixels.getWidth() * inPixels.getHeight();
}

/** Which page shows, as told by shows (background name, area of the page): -1 for the
    menu, 0 to 3 for a product page, or 99 when none of them. */
template <typename Shows>
int pageShownBy (Shows&& shows)
{
    if (shows ("menu", menuFreeArea))
        return -1;
    for (int i = 0; i < 4; ++i)
        if (shows (juce::String (items[i]).toLowerCase().toRawUTF8(), productFreeArea))
            return i;
    return 99;
}

/** Which page the screen shows with the page's top-left corner at this point. */
inline int pageShownAt (const XServer& x, juce::Point<int> origin, double scale = 1.0)
{
    return pageShownBy ([&] (const char* name, juce::Rectangle<int> area)
                        { return showsBackground (x, origin, name, area, scale); });
}

/** How a session finds and drives its window. Under Wine the window is found by its
    title, the pointer must rest on a button before a click takes, and all is slower. */
struct SessionStyle
{
    bool findByTitle = false;
    // Ceilings for what a working program does at once: a busy machine may take a while.
    std::chrono::milliseconds hoverBeforeClick{ 0 }, pageTimeout{ 10s }, exitTimeout{ 10s };
    double scale = 1.0; // physical pixels per logical pixel on the program's display
};

/** A running program on a fresh X server, with its window found. */
struct Session
{
    explicit Session (const Disc& disc, int width = 1024, int height = 768)
        : Session ([&] (const XServer& server)
                   { return disc.start (server); },
                   width, height)
    {
    }

    /** The program started some other way: through a link, the loader, PATH, Wine. */
    using Start = std::function<std::unique_ptr<Process> (const XServer&)>;

    explicit Session (const Start& start, int width = 1024, int height = 768, SessionStyle sessionStyle = {})
        : style (sessionStyle)
        , x (width, height)
        , app (start (x))
        , window (style.findByTitle ? waitForTitledWindow (x, "ORVALIS Brelvan", 30s) : waitForWindow (x, app->pid()))
    {
    }

    /** A point of the window, given in its logical pixels, on the screen. */
    juce::Point<int> inWindow (juce::Point<int> logical) const
    {
        return window->bounds.getPosition() + (logical.toDouble() * style.scale).roundToInt();
    }

    juce::Point<int> onScreen (juce::Point<int> inPage) const { return inWindow (contentInWindow + inPage); }

    void clickPage (juce::Point<int> inPage)
    {
        if (style.hoverBeforeClick.count() > 0)
        {
            moveMouse (x, onScreen (inPage));
            std::this_thread::sleep_for (style.hoverBeforeClick);
        }
        click (x, onScreen (inPage));
        std::this_thread::sleep_for (150ms);
    }

    /** -1 for the menu, 0 to 3 for a product page, or 99 when the screen shows none of them. */
    int visiblePage() const { return pageShownAt (x, onScreen ({}), style.scale); }

    bool pageBecomes (int page) const
    {
        if (eventually ([&]
                        { return visiblePage() == page; },
                        style.pageTimeout))
            return true;

        std::cerr << "expected page " << page << "; " << savedShot() << "\n";
        return false;
    }

    /** Saves what the window shows, for whoever reads a failure, and says where. */
    std::string savedShot() const
    {
        const auto shot = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("brelvan-window", ".png");
        juce::FileOutputStream out (shot);
        juce::PNGImageFormat().writeImageToStream (screenshot (x, window->bounds), out);
        return "the window as shown: " + shot.getFullPathName().toStdString();
    }

    /** Clicks an item's button on the menu and waits for its product page. */
    bool openProductPage (int item)
    {
        clickPage (menuButtons[item]);
        return pageBecomes (item);
    }

    /** Clicks Return and waits for the menu. */
    bool returnToMenu()
    {
        clickPage (returnButton);
        return pageBecomes (-1);
    }

    /** Opens every product page from the menu and comes back from each. */
    void walkEveryPage()
    {
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_TRUE (openProductPage (i)) << items[i];
            EXPECT_TRUE (returnToMenu()) << items[i];
        }
    }

    /** Clicks Install on an item's page, checks that the page stays, and goes back to the menu.
        Call it in ASSERT_NO_FATAL_FAILURE: a page that does not open ends the test. */
    void install (int item)
    {
        ASSERT_TRUE (openProductPage (item)) << items[item];
        clickPage (installButton);
        std::this_thread::sleep_for (200ms);
        EXPECT_EQ (visiblePage(), item) << "the page stays";
        ASSERT_TRUE (returnToMenu());
    }

    /** Whether the focus ring stands around a control: the two rows just above it differ
        from the page's background. */
    bool ringAround (juce::Rectangle<int> control, const char* page) const
    {
        const juce::Rectangle<int> above (control.getX() + 6, control.getY() - 2, control.getWidth() - 12, 2);
        return countDifferentPixels (screenshot (x, above + onScreen ({})), background (page).getClippedImage (above)) > 0;
    }

    void closeAndExpectStatusZero()
    {
        sendCloseRequest (x, window->id);
        EXPECT_EQ (app->waitForExit (style.exitTimeout), std::optional<int> (0)) << app->state();
    }

    void closeWithItsButtonAndExpectStatusZero()
    {
        click (x, inWindow (closeButtonInWindow));
        EXPECT_EQ (app->waitForExit (style.exitTimeout), std::optional<int> (0)) << app->state();
    }

    SessionStyle style;
    XServer x;
    std::unique_ptr<Process> app;
    std::optional<WindowInfo> window;
};
} // namespace support
