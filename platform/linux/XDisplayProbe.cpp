#include "XConnection.h"
#include "Xlib.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace
{
// A server that takes the connection and never answers would hold the program here, with
// no window and no word, for ever. A working one answers within milliseconds.
constexpr unsigned answerSeconds = 10;

std::string noAnswer; // written from the alarm's handler, so made before it can ring

void endWithoutAnswer (int)
{
    [[maybe_unused]] const auto written = write (STDERR_FILENO, noAnswer.data(), noAnswer.size());
    _exit (1);
}

/** Opens the display, or ends the program when its server does not answer in time. */
template <typename Open>
Display* openWithinTime (Open open, const char* name)
{
    struct sigaction ring
    {
    }, before{};
    ring.sa_handler = endWithoutAnswer;
    sigemptyset (&ring.sa_mask);
    sigaction (SIGALRM, &ring, &before);
    alarm (answerSeconds);
    auto* display = open (name);
    alarm (0);
    sigaction (SIGALRM, &before, nullptr);
    return display;
}

using OpenDisplay = Display* (*) (const char*);
using CloseDisplay = int (*) (Display*);
using DefaultScreenOf = int (*) (Display*);
using GetVisualInfo = XVisualInfo* (*) (Display*, long, XVisualInfo*, int*);
using Free = int (*) (void*);

/** Whether the framework can draw on the display's default screen: it needs a visual of
    16 or 24 bits, or a 32-bit true-colour one with 8 bits a channel. */
bool hasUsableVisual (Display* display)
{
    const auto defaultScreen = XConnection::Xlib::function<DefaultScreenOf> ("XDefaultScreen");
    const auto getVisualInfo = XConnection::Xlib::function<GetVisualInfo> ("XGetVisualInfo");
    const auto free = XConnection::Xlib::function<Free> ("XFree");
    if (defaultScreen == nullptr || getVisualInfo == nullptr || free == nullptr)
        return false;

    XVisualInfo wanted{};
    wanted.screen = defaultScreen (display);
    int count = 0;
    auto* visuals = getVisualInfo (display, VisualScreenMask, &wanted, &count);
    bool usable = false;
    for (int i = 0; i < count && !usable; ++i)
    {
        const auto& v = visuals[i];
        usable = v.depth == 16 || v.depth == 24 || (v.depth == 32 && v.c_class == TrueColor && v.red_mask == 0xff0000 && v.green_mask == 0xff00 && v.blue_mask == 0xff);
    }
    if (visuals != nullptr)
        free (visuals);
    return usable;
}
} // namespace

std::string XConnection::problemWithDisplay()
{
    const std::string prefix = std::string (programName) + ": ";
    const auto* name = std::getenv ("DISPLAY");
    if (name == nullptr || *name == '\0')
        return prefix + "cannot open an X display: DISPLAY is not set";

    const auto open = Xlib::function<OpenDisplay> ("XOpenDisplay");
    const auto close = Xlib::function<CloseDisplay> ("XCloseDisplay");
    if (open == nullptr || close == nullptr)
        return prefix + "cannot open the X display \"" + name + "\": " + Xlib::libraryName + " is not installed";

    noAnswer = prefix + "the X display \"" + name + "\" does not answer\n";
    auto* display = openWithinTime (open, name);
    if (display == nullptr)
        return prefix + "cannot open the X display \"" + name + "\"";

    const auto usable = hasUsableVisual (display);
    close (display);
    if (!usable)
        return prefix + "cannot draw on the X display \"" + name + "\": it has no 16, 24 or 32-bit colour visual";
    return {};
}
