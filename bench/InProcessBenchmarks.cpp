// In-process figures, each beside its floor:
//   start-up split: decoding the seventeen pictures (floor: inflating their compressed
//   bytes with zlib alone), building the five pages, the menu's first paint;
//   page switch: from handling a show message to a complete repaint of the 640 x 400
//   page into an image with the framework's software renderer (floor: one plain
//   640 x 400 image copy).

#include "artwork/Artwork.h"
#include "e2e/Harness.h"
#include "navigation/MainComponent.h"
#include "pages/PageMessages.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <zlib.h>

namespace
{
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

void decodePictures (benchmark::State& state)
{
    for (auto _ : state)
        for (auto* entry : pictures)
            benchmark::DoNotOptimize (juce::ImageFileFormat::loadFrom (entry->data, static_cast<size_t> (entry->size)));
}

void inflatePictures (benchmark::State& state)
{
    std::vector<CompressedPicture> compressed;
    for (auto* entry : pictures)
        compressed.push_back (compressedPicture (*entry));
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

void paintInto (juce::Image& canvas, juce::Component& page)
{
    juce::Graphics g (canvas);
    page.paintEntireComponent (g, true);
}

void firstPaintOfTheMenu (benchmark::State& state)
{
    juce::Image canvas (juce::Image::ARGB, 640, 400, true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        state.PauseTiming();
        auto host = std::make_unique<MainComponent> ([] (int) {});
        host->setSize (640, 400);
        state.ResumeTiming();
        paintInto (canvas, *host);
        state.PauseTiming();
        host.reset();
        state.ResumeTiming();
    }
}

void pageSwitch (benchmark::State& state)
{
    const auto page = static_cast<int> (state.range (0));
    MainComponent host ([] (int) {});
    host.setSize (640, 400);
    juce::Image canvas (juce::Image::ARGB, 640, 400, true, juce::SoftwareImageType());
    paintInto (canvas, host);
    for (auto _ : state)
    {
        host.actionListenerCallback (page < 0 ? juce::String (PageMessages::returnToMenu) : juce::String (PageMessages::show[page]));
        paintInto (canvas, host);
        state.PauseTiming();
        host.actionListenerCallback (page < 0 ? juce::String (PageMessages::show[0]) : juce::String (PageMessages::returnToMenu));
        state.ResumeTiming();
    }
}

void imageCopy (benchmark::State& state)
{
    juce::Image from (juce::Image::ARGB, 640, 400, true, juce::SoftwareImageType()), to (juce::Image::ARGB, 640, 400, true, juce::SoftwareImageType());
    const juce::Image::BitmapData source (from, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData target (to, juce::Image::BitmapData::writeOnly);
    for (auto _ : state)
    {
        for (int y = 0; y < 400; ++y)
            std::memcpy (target.getLinePointer (y), source.getLinePointer (y), 640 * 4);
        benchmark::ClobberMemory();
    }
}
} // namespace

BENCHMARK (decodePictures)->Unit (benchmark::kMillisecond);
BENCHMARK (inflatePictures)->Unit (benchmark::kMillisecond);
BENCHMARK (buildPages)->Unit (benchmark::kMillisecond);
BENCHMARK (firstPaintOfTheMenu)->Unit (benchmark::kMillisecond);
BENCHMARK (pageSwitch)->DenseRange (-1, 3)->Unit (benchmark::kMillisecond);
BENCHMARK (imageCopy)->Unit (benchmark::kMillisecond);

// A private X server and one framework start-up, as the program has.
int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);
    e2e::XServer server;
    setenv ("DISPLAY", server.displayName().c_str(), 1);
    juce::ScopedJuceInitialiser_GUI framework;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
