#pragma once

#include "artwork/Artwork.h"

#include <array>
#include <juce_graphics/juce_graphics.h>

/** The four items of the bundle, in item order (Orvalis, Tessaly, Marrowby, Kestrune): all
    that makes one item differ from another, for the pages, the page host, the installer
    launcher and the picture generator alike. */
namespace BundleItems
{
/** Where a page places a control, in page pixels. */
struct Bounds
{
    int x, y, width, height;

    juce::Rectangle<int> rectangle() const noexcept { return { x, y, width, height }; }
};

/** A web link: its address is its text, its target and its tooltip alike. */
struct WebLink
{
    const char* address;
    Bounds bounds;
};

/** The controls of a product page. */
enum class Child
{
    returnButton,
    installButton,
    webLink // the page's links, from the first on
};

struct Item
{
    const char* name;
    const char* installer; // its folder and file on the disc, joined as the disc was mastered
    const char* installs;  // what Install opens, in the words of its description
    int numberInOrder;     // of installation, and of the keyboard's visit on the menu

    // Its button on the menu.
    Bounds menuButton;
    const ArtworkEntry& menuPicture;
    const char* showMessage;

    // Its product page: the children in their order of creation, layout and deletion.
    int linkCount;
    std::array<Child, 5> children;
    std::array<WebLink, 3> links;
    const ArtworkEntry& returnPicture;
    const ArtworkEntry& installPicture;
    const ArtworkEntry& background;
    const char* installMessage;
};

constexpr int count = 4;

// Page messages are names in the program's own vocabulary, not words: "ShowtOrvalis" is
// spelt with its "t", and the pages and the host both use it exactly so.
constexpr const char* returnMessage = "Return";

// Where every product page has its two picture buttons, and the colour of its links.
constexpr Bounds returnButton{ 520, 312, 104, 41 };
constexpr Bounds installButton{ 392, 296, 136, 98 };
constexpr juce::uint32 linkColour = 0xccd3d3e6;

using C = Child;

// The makers' web sites: the bundle's maker, who also makes Orvalis, then the makers of
// Tessaly, Marrowby and Kestrune.
constexpr std::array<Item, count> items{ {
    { "Orvalis", "Orvalis\\Orvalis.exe", "its installer", 2, { 344, 184, 93, 78 }, Artwork::menuOrvalisButton, "ShowtOrvalis", 2, { C::webLink, C::webLink, C::returnButton, C::installButton }, { { { "http://orvalis.example", { 16, 352, 131, 16 } }, { "http://orvalis.example/evolution/en/products/orvalis/intro.html", { 22, 378, 344, 16 } } } }, Artwork::orvalisReturn, Artwork::orvalisInstall, Artwork::orvalisBackground, "InstOrvalis" },
    { "Tessaly", "Tessaly\\Tessaly.exe", "its installer", 1, { 446, 80, 101, 95 }, Artwork::menuTessalyButton, "ShowTessaly", 3, { C::returnButton, C::webLink, C::webLink, C::webLink, C::installButton }, { { { "http://tess.example/download-tessaly", { 16, 327, 218, 16 } }, { "http://tess.example/tessaly-upgrade", { 21, 353, 184, 16 } }, { "http://tess.example/movies", { 21, 378, 160, 16 } } } }, Artwork::tessalyReturn, Artwork::tessalyInstall, Artwork::tessalyBackground, "InstTessaly" },
    { "Marrowby", "Marrowby\\Marrowby.exe", "its installer", 3, { 443, 185, 93, 78 }, Artwork::menuMarrowbyButton, "ShowMarrowby", 1, { C::returnButton, C::webLink, C::installButton }, { { { "http://marrowby.example/marrowby/overview/", { 8, 379, 299, 16 } } } }, Artwork::marrowbyReturn, Artwork::marrowbyInstall, Artwork::marrowbyBackground, "InstMarrowby" },
    { "Kestrune", "Kestrune\\Kestrune.tpk", "its content pack", 4, { 539, 183, 93, 78 }, Artwork::menuKestruneButton, "ShowKestrune", 1, { C::returnButton, C::webLink, C::installButton }, { { { "http://kestrune.example", { 25, 382, 145, 16 } } } }, Artwork::kestruneReturn, Artwork::kestruneInstall, Artwork::kestruneBackground, "InstKestrune" },
} };
} // namespace BundleItems
