#pragma once

#include <juce_graphics/juce_graphics.h>

/** The mark each item carries on its disc, as its product page shows it. */
enum class ItemLogo
{
    orvalisMark,    // the bundle's name in white script over the maker's word in gold
    tessalyTile,    // the serif T on a teal tile
    marrowbyScript, // the script wordmark
    kestruneBlock   // block capitals over the subtitle
};

/** The colours of one bundle item, used on its discs, logos and pages. */
struct ItemStyle
{
    const char* name;
    const char* upperName;
    juce::uint32 deep, bright, accent;
    juce::uint32 labelDeep, labelBright; // the printed side of its disc
    ItemLogo logo;
};

namespace ItemStyles
{
constexpr ItemStyle orvalis{ "Orvalis", "ORVALIS", 0xff0d1b3d, 0xff2c54a8, 0xffd8aa48, 0xff0b0b0c, 0xff34302a, ItemLogo::orvalisMark };
constexpr ItemStyle tessaly{ "Tessaly", "TESSALY", 0xff08363b, 0xff1c9aa0, 0xff9ff2df, 0xff08363b, 0xff1c9aa0, ItemLogo::tessalyTile };
constexpr ItemStyle marrowby{ "Marrowby", "MARROWBY", 0xff3b0a14, 0xffbf3127, 0xfff4a23a, 0xff3b0a14, 0xffbf3127, ItemLogo::marrowbyScript };
constexpr ItemStyle kestrune{ "Kestrune", "KESTRUNE", 0xff1d0f3b, 0xff7a4ed0, 0xffaee36a, 0xff1d0f3b, 0xff7a4ed0, ItemLogo::kestruneBlock };
} // namespace ItemStyles

/** Fonts loaded from the font files of Debian packages, never from whatever the
    system default happens to be, and the drawing pieces the pictures share.
    Text that would not fit its place throws, so a picture never ships cut off. */
class PictureKit
{
public:
    /** Pictures are laid out in the program's logical pixels; a kit at scale 2 draws them
        with twice as many pixels each way, every shape and glyph drawn at that size. */
    explicit PictureKit (int scale = 1);

    int scale() const noexcept { return pixelScale; }

    /** A transparent picture of a logical size, at the kit's scale. */
    juce::Image canvas (int width, int height) const;

    /** Makes a context on a picture from canvas() draw in logical pixels. */
    void useLogicalPixels (juce::Graphics&) const;

    /** The pixels of a picture at the kit's scale that a logical area covers. */
    juce::Rectangle<int> pixels (juce::Rectangle<int> logical) const noexcept { return logical * pixelScale; }

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

    /** Where a disc carries its logo: above its centre hole, or below it (where an arrow points in from above). */
    enum class LogoPlace
    {
        aboveHole,
        belowHole
    };

    /** An optical disc seen face-on, with a centre hole, printed with the item's logo.
        Throws if the logo would cross the rim or the hole. */
    void disc (juce::Graphics&, juce::Point<float> centre, float diameter, const ItemStyle&, LogoPlace = LogoPlace::aboveHole) const;

    /** An item's logo, fitted into an area. */
    void itemLogo (juce::Graphics&, const ItemStyle&, juce::Rectangle<float> area) const;

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

    /** Fine grain, deterministic for a seed, over a logical area of an opaque picture from
        canvas(). The grain is a texture of the logical pixel: at scale 2 each grain covers
        2 x 2 pixels, so the picture looks the same at every scale (and the larger picture
        does not carry four times the noise to decode). */
    void grain (juce::Image&, juce::Rectangle<int> area, int seed, int strength) const;

    /** The bundle's logo: the name in white ornamental lettering with the maker's word in gold. */
    void bundleLogo (juce::Graphics&, juce::Rectangle<float> area) const;

    /** A soft shadow, blurred at the resolution the context draws at rather than enlarged. */
    static void shadow (juce::Graphics&, const juce::DropShadow&, const juce::Path&);

    /** Draws a layer made at the context's resolution, its top left at a logical point, pixel for pixel. */
    static void drawLayer (juce::Graphics&, const juce::Image& layer, juce::Point<int> origin);

private:
    int pixelScale;
    std::map<Face, juce::Typeface::Ptr> faces;
};
