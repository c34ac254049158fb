// What a window costs while no one touches it: how often the threads of the menu, and of
// the framework's minimal window beside it, wake, and how much CPU they use, over idle
// seconds on a private X server. With the pointer away from the window; resting on a
// control (the menu's first button, the minimal window's content); and, for the menu,
// resting on a web link with its tip shown. A program that only waits for input wakes
// not at all, which is the limit the figures are read against.
//
//   idle_probe PROGRAM MINIMAL_WINDOW PICTURES_FOLDER [RUNS] [IDLE_SECONDS]
//   idle_probe --wine WINE64 WINEPREFIX WINDOWS_PROGRAM [RUNS] [IDLE_SECONDS]
//
// Prints one line per figure: name, the menu's median, the floor's median (the minimal window
// with the framework's tooltip window, as the menu has one), their ratio. With --wine, the
// Windows program under Wine, its process's threads counted as Linux sees them, with the
// pointer away and on a control, and each thread's share by the name Wine gives it.

#include "Probe.h"
#include "support/Facts.h"

#include <csignal>
#include <iostream>
#include <map>

using namespace probe;

namespace
{
// Long enough for everything a pointer's move starts to end: a tip appears after 700 ms,
// and a window keeps the picture it last painted for 3 s.
constexpr auto settling = 4s;
const juce::Point<int> away{ 2, 2 };

struct Idle
{
    double wakeUpsPerSecond = 0, cpuMsPer10s = 0;
};

Idle measureIdle (pid_t pid, int seconds)
{
    std::this_thread::sleep_for (settling);
    const auto cpu0 = cpuSeconds (pid);
    const auto switches0 = contextSwitches (pid);
    std::this_thread::sleep_for (std::chrono::seconds (seconds));
    return { (contextSwitches (pid) - switches0) / seconds, (cpuSeconds (pid) - cpu0) * 1000.0 * 10.0 / seconds };
}

using Figures = std::map<std::string, std::vector<Idle>>;

/** Each thread's wake-ups a second over the idle seconds, by the thread's name. */
std::map<std::string, double> wakeUpsByThread (pid_t pid, int seconds)
{
    const auto sample = [pid]
    {
        std::map<std::string, double> byName;
        for (const auto& thread : juce::File ("/proc/" + juce::String (pid) + "/task").findChildFiles (juce::File::findDirectories, false))
        {
            const auto name = thread.getChildFile ("comm").loadFileAsString().trim().toStdString();
            byName[name] += (double) (procStatusValue (pid, "voluntary_ctxt_switches", thread.getFileName()) + procStatusValue (pid, "nonvoluntary_ctxt_switches", thread.getFileName()));
        }
        return byName;
    };
    std::this_thread::sleep_for (settling);
    auto before = sample();
    std::this_thread::sleep_for (std::chrono::seconds (seconds));
    auto after = sample();
    for (auto& [name, count] : after)
        count = (count - before[name]) / seconds;
    return after;
}

void startAndWait (const XServer& x, const std::string& program, const std::vector<std::string>& args, const juce::Image& firstPaint,
                   std::unique_ptr<Process>& running)
{
    running = std::make_unique<Process> (x, program, args);
    if (millisecondsUntilPainted (x, menuStripOnScreen (x, 1), firstPaint, Clock::now()) < 0)
        throw std::runtime_error ("no painted window from " + program);
}

void stop (std::unique_ptr<Process>& running)
{
    kill (running->pid(), SIGTERM);
    running->waitForExit (5s);
    running.reset();
}

void measureMenu (const XServer& x, const std::string& program, const juce::Image& firstPaint, int seconds, Figures& figures)
{
    std::unique_ptr<Process> running;
    moveMouse (x, away);
    startAndWait (x, program, {}, firstPaint, running);
    const auto content = contentOnScreen (x);
    figures["away"].push_back (measureIdle (running->pid(), seconds));

    moveMouse (x, content + support::menuButtons[0]);
    figures["control"].push_back (measureIdle (running->pid(), seconds));

    // The first product page, the pointer resting on its first link until its tip shows.
    click (x, content + support::menuButtons[0]);
    moveMouse (x, content + support::links[0][0].bounds.getCentre());
    if (!eventually ([&x]
                     { return viewableWindows (x).size() == 2; }))
        throw std::runtime_error ("no tip over the first link");
    figures["link"].push_back (measureIdle (running->pid(), seconds));
    stop (running);
}

void measureFloor (const XServer& x, const std::string& minimal, const juce::Image& firstPaint, int seconds, Figures& figures)
{
    std::unique_ptr<Process> running;
    moveMouse (x, away);
    startAndWait (x, minimal, { "--tooltip-window" }, firstPaint, running);
    figures["away"].push_back (measureIdle (running->pid(), seconds));
    moveMouse (x, contentOnScreen (x) + support::menuButtons[0]);
    figures["control"].push_back (measureIdle (running->pid(), seconds));
    stop (running);
}

double medianOf (const std::vector<Idle>& values, double Idle::*member)
{
    std::vector<double> picked;
    for (const auto& value : values)
        picked.push_back (value.*member);
    return median (picked);
}
} // namespace

