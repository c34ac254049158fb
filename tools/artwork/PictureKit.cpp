#include "PictureKit.h"

#include <stdexcept>

const juce::Colour PictureKit::panelFill{ 38, 38, 38 };
const juce::Colour PictureKit::panelOutline{ 128, 128, 128 };
const juce::Colour PictureKit::captionGrey{ 0xffd2d2d2 };
const juce::Colour PictureKit::gold{ 0xffe2b65a };
const juce::Colour PictureKit::goldDeep{ 0xff8a6420 };

namespace
{
struct FontFile
{
    PictureKit::Face face;
    const char* path;
};

// From the Debian packages fonts-lato and fonts-ebgaramond.
constexpr FontFile fontFiles[] = {
    { PictureKit::Face::sansThin, "/usr/share/fonts/truetype/lato/Lato-Thin.ttf" },
    { PictureKit::Face::sansLight, "/usr/share/fonts/truetype/lato/Lato-Light.ttf" },
    { PictureKit::Face::sansRegular, "/usr/share/fonts/truetype/lato/Lato-Regular.ttf" },
    { PictureKit::Face::sansBold, "/usr/share/fonts/truetype/lato/Lato-Bold.ttf" },
    { PictureKit::Face::sansBlack, "/usr/share/fonts/truetype/lato/Lato-Black.ttf" },
    { PictureKit::Face::serifRegular, "/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Regular.otf" },
    { PictureKit::Face::serifItalic, "/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Italic.otf" },
    { PictureKit::Face::serifBold, "/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Bold.otf" },
};

void mustFit (bool fits, const juce::String& what)
{
    if (!fits)
        throw std::runtime_error ("text does not fit: " + what.toStdString());
}
} // namespace

PictureKit::PictureKit (int scale)
    : pixelScale (scale)
{
    if (scale < 1)
        throw std::runtime_error ("a picture's scale is 1 or more");

    for (auto& file : fontFiles)
    {
        juce::MemoryBlock data;
        if (!juce::File (file.path).loadFileAsData (data))
            throw std::runtime_error (std::string ("missing font file ") + file.path);
        faces[file.face] = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
        if (faces[file.face] == nullptr)
            throw std::runtime_error (std::string ("unreadable font file ") + file.path);
    }
}

juce::Image PictureKit::canvas (int width, int height) const
{
    return juce::Image (juce::Image::ARGB, width * pixelScale, height * pixelScale, true, juce::SoftwareImageType());
}

void PictureKit::useLogicalPixels (juce::Graphics& g) const
{
    if (pixelScale != 1)
        g.addTransform (juce::AffineTransform::scale ((float) pixelScale));
}

void PictureKit::shadow (juce::Graphics& g, const juce::DropShadow& look, const juce::Path& path)
{
    const auto scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    if (scale == 1.0f)
    {
        look.drawForPath (g, path);
        return;
    }

    // Work in the context's own pixels: the blur is then as fine as everything else.
    juce::Graphics::ScopedSaveState state (g);
    g.addTransform (juce::AffineTransform::scale (1.0f / scale));
    juce::Path inPixels (path);
    inPixels.applyTransform (juce::AffineTransform::scale (scale));
    juce::DropShadow (look.colour, juce::roundToInt ((float) look.radius * scale), (look.offset.toFloat() * scale).roundToInt())
        .drawForPath (g, inPixels);
}

void PictureKit::drawLayer (juce::Graphics& g, const juce::Image& layer, juce::Point<int> origin)
{
    const auto scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    if (scale == 1.0f)
        g.drawImageAt (layer, origin.x, origin.y);
    else
        g.drawImageTransformed (layer, juce::AffineTransform::scale (1.0f / scale).translated (origin.toFloat()));
}

juce::Font PictureKit::font (Face face, float height, float extraKerning) const
{
    return juce::Font (faces.at (face)).withHeight (height).withExtraKerningFactor (extraKerning);
}

