#include "XConnection.h"
#include "Xlib.h"

// The framework's own X declarations: its display, and the loop that serves its socket.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

// Needs the module's own headers first.
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <X11/Xlibint.h>
#include <atomic>
#include <fcntl.h>
#include <unistd.h>

namespace
{
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
} // namespace

void XConnection::deliverQueuedEvents()
{
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    const auto setConverter = Xlib::function<SetWireToEvent> ("XESetWireToEvent");
    if (display == nullptr || setConverter == nullptr || wakePipe[0] >= 0 || pipe2 (wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;

    xConnection = juce::X11Symbols::getInstance()->xConnectionNumber (display);
    juce::LinuxEventLoop::registerFdCallback (wakePipe[0], handQueuedEventsOver);

    for (int type = firstEventType; type <= lastEventType; ++type)
        originalConverters[type] = setConverter (display, type, convertAndWake);
}
