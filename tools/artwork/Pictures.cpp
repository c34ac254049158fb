#include "Pictures.h"

#include "pages/MainInstallerComponent.h"
#include "pages/PageLook.h"
#include "pages/ProductInstallerComponent.h"

#include <stdexcept>

using Face = PictureKit::Face;
using Direction = PictureKit::Direction;
using juce::Colour;
using juce::Rectangle;

namespace
{
// The pages' own measures: the pictures are drawn to fit where the pages place them.
constexpr int pageWidth = PageLook::pageWidth, pageHeight = PageLook::pageHeight;
const auto installArea = ProductInstallerComponent::installBounds;
const auto returnArea = ProductInstallerComponent::returnBounds;

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

//==============================================================================
// Menu page

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

// Tessaly, first in the order of installation, has the larger picture and no numeral over it.
juce::Image menuPicture (const PictureKit& kit, const ItemStyle& style, int itemIndex)
{
    const auto size = MainInstallerComponent::buttonBounds (itemIndex);
    if (&style == &ItemStyles::tessaly)
        return menuButton (kit, style, size.getWidth(), size.getHeight(), 80, { 46, 42 }, { 66, 28, 33, 28 }, false);
    return menuButton (kit, style, size.getWidth(), size.getHeight(), 62, { 44, 34 }, { 60, 21, 31, 26 }, true);
}

//==============================================================================
// Product pages

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

/** What differs between the four product backgrounds; the rest of the layout is shared. */
struct ProductPage
{
    const ItemStyle& style;
    Rectangle<float> panel;
    const char* about;
    juce::StringArray features;
    const ProductInstallerComponent::Layout& layout; // where its links lie
    std::vector<const char*> labels;                 // one above each link, in the links' order
    std::function<void (juce::Graphics&, const PictureKit&)> drawLogo, drawPicture, drawTitle;
};

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
    const auto& links = page.layout.webLinks;
    if (page.labels.size() != links.size())
        throw std::runtime_error (std::string ("one label for each link of ") + page.style.name);
    for (size_t i = 0; i < links.size(); ++i)
    {
        // Capitals only, standing on a baseline two pixels above the link.
        if (labelFont.getStringWidthFloat (page.labels[i]) > 330.0f)
            throw std::runtime_error (std::string ("label too long: ") + page.labels[i]);
        g.drawSingleLineText (page.labels[i], 15, links[i].bounds.getY() - 2);
    }

    for (auto& link : links)
        requireDark (image, kit, link.bounds, 16, "link rectangle");
    requireDark (image, kit, installArea, 16, "install area");
    requireDark (image, kit, returnArea, 16, "return area");
    return image;
}

void appWindow (juce::Graphics& g, Rectangle<float> frame, const char* title, const PictureKit& kit)
{
    juce::Path shape;
    shape.addRoundedRectangle (frame, 4);
    PictureKit::shadow (g, juce::DropShadow (Colour (0xcc000000), 10, { 0, 4 }), shape);
    g.setColour (Colour (0xff1f2126));
    g.fillPath (shape);
    g.setColour (Colour (0xff3b3f47));
    g.fillRoundedRectangle (frame.withHeight (11), 4);
    g.setColour (Colour (0xff5a5f69));
    g.drawRoundedRectangle (frame, 4, 1);
    kit.text (g, title, kit.font (Face::sansBold, 7.5f), Colour (0xffcfd3da), frame.withHeight (11).reduced (5, 1),
              juce::Justification::centredLeft);
}

void waveform (juce::Graphics& g, Rectangle<float> lane, Colour colour, int seed)
{
    juce::Random random (seed);
    juce::Path wave;
    const auto mid = lane.getCentreY();
    wave.startNewSubPath (lane.getX(), mid);
    for (float x = lane.getX(); x < lane.getRight(); x += 1.5f)
    {
        const auto envelope = 0.35f + 0.65f * std::abs (std::sin ((x - lane.getX()) * 0.045f + (float) seed));
        wave.lineTo (x, mid - (random.nextFloat() * 0.9f + 0.1f) * envelope * lane.getHeight() / 2);
        wave.lineTo (x + 0.75f, mid + (random.nextFloat() * 0.9f + 0.1f) * envelope * lane.getHeight() / 2);
    }
    g.setColour (colour);
    g.strokePath (wave, juce::PathStrokeType (0.8f));
}

