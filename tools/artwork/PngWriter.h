#pragma once

#include <juce_graphics/juce_graphics.h>

/** Encodes an image as an RGBA PNG file with a fixed chunk layout: IHDR, pHYs
    (72 dpi), iCCP (an sRGB profile), cHRM (the sRGB primaries), one IDAT, IEND.
    The same image always gives the same bytes. */
class PngWriter
{
public:
    enum class Effort
    {
        smallest, // the bytes that are committed: every picture is read from the disc at start
        quick     // the same pixels in a fraction of the time, to compare what is drawn
    };

    static juce::MemoryBlock encode (const juce::Image&, Effort = Effort::smallest);

    static constexpr juce::uint32 pixelsPerMetre = 2835;

private:
    static juce::MemoryBlock srgbProfile();
};
