#include "ProgramFile.h"

#include "FirstCode.h"
#include "PackedProgram.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace
{
BRELVAN_FIRST_CONSTANT constexpr char ownMappings[] = "/proc/self/maps";
BRELVAN_FIRST_CONSTANT constexpr char escapedNewline[] = "\\012";
BRELVAN_FIRST_CONSTANT constexpr char memoryFileStart[] = "/memfd:";

// The program's own path, as found at start: in zeroed memory of the process's own, which
// costs no read from the disc.
char pathAtStart[PATH_MAX];
bool pathLookedFor = false, runsFromMemoryFile = false;

/** A number in the given base at text, and where it ends. */
BRELVAN_FIRST_CODE std::uintptr_t number (const char*& text, unsigned base)
{
    std::uintptr_t value = 0;
    for (;; ++text)
    {
        const auto c = *text;
        const int digit = c >= '0' && c <= '9' ? c - '0' : (base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1);
        if (digit < 0)
            return value;
        value = value * base + static_cast<std::uintptr_t> (digit);
    }
}

BRELVAN_FIRST_CODE void skipField (const char*& text)
{
    while (*text == ' ')
        ++text;
    while (*text != ' ' && *text != '\0')
        ++text;
    while (*text == ' ')
        ++text;
}

/** One line of /proc/self/maps: "start-end perms offset major:minor inode path". */
struct Mapping
{
    std::uintptr_t start = 0, end = 0;
    dev_t device = 0;
    ino_t inode = 0;
    const char* path = nullptr;
};

BRELVAN_FIRST_CODE Mapping parseMapping (const char* line)
{
    Mapping m;
    m.start = number (line, 16);
    if (*line++ != '-')
        return {};
    m.end = number (line, 16);
    skipField (line); // the permissions
    skipField (line); // the offset
    const auto major = number (line, 16);
    if (*line++ != ':')
        return {};
    const auto minor = number (line, 16);
    m.device = makedev (static_cast<unsigned> (major), static_cast<unsigned> (minor));
    while (*line == ' ')
        ++line;
    m.inode = static_cast<ino_t> (number (line, 10));
    while (*line == ' ')
        ++line;
    m.path = *line == '/' ? line : nullptr;
    return m;
}

BRELVAN_FIRST_CODE bool isTheMappedFile (const char* path, const Mapping& m)
{
    struct stat info;
    return stat (path, &info) == 0 && info.st_dev == m.device && info.st_ino == m.inode;
}

/** Copies the path of a mapping, the kernel's "\012" for a newline undone when that names
    the mapped file. Any other byte stands as it is, whatever the encoding. */
BRELVAN_FIRST_CODE bool recordPath (const Mapping& m)
{
    const auto length = std::strlen (m.path);
    if (length >= PATH_MAX)
        return false;
    std::memcpy (pathAtStart, m.path, length + 1);
    if (isTheMappedFile (pathAtStart, m) || std::strstr (m.path, escapedNewline) == nullptr)
        return true;

    char unescaped[PATH_MAX];
    size_t used = 0;
    for (const char* c = m.path; *c != '\0'; ++used)
    {
        const bool escape = std::strncmp (c, escapedNewline, sizeof (escapedNewline) - 1) == 0;
        unescaped[used] = escape ? '\n' : *c;
        c += escape ? sizeof (escapedNewline) - 1 : 1;
    }
    unescaped[used] = '\0';
    if (isTheMappedFile (unescaped, m))
        std::memcpy (pathAtStart, unescaped, used + 1);
    return true;
}

/** The program runs from the memory file that the disc's first stage unpacked it into: the
    stage has said in the environment where its file lies. The word goes no further, to the
    installers the menu starts, and the process is named as the program again (running a
    memory file names it by a descriptor's number). */
BRELVAN_FIRST_CODE void takePathFromFirstStage (char** environment)
{
    runsFromMemoryFile = true;
    prctl (PR_SET_NAME, PackedProgram::programName, 0, 0, 0);
    const auto nameLength = std::strlen (PackedProgram::programFileVariable);
    char** kept = environment;
    for (char** entry = environment; entry != nullptr && *entry != nullptr; ++entry)
    {
        const auto* value = *entry + nameLength + 1;
        if (std::strncmp (*entry, PackedProgram::programFileVariable, nameLength) != 0 || (*entry)[nameLength] != '=')
            *kept++ = *entry;
        else if (value[0] == '/' && std::strlen (value) < PATH_MAX)
            std::memcpy (pathAtStart, value, std::strlen (value) + 1);
    }
    if (kept != nullptr)
        *kept = nullptr;
}

/** Finds the file whose mapping holds this very code: the program itself, however it was
    started (through the dynamic loader, /proc/self/exe names the loader instead, and the
    name the program is given may be anything at all). */
BRELVAN_FIRST_CODE void lookForOwnPath (char** environment)
{
    pathLookedFor = true;
    const auto here = reinterpret_cast<std::uintptr_t> (&lookForOwnPath);
    const auto maps = open (ownMappings, O_RDONLY | O_CLOEXEC);
    if (maps < 0)
        return;

    // The kernel gives a page of lines per read.
    char text[32768];
    size_t used = 0;
    for (ssize_t got; used < sizeof (text) - 1 && (got = read (maps, text + used, sizeof (text) - 1 - used)) > 0;)
        used += static_cast<size_t> (got);
    close (maps);
    text[used] = '\0';

    for (char* line = text; line != nullptr && *line != '\0';)
    {
        char* next = std::strchr (line, '\n');
        if (next != nullptr)
            *next++ = '\0';
        const auto mapping = parseMapping (line);
        if (here >= mapping.start && here < mapping.end)
        {
            if (mapping.path != nullptr && std::strncmp (mapping.path, memoryFileStart, sizeof (memoryFileStart) - 1) == 0)
                takePathFromFirstStage (environment);
            else if (mapping.path != nullptr)
                recordPath (mapping);
            return;
        }
        line = next;
    }
}

BRELVAN_FIRST_CODE int openOwnFile()
{
    const auto* path = ProgramFile::path();
    return *path != '\0' ? open (path, O_RDONLY | O_CLOEXEC) : -1;
}

// File systems whose files may go away while the program runs: discs, the formats of
// sticks and cards, network shares, and FUSE (a mounted image, a phone, a share).
constexpr long isoFileSystem = 0x9660, udfFileSystem = 0x15013346, fuseFileSystem = 0x65735546;
constexpr long fatFileSystem = 0x4d44, exfatFileSystem = 0x2011bab0, ntfsFileSystem = 0x5346544e, ntfs3FileSystem = 0x7366746e;
constexpr long nfsFileSystem = 0x6969, smbFileSystem = 0x517b, smb2FileSystem = 0xfe534d42, cifsFileSystem = 0xff534d42,
               ninePFileSystem = 0x01021997;
BRELVAN_FIRST_CONSTANT constexpr long mediaFileSystems[] = { isoFileSystem, udfFileSystem, fuseFileSystem, fatFileSystem, exfatFileSystem,
                                                             ntfsFileSystem, ntfs3FileSystem, nfsFileSystem, smbFileSystem, smb2FileSystem,
                                                             cifsFileSystem, ninePFileSystem };

BRELVAN_FIRST_CONSTANT constexpr char blockDevices[] = "/sys/dev/block/";
BRELVAN_FIRST_CONSTANT constexpr char usb[] = "/usb";
BRELVAN_FIRST_CONSTANT constexpr char cardSlot[] = "/mmc";
BRELVAN_FIRST_CONSTANT constexpr char removableFlag[] = "/removable";
BRELVAN_FIRST_CONSTANT constexpr char disksRemovableFlag[] = "/../removable";

/** Appends text to a path of PATH_MAX bytes; false when it does not fit. */
BRELVAN_FIRST_CODE bool append (char* path, const char* text)
{
    const auto used = std::strlen (path), added = std::strlen (text);
    if (used + added >= PATH_MAX)
        return false;
    std::memcpy (path + used, text, added + 1);
    return true;
}

BRELVAN_FIRST_CODE bool appendNumber (char* path, unsigned number)
{
    char digits[16];
    auto* at = digits + sizeof (digits) - 1;
    *at = '\0';
    do
        *--at = static_cast<char> ('0' + number % 10);
    while ((number /= 10) != 0);
    return append (path, at);
}

BRELVAN_FIRST_CODE bool readsOne (const char* folder, const char* name)
{
    char path[PATH_MAX] = {};
    if (!append (path, folder) || !append (path, name))
        return false;
    char flag = 0;
    const auto fd = open (path, O_RDONLY | O_CLOEXEC);
    const auto got = fd >= 0 ? read (fd, &flag, 1) : -1;
    if (fd >= 0)
        close (fd);
    return got == 1 && flag == '1';
}

/** A disk the kernel calls removable, or one on USB or a card slot (USB disks often do
    not call themselves removable). A partition has no flag of its own: its disk has. */
BRELVAN_FIRST_CODE bool isRemovableDisk (dev_t device)
{
    if (major (device) == 0)
        return false;

    char link[PATH_MAX] = {};
    const char colon[] = { ':', '\0' };
    if (!append (link, blockDevices) || !appendNumber (link, major (device)) || !append (link, colon) || !appendNumber (link, minor (device)))
        return false;
    char folder[PATH_MAX];
    if (realpath (link, folder) == nullptr)
        return false;
    return std::strstr (folder, usb) != nullptr || std::strstr (folder, cardSlot) != nullptr || readsOne (folder, removableFlag) || readsOne (folder, disksRemovableFlag);
}

BRELVAN_FIRST_CODE bool mayGoAway (int fd)
{
    struct statfs fileSystem;
    if (fstatfs (fd, &fileSystem) != 0)
        return false;
    for (const auto type : mediaFileSystems)
        if (static_cast<long> (fileSystem.f_type) == type)
            return true;

    struct stat info;
    return fstat (fd, &info) == 0 && isRemovableDisk (info.st_dev);
}

//==============================================================================
constexpr std::uintptr_t pageSize = 4096;

constexpr std::uintptr_t pageDown (std::uintptr_t a)
{
    return a & ~(pageSize - 1);
}

constexpr std::uintptr_t pageUp (std::uintptr_t a)
{
    return pageDown (a + pageSize - 1);
}

/** Replaces the pages [start, end) with a copy of them in anonymous memory, with the
    same protection. Copying reads them in address order, and so the file from start to
    end. The copy lands at the same address in one step, so code running from these very
    pages goes on in the copy. */
BRELVAN_FIRST_CODE bool copyIntoMemory (std::uintptr_t start, std::uintptr_t end, int protection)
{
    if (end <= start)
        return true;
    const auto length = end - start;
    auto* copy = mmap (nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (copy == MAP_FAILED)
        return false;

    // Forward, in pieces: a large memcpy may run backwards, and a drive read backwards
    // page by page seeks for every page.
    madvise (reinterpret_cast<void*> (start), length, MADV_WILLNEED);
    constexpr std::uintptr_t piece = 64 * 1024;
    for (std::uintptr_t done = 0; done < length; done += piece)
        std::memcpy (static_cast<char*> (copy) + done, reinterpret_cast<const void*> (start + done), std::min (piece, length - done));

    if (mprotect (copy, length, protection) != 0 || mremap (copy, length, length, MREMAP_MAYMOVE | MREMAP_FIXED, reinterpret_cast<void*> (start)) == MAP_FAILED)
    {
        munmap (copy, length);
        return false;
    }
    return true;
}

BRELVAN_FIRST_CODE int protectionOf (const ElfW (Phdr) & segment)
{
    return ((segment.p_flags & PF_R) != 0 ? PROT_READ : 0) | ((segment.p_flags & PF_W) != 0 ? PROT_WRITE : 0) | ((segment.p_flags & PF_X) != 0 ? PROT_EXEC : 0);
}

/** Every page of the main program that comes from its file. The loader has made the
    start of the writable segment read-only after relocating it (RELRO); beyond the
    file's part of that segment lies memory of its own already. */
BRELVAN_FIRST_CODE int copyMainProgram (dl_phdr_info* info, size_t, void* result)
{
    std::uintptr_t relroEnd = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i)
        if (info->dlpi_phdr[i].p_type == PT_GNU_RELRO)
            relroEnd = pageDown (info->dlpi_addr + info->dlpi_phdr[i].p_vaddr + info->dlpi_phdr[i].p_memsz);

    auto& allCopied = *static_cast<bool*> (result);
    allCopied = true;
    for (int i = 0; i < info->dlpi_phnum; ++i)
    {
        const auto& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || segment.p_filesz == 0)
            continue;

        const auto start = pageDown (info->dlpi_addr + segment.p_vaddr);
        const auto end = pageUp (info->dlpi_addr + segment.p_vaddr + segment.p_filesz);
        const auto protection = protectionOf (segment);
        if ((protection & PROT_WRITE) != 0 && relroEnd > start && relroEnd <= end)
            allCopied = copyIntoMemory (start, relroEnd, PROT_READ) && copyIntoMemory (relroEnd, end, protection) && allCopied;
        else
            allCopied = copyIntoMemory (start, end, protection) && allCopied;
    }
    return 1; // the main program comes first; the libraries are the system's
}
} // namespace

BRELVAN_FIRST_CODE void ProgramFile::findAtStart (char** environment)
{
    if (!pathLookedFor)
        lookForOwnPath (environment);
}

BRELVAN_FIRST_CODE const char* ProgramFile::path()
{
    findAtStart (environ);
    return pathAtStart;
}

BRELVAN_FIRST_CODE bool ProgramFile::leaveTheMedium()
{
    path();
    if (runsFromMemoryFile)
        return true;
    const auto fd = openOwnFile();
    if (fd < 0)
        return false;
    const auto removable = mayGoAway (fd);
    close (fd);
    if (!removable)
        return false;

    bool copied = false;
    dl_iterate_phdr (copyMainProgram, &copied);
    return copied;
}
