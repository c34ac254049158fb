// The first stage of the disc's Linux program: reads its own file once, from start to end,
// unpacks the menu that follows its ELF file into memory of its own, and runs the menu from
// there with the same arguments. See platform/linux/PackedProgram.h.
//
// It needs the C library alone, and starts however the program was started: by its path, by
// a link, through the dynamic loader (a disc that shows no execute permission). Whatever the
// disc holds instead of a whole packed menu ends it with one line and status 127, as a shell
// ends a program it cannot run.

#include "platform/linux/PackedProgram.h"
#include "platform/linux/ProgramFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define ZSTD_STATIC_LINKING_ONLY // decoding straight into the memory file
#include <zstd.h>

#ifndef MFD_EXEC
#define MFD_EXEC 0x10U
#endif

namespace
{
constexpr int cannotRun = 127;

// Large pieces: the drive streams while the menu is unpacked.
constexpr size_t piece = 256 * 1024;
unsigned char packed[piece];

[[noreturn]] void fail (const char* what)
{
    std::fprintf (stderr, "%s: %s\n", PackedProgram::programName, what);
    std::exit (cannotRun);
}

ssize_t readAt (int fd, unsigned char* into, size_t length, off_t offset)
{
    for (;;)
    {
        const auto got = pread (fd, into, length, offset);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

/** An anonymous file in memory, with the right to run it asked for: a kernel that knows no
    such right, or refuses it (vm.memfd_noexec), gives one without (see startMenu). */
int memoryFile()
{
    const auto fd = memfd_create (PackedProgram::programName, MFD_CLOEXEC | MFD_EXEC);
    return fd >= 0 ? fd : memfd_create (PackedProgram::programName, MFD_CLOEXEC);
}

/** Decodes the zstd frame at offset into the memory file, reading the disc in order. The
    file's pages are made at once and written in place, the frame's window being the file
    itself: no copy, and no page fault for each page. */
bool unpack (int disc, off_t offset, const PackedProgram::Header& header, int memory)
{
    const auto length = static_cast<size_t> (header.unpackedBytes);
    if (ftruncate (memory, static_cast<off_t> (length)) != 0)
        return false;
    auto* file = mmap (nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, memory, 0);
    auto* decoder = ZSTD_createDCtx();
    if (file == MAP_FAILED || decoder == nullptr || ZSTD_isError (ZSTD_DCtx_setParameter (decoder, ZSTD_d_stableOutBuffer, 1)))
        return false;

    ZSTD_outBuffer out{ file, length, 0 };
    size_t status = 1;
    for (std::uint64_t left = header.packedBytes; left > 0 && status != 0 && !ZSTD_isError (status);)
    {
        const auto got = readAt (disc, packed, static_cast<size_t> (left < piece ? left : piece), offset);
        if (got <= 0)
            break;
        offset += got;
        left -= static_cast<std::uint64_t> (got);
        ZSTD_inBuffer in{ packed, static_cast<size_t> (got), 0 };
        while (in.pos < in.size && status != 0 && !ZSTD_isError (status))
            status = ZSTD_decompressStream (decoder, &out, &in);
        if (in.pos < in.size)
            status = 1; // bytes behind the frame's end
    }
    ZSTD_freeDCtx (decoder);
    munmap (file, length);
    return status == 0 && out.pos == length;
}

/** The dynamic loader this very program was started with, as its own header names it. */
const char* ownLoader()
{
    const auto* headers = reinterpret_cast<const ElfW (Phdr)*> (getauxval (AT_PHDR));
    const auto count = getauxval (AT_PHNUM);
    if (headers == nullptr)
        return nullptr;
    std::uintptr_t base = 0;
    for (size_t i = 0; i < count; ++i)
        if (headers[i].p_type == PT_PHDR)
            base = reinterpret_cast<std::uintptr_t> (headers) - headers[i].p_vaddr;
    for (size_t i = 0; i < count; ++i)
        if (headers[i].p_type == PT_INTERP)
            return reinterpret_cast<const char*> (base + headers[i].p_vaddr);
    return nullptr;
}

/** Runs the unpacked menu. Where the system runs no file from memory (vm.memfd_noexec),
    the loader still maps it, as it maps a program on a disc mounted noexec. */
[[noreturn]] void startMenu (int memory, int argc, char** argv)
{
    fexecve (memory, argv, environ);

    const auto* loader = ownLoader();
    if (loader == nullptr || fcntl (memory, F_SETFD, 0) != 0)
        fail ("cannot run the menu from memory");
    char memoryPath[64];
    std::snprintf (memoryPath, sizeof (memoryPath), "/proc/self/fd/%d", memory);

    // loader --argv0 NAME FILE ARGUMENTS...
    auto** loaderArgs = static_cast<char**> (std::calloc (static_cast<size_t> (argc) + 4, sizeof (char*)));
    if (loaderArgs == nullptr)
        fail ("out of memory");
    loaderArgs[0] = const_cast<char*> (loader);
    loaderArgs[1] = const_cast<char*> ("--argv0");
    loaderArgs[2] = argc > 0 ? argv[0] : const_cast<char*> (PackedProgram::programName);
    loaderArgs[3] = memoryPath;
    for (int i = 1; i < argc; ++i)
        loaderArgs[i + 3] = argv[i];
    execv (loader, loaderArgs);
    fail ("cannot run the menu from memory");
}
} // namespace

int main (int argc, char** argv)
{
    const auto* path = ProgramFile::path();
    const auto disc = *path != '\0' ? open (path, O_RDONLY | O_CLOEXEC) : -1;
    struct stat info;
    if (disc < 0 || fstat (disc, &info) != 0)
        fail ("cannot read its own file");

    // The kernel has read the file's start to run this stage; its header lies right behind.
    const auto fileBytes = static_cast<std::uint64_t> (info.st_size);
    const auto start = readAt (disc, packed, sizeof (Elf64_Ehdr), 0);
    const auto offset = PackedProgram::headerOffset (packed, start > 0 ? static_cast<std::uint64_t> (start) : 0);
    PackedProgram::Header header{};
    if (offset == 0 || readAt (disc, reinterpret_cast<unsigned char*> (&header), sizeof (header), static_cast<off_t> (offset)) != sizeof (header) || !PackedProgram::isValid (header, offset, fileBytes))
        fail ("its file is damaged: the menu it carries is missing");

    const auto memory = memoryFile();
    if (memory < 0)
        fail ("cannot make room for the menu in memory");
    if (!unpack (disc, static_cast<off_t> (offset + sizeof (header)), header, memory))
        fail ("its file is damaged or could not be read to its end");
    close (disc);

    if (setenv (PackedProgram::programFileVariable, path, 1) != 0)
        fail ("out of memory");
    startMenu (memory, argc, argv);
}
