#include "app/AppClass.h"
#include "app/MainAppWindow.h"
#include "app/RepaintPump.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>

TEST (AppClass, StatesItsIdentityAndLetsCopiesRunSideBySide)
{
    AppClass app;
    EXPECT_EQ (app.getApplicationName(), "ORVALIS Brelvan");
    EXPECT_EQ (app.getApplicationVersion(), "0.0");
    EXPECT_TRUE (app.moreThanOneInstanceAllowed());
    EXPECT_EQ (app.getMainWindow(), nullptr);
}

TEST (AppClass, OpensOneCentredWindowAndDeletesItOnce)
{
    AppClass app;
    app.initialise ("--anything at all");

    auto* window = app.getMainWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (window->isVisible());
    EXPECT_TRUE (window->isOnDesktop());
    EXPECT_EQ (window->getWidth(), 644);
    EXPECT_EQ (window->getHeight(), 424);

    const auto display = juce::Desktop::getInstance().getDisplays().getDisplayForRect (window->getBounds())->userArea;
    EXPECT_LE (std::abs (window->getBounds().getCentreX() - display.getCentreX()), 1);
    EXPECT_LE (std::abs (window->getBounds().getCentreY() - display.getCentreY()), 1);

    app.shutdown();
    EXPECT_EQ (app.getMainWindow(), nullptr);
    app.shutdown(); // nothing left to delete a second time
    EXPECT_EQ (app.getMainWindow(), nullptr);
}

TEST (MainAppWindow, HasTheFrameworkTitleBarAndAResizingBorder)
{
    MainAppWindow window;
    EXPECT_EQ (window.getName(), "ORVALIS Brelvan");
    EXPECT_EQ (window.getBackgroundColour(), juce::Colour (0xfff0ffff));
    EXPECT_TRUE (window.isOnDesktop());
    EXPECT_FALSE (window.isVisible());
    EXPECT_FALSE (window.isUsingNativeTitleBar());
    EXPECT_NE (window.getMinimiseButton(), nullptr);
    EXPECT_NE (window.getMaximiseButton(), nullptr);
    EXPECT_NE (window.getCloseButton(), nullptr);
    EXPECT_TRUE (window.isResizable());
    EXPECT_EQ (window.getTitleBarHeight(), 20);

    // A resizing border along every edge, not a corner grip.
    bool hasBorder = false, hasCorner = false;
    for (auto* child : window.getChildren())
    {
        hasBorder = hasBorder || dynamic_cast<juce::ResizableBorderComponent*> (child) != nullptr;
        hasCorner = hasCorner || dynamic_cast<juce::ResizableCornerComponent*> (child) != nullptr;
    }
    EXPECT_TRUE (hasBorder);
    EXPECT_FALSE (hasCorner);
}

TEST (MainAppWindow, ContentAreaFollowsTheFrameAndTitleBar)
{
    MainAppWindow window;
    window.setBounds (0, 0, 644, 424);
    EXPECT_EQ (window.getBorderThickness(), juce::BorderSize<int> (4));
    EXPECT_EQ (window.getContentComponentBorder(), juce::BorderSize<int> (24, 4, 4, 4));
    EXPECT_EQ (window.getContentComponentBorder().subtractedFrom (window.getLocalBounds()),
               juce::Rectangle<int> (4, 24, 636, 396));

    ASSERT_NE (window.getContentComponent(), nullptr);
    EXPECT_EQ (window.getContentComponent()->getBounds(), juce::Rectangle<int> (4, 24, 636, 396));

    window.setFullScreen (true);
    EXPECT_EQ (window.getBorderThickness(), juce::BorderSize<int> (0));
    EXPECT_EQ (window.getContentComponentBorder(), juce::BorderSize<int> (20, 0, 0, 0));

    // The smallest the border lets it get.
    window.setFullScreen (false);
    window.setBounds (0, 0, 10, 10);
    const auto* constrainer = window.getConstrainer();
    ASSERT_NE (constrainer, nullptr);
    EXPECT_EQ (constrainer->getMinimumWidth(), 128);
    EXPECT_EQ (constrainer->getMinimumHeight(), 128);
}

