#pragma once

#include "Fixtures.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace support
{
/** Delivers what has been posted to the message queue, such as page messages. */
inline void runMessageLoop (int milliseconds = 50)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

/** Listens to a page and keeps every message it broadcasts. */
struct MessageRecorder : public juce::ActionListener
{
    void actionListenerCallback (const juce::String& message) override { messages.add (message); }
    juce::StringArray messages;
};

/** Replaces the desktop's opener for as long as it lives: a script first on PATH
    that writes each call's arguments, one per line, into a log. */
class RecordingOpener
{
public:
    RecordingOpener()
    {
        folder.createDirectory();
        support::writeRecordingOpener (folder.getChildFile ("xdg-open"), log.getFullPathName());
        oldPath = juce::SystemStats::getEnvironmentVariable ("PATH", {});
        setenv ("PATH", (folder.getFullPathName() + ":" + oldPath).toRawUTF8(), 1);
    }

    ~RecordingOpener()
    {
        setenv ("PATH", oldPath.toRawUTF8(), 1);
        folder.deleteRecursively();
    }

    /** What the opener was given so far, waiting a little for it to run. */
    juce::StringArray calls (int expected = 1) const
    {
        juce::StringArray lines;
        for (int i = 0; i < 100; ++i)
        {
            lines = juce::StringArray::fromLines (log.loadFileAsString().trimEnd());
            lines.removeEmptyStrings();
            for (int line = lines.size(); --line >= 0;)
                if (lines[line].startsWith ("open args="))
                    lines.remove (line);
            if (lines.size() >= expected)
                break;
            juce::Thread::sleep (20);
        }
        return lines;
    }

    void forget() const { log.deleteFile(); }

private:
    juce::File folder{ juce::File::createTempFile ("opener") };
    juce::File log{ folder.getChildFile ("calls.log") };
    juce::String oldPath;
};

/** Channels of two colours differ by at most the tolerance. */
inline bool near (juce::Colour a, juce::Colour b, int tolerance = 2)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
}
} // namespace support
