#pragma once

#include "BundleItems.h"
#include "WebLinkButton.h"

#include <array>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

/** A product page: the item's background, one to three web links, an Install button
    that asks for the item's installer and a Return button that asks for the menu.
    The four pages share this shape; what differs between them is their row of the
    bundle's items (BundleItems). */
class ProductInstallerComponent : public juce::Component,
                                  public juce::ActionBroadcaster,
                                  public juce::Button::Listener
{
public:
    ~ProductInstallerComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    juce::ImageButton* getReturnButton() const noexcept { return returnButton; }
    juce::ImageButton* getInstallButton() const noexcept { return installButton; }
    /** The page's links from the top down, 0 to 2; null past the page's last. */
    juce::HyperlinkButton* getWebLink (int index) const noexcept;

protected:
    explicit ProductInstallerComponent (const BundleItems::Item&);

private:
    /** A child as the page owns it, in the page's order of creation, layout and deletion. */
    struct Placed
    {
        std::unique_ptr<juce::Button> button;
        BundleItems::Bounds bounds;
    };

    template <typename Button>
    Button* adopt (std::unique_ptr<Button>, BundleItems::Bounds);
    juce::ImageButton* makeReturnButton();
    juce::ImageButton* makeInstallButton();
    WebLinkButton* makeWebLink (size_t index);

    const BundleItems::Item& item;
    std::vector<Placed> children;
    // The children by what they are: the Return and Install buttons, and webLink1 to webLink3.
    juce::ImageButton* returnButton = nullptr;
    juce::ImageButton* installButton = nullptr;
    std::array<WebLinkButton*, 3> webLinks{};
    juce::Image backgroundImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProductInstallerComponent)
};

/** One product page of the bundle: the item's row of BundleItems. */
template <int itemIndex>
class ProductPage : public ProductInstallerComponent
{
public:
    ProductPage()
        : ProductInstallerComponent (BundleItems::items[itemIndex])
    {
    }
};

// Orvalis: two links, to the maker's site and the product's introduction. Tessaly: three,
// to the download, the upgrade and the films. Marrowby: one, to the product's overview.
// Kestrune: one, to the maker's site; its Install opens the content pack.
class OrvalisInstallerComponent : public ProductPage<0>
{
};
class TessalyInstallerComponent : public ProductPage<1>
{
};
class MarrowbyInstallerComponent : public ProductPage<2>
{
};
class KestruneInstallerComponent : public ProductPage<3>
{
};
