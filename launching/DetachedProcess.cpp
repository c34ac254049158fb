#include "DetachedProcess.h"

#include "OpeningRule.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr int execReportFd = 3;

// Only async-signal-safe calls between fork and exec.
void closeDescriptorsFrom (int first)
{
#ifdef SYS_close_range
    if (syscall (SYS_close_range, static_cast<unsigned> (first), ~0u, 0u) == 0)
        return;
#endif
    for (long fd = first, limit = sysconf (_SC_OPEN_MAX); fd < limit; ++fd)
        close (static_cast<int> (fd));
}
} // namespace

bool DetachedProcess::start (const juce::StringArray& arguments)
{
    if (arguments.isEmpty())
        return false;

    const auto program = resolveProgram (arguments[0]);
    if (program.isEmpty())
        return false;

    // Everything the child needs is prepared before forking.
    std::vector<std::string> storage;
    for (auto& a : arguments)
        storage.push_back (a.toStdString());
    const auto executable = program.toStdString();
    std::vector<char*> argv;
    for (auto& s : storage)
        argv.push_back (s.data());
    argv.push_back (nullptr);

    int ready[2];
    if (pipe2 (ready, O_CLOEXEC) != 0)
        return false;

    const auto middle = fork();
    if (middle < 0)
    {
        close (ready[0]);
        close (ready[1]);
        return false;
    }

    if (middle == 0)
    {
        setsid();
        const auto child = fork();
        if (child == 0)
        {
            // Only the report pipe stays open beyond the standard streams, and it
            // closes on exec: an empty pipe tells the menu that exec succeeded.
            dup2 (ready[1], execReportFd);
            closeDescriptorsFrom (execReportFd + 1);
            fcntl (execReportFd, F_SETFD, FD_CLOEXEC);
            // execv, not execvp: a file the kernel refuses must not be retried with /bin/sh.
            execv (executable.c_str(), argv.data());
            const char failed = 1;
            [[maybe_unused]] const auto written = write (execReportFd, &failed, 1);
            _exit (127);
        }
        _exit (child < 0 ? 1 : 0);
    }

    close (ready[1]);
    int status = 0;
    while (waitpid (middle, &status, 0) < 0 && errno == EINTR)
    {
    }

    char failed = 0;
    ssize_t got;
    while ((got = read (ready[0], &failed, 1)) < 0 && errno == EINTR)
    {
    }
    close (ready[0]);

    return WIFEXITED (status) && WEXITSTATUS (status) == 0 && got == 0;
}

bool DetachedProcess::openFile (const juce::File& file)
{
    const auto command = OpeningRule::commandFor (file);
    return command.isEmpty() ? false : start (command);
}

bool DetachedProcess::openAddress (const juce::String& address)
{
    return start ({ OpeningRule::desktopOpener, address });
}

juce::String DetachedProcess::resolveProgram (const juce::String& name)
{
    if (name.isEmpty())
        return {};
    if (name.containsChar ('/'))
        return name;

    const auto isProgram = [] (const juce::String& path)
    {
        struct stat info;
        return stat (path.toRawUTF8(), &info) == 0 && S_ISREG (info.st_mode) && access (path.toRawUTF8(), X_OK) == 0;
    };

    // Only absolute entries: an empty or relative one would pick a program up from
    // the working folder, which may well be the disc itself.
    for (const auto& folder : juce::StringArray::fromTokens (juce::SystemStats::getEnvironmentVariable ("PATH", "/usr/bin:/bin"), ":", ""))
    {
        const auto candidate = folder + "/" + name;
        if (folder.startsWithChar ('/') && isProgram (candidate))
            return candidate;
    }
    return {};
}
