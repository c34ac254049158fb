#pragma once

#include <juce_core/juce_core.h>

#include <sys/types.h>

namespace support
{
/** Writes an executable script that stands in for the desktop's opener: each call appends
    "open args=N" and then each argument on a line of its own to the log, a path or a shell
    expression such as "$BRELVAN_TEST_LOG". */
void writeRecordingOpener (const juce::File& script, const juce::String& log);

/** The process's own children that have ended but were never reaped. */
int zombieChildren (pid_t parent);

/** A tmpfs mounted noexec over a folder for as long as it lives; mounting needs root. */
class NoexecMount
{
public:
    explicit NoexecMount (const juce::File& folder);
    ~NoexecMount();

    bool isMounted() const noexcept { return mounted; }

private:
    juce::File folder;
    bool mounted = false;

    JUCE_DECLARE_NON_COPYABLE (NoexecMount)
};
} // namespace support
