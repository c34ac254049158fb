#pragma once

// End-to-end harness: a private Xvfb per test, the real program started in it,
// real X input through the XTEST extension and screenshots read back from the server.

#include <juce_graphics/juce_graphics.h>

#include <chrono>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

typedef struct _XDisplay Display;

// How the framework's strings read in a failure message.
namespace juce
{
inline void PrintTo (const String& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo (const StringArray& lines, std::ostream* out)
{
    *out << "{ ";
    for (const auto& line : lines)
        *out << '"' << line.toStdString() << "\", ";
    *out << "}";
}
} // namespace juce

namespace e2e
{
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

/** A bare X server (no window manager) on a free display, gone with this object. */
class XServer
{
public:
    explicit XServer (int width = 1024, int height = 768, int depth = 24);
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

/** A window property of 32-bit items, such as _NET_WM_ICON; empty when it is not set. */
std::vector<unsigned long> cardinalProperty (const XServer&, unsigned long window, const char* name);

/** Publishes the desktop's work area (the root window's _NET_WORKAREA), as a window manager does. */
void setWorkArea (const XServer&, juce::Rectangle<int>);

/** Sets the X resources of the display (the root window's RESOURCE_MANAGER), as xrdb does. */
void setResources (const XServer&, const std::string& resources);

/** Whether some client owns a selection, such as an XSETTINGS manager's _XSETTINGS_S0. */
bool selectionHasOwner (const XServer&, const char* selection);

/** Waits for a viewable top-level window with this title, whoever owns it. */
std::optional<WindowInfo> waitForTitledWindow (const XServer&, const std::string& title, std::chrono::milliseconds timeout = 30s);

/** The non-empty lines of a log file, after waiting for at least the given count. */
juce::StringArray logLines (const juce::File& log, int atLeast, std::chrono::milliseconds timeout);

/** Waits for a viewable top-level window that belongs to the given process. */
std::optional<WindowInfo> waitForWindow (const XServer&, pid_t, std::chrono::milliseconds timeout = 30s);

/** A program started on the test's display with its own environment, killed if still running at the end. */
class Process
{
public:
    /** Standard error goes to the error file where one is named; with standardStreamsClosed,
        standard input, output and error are all closed, as some launchers start programs. */
    Process (const XServer&, const std::string& executable, const std::vector<std::string>& args = {},
             const std::string& workingFolder = {}, const std::map<std::string, std::string>& extraEnv = {},
             const std::string& errorFile = {}, bool standardStreamsClosed = false);
    /** A helper program with the test's own environment and no display. */
    explicit Process (const std::vector<std::string>& argv);
    /** A process that became our child when its parent ended (we are a child subreaper). */
    explicit Process (pid_t adoptedChild);
    ~Process();

    Process (const Process&) = delete;
    Process& operator= (const Process&) = delete;

    pid_t pid() const { return childPid; }
    bool isRunning();

    /** Waits for the process to end; its exit status, or nothing if it is still running or died by a signal. */
    std::optional<int> waitForExit (std::chrono::milliseconds timeout = 10s);

    /** "running", "exit status N" or "killed by signal N", for failure messages. */
    std::string state();

private:
    pid_t childPid = -1;
    std::optional<int> rawStatus;
};

/** How a program that was run to its end ended. */
struct Ending
{
    std::optional<int> status; // nothing when it died by a signal or had to be killed
    int signal = 0;
    bool dumpedCore = false;
    std::string errors; // what it wrote on standard error
    std::string output; // what it wrote on standard output
};

/** Runs a program with exactly this environment and waits for it, killing it after the timeout. */
Ending runToEnd (const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 std::chrono::milliseconds timeout = 10s);

/** Real pointer input, through the XTEST extension. */
void moveMouse (const XServer&, juce::Point<int> onRoot);
void click (const XServer&, juce::Point<int> onRoot, int button = 1);

/** Real key input, through the XTEST extension: one key (an X keysym, such as XK_Tab)
    pressed and released, with Shift held around it when asked. */
void pressKey (const XServer&, unsigned long keysym, bool withShift = false);

/** Gives a window the X input focus, as a window manager does for the active window. */
void focusWindow (const XServer&, unsigned long window);

/** Asks a window to close the way a window manager does (WM_PROTOCOLS / WM_DELETE_WINDOW). */
void sendCloseRequest (const XServer&, unsigned long window);

/** What the server shows in an area of the root window. */
juce::Image screenshot (const XServer&, juce::Rectangle<int> area);

/** The number of pixels in which two equally sized images differ by more than the tolerance in any channel. */
int countDifferentPixels (const juce::Image& a, const juce::Image& b, int tolerance = 0);

/** The number of pixels of an image not within the tolerance of one colour. */
int countPixelsOtherThan (const juce::Image&, juce::Colour, int tolerance = 0);

/** Repeats a check until it holds or the time is up. */
template <typename Check>
bool eventually (Check&& check, std::chrono::milliseconds timeout = 10s)
{
    const auto end = Clock::now() + timeout;
    for (;;)
    {
        if (check())
            return true;
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for (20ms);
    }
}

/** The program under test, as built. */
std::string programPath();
} // namespace e2e
