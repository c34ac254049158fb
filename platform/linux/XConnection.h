#pragma once

#include <string>

/** The program's terms with the X server: it starts only when a display can be
    opened, answers every event as soon as it arrives, ends cleanly when the connection
    breaks, and draws at the scale the desktop asks for. One file each:
    XDisplayProbeLinux.cpp, XEventWakeLinux.cpp, XLostConnectionLinux.cpp and
    XDesktopScaleLinux.cpp. */
namespace XConnection
{
/** Tries the display that the framework will use (from DISPLAY) and closes it
    again; an empty string when it opens and has a visual the framework can draw with,
    otherwise one line that says why not and names the display tried. Needs nothing of
    the framework, so it can run first. */
std::string problemWithDisplay();

/** From now on a broken connection to the X server ends the process at once with
    one line on standard error and status 1. Without this, Xlib would call exit()
    under the running framework. */
void endOnLostConnection();

/** Makes sure no X event waits. Xlib reads events into its own queue whenever it
    waits for a reply (the framework's timers ask the server for the pointer and
    sync after painting); the framework's event loop only watches the socket, so
    such an event, say the release of a click, would wait for the next one to
    arrive. From now on every event Xlib takes in wakes the loop, which hands all
    queued events to the framework. What the server reports exposed (a window just
    shown, or uncovered) is then painted at once, not at the framework's next display
    refresh. Call once the framework's display is open, before the window shows. */
void deliverQueuedEvents();

/** Makes the framework's displays, and so the window, follow the scale the desktop asks
    windows to use: the XSETTINGS manager's Gdk/WindowScalingFactor (GNOME and the desktops
    that share its settings daemon), else Xft.dpi from the X resources (KDE, Xfce; 96 is 1).
    The framework reads the scale only where a window manager publishes a work area, and
    never from the X resources. Reads only what the X server already holds; starts no
    program. Call once the framework's display is open, before the window is built. */
void followDesktopScale();

constexpr const char* programName = "OrvalisBrelvan";
} // namespace XConnection
