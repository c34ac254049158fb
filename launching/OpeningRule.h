#pragma once

#include <string>
#include <vector>

/** How the menu opens a file from the disc: by what the file is, never by its name
    or its permission bits alone, and never through a shell.

    Discs and sticks show permissions that say little: without Rock Ridge every file
    may be executable, or none may be. So a file is taken as a program only when it
    starts like one (an ELF header or a "#!" line). A program that the system lets
    execute runs directly; one that only lacks the execute bit starts through the
    dynamic loader or interpreter that it names itself, as the kernel would start
    it; on a medium mounted noexec nothing runs. Any other regular file, and a folder,
    goes to the desktop's opener. Nothing else opens: not a socket, a device or a pipe
    that a disc may hold under an installer's name.

    Paths are the system's bytes, whatever their encoding, and so are what a program
    names as its loader or interpreter. */
namespace OpeningRule
{
/** The argument vector that opens the file at a path, the program to run first; empty
    when nothing should start (nothing there, no regular file or folder, a program that
    cannot run here). */
std::vector<std::string> commandFor (const std::string& path);

/** Whether a regular file starts like a program: an ELF header or a "#!" line. */
bool startsLikeAProgram (const std::string& path);

/** The dynamic loader that an ELF program names in its PT_INTERP header, or an
    empty string when the file is no ELF program or names none. */
std::string elfInterpreter (const std::string& path);

/** Whether the file lies on a file system mounted noexec. */
bool isOnNoexecMount (const std::string& path);

/** The desktop's opener for files and addresses. */
constexpr const char* desktopOpener = "xdg-open";
} // namespace OpeningRule