// Orvalis: a software window standing on a small keyboard.
void orvalisPicture (juce::Graphics& g, const PictureKit& kit)
{
    const Rectangle<float> keyboard (50, 224, 152, 31);
    juce::Path board;
    board.addRoundedRectangle (keyboard, 3);
    PictureKit::shadow (g, juce::DropShadow (Colour (0xcc000000), 10, { 0, 4 }), board);
    g.setColour (Colour (0xff202226));
    g.fillPath (board);
    const auto keys = keyboard.reduced (5, 6).withTrimmedTop (4);
    constexpr int whiteKeys = 17;
    const auto keyWidth = keys.getWidth() / whiteKeys;
    g.setColour (Colour (0xfff4f4f2));
    g.fillRect (keys);
    g.setColour (Colour (0xff8d8d8d));
    for (int i = 1; i < whiteKeys; ++i)
        g.fillRect (keys.getX() + keyWidth * (float) i, keys.getY(), 0.6f, keys.getHeight());
    g.setColour (Colour (0xff121212));
    for (int i = 0; i < whiteKeys - 1; ++i)
        if (i % 7 != 2 && i % 7 != 6)
            g.fillRect (keys.getX() + keyWidth * ((float) i + 0.68f), keys.getY(), keyWidth * 0.64f, keys.getHeight() * 0.6f);
    g.setColour (PictureKit::gold);
    g.fillRect (keyboard.getX() + 5, keyboard.getY() + 3, 20.0f, 2.0f);

    const Rectangle<float> frame (58, 129, 136, 88);
    appWindow (g, frame, "Orvalis - Song 1", kit);
    const auto tracks = frame.withTrimmedTop (14).reduced (4, 3);
    const Colour laneColours[] = { Colour (ItemStyles::orvalis.accent), Colour (0xff5d8fe0), Colour (0xff6fcf97), Colour (0xffe07a5f), Colour (0xffb38cf0) };
    for (int i = 0; i < 5; ++i)
    {
        const auto lane = tracks.withHeight (12).translated (0, (float) i * 14.5f);
        g.setColour (Colour (0xff2c2f36));
        g.fillRect (lane.withWidth (18));
        g.setColour (laneColours[i]);
        g.fillRect (lane.withWidth (18).withWidth (3));
        const auto clip = lane.withTrimmedLeft (22 + (float) (i % 3) * 8).withTrimmedRight ((float) (i % 2) * 20);
        g.setColour (laneColours[i].withAlpha (0.3f));
        g.fillRoundedRectangle (clip, 1.5f);
        waveform (g, clip.reduced (1, 1), laneColours[i], 20 + i);
    }
    g.setColour (juce::Colours::white.withAlpha (0.8f));
    g.fillRect (tracks.getX() + 70, tracks.getY(), 1.0f, tracks.getHeight());
}

