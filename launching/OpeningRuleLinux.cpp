#include "OpeningRule.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace
{
// The kernel reads this much of a script to find its "#!" line.
constexpr size_t scriptLineLimit = 256;
// No real loader path comes near this; anything longer is not a loader.
constexpr size_t interpreterPathLimit = 4096;
// Real programs have a few dozen program headers; a table beyond this is not read.
constexpr size_t headerTableLimit = 1 << 20;
constexpr uint32_t elfSegmentInterpreter = 3; // PT_INTERP

constexpr const char* elfMagic = "\x7f"
                                 "ELF";

enum class Kind
{
    elfProgram,
    script,
    other
};

/** A regular file opened for reading; never blocks on a pipe or device that a disc might hold. */
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile (const std::string& path)
        : fd (open (path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY))
    {
        struct stat info;
        if (fd >= 0 && (fstat (fd, &info) != 0 || !S_ISREG (info.st_mode)))
        {
            close (fd);
            fd = -1;
        }
    }

    ~ReadOnlyFile()
    {
        if (fd >= 0)
            close (fd);
    }

    ReadOnlyFile (const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator= (const ReadOnlyFile&) = delete;

    bool isOpen() const noexcept { return fd >= 0; }

    /** Up to size bytes from the offset; fewer at the end of the file. */
    std::string read (uint64_t offset, size_t size) const
    {
        std::string bytes (size, '\0');
        size_t got = 0;
        while (fd >= 0 && got < size)
        {
            const auto n = pread (fd, bytes.data() + got, size - got, static_cast<off_t> (offset + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<size_t> (n);
        }
        bytes.resize (got);
        return bytes;
    }

private:
    int fd;
};

/** Reads the integers of an ELF file in the file's own byte order and word size. */
class ElfReader
{
public:
    explicit ElfReader (const ReadOnlyFile& f)
        : file (f)
        , header (f.read (0, 64))
    {
    }

    bool isElf() const { return header.size() >= 52 && header.compare (0, 4, elfMagic) == 0; }

    std::string interpreter() const
    {
        if (!isElf())
            return {};

        const auto elfClass = header[4], byteOrder = header[5];
        if ((elfClass != 1 && elfClass != 2) || (byteOrder != 1 && byteOrder != 2))
            return {};

        const bool wide = elfClass == 2, little = byteOrder == 1;
        if (wide && header.size() < 64)
            return {};

        const auto tableOffset = number (header, wide ? 32 : 28, wide ? 8 : 4, little);
        const auto entrySize = static_cast<size_t> (number (header, wide ? 54 : 42, 2, little));
        const auto entries = static_cast<size_t> (number (header, wide ? 56 : 44, 2, little));
        if (entrySize < (wide ? 56u : 32u) || entrySize * entries > headerTableLimit)
            return {};

        const auto table = file.read (tableOffset, entrySize * entries);
        for (size_t i = 0; i + 1 <= table.size() / entrySize; ++i)
        {
            const auto entry = table.substr (i * entrySize, entrySize);
            if (number (entry, 0, 4, little) != elfSegmentInterpreter)
                continue;

            const auto offset = number (entry, wide ? 8 : 4, wide ? 8 : 4, little);
            const auto size = number (entry, wide ? 32 : 16, wide ? 8 : 4, little);
            if (size < 2 || size > interpreterPathLimit)
                return {};

            // The path ends with its terminating zero and holds no other.
            const auto path = file.read (offset, static_cast<size_t> (size));
            if (path.size() != size || path.back() != '\0' || path.find ('\0') != path.size() - 1)
                return {};
            return path.substr (0, path.size() - 1);
        }
        return {};
    }

private:
    static uint64_t number (const std::string& bytes, size_t at, size_t width, bool little)
    {
        uint64_t value = 0;
        for (size_t i = 0; i < width; ++i)
        {
            const auto byte = static_cast<uint8_t> (bytes[little ? at + width - 1 - i : at + i]);
            value = (value << 8) | byte;
        }
        return value;
    }

    const ReadOnlyFile& file;
    std::string header;
};

Kind kindOf (const ReadOnlyFile& file)
{
    const auto start = file.read (0, 4);
    if (start.size() >= 2 && start[0] == '#' && start[1] == '!')
        return Kind::script;
    if (start == elfMagic)
        return Kind::elfProgram;
    return Kind::other;
}

bool canExecute (const std::string& path)
{
    return access (path.c_str(), X_OK) == 0;
}

/** An interpreter or loader that can start a file: an absolute path to a file that may run. */
bool isUsableStarter (const std::string& path)
{
    struct stat info;
    return !path.empty() && path.front() == '/' && stat (path.c_str(), &info) == 0 && S_ISREG (info.st_mode) && canExecute (path);
}

/** The interpreter and its one optional argument from a script's "#!" line, split as
    the kernel splits it; empty when the file does not start with a usable one. */
std::vector<std::string> scriptInterpreter (const ReadOnlyFile& content)
{
    const auto start = content.read (0, scriptLineLimit);
    if (start.size() < 2 || start[0] != '#' || start[1] != '!')
        return {};

    // A line longer than the kernel reads would be cut short; take none.
    const auto end = start.find ('\n');
    if (end == std::string::npos && start.size() == scriptLineLimit)
        return {};

    // A line with a zero byte in it names nothing this program could start.
    const auto line = start.substr (2, end == std::string::npos ? std::string::npos : end - 2);
    if (line.find ('\0') != std::string::npos)
        return {};

    // The interpreter ends at the first blank; everything after it, trimmed, is one argument.
    const auto isBlank = [] (char c)
    { return c == ' ' || c == '\t'; };
    size_t i = 0;
    while (i < line.size() && isBlank (line[i]))
        ++i;
    const auto nameStart = i;
    while (i < line.size() && !isBlank (line[i]))
        ++i;
    if (i == nameStart)
        return {};

    std::vector<std::string> command{ line.substr (nameStart, i - nameStart) };

    auto argument = line.substr (i);
    const auto first = argument.find_first_not_of (" \t");
    if (first != std::string::npos)
        command.push_back (argument.substr (first, argument.find_last_not_of (" \t") + 1 - first));
    return command;
}

/** How a program or script that lacks the execute bit starts: through what it names itself. */
std::vector<std::string> commandThroughStarter (const ReadOnlyFile& content, const std::string& path, Kind kind)
{
    auto command = kind == Kind::elfProgram ? std::vector<std::string>{ ElfReader (content).interpreter() } : scriptInterpreter (content);
    if (command.empty() || !isUsableStarter (command[0]))
        return {};

    command.push_back (path);
    return command;
}

/** What is at a path: a folder, a regular file, or something that is never opened. */
enum class Entry
{
    folder,
    regularFile,
    none
};

Entry entryAt (const std::string& path)
{
    struct stat info;
    if (path.empty() || stat (path.c_str(), &info) != 0)
        return Entry::none;
    return S_ISDIR (info.st_mode) ? Entry::folder : S_ISREG (info.st_mode) ? Entry::regularFile
                                                                           : Entry::none;
}
} // namespace

std::vector<std::string> OpeningRule::commandFor (const std::string& path)
{
    const auto entry = entryAt (path);
    if (entry == Entry::folder)
        return { desktopOpener, path };
    if (entry != Entry::regularFile)
        return {};

    // Opened as a regular file again: what lies at the path may have changed since.
    const ReadOnlyFile content (path);
    if (!content.isOpen())
        return {};

    const auto kind = kindOf (content);
    if (kind == Kind::other)
        return { desktopOpener, path };

    if (canExecute (path))
        return { path };

    // The owner of the system chose noexec for this medium: no program of it runs.
    if (isOnNoexecMount (path))
        return {};

    return commandThroughStarter (content, path, kind);
}

bool OpeningRule::startsLikeAProgram (const std::string& path)
{
    const ReadOnlyFile content (path);
    return content.isOpen() && kindOf (content) != Kind::other;
}

std::string OpeningRule::elfInterpreter (const std::string& path)
{
    const ReadOnlyFile content (path);
    return content.isOpen() ? ElfReader (content).interpreter() : std::string();
}

bool OpeningRule::isOnNoexecMount (const std::string& path)
{
    struct statvfs info;
    return statvfs (path.c_str(), &info) == 0 && (info.f_flag & ST_NOEXEC) != 0;
}
