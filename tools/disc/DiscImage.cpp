#include "DiscImage.h"

#include "AutorunTemplate.h"
#include "tools/disc/PackedProgramFile.h"
#include "tools/disc/Utf8Text.h"

#include "navigation/InstallerLauncher.h"

namespace
{
// glibc's own parts, FreeType, and the X11 libraries the framework opens at run time.
bool isAllowedLibrary (const juce::String& name)
{
    static const juce::StringArray glibcParts{ "libc.so.6", "libm.so.6", "libdl.so.2", "libpthread.so.0", "librt.so.1",
                                               "ld-linux-x86-64.so.2" };
    return glibcParts.contains (name) || name == "libfreetype.so.6" || name.startsWith ("libX") || name.startsWith ("libxcb");
}

/** "GLIBC_2.34" -> 34; -1 for any other version name. */
int glibcMinor (const juce::String& version)
{
    const auto rest = version.fromFirstOccurrenceOf ("GLIBC_2.", false, false);
    if (!version.startsWith ("GLIBC_2.") || rest.isEmpty() || !rest.containsOnly ("0123456789."))
        return -1;
    return rest.upToFirstOccurrenceOf (".", false, false).getIntValue();
}
} // namespace

bool DiscImage::isValidLabel (const juce::String& label)
{
    return label.isNotEmpty() && label.length() <= 16 && label.containsOnly ("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_");
}

bool DiscImage::isValidStickLabel (const juce::String& label)
{
    return isValidLabel (label) && label.length() <= 11;
}

bool DiscImage::isFat32Image (const juce::File& image)
{
    // The boot sector names its file system at byte 82, and ends with 55 AA.
    juce::FileInputStream in (image);
    char sector[512] = {};
    return in.openedOk() && in.read (sector, sizeof (sector)) == sizeof (sector) && std::memcmp (sector + 82, "FAT32   ", 8) == 0 && static_cast<unsigned char> (sector[510]) == 0x55 && static_cast<unsigned char> (sector[511]) == 0xaa;
}

juce::StringArray DiscImage::installerPaths()
{
    // The table's paths are ASCII, so below the root they read as text.
    juce::StringArray paths;
    for (int i = 0; i < numInstallers; ++i)
        paths.add (juce::String (installerFileIn ("/", i)).substring (1));
    return paths;
}

int DiscImage::run (const juce::StringArray& command, juce::String& output)
{
    juce::ChildProcess process;
    if (!process.start (command))
    {
        output = "cannot start " + command[0];
        return 127;
    }
    // A tool prints an image's names and labels as the image holds them, in any bytes.
    juce::MemoryOutputStream bytes;
    char buffer[8192];
    for (int got; (got = process.readProcessOutput (buffer, sizeof (buffer))) > 0;)
        bytes.write (buffer, static_cast<size_t> (got));
    output = Utf8Text::fromBytes (static_cast<const char*> (bytes.getData()), bytes.getDataSize());
    process.waitForProcessToFinish (-1);
    return static_cast<int> (process.getExitCode());
}

juce::String DiscImage::autorunScript (const juce::String& loader, int neededGlibcMinor)
{
    return juce::String (DiscImage::autorunTemplate)
        .replace ("@LOADER@", loader)
        .replace ("@GLIBC@", "2." + juce::String (neededGlibcMinor))
        .replace ("@PROGRAM@", programName);
}

juce::String DiscImage::windowsAutorun()
{
    // Windows reads it as plain text with CR LF line ends.
    return juce::String ("[autorun]\r\n") + "open=" + windowsProgramName + "\r\n" + "icon=" + windowsProgramName + ",0\r\n" + "label=ORVALIS Brelvan\r\n";
}

juce::StringArray DiscImage::windowsAutorunProblems (const juce::String& content)
{
    juce::StringArray problems, entries;
    bool inAutorunSection = false;
    for (auto line : juce::StringArray::fromLines (content))
    {
        line = line.trim();
        if (line.startsWithChar ('['))
            inAutorunSection = line.equalsIgnoreCase ("[autorun]");
        else if (inAutorunSection && line.containsChar ('='))
            entries.add (line.upToFirstOccurrenceOf ("=", false, false).trim().toLowerCase() + "=" + line.fromFirstOccurrenceOf ("=", false, false).trim());
    }

    const auto entry = [&] (const juce::String& key)
    {
        for (const auto& e : entries)
            if (e.startsWith (key + "="))
                return e.fromFirstOccurrenceOf ("=", false, false);
        return juce::String();
    };
    if (!entry ("open").equalsIgnoreCase (windowsProgramName))
        problems.add (juce::String ("its open entry does not name ") + windowsProgramName);
    if (!entry ("icon").startsWithIgnoreCase (windowsProgramName))
        problems.add (juce::String ("its icon entry does not name ") + windowsProgramName);
    if (entry ("label").isEmpty())
        problems.add ("it has no label entry");
    return problems;
}

