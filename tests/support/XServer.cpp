#include "XServer.h"

#include "Processes.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <unistd.h>

namespace support
{
namespace
{
    std::string textProperty (Display* dpy, Window w, const char* name)
    {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        std::string text;

        if (XGetWindowProperty (dpy, w, XInternAtom (dpy, name, False), 0, 1024, False, AnyPropertyType,
                                &type, &format, &count, &after, &data) == Success &&
            data != nullptr && format == 8)
            text.assign (reinterpret_cast<const char*> (data), count);

        if (data != nullptr)
            XFree (data);
        return text;
    }

    std::string windowTitle (Display* dpy, Window w)
    {
        const auto title = textProperty (dpy, w, "_NET_WM_NAME");
        return title.empty() ? textProperty (dpy, w, "WM_NAME") : title;
    }

    int windowPid (Display* dpy, Window w)
    {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        int pid = 0;
        const auto atom = XInternAtom (dpy, "_NET_WM_PID", False);

        if (XGetWindowProperty (dpy, w, atom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) == Success && data != nullptr && count == 1)
            pid = static_cast<int> (*reinterpret_cast<unsigned long*> (data));

        if (data != nullptr)
            XFree (data);
        return pid;
    }

    // Windows come and go while the tests look at them; a vanished one is not an error.
    int ignoreXErrors (Display*, XErrorEvent*)
    {
        return 0;
    }
} // namespace

XServer::XServer (int width, int height, int depth)
    : screenWidth (width)
    , screenHeight (height)
{
    int fds[2];
    if (pipe (fds) != 0)
        throw std::runtime_error ("pipe");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addclose (&actions, fds[0]);
    posix_spawn_file_actions_addopen (&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen (&actions, 2, "/dev/null", O_WRONLY, 0);

    const auto screen = std::to_string (width) + "x" + std::to_string (height) + "x" + std::to_string (depth);
    pid = spawnProcess ({ "Xvfb", "-displayfd", std::to_string (fds[1]), "-screen", "0", screen, "-noreset", "-nolisten", "tcp" },
                        { "PATH=/usr/bin:/bin" }, {}, &actions);
    posix_spawn_file_actions_destroy (&actions);
    close (fds[1]);

    // Xvfb writes its display number once it accepts clients.
    std::string number;
    char c;
    while (read (fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close (fds[0]);

    if (number.empty())
    {
        stopAndReap (pid);
        throw std::runtime_error ("Xvfb did not start");
    }

    name = ":" + number;
    XSetErrorHandler (ignoreXErrors);
    dpy = XOpenDisplay (name.c_str());
    if (dpy == nullptr)
    {
        stopAndReap (pid);
        throw std::runtime_error ("cannot open " + name);
    }

    // A window manager would have created these; the program only looks them up.
    for (auto* atom : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "WM_STATE", "WM_CHANGE_STATE" })
        XInternAtom (dpy, atom, False);
    XSync (dpy, False);
}

XServer::XServer (const std::string& runningDisplay)
    : name (runningDisplay)
{
    XSetErrorHandler (ignoreXErrors);
    dpy = XOpenDisplay (name.c_str());
    if (dpy == nullptr)
        throw std::runtime_error ("cannot open " + name);
    screenWidth = DisplayWidth (dpy, DefaultScreen (dpy));
    screenHeight = DisplayHeight (dpy, DefaultScreen (dpy));
}

XServer::~XServer()
{
    if (dpy != nullptr)
        XCloseDisplay (dpy);
    if (pid > 0)
        stopAndReap (pid);
}

//==============================================================================
std::vector<WindowInfo> viewableWindows (const XServer& server)
{
    auto* dpy = server.display();
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    std::vector<WindowInfo> result;

    XSync (dpy, False);
    if (!XQueryTree (dpy, DefaultRootWindow (dpy), &root, &parent, &children, &count))
        return result;

    for (unsigned int i = 0; i < count; ++i)
    {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes (dpy, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;

        WindowInfo info;
        info.id = children[i];
        info.title = windowTitle (dpy, children[i]);
        info.pid = windowPid (dpy, children[i]);
        info.bounds = { attributes.x, attributes.y, attributes.width, attributes.height };
        result.push_back (info);
    }

    if (children != nullptr)
        XFree (children);
    return result;
}

std::vector<unsigned long> cardinalProperty (const XServer& server, unsigned long window, const char* name)
{
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    auto* dpy = server.display();

    if (XGetWindowProperty (dpy, window, XInternAtom (dpy, name, False), 0, 1 << 20, False, XA_CARDINAL, &type,
                            &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32)
    {
        const auto* items = reinterpret_cast<const unsigned long*> (data);
        values.assign (items, items + count);
    }
    if (data != nullptr)
        XFree (data);
    return values;
}

namespace
{
    template <typename Matches>
    std::optional<WindowInfo> waitForWindowThat (const XServer& server, Matches&& matches, std::chrono::milliseconds timeout)
    {
        std::optional<WindowInfo> found;
        eventually ([&]
                    {
                        for (auto& w : viewableWindows (server))
                            if (matches (w))
                                found = w;
                        return found.has_value(); },
                    timeout);

        // Give the first paint time to reach the server.
        if (found)
            std::this_thread::sleep_for (300ms);
        return found;
    }
} // namespace

std::optional<WindowInfo> waitForWindow (const XServer& server, pid_t pid, std::chrono::milliseconds timeout)
{
    return waitForWindowThat (
        server, [pid] (const WindowInfo& w)
        { return w.pid == pid; },
        timeout);
}

std::optional<WindowInfo> waitForTitledWindow (const XServer& server, const std::string& title, std::chrono::milliseconds timeout)
{
    return waitForWindowThat (
        server, [&title] (const WindowInfo& w)
        { return w.title == title; },
        timeout);
}

void setResources (const XServer& server, const std::string& resources)
{
    auto* dpy = server.display();
    XChangeProperty (dpy, DefaultRootWindow (dpy), XInternAtom (dpy, "RESOURCE_MANAGER", False), XA_STRING, 8, PropModeReplace,
                     reinterpret_cast<const unsigned char*> (resources.c_str()), static_cast<int> (resources.size()));
    XSync (dpy, False);
}

void setWorkArea (const XServer& server, juce::Rectangle<int> area)
{
    auto* dpy = server.display();
    const long values[] = { area.getX(), area.getY(), area.getWidth(), area.getHeight() };
    XChangeProperty (dpy, DefaultRootWindow (dpy), XInternAtom (dpy, "_NET_WORKAREA", False), XA_CARDINAL, 32, PropModeReplace,
                     reinterpret_cast<const unsigned char*> (values), 4);
    XSync (dpy, False);
}

bool selectionHasOwner (const XServer& server, const char* selection)
{
    auto* dpy = server.display();
    return XGetSelectionOwner (dpy, XInternAtom (dpy, selection, False)) != None;
}
} // namespace support
