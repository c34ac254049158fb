#include "DBusLibrary.h"

#include <dlfcn.h>

namespace DBus
{
namespace
{
    constexpr const char* libraryName = "libdbus-1.so.3";

    /** Every function, or none: a library without one of them is taken for absent. */
    Library load()
    {
        Library functions;
        void* handle = dlopen (libraryName, RTLD_LAZY | RTLD_LOCAL);
        if (handle == nullptr)
            return functions;

        bool complete = true;
#define BRELVAN_DBUS_FUNCTION(name)                                                \
    functions.name = reinterpret_cast<decltype (&::name)> (dlsym (handle, #name)); \
    complete = complete && functions.name != nullptr;
#include "DBusFunctions.inc"
#undef BRELVAN_DBUS_FUNCTION

        if (!complete)
            functions = Library();
        return functions;
    }
} // namespace

const Library* Library::get()
{
    static const Library functions = load();
    return functions.dbus_error_init != nullptr ? &functions : nullptr;
}
} // namespace DBus
