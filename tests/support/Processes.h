#pragma once

// Programs the tests start: the program under test on a test's X server, helpers with the
// test's own environment, and programs run to their end.

#include "Basics.h"

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace support
{
class XServer;

/** A program started on the test's display with its own environment, killed if still running at the end. */
class Process
{
public:
    /** Standard error goes to the error file where one is named; with standardStreamsClosed,
        standard input, output and error are all closed, as some launchers start programs. */
    Process (const XServer&, const std::string& executable, const std::vector<std::string>& args = {},
             const std::string& workingFolder = {}, const std::map<std::string, std::string>& extraEnv = {},
             const std::string& errorFile = {}, bool standardStreamsClosed = false);
    /** A helper program with the test's own environment and no display. */
    explicit Process (const std::vector<std::string>& argv);
    /** A process that became our child when its parent ended (we are a child subreaper). */
    explicit Process (pid_t adoptedChild);
    ~Process();

    Process (const Process&) = delete;
    Process& operator= (const Process&) = delete;

    pid_t pid() const { return childPid; }
    bool isRunning();

    /** Waits for the process to end; its exit status, or nothing if it is still running or died by a signal. */
    std::optional<int> waitForExit (std::chrono::milliseconds timeout = 10s);

    /** "running", "exit status N" or "killed by signal N", for failure messages. */
    std::string state();

private:
    pid_t childPid = -1;
    std::optional<int> rawStatus;
};

/** How a program that was run to its end ended. */
struct Ending
{
    std::optional<int> status; // nothing when it died by a signal or had to be killed
    int signal = 0;
    bool dumpedCore = false;
    std::string errors; // what it wrote on standard error
    std::string output; // what it wrote on standard output
};

/** Runs a program with exactly this environment and waits for it, killing it after the timeout. */
Ending runToEnd (const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 std::chrono::milliseconds timeout = 10s);

/** The non-empty lines of a log file, after waiting for at least the given count. */
juce::StringArray logLines (const juce::File& log, int atLeast, std::chrono::milliseconds timeout);

/** The command, run as the unprivileged desktop user (nobody) with no other groups. */
std::vector<std::string> asDesktopUser (std::vector<std::string> command);

/** Starts a program with this environment (and folder, and file actions, where given);
    throws where it cannot start. */
pid_t spawnProcess (const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& workingFolder,
                    void* fileActions = nullptr);

/** Ends a process, politely first, and reaps it. */
void stopAndReap (pid_t);

/** A number from a process's status file (/proc/PID/status), or from one of its threads'. */
long procStatusValue (pid_t pid, const juce::String& field, const juce::String& thread = {});

/** Time on the CPU of all the process's threads so far, from the scheduler's own count. */
double cpuSeconds (pid_t pid);

/** How often the process's threads have been switched out so far, all together: waiting
    for something (voluntary), and when asked, preempted too. A thread that sleeps and is
    woken counts one voluntary switch. */
double contextSwitches (pid_t pid, bool withPreempted = true);

/** The program under test, as built. */
std::string programPath();
} // namespace support
