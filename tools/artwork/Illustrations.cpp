// The illustrations of the product pages: what each item is, drawn where its page shows it.

#include "PictureParts.h"

#include <stdexcept>

using Face = PictureKit::Face;
using Direction = PictureKit::Direction;
using juce::Colour;
using juce::Rectangle;

namespace
{
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
} // namespace

namespace PictureParts
{
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
} // namespace PictureParts
