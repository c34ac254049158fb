#include "XDisplayCheck.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace
{
// The framework opens Xlib itself, by this name, rather than linking it; so do we.
constexpr const char* xlibName = "libX11.so.6";

using OpenDisplay = void* (*) (const char*);
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

int lostConnection (void*)
{
    static constexpr char message[] = ": the connection to the X server was lost\n";
    [[maybe_unused]] auto a = write (STDERR_FILENO, XDisplayCheck::programName, strlen (XDisplayCheck::programName));
    [[maybe_unused]] auto b = write (STDERR_FILENO, message, sizeof (message) - 1);
    _exit (1);
}
} // namespace

std::string XDisplayCheck::problemWithDisplay()
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

void XDisplayCheck::endOnLostConnection()
{
    if (const auto setHandler = xlibFunction<SetIOErrorHandler> ("XSetIOErrorHandler"))
        setHandler (lostConnection);
}
