#include "app/AppClass.h"
#include "app/MainAppWindow.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>

// Who the application is (its name, its version, its copies side by side) is tested where it
// shows: the window's title, the Windows program's version, two windows on one display.
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
