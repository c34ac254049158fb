// The opening rule on any file a disc might hold: the first byte gives the file's mode,
// the rest its content. The rule is only asked what it would run; nothing runs.

#include "launching/OpeningRule.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const std::string& privateFolder()
{
    static const std::string folder = []
    {
        char name[] = "/tmp/brelvan-fuzz-XXXXXX";
        if (mkdtemp (name) == nullptr)
            std::abort();
        return std::string (name);
    }();
    return folder;
}

bool startsWith (const uint8_t* data, size_t size, const char* start, size_t length)
{
    return size >= length && std::memcmp (data, start, length) == 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // Read, write and the three execute bits, as discs without Rock Ridge may show any of them.
    const auto mode = static_cast<mode_t> (S_IRUSR | S_IWUSR | ((data[0] & 1) ? S_IXUSR : 0) | ((data[0] & 2) ? S_IXGRP : 0) | ((data[0] & 4) ? S_IXOTH : 0));
    const auto content = data + 1;
    const auto length = size - 1;

    // Written directly: an empty file is a file too.
    const auto path = privateFolder() + "/item";
    const int fd = open (path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || (length > 0 && write (fd, content, length) != static_cast<ssize_t> (length)) || close (fd) != 0 || chmod (path.c_str(), mode) != 0)
        std::abort();

    const auto command = OpeningRule::commandFor (path);
    const bool looksLikeAProgram = startsWith (content, length, "\x7f"
                                                                "ELF",
                                               4) ||
                                   startsWith (content, length, "#!", 2);
    if (OpeningRule::startsLikeAProgram (path) != looksLikeAProgram)
        std::abort();

    // Anything else goes to the desktop's opener, whatever its mode.
    if (!looksLikeAProgram && command != std::vector<std::string>{ OpeningRule::desktopOpener, path })
        std::abort();

    // A program runs by its own path only when the system lets it; otherwise through a starter
    // it names, which must be an absolute path, with the program last. Never more than a
    // starter, its one argument and the program.
    if (looksLikeAProgram && !command.empty())
    {
        if (command.back() != path || command.size() > 3)
            std::abort();
        if (command.size() == 1 && access (path.c_str(), X_OK) != 0)
            std::abort();
        if (command.size() > 1 && command[0].front() != '/')
            std::abort();
    }

    // The interpreter of an ELF program is only ever named, never taken from a script.
    if (!startsWith (content, length, "\x7f"
                                      "ELF",
                     4) &&
        !OpeningRule::elfInterpreter (path).empty())
        std::abort();
    return 0;
}
