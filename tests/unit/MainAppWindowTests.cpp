#include "app/AppClass.h"
#include "app/MainAppWindow.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>

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
