// What the product pages say of their items, and each page's logo and title, in item order.

#include "PictureParts.h"

#include <stdexcept>

using Face = PictureKit::Face;
using Direction = PictureKit::Direction;
using juce::Colour;
using juce::Rectangle;

namespace PictureParts
{
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
          BundleItems::items[0],
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
          BundleItems::items[1],
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
          BundleItems::items[2],
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
          BundleItems::items[3],
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
} // namespace PictureParts
