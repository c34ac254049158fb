// disc-check IMAGE          checks a disc image before burning, or a stick image (FAT32)
//                           before writing it, without mounting either
// disc-check --program FILE checks only what a program needs at run time (Linux or Windows)
// One line for each check; the exit status is 1 when any of them failed.

#include "DiscImage.h"
#include "WindowsImports.h"
#include "launching/OpeningRule.h"

#include <iostream>

namespace
{
int failures = 0;

void report (bool ok, const juce::String& what)
{
    std::cout << (ok ? "ok: " : "FAILED: ") << what << "\n";
    failures += ok ? 0 : 1;
}

void checkProgramNeeds (const juce::File& program)
{
    juce::String summary;
    const auto problems = DiscImage::programNeedProblems (program, summary);
    report (problems.isEmpty(), juce::String (DiscImage::programName) + " needs only glibc up to 2." + juce::String (DiscImage::maxGlibcMinor) + ", FreeType and X11: " + (problems.isEmpty() ? summary : problems.joinIntoString ("; ")));
}

bool startsLikeAWindowsProgram (const juce::File& f)
{
    juce::FileInputStream in (f);
    char start[2] = {};
    return in.openedOk() && in.read (start, 2) == 2 && start[0] == 'M' && start[1] == 'Z';
}

/** Whose certificate signed the program: the subject that issued no other certificate
    of the signature, so the signer rather than a certificate of its chain. */
juce::String signerOf (const juce::MemoryBlock& signature)
{
    const juce::TemporaryFile der;
    juce::String certificates;
    if (!der.getFile().replaceWithData (signature.getData(), signature.getSize()) || DiscImage::run ({ "openssl", "pkcs7", "-inform", "DER", "-in", der.getFile().getFullPathName(), "-print_certs", "-noout" }, certificates) != 0)
        return "a signature that openssl cannot read";

    juce::StringArray subjects, issuers;
    for (const auto& line : juce::StringArray::fromLines (certificates))
        if (line.startsWith ("subject="))
            subjects.add (line.fromFirstOccurrenceOf ("=", false, false).trim());
        else if (line.startsWith ("issuer="))
            issuers.add (line.fromFirstOccurrenceOf ("=", false, false).trim());
    for (int i = 0; i < subjects.size(); ++i)
        if (!issuers.contains (subjects[i]) || subjects[i] == issuers[i])
            return subjects[i];
    return subjects.isEmpty() ? juce::String ("a signature without certificates") : subjects[0];
}

void checkWindowsProgram (const juce::File& program)
{
    juce::MemoryBlock content;
    std::vector<WindowsImports::Library> libraries;
    juce::String error;
    const auto name = program.getFileName();
    if (!program.loadFileAsData (content) || !WindowsImports::read (content, libraries, error))
    {
        report (false, "cannot read the imports of " + name + ": " + (error.isEmpty() ? juce::String ("unreadable") : error));
        return;
    }

    const auto problems = WindowsImports::windows7Problems (libraries);
    juce::StringArray names;
    size_t functions = 0;
    for (const auto& library : libraries)
    {
        names.add (library.name);
        functions += static_cast<size_t> (library.functions.size());
    }
    if (problems.isEmpty())
        report (true, name + " starts on Windows 7 SP1 and later: " + juce::String (functions) + " functions from " + names.joinIntoString (", "));
    else
        report (false, name + " would not start on Windows 7 SP1: it " + problems.joinIntoString ("; it "));

    // Windows then keeps running it when its disc leaves the drive or its share goes.
    if (WindowsImports::runsFromSwap (content))
        report (true, name + " is copied to memory before it runs from removable or network media");
    else
        report (false, name + " would run from its disc or share, and fail when that goes: link it with the header's "
                              "IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP and IMAGE_FILE_NET_RUN_FROM_SWAP (lld: -swaprun:cd and -swaprun:net)");

    const auto signature = WindowsImports::signature (content);
    std::cout << "info: " << name << " is " << (signature.isEmpty() ? juce::String ("not signed") : "signed by " + signerOf (signature)) << "\n";
}

/** What the image says of each file: its mode string ("-r-xr-xr-x"), by path without the leading '/'. */
std::map<juce::String, juce::String> modesIn (const juce::String& image)
{
    juce::String listing;
    DiscImage::run ({ "xorriso", "-indev", image, "-find", "/", "-exec", "lsdl", "--" }, listing);
    return DiscImage::modesFromListing (listing);
}

bool everyoneReadsAndRuns (const juce::String& mode)
{
    return mode.length() == 10 && mode[1] == 'r' && mode[3] == 'x' && mode[4] == 'r' && mode[6] == 'x' && mode[7] == 'r' && mode[9] == 'x';
}

bool anyoneRuns (const juce::String& mode)
{
    return mode.length() == 10 && (mode[3] != '-' || mode[6] != '-' || mode[9] != '-');
}

/** What a disc and a stick hold alike: autorun.sh, the Windows program and its autorun.inf,
    and what the Linux program needs. */
void checkContent (const juce::File& root)
{
    const auto autorunPresent = root.getChildFile (DiscImage::autorunName).existsAsFile();
    report (autorunPresent, juce::String (DiscImage::autorunName) + (autorunPresent ? " is present" : " is missing"));

    // For Windows: the program, and the autorun.inf through which AutoPlay offers it.
    const auto windowsProgram = root.getChildFile (DiscImage::windowsProgramName);
    const auto windowsAutorun = root.getChildFile (DiscImage::windowsAutorunName);
    juce::StringArray windowsProblems;
    const bool hasWindowsProgram = startsLikeAWindowsProgram (windowsProgram);
    if (!hasWindowsProgram)
        windowsProblems.add (juce::String (DiscImage::windowsProgramName) + " is missing or no Windows program");
    if (!windowsAutorun.existsAsFile())
        windowsProblems.add (juce::String (DiscImage::windowsAutorunName) + " is missing");
    else
        for (const auto& problem : DiscImage::windowsAutorunProblems (windowsAutorun.loadFileAsString()))
            windowsProblems.add (juce::String (DiscImage::windowsAutorunName) + ": " + problem);
    report (windowsProblems.isEmpty(), juce::String ("for Windows, ") + DiscImage::windowsProgramName + " and " + DiscImage::windowsAutorunName + (windowsProblems.isEmpty() ? " (open, icon, label) are present" : ": " + windowsProblems.joinIntoString ("; ")));

    if (hasWindowsProgram)
        checkWindowsProgram (windowsProgram);

    const auto program = root.getChildFile (DiscImage::programName);
    if (program.existsAsFile())
        checkProgramNeeds (program);
    else
        report (false, juce::String (DiscImage::programName) + " is missing, so what it needs cannot be read");
}

int checkImage (const juce::String& image)
{
    juce::String toc;
    if (DiscImage::run ({ "xorriso", "-indev", image, "-toc", "-pvd_info" }, toc) != 0)
    {
        report (false, "cannot read " + image + " as an ISO 9660 image:\n" + toc);
        return 1;
    }
    const auto summary = DiscImage::summaryFromToc (toc);
    const bool rockRidge = summary.rockRidge, joliet = summary.joliet;
    report (rockRidge && joliet,
            rockRidge && joliet ? juce::String ("Rock Ridge and Joliet are present")
                                : juce::String (rockRidge ? "" : "no Rock Ridge: desktops would show every file as mode 0400 or 0444, nothing executable and names as the other trees give them; ") + (joliet ? "" : "no Joliet: other systems would see only short upper-case names; ") + "master with xorriso -as mkisofs -r -J");

    const auto& label = summary.label;
    report (DiscImage::isValidLabel (label), "the label \"" + label + "\" " + (DiscImage::isValidLabel (label) ? "is" : "is not") + " 1 to 16 of A-Z, 0-9 and _");

    // The content, to tell programs from packs by what they are.
    const juce::TemporaryFile extracted;
    const auto root = extracted.getFile();
    juce::String ignored;
    DiscImage::run ({ "osirrox", "-indev", image, "-extract", "/", root.getFullPathName() }, ignored);
    const auto modes = modesIn (image);
    const auto modeOf = [&] (const juce::String& path)
    { const auto found = modes.find (path); return found != modes.end() ? found->second : juce::String(); };

    juce::StringArray runnable, notRunnable, packs, openPacks;
    runnable.add (DiscImage::programName);
    for (const auto& path : DiscImage::installerPaths())
        if (OpeningRule::startsLikeAProgram (root.getChildFile (path).getFullPathName().toStdString()))
            runnable.add (path);

    // Without Rock Ridge the image records no permissions; xorriso only makes some up.
    const juce::String noModes ("the image records no permissions (no Rock Ridge)");
    for (const auto& path : runnable)
        if (!everyoneReadsAndRuns (modeOf (path)) || !rockRidge)
            notRunnable.add (path + (modeOf (path).isEmpty() ? " (missing)" : " (" + modeOf (path) + ")"));
    report (notRunnable.isEmpty(), "the program and the installers that are programs or scripts are r-x for everyone: " + (notRunnable.isEmpty() ? runnable.joinIntoString (", ") : !rockRidge ? noModes
                                                                                                                                                                                               : "not so for " + notRunnable.joinIntoString (", ")));

    for (const auto& [path, mode] : modes)
        if (!mode.startsWithChar ('d') && !OpeningRule::startsLikeAProgram (root.getChildFile (path).getFullPathName().toStdString()))
        {
            packs.add (path);
            if (anyoneRuns (mode) || !rockRidge)
                openPacks.add (path + " (" + mode + ")");
        }
    report (openPacks.isEmpty(), "packs and documents are not executable: " + (openPacks.isEmpty() ? packs.joinIntoString (", ") : !rockRidge ? noModes
                                                                                                                                              : "executable: " + openPacks.joinIntoString (", ")));

    checkContent (root);

    // Extracted folders keep the disc's r-x; open them so the temporary copy can go.
    DiscImage::run ({ "chmod", "-R", "u+w", root.getFullPathName() }, ignored);
    return failures == 0 ? 0 : 1;
}

/** A stick's image: a FAT32 file system, read with mtools. */
int checkStick (const juce::String& image)
{
    juce::String answer;
    DiscImage::run ({ "mlabel", "-i", image, "-s", "::" }, answer);
    const auto label = answer.fromFirstOccurrenceOf ("Volume label is ", false, false).upToFirstOccurrenceOf ("\n", false, false).trim();
    report (true, "a FAT32 stick");
    report (DiscImage::isValidStickLabel (label), "the label \"" + label + "\" " + (DiscImage::isValidStickLabel (label) ? "is" : "is not") + " 1 to 11 of A-Z, 0-9 and _");
    std::cout << "info: a stick has no Rock Ridge, and there are no execute bits to check: desktops show its files with none (FAT as "
                 "udisks2 mounts it gives them to .exe, .com and .bat alone; exFAT to every file), so autorun.sh starts the menu through "
                 "the dynamic loader, and the menu its installers through theirs. Windows takes only icon= and label= of autorun.inf "
                 "on a stick: its user starts "
              << DiscImage::windowsProgramName << "\n";

    const juce::TemporaryFile extracted;
    const auto root = extracted.getFile();
    root.createDirectory();
    if (DiscImage::run ({ "mcopy", "-s", "-n", "-i", image, "::/", root.getFullPathName() + "/" }, answer) != 0)
    {
        report (false, "cannot read the files of " + image + " (mtools): " + answer);
        return 1;
    }

    // Long names as on the disc, in their case, or the menu would find no installer.
    juce::StringArray names{ DiscImage::programName, DiscImage::autorunName }, missing;
    names.addArray (DiscImage::installerPaths());
    for (const auto& path : names)
        if (!root.getChildFile (path).existsAsFile())
            missing.add (path);
    report (missing.isEmpty(), "the names are kept as on the disc: " + (missing.isEmpty() ? names.joinIntoString (", ") : "not found: " + missing.joinIntoString (", ")));

    checkContent (root);
    return failures == 0 ? 0 : 1;
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc == 3 && juce::String (argv[1]) == "--program")
    {
        const auto program = juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]);
        if (startsLikeAWindowsProgram (program))
            checkWindowsProgram (program);
        else
            checkProgramNeeds (program);
        return failures == 0 ? 0 : 1;
    }
    if (argc != 2)
    {
        std::cerr << "usage: disc-check IMAGE | disc-check --program FILE\n";
        return 2;
    }
    const auto image = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    return DiscImage::isFat32Image (image) ? checkStick (image.getFullPathName()) : checkImage (image.getFullPathName());
}
