#pragma once

#include "artwork/Artwork.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** What every page shares in how it looks: its size, its background, its picture buttons,
    and how its controls present themselves to the keyboard and to assistive technology.

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

    /** A control as the keyboard and assistive technology meet it: its name, what it does
        where the name does not say (empty otherwise), its place in the page's focus order
        (1 first), and the page's focus ring. */
    static void describe (juce::Component&, const juce::String& title, const juce::String& description, int focusOrder);

    /** A page as assistive technology meets it: named, and holding its controls as their
        parent. It leads the tree's focus only; the keyboard keeps the window's own order. */
    static void presentAsPage (juce::Component&, const juce::String& title);

    /** The ring around the control with the keyboard focus shows only while the keyboard
        is in use: from the first key on, until the next mouse click. */
    static void setFocusRingShown (bool) noexcept;
    static bool isFocusRingShown() noexcept;

    /** How far the focus ring stands off its control, and its width. */
    static constexpr int focusRingGap = 3;
    static constexpr float focusRingWidth = 2.0f;

    static constexpr float opacityAtRest = 0.8f;
    static constexpr float opacityActive = 1.0f;
    static constexpr juce::uint32 pressedWash = 0x40ffffff;
};
