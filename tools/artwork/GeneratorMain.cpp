// Draws every picture of the program and writes them as PNG files, once as the program
// shows them at 100 % and once with twice the pixels each way, into the folder 2x:
//   artwork_generator <folder> [--previews <folder>] [--quick]
// The committed pictures are compressed as small as can be, which takes minutes; with
// --quick the same pixels are written in seconds, to compare what is drawn.

#include "Pictures.h"
#include "PngWriter.h"

#include <iostream>

namespace
{
void write (const juce::Image& picture, const juce::File& file, PngWriter::Effort effort)
{
    const auto bytes = PngWriter::encode (picture, effort);
    if (!file.replaceWithData (bytes.getData(), bytes.getSize()))
        throw std::runtime_error ("cannot write " + file.getFullPathName().toStdString());
}
} // namespace

int main (int argc, char* argv[])
{
    juce::StringArray arguments (argv + 1, argc - 1);
    const auto effort = arguments.contains ("--quick") ? PngWriter::Effort::quick : PngWriter::Effort::smallest;
    arguments.removeString ("--quick");
    if (arguments.size() != 1 && !(arguments.size() == 3 && arguments[1] == "--previews"))
    {
        std::cerr << "usage: artwork_generator <folder> [--previews <folder>] [--quick]\n";
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

            const auto folder = inScaleFolder (here.getChildFile (arguments[0]));
            folder.createDirectory();
            for (auto& picture : allPictures())
                write (picture.draw (kit), folder.getChildFile (picture.fileName), effort);

            if (arguments.size() == 3)
            {
                const auto previews = inScaleFolder (here.getChildFile (arguments[2]));
                previews.createDirectory();
                for (auto& [name, image] : pagePreviews (kit))
                    write (image, previews.getChildFile (name), effort);
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
