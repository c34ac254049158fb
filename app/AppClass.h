#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MainAppWindow;
class AtspiBridge;

/** The application object: states who we are, opens the one window at start-up
    and deletes it when the message loop has ended. */
class AppClass : public juce::JUCEApplication
{
public:
    AppClass();
    ~AppClass() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;

    /** The window while the application runs; null before initialise and after shutdown. */
    MainAppWindow* getMainWindow() const noexcept { return mainWindow.get(); }

    static constexpr const char* applicationName = JUCE_APPLICATION_NAME_STRING;
    static constexpr const char* applicationVersion = JUCE_APPLICATION_VERSION_STRING;
    static constexpr int startWidth = 644;
    static constexpr int startHeight = 424;

private:
    /** What follows once every picture of the set in use is decoded, just after the first
        frame and again at each change of set: the heap's free memory goes back, and, the
        first time, screen readers are served (Linux). */
    void afterPicturesDecoded();

    std::unique_ptr<MainAppWindow> mainWindow;
#if JUCE_LINUX
    std::unique_ptr<AtspiBridge> screenReaders;
#endif

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppClass)
};
