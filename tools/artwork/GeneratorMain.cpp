// Draws every picture of the program and writes them as PNG files:
//   artwork_generator <folder> [--previews <folder>]

#include "Pictures.h"
#include "PngWriter.h"

#include <iostream>

int main (int argc, char* argv[])
{
    if (argc != 2 && !(argc == 4 && juce::String (argv[2]) == "--previews"))
    {
        std::cerr << "usage: artwork_generator <folder> [--previews <folder>]\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI framework;

    try
    {
        const PictureKit kit;
        const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
        folder.createDirectory();

        for (auto& picture : allPictures())
        {
            const auto bytes = PngWriter::encode (picture.draw (kit));
            if (!folder.getChildFile (picture.fileName).replaceWithData (bytes.getData(), bytes.getSize()))
                throw std::runtime_error ("cannot write " + picture.fileName.toStdString());
        }

        if (argc == 4)
        {
            const juce::File previews (juce::File::getCurrentWorkingDirectory().getChildFile (argv[3]));
            previews.createDirectory();
            for (auto& [name, image] : pagePreviews (kit))
            {
                const auto bytes = PngWriter::encode (image);
                previews.getChildFile (name).replaceWithData (bytes.getData(), bytes.getSize());
            }
        }
    }
    catch (const std::exception& e)
    {
        std::cerr << "artwork_generator: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
