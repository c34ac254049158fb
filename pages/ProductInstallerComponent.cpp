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
    PageMessages::install[0],
    "Orvalis",
    "its installer"
};

const ProductInstallerComponent::Layout TessalyInstallerComponent::layout{
    { Child::returnButton, Child::webLink1, Child::webLink2, Child::webLink3, Child::installButton },
    { { "http://tess.example/download-tessaly", { 16, 327, 218, 16 } },
      { "http://tess.example/tessaly-upgrade", { 21, 353, 184, 16 } },
      { "http://tess.example/movies", { 21, 378, 160, 16 } } },
    Artwork::tessalyReturn,
    Artwork::tessalyInstall,
    Artwork::tessalyBackground,
    PageMessages::install[1],
    "Tessaly",
    "its installer"
};

const ProductInstallerComponent::Layout MarrowbyInstallerComponent::layout{
    { Child::returnButton, Child::webLink1, Child::installButton },
    { { "http://marrowby.example/marrowby/overview/", { 8, 379, 299, 16 } } },
    Artwork::marrowbyReturn,
    Artwork::marrowbyInstall,
    Artwork::marrowbyBackground,
    PageMessages::install[2],
    "Marrowby",
    "its installer"
};

const ProductInstallerComponent::Layout KestruneInstallerComponent::layout{
    { Child::returnButton, Child::webLink1, Child::installButton },
    { { "http://kestrune.example", { 25, 382, 145, 16 } } },
    Artwork::kestruneReturn,
    Artwork::kestruneInstall,
    Artwork::kestruneBackground,
    PageMessages::install[3],
    "Kestrune",
    "its content pack"
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
    {
        const auto& row = rows.emplace_back (rowOf (child));
        auto& slot = this->*slotOf (child);
        slot = make (child);
        PageLook::describe (*slot, row.name, row.description, row.keyboardOrder);
        addAndMakeVisible (*slot);
        if (child == Child::returnButton || child == Child::installButton)
            slot->addListener (this);
    }

    backgroundImage = PageLook::picture (layout.background);
    PageLook::presentAsPage (*this, juce::String (layout.item) + " page");
    setSize (PageLook::pageWidth, PageLook::pageHeight);
}

// The keyboard visits Install first, then Return, then the links from the top down.
ProductInstallerComponent::Row ProductInstallerComponent::rowOf (Child child) const
{
    if (child == Child::installButton)
        return { child, installBounds, juce::String ("Install ") + layout.item, juce::String ("Open ") + layout.installs + " from the disc", 1 };
    if (child == Child::returnButton)
        return { child, returnBounds, "Return to the menu", {}, 2 };

    const auto link = linkIndex (child);
    const auto& webLink = layout.webLinks[link];
    return { child, webLink.bounds, webLink.address, "Open the address in the web browser", 3 + static_cast<int> (link) };
}

ProductInstallerComponent::~ProductInstallerComponent()
{
    for (auto child : layout.children)
        (this->*slotOf (child)).reset();

    backgroundImage = {};
}

ProductInstallerComponent::Slot ProductInstallerComponent::slotOf (Child child) noexcept
{
    static constexpr Slot slots[] = { &ProductInstallerComponent::returnButton, &ProductInstallerComponent::installButton,
                                      &ProductInstallerComponent::webLink1, &ProductInstallerComponent::webLink2,
                                      &ProductInstallerComponent::webLink3 };
    return slots[static_cast<size_t> (child)];
}

std::unique_ptr<juce::Button> ProductInstallerComponent::make (Child child) const
{
    if (child == Child::returnButton || child == Child::installButton)
    {
        const bool isReturn = child == Child::returnButton;
        auto button = std::make_unique<juce::ImageButton> (isReturn ? "new button" : "Install");
        if (isReturn)
            button->setButtonText ("Return");
        PageLook::setPicture (*button, isReturn ? layout.returnPicture : layout.installPicture, true);
        return button;
    }

    const juce::String address (layout.webLinks[linkIndex (child)].address);
    auto link = std::make_unique<WebLinkButton> (address);
    link->setTooltip (address);
    link->setButtonText (address);
    link->setColour (juce::HyperlinkButton::textColourId, juce::Colour (linkTextColour));
    return link;
}

juce::HyperlinkButton* ProductInstallerComponent::getWebLink (int index) const noexcept
{
    if (!juce::isPositiveAndBelow (index, 3))
        return nullptr;
    return static_cast<juce::HyperlinkButton*> ((this->*slotOf (static_cast<Child> (static_cast<int> (Child::webLink1) + index))).get());
}

void ProductInstallerComponent::paint (juce::Graphics& g)
{
    PageLook::paintBackground (g, backgroundImage);
}

void ProductInstallerComponent::resized()
{
    for (const auto& row : rows)
        (this->*slotOf (row.child))->setBounds (row.bounds);
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
