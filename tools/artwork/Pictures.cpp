#include "Pictures.h"

#include "PictureParts.h"

using namespace PictureParts;
using juce::Colour;
using juce::Rectangle;

std::vector<Picture> allPictures()
{
    using namespace ItemStyles;
    std::vector<Picture> pictures{
        { "menuBackground.png", menuBackground },
        { "menuOrvalisButton.png", [] (const PictureKit& k)
          { return menuPicture (k, orvalis, 0); } },
        { "menuTessalyButton.png", [] (const PictureKit& k)
          { return menuPicture (k, tessaly, 1); } },
        { "menuMarrowbyButton.png", [] (const PictureKit& k)
          { return menuPicture (k, marrowby, 2); } },
        { "menuKestruneButton.png", [] (const PictureKit& k)
          { return menuPicture (k, kestrune, 3); } },
    };

    for (size_t i = 0; i < BundleItems::items.size(); ++i)
    {
        const auto prefix = juce::String (BundleItems::items[i].name).toLowerCase();
        pictures.push_back ({ prefix + "Background.png", [i] (const PictureKit& k)
                              { return productBackground (k, productPages()[i]); } });
        pictures.push_back ({ prefix + "Return.png", returnButton });
        pictures.push_back ({ prefix + "Install.png", [i] (const PictureKit& k)
                              { return installButton (k, productPages()[i].style); } });
    }

    for (int size : { 128, 64, 48, 32 })
        pictures.push_back ({ "icon" + juce::String (size) + ".png", [size] (const PictureKit& k)
                              { return icon (k, size); } });
    return pictures;
}

std::vector<std::pair<juce::String, juce::Image>> pagePreviews (const PictureKit& kit)
{
    struct Placed
    {
        juce::Image picture;
        Rectangle<int> bounds;
    };
    const auto compose = [&kit] (juce::Image background, const std::vector<Placed>& buttons, const std::vector<std::pair<juce::String, Rectangle<int>>>& links)
    {
        auto page = kit.canvas (pageWidth, pageHeight);
        juce::Graphics g (page);
        kit.useLogicalPixels (g);
        PictureKit::drawLayer (g, background, {});
        for (auto& b : buttons)
        {
            g.setOpacity (0.8f);
            PictureKit::drawLayer (g, b.picture, b.bounds.getPosition());
        }
        g.setOpacity (1.0f);
        g.setFont (juce::Font (11.2f, juce::Font::underlined));
        for (auto& [address, bounds] : links)
        {
            g.setColour (Colour (BundleItems::linkColour));
            g.drawText (address, bounds.reduced (1, 0), juce::Justification::centred, true);
        }
        return page;
    };

    using namespace ItemStyles;
    std::vector<std::pair<juce::String, juce::Image>> previews;
    previews.push_back ({ "menuPage.png",
                          compose (menuBackground (kit),
                                   { { menuPicture (kit, orvalis, 0), BundleItems::items[0].menuButton.rectangle() },
                                     { menuPicture (kit, tessaly, 1), BundleItems::items[1].menuButton.rectangle() },
                                     { menuPicture (kit, marrowby, 2), BundleItems::items[2].menuButton.rectangle() },
                                     { menuPicture (kit, kestrune, 3), BundleItems::items[3].menuButton.rectangle() } },
                                   {}) });
    for (auto& page : productPages())
    {
        std::vector<std::pair<juce::String, Rectangle<int>>> links;
        for (int i = 0; i < page.item.linkCount; ++i)
            links.push_back ({ "http://" + juce::String (page.style.name).toLowerCase() + ".example/...", page.item.links[static_cast<size_t> (i)].bounds.rectangle() });
        previews.push_back ({ juce::String (page.style.name).toLowerCase() + "Page.png",
                              compose (productBackground (kit, page),
                                       { { returnButton (kit), BundleItems::returnButton.rectangle() }, { installButton (kit, page.style), BundleItems::installButton.rectangle() } },
                                       links) });
    }
    return previews;
}
