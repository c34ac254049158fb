#pragma once

#include "FirstCode.h"

#include <cstdint>
#include <cstring>
#include <elf.h>

/** The disc's Linux program as it is shipped: a small first stage, and behind its ELF
    file a header and the menu itself, compressed as one zstd frame.

    Started by its path, a program is read by the kernel and the loader page by page, from
    wherever each page lies in the file; from a cold optical drive every jump costs a seek.
    The first stage is small enough to be read in one piece with its header; it reads the
    rest of the file once, start to end, unpacks the menu into memory of its own and runs
    it from there. The disc gives fewer bytes than the menu has, and from then on nothing
    is read from it again.

    The menu learns from the first stage where its file lies on the disc (it runs from an
    anonymous file in memory, whose name says nothing), through programFileVariable. */
namespace PackedProgram
{
struct Header
{
    char magic[8];
    std::uint64_t packedBytes;   // the zstd frame that follows
    std::uint64_t unpackedBytes; // the menu's own file
};

constexpr char magic[8] = { 'B', 'R', 'L', 'V', 'P', 'K', '0', '1' };

/** No menu is this large; a header that says so is damaged. */
constexpr std::uint64_t largestProgram = 256u << 20;

// Read by the menu before anything else, so they lie with its first code.

/** Where the first stage tells the menu the path of the file it was started from. */
BRELVAN_FIRST_CONSTANT constexpr char programFileVariable[] = "BRELVAN_PROGRAM_FILE";

/** What the menu's memory file is called, and so the process. */
BRELVAN_FIRST_CONSTANT constexpr char programName[] = "OrvalisBrelvan";

/** Where the header lies: the end of the first stage's ELF file, which is its table of
    section headers (the linker and objcopy put it last). 0 when the bytes at the start,
    at least an ELF header's worth, are no 64-bit ELF file. */
inline std::uint64_t headerOffset (const unsigned char* start, std::uint64_t available)
{
    Elf64_Ehdr elf;
    if (available < sizeof (elf))
        return 0;
    std::memcpy (&elf, start, sizeof (elf));
    if (std::memcmp (elf.e_ident, ELFMAG, SELFMAG) != 0 || elf.e_ident[EI_CLASS] != ELFCLASS64 || elf.e_shentsize != sizeof (Elf64_Shdr))
        return 0;
    return elf.e_shoff + std::uint64_t (elf.e_shnum) * elf.e_shentsize;
}

/** Whether a header is whole and within the file's size. */
inline bool isValid (const Header& header, std::uint64_t offset, std::uint64_t fileBytes)
{
    return std::memcmp (header.magic, magic, sizeof (magic)) == 0 && header.unpackedBytes > 0 && header.unpackedBytes <= largestProgram && offset + sizeof (Header) <= fileBytes && header.packedBytes == fileBytes - offset - sizeof (Header);
}
} // namespace PackedProgram
