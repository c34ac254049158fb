#pragma once

// What the X server shows, read back, and how pictures compare.

#include "XServer.h"

namespace support
{
/** What the server shows in an area of the root window. */
juce::Image screenshot (const XServer&, juce::Rectangle<int> area);

/** The number of pixels in which two equally sized images differ by more than the tolerance in any channel. */
int countDifferentPixels (const juce::Image& a, const juce::Image& b, int tolerance = 0);

/** The number of pixels of an image not within the tolerance of one colour. */
int countPixelsOtherThan (const juce::Image&, juce::Colour, int tolerance = 0);
} // namespace support
