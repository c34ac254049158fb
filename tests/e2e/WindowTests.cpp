#include "support/Harness.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace
{
constexpr int windowWidth = 644, windowHeight = 424;
const juce::Point<int> closeButtonInWindow{ 628, 14 };
const juce::Rectangle<int> contentInWindow{ 4, 24, 636, 396 };

juce::Rectangle<int> centredWindow (const XServer& x)
{
    return { (x.width() - windowWidth) / 2, (x.height() - windowHeight) / 2, windowWidth, windowHeight };
}
} // namespace

TEST (Window, AppearsTitledAtItsSizeCentredAndAlone)
{
    XServer x;
    Process app (x, programPath());

    const auto window = waitForWindow (x, app.pid());
    ASSERT_TRUE (window.has_value());
    EXPECT_EQ (window->title, "ORVALIS Brelvan");
    EXPECT_EQ (window->bounds, centredWindow (x));

    // The bundle icon is there for the task bar, even started straight from the build folder.
    const auto icon = cardinalProperty (x, window->id, "_NET_WM_ICON");
    ASSERT_EQ (icon.size(), 2u + 128u * 128u);
    EXPECT_EQ (icon[0], 128u);
    EXPECT_EQ (icon[1], 128u);
    EXPECT_EQ ((icon[2 + 64 * 128 + 64] >> 24) & 0xffu, 0xffu) << "the middle of the tile is opaque";

    // No splash screen or any other window, now or a moment later.
    std::this_thread::sleep_for (700ms);
    const auto windows = viewableWindows (x);
    ASSERT_EQ (windows.size(), 1u);
    EXPECT_EQ (windows[0].id, window->id);
}

// By its own close button, or as the desktop closes it (WM_DELETE_WINDOW).
TEST (Window, EitherWayOfClosingEndsTheProgramWithStatusZero)
{
    for (const bool byButton : { true, false })
    {
        SCOPED_TRACE (byButton ? "the close button" : "the platform's close request");
        XServer x;
        Process app (x, programPath());
        const auto window = waitForWindow (x, app.pid());
        ASSERT_TRUE (window.has_value());

        if (byButton)
            click (x, window->bounds.getPosition() + closeButtonInWindow);
        else
            sendCloseRequest (x, window->id);
        EXPECT_EQ (app.waitForExit (5s), std::optional<int> (0));
    }
}

TEST (Window, CommandLineArgumentsChangeNothing)
{
    XServer x;
    juce::Image plainContent;
    {
        Process plain (x, programPath());
        const auto window = waitForWindow (x, plain.pid());
        ASSERT_TRUE (window.has_value());
        plainContent = screenshot (x, contentInWindow + window->bounds.getPosition());
        sendCloseRequest (x, window->id);
        ASSERT_EQ (plain.waitForExit(), std::optional<int> (0));
    }

    Process app (x, programPath(), { "--help", "-v", "Orvalis\\Orvalis.exe", "$(touch /tmp/x)", "a b;c", "\xc3\xa9" });
    const auto window = waitForWindow (x, app.pid());
    ASSERT_TRUE (window.has_value());
    EXPECT_EQ (window->title, "ORVALIS Brelvan");
    EXPECT_EQ (window->bounds, centredWindow (x));
    EXPECT_EQ (countDifferentPixels (screenshot (x, contentInWindow + window->bounds.getPosition()), plainContent), 0);

    sendCloseRequest (x, window->id);
    EXPECT_EQ (app.waitForExit(), std::optional<int> (0));
}

TEST (Window, TwoCopiesRunSideBySide)
{
    XServer x;
    Process first (x, programPath());
    Process second (x, programPath());

    const auto firstWindow = waitForWindow (x, first.pid());
    const auto secondWindow = waitForWindow (x, second.pid());
    ASSERT_TRUE (firstWindow.has_value());
    ASSERT_TRUE (secondWindow.has_value());
    EXPECT_NE (firstWindow->id, secondWindow->id);
    EXPECT_EQ (viewableWindows (x).size(), 2u);

    sendCloseRequest (x, firstWindow->id);
    EXPECT_EQ (first.waitForExit(), std::optional<int> (0));

    std::this_thread::sleep_for (500ms);
    EXPECT_TRUE (second.isRunning());
    const auto remaining = viewableWindows (x);
    ASSERT_EQ (remaining.size(), 1u);
    EXPECT_EQ (remaining[0].id, secondWindow->id);
}
