#pragma once

// What the menu is held to, written once for every suite: its window, its pages, where their
// controls lie, the messages they send and the addresses of their links. The tests state
// these on their own, apart from the program's table of its items, so that a change to one is
// caught by the other.

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace support
{
constexpr int windowWidth = 644, windowHeight = 424;
constexpr int pageWidth = 640, pageHeight = 400;
inline const juce::Point<int> contentInWindow{ 4, 24 };
inline const juce::Rectangle<int> contentArea{ 4, 24, 636, 396 };
inline const juce::Point<int> maximiseButtonInWindow{ 604, 14 }, closeButtonInWindow{ 628, 14 };

// In item order.
inline const char* const items[] = { "Orvalis", "Tessaly", "Marrowby", "Kestrune" };
inline const char* const showMessages[] = { "ShowtOrvalis", "ShowTessaly", "ShowMarrowby", "ShowKestrune" };
inline const char* const installMessages[] = { "InstOrvalis", "InstTessaly", "InstMarrowby", "InstKestrune" };
constexpr const char* returnMessage = "Return";

// The controls' bounds on their pages, menu buttons in item order, and points within them.
inline const juce::Rectangle<int> menuButtonBounds[] = { { 344, 184, 93, 78 }, { 446, 80, 101, 95 }, { 443, 185, 93, 78 }, { 539, 183, 93, 78 } };
inline const juce::Rectangle<int> installBounds{ 392, 296, 136, 98 }, returnBounds{ 520, 312, 104, 41 };
inline const juce::Point<int> menuButtons[] = { { 390, 223 }, { 496, 127 }, { 489, 224 }, { 585, 222 } };
inline const juce::Point<int> installButton{ 460, 345 }, returnButton{ 572, 332 };

/** A product page's link: its address, which is also its text and tooltip, and its bounds. */
struct Link
{
    const char* address;
    juce::Rectangle<int> bounds;
};

/** Each product page's links, from the top down, in item order. */
inline const std::vector<Link> links[] = {
    { { "http://orvalis.example", { 16, 352, 131, 16 } }, { "http://orvalis.example/evolution/en/products/orvalis/intro.html", { 22, 378, 344, 16 } } },
    { { "http://tess.example/download-tessaly", { 16, 327, 218, 16 } }, { "http://tess.example/tessaly-upgrade", { 21, 353, 184, 16 } }, { "http://tess.example/movies", { 21, 378, 160, 16 } } },
    { { "http://marrowby.example/marrowby/overview/", { 8, 379, 299, 16 } } },
    { { "http://kestrune.example", { 25, 382, 145, 16 } } },
};
inline const juce::Colour linkColour{ 0xccd3d3e6 };
} // namespace support
