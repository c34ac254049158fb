#include "PackedProgramFile.h"

#include "platform/linux/PackedProgram.h"

#include <zstd.h>

namespace
{
const unsigned char* bytesOf (const juce::MemoryBlock& block)
{
    return static_cast<const unsigned char*> (block.getData());
}

/** The header behind the stage, and where it lies; nothing where there is none. */
std::optional<std::pair<PackedProgram::Header, std::uint64_t>> headerOf (const juce::MemoryBlock& file)
{
    const auto size = static_cast<std::uint64_t> (file.getSize());
    const auto offset = PackedProgram::headerOffset (bytesOf (file), size);
    PackedProgram::Header header;
    if (offset == 0 || offset + sizeof (header) > size)
        return std::nullopt;
    std::memcpy (&header, bytesOf (file) + offset, sizeof (header));
    if (std::memcmp (header.magic, PackedProgram::magic, sizeof (PackedProgram::magic)) != 0)
        return std::nullopt;
    return std::make_pair (header, offset);
}
} // namespace

std::optional<juce::MemoryBlock> PackedProgramFile::pack (const juce::MemoryBlock& stage, const juce::MemoryBlock& program, juce::String& error)
{
    if (PackedProgram::headerOffset (bytesOf (stage), stage.getSize()) != stage.getSize())
    {
        error = "the first stage does not end with its section headers";
        return std::nullopt;
    }
    // zstd's strongest level short of its ultra ones: slow to pack once, as fast to unpack.
    // With the content's checksum, which the stage checks: a damaged frame may decode.
    constexpr int level = 19;
    juce::MemoryBlock packed (ZSTD_compressBound (program.getSize()));
    auto* context = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter (context, ZSTD_c_compressionLevel, level);
    ZSTD_CCtx_setParameter (context, ZSTD_c_checksumFlag, 1);
    const auto bound = ZSTD_compress2 (context, packed.getData(), packed.getSize(), program.getData(), program.getSize());
    ZSTD_freeCCtx (context);
    if (ZSTD_isError (bound))
    {
        error = juce::String ("zstd could not compress the program: ") + ZSTD_getErrorName (bound);
        return std::nullopt;
    }

    PackedProgram::Header header;
    std::memcpy (header.magic, PackedProgram::magic, sizeof (header.magic));
    header.packedBytes = bound;
    header.unpackedBytes = program.getSize();
    juce::MemoryBlock file (stage);
    file.append (&header, sizeof (header));
    file.append (packed.getData(), bound);
    return file;
}

std::optional<juce::MemoryBlock> PackedProgramFile::unpack (const juce::MemoryBlock& file)
{
    const auto found = headerOf (file);
    if (!found || !PackedProgram::isValid (found->first, found->second, file.getSize()))
        return std::nullopt;
    const auto& [header, offset] = *found;
    juce::MemoryBlock program (header.unpackedBytes);
    const auto* packed = bytesOf (file) + offset + sizeof (header);
    const auto length = ZSTD_decompress (program.getData(), program.getSize(), packed, header.packedBytes);
    if (ZSTD_isError (length) || length != header.unpackedBytes)
        return std::nullopt;
    return program;
}

bool PackedProgramFile::isPacked (const juce::MemoryBlock& file)
{
    return headerOf (file).has_value();
}
