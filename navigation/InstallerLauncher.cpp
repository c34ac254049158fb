#include "InstallerLauncher.h"

#include "launching/DesktopOpener.h"
#include "launching/RunningProgram.h"

namespace
{
// Item folder and file, in item order, written the way the disc was mastered.
constexpr const char* installerTable[numInstallers] = {
    "Orvalis\\Orvalis.exe",
    "Tessaly\\Tessaly.exe",
    "Marrowby\\Marrowby.exe",
    "Kestrune\\Kestrune.tpk",
};
} // namespace

juce::File programFolder()
{
    return RunningProgram::file().getParentDirectory();
}

juce::File installerFileIn (const juce::File& folder, int installerIndex)
{
    if (!juce::isPositiveAndBelow (installerIndex, numInstallers))
        return {};

    const auto relative = juce::String (installerTable[installerIndex]).replaceCharacter ('\\', juce::File::getSeparatorChar());
    return folder.getChildFile (relative);
}

void launchInstaller (int installerIndex)
{
    const auto installer = installerFileIn (programFolder(), installerIndex);
    if (installer != juce::File() && installer.exists())
        DesktopOpener::openFile (installer);
}
