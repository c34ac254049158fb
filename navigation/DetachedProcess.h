#pragma once

#include <juce_core/juce_core.h>

/** Starts programs that must outlive the menu, without a shell in between.

    The program gets its arguments exactly as given, so a path or address can hold
    any character at all. It runs in a session of its own, inherits no descriptors
    beyond standard input, output and error, and is never left behind as a zombie:
    the intermediate process is reaped at once and the program itself is adopted
    by the system. Nothing is reported back beyond whether it could be started. */
namespace DetachedProcess
{
/** Runs arguments[0], looked up on PATH when it holds no slash, with the remaining arguments. */
bool start (const juce::StringArray& arguments);

/** Opens a file the way the desktop would: an executable file runs; any other
    file, or a folder, goes to the desktop's opener as its one argument. */
bool openFile (const juce::File&);

/** Hands a web address to the desktop's opener, which shows it in the browser. */
bool openAddress (const juce::String&);

/** The desktop's opener for files and addresses. */
constexpr const char* desktopOpener = "xdg-open";
} // namespace DetachedProcess
