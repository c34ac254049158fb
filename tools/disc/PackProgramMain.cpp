// pack-program STAGE PROGRAM OUTPUT   writes the disc's Linux program: the first stage with
//                                     the program packed behind it, mode 0755
// pack-program --unpack FILE OUTPUT   writes the program that a packed file carries

#include "PackedProgramFile.h"

#include <iostream>
#include <sys/stat.h>

namespace
{
int failWith (const juce::String& message)
{
    std::cerr << "pack-program: " << message << "\n";
    return 1;
}

bool load (const juce::File& file, juce::MemoryBlock& content)
{
    return file.existsAsFile() && file.loadFileAsData (content);
}

int write (const juce::File& output, const juce::MemoryBlock& content)
{
    output.deleteFile();
    if (!output.replaceWithData (content.getData(), content.getSize()) || chmod (output.getFullPathName().toRawUTF8(), 0755) != 0)
        return failWith ("cannot write " + output.getFullPathName());
    return 0;
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 4)
        return failWith ("usage: pack-program STAGE PROGRAM OUTPUT | --unpack FILE OUTPUT");
    const juce::String first (argv[1]);
    const juce::File second (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
    const juce::File output (juce::File::getCurrentWorkingDirectory().getChildFile (argv[3]));

    juce::MemoryBlock input;
    if (!load (second, input))
        return failWith ("cannot read " + second.getFullPathName());

    if (first == "--unpack")
    {
        const auto program = PackedProgramFile::unpack (input);
        return program ? write (output, *program) : failWith (second.getFullPathName() + " carries no whole packed program");
    }

    juce::MemoryBlock stage;
    const juce::File stageFile (juce::File::getCurrentWorkingDirectory().getChildFile (first));
    if (!load (stageFile, stage))
        return failWith ("cannot read " + stageFile.getFullPathName());
    juce::String error;
    const auto packed = PackedProgramFile::pack (stage, input, error);
    return packed ? write (output, *packed) : failWith (error);
}
