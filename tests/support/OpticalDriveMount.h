#pragma once

#include "Processes.h"
#include "Screenshots.h"
#include "XInput.h"

namespace support
{
/** How fast a drive answers: the access time of a read that does not continue the last
    one, the transfer rate, and the buffer it reads ahead into. */
struct DriveTiming
{
    const char* name;
    double accessMs, megabytesPerSecond, bufferKiB;
};

inline constexpr DriveTiming dvd8x{ "8x DVD", 100.0, 11.08, 1024.0 };
inline constexpr DriveTiming cd24x{ "24x CD", 110.0, 3.6, 1024.0 };

/** What the drive has served so far. */
struct DriveStatistics
{
    long reads = 0, seeks = 0;
    long long bytes = 0;
};

/** A disc image in a cold drive: served by the optical drive model (tests/drive) with the
    drive's timing, and mounted with fuseiso as a desktop mounts a disc. Nothing of it is
    cached at first. Both mounts go with this object. Needs root and /dev/fuse. */
class OpticalDriveMount
{
public:
    OpticalDriveMount (const juce::File& image, const DriveTiming&);
    ~OpticalDriveMount();

    OpticalDriveMount (const OpticalDriveMount&) = delete;
    OpticalDriveMount& operator= (const OpticalDriveMount&) = delete;

    /** Whether the disc's files can be read; why not, when they cannot. */
    bool isMounted() const { return problem.empty(); }
    const std::string& whyNotMounted() const { return problem; }

    /** The disc's root folder as the desktop shows it. */
    juce::File root() const { return discFolder; }

    DriveStatistics statistics() const;

    /** The disc leaves the drive: every read fails from now on, and both mounts are
        detached lazily, as a desktop does with a medium that is gone. */
    void pull();

private:
    juce::File base, driveFolder, discFolder, servedImage;
    std::unique_ptr<Process> drive;
    std::string problem;
};

/** A memory cgroup (version 1) of its own, below the test's, gone with this object. */
class MemoryCgroup
{
public:
    MemoryCgroup();
    ~MemoryCgroup();

    MemoryCgroup (const MemoryCgroup&) = delete;
    MemoryCgroup& operator= (const MemoryCgroup&) = delete;

    bool exists() const { return folder.isDirectory(); }

    /** A command line that runs the given one inside this cgroup. */
    std::vector<std::string> wrap (const std::vector<std::string>& command) const;

    /** The memory its processes hold that the kernel cannot take back without swap: their
        own anonymous memory and what they share with the X server. In bytes. */
    long long anonymousBytes() const;

    /** Limits its memory, making the kernel take back what it can beyond; false when refused. */
    bool limitTo (long long bytes) const;

private:
    juce::File folder;
};
} // namespace support
