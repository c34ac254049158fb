#include "PngDecoder.h"

#include <csetjmp>
#include <cstring>
#include <png.h>

extern "C" void __real_png_set_read_fn (png_structrp, png_voidp, png_rw_ptr);

namespace
{
struct Source
{
    const unsigned char* bytes;
    size_t size, position;
};

void readFromMemory (png_structp reader, png_bytep into, png_size_t count)
{
    auto& source = *static_cast<Source*> (png_get_io_ptr (reader));
    if (count > source.size - source.position)
        png_error (reader, "the picture ends early");
    std::memcpy (into, source.bytes + source.position, count);
    source.position += count;
}

[[noreturn]] void giveUp (png_structp reader, png_const_charp)
{
    png_longjmp (reader, 1);
}

void ignoreWarning (png_structp, png_const_charp)
{
}

/** libpng's RGBA bytes to the framework's premultiplied pixels, in place. */
void convertRow (juce::uint8* row, int width)
{
    for (int x = 0; x < width; ++x, row += 4)
    {
        const auto red = row[0], green = row[1], blue = row[2], alpha = row[3];
        auto* pixel = reinterpret_cast<juce::PixelARGB*> (row);
        pixel->setARGB (alpha, red, green, blue);
        pixel->premultiply();
    }
}

/** The steps between which libpng may jump back on an error; nothing here owns anything. */
bool readHeader (png_structp reader, png_infop info, png_uint_32& width, png_uint_32& height, bool& readable)
{
    if (setjmp (png_jmpbuf (reader)) != 0)
        return false;

    png_read_info (reader, info);
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR (reader, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    readable = depth == 8 && colourType == PNG_COLOR_TYPE_RGB_ALPHA && interlace == PNG_INTERLACE_NONE && width <= (png_uint_32) std::numeric_limits<int>::max() / 4 && height <= (png_uint_32) std::numeric_limits<int>::max();
    return true;
}

bool readRows (png_structp reader, png_infop info, const juce::Image::BitmapData& pixels)
{
    if (setjmp (png_jmpbuf (reader)) != 0)
        return false;

    for (int y = 0; y < pixels.height; ++y)
    {
        png_read_row (reader, pixels.getLinePointer (y), nullptr);
        convertRow (pixels.getLinePointer (y), pixels.width);
    }
    png_read_end (reader, info);
    return true;
}
} // namespace

juce::Image PngDecoder::framework (const void* data, size_t size)
{
    juce::MemoryInputStream stream (data, size, false);
    return juce::PNGImageFormat().decodeImage (stream);
}

juce::Image PngDecoder::decode (const void* data, size_t size)
{
    auto* reader = png_create_read_struct (PNG_LIBPNG_VER_STRING, nullptr, giveUp, ignoreWarning);
    if (reader == nullptr)
        return {};
    auto* info = png_create_info_struct (reader);
    if (info == nullptr)
    {
        png_destroy_read_struct (&reader, nullptr, nullptr);
        return {};
    }

    Source source{ static_cast<const unsigned char*> (data), size, 0 };
    // The real call: the program's wrapped one is for the framework's reader (PngReading.cpp).
    __real_png_set_read_fn (reader, &source, readFromMemory);

    png_uint_32 width = 0, height = 0;
    bool readable = false;
    juce::Image image;
    if (readHeader (reader, info, width, height, readable) && readable)
    {
        image = juce::Image (juce::Image::ARGB, (int) width, (int) height, false, juce::SoftwareImageType());
        const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);
        if (!readRows (reader, info, pixels))
            image = {};
    }
    png_destroy_read_struct (&reader, &info, nullptr);

    if (!readable && width > 0)
        return framework (data, size);
    return image;
}
