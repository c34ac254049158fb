// Measures the menu's start from a disc in a cold optical drive: the drive model of the
// tests (tests/drive), the image mounted with fuseiso on a fresh mount for every start, the
// menu started as desktops start a disc (/bin/sh autorun.sh in the disc's root) and, as a
// file manager does, by the program's own path. Beside each, the floor: one read of the
// program's file from start to end on a fresh mount of the same drive. Given the image of
// the same disc with the menu unpacked, also one read of the menu's own file there: what
// running the menu's bytes from a disc cannot go below without reading fewer of them.
//
//   cold_start_probe IMAGE PICTURES_FOLDER [RUNS] [UNPACKED_IMAGE]
//
// Prints one line per figure: name, the menu's median, the floor's median, their ratio.
// Needs root and /dev/fuse.

#include "Probe.h"
#include "support/OpticalDriveMount.h"

#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

using namespace probe;

namespace
{
struct Start
{
    double milliseconds = -1, minorFaults = 0;
    DriveStatistics drive;
};

DriveStatistics operator- (const DriveStatistics& after, const DriveStatistics& before)
{
    return { after.reads - before.reads, after.seeks - before.seeks, after.bytes - before.bytes };
}

/** The menu from a fresh mount until its first paint, started through autorun.sh or by its path. */
Start startMenu (const juce::File& image, const DriveTiming& timing, const juce::Image& expected, bool throughAutorun)
{
    OpticalDriveMount disc (image, timing);
    if (!disc.isMounted())
        throw std::runtime_error (disc.whyNotMounted());

    XServer x;
    const auto where = menuStripOnScreen (x, 1);
    const auto before = disc.statistics();
    const auto start = Clock::now();
    std::unique_ptr<Process> menu;
    if (throughAutorun)
        Process (x, "/bin/sh", { "autorun.sh" }, disc.root().getFullPathName().toStdString()).waitForExit (10s);
    else
        menu = std::make_unique<Process> (x, disc.root().getChildFile ("OrvalisBrelvan").getFullPathName().toStdString());

    Start figures;
    figures.milliseconds = millisecondsUntilPainted (x, where, expected, start);
    figures.drive = disc.statistics() - before;
    const auto window = waitForTitledWindow (x, "ORVALIS Brelvan", 1s);
    if (window && window->pid > 0)
    {
        figures.minorFaults = minorFaults (window->pid);
        kill (window->pid, SIGTERM);
    }
    if (menu != nullptr)
        menu->waitForExit (5s);
    else if (window)
        eventually ([&]
                    { return kill (window->pid, 0) != 0; });
    return figures;
}

/** One read of the program's file, start to end, on a fresh mount. */
Start readProgramOnce (const juce::File& image, const DriveTiming& timing)
{
    OpticalDriveMount disc (image, timing);
    if (!disc.isMounted())
        throw std::runtime_error (disc.whyNotMounted());

    const auto before = disc.statistics();
    const auto start = Clock::now();
    const auto fd = open (disc.root().getChildFile ("OrvalisBrelvan").getFullPathName().toRawUTF8(), O_RDONLY | O_CLOEXEC);
    static char buffer[1 << 20];
    while (fd >= 0 && read (fd, buffer, sizeof (buffer)) > 0)
    {
    }
    if (fd >= 0)
        close (fd);

    Start figures;
    figures.milliseconds = std::chrono::duration<double, std::milli> (Clock::now() - start).count();
    figures.drive = disc.statistics() - before;
    return figures;
}

template <typename Field>
double medianOf (const std::vector<Start>& starts, Field field)
{
    std::vector<double> values;
    for (const auto& s : starts)
        values.push_back (field (s));
    return median (values);
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc < 3)
    {
        std::cerr << "usage: cold_start_probe IMAGE PICTURES_FOLDER [RUNS] [UNPACKED_IMAGE]\n";
        return 2;
    }
    const juce::File image (argv[1]);
    const auto expected = menuStrip (juce::File (argv[2]), 1);
    const auto runs = argc > 3 ? std::max (1, atoi (argv[3])) : 3;
    const auto unpackedImage = argc > 4 ? juce::File (argv[4]) : juce::File();

    try
    {
        for (const auto* timing : { &dvd8x, &cd24x })
        {
            std::vector<Start> autorun, byPath, floor, unpackedFloor;
            for (int run = 0; run < runs; ++run)
            {
                autorun.push_back (startMenu (image, *timing, expected, true));
                byPath.push_back (startMenu (image, *timing, expected, false));
                floor.push_back (readProgramOnce (image, *timing));
                if (unpackedImage != juce::File())
                    unpackedFloor.push_back (readProgramOnce (unpackedImage, *timing));
            }

            const std::string drive = std::string (" (") + timing->name + ")";
            const auto ms = [] (const Start& s)
            { return s.milliseconds; };
            const auto reads = [] (const Start& s)
            { return (double) s.drive.reads; };
            const auto seeks = [] (const Start& s)
            { return (double) s.drive.seeks; };
            const auto megabytes = [] (const Start& s)
            { return (double) s.drive.bytes / 1.0e6; };
            const auto faults = [] (const Start& s)
            { return s.minorFaults; };
            for (const auto* way : { &autorun, &byPath })
            {
                const std::string how = way == &autorun ? ", through autorun.sh" : ", by its path";
                row ("cold start to painted menu" + drive + how + " (floor: one read of the program)", medianOf (*way, ms), medianOf (floor, ms), "ms");
                if (!unpackedFloor.empty())
                    row ("cold start to painted menu" + drive + how + " (floor: one read of the menu unpacked)", medianOf (*way, ms), medianOf (unpackedFloor, ms), "ms");
                row ("drive reads" + drive + how, medianOf (*way, reads), medianOf (floor, reads), "");
                row ("drive seeks" + drive + how, medianOf (*way, seeks), medianOf (floor, seeks), "");
                row ("bytes read" + drive + how, medianOf (*way, megabytes), medianOf (floor, megabytes), "MB");
                row ("minor page faults to painted menu" + drive + how, medianOf (*way, faults), "");
            }
            if (!unpackedFloor.empty())
                row ("bytes read (" + std::string (timing->name) + "), one read of the menu unpacked", medianOf (unpackedFloor, megabytes), "MB");
        }
    }
    catch (const std::exception& e)
    {
        std::cerr << "cold_start_probe: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
