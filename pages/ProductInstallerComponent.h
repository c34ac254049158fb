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
    };

    ~ProductInstallerComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    juce::ImageButton* getReturnButton() const noexcept { return returnButton.get(); }
    juce::ImageButton* getInstallButton() const noexcept { return installButton.get(); }
    juce::HyperlinkButton* getWebLink (int index) const noexcept;

    static inline const juce::Rectangle<int> returnBounds{ 520, 312, 104, 41 };
    static inline const juce::Rectangle<int> installBounds{ 392, 296, 136, 98 };
    static constexpr juce::uint32 linkTextColour = 0xccd3d3e6;

protected:
    explicit ProductInstallerComponent (const Layout&);

private:
    void create (Child);
    juce::Component* get (Child) const noexcept;
    void destroy (Child);
    juce::Rectangle<int> boundsOf (Child) const;
    static size_t linkIndex (Child) noexcept;

    const Layout& layout;
    std::unique_ptr<juce::ImageButton> returnButton;
    std::unique_ptr<juce::ImageButton> installButton;
    std::unique_ptr<juce::HyperlinkButton> webLink1;
    std::unique_ptr<juce::HyperlinkButton> webLink2;
    std::unique_ptr<juce::HyperlinkButton> webLink3;
    juce::Image backgroundImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProductInstallerComponent)
};

#define BRELVAN_PRODUCT_PAGE(ClassName)                          \
    class ClassName : public ProductInstallerComponent           \
    {                                                            \
    public:                                                      \
        ClassName();                                             \
        static const Layout layout;                              \
                                                                 \
    private:                                                     \
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ClassName) \
    };

BRELVAN_PRODUCT_PAGE (OrvalisInstallerComponent)
BRELVAN_PRODUCT_PAGE (TessalyInstallerComponent)
BRELVAN_PRODUCT_PAGE (MarrowbyInstallerComponent)
BRELVAN_PRODUCT_PAGE (KestruneInstallerComponent)

#undef BRELVAN_PRODUCT_PAGE
