#include "ProductInstallerComponent.h"

#include "PageLook.h"

namespace
{
// The keyboard visits Install first, then Return, then the links from the top down.
constexpr int installOrder = 1, returnOrder = 2, firstLinkOrder = 3;
} // namespace

ProductInstallerComponent::ProductInstallerComponent (const BundleItems::Item& pageItem)
    : item (pageItem)
{
    size_t link = 0;
    for (int i = 0; i < item.linkCount + 2; ++i)
    {
        const auto kind = item.children[static_cast<size_t> (i)];
        if (kind == BundleItems::Child::returnButton)
            returnButton = makeReturnButton();
        else if (kind == BundleItems::Child::installButton)
            installButton = makeInstallButton();
        else
        {
            webLinks[link] = makeWebLink (link);
            ++link;
        }
    }

    backgroundImage = PageLook::picture (item.background);
    PageLook::presentAsPage (*this, juce::String (item.name) + " page");
    setSize (PageLook::pageWidth, PageLook::pageHeight);
}

ProductInstallerComponent::~ProductInstallerComponent()
{
    for (auto& child : children)
        child.button.reset();
    backgroundImage = {};
}

template <typename Button>
Button* ProductInstallerComponent::adopt (std::unique_ptr<Button> button, BundleItems::Bounds bounds)
{
    auto* adopted = button.get();
    addAndMakeVisible (*adopted);
    children.push_back ({ std::move (button), bounds });
    return adopted;
}

juce::ImageButton* ProductInstallerComponent::makeReturnButton()
{
    auto* button = adopt (std::make_unique<juce::ImageButton> ("new button"), BundleItems::returnButton);
    button->setButtonText ("Return");
    button->addListener (this);
    PageLook::setPicture (*button, item.returnPicture, true);
    PageLook::describe (*button, "Return to the menu", {}, returnOrder);
    return button;
}

juce::ImageButton* ProductInstallerComponent::makeInstallButton()
{
    auto* button = adopt (std::make_unique<juce::ImageButton> ("Install"), BundleItems::installButton);
    button->addListener (this);
    PageLook::setPicture (*button, item.installPicture, true);
    PageLook::describe (*button, juce::String ("Install ") + item.name, juce::String ("Open ") + item.installs + " from the disc", installOrder);
    return button;
}

WebLinkButton* ProductInstallerComponent::makeWebLink (size_t index)
{
    const auto& link = item.links[index];
    const juce::String address (link.address);
    auto* button = adopt (std::make_unique<WebLinkButton> (address), link.bounds);
    button->setTooltip (address);
    button->setButtonText (address);
    button->setColour (juce::HyperlinkButton::textColourId, juce::Colour (BundleItems::linkColour));
    PageLook::describe (*button, address, "Open the address in the web browser", firstLinkOrder + static_cast<int> (index));
    return button;
}

juce::HyperlinkButton* ProductInstallerComponent::getWebLink (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, item.linkCount) ? webLinks[static_cast<size_t> (index)] : nullptr;
}

void ProductInstallerComponent::paint (juce::Graphics& g)
{
    PageLook::paintBackground (g, backgroundImage);
}

void ProductInstallerComponent::resized()
{
    for (auto& child : children)
        child.button->setBounds (child.bounds.rectangle());
}

void ProductInstallerComponent::buttonClicked (juce::Button* clicked)
{
    if (clicked == returnButton)
        sendActionMessage (BundleItems::returnMessage);
    else if (clicked == installButton)
        sendActionMessage (item.installMessage);
}
