// Draws every picture of the program and writes them as PNG files, once as the program
// shows them at 100 % and once with twice the pixels each way, into the folder 2x:
//   artwork_generator <folder> [--previews <folder>]

#include "Pictures.h"
#include "PngWriter.h"

#include <iostream>

namespace
{
void write (const juce::Image& picture, const juce::File& file)
{
    const auto bytes = PngWriter::encode (picture);
    if (!file.replaceWithData (bytes.getData(), bytes.getSize()))
        throw std::runtime_error ("cannot write " + file.getFullPathName().toStdString());
}
} // namespace

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
        const auto here = juce::File::getCurrentWorkingDirectory();
        for (int scale : { 1, 2 })
        {
            const PictureKit kit (scale);
            const auto inScaleFolder = [scale] (const juce::File& folder)
            { return scale == 1 ? folder : folder.getChildFile (juce::String (scale) + "x"); };

            const auto folder = inScaleFolder (here.getChildFile (argv[1]));
            folder.createDirectory();
            for (auto& picture : allPictures())
                write (picture.draw (kit), folder.getChildFile (picture.fileName));

            if (argc == 4)
            {
                const auto previews = inScaleFolder (here.getChildFile (argv[3]));
                previews.createDirectory();
                for (auto& [name, image] : pagePreviews (kit))
                    write (image, previews.getChildFile (name));
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
