// The bundle's icon: its letter on a gold-textured square tile, at each size the window carries.

#include "PictureParts.h"

#include <stdexcept>

using Face = PictureKit::Face;
using Direction = PictureKit::Direction;
using juce::Colour;
using juce::Rectangle;

namespace PictureParts
{
juce::Image icon (const PictureKit& kit, int size)
{
    auto image = kit.canvas (size, size);
    const auto s = (float) size;
    const Rectangle<float> tile (s * 0.03f, s * 0.03f, s * 0.94f, s * 0.94f);
    juce::Path shape;
    shape.addRoundedRectangle (tile, s * 0.16f);
    {
        juce::Graphics g (image);
        kit.useLogicalPixels (g);
        juce::ColourGradient goldFill (Colour (0xfff8dc8a), 0, 0, Colour (0xff7c5414), s, s, false);
        goldFill.addColour (0.45, Colour (0xffd4a040));
        g.setGradientFill (goldFill);
        g.fillPath (shape);
    }
    // Brushed texture, kept inside the tile.
    auto texture = image.createCopy();
    kit.grain (texture, { 0, 0, size, size }, 5, 12);
    {
        juce::Graphics g (image);
        kit.useLogicalPixels (g);
        g.reduceClipRegion (shape);
        PictureKit::drawLayer (g, texture, {});
        g.setColour (juce::Colours::white.withAlpha (0.55f));
        g.strokePath (shape, juce::PathStrokeType (juce::jmax (1.0f, s * 0.025f)));

        const auto letterArea = size >= 64 ? tile.withTrimmedBottom (s * 0.2f) : tile;
        juce::GlyphArrangement glyphs;
        glyphs.addFittedText (kit.font (PictureKit::Face::serifItalic, letterArea.getHeight() * 1.05f), "B", letterArea.getX(),
                              letterArea.getY(), letterArea.getWidth(), letterArea.getHeight(), juce::Justification::centred, 1);
        juce::Path letter;
        glyphs.createPath (letter);
        PictureKit::shadow (g, juce::DropShadow (Colour (0x88fff3c0), juce::jmax (1, size / 40), { 0, juce::jmax (1, size / 64) }), letter);
        g.setColour (Colour (0xff23170a));
        g.fillPath (letter);
        if (size >= 64)
            kit.text (g, "BRELVAN", kit.font (PictureKit::Face::sansBlack, s * 0.13f, 0.12f), Colour (0xff23170a),
                      tile.withTrimmedTop (tile.getHeight() - s * 0.24f).withHeight (s * 0.15f), juce::Justification::centred);
    }
    return image;
}
} // namespace PictureParts
