// disc-master STAGED_FOLDER IMAGE [LABEL]
// Writes the disc image from a staged disc: the program at the root beside the item
// folders. Refuses, and leaves no image, when the disc would not work as shipped.

#include "DiscImage.h"
#include "launching/OpeningRule.h"

#include <iostream>
#include <sys/stat.h>

namespace
{
constexpr mode_t everyoneReadsAndRuns = S_IRUSR | S_IXUSR | S_IRGRP | S_IXGRP | S_IROTH | S_IXOTH;
constexpr mode_t anyExecuteBit = S_IXUSR | S_IXGRP | S_IXOTH;

mode_t modeOf (const juce::File& f)
{
    struct stat info;
    return stat (f.getFullPathName().toRawUTF8(), &info) == 0 ? info.st_mode : 0;
}

void addMode (const juce::File& f, mode_t bits)
{
    chmod (f.getFullPathName().toRawUTF8(), (modeOf (f) & 07777) | bits);
}

/** What keeps the staged disc from working as shipped; empty when nothing does. */
juce::StringArray problemsWith (const juce::File& staged)
{
    juce::StringArray problems;
    if (!staged.getChildFile (DiscImage::programName).existsAsFile())
        problems.add (juce::String ("the program ") + DiscImage::programName + " is missing");

    for (const auto& path : DiscImage::installerPaths())
        if (!staged.getChildFile (path).existsAsFile())
            problems.add ("the installer " + path + " is missing");

    // -r gives a file with any execute bit r-x for everyone, so a pack or document that
    // carries one would reach users as executable.
    for (const auto& entry : juce::RangedDirectoryIterator (staged, true, "*", juce::File::findFiles))
    {
        const auto file = entry.getFile();
        if (!OpeningRule::startsLikeAProgram (file.getFullPathName().toStdString()) && (modeOf (file) & anyExecuteBit) != 0)
            problems.add (file.getRelativePathFrom (staged) + " is no program but carries an execute bit (clear it with chmod a-x)");
    }
    return problems;
}

/** Every program and script, and every folder, r-x for everyone on the disc. */
void openUpPrograms (const juce::File& staged)
{
    for (const auto& entry : juce::RangedDirectoryIterator (staged, true, "*", juce::File::findFilesAndDirectories))
        if (entry.isDirectory() || OpeningRule::startsLikeAProgram (entry.getFile().getFullPathName().toStdString()))
            addMode (entry.getFile(), everyoneReadsAndRuns);
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc < 3 || argc > 4)
    {
        std::cerr << "usage: disc-master STAGED_FOLDER IMAGE [LABEL]\n";
        return 2;
    }

    const auto here = juce::File::getCurrentWorkingDirectory();
    const auto staged = here.getChildFile (argv[1]);
    const auto image = here.getChildFile (argv[2]);
    const juce::String label (argc == 4 ? argv[3] : DiscImage::defaultLabel);
    image.deleteFile();

    auto problems = problemsWith (staged);
    if (!DiscImage::isValidLabel (label))
        problems.add ("the label \"" + label + "\" is not 1 to 16 of A-Z, 0-9 and _");
    if (!problems.isEmpty())
    {
        std::cerr << "disc-master: refusing to write " << image.getFullPathName() << ":\n  "
                  << problems.joinIntoString ("\n  ") << "\n";
        return 1;
    }

    openUpPrograms (staged);
    const auto program = staged.getChildFile (DiscImage::programName);
    auto loader = juce::String (OpeningRule::elfInterpreter (program.getFullPathName().toStdString()));
    if (loader.isEmpty())
        loader = "/lib64/ld-linux-x86-64.so.2";
    const auto autorun = staged.getChildFile (DiscImage::autorunName);
    // A program whose need cannot be read is taken to need the newest the disc allows.
    const auto glibc = DiscImage::newestGlibcMinor (program);
    autorun.replaceWithText (DiscImage::autorunScript (loader, glibc > 0 ? glibc : DiscImage::maxGlibcMinor), false, false, "\n");
    addMode (autorun, everyoneReadsAndRuns);

    // Windows' AutoPlay offers the Windows program, where the disc holds one.
    if (staged.getChildFile (DiscImage::windowsProgramName).existsAsFile())
        staged.getChildFile (DiscImage::windowsAutorunName).replaceWithText (DiscImage::windowsAutorun(), false, false, nullptr);

    // Rock Ridge with permissions made uniform, plus Joliet for other systems. What a start
    // reads lies first, in the order it is read, so that the drive reads on without a seek
    // from the autorun file into the program (xorriso puts higher weights first).
    juce::StringArray command{ "xorriso", "-as", "mkisofs", "-r", "-J", "-V", label, "-quiet" };
    const char* startOrder[] = { DiscImage::autorunName, DiscImage::programName, DiscImage::windowsAutorunName, DiscImage::windowsProgramName };
    for (int i = 0; i < 4; ++i)
        if (staged.getChildFile (startOrder[i]).existsAsFile())
            command.addArray ({ "--sort-weight", juce::String (4 - i), juce::String ("/") + startOrder[i] });
    const auto partial = image.getSiblingFile (image.getFileName() + ".partial");
    command.addArray ({ "-o", partial.getFullPathName(), staged.getFullPathName() });
    juce::String output;
    const auto status = DiscImage::run (command, output);
    if (status != 0 || !partial.moveFileTo (image))
    {
        partial.deleteFile();
        std::cerr << "disc-master: xorriso failed (status " << status << "):\n"
                  << output << "\n";
        return 1;
    }

    std::cout << "disc-master: wrote " << image.getFullPathName() << " (" << image.getSize() << " bytes, label " << label << ")\n";
    return 0;
}
