#pragma once

#include <juce_core/juce_core.h>

/** Opens files and web addresses the way this platform's desktop does, without a
    shell or command interpreter in between and without waiting for what opens them.
    One file per platform implements it: DesktopOpenerLinux.cpp, DesktopOpenerWindows.cpp. */
namespace DesktopOpener
{
/** Opens a file (an installer, a pack) with the action the system has for it.
    False when nothing was started. */
bool openFile (const juce::File&);

/** Shows a web address in the user's browser. False when nothing was started. */
bool openAddress (const juce::String&);
} // namespace DesktopOpener
