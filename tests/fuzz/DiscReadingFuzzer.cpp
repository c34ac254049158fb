// What disc-check reads from outside: what xorriso prints about an image (its listing of
// modes, its table of contents), a Windows program's import tables, header and signature
// (and the marking of its header), and an autorun.inf. The first byte chooses the reader; the rest is its input.

#include "tools/disc/DiscImage.h"
#include "tools/disc/Utf8Text.h"
#include "tools/disc/WindowsImports.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const auto* bytes = reinterpret_cast<const char*> (data + 1);
    // As disc-check reads any tool's output.
    const auto text = Utf8Text::fromBytes (bytes, size - 1);

    switch (data[0] % 4)
    {
        case 0:
            for (const auto& entry : DiscImage::modesFromListing (text))
                if (entry.second.length() != 10 || !juce::String ("-dlbcps").containsChar (entry.second[0]))
                    std::abort();
            break;
        case 1:
        {
            const auto label = DiscImage::summaryFromToc (text).label;
            for (const auto* c = label.toRawUTF8(); *c != 0; ++c)
                if (*c < 0x20 || *c >= 0x7f)
                    std::abort();
            break;
        }
        case 2:
        {
            const juce::MemoryBlock file (bytes, size - 1);
            std::vector<WindowsImports::Library> libraries;
            juce::String error;
            if (WindowsImports::read (file, libraries, error) == error.isNotEmpty())
                std::abort();
            WindowsImports::windows7Problems (libraries);
            if (WindowsImports::signature (file).getSize() > file.getSize())
                std::abort();
            // Marking changes the header's flags and sum alone, and what it marks reads as marked.
            auto marked = file;
            if (WindowsImports::markRunFromSwap (marked) && (!WindowsImports::runsFromSwap (marked) || marked.getSize() != file.getSize()))
                std::abort();
            break;
        }
        default:
            DiscImage::windowsAutorunProblems (text);
            break;
    }
    return 0;
}