TEST (MainAppWindow, CloseButtonAsksTheApplicationToQuitAndLeavesTheWindowAlone)
{
    struct QuitRecorder : public AppClass
    {
        void systemRequestedQuit() override { ++quitRequests; }
        int quitRequests = 0;
    } app;

    MainAppWindow window;
    window.setVisible (true);
    window.closeButtonPressed();
    EXPECT_EQ (app.quitRequests, 1);
    EXPECT_TRUE (window.isVisible());
}

namespace
{
/** Runs the message loop until the condition holds or the time is up; gives the time it took. */
template <typename Condition>
int millisecondsUntil (Condition condition, int limit)
{
    const auto start = juce::Time::getMillisecondCounter();
    while (!condition() && static_cast<int> (juce::Time::getMillisecondCounter() - start) < limit)
        testing_support::runMessageLoop (2);
    return static_cast<int> (juce::Time::getMillisecondCounter() - start);
}
} // namespace

// A window that is not on the desktop has no peer and so no vertical blanks: the case the
// pump exists for. Put on the desktop, its peer's blanks arrive (60 Hz here) and take over.
TEST (RepaintPump, SendsHeldRepaintsOnlyWhileNoBlankComes)
{
    juce::Component window;
    window.setSize (200, 100);
    RepaintPump pump (window);
    EXPECT_FALSE (pump.isWaiting());

    window.setVisible (true);
    EXPECT_TRUE (pump.isWaiting());
    EXPECT_FALSE (pump.isPumping());
    const auto tookToPump = millisecondsUntil ([&]
                                               { return pump.isPumping(); },
                                               1000);
    EXPECT_GE (tookToPump, 2 * RepaintPump::frameMilliseconds);
    EXPECT_LE (tookToPump, 4 * RepaintPump::frameMilliseconds + 20);

    // Nothing more asked for: the pump rests instead of waking every frame.
    EXPECT_LE (millisecondsUntil ([&]
                                  { return !pump.isWaiting(); },
                                  2000),
               700);
    EXPECT_FALSE (pump.isPumping());

    // Blanks known to be missing: the next repaint goes out at the next frame.
    window.repaint (0, 0, 10, 10);
    EXPECT_LE (millisecondsUntil ([&]
                                  { return pump.isPumping(); },
                                  1000),
               2 * RepaintPump::frameMilliseconds + 10);

    window.addToDesktop (0);
    EXPECT_LE (millisecondsUntil ([&]
                                  { return !pump.isWaiting(); },
                                  1000),
               200);

    // With blanks arriving, repaints never start the pump's timer.
    for (int i = 0; i < 20; ++i)
    {
        window.repaint();
        EXPECT_FALSE (pump.isWaiting());
        testing_support::runMessageLoop (10);
    }
    EXPECT_FALSE (pump.isPumping());
}

#if JUCE_LINUX
// The framework asks dconf and gsettings for the scale and the theme at start-up, and waits
// for each. Those two are refused without running anything: the framework's own start would
// report a started process, since it only learns after forking whether the program exists.
// Every other command starts as before.
TEST (SettingsProbes, TheFrameworksSettingsProgramsAreRefusedAndOtherCommandsRun)
{
    for (const auto* probe : { "/usr/bin/dconf read /org/gnome/desktop/interface/scaling-factor",
                               "/usr/bin/gsettings get org.gnome.desktop.interface gtk-theme" })
    {
        juce::ChildProcess process;
        EXPECT_FALSE (process.start (probe)) << probe;
    }

    juce::ChildProcess echo;
    ASSERT_TRUE (echo.start ("/bin/echo /usr/bin/dconf read"));
    EXPECT_EQ (echo.readAllProcessOutput(), "/usr/bin/dconf read\n");
    EXPECT_TRUE (echo.waitForProcessToFinish (5000)); // reaped, so no zombie is left
}
#endif
