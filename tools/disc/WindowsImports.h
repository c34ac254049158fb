#pragma once

// What a Windows program takes from the system: the DLLs and functions of its import
// tables, read from the file itself, so that no Windows tool is needed to check it.

#include <juce_core/juce_core.h>

#include <vector>

namespace WindowsImports
{
struct Library
{
    juce::String name;
    juce::StringArray functions; // "#N" for what is imported by ordinal
};

/** Reads the import and delay-load tables of a 32- or 64-bit PE file. False, with the
    reason in error, for anything that is not one or whose tables lie outside the file. */
bool read (const juce::MemoryBlock& file, std::vector<Library>& libraries, juce::String& error);

/** What would keep the program from starting on Windows 7 SP1: a DLL that it lacks, an
    API set, or a function that came with Windows 8 or later. Empty when nothing. */
juce::StringArray windows7Problems (const std::vector<Library>& libraries);

/** Where the file's Authenticode signature lies (its PKCS#7 data); empty when unsigned
    or when the file is no PE file. */
juce::MemoryBlock signature (const juce::MemoryBlock& file);
} // namespace WindowsImports
