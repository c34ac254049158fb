// The product pages' pictures: the Return and Install buttons, and the backgrounds they
// share the layout of.

#include "PictureParts.h"

#include <stdexcept>

using Face = PictureKit::Face;
using Direction = PictureKit::Direction;
using juce::Colour;
using juce::Rectangle;

namespace PictureParts
{
namespace
{
    const auto installArea = BundleItems::installButton.rectangle();
    const auto returnArea = BundleItems::returnButton.rectangle();
} // namespace

juce::Image returnButton (const PictureKit& kit)
{
    auto image = kit.canvas (returnArea.getWidth(), returnArea.getHeight());
    juce::Graphics g (image);
    kit.useLogicalPixels (g);
    const Rectangle<float> box (5.5f, 5.5f, 93.0f, 28.0f);
    juce::Path shape;
    shape.addRoundedRectangle (box, 6.0f);
    PictureKit::shadow (g, juce::DropShadow (Colour (0xdd000000), 5, { 0, 2 }), shape);
    g.setColour (PictureKit::panelFill);
    g.fillPath (shape);
    g.setColour (PictureKit::panelOutline);
    g.strokePath (shape, juce::PathStrokeType (1.0f));
    kit.arrow (g, { 13, 12, 19, 15 }, Direction::left, 6);
    kit.text (g, "Return", kit.font (Face::sansLight, 16.0f, 0.04f), Colour (0xffececec), { 38, 8, 56, 23 });
    return image;
}

juce::Image installButton (const PictureKit& kit, const ItemStyle& style)
{
    auto image = kit.canvas (installArea.getWidth(), installArea.getHeight());
    {
        juce::Graphics g (image);
        kit.useLogicalPixels (g);
        // The arrow points into the disc from above; the logo sits below the hole, clear of it.
        kit.disc (g, { 68, 48 }, 62, style, PictureKit::LogoPlace::belowHole);
        kit.arrow (g, { 55, 0, 26, 31 }, Direction::down, 11);

        // The caption spans nearly the whole width.
        const juce::String caption = juce::String ("Install ") + style.name;
        auto f = kit.font (Face::sansLight, 13.0f);
        const auto kerning = (118.0f - f.getStringWidthFloat (caption)) / (13.0f * (float) caption.length());
        kit.text (g, caption, f.withExtraKerningFactor (juce::jlimit (0.0f, 0.3f, kerning)), PictureKit::captionGrey,
                  { 2, 84, 132, 13 }, juce::Justification::centred);
    }
    // Where the Return button lies beneath, its left edge shows through.
    image.clear (kit.pixels ({ 128, 16, 8, 41 }));
    return image;
}

juce::Image productBackground (const PictureKit& kit, const ProductPage& page)
{
    auto image = kit.canvas (pageWidth, pageHeight);
    juce::Graphics g (image);
    kit.useLogicalPixels (g);
    g.fillAll (juce::Colours::black);

    {
        // The item's name as a large watermark along the lower edge of the upper half,
        // clear of the links and buttons.
        auto watermark = kit.font (Face::sansBlack, 110.0f, 0.02f);
        watermark.setHorizontalScale (juce::jmin (1.0f, 620.0f / watermark.getStringWidthFloat (page.style.upperName)));
        kit.text (g, page.style.upperName, watermark, Colour (0xff151517), { 10, 180, 620, 110 }, juce::Justification::centredLeft);
    }

    page.drawPicture (g, kit);
    page.drawLogo (g, kit);
    page.drawTitle (g, kit);

    kit.panel (g, page.panel);
    const auto inner = page.panel.reduced (16, 14);
    juce::AttributedString about;
    about.append (page.about, kit.font (Face::sansRegular, 12.5f), juce::Colours::white);
    about.setLineSpacing (2.0f);
    const auto used = kit.paragraph (g, about, inner);
    const auto highlights = inner.withTrimmedTop (used + 12);
    kit.text (g, "HIGHLIGHTS", kit.font (Face::sansBold, 10.0f, 0.15f), PictureKit::gold, highlights.withHeight (12));
    const auto listed = kit.bullets (g, page.features, kit.font (Face::sansRegular, 12.0f), highlights.withTrimmedTop (18));

    // A panel the text leaves more than a fifth empty looks unfinished.
    const auto filled = used + 12 + 18 + listed;
    if (inner.getHeight() - filled > inner.getHeight() / 5)
        throw std::runtime_error (std::string ("the text fills only ") + std::to_string ((int) filled) + " of " + std::to_string ((int) inner.getHeight()) + " pixels of the panel of " + page.style.name);

    const auto labelFont = kit.font (Face::sansBold, 9.5f, 0.1f);
    g.setFont (labelFont);
    g.setColour (juce::Colours::white);
    const auto links = page.item.links;
    if (page.labels.size() != static_cast<size_t> (page.item.linkCount))
        throw std::runtime_error (std::string ("one label for each link of ") + page.style.name);
    for (size_t i = 0; i < page.labels.size(); ++i)
    {
        // Capitals only, standing on a baseline two pixels above the link.
        if (labelFont.getStringWidthFloat (page.labels[i]) > 330.0f)
            throw std::runtime_error (std::string ("label too long: ") + page.labels[i]);
        g.drawSingleLineText (page.labels[i], 15, links[i].bounds.y - 2);
    }

    for (size_t i = 0; i < page.labels.size(); ++i)
        requireDark (image, kit, links[i].bounds.rectangle(), 16, "link rectangle");
    requireDark (image, kit, installArea, 16, "install area");
    requireDark (image, kit, returnArea, 16, "return area");
    return image;
}

// The area is in logical pixels; every pixel of the picture it covers is checked.
void requireDark (const juce::Image& image, const PictureKit& kit, Rectangle<int> logical, int limit, const char* what)
{
    const auto area = kit.pixels (logical);
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto c = image.getPixelAt (x, y);
            if (c.getRed() > limit || c.getGreen() > limit || c.getBlue() > limit)
                throw std::runtime_error (std::string ("not dark enough: ") + what + " at " + std::to_string (x) + ", " + std::to_string (y));
        }
}

// A line of mixed weights, centred, that must stay on one line.
void richLine (juce::Graphics& g, const juce::AttributedString& line, Rectangle<float> area)
{
    juce::TextLayout layout;
    layout.createLayout (line, area.getWidth());
    if (layout.getNumLines() != 1)
        throw std::runtime_error ("line does not fit: " + line.getText().toStdString());
    layout.draw (g, area);
}
} // namespace PictureParts
