#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** Makes and reads the disc's packed Linux program (platform/linux/PackedProgram.h): the
    first stage, a header, and the menu compressed as one zstd frame. */
namespace PackedProgramFile
{
/** The stage with the program packed behind it; nothing, with the reason, when the stage
    ends elsewhere than its section headers, where the stage looks for the header. */
std::optional<juce::MemoryBlock> pack (const juce::MemoryBlock& stage, const juce::MemoryBlock& program, juce::String& error);

/** The program a packed file carries; nothing when the file is not a whole packed program. */
std::optional<juce::MemoryBlock> unpack (const juce::MemoryBlock& file);

/** Whether a file is a first stage with a header behind it (whole or not). */
bool isPacked (const juce::MemoryBlock& file);
} // namespace PackedProgramFile