void PictureKit::panel (juce::Graphics& g, juce::Rectangle<float> area) const
{
    constexpr float corner = 9.0f;
    juce::Path shape;
    shape.addRoundedRectangle (area, corner);
    shadow (g, juce::DropShadow (juce::Colours::black.withAlpha (0.7f), 10, { 0, 3 }), shape);
    g.setColour (panelFill);
    g.fillPath (shape);
    g.setColour (panelOutline);
    g.drawRoundedRectangle (area.reduced (0.5f), corner, 1.0f);
}

namespace
{
// The printed label runs from the hole's ring (0.30 of the radius) to just inside the
// silver rim (0.94); a logo keeps clear of both.
constexpr float printableInner = 0.33f, printableOuter = 0.91f;
} // namespace

void PictureKit::disc (juce::Graphics& g, juce::Point<float> centre, float diameter, const ItemStyle& style, LogoPlace place) const
{
    const auto r = diameter / 2.0f;
    const auto circle = [&] (float radius)
    { return juce::Rectangle<float> (radius * 2, radius * 2).withCentre (centre); };

    juce::Path body;
    body.addEllipse (circle (r));
    body.addEllipse (circle (r * 0.12f));
    body.setUsingNonZeroWinding (false);

    shadow (g, juce::DropShadow (juce::Colours::black.withAlpha (0.55f), juce::roundToInt (r * 0.18f), { 0, juce::roundToInt (r * 0.06f) }), body);

    // The silver data side shows as a thin rim around the printed label.
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xfff4f6f8), centre.x - r, centre.y - r,
                                             juce::Colour (0xff7d838a), centre.x + r, centre.y + r, false));
    g.fillPath (body);

    juce::Path label;
    label.addEllipse (circle (r * 0.94f));
    label.addEllipse (circle (r * 0.30f));
    label.setUsingNonZeroWinding (false);
    const juce::Colour deep (style.labelDeep), bright (style.labelBright);
    juce::ColourGradient print (bright, centre.x, centre.y - r, deep, centre.x, centre.y + r, false);
    print.addColour (0.55, deep.interpolatedWith (bright, 0.45f));
    g.setGradientFill (print);
    g.fillPath (label);

    // The logo, drawn on a layer of its own first, so that what it covers can be checked.
    const auto side = juce::roundToInt (diameter) + 2;
    const auto origin = (centre - juce::Point<float> (r + 1.0f, r + 1.0f)).toInt();
    const auto local = centre - origin.toFloat();
    const auto scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    const auto layerSide = juce::roundToInt ((float) side * scale);
    juce::Image logo (juce::Image::ARGB, layerSide, layerSide, true);
    {
        juce::Graphics lg (logo);
        lg.addTransform (juce::AffineTransform::scale (scale));
        const auto offset = place == LogoPlace::aboveHole ? -0.535f : 0.535f;
        itemLogo (lg, style, juce::Rectangle<float> (r * 1.12f, r * 0.38f).withCentre ({ local.x, local.y + r * offset }));
    }
    const juce::Image::BitmapData pixels (logo, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < layerSide; ++y)
        for (int x = 0; x < layerSide; ++x)
            if (pixels.getPixelColour (x, y).getAlpha() > 24)
            {
                const auto distance = (juce::Point<float> ((float) x + 0.5f, (float) y + 0.5f) / scale).getDistanceFrom (local) / r;
                if (distance < printableInner || distance > printableOuter)
                    throw std::runtime_error (std::string ("the logo of ") + style.name + " leaves the printable ring of its disc");
            }

    {
        juce::Graphics::ScopedSaveState clip (g);
        g.reduceClipRegion (label);
        drawLayer (g, logo, origin);

        // A sheen across the disc.
        g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.28f), centre.x - r, centre.y - r,
                                                 juce::Colours::transparentWhite, centre.x, centre.y, false));
        g.fillEllipse (circle (r));
    }

    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.drawEllipse (circle (r - 0.5f), 1.0f);
    g.setColour (juce::Colours::white.withAlpha (0.6f));
    g.drawEllipse (circle (r * 0.30f), 0.8f);
    g.setColour (juce::Colour (0xff50565c));
    g.drawEllipse (circle (r * 0.12f + 0.4f), 0.8f);
}

