#include "MainAppWindow.h"

#include "artwork/Artwork.h"
#include "artwork/PngDecoder.h"
#include "navigation/MainComponent.h"

MainAppWindow::MainAppWindow()
    : DocumentWindow (windowTitle, juce::Colours::azure, DocumentWindow::allButtons, true)
{
    setResizable (true, false);
    setTitleBarHeight (titleBarHeight);
    // The keyboard focus goes to the page's first control, never to the window itself.
    setWantsKeyboardFocus (false);
    setContentOwned (new MainComponent(), false);
    attachIcon();
}

MainAppWindow::~MainAppWindow() = default;

// Through the peer, so the task bar shows the icon while our own title bar keeps drawing none.
void MainAppWindow::attachIcon()
{
    const auto& largest = Artwork::icons[0];
    if (auto* peer = getPeer())
        peer->setIcon (PngDecoder::decode (largest.data, static_cast<size_t> (largest.size)));
}

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