// Tessaly: two overlapping screenshots, a waveform editor and a spectral view.
void tessalyPicture (juce::Graphics& g, const PictureKit& kit)
{
    const Rectangle<float> back (92, 45, 168, 112), front (160, 115, 168, 118);
    appWindow (g, back, "Tessaly - Interview.wav", kit);
    const auto editor = back.withTrimmedTop (14).reduced (4, 4);
    g.setColour (Colour (0xff10262a));
    g.fillRect (editor);
    waveform (g, editor.withHeight (editor.getHeight() / 2).reduced (0, 3), Colour (ItemStyles::tessaly.accent), 3);
    waveform (g, editor.withTrimmedTop (editor.getHeight() / 2).reduced (0, 3), Colour (ItemStyles::tessaly.bright), 4);
    g.setColour (Colour (0x5534d3c8));
    g.fillRect (editor.withTrimmedLeft (60).withWidth (40));

    appWindow (g, front, "Tessaly - Spectral repair", kit);
    const auto spectrum = front.withTrimmedTop (14).reduced (4, 4);
    juce::Random random (9);
    for (float x = spectrum.getX(); x < spectrum.getRight(); x += 2)
        for (float y = spectrum.getY(); y < spectrum.getBottom(); y += 2)
        {
            const auto depth = (y - spectrum.getY()) / spectrum.getHeight();
            const auto energy = juce::jlimit (0.0f, 1.0f, (1.0f - depth) * 0.3f + depth * depth * 0.8f * random.nextFloat() + 0.25f * std::abs (std::sin (x * 0.07f)) * depth);
            g.setColour (Colour (0xff081c2e).interpolatedWith (Colour (0xff1fd1b2), energy).interpolatedWith (Colour (0xfff9e27d), energy * energy * 0.6f));
            g.fillRect (x, y, 2.0f, 2.0f);
        }
    g.setColour (juce::Colours::white.withAlpha (0.9f));
    g.drawEllipse (spectrum.getX() + 95, spectrum.getY() + 30, 26, 40, 1.2f);
}

// Marrowby: the instrument's control panel.
void marrowbyPicture (juce::Graphics& g, const PictureKit& kit)
{
    const Rectangle<float> body (41, 147, 220, 73);
    juce::Path shape;
    shape.addRoundedRectangle (body, 5);
    PictureKit::shadow (g, juce::DropShadow (Colour (0xcc000000), 12, { 0, 5 }), shape);
    g.setGradientFill (juce::ColourGradient (Colour (0xff5a2a18), body.getX(), 0, Colour (0xff2e140b), body.getX() + 14, 0, false));
    g.fillRoundedRectangle (body.withWidth (14), 5);
    g.fillRoundedRectangle (body.withTrimmedLeft (body.getWidth() - 14), 5);
    const auto face = body.reduced (12, 0);
    g.setGradientFill (juce::ColourGradient (Colour (0xff2d2e33), 0, face.getY(), Colour (0xff141518), 0, face.getBottom(), false));
    g.fillRect (face);
    g.setColour (Colour (ItemStyles::marrowby.bright));
    g.fillRect (face.withHeight (3));

    const Rectangle<float> screen (face.getX() + 8, face.getY() + 10, 46, 22);
    g.setColour (Colour (0xff0d1a10));
    g.fillRoundedRectangle (screen, 2);
    kit.text (g, "PRESET 042", kit.font (Face::sansBold, 6.5f), Colour (0xfff4a23a), screen.reduced (3, 2).withHeight (9));
    kit.text (g, "WARM BASS", kit.font (Face::sansRegular, 6.5f), Colour (0xffffd08a), screen.reduced (3, 2).withTrimmedTop (9));

    for (int i = 0; i < 6; ++i)
    {
        const juce::Point<float> centre (face.getX() + 72 + (float) (i % 3) * 24, face.getY() + 18 + (float) (i / 3) * 28);
        g.setColour (Colour (0xff08080a));
        g.fillEllipse (Rectangle<float> (20, 20).withCentre (centre.translated (0, 1.5f)));
        g.setGradientFill (juce::ColourGradient (Colour (0xff7a7d85), centre.x, centre.y - 9, Colour (0xff2a2b30), centre.x, centre.y + 9, false));
        g.fillEllipse (Rectangle<float> (18, 18).withCentre (centre));
        const auto angle = -2.2f + (float) i * 0.8f;
        g.setColour (Colour (ItemStyles::marrowby.accent));
        g.drawLine ({ centre, centre.getPointOnCircumference (7.0f, angle) }, 1.6f);
    }
    for (int i = 0; i < 4; ++i)
    {
        const auto x = face.getX() + 148 + (float) i * 12;
        g.setColour (Colour (0xff08080a));
        g.fillRect (x, face.getY() + 10, 2.0f, 52.0f);
        g.setColour (Colour (0xffd0d0d0));
        g.fillRoundedRectangle (x - 4, face.getY() + 14 + (float) ((i * 17) % 36), 10, 6, 1);
    }
    g.setColour (Colour (ItemStyles::marrowby.accent));
    for (int i = 0; i < 8; ++i)
        g.fillEllipse (face.getX() + 10 + (float) i * 6, face.getY() + 44, 3.5f, 3.5f);
    kit.text (g, "MARROWBY", kit.font (Face::sansBold, 7.0f, 0.2f), Colour (0xffbfbfbf), { face.getX() + 8, face.getY() + 54, 60, 9 });
}

