#include "AppClass.h"
#include "launching/RunningProgram.h"

#if JUCE_LINUX
#include "ProgramFile.h"
#include "XConnectionLinux.h"
#include <cstdio>

__attribute__ ((section (".preinit_array"), used)) static auto* const runFirst = &ProgramFile::leaveTheMediumAtStart;
#endif

// The framework builds the command line itself and hands it, trimmed, to
// AppClass::initialise, which ignores it.
static juce::JUCEApplicationBase* createApplication()
{
    return new AppClass();
}

int main (int argc, char* argv[])
{
    RunningProgram::noteStartUp (argc > 0 ? argv[0] : nullptr);
    juce::JUCEApplicationBase::createInstance = &createApplication;

#if JUCE_WINDOWS
    return juce::JUCEApplicationBase::main();
#else
    // Without a display the framework would go on and crash on the first window.
    if (const auto problem = XConnection::problemWithDisplay(); !problem.empty())
    {
        std::fprintf (stderr, "%s\n", problem.c_str());
        return 1;
    }
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
#endif
}
