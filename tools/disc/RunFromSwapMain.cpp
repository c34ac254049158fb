// run-from-swap PROGRAM.exe
// Marks a Windows program, in place, to be copied to memory before it runs from removable
// or network media (IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP, IMAGE_FILE_NET_RUN_FROM_SWAP), so
// that it goes on running when its disc leaves the drive. Stripping the program rewrites
// its header without them, so this comes after stripping and before signing.

#include "WindowsImports.h"

#include <iostream>

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::cerr << "usage: run-from-swap PROGRAM.exe\n";
        return 2;
    }

    const auto program = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    juce::MemoryBlock content;
    if (!program.loadFileAsData (content) || !WindowsImports::markRunFromSwap (content)
        || !program.replaceWithData (content.getData(), content.getSize()))
    {
        std::cerr << "run-from-swap: cannot mark " << program.getFullPathName() << " (not a Windows program, or not writable)\n";
        return 1;
    }
    return 0;
}
