#pragma once

// The system's D-Bus library (libdbus-1), loaded when first needed rather than linked, so
// that the program still needs nothing beyond glibc, FreeType and X11 and starts where the
// library is missing. Only the client's messages and connection call it.

#include <dbus/dbus.h>

namespace DBus
{
/** The library's functions, or null where it is not installed. */
struct Library
{
#define BRELVAN_DBUS_FUNCTION(name) decltype (&::name) name = nullptr;
#include "DBusFunctions.inc"
#undef BRELVAN_DBUS_FUNCTION

    /** Loads the library on first use; null where it or one of its functions is missing. */
    static const Library* get();
};

/** The library, once something has found it there. */
inline const Library& library()
{
    return *Library::get();
}
} // namespace DBus