void PictureKit::itemLogo (juce::Graphics& g, const ItemStyle& style, juce::Rectangle<float> area) const
{
    // A word as large as its box allows, in its own proportions.
    const auto fitted = [] (juce::Font f, const juce::String& word, juce::Rectangle<float> box)
    {
        f.setHeight (box.getHeight());
        const auto width = f.getStringWidthFloat (word);
        if (width > box.getWidth())
            f.setHeight (box.getHeight() * box.getWidth() / width);
        return f;
    };
    const auto centred = [&g] (const juce::String& word, const juce::Font& f, juce::Colour colour, juce::Rectangle<float> box)
    {
        g.setColour (colour);
        g.setFont (f);
        g.drawText (word, box, juce::Justification::centred, false);
    };

    switch (style.logo)
    {
        case ItemLogo::orvalisMark:
        {
            auto top = area;
            const auto name = top.removeFromTop (area.getHeight() * 0.68f);
            centred ("Brelvan", fitted (font (Face::serifItalic, 1.0f), "Brelvan", name.withSizeKeepingCentre (name.getWidth() * 0.92f, name.getHeight() * 1.15f)), juce::Colours::white, name);
            g.setColour (gold);
            g.fillRect (juce::Rectangle<float> (area.getWidth() * 0.56f, juce::jmax (0.6f, area.getHeight() * 0.04f)).withCentre ({ area.getCentreX(), top.getY() + 0.3f }));
            centred ("ORVALIS", fitted (font (Face::sansBold, 1.0f, 0.2f), "ORVALIS", top.withTrimmedTop (top.getHeight() * 0.12f).withSizeKeepingCentre (area.getWidth() * 0.56f, top.getHeight() * 0.88f)), gold, top.withTrimmedTop (top.getHeight() * 0.12f));
            break;
        }
        case ItemLogo::tessalyTile:
        {
            // Narrow, so it may stand taller than the words of the other logos.
            const auto tile = area.withSizeKeepingCentre (area.getHeight() * 0.92f, area.getHeight() * 1.06f);
            juce::Path shape;
            shape.addRoundedRectangle (tile, tile.getWidth() * 0.16f);
            g.setGradientFill (juce::ColourGradient (juce::Colour (style.bright).brighter (0.25f), tile.getX(), tile.getY(), juce::Colour (style.deep), tile.getRight(), tile.getBottom(), false));
            g.fillPath (shape);
            g.setColour (juce::Colour (style.accent));
            g.strokePath (shape, juce::PathStrokeType (juce::jmax (0.6f, tile.getWidth() * 0.05f)));
            centred ("T", font (Face::serifBold, tile.getHeight() * 1.0f), juce::Colours::white, tile.translated (0, tile.getHeight() * 0.06f));
            break;
        }
        case ItemLogo::marrowbyScript:
        {
            // The script's swashes and glow reach past its letters, so it keeps a margin.
            const auto box = area.reduced (area.getWidth() * 0.04f, 0.0f);
            juce::GlyphArrangement glyphs;
            const auto script = fitted (font (Face::serifItalic, 1.0f), "Marrowby", box.withHeight (box.getHeight() * 1.3f));
            glyphs.addFittedText (script, "Marrowby", box.getX(), box.getY(), box.getWidth(), box.getHeight(), juce::Justification::centred, 1);
            juce::Path word;
            glyphs.createPath (word);
            shadow (g, juce::DropShadow (juce::Colour (style.accent).withAlpha (0.35f), juce::jmax (1, juce::roundToInt (area.getHeight() * 0.15f)), {}), word);
            g.setColour (juce::Colours::white);
            g.fillPath (word);
            break;
        }
        case ItemLogo::kestruneBlock:
        {
            auto box = area;
            const auto name = box.removeFromTop (area.getHeight() * 0.72f);
            centred ("KESTRUNE", fitted (font (Face::sansBlack, 1.0f, 0.04f), "KESTRUNE", name), juce::Colours::white, name);
            centred ("ORCHESTRAL SOUND LIBRARY", fitted (font (Face::sansBold, 1.0f, 0.1f), "ORCHESTRAL SOUND LIBRARY", box.withTrimmedTop (box.getHeight() * 0.1f)), juce::Colours::white.withAlpha (0.9f), box);
            break;
        }
    }
}

