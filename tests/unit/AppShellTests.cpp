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
/** Runs the message loop until the condition holds or the ceiling is reached; gives the time
    it took. The ceiling only ends a wait for what never comes: a busy machine may be slow. */
template <typename Condition>
int millisecondsUntil (Condition condition, int ceiling = 10000)
{
    const auto start = juce::Time::getMillisecondCounter();
    while (!condition() && static_cast<int> (juce::Time::getMillisecondCounter() - start) < ceiling)
        testing_support::runMessageLoop (2);
    return static_cast<int> (juce::Time::getMillisecondCounter() - start);
}
} // namespace

// A window that is not on the desktop has no peer and so no vertical blanks: the case the
// pump exists for. Put on the desktop, its peer's blanks arrive and take over. What happens
// is checked, and that the pump waits its two frames first; how soon after it comes is the
// machine's.
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
                                               { return pump.isPumping(); });
    EXPECT_TRUE (pump.isPumping());
    EXPECT_GE (tookToPump, 2 * RepaintPump::frameMilliseconds) << "a repaint was sent before a blank could have come";

    // Nothing more asked for: the pump rests instead of waking every frame.
    millisecondsUntil ([&]
                       { return !pump.isWaiting(); });
    EXPECT_FALSE (pump.isWaiting());
    EXPECT_FALSE (pump.isPumping());

    // Blanks known to be missing: the next repaint goes out again.
    window.repaint (0, 0, 10, 10);
    millisecondsUntil ([&]
                       { return pump.isPumping(); });
    EXPECT_TRUE (pump.isPumping());

    // With blanks arriving, a repaint asked for at a blank never starts the pump's timer:
    // the blank after it sends it. (The framework tells the pump of each blank first: its
    // listeners hear in the reverse order of their coming, and this one comes before the
    // window has a peer for the pump to listen to.)
    int blanks = 0;
    bool counting = false, waitedAtABlank = false;
    const juce::VBlankAttachment atEachBlank (&window, [&]
                                              {
                                                  if (!counting)
                                                      return;
                                                  ++blanks;
                                                  window.repaint();
                                                  waitedAtABlank = waitedAtABlank || pump.isWaiting(); });
    window.addToDesktop (0);
    millisecondsUntil ([&]
                       { return !pump.isWaiting(); });
    EXPECT_FALSE (pump.isWaiting());

    counting = true;
    millisecondsUntil ([&]
                       { return blanks >= 20; });
    EXPECT_GE (blanks, 20);
    EXPECT_FALSE (waitedAtABlank);
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
