#include "ArtworkPicture.h"

#include "PngDecoder.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace
{
// The largest side any catalogue picture could sensibly have; a header claiming more is damage.
constexpr juce::uint32 largestSide = 8192;

// Scales this close to 1 are 100 %: one logical pixel on one physical pixel.
constexpr float oneToOne = 1.01f;

juce::uint32 bigEndian (const unsigned char* p) noexcept
{
    return (juce::uint32 (p[0]) << 24) | (juce::uint32 (p[1]) << 16) | (juce::uint32 (p[2]) << 8) | p[3];
}

/** The size a PNG file's header gives, read without decoding anything. */
std::optional<juce::Point<int>> pngSize (const ArtworkEntry& entry)
{
    static constexpr unsigned char signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    constexpr int headerEnd = 24;
    if (entry.data == nullptr || entry.size < headerEnd)
        return {};

    const auto* bytes = reinterpret_cast<const unsigned char*> (entry.data);
    if (std::memcmp (bytes, signature, sizeof (signature)) != 0 || std::memcmp (bytes + 12, "IHDR", 4) != 0)
        return {};

    const auto width = bigEndian (bytes + 16), height = bigEndian (bytes + 20);
    if (width == 0 || height == 0 || width > largestSide || height > largestSide)
        return {};
    return juce::Point<int> ((int) width, (int) height);
}

// Every picture handed out and still alive, oldest first: the menu's come first. Never
// destroyed, so that a picture the framework lets go of late still finds it.
std::vector<ArtworkPicture*>& livePictures()
{
    static auto* const pictures = new std::vector<ArtworkPicture*>();
    return *pictures;
}

struct Prefetch
{
    int set = 0; // none until something is drawn
    int generation = 0;
    std::function<void()> whenDone;
};
Prefetch prefetch;

/** Keeps the pixels a bitmap points into alive for as long as the bitmap. */
struct PixelsKeptAlive : juce::Image::BitmapData::BitmapDataReleaser
{
    explicit PixelsKeptAlive (juce::Image kept)
        : image (std::move (kept))
    {
    }
    juce::Image image;
};
} // namespace

//==============================================================================
juce::Image ArtworkPicture::of (const ArtworkEntry& entry)
{
    const auto key = static_cast<juce::int64> (reinterpret_cast<juce::pointer_sized_int> (&entry));
    if (auto cached = juce::ImageCache::getFromHashCode (key); cached.isValid())
        return cached;

    const auto size = pngSize (entry);
    if (!size)
        return {};

    juce::Image picture (new ArtworkPicture (entry, *size));
    juce::ImageCache::addImageToCache (picture, key);
    return picture;
}

juce::Image ArtworkPicture::forScale (const juce::Image& image, float physicalScale)
{
    auto* picture = dynamic_cast<ArtworkPicture*> (image.getPixelData());
    if (picture == nullptr)
        return image;

    const auto set = physicalScale > oneToOne ? 2 : 1;
    if (set != prefetch.set)
    {
        // What this frame shows is decoded now, below; the rest follows once it is painted.
        prefetch.set = set;
        const auto generation = ++prefetch.generation;
        juce::MessageManager::callAsync ([generation]
                                         { prefetchNext (generation); });
    }

    if (set == 2 && picture->decoded (2).isValid())
        return picture->decoded (2);
    return picture->decoded (1);
}

void ArtworkPicture::whenAllDecoded (std::function<void()> callback)
{
    prefetch.whenDone = std::move (callback);
}

// One picture per message, so that input is answered between them. A chain started for
// a set that is no longer in use ends.
void ArtworkPicture::prefetchNext (int generation)
{
    if (generation != prefetch.generation)
        return;

    const auto set = prefetch.set;
    auto& live = livePictures();
    const auto waiting = std::find_if (live.begin(), live.end(), [set] (ArtworkPicture* p)
                                       { return !p->isDecoded (set); });
    if (waiting == live.end())
    {
        // Those drawn in the new set before the chain reached them still hold the other one.
        for (auto* picture : live)
            picture->keepOnly (set);
        if (prefetch.whenDone)
            prefetch.whenDone();
        return;
    }

    (*waiting)->decoded (set);
    (*waiting)->keepOnly (set);
    juce::MessageManager::callAsync ([generation]
                                     { prefetchNext (generation); });
}

//==============================================================================
ArtworkPicture::ArtworkPicture (const ArtworkEntry& source, juce::Point<int> size)
    : juce::ImagePixelData (juce::Image::ARGB, size.x, size.y)
    , entry (source)
{
    livePictures().push_back (this);
}

ArtworkPicture::~ArtworkPicture()
{
    auto& live = livePictures();
    live.erase (std::remove (live.begin(), live.end(), this), live.end());
}

int ArtworkPicture::available (int set) const noexcept
{
    return set == 2 && entry.twice != nullptr ? 2 : 1;
}

const juce::Image& ArtworkPicture::decoded (int set)
{
    set = available (set);

    const auto index = static_cast<size_t> (set - 1);
    auto& image = sets[index];
    if (!tried[index])
    {
        tried[index] = true;
        const auto& source = set == 2 ? *entry.twice : entry;
        image = PngDecoder::decode (source.data, static_cast<size_t> (source.size));

        // A set's picture must cover exactly the picture's place at that set's scale.
        if (image.isValid() && image.getBounds() != juce::Rectangle<int> (width * set, height * set))
            image = {};
    }
    return image;
}

bool ArtworkPicture::isDecoded (int set) const noexcept
{
    return tried[static_cast<size_t> (available (set) - 1)];
}

// The other set goes once this one is in hand; a set that does not decode keeps the other.
void ArtworkPicture::keepOnly (int set)
{
    if (available (set) != set || !decoded (set).isValid())
        return;

    const auto other = static_cast<size_t> (2 - set);
    sets[other] = {};
    tried[other] = false;
}

juce::Image& ArtworkPicture::readable()
{
    decoded (1);
    if (!sets[0].isValid())
        sets[0] = juce::Image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
    return sets[0];
}

std::unique_ptr<juce::LowLevelGraphicsContext> ArtworkPicture::createLowLevelContext()
{
    return readable().getPixelData()->createLowLevelContext();
}

juce::ImagePixelData::Ptr ArtworkPicture::clone()
{
    return readable().getPixelData()->clone();
}

std::unique_ptr<juce::ImageType> ArtworkPicture::createType() const
{
    return std::make_unique<juce::SoftwareImageType>();
}

void ArtworkPicture::initialiseBitmapData (juce::Image::BitmapData& bitmap, int x, int y, juce::Image::BitmapData::ReadWriteMode mode)
{
    auto& pixels = readable();
    pixels.getPixelData()->initialiseBitmapData (bitmap, x, y, mode);
    bitmap.dataReleaser = std::make_unique<PixelsKeptAlive> (pixels);
}
