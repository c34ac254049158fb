#pragma once

// A Wayland desktop of a test's own: sway, headless, with XWayland for X programs, and input
// only through the compositor's seat.

#include "Processes.h"
#include "XServer.h"

#include <memory>

namespace support
{
/** sway on a headless output of 1024 x 768 logical pixels, at scale 1 or 2, run as the desktop
    user (it refuses to run as root), with XWayland, which lets the test's own X clients in. X
    windows float; a virtual pointer (tests/wayland/VirtualPointer.c) gives the seat a pointer
    for the compositor's cursor commands, and keys go through wtype. */
class SwayDesktop
{
public:
    explicit SwayDesktop (int scale = 1);
    ~SwayDesktop();

    SwayDesktop (const SwayDesktop&) = delete;
    SwayDesktop& operator= (const SwayDesktop&) = delete;

    bool isUp() const { return problem.empty(); }
    const std::string& whyNotUp() const { return problem; }

    /** XWayland, as X programs reach it. */
    const XServer& x() const { return *xwayland; }

    /** Where the X window of this title shows, in logical pixels of the output; sway places a
        floating window again whenever it asks to move, so ask just before each click. */
    std::optional<juce::Rectangle<int>> windowPlace (const std::string& title) const;

    /** Asks sway to give the X window of this title a size, in logical pixels. */
    bool resizeWindow (const std::string& title, juce::Point<int> size) const;

    void moveTo (juce::Point<int> logical) const;
    void click (juce::Point<int> logical) const;

    /** The end of the compositor's log, for a test that fails to say what sway saw. */
    std::string logTail() const;

    /** One key by its XKB name ("Tab", "Return", "Escape"), pressed and released. */
    void key (const std::string& name) const;

    /** The output as the compositor shows it, in its own pixels (at scale 2, twice the logical). */
    juce::Image screenshot() const;

private:
    Ending run (std::vector<std::string> command) const;

    int outputScale;
    juce::File base, runtime;
    std::string problem, swaySocket, waylandDisplay;
    std::unique_ptr<Process> compositor, pointer;
    std::unique_ptr<XServer> xwayland;
};
} // namespace support
