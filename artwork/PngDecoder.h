#pragma once

#include <juce_graphics/juce_graphics.h>

/** Decodes the catalogue's pictures straight into the image they become.

    The framework's PNG reader first decodes a whole picture into a temporary copy and then
    converts it, so a start-up touches twice the memory of its pictures; on a display at
    200 %, the menu's first frame alone would touch 8 MiB for its background. This reader
    hands libpng the image's own rows and converts each row in place, with the same pixel
    arithmetic as the framework. It reads 8-bit RGBA pictures without interlacing, as the
    catalogue's are, and passes anything else to the framework's reader. A damaged picture
    gives an invalid image. */
namespace PngDecoder
{
juce::Image decode (const void* data, size_t size);

/** The framework's PNG reader alone, as the program sets it up (PngReading.cpp); no other
    format is tried. */
juce::Image framework (const void* data, size_t size);
} // namespace PngDecoder