namespace
{
/** The versions that objdump --dynamic-syms lists for a program's undefined symbols. */
juce::StringArray undefinedSymbolVersions (const juce::String& symbols)
{
    // An undefined symbol's line ends with its version ("Base" when it has none) and its name.
    juce::StringArray versions;
    for (const auto& line : juce::StringArray::fromLines (symbols))
    {
        const auto fields = juce::StringArray::fromTokens (line, " \t", "");
        if (fields.size() >= 3 && fields.contains ("*UND*"))
        {
            const auto version = fields[fields.size() - 2].removeCharacters ("()");
            if (version != "Base" && version != "*UND*" && !version.containsOnly ("0123456789abcdef"))
                versions.addIfNotAlreadyThere (version);
        }
    }
    return versions;
}
} // namespace

namespace
{
/** The ELF files a program's needs are read from: the program itself and, where it is the
    disc's packed program, the menu it carries, unpacked into a temporary file. */
struct ProgramParts
{
    explicit ProgramParts (const juce::File& program)
    {
        files.add (program);
        juce::MemoryBlock content;
        if (!program.loadFileAsData (content) || !PackedProgramFile::isPacked (content))
            return;
        const auto carried = PackedProgramFile::unpack (content);
        if (!carried || !unpacked.getFile().replaceWithData (carried->getData(), carried->getSize()))
            damaged = true;
        else
            files.add (unpacked.getFile());
    }

    juce::Array<juce::File> files;
    bool damaged = false;
    juce::TemporaryFile unpacked;
};
} // namespace

int DiscImage::newestGlibcMinor (const juce::File& program)
{
    const ProgramParts parts (program);
    int newest = -1;
    for (const auto& file : parts.files)
    {
        juce::String symbols;
        if (run ({ "objdump", "--dynamic-syms", file.getFullPathName() }, symbols) != 0)
            return -1;
        for (const auto& version : undefinedSymbolVersions (symbols))
            newest = std::max (newest, glibcMinor (version));
    }
    return parts.damaged ? -1 : newest;
}

juce::StringArray DiscImage::programNeedProblems (const juce::File& program, juce::String& summary)
{
    const ProgramParts parts (program);
    if (parts.damaged)
        return { program.getFileName() + " carries a damaged packed program" };

    juce::StringArray problems, needed, versions;
    for (const auto& file : parts.files)
    {
        juce::String dynamic, symbols;
        if (run ({ "readelf", "--dynamic", "--wide", file.getFullPathName() }, dynamic) != 0 || run ({ "objdump", "--dynamic-syms", file.getFullPathName() }, symbols) != 0)
            return { "cannot read " + program.getFileName() + " as an ELF program (readelf/objdump from binutils)" };
        for (const auto& line : juce::StringArray::fromLines (dynamic))
            if (line.contains ("(NEEDED)"))
                needed.addIfNotAlreadyThere (line.fromFirstOccurrenceOf ("[", false, false).upToFirstOccurrenceOf ("]", false, false));
        for (const auto& version : undefinedSymbolVersions (symbols))
            versions.addIfNotAlreadyThere (version);
    }

    for (const auto& library : needed)
        if (!isAllowedLibrary (library))
            problems.add ("needs " + library + ", which it must carry inside itself");

    int newest = 0;
    for (const auto& version : versions)
    {
        const auto minor = glibcMinor (version);
        if (minor < 0)
            problems.add ("asks for " + version + ", which no system library outside the C library may supply");
        else if (minor > maxGlibcMinor)
            problems.add ("asks for " + version + ", newer than glibc 2." + juce::String (maxGlibcMinor));
        newest = std::max (newest, minor);
    }

    summary = "needs " + needed.joinIntoString (", ") + "; newest symbol version GLIBC_2." + juce::String (newest) + (parts.files.size() > 1 ? " (first stage and packed menu)" : "");
    return problems;
}

std::map<juce::String, juce::String> DiscImage::modesFromListing (const juce::String& listing)
{
    std::map<juce::String, juce::String> modes;
    for (const auto& line : juce::StringArray::fromLines (listing))
    {
        // Each file's line: its mode string, then the rest as "ls -l" gives it, then '/path'.
        const auto mode = line.upToFirstOccurrenceOf (" ", false, false);
        if (mode.length() == 10 && juce::String ("-dlbcps").containsChar (mode[0]) && line.contains (" '/") && line.endsWithChar ('\''))
            modes[line.fromFirstOccurrenceOf (" '/", false, false).dropLastCharacters (1)] = mode;
    }
    return modes;
}

DiscImage::TocSummary DiscImage::summaryFromToc (const juce::String& toc)
{
    const auto field = [&toc] (const char* name)
    { return toc.fromFirstOccurrenceOf (name, false, false).upToFirstOccurrenceOf ("\n", false, false); };
    const auto offers = field ("ISO offers   :");

    // The label is the image's own text and goes into the report: only printable ASCII
    // passes, so that no byte of it can end a report line and forge the next one.
    const auto given = field ("Volume Id    : ").trimEnd();
    std::string label;
    for (const auto* c = given.toRawUTF8(); *c != 0; ++c)
        label += (*c >= 0x20 && *c < 0x7f) ? *c : '?';
    return { offers.contains ("Rock_Ridge"), offers.contains ("Joliet"), juce::String (label) };
}
