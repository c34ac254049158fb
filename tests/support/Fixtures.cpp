#include "Fixtures.h"

#include <sys/mount.h>

namespace support
{
void writeRecordingOpener (const juce::File& script, const juce::String& log)
{
    script.getParentDirectory().createDirectory();
    // LF line ends: a CR after the #! line would break it.
    script.replaceWithText ("#!/bin/sh\n"
                            "printf 'open args=%s\\n' \"$#\" >> \"" +
                                log + "\"\n"
                                      "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"" +
                                log + "\"; done\n",
                            false, false, "\n");
    script.setExecutePermission (true);
}

int zombieChildren (pid_t parent)
{
    int zombies = 0;
    for (const auto& entry : juce::RangedDirectoryIterator (juce::File ("/proc"), false, "*", juce::File::findDirectories))
    {
        const auto stat = entry.getFile().getChildFile ("stat").loadFileAsString();
        const auto fields = juce::StringArray::fromTokens (stat.fromLastOccurrenceOf (")", false, false), " ", "");
        if (fields.size() > 2 && fields[1] == "Z" && fields[2].getIntValue() == parent)
            ++zombies;
    }
    return zombies;
}

NoexecMount::NoexecMount (const juce::File& f)
    : folder (f)
{
    folder.createDirectory();
    mounted = mount ("tmpfs", folder.getFullPathName().toRawUTF8(), "tmpfs", MS_NOEXEC | MS_NOSUID | MS_NODEV, "size=16m") == 0;
}

NoexecMount::~NoexecMount()
{
    if (mounted)
        umount2 (folder.getFullPathName().toRawUTF8(), MNT_DETACH);
}
} // namespace support
