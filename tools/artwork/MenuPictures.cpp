// The menu page's pictures: its background, with the turntable, the light and the
// requirements, and the four items' buttons.

#include "PictureParts.h"

#include <stdexcept>

using Face = PictureKit::Face;
using Direction = PictureKit::Direction;
using juce::Colour;
using juce::Rectangle;

namespace
{
// The requirements' small print stands on a ground of its own, clear of the turntable.
const Rectangle<float> requirementsBox{ 290, 287, 344, 113 };

void goldStreaks (juce::Graphics& g)
{
    // Never behind the small print.
    juce::Graphics::ScopedSaveState state (g);
    g.excludeClipRegion (requirementsBox.toNearestIntEdges());

    juce::Random random (7);
    for (int i = 0; i < 9; ++i)
    {
        const auto x0 = -120.0f + (float) i * 95.0f + random.nextFloat() * 40.0f;
        const auto y0 = 420.0f;
        const auto x1 = x0 + 420.0f + random.nextFloat() * 120.0f;
        const auto y1 = y0 - 330.0f - random.nextFloat() * 120.0f;

        juce::ColourGradient fade (PictureKit::gold.withAlpha (0.0f), x0, y0, PictureKit::gold.withAlpha (0.0f), x1, y1, false);
        fade.addColour (0.35 + random.nextFloat() * 0.2, PictureKit::gold.withAlpha (0.55f));

        juce::Path streak;
        streak.startNewSubPath (x0, y0);
        streak.quadraticTo ((x0 + x1) / 2 + 30.0f, (y0 + y1) / 2 + 25.0f, x1, y1);

        g.setGradientFill (fade);
        g.setOpacity (0.10f);
        g.strokePath (streak, juce::PathStrokeType (5.0f));
        g.setOpacity (0.5f);
        g.strokePath (streak, juce::PathStrokeType (0.9f));
    }
    g.setOpacity (1.0f);
}

void turntable (juce::Graphics& g, const PictureKit& kit)
{
    const Rectangle<float> plinth (28, 166, 252, 226);
    const juce::Point<float> centre (140, 280);
    constexpr float platterRadius = 96;

    juce::Path body;
    body.addRoundedRectangle (plinth, 10);
    PictureKit::shadow (g, juce::DropShadow (Colour (0xcc000000), 18, { 0, 6 }), body);
    g.setGradientFill (juce::ColourGradient (Colour (0xff2a2620), plinth.getX(), plinth.getY(), Colour (0xff0c0b09),
                                             plinth.getRight(), plinth.getBottom(), false));
    g.fillPath (body);
    g.setGradientFill (juce::ColourGradient (PictureKit::gold, plinth.getRight(), plinth.getY(), PictureKit::goldDeep.withAlpha (0.2f),
                                             plinth.getX(), plinth.getBottom(), false));
    g.strokePath (body, juce::PathStrokeType (1.4f));

    // Platter with its gold rim, lit from the upper right.
    const auto circle = [&] (float r)
    { return Rectangle<float> (r * 2, r * 2).withCentre (centre); };
    g.setGradientFill (juce::ColourGradient (Colour (0xfff5d890), centre.x + platterRadius, centre.y - platterRadius,
                                             PictureKit::goldDeep, centre.x - platterRadius, centre.y + platterRadius, false));
    g.fillEllipse (circle (platterRadius));

    g.setColour (Colour (0xff090909));
    g.fillEllipse (circle (platterRadius - 5));
    for (float r = 34; r < platterRadius - 8; r += 2.2f)
    {
        g.setColour (juce::Colours::white.withAlpha (((int) (r * 10) % 3 == 0) ? 0.07f : 0.03f));
        g.drawEllipse (circle (r), 0.6f);
    }

    // Gold light caught in the grooves.
    for (auto angle : { -0.75f, 2.39f })
    {
        juce::Path wedge;
        wedge.addPieSegment (circle (platterRadius - 8), angle - 0.28f, angle + 0.28f, 0.36f);
        g.setColour (PictureKit::gold.withAlpha (0.09f));
        g.fillPath (wedge);
    }

    g.setGradientFill (juce::ColourGradient (PictureKit::gold, centre.x, centre.y - 30, PictureKit::goldDeep, centre.x, centre.y + 30, false));
    g.fillEllipse (circle (30));
    kit.text (g, "BRELVAN", kit.font (Face::sansBold, 7.0f, 0.3f), Colour (0xff2a1c06), circle (30).withSizeKeepingCentre (48, 8).translated (0, -11), juce::Justification::centred);
    g.setColour (Colour (0xffdedede));
    g.fillEllipse (circle (3));

    // Tone arm from its pivot at the upper right, resting on the record.
    const juce::Point<float> pivot (246, 196), head (178, 318);
    g.setColour (Colour (0xaa000000));
    g.drawLine ({ pivot.translated (2, 3), head.translated (2, 3) }, 5.0f);
    g.setGradientFill (juce::ColourGradient (Colour (0xfff0f0f0), pivot.x, pivot.y, Colour (0xff8c8c8c), head.x, head.y, false));
    g.drawLine ({ pivot, head }, 4.0f);
    juce::Path shell;
    shell.addRoundedRectangle (-6.0f, -9.0f, 12.0f, 18.0f, 2.0f);
    shell.applyTransform (juce::AffineTransform::rotation (0.5f).translated (head));
    g.setColour (PictureKit::gold);
    g.fillPath (shell);
    g.setGradientFill (juce::ColourGradient (Colour (0xfff5d890), pivot.x - 10, pivot.y - 10, PictureKit::goldDeep, pivot.x + 10, pivot.y + 10, false));
    g.fillEllipse (Rectangle<float> (24, 24).withCentre (pivot));
    g.setColour (Colour (0xff1a1a1a));
    g.fillEllipse (Rectangle<float> (8, 8).withCentre (pivot));

    // Speed buttons.
    for (int i = 0; i < 2; ++i)
    {
        const Rectangle<float> button (44.0f + (float) i * 22.0f, 372, 16, 8);
        g.setColour (i == 0 ? PictureKit::gold : Colour (0xff3a3630));
        g.fillRoundedRectangle (button, 2);
    }
}

juce::Image menuButton (const PictureKit& kit, const ItemStyle& style, int width, int height, float discDiameter,
                        juce::Point<float> discCentre, Rectangle<float> arrowArea, bool clearCorner)
{
    auto image = kit.canvas (width, height);
    {
        juce::Graphics g (image);
        kit.useLogicalPixels (g);
        kit.disc (g, discCentre, discDiameter, style);
        kit.arrow (g, arrowArea, Direction::right, arrowArea.getHeight() * 0.42f);
        kit.text (g, style.name, kit.font (Face::sansLight, 13.0f, 0.08f), PictureKit::captionGrey,
                  { 0.0f, (float) height - 14.0f, (float) width, 13.0f }, juce::Justification::centred);
    }
    // The slot numeral of the menu shows through here.
    if (clearCorner)
        image.clear (kit.pixels ({ 0, 0, 13, 18 }));
    return image;
}
} // namespace

