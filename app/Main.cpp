#include "AppClass.h"

#if JUCE_LINUX
#include "platform/linux/FirstCode.h"
#include "platform/linux/ProgramFile.h"
#include "platform/linux/StandardStreams.h"
#include "platform/linux/XConnection.h"
#include <cstdio>

namespace
{
/** What the loader runs before anything else of the program's (its .preinit_array):
    before the framework's static objects are built and before any thread exists. */
BRELVAN_FIRST_CODE void beforeAnythingElse (int, char**, char** environment)
{
    StandardStreams::openWhereClosed();
    ProgramFile::findAtStart (environment);
    ProgramFile::leaveTheMedium();
}
} // namespace

__attribute__ ((section (".preinit_array"), used)) static auto* const runFirst = &beforeAnythingElse;
#endif

// The framework builds the command line itself and hands it, trimmed, to
// AppClass::initialise, which ignores it.
static juce::JUCEApplicationBase* createApplication()
{
    return new AppClass();
}

int main (int argc, char* argv[])
{
    juce::JUCEApplicationBase::createInstance = &createApplication;

#if JUCE_WINDOWS
    juce::ignoreUnused (argc, argv);
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
