#pragma once

// A medium mounted where desktops mount media, so that GIO, and GNOME Files' "Run Software"
// with it, show it as a desktop would.

#include "Basics.h"

#include <string>

namespace support
{
class MediaMount
{
public:
    enum class Kind
    {
        disc, // an ISO 9660 image, mounted read-only with fuseiso
        stick // a FAT32 image: its files as a desktop shows them, mounted read-only with bindfs
    };

    /** Mounted at /media/root/LABEL (GIO shows mounts below /media); gone with this object. */
    MediaMount (const juce::File& image, Kind, const std::string& label);
    ~MediaMount();

    MediaMount (const MediaMount&) = delete;
    MediaMount& operator= (const MediaMount&) = delete;

    bool isMounted() const { return problem.empty(); }
    const std::string& whyNotMounted() const { return problem; }
    juce::File root() const { return mountPoint; }

private:
    juce::File mountPoint, files;
    std::string problem;
};
} // namespace support
