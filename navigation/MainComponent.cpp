#include "MainComponent.h"

#include "pages/PageMessages.h"

static_assert (PageMessages::numItems == numInstallers, "one show and one install message per installer");

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
}

// Front-most first, as the children lie.
MainComponent::~MainComponent()
{
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
    if (message == PageMessages::returnToMenu)
        return showProductPage (-1);

    for (int i = 0; i < numInstallers; ++i)
        if (message == PageMessages::show[i])
            return showProductPage (i);

    for (int i = 0; i < numInstallers; ++i)
        if (message == PageMessages::install[i])
            return launch (i);
}

// The new page appears before the menu goes, so there is never a moment with none.
void MainComponent::showProductPage (int installerIndex)
{
    for (int i = 0; i < numInstallers; ++i)
        getProductPage (i)->setVisible (i == installerIndex);

    menuPage->setVisible (installerIndex < 0);
}