void PictureKit::arrow (juce::Graphics& g, juce::Rectangle<float> b, Direction direction, float shaft) const
{
    // Drawn pointing right in a unit frame, then turned into place.
    const auto length = direction == Direction::down ? b.getHeight() : b.getWidth();
    const auto breadth = direction == Direction::down ? b.getWidth() : b.getHeight();
    const auto head = breadth * 0.55f;

    juce::Path path;
    path.startNewSubPath (0, (breadth - shaft) / 2);
    path.lineTo (length - head, (breadth - shaft) / 2);
    path.lineTo (length - head, 0);
    path.lineTo (length, breadth / 2);
    path.lineTo (length - head, breadth);
    path.lineTo (length - head, (breadth + shaft) / 2);
    path.lineTo (0, (breadth + shaft) / 2);
    path.closeSubPath();

    juce::AffineTransform placement;
    switch (direction)
    {
        case Direction::right:
            placement = juce::AffineTransform::translation (b.getX(), b.getY());
            break;
        case Direction::left:
            placement = juce::AffineTransform::scale (-1.0f, 1.0f).translated (b.getRight(), b.getY());
            break;
        case Direction::down:
            placement = juce::AffineTransform::rotation (juce::MathConstants<float>::halfPi).translated (b.getRight(), b.getY());
            break;
    }
    path.applyTransform (placement);

    shadow (g, juce::DropShadow (juce::Colours::black.withAlpha (0.6f), 4, { 1, 2 }), path);
    const auto bounds = path.getBounds();
    const bool vertical = direction == Direction::down;
    g.setGradientFill (juce::ColourGradient (juce::Colours::white, bounds.getX(), bounds.getY(),
                                             juce::Colour (0xff9a9ea4), vertical ? bounds.getRight() : bounds.getX(),
                                             vertical ? bounds.getY() : bounds.getBottom(), false));
    g.fillPath (path);
    g.setColour (juce::Colour (0x66000000));
    g.strokePath (path, juce::PathStrokeType (0.7f));
}

void PictureKit::text (juce::Graphics& g, const juce::String& line, const juce::Font& f, juce::Colour colour,
                       juce::Rectangle<float> area, juce::Justification justification) const
{
    mustFit (f.getStringWidthFloat (line) <= area.getWidth() && f.getHeight() <= area.getHeight() + 0.01f,
             line + " (" + juce::String (f.getStringWidthFloat (line)) + " x " + juce::String (f.getHeight()) + " in " + area.toString() + ")");
    g.setColour (colour);
    g.setFont (f);
    g.drawText (line, area, justification, false);
}

float PictureKit::paragraph (juce::Graphics& g, const juce::AttributedString& content, juce::Rectangle<float> area) const
{
    juce::TextLayout layout;
    layout.createLayout (content, area.getWidth());
    mustFit (layout.getHeight() <= area.getHeight(), content.getText());
    layout.draw (g, area.withHeight (layout.getHeight()));
    return layout.getHeight();
}

float PictureKit::bullets (juce::Graphics& g, const juce::StringArray& items, const juce::Font& f, juce::Rectangle<float> area) const
{
    const auto indent = f.getHeight() * 1.1f;
    float y = area.getY();

    for (auto& item : items)
    {
        juce::AttributedString entry;
        entry.append (item, f, juce::Colours::white);
        entry.setLineSpacing (1.0f);
        juce::TextLayout layout;
        layout.createLayout (entry, area.getWidth() - indent);
        const auto height = layout.getHeight();
        mustFit (y + height <= area.getBottom(), item);

        const auto dot = f.getHeight() * 0.32f;
        g.setColour (gold);
        g.fillEllipse (area.getX() + dot * 0.5f, y + f.getAscent() * 0.62f - dot / 2, dot, dot);
        layout.draw (g, { area.getX() + indent, y, area.getWidth() - indent, height });
        y += height + f.getHeight() * 0.3f;
    }
    return y - area.getY();
}

