#pragma once

#include "NativePath.h"

/** Opens files and web addresses the way this platform's desktop does, without a
    shell or command interpreter in between and without waiting for what opens them.
    One file per platform implements it: DesktopOpenerLinux.cpp, DesktopOpenerWindows.cpp. */
namespace DesktopOpener
{
/** Opens a file (an installer, a pack) with the action the system has for it. Only a
    regular file or a folder is opened; for anything else, or nothing, at the path, false
    and nothing started. */
bool openFile (const NativePath&);

/** Shows a web address in the user's browser. False when nothing was started. */
bool openAddress (const juce::String&);
} // namespace DesktopOpener
