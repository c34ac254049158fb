#pragma once

#include "Processes.h"
#include "Screenshots.h"
#include "XInput.h"

#include <mutex>

namespace support
{
/** A desktop as a blind person's session has it, for one X server: a private session bus,
    the accessibility bus with its registry (at-spi2-core's bus launcher), and, once asked
    for, the Orca screen reader, whose speech is read from its debug file. Gone with this. */
class AccessibilityDesktop
{
public:
    /** Whether the desktop's own accessibility bus launcher runs on the session bus. */
    enum class Launcher
    {
        desktops,
        none
    };

    explicit AccessibilityDesktop (const XServer&, Launcher = Launcher::desktops);
    ~AccessibilityDesktop();

    AccessibilityDesktop (const AccessibilityDesktop&) = delete;
    AccessibilityDesktop& operator= (const AccessibilityDesktop&) = delete;

    /** Empty when the buses run; why not, otherwise. */
    const std::string& problem() const { return whyNot; }

    /** What a program needs to find the session bus. */
    std::map<std::string, std::string> environment() const;

    /** Whether some program owns a name on the session bus. */
    bool hasOwner (const std::string& name) const;

    /** Turns the desktop's status of assistive technology on or off (org.a11y.Status). */
    bool setAssistiveTechnology (bool on) const;

    /** Starts Orca, which turns assistive technology on as it starts. */
    bool startScreenReader();

    /** What Orca has spoken so far, a line each. */
    juce::StringArray spoken() const;

    /** What Orca has spoken since it had spoken the given number of lines, after waiting
        for the given line among them. */
    juce::StringArray spokenSince (int lines, const juce::String& waitFor, std::chrono::milliseconds timeout = 5s) const;

    /** The session bus's socket. */
    juce::File sessionBusSocket() const { return base.getChildFile ("bus"); }

    /** Starts a program with the desktop's environment, on its X server. */
    std::unique_ptr<Process> start (const std::string& executable, const std::vector<std::string>& arguments) const;

    /** Runs the AT-SPI client (tests/atspi/atspi-client.py) to its end. */
    Ending client (const std::vector<std::string>& arguments) const;

    /** Starts the client in the background, as for following the focus. */
    std::unique_ptr<Process> clientInBackground (const std::vector<std::string>& arguments) const;

private:
    std::vector<std::string> environmentList() const;
    bool sessionCall (const std::vector<std::string>& arguments) const;
    std::string debugOutput() const;

    const XServer& x;
    juce::File base;
    std::string address, whyNot;
    std::unique_ptr<Process> sessionBus, busLauncher, screenReader;

    /** Orca's debug file: a terminal, so that Orca writes each line as it comes (it
        buffers what goes to a plain file), read as it is written. */
    class Terminal;
    std::unique_ptr<Terminal> debugFile;
};
} // namespace support
