#pragma once

#include "NativePath.h"

/** Where the running program's own file lies, however it was started: by path, by bare
    name through PATH, through a symbolic link, or through the dynamic loader
    ("ld-linux… /media/disc/OrvalisBrelvan"). One file per platform implements it. */
namespace RunningProgram
{
/** The program file, with symbolic links resolved, as it lay at start-up: it stays where
    it was when its disc has left the drive. Empty when the system does not say. */
NativePath file();
} // namespace RunningProgram
