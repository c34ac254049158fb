#include "XConnectionLinux.h"
#include "XlibLinux.h"

#include <cstdlib>

namespace
{
using OpenDisplay = void* (*) (const char*);
using CloseDisplay = int (*) (void*);
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

    auto* display = open (name);
    if (display == nullptr)
        return prefix + "cannot open the X display \"" + name + "\"";

    close (display);
    return {};
}
