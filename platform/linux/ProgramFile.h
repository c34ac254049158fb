#pragma once

/** The program's own file, as the kernel runs it from the disc (Linux).

    The disc may leave the drive while the menu shows. From then on, any page of the
    program that the kernel has let go of (and it lets go of file pages first when memory
    runs short) could no longer be read back, and touching it would end the process with
    SIGBUS. Windows does the same for a program marked to run from swap when on removable
    media; here the program does it itself. */
namespace ProgramFile
{
/** The program's own file, as the kernel names the file whose mapping holds this code,
    byte for byte: right however the program was started (by path, by bare name, through a
    link, or through the dynamic loader, whatever name it was told to go by). Found once,
    first thing at start-up, before the program leaves its medium; empty where /proc is
    missing. Once the disc is gone the kernel would name the file by its path within the
    disc alone. */
const char* path();

/** Finds the program's own file first thing at start-up, from the program's .preinit_array,
    where the C library has not yet set up the environment: hence the environment given.
    Where the program runs from memory, unpacked there by the disc's first stage
    (PackedProgram.h), it takes the stage's word for its file from that environment and
    removes the word from it, so that it goes no further. */
void findAtStart (char** environment);

/** Where the program runs from a medium that may go away (an optical disc, a stick or
    card, a network share, a file system in user space), moves all of its pages from the
    file into memory of its own, so that nothing is ever read from the medium again;
    elsewhere does nothing. Reading them goes through the file once, start to end, which
    is how a drive reads fastest. Needs nothing of the framework; call before any thread
    starts, and before the framework's static objects are built, which would read the
    program all over its file. True when the program now runs from memory. */
bool leaveTheMedium();
} // namespace ProgramFile
