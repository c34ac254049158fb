#pragma once

/** One compiled-in PNG file. Its address is the picture's identity in the
    framework's image cache, so every entry has storage of its own that never moves. */
struct ArtworkEntry
{
    const char* data;
    int size;
    const ArtworkEntry* twice = nullptr; // the same picture drawn with twice the pixels each way
};

/** The catalogue: every picture the pages show. */
namespace Artwork
{
extern const ArtworkEntry menuBackground;
extern const ArtworkEntry menuOrvalisButton;
extern const ArtworkEntry menuTessalyButton;
extern const ArtworkEntry menuMarrowbyButton;
extern const ArtworkEntry menuKestruneButton;

extern const ArtworkEntry orvalisBackground;
extern const ArtworkEntry orvalisReturn;
extern const ArtworkEntry orvalisInstall;

extern const ArtworkEntry tessalyBackground;
extern const ArtworkEntry tessalyReturn;
extern const ArtworkEntry tessalyInstall;

extern const ArtworkEntry marrowbyBackground;
extern const ArtworkEntry marrowbyReturn;
extern const ArtworkEntry marrowbyInstall;

extern const ArtworkEntry kestruneBackground;
extern const ArtworkEntry kestruneReturn;
extern const ArtworkEntry kestruneInstall;

/** The bundle icon the window carries, largest size first; not part of any page. */
extern const ArtworkEntry icons[4];
} // namespace Artwork
