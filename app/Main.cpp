#include "AppClass.h"

// The framework builds the command line from argv itself and hands it, trimmed,
// to AppClass::initialise, which ignores it.
static juce::JUCEApplicationBase* createApplication()
{
    return new AppClass();
}

int main (int argc, char* argv[])
{
    juce::JUCEApplicationBase::createInstance = &createApplication;
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
}
