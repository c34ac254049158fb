// Measures the menu against the framework's minimal window, side by side in one run, on
// a private X server: the time from exec until the window's content is on the screen
// (found by polling the screen; the programs get no flag), resident memory once shown,
// the CPU time and wake-ups of ten idle seconds, and the executables' sizes.
//
//   startup_probe PROGRAM MINIMAL_WINDOW PICTURES_FOLDER [RUNS] [IDLE_SECONDS] [SCALE]
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
    double idleCpuSeconds = 0, wakeUps = 0;
};

long procStatusValue (pid_t pid, const juce::String& field, const juce::String& task = {})
{
    const auto file = task.isEmpty() ? juce::File ("/proc/" + juce::String (pid) + "/status")
                                     : juce::File ("/proc/" + juce::String (pid) + "/task/" + task + "/status");
    return file.loadFileAsString().fromFirstOccurrenceOf (field + ":", false, false).trim().getLargeIntValue();
}

// Time on the CPU of all the process's threads, in nanoseconds from the scheduler
// (the clock ticks of /proc/PID/stat are too coarse for a few idle milliseconds).
double cpuSeconds (pid_t pid)
{
    double total = 0;
    for (const auto& task : juce::RangedDirectoryIterator (juce::File ("/proc/" + juce::String (pid) + "/task"), false, "*", juce::File::findDirectories))
        total += (double) task.getFile().getChildFile ("schedstat").loadFileAsString().upToFirstOccurrenceOf (" ", false, false).getLargeIntValue();
    return total / 1.0e9;
}

double voluntarySwitches (pid_t pid)
{
    double total = 0;
    for (const auto& task : juce::RangedDirectoryIterator (juce::File ("/proc/" + juce::String (pid) + "/task"), false, "*", juce::File::findDirectories))
        total += (double) procStatusValue (pid, "voluntary_ctxt_switches", task.getFile().getFileName());
    return total;
}

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
        std::cerr << "usage: startup_probe PROGRAM MINIMAL_WINDOW PICTURES_FOLDER [RUNS] [IDLE_SECONDS]\n";
        return 2;
    }
    const std::string program = argv[1], minimal = argv[2];
    const juce::File pictures (argv[3]);
    const auto runs = argc > 4 ? std::max (1, atoi (argv[4])) : 10;
    const auto idleSeconds = argc > 5 ? std::max (1, atoi (argv[5])) : 10;
    const auto scale = argc > 6 && atoi (argv[6]) == 2 ? 2 : 1;
    const auto set = scale == 1 ? pictures : pictures.getChildFile ("2x");

    const auto menuPaint = menuStrip (pictures, scale);
    juce::Image azure (juce::Image::ARGB, menuPaint.getWidth(), menuPaint.getHeight(), true);
    azure.clear (azure.getBounds(), juce::Colours::azure);

    // The menu; the framework's minimal window; and that window with the framework's
    // tooltip window, which the menu must have and which polls the pointer while idle.
    Subject menu{ program, {}, menuPaint, {}, {} }, floor{ minimal, {}, azure, {}, {} };
    Subject floorWithTips{ minimal, { "--tooltip-window" }, azure, {}, {} };
    XServer x (1024 * scale, 768 * scale);
    const juce::TemporaryFile settings;
    const auto settingsDaemon = scale == 2 ? scaleDesktop (x, settings.getFile()) : nullptr;

    // Alternating, so that all meet the same machine state.
    for (int run = 0; run < runs; ++run)
    {
        for (auto* subject : { &menu, &floor, &floorWithTips })
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

            // Settled and idle: memory, then CPU and wake-ups over the idle seconds.
            std::this_thread::sleep_for (1s);
            figures.residentKiB = procStatusValue (running->pid(), "VmRSS");
            const auto cpu0 = cpuSeconds (running->pid());
            const auto wake0 = voluntarySwitches (running->pid());
            std::this_thread::sleep_for (std::chrono::seconds (idleSeconds));
            figures.idleCpuSeconds = cpuSeconds (running->pid()) - cpu0;
            figures.wakeUps = voluntarySwitches (running->pid()) - wake0;
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
    const auto idle = " over " + std::to_string (idleSeconds) + " s";
    for (const auto* idleFloor : { &floor, &floorWithTips })
    {
        const std::string against = idleFloor == &floor ? "" : " (floor: minimal window with a tooltip window)";
        row ("idle CPU" + idle + against, menu.median (&ProcessFigures::idleCpuSeconds) * 1000.0,
             idleFloor->median (&ProcessFigures::idleCpuSeconds) * 1000.0, "ms");
        row ("idle wake-ups" + idle + against, menu.median (&ProcessFigures::wakeUps), idleFloor->median (&ProcessFigures::wakeUps), "");
    }

    double pictureBytes = 0;
    for (const auto& entry : juce::RangedDirectoryIterator (pictures, false, "*.png"))
        pictureBytes += (double) entry.getFileSize();
    row ("executable size (floor: minimal window + pictures)", (double) juce::File (program).getSize() / 1024.0,
         ((double) juce::File (minimal).getSize() + pictureBytes) / 1024.0, "KiB");
    return 0;
}
