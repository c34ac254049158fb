// Start-up without settings programs.
//
// On X11 the framework asks two programs for desktop settings, waiting up to 200 ms for
// each: dconf and gsettings for the display scale where the XSETTINGS manager publishes
// none, and gsettings for the theme's name (to tell dark mode) where it publishes no
// theme. The program takes the scale from the XSETTINGS manager and the X resources
// itself (XConnection::followDesktopScale, app/XDesktopScaleLinux.cpp) and has no dark look, so these probes would
// only delay the window. The program is linked with --wrap for the framework's
// ChildProcess::start (const String&, int); those two commands are refused as if the
// programs were missing, and every other command starts as before.

#include <juce_core/juce_core.h>

namespace
{
bool isSettingsProbe (const juce::String& command)
{
    return command.startsWith ("/usr/bin/dconf read ") || command.startsWith ("/usr/bin/gsettings get ");
}
} // namespace

// The symbols of juce::ChildProcess::start (const juce::String&, int), original and wrapped.
extern "C" bool _ZN4juce12ChildProcess5startERKNS_6StringEi_real (juce::ChildProcess*, const juce::String&, int) __asm__("__real__ZN4juce12ChildProcess5startERKNS_6StringEi");

extern "C" bool brelvanStartChildProcess (juce::ChildProcess* process, const juce::String& command, int streamFlags) __asm__("__wrap__ZN4juce12ChildProcess5startERKNS_6StringEi");

extern "C" bool brelvanStartChildProcess (juce::ChildProcess* process, const juce::String& command, int streamFlags)
{
    if (isSettingsProbe (command))
        return false;
    return _ZN4juce12ChildProcess5startERKNS_6StringEi_real (process, command, streamFlags);
}
