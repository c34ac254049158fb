#include "navigation/InstallerLauncher.h"
#include "support/InProcess.h"

#include <climits>
#include <gtest/gtest.h>
#include <unistd.h>

TEST (InstallerLauncher, FindsEachInstallerBesideTheProgramWhateverTheFolderIsCalled)
{
    // Any bytes at all, as a disc's label may give: UTF-8, shell syntax, and bytes that are
    // no UTF-8 (Latin-1, a stray continuation, an overlong form).
    for (const std::string folder : { "/media/cdrom/Brelvan Disc \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac $(x) 'q'", "/media/user/caf\xe9",
                                      "/media/\xff\xfe\xc0\x80/O", "/run/media/a\x80"
                                                                   "b/" })
    {
        const auto base = folder.back() == '/' ? folder : folder + "/";
        EXPECT_EQ (installerFileIn (folder, 0), base + "Orvalis/Orvalis.exe");
        EXPECT_EQ (installerFileIn (folder, 1), base + "Tessaly/Tessaly.exe");
        EXPECT_EQ (installerFileIn (folder, 2), base + "Marrowby/Marrowby.exe");
        EXPECT_EQ (installerFileIn (folder, 3), base + "Kestrune/Kestrune.tpk");
        EXPECT_EQ (installerFileIn (folder, 4), "");
        EXPECT_EQ (installerFileIn (folder, -1), "");
    }

    // A disc mounted at the root of the file system.
    EXPECT_EQ (installerFileIn ("/", 3), "/Kestrune/Kestrune.tpk");
    EXPECT_EQ (installerFileIn ("", 0), "") << "no folder, no installer";
}

TEST (InstallerLauncher, LooksBesideTheRunningProgramNotInTheWorkingFolder)
{
    const juce::TemporaryFile elsewhere;
    ASSERT_TRUE (elsewhere.getFile().createDirectory());
    const auto before = juce::File::getCurrentWorkingDirectory();
    ASSERT_TRUE (elsewhere.getFile().setAsCurrentWorkingDirectory());

    char executable[PATH_MAX] = {};
    ASSERT_GT (readlink ("/proc/self/exe", executable, sizeof (executable) - 1), 0);
    const std::string ownFile (executable);
    EXPECT_EQ (programFolder(), ownFile.substr (0, ownFile.find_last_of ('/')));
    EXPECT_NE (programFolder(), elsewhere.getFile().getFullPathName().toStdString());

    before.setAsCurrentWorkingDirectory();
    elsewhere.getFile().deleteRecursively();
}
