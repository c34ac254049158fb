#pragma once

#include <juce_core/juce_core.h>

#include <string>

/** A file's path as the system itself names it.

    On Linux that is the kernel's bytes, which need not be text in any encoding: a disc
    mounted under a Latin-1 label gives a folder such as "caf\xe9". Those bytes go from
    /proc to exec as they are, never through the framework's strings, which take UTF-8 on
    trust and would cut such a path at the wrong place. On Windows the system names files in
    UTF-16, which the framework's File holds whole. */
#if JUCE_WINDOWS
using NativePath = juce::File;
#else
using NativePath = std::string;
#endif

namespace NativePaths
{
/** The folder that holds a file; empty for an empty path. */
NativePath folderOf (const NativePath&);

/** A file below a folder, named in the disc's own way: ASCII parts joined by backslashes,
    which become this system's separators. Empty for an empty folder. */
NativePath childOf (const NativePath& folder, const char* relative);
} // namespace NativePaths
