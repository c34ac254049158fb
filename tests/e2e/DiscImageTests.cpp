// The disc image: mastered, and checked before burning.

#include "support/Autorun.h"

#include <unistd.h>

using namespace support;

TEST (DiscImage, TheBuiltImagePassesEveryCheckBeforeBurning)
{
    if (!BRELVAN_PORTABLE_BUILD)
        GTEST_SKIP() << "a sanitized build is not the portable program that goes on the disc";
    juce::ChildProcess check;
    ASSERT_TRUE (check.start (juce::StringArray (BRELVAN_DISC_CHECK, BRELVAN_DISC_IMAGE)));
    const auto output = check.readAllProcessOutput();
    check.waitForProcessToFinish (30000);
    EXPECT_EQ (check.getExitCode(), 0u) << output;

    auto lines = juce::StringArray::fromLines (output.trimEnd());
    // One informational line, whether the Windows program is signed; every other line is a check.
    EXPECT_NE (output.contains ("info: OrvalisBrelvan.exe is not signed\n"), output.contains ("info: OrvalisBrelvan.exe is signed by ")) << output;
    for (int i = lines.size(); --i >= 0;)
        if (lines[i].startsWith ("info: "))
            lines.remove (i);
    EXPECT_EQ (lines.size(), 9) << output;
    for (const auto& line : lines)
        EXPECT_TRUE (line.startsWith ("ok: ")) << line;
    EXPECT_TRUE (output.contains ("OrvalisBrelvan.exe starts on Windows 7 SP1 and later")) << output;
    EXPECT_TRUE (output.contains ("OrvalisBrelvan.exe is copied to memory before it runs from removable or network media")) << output;
    EXPECT_TRUE (output.contains ("Rock Ridge and Joliet")) << output;
    EXPECT_TRUE (output.contains ("\"ORVALIS_BRELVAN\"")) << output;
}

TEST (DiscImage, TheProgramNeedsOnlyGlibcFreeTypeAndX11)
{
    if (!BRELVAN_PORTABLE_BUILD)
        GTEST_SKIP() << "a sanitized build is not the portable program that goes on the disc";
    juce::ChildProcess check;
    ASSERT_TRUE (check.start (juce::StringArray (BRELVAN_DISC_CHECK, "--program", juce::String (programPath()))));
    const auto output = check.readAllProcessOutput();
    check.waitForProcessToFinish (30000);
    EXPECT_EQ (check.getExitCode(), 0u) << output;
    EXPECT_TRUE (output.startsWith ("ok: ")) << output;
    for (const auto* unwanted : { "libstdc++", "libgcc_s", "libpng", "libjpeg", "libz.", "GLIBCXX", "GLIBC_2.35", "GLIBC_2.36" })
        EXPECT_FALSE (output.contains (unwanted)) << unwanted << " in " << output;
}

TEST (DiscImage, AnImageWithoutRockRidgeIsRejectedWithTheReason)
{
    Disc disc;
    const auto image = disc.workingFolder().getChildFile ("joliet-only.iso");
    ASSERT_TRUE (succeeds ({ "xorriso", "-rockridge", "off", "-joliet", "on", "-volid", "ORVALIS_BRELVAN",
                             "-outdev", image.getFullPathName().toStdString(), "-map", disc.root().getFullPathName().toStdString(), "/" }));

    juce::ChildProcess check;
    ASSERT_TRUE (check.start (juce::StringArray (BRELVAN_DISC_CHECK, image.getFullPathName())));
    const auto output = check.readAllProcessOutput();
    check.waitForProcessToFinish (30000);
    EXPECT_EQ (check.getExitCode(), 1u) << output;
    EXPECT_TRUE (output.contains ("FAILED: no Rock Ridge")) << output;
    EXPECT_TRUE (output.contains ("xorriso -as mkisofs -r -J")) << output;
}

TEST (DiscImage, MasteringRefusesADiscThatWouldNotWorkAndWritesNoImage)
{
    Disc missing;
    missing.root().getChildFile ("Marrowby/Marrowby.exe").deleteFile();
    const auto image = missing.workingFolder().getChildFile ("disc.iso");
    image.replaceWithText ("an older image");
    auto ending = masterImage (missing.root(), image);
    EXPECT_EQ (ending.status, std::optional<int> (1));
    EXPECT_NE (ending.errors.find ("Marrowby/Marrowby.exe is missing"), std::string::npos) << ending.errors;
    EXPECT_FALSE (image.exists());

    Disc executablePack;
    chmod (executablePack.root().getChildFile ("Kestrune/Kestrune.tpk").getFullPathName().toRawUTF8(), 0755);
    ending = masterImage (executablePack.root(), image);
    EXPECT_EQ (ending.status, std::optional<int> (1));
    EXPECT_NE (ending.errors.find ("Kestrune/Kestrune.tpk is no program but carries an execute bit"), std::string::npos) << ending.errors;
    EXPECT_FALSE (image.exists());
}
