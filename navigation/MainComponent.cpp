#include "MainComponent.h"

#include "pages/BundleItems.h"
#include "pages/PageLook.h"

static_assert (BundleItems::count == numInstallers, "one installer per item");

MainComponent::MainComponent (Launcher launcher)
    : launch (std::move (launcher))
{
    // Each page goes in front of the ones before it; only the menu starts visible.
    menuPage = std::make_unique<MainInstallerComponent>();
    menuPage->addActionListener (this);
    addAndMakeVisible (*menuPage, -1);

    orvalisPage = std::make_unique<OrvalisInstallerComponent>();
    tessalyPage = std::make_unique<TessalyInstallerComponent>();
    marrowbyPage = std::make_unique<MarrowbyInstallerComponent>();
    kestrunePage = std::make_unique<KestruneInstallerComponent>();

    for (int i = 0; i < numInstallers; ++i)
    {
        auto* page = getProductPage (i);
        page->addActionListener (this);
        addChildComponent (*page, -1);
    }

    for (auto* page : getChildren())
        for (auto* control : page->getChildren())
            control->addKeyListener (this);
    addMouseListener (this, true);
    // The tooltip window looks for a tip once the pointer enters a page or a control.
    addMouseListener (&tooltipWindow, true);
}

// Front-most first, as the children lie.
MainComponent::~MainComponent()
{
    removeMouseListener (&tooltipWindow);
    kestrunePage.reset();
    marrowbyPage.reset();
    tessalyPage.reset();
    orvalisPage.reset();
    menuPage.reset();
}

ProductInstallerComponent* MainComponent::getProductPage (int installerIndex) const noexcept
{
    switch (installerIndex)
    {
        case 0:
            return orvalisPage.get();
        case 1:
            return tessalyPage.get();
        case 2:
            return marrowbyPage.get();
        case 3:
            return kestrunePage.get();
        default:
            return nullptr;
    }
}

// The pages paint everything; where none reaches, the window's background shows.
void MainComponent::paint (juce::Graphics&) {}

// The pages keep their own fixed size at the top-left corner.
void MainComponent::resized() {}

void MainComponent::actionListenerCallback (const juce::String& message)
{
    if (message == BundleItems::returnMessage)
        return showProductPage (-1);

    for (int i = 0; i < numInstallers; ++i)
        if (message == BundleItems::items[static_cast<size_t> (i)].showMessage)
            return showProductPage (i);

    for (int i = 0; i < numInstallers; ++i)
        if (message == BundleItems::items[static_cast<size_t> (i)].installMessage)
            return launch (i);
}

// The new page appears before the menu goes, so there is never a moment with none.
void MainComponent::showProductPage (int installerIndex)
{
    const auto left = getShownPage();
    for (int i = 0; i < numInstallers; ++i)
        getProductPage (i)->setVisible (i == installerIndex);

    menuPage->setVisible (installerIndex < 0);

    if (installerIndex >= 0)
        getProductPage (installerIndex)->getInstallButton()->grabKeyboardFocus();
    else if (left >= 0)
        menuPage->getItemButton (left)->grabKeyboardFocus();
}

int MainComponent::getShownPage() const noexcept
{
    for (int i = 0; i < numInstallers; ++i)
        if (getProductPage (i)->isVisible())
            return i;
    return -1;
}

bool MainComponent::keyPressed (const juce::KeyPress& key)
{
    if (key != juce::KeyPress::escapeKey || getShownPage() < 0)
        return false;
    showProductPage (-1);
    return true;
}

bool MainComponent::keyPressed (const juce::KeyPress& key, juce::Component* control)
{
    auto* button = dynamic_cast<juce::Button*> (control);
    if (key != juce::KeyPress::spaceKey || button == nullptr)
        return false;
    button->triggerClick();
    return true;
}

bool MainComponent::keyStateChanged (bool isKeyDown, juce::Component*)
{
    if (isKeyDown)
        showFocusRing (true);
    return false;
}

void MainComponent::mouseDown (const juce::MouseEvent&)
{
    showFocusRing (false);
}

// A tip shown goes with the pointer that leaves the window: nothing in the window hears of
// the pointer once it is out.
void MainComponent::mouseExit (const juce::MouseEvent& event)
{
    if (tooltipWindow.isVisible() && !getScreenBounds().contains (event.getScreenPosition()))
        tooltipWindow.hideTip();
}

void MainComponent::showFocusRing (bool shown)
{
    if (PageLook::isFocusRingShown() == shown)
        return;
    PageLook::setFocusRingShown (shown);
    repaint();
}
