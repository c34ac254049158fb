// On Windows the system itself names the running program's file (GetModuleFileNameW),
// whatever way it was started.

#include "RunningProgram.h"

NativePath RunningProgram::file()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile);
}
