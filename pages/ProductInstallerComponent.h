#pragma once

#include "artwork/Artwork.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <vector>

/** A product page: the item's background, one to three web links, an Install button
    that asks for the item's installer and a Return button that asks for the menu.
    The four pages share this shape; what differs between them is their Layout. */
class ProductInstallerComponent : public juce::Component,
                                  public juce::ActionBroadcaster,
                                  public juce::Button::Listener
{
public:
    enum class Child
    {
        returnButton,
        installButton,
        webLink1,
        webLink2,
        webLink3
    };

    struct WebLink
    {
        const char* address; // text, target and tooltip alike
        juce::Rectangle<int> bounds;
    };

    /** Everything that makes one product page different from another. */
    struct Layout
    {
        std::vector<Child> children;   // creation, layout and deletion order
        std::vector<WebLink> webLinks; // webLink1, webLink2, webLink3, as many as the page has
        const ArtworkEntry& returnPicture;
        const ArtworkEntry& installPicture;
        const ArtworkEntry& background;
        const char* installMessage;
        const char* item;     // its name, as the page and its Install button are called
        const char* installs; // what Install opens from the disc
    };

    ~ProductInstallerComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    juce::ImageButton* getReturnButton() const noexcept { return static_cast<juce::ImageButton*> (returnButton.get()); }
    juce::ImageButton* getInstallButton() const noexcept { return static_cast<juce::ImageButton*> (installButton.get()); }
    juce::HyperlinkButton* getWebLink (int index) const noexcept;

    static inline const juce::Rectangle<int> returnBounds{ 520, 312, 104, 41 };
    static inline const juce::Rectangle<int> installBounds{ 392, 296, 136, 98 };
    static constexpr juce::uint32 linkTextColour = 0xccd3d3e6;

protected:
    explicit ProductInstallerComponent (const Layout&);

private:
    using Slot = std::unique_ptr<juce::Button> ProductInstallerComponent::*;

    /** One child of the page as it is placed and named: where it lies, what assistive
        technology calls it and how it is described, and its place in the keyboard's order. */
    struct Row
    {
        Child child;
        juce::Rectangle<int> bounds;
        juce::String name;
        juce::String description;
        int keyboardOrder;
    };

    /** Where each kind of child lives. */
    static Slot slotOf (Child) noexcept;
    Row rowOf (Child) const;
    std::unique_ptr<juce::Button> make (Child) const;
    static size_t linkIndex (Child) noexcept;

    const Layout& layout;
    std::vector<Row> rows; // in the layout's order of children
    std::unique_ptr<juce::Button> returnButton;
    std::unique_ptr<juce::Button> installButton;
    std::unique_ptr<juce::Button> webLink1;
    std::unique_ptr<juce::Button> webLink2;
    std::unique_ptr<juce::Button> webLink3;
    juce::Image backgroundImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProductInstallerComponent)
};

/** The Orvalis page: two links, to the maker's site and the product's introduction. */
class OrvalisInstallerComponent : public ProductInstallerComponent
{
public:
    OrvalisInstallerComponent();
    static const Layout layout;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OrvalisInstallerComponent)
};

/** The Tessaly page: three links, to the download, the upgrade and the films. */
class TessalyInstallerComponent : public ProductInstallerComponent
{
public:
    TessalyInstallerComponent();
    static const Layout layout;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TessalyInstallerComponent)
};

/** The Marrowby page: one link, to the product's overview. */
class MarrowbyInstallerComponent : public ProductInstallerComponent
{
public:
    MarrowbyInstallerComponent();
    static const Layout layout;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MarrowbyInstallerComponent)
};

/** The Kestrune page: one link, to the maker's site; its Install opens the content pack. */
class KestruneInstallerComponent : public ProductInstallerComponent
{
public:
    KestruneInstallerComponent();
    static const Layout layout;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KestruneInstallerComponent)
};
