#include "PageWatch.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace support
{
namespace
{
    // A strip that no child covers on any page, and that tells the five pages apart.
    const juce::Rectangle<int> signature{ 0, 140, 330, 6 };
    constexpr const char* backgrounds[] = { "menu", "orvalis", "tessaly", "marrowby", "kestrune" };
} // namespace

PageWatch::PageWatch (const XServer& server, juce::Point<int> contentOnScreen, const juce::File& pictures)
    : x (server)
    , origin (contentOnScreen)
{
    for (const auto* name : backgrounds)
        signatures.push_back (juce::ImageFileFormat::loadFrom (pictures.getChildFile (juce::String (name) + "Background.png")).getClippedImage (signature));
}

int PageWatch::shown() const
{
    const auto strip = screenshot (x, signature + origin);
    for (size_t i = 0; i < signatures.size(); ++i)
        if (countDifferentPixels (strip, signatures[i]) == 0)
            return static_cast<int> (i) - 1;
    return 99;
}

bool PageWatch::tellsEveryPageApart() const
{
    for (size_t i = 0; i < signatures.size(); ++i)
        for (size_t j = i + 1; j < signatures.size(); ++j)
            if (countDifferentPixels (signatures[i], signatures[j]) == 0)
                return false;
    return !signatures.empty() && signatures.front().isValid();
}

std::optional<std::chrono::microseconds> PageWatch::clickUntil (juce::Point<int> inPage, int expected, std::chrono::milliseconds ceiling) const
{
    const auto start = Clock::now();
    quickClick (x, origin + inPage);
    while (shown() != expected)
    {
        if (Clock::now() - start > ceiling)
            return std::nullopt;
        std::this_thread::sleep_for (1ms);
    }
    return std::chrono::duration_cast<std::chrono::microseconds> (Clock::now() - start);
}
} // namespace support
