#include "Artwork.h"

#include "ArtworkData.h"
#include "ArtworkData2x.h"

// Each picture, with its set drawn at twice the size beside it.
#define BRELVAN_ARTWORK_ENTRY(name)                                                      \
    namespace Twice                                                                      \
    {                                                                                    \
    const ArtworkEntry name{ ArtworkData2x::name##_png, ArtworkData2x::name##_pngSize }; \
    }                                                                                    \
    const ArtworkEntry name{ ArtworkData::name##_png, ArtworkData::name##_pngSize, &Twice::name };

namespace Artwork
{
BRELVAN_ARTWORK_ENTRY (menuBackground)
BRELVAN_ARTWORK_ENTRY (menuOrvalisButton)
BRELVAN_ARTWORK_ENTRY (menuTessalyButton)
BRELVAN_ARTWORK_ENTRY (menuMarrowbyButton)
BRELVAN_ARTWORK_ENTRY (menuKestruneButton)

BRELVAN_ARTWORK_ENTRY (orvalisBackground)
BRELVAN_ARTWORK_ENTRY (orvalisReturn)
BRELVAN_ARTWORK_ENTRY (orvalisInstall)

BRELVAN_ARTWORK_ENTRY (tessalyBackground)
BRELVAN_ARTWORK_ENTRY (tessalyReturn)
BRELVAN_ARTWORK_ENTRY (tessalyInstall)

BRELVAN_ARTWORK_ENTRY (marrowbyBackground)
BRELVAN_ARTWORK_ENTRY (marrowbyReturn)
BRELVAN_ARTWORK_ENTRY (marrowbyInstall)

BRELVAN_ARTWORK_ENTRY (kestruneBackground)
BRELVAN_ARTWORK_ENTRY (kestruneReturn)
BRELVAN_ARTWORK_ENTRY (kestruneInstall)

const ArtworkEntry icons[4]{
    { ArtworkData::icon128_png, ArtworkData::icon128_pngSize },
    { ArtworkData::icon64_png, ArtworkData::icon64_pngSize },
    { ArtworkData::icon48_png, ArtworkData::icon48_pngSize },
    { ArtworkData::icon32_png, ArtworkData::icon32_pngSize },
};
} // namespace Artwork
