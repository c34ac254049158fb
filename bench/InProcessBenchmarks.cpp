// In-process figures, each beside its floor, for the 1x pictures and for the 2x pictures
// drawn at 200 % (the argument after the slash):
//   start-up split: decoding the seventeen pictures (floor: inflating their compressed
//   bytes with zlib alone), decoding the five the menu's first frame shows, building the
//   five pages, the menu's first paint (its pictures already decoded);
//   page switch: from handling a show message to a complete repaint of the page into an
//   image with the framework's software renderer (floor: one plain image copy of the
//   same size).

#include "artwork/Artwork.h"
#include "artwork/PngDecoder.h"
#include "navigation/MainComponent.h"
#include "support/Facts.h"
#include "support/Processes.h"
#include "support/Screenshots.h"
#include "support/XInput.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <zlib.h>

namespace
{
constexpr size_t picturesOfTheMenu = 5;
const ArtworkEntry* const pictures[] = {
    &Artwork::menuBackground, &Artwork::menuOrvalisButton, &Artwork::menuTessalyButton, &Artwork::menuMarrowbyButton,
    &Artwork::menuKestruneButton, &Artwork::orvalisBackground, &Artwork::orvalisReturn, &Artwork::orvalisInstall,
    &Artwork::tessalyBackground, &Artwork::tessalyReturn, &Artwork::tessalyInstall, &Artwork::marrowbyBackground,
    &Artwork::marrowbyReturn, &Artwork::marrowbyInstall, &Artwork::kestruneBackground, &Artwork::kestruneReturn,
    &Artwork::kestruneInstall
};

uint32_t bigEndian (const unsigned char* p)
{
    return (uint32_t (p[0]) << 24) | (uint32_t (p[1]) << 16) | (uint32_t (p[2]) << 8) | uint32_t (p[3]);
}

/** A PNG's compressed image data and the size it inflates to (RGBA, one filter byte a row). */
struct CompressedPicture
{
    std::vector<unsigned char> idat;
    size_t inflatedSize = 0;
};

CompressedPicture compressedPicture (const ArtworkEntry& entry)
{
    CompressedPicture result;
    const auto* bytes = reinterpret_cast<const unsigned char*> (entry.data);
    for (size_t at = 8; at + 12 <= static_cast<size_t> (entry.size);)
    {
        const auto length = bigEndian (bytes + at);
        const auto* type = bytes + at + 4;
        if (std::memcmp (type, "IHDR", 4) == 0)
            result.inflatedSize = size_t (bigEndian (type + 8)) * (1 + 4 * size_t (bigEndian (type + 4)));
        if (std::memcmp (type, "IDAT", 4) == 0)
            result.idat.insert (result.idat.end(), type + 4, type + 4 + length);
        at += 12 + length;
    }
    return result;
}

/** The catalogue entry of a set: 1 for the pictures at 100 %, 2 for those drawn at twice the size. */
const ArtworkEntry& inSet (const ArtworkEntry* entry, int64_t set)
{
    return set == 2 ? *entry->twice : *entry;
}

void decode (benchmark::State& state, size_t count)
{
    for (auto _ : state)
        for (size_t i = 0; i < count; ++i)
        {
            const auto& entry = inSet (pictures[i], state.range (0));
            benchmark::DoNotOptimize (PngDecoder::decode (entry.data, static_cast<size_t> (entry.size)));
        }
}

void decodePictures (benchmark::State& state)
{
    decode (state, std::size (pictures));
}

void decodeMenuPictures (benchmark::State& state)
{
    decode (state, picturesOfTheMenu);
}

void inflatePictures (benchmark::State& state)
{
    std::vector<CompressedPicture> compressed;
    for (auto* entry : pictures)
        compressed.push_back (compressedPicture (inSet (entry, state.range (0))));
    std::vector<unsigned char> out;
    for (auto _ : state)
        for (auto& picture : compressed)
        {
            out.resize (picture.inflatedSize);
            auto size = static_cast<uLongf> (out.size());
            if (uncompress (out.data(), &size, picture.idat.data(), static_cast<uLong> (picture.idat.size())) != Z_OK)
                state.SkipWithError ("a picture does not inflate");
            benchmark::DoNotOptimize (out.data());
        }
}

// The pictures are already in the image cache here: building is the components' own work.
void buildPages (benchmark::State& state)
{
    const MainComponent warm ([] (int) {});
    for (auto _ : state)
    {
        MainComponent host ([] (int) {});
        benchmark::DoNotOptimize (&host);
    }
}

/** A page drawn as a display at this scale shows it. */
void paintInto (juce::Image& canvas, juce::Component& page, int scale = 1)
{
    juce::Graphics g (canvas);
    g.addTransform (juce::AffineTransform::scale ((float) scale));
    page.paintEntireComponent (g, true);
}

juce::Image canvasAt (int64_t scale)
{
    return juce::Image (juce::Image::ARGB, 640 * (int) scale, 400 * (int) scale, true, juce::SoftwareImageType());
}

void firstPaintOfTheMenu (benchmark::State& state)
{
    const auto scale = static_cast<int> (state.range (0));
    auto canvas = canvasAt (scale);
    for (auto _ : state)
    {
        state.PauseTiming();
        auto host = std::make_unique<MainComponent> ([] (int) {});
        host->setSize (640, 400);
        state.ResumeTiming();
        paintInto (canvas, *host, scale);
        state.PauseTiming();
        host.reset();
        state.ResumeTiming();
    }
}

void pageSwitch (benchmark::State& state)
{
    const auto page = static_cast<int> (state.range (0));
    const auto scale = static_cast<int> (state.range (1));
    MainComponent host ([] (int) {});
    host.setSize (640, 400);
    auto canvas = canvasAt (scale);
    paintInto (canvas, host, scale);
    for (auto _ : state)
    {
        host.actionListenerCallback (page < 0 ? juce::String (support::returnMessage) : juce::String (support::showMessages[page]));
        paintInto (canvas, host, scale);
        state.PauseTiming();
        host.actionListenerCallback (page < 0 ? juce::String (support::showMessages[0]) : juce::String (support::returnMessage));
        state.ResumeTiming();
    }
}

void imageCopy (benchmark::State& state)
{
    auto from = canvasAt (state.range (0)), to = canvasAt (state.range (0));
    const juce::Image::BitmapData source (from, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData target (to, juce::Image::BitmapData::writeOnly);
    for (auto _ : state)
    {
        for (int y = 0; y < from.getHeight(); ++y)
            std::memcpy (target.getLinePointer (y), source.getLinePointer (y), static_cast<size_t> (from.getWidth()) * 4);
        benchmark::ClobberMemory();
    }
}
} // namespace

BENCHMARK (decodePictures)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (decodeMenuPictures)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (inflatePictures)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (buildPages)->Unit (benchmark::kMillisecond);
BENCHMARK (firstPaintOfTheMenu)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (pageSwitch)->ArgsProduct ({ benchmark::CreateDenseRange (-1, 3, 1), { 1, 2 } })->Unit (benchmark::kMillisecond);
BENCHMARK (imageCopy)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);

// A private X server and one framework start-up, as the program has.
int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);
    support::XServer server;
    setenv ("DISPLAY", server.displayName().c_str(), 1);
    juce::ScopedJuceInitialiser_GUI framework;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