void PictureKit::grain (juce::Image& image, juce::Rectangle<int> area, int seed, int strength) const
{
    juce::Random random (seed);
    const auto inPixels = pixels (area);
    const juce::Image::BitmapData bitmap (image, inPixels.getX(), inPixels.getY(), inPixels.getWidth(), inPixels.getHeight(),
                                          juce::Image::BitmapData::readWrite);
    for (int y = 0; y < area.getHeight(); ++y)
        for (int x = 0; x < area.getWidth(); ++x)
        {
            const auto delta = random.nextInt (2 * strength + 1) - strength;
            const auto shift = [delta] (juce::uint8 v)
            { return static_cast<juce::uint8> (juce::jlimit (0, 255, v + delta)); };
            for (int py = y * pixelScale; py < (y + 1) * pixelScale; ++py)
                for (int px = x * pixelScale; px < (x + 1) * pixelScale; ++px)
                {
                    const auto c = bitmap.getPixelColour (px, py);
                    bitmap.setPixelColour (px, py, juce::Colour (shift (c.getRed()), shift (c.getGreen()), shift (c.getBlue()), c.getAlpha()));
                }
        }
}

void PictureKit::bundleLogo (juce::Graphics& g, juce::Rectangle<float> area) const
{
    // "Brelvan" fills the upper three quarters, the maker's word sits below it in gold.
    const auto nameHeight = area.getHeight() * 0.86f;
    auto nameFont = font (Face::serifItalic, nameHeight);
    const auto nameWidth = nameFont.getStringWidthFloat ("Brelvan");
    if (nameWidth > area.getWidth())
        nameFont.setHorizontalScale (area.getWidth() / nameWidth);

    const auto nameArea = area.withHeight (nameHeight);
    juce::GlyphArrangement glyphs;
    glyphs.addFittedText (nameFont, "Brelvan", nameArea.getX(), nameArea.getY(), nameArea.getWidth(), nameArea.getHeight(),
                          juce::Justification::centredLeft, 1);
    juce::Path name;
    glyphs.createPath (name);

    shadow (g, juce::DropShadow (juce::Colours::black, juce::roundToInt (nameHeight * 0.08f), { 0, 2 }), name);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white, 0, nameArea.getY(), juce::Colour (0xffd9dde2), 0,
                                             nameArea.getBottom(), false));
    g.fillPath (name);

    // A flourish under the lettering, from the tail of the B to past the n.
    const auto nb = name.getBounds();
    juce::Path flourish;
    const auto y = nb.getBottom() + area.getHeight() * 0.02f;
    flourish.startNewSubPath (nb.getX() + nb.getWidth() * 0.06f, y);
    flourish.cubicTo (nb.getX() + nb.getWidth() * 0.35f, y + area.getHeight() * 0.05f, nb.getRight() - nb.getWidth() * 0.3f,
                      y - area.getHeight() * 0.04f, nb.getRight(), y - area.getHeight() * 0.01f);
    g.setColour (gold);
    g.strokePath (flourish, juce::PathStrokeType (juce::jmax (1.0f, area.getHeight() * 0.018f), juce::PathStrokeType::curved,
                                                  juce::PathStrokeType::rounded));

    const auto makerHeight = area.getHeight() * 0.16f;
    const auto makerArea = juce::Rectangle<float> (nb.getX() + nb.getWidth() * 0.40f, area.getBottom() - makerHeight,
                                                   area.getRight() - (nb.getX() + nb.getWidth() * 0.40f), makerHeight);
    auto makerFont = font (Face::sansBold, makerHeight, 0.45f);
    text (g, "ORVALIS", makerFont, gold, makerArea, juce::Justification::centredLeft);
}
