#pragma once

// The generator's pictures, by what they draw: the menu's (MenuPictures.cpp), the product
// pages' (ProductPictures.cpp), the illustrations on them (Illustrations.cpp), the pages'
// copy (PageCopy.cpp) and the icon (Icon.cpp); Pictures.cpp lists them all.

#include "PictureKit.h"
#include "pages/BundleItems.h"
#include "pages/PageLook.h"

#include <functional>
#include <vector>

namespace PictureParts
{
// The pages' own measures: the pictures are drawn to fit where the pages place them.
constexpr int pageWidth = PageLook::pageWidth, pageHeight = PageLook::pageHeight;

juce::Image menuBackground (const PictureKit&);
/** An item's button on the menu, to fit its place there. */
juce::Image menuPicture (const PictureKit&, const ItemStyle&, int itemIndex);

juce::Image returnButton (const PictureKit&);
juce::Image installButton (const PictureKit&, const ItemStyle&);

/** What differs between the four product backgrounds; the rest of the layout is shared. */
struct ProductPage
{
    const ItemStyle& style;
    juce::Rectangle<float> panel;
    const char* about;
    juce::StringArray features;
    const BundleItems::Item& item;   // where its links lie
    std::vector<const char*> labels; // one above each link, in the links' order
    std::function<void (juce::Graphics&, const PictureKit&)> drawLogo, drawPicture, drawTitle;
};

juce::Image productBackground (const PictureKit&, const ProductPage&);

/** The four product pages' copy and drawings, in item order. */
const std::vector<ProductPage>& productPages();

// The illustrations of the product pages, each item's in its place.
void orvalisPicture (juce::Graphics&, const PictureKit&);
void tessalyPicture (juce::Graphics&, const PictureKit&);
void marrowbyPicture (juce::Graphics&, const PictureKit&);
void kestrunePicture (juce::Graphics&, const PictureKit&);

juce::Image icon (const PictureKit&, int size);

/** Throws where a picture is not dark enough over an area (in logical pixels) that a page covers. */
void requireDark (const juce::Image&, const PictureKit&, juce::Rectangle<int> logical, int limit, const char* what);
/** A line of mixed weights, centred, that must stay on one line. */
void richLine (juce::Graphics&, const juce::AttributedString&, juce::Rectangle<float> area);
} // namespace PictureParts
