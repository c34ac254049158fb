#pragma once

#include "launching/NativePath.h"

/** Starts the installer of one bundle item from the disc: the item's folder lies
    beside the running program, whatever the working folder. A missing file does
    nothing; nothing about the start is reported back. */
void launchInstaller (int installerIndex);

/** Where the installer of an item lies, for a program in the given folder.
    An index outside 0 to 3 gives no path. */
NativePath installerFileIn (const NativePath& programFolder, int installerIndex);

/** The folder that holds the running program's own file, however it was started. */
NativePath programFolder();

constexpr int numInstallers = 4;
