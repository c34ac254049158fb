#include "XConnection.h"
#include "Xlib.h"

#include <cstring>
#include <unistd.h>

namespace
{
using IOErrorHandler = int (*) (void*);
using SetIOErrorHandler = IOErrorHandler (*) (IOErrorHandler);

int lostConnection (void*)
{
    static constexpr char message[] = ": the connection to the X server was lost\n";
    [[maybe_unused]] auto a = write (STDERR_FILENO, XConnection::programName, strlen (XConnection::programName));
    [[maybe_unused]] auto b = write (STDERR_FILENO, message, sizeof (message) - 1);
    _exit (1);
}
} // namespace

void XConnection::endOnLostConnection()
{
    if (const auto setHandler = Xlib::function<SetIOErrorHandler> ("XSetIOErrorHandler"))
        setHandler (lostConnection);
}
