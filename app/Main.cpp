#include "AppClass.h"
#include "XConnection.h"
#include "launching/RunningProgram.h"

#include <cstdio>

// The framework builds the command line from argv itself and hands it, trimmed,
// to AppClass::initialise, which ignores it.
static juce::JUCEApplicationBase* createApplication()
{
    return new AppClass();
}

int main (int argc, char* argv[])
{
    RunningProgram::noteStartUp (argc > 0 ? argv[0] : nullptr);

    // Without a display the framework would go on and crash on the first window.
    if (const auto problem = XConnection::problemWithDisplay(); !problem.empty())
    {
        std::fprintf (stderr, "%s\n", problem.c_str());
        return 1;
    }

    juce::JUCEApplicationBase::createInstance = &createApplication;
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
}
