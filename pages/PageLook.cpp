#include "PageLook.h"

#include "artwork/ArtworkPicture.h"

namespace
{
/** What a context draws a picture with: its set for the context's scale, resampled with
    the framework's best quality where that scale is not a whole multiple of the set's. */
juce::Image prepareFor (juce::Graphics& g, const juce::Image& image)
{
    const auto scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    return ArtworkPicture::forScale (image, scale);
}

/** Picture buttons draw their picture in the set the screen needs. */
class PictureButtonLook : public juce::LookAndFeel_V4
{
public:
    void drawImageButton (juce::Graphics& g, juce::Image* image, int x, int y, int width, int height,
                          const juce::Colour& overlay, float opacity, juce::ImageButton& button) override
    {
        auto shown = prepareFor (g, *image);
        if (shown.isValid())
            LookAndFeel_V4::drawImageButton (g, &shown, x, y, width, height, overlay, opacity, button);
    }
};

PictureButtonLook& pictureButtonLook()
{
    // Outlives every page; never destroyed, since the framework may still hold its buttons' looks at exit.
    static auto* look = new PictureButtonLook();
    return *look;
}
} // namespace

juce::Image PageLook::picture (const ArtworkEntry& entry)
{
    return ArtworkPicture::of (entry);
}

void PageLook::paintBackground (juce::Graphics& g, const juce::Image& background)
{
    g.fillAll (juce::Colours::white);
    if (!background.isValid())
        return;

    const auto shown = prepareFor (g, background);
    if (!shown.isValid())
        return;

    g.setColour (juce::Colours::black);
    g.drawImage (shown, 0, 0, pageWidth, pageHeight, 0, 0, shown.getWidth(), shown.getHeight(), false);
}

void PageLook::setPicture (juce::ImageButton& button, const ArtworkEntry& entry, bool keepProportions)
{
    button.setLookAndFeel (&pictureButtonLook());
    button.setImages (false, true, keepProportions,
                      picture (entry), opacityAtRest, juce::Colour (0x00000000),
                      juce::Image(), opacityActive, juce::Colours::transparentBlack,
                      juce::Image(), opacityActive, juce::Colour (pressedWash),
                      0.0f);
}