// Kestrune: the product box, in perspective.
void kestrunePicture (juce::Graphics& g, const PictureKit& kit)
{
    const Rectangle<float> front (58, 122, 120, 178);
    juce::Path side, top;
    side.startNewSubPath (front.getRight(), front.getY());
    side.lineTo (front.getRight() + 20, front.getY() - 14);
    side.lineTo (front.getRight() + 20, front.getBottom() - 14);
    side.lineTo (front.getRight(), front.getBottom());
    side.closeSubPath();
    top.startNewSubPath (front.getX(), front.getY());
    top.lineTo (front.getX() + 20, front.getY() - 14);
    top.lineTo (front.getRight() + 20, front.getY() - 14);
    top.lineTo (front.getRight(), front.getY());
    top.closeSubPath();

    juce::Path all (side);
    all.addPath (top);
    all.addRectangle (front);
    PictureKit::shadow (g, juce::DropShadow (Colour (0xdd000000), 14, { 4, 6 }), all);

    g.setColour (Colour (0xff140a28));
    g.fillPath (side);
    g.setColour (Colour (0xff3a2470));
    g.fillPath (top);

    const auto& style = ItemStyles::kestrune;
    g.setGradientFill (juce::ColourGradient (Colour (style.bright), front.getX(), front.getY(), Colour (style.deep), front.getX(), front.getBottom(), false));
    g.fillRect (front);

    // Mountains under a low sun on the cover.
    g.setColour (Colour (style.accent).withAlpha (0.85f));
    g.fillEllipse (front.getX() + 70, front.getY() + 58, 26, 26);
    juce::Path ridge;
    ridge.startNewSubPath (front.getX(), front.getY() + 120);
    ridge.lineTo (front.getX() + 34, front.getY() + 78);
    ridge.lineTo (front.getX() + 52, front.getY() + 96);
    ridge.lineTo (front.getX() + 78, front.getY() + 66);
    ridge.lineTo (front.getRight(), front.getY() + 112);
    ridge.lineTo (front.getRight(), front.getY() + 130);
    ridge.lineTo (front.getX(), front.getY() + 130);
    ridge.closeSubPath();
    g.setColour (Colour (0xff0f0720));
    g.fillPath (ridge);

    kit.text (g, "KESTRUNE", kit.font (Face::sansBlack, 19.0f, 0.04f), juce::Colours::white, front.withHeight (24).translated (0, 12), juce::Justification::centred);
    kit.text (g, "ORCHESTRAL SOUNDS", kit.font (Face::sansBold, 7.0f, 0.18f), Colour (style.accent), front.withHeight (10).translated (0, 36), juce::Justification::centred);
    kit.text (g, "CONTENT PACK FOR BRELVAN", kit.font (Face::sansBold, 6.5f, 0.1f), Colour (0xffd8d0ec), front.withTrimmedTop (front.getHeight() - 22).withHeight (10), juce::Justification::centred);
    g.setColour (juce::Colours::white.withAlpha (0.12f));
    g.fillRect (front.withWidth (5));
}

