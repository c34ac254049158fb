// Measures how long a click takes to reach the screen: from a real click (XTEST) on a page's
// button until the screen shows the page it leads to, polled, the program given no flag.
// The menu walks menu, product page, menu and so on, alone and beside a session bus that
// takes the connection and never answers. The floor is the framework's minimal window of
// the same size, repainting its content in another colour at each click.
//
//   click_probe PROGRAM MINIMAL_WINDOW PICTURES_FOLDER [CLICKS]
//
// Prints one line per figure: name, the menu's value, the floor's, their ratio, unit.

#include "Probe.h"
#include "support/SocketInTheWay.h"
#include "support/PageWatch.h"

#include <algorithm>
#include <csignal>
#include <iostream>

using namespace probe;

namespace
{
const juce::Point<int> contentInWindow{ 4, 24 };
const juce::Point<int> menuButtons[] = { { 390, 223 }, { 496, 127 }, { 489, 224 }, { 585, 222 } };
const juce::Point<int> returnButton{ 572, 332 };
const juce::Rectangle<int> floorStrip{ 0, 140, 330, 6 };
constexpr auto ceiling = 10s;

using Latencies = std::vector<double>; // milliseconds

double percentile (Latencies values, double share)
{
    if (values.empty())
        return 0;
    std::sort (values.begin(), values.end());
    return values[std::min (values.size() - 1, static_cast<size_t> (share * static_cast<double> (values.size())))];
}

juce::Point<int> contentOnScreen (const XServer& x)
{
    return juce::Point<int> ((x.width() - 644) / 2, (x.height() - 424) / 2) + contentInWindow;
}

void stop (Process& running)
{
    kill (running.pid(), SIGTERM);
    running.waitForExit (5s);
}

/** The menu's clicks, each from one page to the next: an item's button, then Return. */
Latencies menuClicks (const std::string& program, const juce::File& pictures, int clicks, const std::map<std::string, std::string>& environment)
{
    XServer x;
    Process menu (x, program, {}, {}, environment);
    const PageWatch watch (x, contentOnScreen (x), pictures);
    if (!waitForWindow (x, menu.pid()) || !eventually ([&]
                                                       { return watch.shown() == -1; }))
        throw std::runtime_error ("the menu never showed");

    Latencies taken;
    for (int i = 0; i < clicks; ++i)
    {
        const auto item = (i / 2) % 4;
        const auto toPage = i % 2 == 0;
        const auto took = watch.clickUntil (toPage ? menuButtons[item] : returnButton, toPage ? item : -1, ceiling);
        if (!took)
            throw std::runtime_error ("a click was never answered");
        taken.push_back (static_cast<double> (took->count()) / 1000.0);
    }
    stop (menu);
    return taken;
}

/** The minimal window's clicks, each turning its content to the other colour. */
Latencies floorClicks (const std::string& minimal, int clicks)
{
    XServer x;
    Process window (x, minimal, { "--repaint-on-click" });
    const auto strip = floorStrip + contentOnScreen (x);
    const auto plain = [&strip] (juce::Colour colour)
    {
        juce::Image image (juce::Image::ARGB, strip.getWidth(), strip.getHeight(), true);
        image.clear (image.getBounds(), colour);
        return image;
    };
    const juce::Image colours[] = { plain (juce::Colours::azure), plain (juce::Colours::black) };
    if (!waitForWindow (x, window.pid()) || !eventually ([&]
                                                         { return countDifferentPixels (screenshot (x, strip), colours[0]) == 0; }))
        throw std::runtime_error ("the minimal window never showed");

    Latencies taken;
    for (int i = 0; i < clicks; ++i)
    {
        const auto start = Clock::now();
        quickClick (x, strip.getCentre());
        while (countDifferentPixels (screenshot (x, strip), colours[(i + 1) % 2]) != 0)
        {
            if (Clock::now() - start > ceiling)
                throw std::runtime_error ("the minimal window never answered a click");
            std::this_thread::sleep_for (1ms);
        }
        taken.push_back (std::chrono::duration<double, std::milli> (Clock::now() - start).count());
    }
    stop (window);
    return taken;
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc < 4)
    {
        std::cerr << "usage: click_probe PROGRAM MINIMAL_WINDOW PICTURES_FOLDER [CLICKS]\n";
        return 2;
    }
    const std::string program = argv[1], minimal = argv[2];
    const juce::File pictures (argv[3]);
    const auto clicks = argc > 4 ? std::max (2, atoi (argv[4])) : 400;

    try
    {
        const auto floor = floorClicks (minimal, clicks);
        // No bus at all, whatever the machine's own session has.
        const std::map<std::string, std::string> noBus{ { "DBUS_SESSION_BUS_ADDRESS", "" }, { "XDG_RUNTIME_DIR", "" } };
        const auto alone = menuClicks (program, pictures, clicks, noBus);

        const juce::TemporaryFile socketFolder;
        socketFolder.getFile().createDirectory();
        Latencies besideSilentBus;
        {
            const SocketInTheWay silent (socketFolder.getFile().getChildFile ("bus"));
            besideSilentBus = menuClicks (program, pictures, clicks, { { "DBUS_SESSION_BUS_ADDRESS", silent.address() }, { "XDG_RUNTIME_DIR", "" } });
        }
        socketFolder.getFile().deleteRecursively();

        for (const auto& [label, latencies] : { std::pair ("", &alone), std::pair (", beside a session bus that never answers", static_cast<const Latencies*> (&besideSilentBus)) })
        {
            const auto against = std::string (label) + " (floor: minimal window repainting on a click)";
            row ("click to painted page, median" + against, percentile (*latencies, 0.5), percentile (floor, 0.5), "ms");
            row ("click to painted page, 99th percentile" + against, percentile (*latencies, 0.99), percentile (floor, 0.99), "ms");
            row ("click to painted page, slowest" + against, percentile (*latencies, 1.0), percentile (floor, 1.0), "ms");
        }
    }
    catch (const std::exception& e)
    {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
