#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

/** Starts programs that must outlive the menu, without a shell in between.

    The program gets its arguments exactly as given, byte for byte, so a path or address
    can hold any character at all, and a path need not be text in any encoding. It runs in a session of its own, inherits no descriptors
    beyond standard input, output and error, and is never left behind as a zombie:
    the intermediate process is reaped at once and the program itself is adopted
    by the system. Nothing is reported back beyond whether it could be started. */
namespace DetachedProcess
{
/** Runs arguments[0] with the remaining arguments. A name without a slash is looked
    up on PATH here, before anything starts; the program is then executed by its
    absolute path, and a file that the kernel will not execute runs nothing at all
    (no shell is ever tried in its place). */
bool start (const std::vector<std::string>& arguments);

/** Opens a file by what it is (see OpeningRule): a program or script runs, anything
    else goes to the desktop's opener. False when nothing was started. */
bool openFile (const std::string& path);

/** Hands a web address to the desktop's opener, which shows it in the browser. */
bool openAddress (const juce::String&);

/** The executable file that a program name stands for: a path with a slash as it is,
    a bare name from PATH; empty when there is none. */
std::string resolveProgram (const std::string& name);
} // namespace DetachedProcess
