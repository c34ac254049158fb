#pragma once

#include "artwork/Artwork.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** What every page shares in how it looks: its size, its background and its picture buttons.

    This is where the pictures reach the pages, and the one place that knows that a display
    may be scaled: whatever the scale, a picture fills the same logical bounds, drawn from
    the set of pictures that gives each physical pixel a drawn one. */
struct PageLook
{
    static constexpr int pageWidth = 640;
    static constexpr int pageHeight = 400;

    /** A catalogue entry's picture, through the framework's image cache; decoded when first drawn. */
    static juce::Image picture (const ArtworkEntry&);

    /** White, then the background picture over the whole page. A missing picture leaves the white. */
    static void paintBackground (juce::Graphics&, const juce::Image& background);

    /** One picture at 80 % at rest, fully opaque under the mouse and pressed with a white wash;
        the whole rectangle takes clicks. */
    static void setPicture (juce::ImageButton&, const ArtworkEntry&, bool keepProportions);

    static constexpr float opacityAtRest = 0.8f;
    static constexpr float opacityActive = 1.0f;
    static constexpr juce::uint32 pressedWash = 0x40ffffff;
};
