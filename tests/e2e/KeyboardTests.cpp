// The menu without a mouse: real key presses through XTEST into the program's window.

#include "support/Session.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

using namespace support;

namespace
{
const auto tessalyButton = menuButtonBounds[1];

/** The program with its window holding the X input focus, as a window manager gives it to a new window. */
struct KeyboardSession : Session
{
    explicit KeyboardSession (const Disc& disc)
        : Session (disc)
    {
        if (window.has_value())
            focusWindow (x, window->id);
    }
};
} // namespace

TEST (Keyboard, ReturnAtStartOpensTessalyAndEscapeReturnsWithTheFocusOnTessaly)
{
    Disc disc;
    KeyboardSession s (disc);
    ASSERT_TRUE (s.window.has_value());

    pressKey (s.x, XK_Return);
    ASSERT_TRUE (s.pageBecomes (1));
    pressKey (s.x, XK_Escape);
    ASSERT_TRUE (s.pageBecomes (-1));
    EXPECT_TRUE (eventually ([&]
                             { return s.ringAround (tessalyButton, "menu"); },
                             2s));

    pressKey (s.x, XK_Return);
    EXPECT_TRUE (s.pageBecomes (1)) << "the focus came back to Tessaly";
    s.closeAndExpectStatusZero();
}

TEST (Keyboard, TabThenSpaceOpensTheSecondItemAndShiftTabGoesBack)
{
    Disc disc;
    KeyboardSession s (disc);
    ASSERT_TRUE (s.window.has_value());

    pressKey (s.x, XK_Tab);
    pressKey (s.x, XK_Tab);
    pressKey (s.x, XK_Tab, true);
    pressKey (s.x, XK_space);
    EXPECT_TRUE (s.pageBecomes (0)) << "Orvalis, second in the numbered order";
    EXPECT_TRUE (disc.log (0, 0ms).isEmpty());
    s.closeAndExpectStatusZero();
}

TEST (Keyboard, OnAProductPageTabComesRoundToInstallAndReturnRunsTheInstallerOnce)
{
    Disc disc;
    KeyboardSession s (disc);
    ASSERT_TRUE (s.window.has_value());

    pressKey (s.x, XK_Return);
    ASSERT_TRUE (s.pageBecomes (1));

    // Install, Return and Tessaly's three links, then Install again.
    for (int i = 0; i < 5; ++i)
        pressKey (s.x, XK_Tab);
    EXPECT_TRUE (eventually ([&]
                             { return s.ringAround (installBounds, "tessaly"); },
                             2s));
    pressKey (s.x, XK_Return);

    disc.runs (1);                       // the first run, when it comes
    std::this_thread::sleep_for (500ms); // and time for a second one to show
    EXPECT_EQ (disc.runs (1), juce::StringArray ("run Tessaly.exe args=0"));
    EXPECT_EQ (s.visiblePage(), 1) << "the page stays";
    s.closeAndExpectStatusZero();
}

TEST (Keyboard, TheFocusRingShowsAfterAKeyAndNeverAfterAMouseClick)
{
    Disc disc;
    KeyboardSession s (disc);
    ASSERT_TRUE (s.window.has_value());

    // Opened with the mouse: Install has the focus, without a ring.
    ASSERT_TRUE (s.openProductPage (1));
    std::this_thread::sleep_for (300ms);
    EXPECT_FALSE (s.ringAround (installBounds, "tessaly"));

    pressKey (s.x, XK_Tab);
    EXPECT_TRUE (eventually ([&]
                             { return s.ringAround (returnBounds, "tessaly"); },
                             2s));
    EXPECT_FALSE (s.ringAround (installBounds, "tessaly"));

    s.clickPage ({ 300, 200 }); // the page itself, no control
    EXPECT_TRUE (eventually ([&]
                             { return !s.ringAround (returnBounds, "tessaly"); },
                             2s));
    s.closeAndExpectStatusZero();
}
