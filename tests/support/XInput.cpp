#include "XInput.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace support
{
void moveMouse (const XServer& server, juce::Point<int> onRoot)
{
    XTestFakeMotionEvent (server.display(), -1, onRoot.x, onRoot.y, CurrentTime);
    XSync (server.display(), False);
    std::this_thread::sleep_for (60ms);
}

void click (const XServer& server, juce::Point<int> onRoot, int button)
{
    moveMouse (server, onRoot);
    XTestFakeButtonEvent (server.display(), static_cast<unsigned int> (button), True, CurrentTime);
    XSync (server.display(), False);
    std::this_thread::sleep_for (60ms);
    XTestFakeButtonEvent (server.display(), static_cast<unsigned int> (button), False, CurrentTime);
    XSync (server.display(), False);
    std::this_thread::sleep_for (60ms);
}

void pressKey (const XServer& server, unsigned long keysym, bool withShift)
{
    auto* dpy = server.display();
    const auto send = [dpy] (KeySym sym, bool down)
    {
        XTestFakeKeyEvent (dpy, XKeysymToKeycode (dpy, sym), down ? True : False, CurrentTime);
        XSync (dpy, False);
        std::this_thread::sleep_for (40ms);
    };
    if (withShift)
        send (XK_Shift_L, true);
    send (keysym, true);
    send (keysym, false);
    if (withShift)
        send (XK_Shift_L, false);
    std::this_thread::sleep_for (80ms);
}

void focusWindow (const XServer& server, unsigned long window)
{
    XSetInputFocus (server.display(), window, RevertToParent, CurrentTime);
    XSync (server.display(), False);
    std::this_thread::sleep_for (150ms);
}

void sendCloseRequest (const XServer& server, unsigned long window)
{
    auto* dpy = server.display();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom (dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long> (XInternAtom (dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent (dpy, window, False, NoEventMask, &event);
    XSync (dpy, False);
}

void quickClick (const XServer& x, juce::Point<int> at)
{
    auto* dpy = x.display();
    XTestFakeMotionEvent (dpy, -1, at.x, at.y, CurrentTime);
    XTestFakeButtonEvent (dpy, 1, True, CurrentTime);
    XSync (dpy, False);
    std::this_thread::sleep_for (5ms);
    XTestFakeButtonEvent (dpy, 1, False, CurrentTime);
    XSync (dpy, False);
}
} // namespace support
