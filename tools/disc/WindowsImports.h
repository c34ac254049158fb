#pragma once

// What a Windows program takes from the system: the DLLs and functions of its import
// tables, and how its header asks to be run, read from the file itself, so that no
// Windows tool is needed to check it.

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

/** Whether the file's header asks Windows to copy it to memory (the swap file) before it
    runs from removable media and from the network. False for anything that is no PE file. */
bool runsFromSwap (const juce::MemoryBlock& file);

/** Sets those two bits of the header, and the header's checksum where it has one. False
    for anything that is no PE file. */
bool markRunFromSwap (juce::MemoryBlock& file);

/** Where the file's Authenticode signature lies (its PKCS#7 data); empty when unsigned
    or when the file is no PE file. */
juce::MemoryBlock signature (const juce::MemoryBlock& file);
} // namespace WindowsImports
