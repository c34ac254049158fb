#pragma once

#include <juce_graphics/juce_graphics.h>

/** The colours of one bundle item, used on its discs, logos and pages. */
struct ItemStyle
{
    const char* name;
    const char* upperName;
    juce::uint32 deep, bright, accent;
};

namespace ItemStyles
{
constexpr ItemStyle orvalis{ "Orvalis", "ORVALIS", 0xff0d1b3d, 0xff2c54a8, 0xffd8aa48 };
constexpr ItemStyle tessaly{ "Tessaly", "TESSALY", 0xff08363b, 0xff1c9aa0, 0xff9ff2df };
constexpr ItemStyle marrowby{ "Marrowby", "MARROWBY", 0xff3b0a14, 0xffbf3127, 0xfff4a23a };
constexpr ItemStyle kestrune{ "Kestrune", "KESTRUNE", 0xff1d0f3b, 0xff7a4ed0, 0xffaee36a };
} // namespace ItemStyles

/** Fonts loaded from the font files of Debian packages, never from whatever the
    system default happens to be, and the drawing pieces the pictures share.
    Text that would not fit its place throws, so a picture never ships cut off. */
class PictureKit
{
public:
    PictureKit();

    enum class Face
    {
        sansThin,
        sansLight,
        sansRegular,
        sansBold,
        sansBlack,
        serifRegular,
        serifItalic,
        serifBold
    };

    juce::Font font (Face, float height, float extraKerning = 0.0f) const;

    static const juce::Colour panelFill, panelOutline, captionGrey, gold, goldDeep;

    /** The dark rounded text panel of the menu and product pages. */
    void panel (juce::Graphics&, juce::Rectangle<float>) const;

    /** An optical disc seen face-on, with a centre hole, printed with the item's logo. */
    void disc (juce::Graphics&, juce::Point<float> centre, float diameter, const ItemStyle&) const;

    enum class Direction
    {
        left,
        right,
        down
    };

    /** A broad arrow, white shading to grey, with a soft shadow. */
    void arrow (juce::Graphics&, juce::Rectangle<float> bounds, Direction, float shaftThickness) const;

    /** One line of text that must fit its rectangle. */
    void text (juce::Graphics&, const juce::String&, const juce::Font&, juce::Colour, juce::Rectangle<float>,
               juce::Justification = juce::Justification::centredLeft) const;

    /** Word-wrapped text from the top of the area; returns the height used. */
    float paragraph (juce::Graphics&, const juce::AttributedString&, juce::Rectangle<float> area) const;

    /** A bulleted list below each other; returns the height used. */
    float bullets (juce::Graphics&, const juce::StringArray& items, const juce::Font&, juce::Rectangle<float> area) const;

    /** Fine grain, deterministic for a seed, over an area of an opaque image. */
    static void grain (juce::Image&, juce::Rectangle<int> area, int seed, int strength);

    /** The bundle's logo: the name in white ornamental lettering with the maker's word in gold. */
    void bundleLogo (juce::Graphics&, juce::Rectangle<float> area) const;

private:
    std::map<Face, juce::Typeface::Ptr> faces;
};
