#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#if JUCE_LINUX
// The framework asks dconf and gsettings for the scale and the theme at start-up, and waits
// for each. Those two are refused without running anything: the framework's own start would
// report a started process, since it only learns after forking whether the program exists.
// Every other command starts as before.
TEST (SettingsProbes, TheFrameworksSettingsProgramsAreRefusedAndOtherCommandsRun)
{
    for (const auto* probe : { "/usr/bin/dconf read /org/gnome/desktop/interface/scaling-factor",
                               "/usr/bin/gsettings get org.gnome.desktop.interface gtk-theme" })
    {
        juce::ChildProcess process;
        EXPECT_FALSE (process.start (probe)) << probe;
    }

    juce::ChildProcess echo;
    ASSERT_TRUE (echo.start ("/bin/echo /usr/bin/dconf read"));
    EXPECT_EQ (echo.readAllProcessOutput(), "/usr/bin/dconf read\n");
    EXPECT_TRUE (echo.waitForProcessToFinish (5000)); // reaped, so no zombie is left
}
#endif
