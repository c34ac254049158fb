#pragma once

// A private X server for each test, what it shows and what desktops publish on it.

#include "Basics.h"

#include <juce_graphics/juce_graphics.h>

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

typedef struct _XDisplay Display;

namespace support
{
/** A bare X server (no window manager) on a free display, gone with this object. */
class XServer
{
public:
    explicit XServer (int width = 1024, int height = 768, int depth = 24);
    /** A connection to an X server that some other program runs (XWayland under a compositor). */
    explicit XServer (const std::string& runningDisplay);
    ~XServer();

    XServer (const XServer&) = delete;
    XServer& operator= (const XServer&) = delete;

    const std::string& displayName() const { return name; }
    Display* display() const { return dpy; }
    int width() const { return screenWidth; }
    int height() const { return screenHeight; }

private:
    pid_t pid = -1;
    Display* dpy = nullptr;
    std::string name;
    int screenWidth, screenHeight;
};

struct WindowInfo
{
    unsigned long id = 0;
    std::string title;
    int pid = 0;
    juce::Rectangle<int> bounds; // on the root window
};

/** Mapped top-level windows, in stacking order, bottom first. */
std::vector<WindowInfo> viewableWindows (const XServer&);

/** Waits for a viewable top-level window that belongs to the given process. */
std::optional<WindowInfo> waitForWindow (const XServer&, pid_t, std::chrono::milliseconds timeout = 30s);

/** Waits for a viewable top-level window with this title, whoever owns it. */
std::optional<WindowInfo> waitForTitledWindow (const XServer&, const std::string& title, std::chrono::milliseconds timeout = 30s);

/** A window property of 32-bit items, such as _NET_WM_ICON; empty when it is not set. */
std::vector<unsigned long> cardinalProperty (const XServer&, unsigned long window, const char* name);

/** Sets the X resources of the display (the root window's RESOURCE_MANAGER), as xrdb does. */
void setResources (const XServer&, const std::string& resources);

/** Publishes the desktop's work area (the root window's _NET_WORKAREA), as a window manager does. */
void setWorkArea (const XServer&, juce::Rectangle<int>);

/** Whether some client owns a selection, such as an XSETTINGS manager's _XSETTINGS_S0. */
bool selectionHasOwner (const XServer&, const char* selection);
} // namespace support
