#include "XConnection.h"

// The framework's own X declarations: its display, and the loop that serves its socket.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

// Needs the module's own headers first.
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <X11/Xlibint.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// The framework opens Xlib itself, by this name, rather than linking it; so do we.
constexpr const char* xlibName = "libX11.so.6";

using OpenDisplay = void* (*) (const char*);
using ResourceManagerString = char* (*) (void*);
using CloseDisplay = int (*) (void*);
using IOErrorHandler = int (*) (void*);
using SetIOErrorHandler = IOErrorHandler (*) (IOErrorHandler);

void* xlib()
{
    static void* const handle = dlopen (xlibName, RTLD_LAZY | RTLD_LOCAL);
    return handle;
}

template <typename Function>
Function xlibFunction (const char* name)
{
    return xlib() != nullptr ? reinterpret_cast<Function> (dlsym (xlib(), name)) : nullptr;
}

//==============================================================================
// Every event Xlib converts from the wire passes through its converter for that type;
// ours calls the original, then wakes the event loop once through a pipe.
using WireToEvent = Bool (*) (Display*, XEvent*, xEvent*);
using SetWireToEvent = WireToEvent (*) (Display*, int, WireToEvent);

// 0 and 1 are errors and replies; events run from KeyPress (2), extensions up to 127.
constexpr int firstEventType = 2, lastEventType = 127;
WireToEvent originalConverters[lastEventType + 1] = {};
int wakePipe[2] = { -1, -1 };
int xConnection = -1;
std::atomic<bool> wakeQueued{ false };
std::atomic<bool> exposed{ false };

Bool convertAndWake (Display* display, XEvent* event, xEvent* wire)
{
    const auto type = wire->u.u.type & 0x7f;
    const auto result = originalConverters[type](display, event, wire);
    if (type == Expose)
        exposed = true;
    if (!wakeQueued.exchange (true))
    {
        const char wake = 1;
        [[maybe_unused]] const auto written = write (wakePipe[1], &wake, 1);
    }
    return result;
}

// On the message thread: the framework's own X callback takes every queued event.
void handQueuedEventsOver (int)
{
    char drained[64];
    while (read (wakePipe[0], drained, sizeof (drained)) > 0)
    {
    }
    wakeQueued = false;
    juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (xConnection);

    // The framework would paint what the server exposed at its next display refresh,
    // up to a frame later (a newly shown window stays empty that long).
    if (exposed.exchange (false))
        for (int i = 0; i < juce::ComponentPeer::getNumPeers(); ++i)
            juce::ComponentPeer::getPeer (i)->performAnyPendingRepaintsNow();
}

// A desktop's own scale lies between these; anything else is a mistake in its settings.
constexpr double smallestScale = 1.0, largestScale = 4.0;
constexpr double dpiAtOne = 96.0;

/** The dpi of the Xft.dpi line in the text of the X resources, or 0. */
double xftDpi (const char* resources)
{
    if (resources == nullptr)
        return 0.0;

    for (const auto& line : juce::StringArray::fromLines (resources))
    {
        const auto name = line.upToFirstOccurrenceOf (":", false, false).trim();
        if (name == "Xft.dpi" && line.containsChar (':'))
            return juce::jmax (0.0, line.fromFirstOccurrenceOf (":", false, false).trim().getDoubleValue());
    }
    return 0.0;
}

/** The desktop's scale as its settings publish it, or 0 where they say nothing. */
double desktopScale()
{
    auto* windowSystem = juce::XWindowSystem::getInstance();
    if (auto* settings = windowSystem->getXSettings())
    {
        const auto factor = settings->getSetting (juce::XWindowSystem::getWindowScalingFactorSettingName());
        if (factor.isValid() && factor.integerValue > 0)
            return juce::jlimit (smallestScale, largestScale, (double) factor.integerValue);
    }

    const auto resourceText = xlibFunction<ResourceManagerString> ("XResourceManagerString");
    if (auto* display = windowSystem->getDisplay(); display != nullptr && resourceText != nullptr)
        if (const auto dpi = xftDpi (resourceText (display)); dpi > 0.0)
            return juce::jlimit (smallestScale, largestScale, dpi / dpiAtOne);

    return 0.0;
}

int lostConnection (void*)
{
    static constexpr char message[] = ": the connection to the X server was lost\n";
    [[maybe_unused]] auto a = write (STDERR_FILENO, XConnection::programName, strlen (XConnection::programName));
    [[maybe_unused]] auto b = write (STDERR_FILENO, message, sizeof (message) - 1);
    _exit (1);
}
} // namespace

std::string XConnection::problemWithDisplay()
{
    const std::string prefix = std::string (programName) + ": ";
    const auto* name = std::getenv ("DISPLAY");
    if (name == nullptr || *name == '\0')
        return prefix + "cannot open an X display: DISPLAY is not set";

    const auto open = xlibFunction<OpenDisplay> ("XOpenDisplay");
    const auto close = xlibFunction<CloseDisplay> ("XCloseDisplay");
    if (open == nullptr || close == nullptr)
        return prefix + "cannot open the X display \"" + name + "\": " + xlibName + " is not installed";

    auto* display = open (name);
    if (display == nullptr)
        return prefix + "cannot open the X display \"" + name + "\"";

    close (display);
    return {};
}

void XConnection::endOnLostConnection()
{
    if (const auto setHandler = xlibFunction<SetIOErrorHandler> ("XSetIOErrorHandler"))
        setHandler (lostConnection);
}

void XConnection::deliverQueuedEvents()
{
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    const auto setConverter = xlibFunction<SetWireToEvent> ("XESetWireToEvent");
    if (display == nullptr || setConverter == nullptr || wakePipe[0] >= 0 || pipe2 (wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;

    xConnection = juce::X11Symbols::getInstance()->xConnectionNumber (display);
    juce::LinuxEventLoop::registerFdCallback (wakePipe[0], handQueuedEventsOver);

    for (int type = firstEventType; type <= lastEventType; ++type)
        originalConverters[type] = setConverter (display, type, convertAndWake);
}

void XConnection::followDesktopScale()
{
    const auto wanted = desktopScale();
    if (wanted <= 0.0)
        return;

    // What the framework found on its own counts once: the global factor makes up the rest.
    auto& desktop = juce::Desktop::getInstance();
    const auto* primary = desktop.getDisplays().getPrimaryDisplay();
    const auto found = primary != nullptr ? primary->scale / (double) desktop.getGlobalScaleFactor() : 1.0;
    if (found > 0.0 && std::abs (wanted - found) > 0.01)
        desktop.setGlobalScaleFactor ((float) (wanted / found));
}
