// Measures the menu against the framework's minimal window, side by side in one run, on
// a private X server: the time from exec until the window's content is on the screen
// (found by polling the screen; the programs get no flag), resident memory once shown,
// and the executables' sizes.
//
//   startup_probe PROGRAM MINIMAL_WINDOW PICTURES_FOLDER [RUNS] [SCALE]
//
// Prints one line per figure: name, the program's median, the floor's median, their ratio.
// With SCALE 2, both run on a desktop scaled to 200 % (its settings daemon says so, and a
// work area is published, so that the framework's own detection finds it for the floor
// too), and only start-up and memory are printed.

#include "Probe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <csignal>
#include <iostream>
#include <sys/wait.h>

using namespace probe;

namespace
{
struct ProcessFigures
{
    double faultsToPaint = 0;
    long residentKiB = 0;
};

/** Starts a program and returns the milliseconds until its content shows the expected strip. */
double startUntilPainted (const XServer& x, int scale, const std::string& program, const std::vector<std::string>& args,
                          const juce::Image& expected, std::unique_ptr<Process>& running)
{
    const auto start = Clock::now();
    running = std::make_unique<Process> (x, program, args);
    return millisecondsUntilPainted (x, menuStripOnScreen (x, scale), expected, start);
}

void stop (std::unique_ptr<Process>& running)
{
    kill (running->pid(), SIGTERM);
    running->waitForExit (5s);
    running.reset();
}

/** One program measured: how it is started, what its first paint shows, what was measured. */
struct Subject
{
    std::string program;
    std::vector<std::string> args;
    juce::Image expectedStrip;
    std::vector<double> startUpMs;
    std::vector<ProcessFigures> figures;

    template <typename Member>
    double median (Member member) const
    {
        std::vector<double> values;
        for (auto& f : figures)
            values.push_back ((double) (f.*member));
        return probe::median (values);
    }
};

/** A desktop at 200 %: a settings daemon publishing the scaling factor and a published work area. */
std::unique_ptr<Process> scaleDesktop (const XServer& x, const juce::File& settings)
{
    auto* dpy = x.display();
    const long workArea[] = { 0, 0, x.width(), x.height() };
    XChangeProperty (dpy, DefaultRootWindow (dpy), XInternAtom (dpy, "_NET_WORKAREA", False), XA_CARDINAL, 32, PropModeReplace,
                     reinterpret_cast<const unsigned char*> (workArea), 4);
    XSync (dpy, False);
    settings.replaceWithText ("Gdk/WindowScalingFactor 2\n");
    auto daemon = std::make_unique<Process> (x, "/usr/bin/xsettingsd", std::vector<std::string>{ "-c", settings.getFullPathName().toStdString() });
    if (!eventually ([&x]
                     { return selectionHasOwner (x, "_XSETTINGS_S0"); }))
        throw std::runtime_error ("no settings daemon");
    return daemon;
}

/** What the pictures of the pages take decoded, as ARGB (the icons are not kept). */
double decodedMiB (const juce::File& pictures)
{
    double total = 0;
    for (const auto& entry : juce::RangedDirectoryIterator (pictures, false, "*.png"))
        if (!entry.getFile().getFileName().startsWith ("icon"))
        {
            juce::FileInputStream in (entry.getFile());
            unsigned char header[24] = {};
            in.read (header, sizeof (header));
            const auto number = [&] (int at)
            { return (double) ((header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3]); };
            total += number (16) * number (20) * 4.0 / (1024.0 * 1024.0);
        }
    return total;
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc < 4)
    {
        std::cerr << "usage: startup_probe PROGRAM MINIMAL_WINDOW PICTURES_FOLDER [RUNS] [SCALE]\n";
        return 2;
    }
    const std::string program = argv[1], minimal = argv[2];
    const juce::File pictures (argv[3]);
    const auto runs = argc > 4 ? std::max (1, atoi (argv[4])) : 10;
    const auto scale = argc > 5 && atoi (argv[5]) == 2 ? 2 : 1;
    const auto set = scale == 1 ? pictures : pictures.getChildFile ("2x");

    const auto menuPaint = menuStrip (pictures, scale);
    juce::Image azure (juce::Image::ARGB, menuPaint.getWidth(), menuPaint.getHeight(), true);
    azure.clear (azure.getBounds(), juce::Colours::azure);

    Subject menu{ program, {}, menuPaint, {}, {} }, floor{ minimal, {}, azure, {}, {} };
    XServer x (1024 * scale, 768 * scale);
    const juce::TemporaryFile settings;
    const auto settingsDaemon = scale == 2 ? scaleDesktop (x, settings.getFile()) : nullptr;

    // Alternating, so that all meet the same machine state.
    for (int run = 0; run < runs; ++run)
    {
        for (auto* subject : { &menu, &floor })
        {
            std::unique_ptr<Process> running;
            const auto ms = startUntilPainted (x, scale, subject->program, subject->args, subject->expectedStrip, running);
            if (ms < 0)
            {
                std::cerr << "no painted window from " << subject->program << "\n";
                return 1;
            }
            subject->startUpMs.push_back (ms);
            ProcessFigures figures;
            figures.faultsToPaint = minorFaults (running->pid());

            // Settled: memory.
            std::this_thread::sleep_for (1s);
            figures.residentKiB = procStatusValue (running->pid(), "VmRSS");
            subject->figures.push_back (figures);
            stop (running);
        }
    }

    const std::string at = scale == 1 ? "" : " at 200 %";
    row ("start-up to painted menu" + at, median (menu.startUpMs), median (floor.startUpMs), "ms");
    row ("minor page faults to painted menu" + at, menu.median (&ProcessFigures::faultsToPaint), floor.median (&ProcessFigures::faultsToPaint), "");
    const auto residentProgram = menu.median (&ProcessFigures::residentKiB) / 1024.0;
    const auto residentFloor = floor.median (&ProcessFigures::residentKiB) / 1024.0;
    row ("resident memory, menu shown" + at, residentProgram, residentFloor, "MiB");
    row ("resident memory above the floor (against the decoded pictures)" + at, residentProgram - residentFloor, decodedMiB (set), "MiB");
    if (scale != 1)
        return 0;

    double pictureBytes = 0;
    for (const auto& entry : juce::RangedDirectoryIterator (pictures, false, "*.png"))
        pictureBytes += (double) entry.getFileSize();
    row ("executable size (floor: minimal window + pictures)", (double) juce::File (program).getSize() / 1024.0,
         ((double) juce::File (minimal).getSize() + pictureBytes) / 1024.0, "KiB");
    return 0;
}