namespace PictureParts
{
juce::Image menuBackground (const PictureKit& kit)
{
    auto image = kit.canvas (pageWidth, pageHeight);
    {
        juce::Graphics g (image);
        kit.useLogicalPixels (g);
        g.setGradientFill (juce::ColourGradient (Colour (0xff1c1915), 150, 300, Colour (0xff030303), 640, 0, true));
        g.fillAll();
    }
    kit.grain (image, { 0, 0, pageWidth, pageHeight }, 11, 5);

    juce::Graphics g (image);
    kit.useLogicalPixels (g);

    // Faint floor boards running towards the light.
    for (int i = 0; i < 12; ++i)
    {
        g.setColour (juce::Colours::black.withAlpha (0.35f));
        const auto x = -200.0f + (float) i * 80.0f;
        g.drawLine (x, 400, x + 330, 0, 1.0f);
    }
    goldStreaks (g);
    turntable (g, kit);
    kit.bundleLogo (g, { 30, 30, 295, 100 });

    const auto regular = kit.font (Face::sansRegular, 13.0f), bold = kit.font (Face::sansBold, 13.0f);
    const auto white = juce::Colours::white;
    const auto line = [&] (std::initializer_list<std::pair<const char*, bool>> parts, float y)
    {
        juce::AttributedString s;
        s.setJustification (juce::Justification::centred);
        for (auto& [text, isBold] : parts)
            s.append (text, isBold ? bold : regular, white);
        richLine (g, s, { 335, y, 290, 17 });
    };
    line ({ { "Welcome to the ", false }, { "Brelvan", true }, { " installer.", false } }, 16);
    line ({ { "Please install the items in the numbered order,", false } }, 34);
    line ({ { "starting with ", false }, { "Tessaly", true }, { ".", false } }, 52);

    kit.panel (g, { 335, 73, 298, 203 });

    const auto numeral = kit.font (Face::sansBold, 12.0f);
    kit.text (g, "1.", numeral, white, { 433, 82, 12, 14 });
    kit.text (g, "2.", numeral, white, { 346, 186, 11, 14 });
    kit.text (g, "3.", numeral, white, { 445, 187, 11, 14 });
    kit.text (g, "4.", numeral, white, { 541, 185, 11, 14 });

    // Minimum system requirements on a shaded ground of their own.
    g.setColour (juce::Colours::black.withAlpha (0.55f));
    g.fillRoundedRectangle (requirementsBox, 6);
    const auto left = requirementsBox.getX() + 6;
    kit.text (g, "MINIMUM SYSTEM REQUIREMENTS", kit.font (Face::sansBold, 11.0f, 0.12f), PictureKit::gold, { left, 291, 332, 13 });
    g.setColour (PictureKit::gold.withAlpha (0.5f));
    g.fillRect (left, 306.0f, 332.0f, 1.0f);

    struct Row
    {
        const char* label;
        const char* value;
    };
    struct Column
    {
        float x, valueWidth;
        const char* system;
        std::vector<Row> rows;
    };
    // The system rows say what the menu itself needs to start; its Windows program is 64-bit only.
    const auto linuxSystem = "glibc 2." + juce::String (BRELVAN_MAX_GLIBC_MINOR) + " or later";
    const Column columns[] = {
        { left, 106, "Windows", { { "Processor", "1.6 GHz dual-core" }, { "Memory", "2 GB RAM" }, { "System", "Windows 7 SP1 or later" }, { "Edition", "64-bit (x64)" }, { "Media player", "Version 12 or later" }, { "Sound card", "16-bit stereo" }, { "DVD drive", "8x or faster" } } },
        { left + 184, 90, "Linux", { { "Processor", "1.6 GHz dual-core" }, { "Memory", "2 GB RAM" }, { "System", linuxSystem.toRawUTF8() }, { "Desktop", "X11 or XWayland" }, { "Media player", "VLC 3.0 or later" }, { "Sound card", "ALSA or PulseAudio" }, { "DVD drive", "8x or faster" } } },
    };
    constexpr float labelWidth = 62, minimumGutter = 16;
    const auto head = kit.font (Face::sansBold, 11.0f), label = kit.font (Face::sansBold, 9.5f), value = kit.font (Face::sansRegular, 10.0f);

    // The columns must read as two: the widest Windows value ends well before the Linux column.
    float windowsEnd = 0;
    for (auto& row : columns[0].rows)
        windowsEnd = juce::jmax (windowsEnd, columns[0].x + labelWidth + value.getStringWidthFloat (row.value));
    if (columns[1].x - windowsEnd < minimumGutter)
        throw std::runtime_error ("the requirements' columns run together");

    for (auto& column : columns)
    {
        kit.text (g, column.system, head, white, { column.x, 309, 160, 13 });
        for (size_t row = 0; row < column.rows.size(); ++row)
        {
            const auto y = 322.0f + (float) row * 10.5f;
            kit.text (g, column.rows[row].label, label, Colour (0xffb4b4b4), { column.x, y, labelWidth - 2, 12 });
            kit.text (g, column.rows[row].value, value, white, { column.x + labelWidth, y, column.valueWidth, 12 });
        }
    }
    return image;
}

// Tessaly, first in the order of installation, has the larger picture and no numeral over it.
juce::Image menuPicture (const PictureKit& kit, const ItemStyle& style, int itemIndex)
{
    const auto size = BundleItems::items[static_cast<size_t> (itemIndex)].menuButton.rectangle();
    if (BundleItems::items[static_cast<size_t> (itemIndex)].numberInOrder == 1)
        return menuButton (kit, style, size.getWidth(), size.getHeight(), 80, { 46, 42 }, { 66, 28, 33, 28 }, false);
    return menuButton (kit, style, size.getWidth(), size.getHeight(), 62, { 44, 34 }, { 60, 21, 31, 26 }, true);
}
} // namespace PictureParts
