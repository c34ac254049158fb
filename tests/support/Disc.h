#pragma once

#include "support/Fixtures.h"
#include "support/Processes.h"
#include "support/Screenshots.h"
#include "support/XInput.h"

namespace support
{
/** A disc laid out in a temporary folder: a copy of the program at its root and,
    in the item folders, stand-in installers that write each start into a log.
    The Kestrune pack goes to a recording desktop opener placed first on PATH. */
class Disc
{
public:
    struct Options
    {
        std::string folderName = "disc";
        std::vector<std::string> missingItems; // item folders left out
        int installerSeconds = 0;              // how long each stand-in keeps running
    };

    Disc();
    explicit Disc (const Options&);
    ~Disc();

    Disc (const Disc&) = delete;
    Disc& operator= (const Disc&) = delete;

    juce::File root() const { return rootFolder; }
    juce::File program() const { return rootFolder.getChildFile ("OrvalisBrelvan"); }

    /** Starts the program from a working folder of its own, with the stand-ins' environment. */
    std::unique_ptr<Process> start (const XServer&, const std::vector<std::string>& args = {}) const;

    /** Starts some executable with the stand-ins' environment: the program through a link,
        the loader, or a command that finds it on PATH. */
    std::unique_ptr<Process> startAs (const XServer&, const std::string& executable, const std::vector<std::string>& args,
                                      const std::string& fromFolder) const;

    /** PATH with the recording opener first. */
    std::string searchPath() const;

    /** Replaces an installer (a path below the root) with the given content and mode. */
    void putInstaller (const std::string& relativePath, const juce::MemoryBlock& content, int mode) const;

    /** What the stand-ins and the opener wrote, one entry per line, after waiting for at least the given count. */
    juce::StringArray log (int atLeast = 0, std::chrono::milliseconds timeout = 10s) const;

    /** The log's lines without the stand-ins' process numbers. */
    juce::StringArray runs (int atLeast, std::chrono::milliseconds timeout = 10s) const;

    /** The line of a stand-in installer's script that records its own run in the log. */
    static constexpr const char* standInRecord = "printf 'run %s args=%s pid=%s\\n' \"${0##*/}\" \"$#\" \"$$\" >> \"$BRELVAN_TEST_LOG\"\n";

    /** A stand-in installer script that records its own run in the log. */
    static juce::MemoryBlock scriptStandIn();

    /** The environment the stand-ins and the opener need. */
    std::map<std::string, std::string> environment() const;

    /** Files that anything but the stand-ins created in the disc's surroundings. */
    juce::StringArray strayFiles() const;

    /** The processes that started stand-ins recorded, by pid. */
    std::vector<int> installerPids() const;

    juce::File workingFolder() const { return base.getChildFile ("cwd"); }

private:
    juce::File base, rootFolder, logFile, openerFolder;
    int installerSecondsSetting = 0;
};

} // namespace support
