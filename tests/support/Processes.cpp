#include "Processes.h"

#include "XServer.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace support
{
pid_t spawnProcess (const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& workingFolder,
                    void* fileActions)
{
    auto* extraActions = static_cast<posix_spawn_file_actions_t*> (fileActions);
    std::vector<char*> args, envp;
    for (auto& a : argv)
        args.push_back (const_cast<char*> (a.c_str()));
    args.push_back (nullptr);
    for (auto& e : env)
        envp.push_back (const_cast<char*> (e.c_str()));
    envp.push_back (nullptr);

    // The caller's actions gain the change of folder; they stay the caller's to destroy.
    posix_spawn_file_actions_t ownActions;
    auto* actions = extraActions;
    if (actions == nullptr)
    {
        posix_spawn_file_actions_init (&ownActions);
        actions = &ownActions;
    }
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np (actions, workingFolder.c_str());

    pid_t pid = -1;
    const auto result = posix_spawnp (&pid, args[0], actions, nullptr, args.data(), envp.data());
    if (extraActions == nullptr)
        posix_spawn_file_actions_destroy (&ownActions);

    if (result != 0)
        throw std::runtime_error ("cannot start " + argv[0] + ": " + std::strerror (result));
    return pid;
}

void stopAndReap (pid_t pid)
{
    if (pid <= 0)
        return;
    if (waitpid (pid, nullptr, WNOHANG) == pid)
        return;
    kill (pid, SIGTERM);
    for (int i = 0; i < 100; ++i)
    {
        if (waitpid (pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for (10ms);
    }
    kill (pid, SIGKILL);
    waitpid (pid, nullptr, 0);
}

//==============================================================================
Process::Process (const XServer& server, const std::string& executable, const std::vector<std::string>& args,
                  const std::string& workingFolder, const std::map<std::string, std::string>& extraEnv,
                  const std::string& errorFile, bool standardStreamsClosed)
{
    std::map<std::string, std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
    {
        const std::string entry (*e);
        const auto eq = entry.find ('=');
        if (eq != std::string::npos)
            env[entry.substr (0, eq)] = entry.substr (eq + 1);
    }
    env["DISPLAY"] = server.displayName();
    for (auto& [key, value] : extraEnv)
        env[key] = value;

    std::vector<std::string> envList;
    for (auto& [key, value] : env)
        envList.push_back (key + "=" + value);

    std::vector<std::string> argv{ executable };
    argv.insert (argv.end(), args.begin(), args.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    if (standardStreamsClosed)
        for (int fd = 0; fd <= 2; ++fd)
            posix_spawn_file_actions_addclose (&actions, fd);
    else if (!errorFile.empty())
        posix_spawn_file_actions_addopen (&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
    childPid = spawnProcess (argv, envList, workingFolder, &actions);
    posix_spawn_file_actions_destroy (&actions);
}

Process::Process (const std::vector<std::string>& argv)
{
    std::vector<std::string> envList;
    for (char** e = environ; *e != nullptr; ++e)
        envList.emplace_back (*e);
    childPid = spawnProcess (argv, envList, {});
}

Process::Process (pid_t adoptedChild)
    : childPid (adoptedChild)
{
}

Process::~Process()
{
    if (!rawStatus)
        stopAndReap (childPid);
}

bool Process::isRunning()
{
    if (rawStatus)
        return false;
    int status = 0;
    if (waitpid (childPid, &status, WNOHANG) == childPid)
    {
        rawStatus = status;
        return false;
    }
    return true;
}

std::optional<int> Process::waitForExit (std::chrono::milliseconds timeout)
{
    if (!eventually ([this]
                     { return !isRunning(); },
                     timeout))
        return std::nullopt;
    if (!WIFEXITED (*rawStatus))
        return std::nullopt;
    return WEXITSTATUS (*rawStatus);
}

std::string Process::state()
{
    if (isRunning())
        return "running";
    if (WIFEXITED (*rawStatus))
        return "exit status " + std::to_string (WEXITSTATUS (*rawStatus));
    return "killed by signal " + std::to_string (WTERMSIG (*rawStatus));
}

Ending runToEnd (const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 std::chrono::milliseconds timeout)
{
    int errors[2], output[2];
    if (pipe2 (errors, O_CLOEXEC) != 0 || pipe2 (output, O_CLOEXEC) != 0)
        throw std::runtime_error ("pipe");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_adddup2 (&actions, output[1], 1);
    posix_spawn_file_actions_adddup2 (&actions, errors[1], 2);
    const auto pid = spawnProcess (argv, environment, {}, &actions);
    posix_spawn_file_actions_destroy (&actions);
    close (errors[1]);
    close (output[1]);

    Ending ending;
    const auto drain = [] (int fd, std::string& into)
    {
        char buffer[4096];
        for (ssize_t got; (got = read (fd, buffer, sizeof (buffer))) > 0;)
            into.append (buffer, static_cast<size_t> (got));
    };
    fcntl (errors[0], F_SETFL, O_NONBLOCK);
    fcntl (output[0], F_SETFL, O_NONBLOCK);
    int status = 0;
    bool ended = false;
    const auto end = Clock::now() + timeout;
    for (;;)
    {
        drain (errors[0], ending.errors);
        drain (output[0], ending.output);
        if (ended)
            break;
        ended = waitpid (pid, &status, WNOHANG) == pid;
        if (!ended && Clock::now() > end)
        {
            kill (pid, SIGKILL);
            waitpid (pid, &status, 0);
            ending.signal = SIGKILL;
            close (errors[0]);
            close (output[0]);
            return ending;
        }
        if (!ended)
            std::this_thread::sleep_for (10ms);
    }
    close (errors[0]);
    close (output[0]);

    if (WIFEXITED (status))
        ending.status = WEXITSTATUS (status);
    else if (WIFSIGNALED (status))
    {
        ending.signal = WTERMSIG (status);
        ending.dumpedCore = WCOREDUMP (status);
    }
    return ending;
}

juce::StringArray logLines (const juce::File& log, int atLeast, std::chrono::milliseconds timeout)
{
    juce::StringArray lines;
    eventually ([&]
                {
                        lines = juce::StringArray::fromLines (log.loadFileAsString().trimCharactersAtEnd ("\n"));
                        lines.removeEmptyStrings();
                        return lines.size() >= atLeast; },
                timeout);
    return lines;
}

std::vector<std::string> asDesktopUser (std::vector<std::string> command)
{
    command.insert (command.begin(), { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" });
    return command;
}

std::string programPath()
{
    return BRELVAN_PROGRAM_PATH;
}

long procStatusValue (pid_t pid, const juce::String& field, const juce::String& thread)
{
    const auto folder = juce::File ("/proc/" + juce::String (pid));
    const auto file = thread.isEmpty() ? folder.getChildFile ("status") : folder.getChildFile ("task/" + thread + "/status");
    return file.loadFileAsString().fromFirstOccurrenceOf (field + ":", false, false).trim().getLargeIntValue();
}

namespace
{
    juce::Array<juce::File> threadsOf (pid_t pid)
    {
        return juce::File ("/proc/" + juce::String (pid) + "/task").findChildFiles (juce::File::findDirectories, false);
    }
} // namespace

// In nanoseconds from each thread's schedstat: the clock ticks of /proc/PID/stat are too
// coarse for a few idle milliseconds.
double cpuSeconds (pid_t pid)
{
    double total = 0;
    for (const auto& thread : threadsOf (pid))
        total += (double) thread.getChildFile ("schedstat").loadFileAsString().upToFirstOccurrenceOf (" ", false, false).getLargeIntValue();
    return total / 1.0e9;
}

double contextSwitches (pid_t pid, bool withPreempted)
{
    double total = 0;
    for (const auto& thread : threadsOf (pid))
    {
        total += (double) procStatusValue (pid, "voluntary_ctxt_switches", thread.getFileName());
        if (withPreempted)
            total += (double) procStatusValue (pid, "nonvoluntary_ctxt_switches", thread.getFileName());
    }
    return total;
}

} // namespace support
