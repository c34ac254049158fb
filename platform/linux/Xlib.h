#pragma once

#include <dlfcn.h>

/** Xlib as the X connection's files reach it: opened by name when first needed, never
    linked, as the framework itself does. */
namespace XConnection::Xlib
{
constexpr const char* libraryName = "libX11.so.6";

inline void* library()
{
    static void* const handle = dlopen (libraryName, RTLD_LAZY | RTLD_LOCAL);
    return handle;
}

/** A function of Xlib by name; null where Xlib or the function is missing. */
template <typename Function>
Function function (const char* name)
{
    return library() != nullptr ? reinterpret_cast<Function> (dlsym (library(), name)) : nullptr;
}
} // namespace XConnection::Xlib
