#pragma once

#include <juce_graphics/juce_graphics.h>

/** Encodes an image as an RGBA PNG file with a fixed chunk layout: IHDR, pHYs
    (72 dpi), iCCP (an sRGB profile), cHRM (the sRGB primaries), one IDAT, IEND.
    The same image always gives the same bytes. */
class PngWriter
{
public:
    static juce::MemoryBlock encode (const juce::Image&);

    static constexpr juce::uint32 pixelsPerMetre = 2835;

private:
    static juce::MemoryBlock srgbProfile();
};
