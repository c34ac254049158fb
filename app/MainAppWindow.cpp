#include "MainAppWindow.h"

MainAppWindow::MainAppWindow()
    : DocumentWindow (windowTitle, juce::Colours::azure, DocumentWindow::allButtons, true)
{
    setResizable (true, false);
    setTitleBarHeight (titleBarHeight);
}

MainAppWindow::~MainAppWindow() = default;

// The window stays on screen until shutdown deletes it; no confirmation is asked.
void MainAppWindow::closeButtonPressed()
{
    if (auto* app = juce::JUCEApplication::getInstance())
        app->systemRequestedQuit();
}

juce::BorderSize<int> MainAppWindow::getBorderThickness()
{
    return isFullScreen() ? juce::BorderSize<int>() : DocumentWindow::getBorderThickness();
}
