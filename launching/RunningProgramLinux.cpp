// On Linux the kernel names the program's file: the file whose mapping holds the program's
// code, as found first thing at start-up (app/ProgramFileLinux.cpp), before the program
// leaves its disc. Neither argv[0] nor the working folder plays a part, and the bytes are
// kept as the kernel gave them.

#include "RunningProgram.h"

#include "platform/linux/ProgramFile.h"

NativePath RunningProgram::file()
{
    return ProgramFile::path();
}
