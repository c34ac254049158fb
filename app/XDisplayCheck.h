#pragma once

#include <string>

/** The program's terms with the X server: it starts only when a display can be
    opened, and ends cleanly when the connection breaks. */
namespace XDisplayCheck
{
/** Tries the display that the framework will use (from DISPLAY) and closes it
    again; an empty string when it opens, otherwise one line that says why not and
    names the display tried. Needs nothing of the framework, so it can run first. */
std::string problemWithDisplay();

/** From now on a broken connection to the X server ends the process at once with
    one line on standard error and status 1. Without this, Xlib would call exit()
    under the running framework. */
void endOnLostConnection();

constexpr const char* programName = "OrvalisBrelvan";
} // namespace XDisplayCheck
