#include "support/XServer.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

// One private X server and one framework start-up for the whole test program,
// as the application would have.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    if (GTEST_FLAG_GET (list_tests))
        return RUN_ALL_TESTS(); // the build lists the tests; nothing needs a display for it

    support::XServer server;
    setenv ("DISPLAY", server.displayName().c_str(), 1);
    juce::ScopedJuceInitialiser_GUI framework;
    return RUN_ALL_TESTS();
}
