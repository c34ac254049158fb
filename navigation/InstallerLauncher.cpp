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

NativePath programFolder()
{
    return NativePaths::folderOf (RunningProgram::file());
}

NativePath installerFileIn (const NativePath& folder, int installerIndex)
{
    if (!juce::isPositiveAndBelow (installerIndex, numInstallers))
        return {};
    return NativePaths::childOf (folder, installerTable[installerIndex]);
}

// The opener starts nothing for a path where no file or folder is.
void launchInstaller (int installerIndex)
{
    if (const auto installer = installerFileIn (programFolder(), installerIndex); installer != NativePath())
        DesktopOpener::openFile (installer);
}
