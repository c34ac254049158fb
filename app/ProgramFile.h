#pragma once

/** The program's own file, as the kernel runs it from the disc (Linux).

    The disc may leave the drive while the menu shows. From then on, any page of the
    program that the kernel has let go of (and it lets go of file pages first when memory
    runs short) could no longer be read back, and touching it would end the process with
    SIGBUS. Windows does the same for a program marked to run from swap when on removable
    media; here the program does it itself. */
namespace ProgramFile
{
/** Where the program runs from a medium that may go away (an optical disc, a stick or
    card, a network share, a file system in user space), moves all of its pages from the
    file into memory of its own, so that nothing is ever read from the medium again;
    elsewhere does nothing. Reading them goes through the file once, start to end, which
    is how a drive reads fastest. Needs nothing of the framework; call before any thread
    starts. True when the program now runs from memory. */
bool leaveTheMedium();

/** The same, in the shape of the functions the loader runs before anything else of the
    program's (its .preinit_array): before the framework's static objects are built, which
    would read the program all over its file, and before any thread exists. */
void leaveTheMediumAtStart (int argc, char** argv, char** environment);
} // namespace ProgramFile
