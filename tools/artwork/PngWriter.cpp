#include "PngWriter.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <zlib.h>
#include <zopfli/zopfli.h>

namespace
{
void putU32 (juce::MemoryOutputStream& out, juce::uint32 v)
{
    out.writeIntBigEndian (static_cast<int> (v));
}

void putU16 (juce::MemoryOutputStream& out, juce::uint16 v)
{
    out.writeShortBigEndian (static_cast<short> (v));
}

/** zlib's best, for quick encoding and for choosing between ways to filter. */
juce::MemoryBlock deflate (const void* data, size_t size)
{
    auto bound = compressBound (static_cast<uLong> (size));
    juce::MemoryBlock out (bound);
    if (compress2 (static_cast<Bytef*> (out.getData()), &bound, static_cast<const Bytef*> (data),
                   static_cast<uLong> (size), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error ("zlib failed");
    out.setSize (bound);
    return out;
}

// Zopfli searches far longer than zlib for the same zlib stream, about 8 % smaller on these
// pictures; more iterations than these gain a fraction of that.
constexpr int zopfliIterations = 5;

juce::MemoryBlock deflateSmallest (const void* data, size_t size)
{
    ZopfliOptions options;
    ZopfliInitOptions (&options);
    options.numiterations = zopfliIterations;
    unsigned char* out = nullptr;
    size_t outSize = 0;
    ZopfliCompress (&options, ZOPFLI_FORMAT_ZLIB, static_cast<const unsigned char*> (data), size, &out, &outSize);
    if (out == nullptr)
        throw std::runtime_error ("zopfli failed");
    juce::MemoryBlock block (out, outSize);
    std::free (out);
    return block;
}

juce::MemoryBlock deflate (const void* data, size_t size, PngWriter::Effort effort)
{
    return effort == PngWriter::Effort::smallest ? deflateSmallest (data, size) : deflate (data, size);
}

void writeChunk (juce::MemoryOutputStream& png, const char* type, const juce::MemoryBlock& body)
{
    putU32 (png, static_cast<juce::uint32> (body.getSize()));
    png.write (type, 4);
    png.write (body.getData(), body.getSize());

    auto crc = crc32 (0, reinterpret_cast<const Bytef*> (type), 4);
    if (body.getSize() > 0) // zlib answers 0 for a null buffer
        crc = crc32 (crc, static_cast<const Bytef*> (body.getData()), static_cast<uInt> (body.getSize()));
    putU32 (png, static_cast<juce::uint32> (crc));
}

juce::int32 s15Fixed16 (double v)
{
    return static_cast<juce::int32> (std::lround (v * 65536.0));
}

void putXYZ (juce::MemoryOutputStream& out, double x, double y, double z)
{
    out.write ("XYZ \0\0\0\0", 8);
    for (auto v : { x, y, z })
        putU32 (out, static_cast<juce::uint32> (s15Fixed16 (v)));
}

// PNG's row filters: what each byte is stored as, given the bytes to its left (a), above (b)
// and above-left (c).
enum Filter : juce::uint8
{
    none,
    sub,
    up,
    average,
    paeth
};
constexpr Filter allFilters[] = { none, sub, up, average, paeth };

juce::uint8 paethPredictor (int a, int b, int c)
{
    const auto p = a + b - c, pa = std::abs (p - a), pb = std::abs (p - b), pc = std::abs (p - c);
    return static_cast<juce::uint8> (pa <= pb && pa <= pc ? a : (pb <= pc ? b : c));
}

/** Every row in RGBA bytes, each behind its filter byte, all rows with the one filter. */
juce::MemoryBlock filteredRows (const juce::Image& image, Filter filter)
{
    const auto stride = static_cast<size_t> (image.getWidth()) * 4;
    std::vector<juce::uint8> above (stride, 0), row (stride);
    juce::MemoryOutputStream raw;

    for (int y = 0; y < image.getHeight(); ++y)
    {
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto c = image.getPixelAt (x, y);
            auto* p = row.data() + static_cast<size_t> (x) * 4;
            p[0] = c.getRed();
            p[1] = c.getGreen();
            p[2] = c.getBlue();
            p[3] = c.getAlpha();
        }
        raw.writeByte (static_cast<char> (filter));
        for (size_t i = 0; i < stride; ++i)
        {
            const int a = i >= 4 ? row[i - 4] : 0, b = above[i], c = i >= 4 ? above[i - 4] : 0;
            const int predicted = filter == sub ? a : filter == up    ? b
                                                  : filter == average ? (a + b) / 2
                                                  : filter == paeth   ? paethPredictor (a, b, c)
                                                                      : 0;
            raw.writeByte (static_cast<char> (static_cast<juce::uint8> (row[i] - predicted)));
        }
        std::swap (above, row);
    }
    return raw.getMemoryBlock();
}

/** The picture's pixels as they are stored: with whichever filter compresses smallest. The
    backgrounds store best unfiltered (their grain is noise to every predictor), and decode
    fastest so, with no rows to reconstruct; the buttons store best with Sub or Paeth,
    about a tenth smaller. */
juce::MemoryBlock compressedPixels (const juce::Image& image, PngWriter::Effort effort)
{
    if (effort == PngWriter::Effort::quick)
    {
        const auto rows = filteredRows (image, none);
        return deflate (rows.getData(), rows.getSize());
    }

    juce::MemoryBlock bestRows;
    size_t bestSize = 0;
    for (auto filter : allFilters)
    {
        auto rows = filteredRows (image, filter);
        const auto size = deflate (rows.getData(), rows.getSize()).getSize();
        if (bestRows.isEmpty() || size < bestSize)
        {
            bestRows = std::move (rows);
            bestSize = size;
        }
    }
    return deflate (bestRows.getData(), bestRows.getSize(), effort);
}
} // namespace

juce::MemoryBlock PngWriter::srgbProfile()
{
    // An ICC version 2 display profile for sRGB: D50-adapted primaries and the
    // sRGB tone curve as a 64-entry table.
    juce::MemoryOutputStream desc, cprt, wtpt, rXYZ, gXYZ, bXYZ, trc;

    const char description[] = "sRGB IEC61966-2.1";
    desc.write ("desc\0\0\0\0", 8);
    putU32 (desc, sizeof (description));
    desc.write (description, sizeof (description));
    putU32 (desc, 0); // Unicode language
    putU32 (desc, 0); // Unicode count
    putU16 (desc, 0); // ScriptCode code
    desc.writeByte (0);
    for (int i = 0; i < 67; ++i)
        desc.writeByte (0);

    const char copyright[] = "No copyright, use freely";
    cprt.write ("text\0\0\0\0", 8);
    cprt.write (copyright, sizeof (copyright));

    putXYZ (wtpt, 0.9642, 1.0, 0.8249);
    putXYZ (rXYZ, 0.4361, 0.2225, 0.0139);
    putXYZ (gXYZ, 0.3851, 0.7169, 0.0971);
    putXYZ (bXYZ, 0.1431, 0.0606, 0.7141);

    // 64 points, between which a reader interpolates, stay within 0.03 of a level of the
    // sRGB curve at 8 bits.
    trc.write ("curv\0\0\0\0", 8);
    constexpr int entries = 64;
    putU32 (trc, entries);
    for (int i = 0; i < entries; ++i)
    {
        const double v = i / double (entries - 1);
        const double linear = v <= 0.04045 ? v / 12.92 : std::pow ((v + 0.055) / 1.055, 2.4);
        putU16 (trc, static_cast<juce::uint16> (std::lround (linear * 65535.0)));
    }

    struct Tag
    {
        const char* signature;
        const juce::MemoryOutputStream* data;
    };
    const Tag tags[] = { { "desc", &desc }, { "cprt", &cprt }, { "wtpt", &wtpt }, { "rXYZ", &rXYZ }, { "gXYZ", &gXYZ }, { "bXYZ", &bXYZ }, { "rTRC", &trc }, { "gTRC", &trc }, { "bTRC", &trc } };
    constexpr juce::uint32 tagCount = 9;

    // Tag data, each block 4-byte aligned; the three curves share one block.
    juce::MemoryOutputStream body;
    std::map<const juce::MemoryOutputStream*, juce::uint32> offsets;
    const juce::uint32 dataStart = 128 + 4 + tagCount * 12;
    for (auto& tag : tags)
    {
        if (offsets.count (tag.data) != 0)
            continue;
        offsets[tag.data] = dataStart + static_cast<juce::uint32> (body.getDataSize());
        body.write (tag.data->getData(), tag.data->getDataSize());
        while (body.getDataSize() % 4 != 0)
            body.writeByte (0);
    }
    const auto totalSize = dataStart + static_cast<juce::uint32> (body.getDataSize());

    juce::MemoryOutputStream profile;
    putU32 (profile, totalSize);
    profile.write ("\0\0\0\0", 4); // preferred CMM
    putU32 (profile, 0x02100000);  // version 2.1
    profile.write ("mntrRGB XYZ ", 12);
    for (auto v : { 2026, 1, 1, 0, 0, 0 })
        putU16 (profile, static_cast<juce::uint16> (v));
    profile.write ("acsp", 4);
    for (int i = 0; i < 5; ++i)
        putU32 (profile, 0); // platform, flags, manufacturer, model, attributes (low)
    putU32 (profile, 0);     // attributes (high)
    putU32 (profile, 0);     // perceptual intent
    for (auto v : { 0.9642, 1.0, 0.8249 })
        putU32 (profile, static_cast<juce::uint32> (s15Fixed16 (v)));
    putU32 (profile, 0); // creator
    for (int i = 0; i < 16 + 28; ++i)
        profile.writeByte (0); // profile id and reserved

    putU32 (profile, tagCount);
    for (auto& tag : tags)
    {
        profile.write (tag.signature, 4);
        putU32 (profile, offsets[tag.data]);
        putU32 (profile, static_cast<juce::uint32> (tag.data->getDataSize()));
    }
    profile.write (body.getData(), body.getDataSize());
    jassert (profile.getDataSize() == totalSize);
    return profile.getMemoryBlock();
}

juce::MemoryBlock PngWriter::encode (const juce::Image& image, Effort effort)
{
    juce::MemoryOutputStream png;
    png.write ("\x89PNG\r\n\x1a\n", 8);

    juce::MemoryOutputStream ihdr;
    putU32 (ihdr, static_cast<juce::uint32> (image.getWidth()));
    putU32 (ihdr, static_cast<juce::uint32> (image.getHeight()));
    for (int b : { 8, 6, 0, 0, 0 }) // 8 bits, RGBA, deflate, filter method 0, not interlaced
        ihdr.writeByte (static_cast<char> (b));
    writeChunk (png, "IHDR", ihdr.getMemoryBlock());

    juce::MemoryOutputStream phys;
    putU32 (phys, pixelsPerMetre);
    putU32 (phys, pixelsPerMetre);
    phys.writeByte (1); // unit: metre
    writeChunk (png, "pHYs", phys.getMemoryBlock());

    juce::MemoryOutputStream iccp;
    iccp.write ("sRGB", 4);
    iccp.writeByte (0); // end of the profile name
    iccp.writeByte (0); // deflate
    const auto profile = srgbProfile();
    iccp << deflate (profile.getData(), profile.getSize(), effort);
    writeChunk (png, "iCCP", iccp.getMemoryBlock());

    juce::MemoryOutputStream chrm;
    for (juce::uint32 v : { 31270u, 32900u, 64000u, 33000u, 30000u, 60000u, 15000u, 6000u })
        putU32 (chrm, v);
    writeChunk (png, "cHRM", chrm.getMemoryBlock());

    writeChunk (png, "IDAT", compressedPixels (image, effort));
    writeChunk (png, "IEND", {});

    return png.getMemoryBlock();
}
