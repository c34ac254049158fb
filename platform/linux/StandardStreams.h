#pragma once

/** Standard input, output and error as the program hands them on (Linux).

    Some launchers start programs with them closed. The program's own descriptors (the X
    connection, the event loop's pipes) would then take their numbers, and a started
    installer would inherit those as its standard streams: one that writes to its output
    would block for ever on the menu's own socket, even after the menu has gone. */
namespace StandardStreams
{
/** Opens /dev/null on each of 0, 1 and 2 that is closed (where even that is missing, a
    descriptor that holds the number and reads and writes nothing). Call before anything
    else opens a descriptor. */
void openWhereClosed();
} // namespace StandardStreams
