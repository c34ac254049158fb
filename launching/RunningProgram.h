#pragma once

#include <juce_core/juce_core.h>

/** Where the running program's own file lies, however it was started: by path, by
    bare name through PATH, through a symbolic link, or through the dynamic loader
    ("ld-linux… /media/disc/OrvalisBrelvan"). One file per platform implements it. */
namespace RunningProgram
{
/** Records how the process was started, and where its file lies; call first thing in
    main. The loader hands the program its own path as argv[0], and it is made absolute
    against the working folder of this moment. */
void noteStartUp (const char* argv0);

/** The program file, with symbolic links resolved, as it lay at start-up: it stays where
    it was when its disc has left the drive. */
juce::File file();
} // namespace RunningProgram
