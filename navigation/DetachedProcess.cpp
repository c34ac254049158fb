#include "DetachedProcess.h"

#include <fcntl.h>
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
    if (arguments.isEmpty() || arguments[0].isEmpty())
        return false;

    // Everything the child needs is prepared before forking.
    std::vector<std::string> storage;
    for (auto& a : arguments)
        storage.push_back (a.toStdString());
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
        const auto program = fork();
        if (program == 0)
        {
            // Only the report pipe stays open beyond the standard streams, and it
            // closes on exec: an empty pipe tells the menu that exec succeeded.
            dup2 (ready[1], execReportFd);
            closeDescriptorsFrom (execReportFd + 1);
            fcntl (execReportFd, F_SETFD, FD_CLOEXEC);
            execvp (argv[0], argv.data());
            const char failed = 1;
            [[maybe_unused]] const auto written = write (execReportFd, &failed, 1);
            _exit (127);
        }
        _exit (program < 0 ? 1 : 0);
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
    if (!file.exists())
        return false;

    const auto path = file.getFullPathName();
    if (file.existsAsFile() && access (path.toRawUTF8(), X_OK) == 0)
        return start ({ path });

    return start ({ desktopOpener, path });
}

bool DetachedProcess::openAddress (const juce::String& address)
{
    return start ({ desktopOpener, address });
}