const std::vector<ProductPage>& productPages()
{
    static const std::vector<ProductPage> pages{
        { ItemStyles::orvalis,
          { 254, 70, 379, 210 },
          "Orvalis is the heart of the Brelvan bundle: a complete music studio that records, arranges and mixes your "
          "songs. Play ideas in on any keyboard, shape them with sixty built-in effects and export a finished master "
          "in minutes.",
          { "Unlimited audio and MIDI tracks", "Sixty studio effects and a mastering suite",
            "Loop browser with 2,000 royalty-free loops", "Score view that prints what you play",
            "Exports WAV, FLAC, OGG and MP3" },
          OrvalisInstallerComponent::layout,
          { "MORE ABOUT ORVALIS", "UPGRADE TO THE FULL VERSION" },
          [] (juce::Graphics& g, const PictureKit& kit)
          { kit.bundleLogo (g, { 17, 24, 230, 84 }); },
          orvalisPicture,
          [] (juce::Graphics& g, const PictureKit& kit)
          {
              kit.text (g, "ORVALIS", kit.font (Face::sansBlack, 22.0f, 0.08f), juce::Colours::white, { 256, 44, 112, 22 });
              kit.text (g, "Brelvan", kit.font (Face::serifItalic, 28.0f), PictureKit::gold, { 372, 40, 105, 28 });
          } },
        { ItemStyles::tessaly,
          { 334, 38, 299, 214 },
          "Tessaly Studio Edition edits, repairs and restores audio with sample accuracy. Clean up old vinyl "
          "recordings, cut interviews and podcasts, and prepare sounds for your Orvalis projects, all in one fast "
          "and clear workspace.",
          { "Spectral view with a repair brush", "Noise and click removal for records", "Batch processing of whole folders",
            "Sample-accurate cuts, fades and crossfades", "Hands your edits straight to Orvalis" },
          TessalyInstallerComponent::layout,
          { "DOWNLOAD THE LATEST VERSION", "UPGRADE TO THE FULL VERSION", "WATCH THE VIDEO TUTORIALS" },
          [] (juce::Graphics& g, const PictureKit& kit)
          {
              const Rectangle<float> box (20, 18, 67, 104);
              const auto& style = ItemStyles::tessaly;
              juce::Path shape;
              shape.addRoundedRectangle (box, 10);
              PictureKit::shadow (g, juce::DropShadow (Colour (0xcc000000), 8, { 0, 3 }), shape);
              g.setGradientFill (juce::ColourGradient (Colour (style.bright), box.getX(), box.getY(), Colour (style.deep), box.getRight(), box.getBottom(), false));
              g.fillPath (shape);
              g.setColour (Colour (style.accent).withAlpha (0.7f));
              g.strokePath (shape, juce::PathStrokeType (1.0f));
              kit.text (g, "T", kit.font (Face::serifBold, 62.0f), juce::Colours::white, box.withHeight (66).translated (0, 6), juce::Justification::centred);
              kit.text (g, "TESSALY", kit.font (Face::sansBlack, 10.5f, 0.1f), juce::Colours::white, box.withTrimmedTop (72).withHeight (12), juce::Justification::centred);
              kit.text (g, "STUDIO", kit.font (Face::sansBold, 7.5f, 0.3f), Colour (style.accent), box.withTrimmedTop (86).withHeight (10), juce::Justification::centred);
          },
          tessalyPicture,
          [] (juce::Graphics& g, const PictureKit& kit)
          {
              juce::AttributedString s;
              s.append ("TESSALY ", kit.font (Face::sansBlack, 12.0f, 0.08f), juce::Colours::white);
              s.append ("Studio Edition", kit.font (Face::sansLight, 12.0f, 0.04f), Colour (ItemStyles::tessaly.accent));
              richLine (g, s, { 356, 17, 174, 13 });
          } },
        { ItemStyles::marrowby,
          { 334, 38, 299, 237 },
          "Marrowby is a warm, analogue-style synthesizer with three oscillators, a rich filter section and a step "
          "sequencer. Hundreds of hand-made presets cover basses, leads, pads and textures, ready to play inside "
          "Orvalis.",
          { "Three oscillators with cross-modulation", "Ladder and state-variable filters",
            "32-step sequencer and arpeggiator", "Over 400 factory presets", "Low processor load, even with many voices" },
          MarrowbyInstallerComponent::layout,
          { "DISCOVER MARROWBY" },
          [] (juce::Graphics& g, const PictureKit& kit)
          {
              auto script = kit.font (Face::serifItalic, 92.0f);
              script.setHeight (92.0f * juce::jmin (1.0f, 236.0f / script.getStringWidthFloat ("Marrowby")));
              juce::GlyphArrangement glyphs;
              glyphs.addFittedText (script, "Marrowby", 18, 20, 239, 102, juce::Justification::centred, 1);
              juce::Path name;
              glyphs.createPath (name);
              PictureKit::shadow (g, juce::DropShadow (Colour (ItemStyles::marrowby.bright).withAlpha (0.6f), 14, {}), name);
              g.setColour (juce::Colours::white);
              g.fillPath (name);
          },
          marrowbyPicture,
          [] (juce::Graphics& g, const PictureKit& kit)
          { kit.text (g, "MARROWBY", kit.font (Face::sansBlack, 14.0f, 0.03f), juce::Colours::white, { 356, 22, 106, 15 }); } },
        { ItemStyles::kestrune,
          { 247, 38, 386, 200 },
          "Kestrune is a library of orchestral and cinematic instruments, recorded in a concert hall and prepared "
          "for the Brelvan players. Install it last: it adds its sounds to the libraries of Orvalis and Marrowby.",
          { "12 GB of strings, brass, woodwinds and choirs", "Three microphone positions for every instrument",
            "Cinematic hits, risers and drones", "Ready-made ensembles for quick sketches", "Installs as a single content pack" },
          KestruneInstallerComponent::layout,
          { "VISIT THE KESTRUNE WEBSITE" },
          [] (juce::Graphics& g, const PictureKit& kit)
          {
              kit.text (g, "KESTRUNE", kit.font (Face::sansBlack, 36.0f, 0.04f), juce::Colours::white, { 22, 42, 211, 36 }, juce::Justification::centred);
              kit.text (g, "ORCHESTRAL SOUND LIBRARY", kit.font (Face::sansBold, 10.0f, 0.16f), juce::Colours::white, { 22, 77, 211, 11 }, juce::Justification::centred);
          },
          kestrunePicture,
          [] (juce::Graphics& g, const PictureKit& kit)
          { kit.text (g, "KESTRUNE", kit.font (Face::sansBlack, 13.0f, 0.1f), juce::Colours::white, { 270, 21, 101, 13 }); } },
    };
    return pages;
}

