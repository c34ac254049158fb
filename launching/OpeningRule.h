#pragma once

#include <juce_core/juce_core.h>

/** How the menu opens a file from the disc: by what the file is, never by its name
    or its permission bits alone, and never through a shell.

    Discs and sticks show permissions that say little: without Rock Ridge every file
    may be executable, or none may be. So a file is taken as a program only when it
    starts like one (an ELF header or a "#!" line). A program that the system lets
    execute runs directly; one that only lacks the execute bit starts through the
    dynamic loader or interpreter that it names itself, as the kernel would start
    it; on a medium mounted noexec nothing runs. Everything else, and a folder, goes
    to the desktop's opener. */
namespace OpeningRule
{
/** The argument vector that opens the file, the program to run first; empty when
    nothing should start (a missing file, a program that cannot run here). */
juce::StringArray commandFor (const juce::File&);

/** Whether a file starts like a program: an ELF header or a "#!" line. */
bool startsLikeAProgram (const juce::File&);

/** The dynamic loader that an ELF program names in its PT_INTERP header, or an
    empty string when the file is no ELF program or names none. */
juce::String elfInterpreter (const juce::File&);

/** Whether the file lies on a file system mounted noexec. */
bool isOnNoexecMount (const juce::File&);

/** The desktop's opener for files and addresses. */
constexpr const char* desktopOpener = "xdg-open";
} // namespace OpeningRule
