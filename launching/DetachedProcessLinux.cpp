#include "DetachedProcess.h"

#include "OpeningRule.h"

#include <algorithm>
#include <cstdlib>
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

bool DetachedProcess::start (const std::vector<std::string>& arguments)
{
    // A zero byte would end an argument early: what ran would not be what was asked for.
    if (arguments.empty() || std::any_of (arguments.begin(), arguments.end(), [] (const std::string& a)
                                          { return a.find ('\0') != std::string::npos; }))
        return false;

    const auto executable = resolveProgram (arguments[0]);
    if (executable.empty())
        return false;

    // Everything the child needs is prepared before forking.
    auto storage = arguments;
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

bool DetachedProcess::openFile (const std::string& path)
{
    const auto command = OpeningRule::commandFor (path);
    return command.empty() ? false : start (command);
}

bool DetachedProcess::openAddress (const juce::String& address)
{
    return start ({ OpeningRule::desktopOpener, address.toStdString() });
}

std::string DetachedProcess::resolveProgram (const std::string& name)
{
    if (name.empty() || name.find ('\0') != std::string::npos)
        return {};
    if (name.find ('/') != std::string::npos)
        return name;

    const auto isProgram = [] (const std::string& path)
    {
        struct stat info;
        return stat (path.c_str(), &info) == 0 && S_ISREG (info.st_mode) && access (path.c_str(), X_OK) == 0;
    };

    // Only absolute entries: an empty or relative one would pick a program up from
    // the working folder, which may well be the disc itself.
    const auto* variable = std::getenv ("PATH");
    const std::string searchPath = variable != nullptr ? variable : "/usr/bin:/bin";
    for (size_t start = 0; start <= searchPath.size();)
    {
        const auto end = std::min (searchPath.find (':', start), searchPath.size());
        const auto folder = searchPath.substr (start, end - start);
        if (!folder.empty() && folder.front() == '/' && isProgram (folder + "/" + name))
            return folder + "/" + name;
        start = end + 1;
    }
    return {};
}