/** The Windows program under Wine, as the Windows tests start it. */
int measureUnderWine (int argc, char* argv[])
{
    if (argc < 5)
    {
        std::cerr << "usage: idle_probe --wine WINE64 WINEPREFIX WINDOWS_PROGRAM [RUNS] [IDLE_SECONDS]\n";
        return 2;
    }
    const std::string wine = argv[2], prefix = argv[3], program = argv[4];
    const auto runs = argc > 5 ? std::max (1, atoi (argv[5])) : 3;
    const auto seconds = argc > 6 ? std::max (1, atoi (argv[6])) : 10;
    const std::map<std::string, std::string> environment{ { "WINEPREFIX", prefix },
                                                          { "WINEDEBUG", "-all" },
                                                          { "WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d" } };
    Figures figures;
    std::map<std::string, std::vector<double>> threads;
    for (int run = 0; run < runs; ++run)
    {
        XServer x (1024, 768);
        moveMouse (x, away);
        Process menu (x, wine, { program }, "/tmp", environment);
        const auto window = waitForTitledWindow (x, "ORVALIS Brelvan", 60s);
        if (!window)
        {
            std::cerr << "no window from the Windows program under Wine\n";
            return 1;
        }
        const auto pid = static_cast<pid_t> (window->pid);
        figures["away"].push_back (measureIdle (pid, seconds));
        for (const auto& [name, perSecond] : wakeUpsByThread (pid, seconds))
            threads[name].push_back (perSecond);
        moveMouse (x, window->bounds.getPosition() + support::contentInWindow + support::menuButtons[0]);
        figures["control"].push_back (measureIdle (pid, seconds));
        kill (pid, SIGTERM);
        menu.waitForExit (10s);
    }

    const auto over = " over " + std::to_string (seconds) + " s";
    for (const auto& [key, label] : { std::pair{ "away", "pointer away from the window" }, std::pair{ "control", "pointer resting on a control" } })
    {
        row (std::string ("Windows program under Wine: idle wake-ups a second, all threads, ") + label + over, medianOf (figures[key], &Idle::wakeUpsPerSecond), "");
        row (std::string ("Windows program under Wine: idle CPU in 10 s, ") + label + over, medianOf (figures[key], &Idle::cpuMsPer10s), "ms");
    }
    for (const auto& [name, values] : threads)
        row ("Windows program under Wine: idle wake-ups a second, pointer away, thread \"" + name + "\"", median (values), "");
    return 0;
}

int main (int argc, char* argv[])
{
    if (argc > 1 && std::string (argv[1]) == "--wine")
        return measureUnderWine (argc, argv);
    if (argc < 4)
    {
        std::cerr << "usage: idle_probe PROGRAM MINIMAL_WINDOW PICTURES_FOLDER [RUNS] [IDLE_SECONDS]\n";
        return 2;
    }
    const std::string program = argv[1], minimal = argv[2];
    const juce::File pictures (argv[3]);
    const auto runs = argc > 4 ? std::max (1, atoi (argv[4])) : 10;
    const auto seconds = argc > 5 ? std::max (1, atoi (argv[5])) : 10;

    const auto menuPaint = menuStrip (pictures, 1);
    juce::Image azure (juce::Image::ARGB, menuPaint.getWidth(), menuPaint.getHeight(), true);
    azure.clear (azure.getBounds(), juce::Colours::azure);

    XServer x (1024, 768);
    Figures menu, floor;
    try
    {
        // Alternating, so that both meet the same machine state.
        for (int run = 0; run < runs; ++run)
        {
            measureMenu (x, program, menuPaint, seconds, menu);
            measureFloor (x, minimal, azure, seconds, floor);
        }
    }
    catch (const std::exception& e)
    {
        std::cerr << e.what() << "\n";
        return 1;
    }

    const std::pair<const char*, const char*> cases[] = { { "away", "pointer away from the window" },
                                                          { "control", "pointer resting on a control" },
                                                          { "link", "pointer resting on a link, its tip shown" } };
    const auto over = " over " + std::to_string (seconds) + " s";
    for (const auto& [key, label] : cases)
    {
        const auto wakeUps = std::string ("idle wake-ups a second, all threads, ") + label + over;
        const auto cpu = std::string ("idle CPU in 10 s, ") + label + over;
        if (floor.count (key) == 0)
        {
            row (wakeUps, medianOf (menu[key], &Idle::wakeUpsPerSecond), "");
            row (cpu, medianOf (menu[key], &Idle::cpuMsPer10s), "ms");
            continue;
        }
        row (wakeUps, medianOf (menu[key], &Idle::wakeUpsPerSecond), medianOf (floor[key], &Idle::wakeUpsPerSecond), "");
        row (cpu, medianOf (menu[key], &Idle::cpuMsPer10s), medianOf (floor[key], &Idle::cpuMsPer10s), "ms");
    }
    return 0;
}
