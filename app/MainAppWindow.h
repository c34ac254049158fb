#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#if JUCE_WINDOWS
#include "platform/windows/RepaintPump.h"
#endif

/** The program's one top-level window: the framework's own title bar and
    resizing border, and closing it quits the application. */
class MainAppWindow : public juce::DocumentWindow
{
public:
    MainAppWindow();
    ~MainAppWindow() override;

    void closeButtonPressed() override;

    /** A full-screen window has no frame at all: the content reaches every edge below the title bar. */
    juce::BorderSize<int> getBorderThickness() override;

    static constexpr const char* windowTitle = JUCE_APPLICATION_NAME_STRING;
    static constexpr int titleBarHeight = 20;

private:
    void attachIcon();

#if JUCE_WINDOWS
    RepaintPump repaintPump{ *this };
#endif

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainAppWindow)
};
