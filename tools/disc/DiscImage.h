#pragma once

// What the disc tools share: the rules a disc must meet, and the way they read images
// and programs through Debian's xorriso and binutils.

#include <juce_core/juce_core.h>

#include <map>

namespace DiscImage
{
/** The program's file name at the root of the disc. */
constexpr const char* programName = "OrvalisBrelvan";

/** The file that desktops run, after asking, when the disc is inserted. */
constexpr const char* autorunName = "autorun.sh";

/** The Windows program at the root, and the file by which Windows' AutoPlay offers it. */
constexpr const char* windowsProgramName = "OrvalisBrelvan.exe";
constexpr const char* windowsAutorunName = "autorun.inf";

/** The autorun.inf that offers the Windows program, with its icon and the bundle's name. */
juce::String windowsAutorun();

/** What autorun.inf lacks of its open, icon and label entries; empty when nothing. */
juce::StringArray windowsAutorunProblems (const juce::String& content);

/** The label the tools give a disc. */
constexpr const char* defaultLabel = "ORVALIS_BRELVAN";

/** The newest glibc symbol version the program may ask for, 2.<this>; set by the build. */
constexpr int maxGlibcMinor = BRELVAN_MAX_GLIBC_MINOR;

/** A volume label that every system shows alike: 1 to 16 of A-Z, 0-9 and _. */
bool isValidLabel (const juce::String&);

/** The label make-stick.sh gives a stick: FAT keeps 11 characters. */
constexpr const char* defaultStickLabel = "BRELVAN";

/** A FAT volume label that every system shows alike: 1 to 11 of A-Z, 0-9 and _. */
bool isValidStickLabel (const juce::String&);

/** Whether an image holds a FAT32 file system (a stick's) rather than ISO 9660, by its boot sector. */
bool isFat32Image (const juce::File&);

/** The four installers' paths relative to the disc's root, with '/' between folder and file. */
juce::StringArray installerPaths();

/** Runs a command to its end; its exit code, with everything it wrote in output. */
int run (const juce::StringArray& command, juce::String& output);

/** What xorriso's "-find / -exec lsdl" prints, read back: each file's mode string
    ("-r-xr-xr-x") by its path without the leading '/'. Lines of any other shape are passed over. */
std::map<juce::String, juce::String> modesFromListing (const juce::String& listing);

/** What xorriso's "-toc -pvd_info" says of an image's trees and label. */
struct TocSummary
{
    bool rockRidge = false, joliet = false;
    juce::String label;
};
TocSummary summaryFromToc (const juce::String& toc);

/** The autorun script (tools/disc/autorun.sh.in) for a program whose dynamic loader is the
    given one and that needs glibc 2.neededGlibcMinor. On an older system the loader's own
    complaint would go to a standard error nobody sees, so the script tells the person
    instead and starts nothing. No path with a space stands unquoted in it, and nothing
    depends on where the disc is mounted. */
juce::String autorunScript (const juce::String& loader, int neededGlibcMinor);

/** The newest glibc 2.x that a program's symbol versions ask for (x), or -1 when unknown.
    The disc's packed program is read with the menu it carries, here and below. */
int newestGlibcMinor (const juce::File& program);

/** What is wrong with a program's run-time needs: libraries outside glibc, FreeType and
    X11, or symbol versions past glibc 2.34; empty when nothing is. The summary says
    what it needs. */
juce::StringArray programNeedProblems (const juce::File& program, juce::String& summary);
} // namespace DiscImage
