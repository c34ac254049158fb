#include "RunningProgram.h"

#include <climits>
#include <cstdlib>
#include <elf.h>
#include <link.h>
#include <unistd.h>

namespace
{
juce::String startPath;
juce::File fileAtStart;

juce::File resolved (const juce::String& path)
{
    char buffer[PATH_MAX];
    return realpath (path.toRawUTF8(), buffer) != nullptr ? juce::File (juce::String::fromUTF8 (buffer)) : juce::File();
}

// Called for the main program first; stopping there is all that is needed.
int readInterpreter (dl_phdr_info* info, size_t, void* result)
{
    for (int i = 0; i < info->dlpi_phnum; ++i)
        if (info->dlpi_phdr[i].p_type == PT_INTERP)
            *static_cast<juce::String*> (result) = reinterpret_cast<const char*> (info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
    return 1;
}

/** The loader named in the main program's own program headers, as mapped in memory. */
juce::String mainProgramInterpreter()
{
    juce::String interpreter;
    dl_iterate_phdr (readInterpreter, &interpreter);
    return interpreter;
}
/** Whether a file is the dynamic loader that started this process. */
bool isOwnLoader (const juce::File& candidate)
{
    const auto loader = mainProgramInterpreter();
    return loader.isNotEmpty() && candidate != juce::File() && resolved (loader) == candidate;
}

/** Where the program's file lies now. */
juce::File locate()
{
    const auto executable = resolved ("/proc/self/exe");

    // Started as "loader program": the kernel ran the loader, which was given our path.
    if (executable != juce::File() && isOwnLoader (executable) && startPath.isNotEmpty())
    {
        const auto given = resolved (startPath);
        return given != juce::File() ? given : juce::File (startPath);
    }

    if (executable != juce::File())
        return executable;

    // No /proc: the framework's own idea, built from how we were named.
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile);
}
} // namespace

void RunningProgram::noteStartUp (const char* argv0)
{
    if (argv0 != nullptr && *argv0 != '\0')
    {
        startPath = juce::String::fromUTF8 (argv0);
        if (!startPath.startsWithChar ('/'))
        {
            char folder[PATH_MAX];
            if (getcwd (folder, sizeof (folder)) != nullptr)
                startPath = juce::String::fromUTF8 (folder) + "/" + startPath;
        }
    }

    // Once the disc has left the drive, the kernel names the program's file by its path
    // within the disc alone ("/OrvalisBrelvan"), as if the disc's root were the system's.
    fileAtStart = locate();
}

juce::File RunningProgram::file()
{
    return fileAtStart != juce::File() ? fileAtStart : locate();
}
