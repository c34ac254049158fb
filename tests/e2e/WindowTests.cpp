#include "support/Session.h"

#include <gtest/gtest.h>

using namespace support;

namespace
{
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
        EXPECT_EQ (app.waitForExit(), std::optional<int> (0));
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
        plainContent = screenshot (x, contentArea + window->bounds.getPosition());
        sendCloseRequest (x, window->id);
        ASSERT_EQ (plain.waitForExit(), std::optional<int> (0));
    }

    // Arguments that would do something if anything read them, the shell above all.
    const juce::TemporaryFile marker;
    const auto touch = "$(touch " + marker.getFile().getFullPathName().toStdString() + ")";
    Process app (x, programPath(), { "--help", "-v", "Orvalis\\Orvalis.exe", touch, "`" + touch.substr (2, touch.size() - 3) + "`", "a b;c", "\xc3\xa9", "caf\xe9" });
    const auto window = waitForWindow (x, app.pid());
    ASSERT_TRUE (window.has_value());
    EXPECT_EQ (window->title, "ORVALIS Brelvan");
    EXPECT_EQ (window->bounds, centredWindow (x));
    EXPECT_EQ (countDifferentPixels (screenshot (x, contentArea + window->bounds.getPosition()), plainContent), 0);

    sendCloseRequest (x, window->id);
    EXPECT_EQ (app.waitForExit(), std::optional<int> (0));
    EXPECT_FALSE (marker.getFile().exists()) << "an argument ran as a command";
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

// Some launchers start programs with standard input, output and error closed. The menu's own
// descriptors must not take their places: an installer would inherit them as its standard
// streams, and one that writes to its output would block for ever on the menu's own socket.
TEST (Window, StartedWithItsStandardStreamsClosedItHandsOnNoneOfItsOwn)
{
    Disc disc;
    const auto writer = juce::String ("#!/bin/sh\nhead -c 1048576 /dev/zero\n") + "printf 'wrote a megabyte; 0 %s, 1 %s, 2 %s\\n' \"$(readlink /proc/$$/fd/0)\" \"$(readlink /proc/$$/fd/1)\" \"$(readlink /proc/$$/fd/2)\" >> \"$BRELVAN_TEST_LOG\"\n";
    disc.putInstaller ("Tessaly/Tessaly.exe", { writer.toRawUTF8(), writer.getNumBytesAsUTF8() }, 0755);

    Session s ([&] (const XServer& x)
               { return std::make_unique<Process> (x, disc.program().getFullPathName().toStdString(), std::vector<std::string>(),
                                                   disc.workingFolder().getFullPathName().toStdString(), disc.environment(), std::string(), true); });
    ASSERT_TRUE (s.window.has_value());
    ASSERT_NO_FATAL_FAILURE (s.install (1));
    // A ceiling for a writer that blocks, not a time to keep.
    EXPECT_EQ (disc.log (1, 20s), juce::StringArray ("wrote a megabyte; 0 /dev/null, 1 /dev/null, 2 /dev/null"));
    s.closeAndExpectStatusZero();
}
