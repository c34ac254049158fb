#pragma once

// The committed pictures: the catalogue's entries beside their files, in both sets.

#include "artwork/Artwork.h"

#include <juce_core/juce_core.h>

namespace support
{
struct CatalogueRow
{
    const char* name;
    const ArtworkEntry& entry;
    int width, height;
};

inline const CatalogueRow catalogue[] = {
    { "menuBackground", Artwork::menuBackground, 640, 400 },
    { "menuOrvalisButton", Artwork::menuOrvalisButton, 93, 78 },
    { "menuTessalyButton", Artwork::menuTessalyButton, 101, 95 },
    { "menuMarrowbyButton", Artwork::menuMarrowbyButton, 93, 78 },
    { "menuKestruneButton", Artwork::menuKestruneButton, 93, 78 },
    { "orvalisBackground", Artwork::orvalisBackground, 640, 400 },
    { "orvalisReturn", Artwork::orvalisReturn, 104, 41 },
    { "orvalisInstall", Artwork::orvalisInstall, 136, 98 },
    { "tessalyBackground", Artwork::tessalyBackground, 640, 400 },
    { "tessalyReturn", Artwork::tessalyReturn, 104, 41 },
    { "tessalyInstall", Artwork::tessalyInstall, 136, 98 },
    { "marrowbyBackground", Artwork::marrowbyBackground, 640, 400 },
    { "marrowbyReturn", Artwork::marrowbyReturn, 104, 41 },
    { "marrowbyInstall", Artwork::marrowbyInstall, 136, 98 },
    { "kestruneBackground", Artwork::kestruneBackground, 640, 400 },
    { "kestruneReturn", Artwork::kestruneReturn, 104, 41 },
    { "kestruneInstall", Artwork::kestruneInstall, 136, 98 },
};

inline const juce::File picturesFolder{ BRELVAN_SOURCE_DIR "/artwork/pictures" };

// The set the program shows at 100 %, and the one drawn with twice the pixels each way.
constexpr int scales[] = { 1, 2 };

inline juce::File setFolder (int scale)
{
    return scale == 1 ? picturesFolder : picturesFolder.getChildFile (juce::String (scale) + "x");
}

inline juce::MemoryBlock committedBytes (const char* name, int scale = 1)
{
    juce::MemoryBlock bytes;
    setFolder (scale).getChildFile (juce::String (name) + ".png").loadFileAsData (bytes);
    return bytes;
}
} // namespace support
