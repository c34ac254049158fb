#include "Harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace e2e
{
namespace
{
    pid_t spawn (const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 const std::string& workingFolder, posix_spawn_file_actions_t* extraActions = nullptr)
    {
        std::vector<char*> args, envp;
        for (auto& a : argv)
            args.push_back (const_cast<char*> (a.c_str()));
        args.push_back (nullptr);
        for (auto& e : env)
            envp.push_back (const_cast<char*> (e.c_str()));
        envp.push_back (nullptr);

        // The caller's actions gain the change of folder; they stay the caller's to destroy.
        posix_spawn_file_actions_t ownActions;
        auto* actions = extraActions;
        if (actions == nullptr)
        {
            posix_spawn_file_actions_init (&ownActions);
            actions = &ownActions;
        }
        if (!workingFolder.empty())
            posix_spawn_file_actions_addchdir_np (actions, workingFolder.c_str());

        pid_t pid = -1;
        const auto result = posix_spawnp (&pid, args[0], actions, nullptr, args.data(), envp.data());
        if (extraActions == nullptr)
            posix_spawn_file_actions_destroy (&ownActions);

        if (result != 0)
            throw std::runtime_error ("cannot start " + argv[0] + ": " + std::strerror (result));
        return pid;
    }

    void stopAndReap (pid_t pid)
    {
        if (pid <= 0)
            return;
        if (waitpid (pid, nullptr, WNOHANG) == pid)
            return;
        kill (pid, SIGTERM);
        for (int i = 0; i < 100; ++i)
        {
            if (waitpid (pid, nullptr, WNOHANG) == pid)
                return;
            std::this_thread::sleep_for (10ms);
        }
        kill (pid, SIGKILL);
        waitpid (pid, nullptr, 0);
    }

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

//==============================================================================
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
    pid = spawn ({ "Xvfb", "-displayfd", std::to_string (fds[1]), "-screen", "0", screen, "-noreset", "-nolisten", "tcp" },
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

XServer::~XServer()
{
    if (dpy != nullptr)
        XCloseDisplay (dpy);
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

juce::StringArray logLines (const juce::File& log, int atLeast, std::chrono::milliseconds timeout)
{
    juce::StringArray lines;
    eventually ([&]
                {
                        lines = juce::StringArray::fromLines (log.loadFileAsString().trimCharactersAtEnd ("\n"));
                        lines.removeEmptyStrings();
                        return lines.size() >= atLeast; },
                timeout);
    return lines;
}

//==============================================================================
Process::Process (const XServer& server, const std::string& executable, const std::vector<std::string>& args,
                  const std::string& workingFolder, const std::map<std::string, std::string>& extraEnv,
                  const std::string& errorFile, bool standardStreamsClosed)
{
    std::map<std::string, std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
    {
        const std::string entry (*e);
        const auto eq = entry.find ('=');
        if (eq != std::string::npos)
            env[entry.substr (0, eq)] = entry.substr (eq + 1);
    }
    env["DISPLAY"] = server.displayName();
    for (auto& [key, value] : extraEnv)
        env[key] = value;

    std::vector<std::string> envList;
    for (auto& [key, value] : env)
        envList.push_back (key + "=" + value);

    std::vector<std::string> argv{ executable };
    argv.insert (argv.end(), args.begin(), args.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    if (standardStreamsClosed)
        for (int fd = 0; fd <= 2; ++fd)
            posix_spawn_file_actions_addclose (&actions, fd);
    else if (!errorFile.empty())
        posix_spawn_file_actions_addopen (&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
    childPid = spawn (argv, envList, workingFolder, &actions);
    posix_spawn_file_actions_destroy (&actions);
}

Process::Process (const std::vector<std::string>& argv)
{
    std::vector<std::string> envList;
    for (char** e = environ; *e != nullptr; ++e)
        envList.emplace_back (*e);
    childPid = spawn (argv, envList, {});
}

Process::Process (pid_t adoptedChild)
    : childPid (adoptedChild)
{
}

Process::~Process()
{
    if (!rawStatus)
        stopAndReap (childPid);
}

bool Process::isRunning()
{
    if (rawStatus)
        return false;
    int status = 0;
    if (waitpid (childPid, &status, WNOHANG) == childPid)
    {
        rawStatus = status;
        return false;
    }
    return true;
}

std::optional<int> Process::waitForExit (std::chrono::milliseconds timeout)
{
    if (!eventually ([this]
                     { return !isRunning(); },
                     timeout))
        return std::nullopt;
    if (!WIFEXITED (*rawStatus))
        return std::nullopt;
    return WEXITSTATUS (*rawStatus);
}

std::string Process::state()
{
    if (isRunning())
        return "running";
    if (WIFEXITED (*rawStatus))
        return "exit status " + std::to_string (WEXITSTATUS (*rawStatus));
    return "killed by signal " + std::to_string (WTERMSIG (*rawStatus));
}

Ending runToEnd (const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 std::chrono::milliseconds timeout)
{
    int errors[2], output[2];
    if (pipe2 (errors, O_CLOEXEC) != 0 || pipe2 (output, O_CLOEXEC) != 0)
        throw std::runtime_error ("pipe");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_adddup2 (&actions, output[1], 1);
    posix_spawn_file_actions_adddup2 (&actions, errors[1], 2);
    const auto pid = spawn (argv, environment, {}, &actions);
    posix_spawn_file_actions_destroy (&actions);
    close (errors[1]);
    close (output[1]);

    Ending ending;
    const auto drain = [] (int fd, std::string& into)
    {
        char buffer[4096];
        for (ssize_t got; (got = read (fd, buffer, sizeof (buffer))) > 0;)
            into.append (buffer, static_cast<size_t> (got));
    };
    fcntl (errors[0], F_SETFL, O_NONBLOCK);
    fcntl (output[0], F_SETFL, O_NONBLOCK);
    int status = 0;
    bool ended = false;
    const auto end = Clock::now() + timeout;
    for (;;)
    {
        drain (errors[0], ending.errors);
        drain (output[0], ending.output);
        if (ended)
            break;
        ended = waitpid (pid, &status, WNOHANG) == pid;
        if (!ended && Clock::now() > end)
        {
            kill (pid, SIGKILL);
            waitpid (pid, &status, 0);
            ending.signal = SIGKILL;
            close (errors[0]);
            close (output[0]);
            return ending;
        }
        if (!ended)
            std::this_thread::sleep_for (10ms);
    }
    close (errors[0]);
    close (output[0]);

    if (WIFEXITED (status))
        ending.status = WEXITSTATUS (status);
    else if (WIFSIGNALED (status))
    {
        ending.signal = WTERMSIG (status);
        ending.dumpedCore = WCOREDUMP (status);
    }
    return ending;
}

//==============================================================================
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

//==============================================================================
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

juce::Image screenshot (const XServer& server, juce::Rectangle<int> area)
{
    auto* dpy = server.display();
    XSync (dpy, False);
    auto* ximage = XGetImage (dpy, DefaultRootWindow (dpy), area.getX(), area.getY(),
                              static_cast<unsigned int> (area.getWidth()), static_cast<unsigned int> (area.getHeight()),
                              AllPlanes, ZPixmap);
    if (ximage == nullptr)
        return {};

    juce::Image image (juce::Image::ARGB, area.getWidth(), area.getHeight(), false);
    const juce::Image::BitmapData out (image, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < area.getHeight(); ++y)
        for (int x = 0; x < area.getWidth(); ++x)
        {
            const auto pixel = XGetPixel (ximage, x, y);
            out.setPixelColour (x, y, juce::Colour ((juce::uint8) ((pixel & ximage->red_mask) >> 16), (juce::uint8) ((pixel & ximage->green_mask) >> 8), (juce::uint8) (pixel & ximage->blue_mask)));
        }

    XDestroyImage (ximage);
    return image;
}

int countDifferentPixels (const juce::Image& a, const juce::Image& b, int tolerance)
{
    if (a.getBounds() != b.getBounds())
        return std::max (a.getWidth() * a.getHeight(), b.getWidth() * b.getHeight());

    int count = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            if (std::abs (p.getRed() - q.getRed()) > tolerance || std::abs (p.getGreen() - q.getGreen()) > tolerance || std::abs (p.getBlue() - q.getBlue()) > tolerance)
                ++count;
        }
    return count;
}

int countPixelsOtherThan (const juce::Image& image, juce::Colour colour, int tolerance)
{
    juce::Image plain (juce::Image::ARGB, image.getWidth(), image.getHeight(), false);
    plain.clear (plain.getBounds(), colour);
    return countDifferentPixels (image, plain, tolerance);
}

std::string programPath()
{
    return BRELVAN_PROGRAM_PATH;
}
} // namespace e2e
