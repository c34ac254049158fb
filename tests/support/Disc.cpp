#include "Disc.h"

#include <csignal>
#include <sys/stat.h>

namespace support
{
namespace
{
    void writeScript (const juce::File& file, const juce::String& body)
    {
        file.getParentDirectory().createDirectory();
        // LF line ends: a CR after the #! line would break it.
        file.replaceWithText ("#!/bin/sh\n" + body, false, false, "\n");
        file.setExecutePermission (true);
    }
} // namespace

Disc::Disc()
    : Disc (Options{})
{
}

Disc::Disc (const Options& options)
{
    base = juce::File::createTempFile ("brelvan-disc");
    base.createDirectory();
    workingFolder().createDirectory();
    rootFolder = base.getChildFile (juce::String::fromUTF8 (options.folderName.c_str()));
    rootFolder.createDirectory();
    logFile = base.getChildFile ("log.txt");
    openerFolder = base.getChildFile ("bin");

    juce::File (programPath()).copyFileTo (program());
    program().setExecutePermission (true);

    const auto standIn = juce::String (standInRecord) + "exec sleep \"${BRELVAN_TEST_SLEEP:-0}\"\n";
    const auto wanted = [&] (const char* item)
    { return std::find (options.missingItems.begin(), options.missingItems.end(), item) == options.missingItems.end(); };

    for (auto* item : { "Orvalis", "Tessaly", "Marrowby" })
        if (wanted (item))
            writeScript (rootFolder.getChildFile (item).getChildFile (juce::String (item) + ".exe"), standIn);

    if (wanted ("Kestrune"))
    {
        rootFolder.getChildFile ("Kestrune").createDirectory();
        rootFolder.getChildFile ("Kestrune/Kestrune.tpk").replaceWithText ("pack");
    }

    writeRecordingOpener (openerFolder.getChildFile ("xdg-open"), "$BRELVAN_TEST_LOG");

    installerSecondsSetting = options.installerSeconds;
}

Disc::~Disc()
{
    for (auto pid : installerPids())
        kill (pid, SIGKILL);
    base.deleteRecursively();
}

std::unique_ptr<Process> Disc::start (const XServer& server, const std::vector<std::string>& args) const
{
    return startAs (server, program().getFullPathName().toStdString(), args, workingFolder().getFullPathName().toStdString());
}

std::unique_ptr<Process> Disc::startAs (const XServer& server, const std::string& executable, const std::vector<std::string>& args,
                                        const std::string& fromFolder) const
{
    return std::make_unique<Process> (server, executable, args, fromFolder, environment());
}

std::map<std::string, std::string> Disc::environment() const
{
    return { { "PATH", searchPath() },
             { "BRELVAN_TEST_LOG", logFile.getFullPathName().toStdString() },
             { "BRELVAN_TEST_SLEEP", std::to_string (installerSecondsSetting) } };
}

std::string Disc::searchPath() const
{
    return (openerFolder.getFullPathName() + ":" + juce::SystemStats::getEnvironmentVariable ("PATH", "/usr/bin:/bin")).toStdString();
}

void Disc::putInstaller (const std::string& relativePath, const juce::MemoryBlock& content, int mode) const
{
    const auto file = rootFolder.getChildFile (juce::String (relativePath));
    file.getParentDirectory().createDirectory();
    file.replaceWithData (content.getData(), content.getSize());
    chmod (file.getFullPathName().toRawUTF8(), static_cast<mode_t> (mode));
}

juce::StringArray Disc::log (int atLeast, std::chrono::milliseconds timeout) const
{
    return logLines (logFile, atLeast, timeout);
}

juce::StringArray Disc::runs (int atLeast, std::chrono::milliseconds timeout) const
{
    auto lines = log (atLeast, timeout);
    for (auto& line : lines)
        line = line.upToFirstOccurrenceOf (" pid=", false, false);
    return lines;
}

juce::StringArray Disc::strayFiles() const
{
    juce::StringArray stray;
    for (const auto& entry : juce::RangedDirectoryIterator (base, true, "*", juce::File::findFiles))
    {
        const auto f = entry.getFile();
        if (f != logFile && f != program() && !f.isAChildOf (openerFolder) && f.getParentDirectory().getParentDirectory() != rootFolder)
            stray.add (f.getFullPathName());
    }
    for (auto folder : { juce::File ("/tmp"), juce::File::getCurrentWorkingDirectory() })
        for (auto* name : { "injected", "injected1", "injected2", "injected3", "injected4" })
            if (folder.getChildFile (name).exists())
                stray.add (folder.getChildFile (name).getFullPathName());
    return stray;
}

std::vector<int> Disc::installerPids() const
{
    std::vector<int> pids;
    for (auto& line : juce::StringArray::fromLines (logFile.loadFileAsString()))
        // A line without a number (a stand-in that records other things) names no process:
        // 0 or less would signal a whole process group.
        if (const auto pid = line.fromLastOccurrenceOf (" pid=", false, false).getIntValue(); line.startsWith ("run ") && pid > 0)
            pids.push_back (pid);
    return pids;
}

juce::MemoryBlock Disc::scriptStandIn()
{
    const auto script = juce::String ("#!/bin/sh\n") + standInRecord;
    return { script.toRawUTF8(), script.getNumBytesAsUTF8() };
}
} // namespace support
