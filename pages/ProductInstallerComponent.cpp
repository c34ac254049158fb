#include "ProductInstallerComponent.h"

#include "PageLook.h"
#include "PageMessages.h"
#include "WebLinkButton.h"

using Child = ProductInstallerComponent::Child;

// The makers' web sites: the bundle's maker, who also makes Orvalis, then the makers of
// Tessaly, Marrowby and Kestrune.
const ProductInstallerComponent::Layout OrvalisInstallerComponent::layout{
    { Child::webLink1, Child::webLink2, Child::returnButton, Child::installButton },
    { { "http://orvalis.example", { 16, 352, 131, 16 } },
      { "http://orvalis.example/evolution/en/products/orvalis/intro.html", { 22, 378, 344, 16 } } },
    Artwork::orvalisReturn,
    Artwork::orvalisInstall,
    Artwork::orvalisBackground,
    PageMessages::install[0]
};

const ProductInstallerComponent::Layout TessalyInstallerComponent::layout{
    { Child::returnButton, Child::webLink1, Child::webLink2, Child::webLink3, Child::installButton },
    { { "http://tess.example/download-tessaly", { 16, 327, 218, 16 } },
      { "http://tess.example/tessaly-upgrade", { 21, 353, 184, 16 } },
      { "http://tess.example/movies", { 21, 378, 160, 16 } } },
    Artwork::tessalyReturn,
    Artwork::tessalyInstall,
    Artwork::tessalyBackground,
    PageMessages::install[1]
};

const ProductInstallerComponent::Layout MarrowbyInstallerComponent::layout{
    { Child::returnButton, Child::webLink1, Child::installButton },
    { { "http://marrowby.example/marrowby/overview/", { 8, 379, 299, 16 } } },
    Artwork::marrowbyReturn,
    Artwork::marrowbyInstall,
    Artwork::marrowbyBackground,
    PageMessages::install[2]
};

const ProductInstallerComponent::Layout KestruneInstallerComponent::layout{
    { Child::returnButton, Child::webLink1, Child::installButton },
    { { "http://kestrune.example", { 25, 382, 145, 16 } } },
    Artwork::kestruneReturn,
    Artwork::kestruneInstall,
    Artwork::kestruneBackground,
    PageMessages::install[3]
};

OrvalisInstallerComponent::OrvalisInstallerComponent()
    : ProductInstallerComponent (layout)
{
}
TessalyInstallerComponent::TessalyInstallerComponent()
    : ProductInstallerComponent (layout)
{
}
MarrowbyInstallerComponent::MarrowbyInstallerComponent()
    : ProductInstallerComponent (layout)
{
}
KestruneInstallerComponent::KestruneInstallerComponent()
    : ProductInstallerComponent (layout)
{
}

//==============================================================================
ProductInstallerComponent::ProductInstallerComponent (const Layout& pageLayout)
    : layout (pageLayout)
{
    for (auto child : layout.children)
        create (child);

    backgroundImage = PageLook::picture (layout.background);
    setSize (PageLook::pageWidth, PageLook::pageHeight);
}

ProductInstallerComponent::~ProductInstallerComponent()
{
    for (auto child : layout.children)
        destroy (child);

    backgroundImage = {};
}

void ProductInstallerComponent::create (Child child)
{
    switch (child)
    {
        case Child::returnButton:
            returnButton = std::make_unique<juce::ImageButton> ("new button");
            addAndMakeVisible (*returnButton);
            returnButton->setButtonText ("Return");
            returnButton->addListener (this);
            PageLook::setPicture (*returnButton, layout.returnPicture, true);
            break;

        case Child::installButton:
            installButton = std::make_unique<juce::ImageButton> ("Install");
            addAndMakeVisible (*installButton);
            installButton->addListener (this);
            PageLook::setPicture (*installButton, layout.installPicture, true);
            break;

        case Child::webLink1:
        case Child::webLink2:
        case Child::webLink3:
        {
            const auto index = linkIndex (child);
            const juce::String address (layout.webLinks[index].address);
            auto& link = index == 0 ? webLink1 : index == 1 ? webLink2
                                                            : webLink3;
            link = std::make_unique<WebLinkButton> (address);
            addAndMakeVisible (*link);
            link->setTooltip (address);
            link->setButtonText (address);
            link->setColour (juce::HyperlinkButton::textColourId, juce::Colour (linkTextColour));
            break;
        }
    }
}

juce::Component* ProductInstallerComponent::get (Child child) const noexcept
{
    switch (child)
    {
        case Child::returnButton:
            return returnButton.get();
        case Child::installButton:
            return installButton.get();
        case Child::webLink1:
            return webLink1.get();
        case Child::webLink2:
            return webLink2.get();
        case Child::webLink3:
            return webLink3.get();
    }
    return nullptr;
}

void ProductInstallerComponent::destroy (Child child)
{
    switch (child)
    {
        case Child::returnButton:
            returnButton.reset();
            break;
        case Child::installButton:
            installButton.reset();
            break;
        case Child::webLink1:
            webLink1.reset();
            break;
        case Child::webLink2:
            webLink2.reset();
            break;
        case Child::webLink3:
            webLink3.reset();
            break;
    }
}

juce::HyperlinkButton* ProductInstallerComponent::getWebLink (int index) const noexcept
{
    switch (index)
    {
        case 0:
            return webLink1.get();
        case 1:
            return webLink2.get();
        case 2:
            return webLink3.get();
        default:
            return nullptr;
    }
}

void ProductInstallerComponent::paint (juce::Graphics& g)
{
    PageLook::paintBackground (g, backgroundImage);
}

void ProductInstallerComponent::resized()
{
    for (auto child : layout.children)
        get (child)->setBounds (boundsOf (child));
}

juce::Rectangle<int> ProductInstallerComponent::boundsOf (Child child) const
{
    switch (child)
    {
        case Child::returnButton:
            return returnBounds;
        case Child::installButton:
            return installBounds;
        case Child::webLink1:
        case Child::webLink2:
        case Child::webLink3:
            break;
    }
    return layout.webLinks[linkIndex (child)].bounds;
}

size_t ProductInstallerComponent::linkIndex (Child link) noexcept
{
    return static_cast<size_t> (link) - static_cast<size_t> (Child::webLink1);
}

void ProductInstallerComponent::buttonClicked (juce::Button* clicked)
{
    if (clicked == returnButton.get())
        sendActionMessage (PageMessages::returnToMenu);
    else if (clicked == installButton.get())
        sendActionMessage (layout.installMessage);
}