//==============================================================================
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
} // namespace

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

    const char* prefixes[] = { "orvalis", "tessaly", "marrowby", "kestrune" };
    for (size_t i = 0; i < 4; ++i)
    {
        const juce::String prefix (prefixes[i]);
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
            g.setColour (Colour (ProductInstallerComponent::linkTextColour));
            g.drawText (address, bounds.reduced (1, 0), juce::Justification::centred, true);
        }
        return page;
    };

    using namespace ItemStyles;
    std::vector<std::pair<juce::String, juce::Image>> previews;
    previews.push_back ({ "menuPage.png",
                          compose (menuBackground (kit),
                                   { { menuPicture (kit, orvalis, 0), MainInstallerComponent::buttonBounds (0) },
                                     { menuPicture (kit, tessaly, 1), MainInstallerComponent::buttonBounds (1) },
                                     { menuPicture (kit, marrowby, 2), MainInstallerComponent::buttonBounds (2) },
                                     { menuPicture (kit, kestrune, 3), MainInstallerComponent::buttonBounds (3) } },
                                   {}) });
    for (auto& page : productPages())
    {
        std::vector<std::pair<juce::String, Rectangle<int>>> links;
        for (auto& link : page.layout.webLinks)
            links.push_back ({ "http://" + juce::String (page.style.name).toLowerCase() + ".example/...", link.bounds });
        previews.push_back ({ juce::String (page.style.name).toLowerCase() + "Page.png",
                              compose (productBackground (kit, page),
                                       { { returnButton (kit), returnArea }, { installButton (kit, page.style), installArea } },
                                       links) });
    }
    return previews;
}
