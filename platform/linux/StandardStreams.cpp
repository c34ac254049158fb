#include "StandardStreams.h"

#include "FirstCode.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace
{
BRELVAN_FIRST_CONSTANT constexpr char nowhere[] = "/dev/null";
BRELVAN_FIRST_CONSTANT constexpr char root[] = "/";

BRELVAN_FIRST_CODE bool isClosed (int fd)
{
    return fcntl (fd, F_GETFD) < 0 && errno == EBADF;
}

BRELVAN_FIRST_CODE void fill (int fd)
{
    auto opened = open (nowhere, (fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) | O_NOCTTY);
    if (opened < 0)
        opened = open (root, O_PATH);
    // The lowest free number is taken, which is this one unless a lower one was closed too.
    if (opened >= 0 && opened != fd)
    {
        dup2 (opened, fd);
        close (opened);
    }
}
} // namespace

BRELVAN_FIRST_CODE void StandardStreams::openWhereClosed()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (isClosed (fd))
            fill (fd);
}
