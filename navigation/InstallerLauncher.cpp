#include "InstallerLauncher.h"

#include "launching/DesktopOpener.h"
#include "launching/RunningProgram.h"
#include "pages/BundleItems.h"

NativePath programFolder()
{
    return NativePaths::folderOf (RunningProgram::file());
}

NativePath installerFileIn (const NativePath& folder, int installerIndex)
{
    if (!juce::isPositiveAndBelow (installerIndex, numInstallers))
        return {};
    return NativePaths::childOf (folder, BundleItems::items[static_cast<size_t> (installerIndex)].installer);
}

// The opener starts nothing for a path where no file or folder is.
void launchInstaller (int installerIndex)
{
    if (const auto installer = installerFileIn (programFolder(), installerIndex); installer != NativePath())
        DesktopOpener::openFile (installer);
}
