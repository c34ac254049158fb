#include "PageLook.h"

juce::Image PageLook::picture (const ArtworkEntry& entry)
{
    return juce::ImageCache::getFromMemory (entry.data, entry.size);
}

void PageLook::paintBackground (juce::Graphics& g, const juce::Image& background)
{
    g.fillAll (juce::Colours::white);
    if (!background.isValid())
        return;

    g.setColour (juce::Colours::black);
    g.drawImage (background, 0, 0, pageWidth, pageHeight, 0, 0, background.getWidth(), background.getHeight(), false);
}

void PageLook::setPicture (juce::ImageButton& button, const ArtworkEntry& entry, bool keepProportions)
{
    button.setImages (false, true, keepProportions,
                      picture (entry), opacityAtRest, juce::Colour (0x00000000),
                      juce::Image(), opacityActive, juce::Colours::transparentBlack,
                      juce::Image(), opacityActive, juce::Colour (pressedWash),
                      0.0f);
}
