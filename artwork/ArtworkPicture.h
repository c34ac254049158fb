#pragma once

#include "Artwork.h"

#include <juce_graphics/juce_graphics.h>

#include <functional>

/** A catalogue picture as the pages hold it: an image of the picture's size at 100 %
    whose pixels are decoded only when something first needs them, and then only in the
    set the screen needs.

    Drawing code asks forScale() for what to draw at the context's physical scale: the
    1x picture where one logical pixel is one physical pixel, the picture drawn at twice
    the size wherever it is more. Anything else that reads the image's pixels gets the
    1x picture. A picture that does not decode reads as transparent and draws nothing. */
class ArtworkPicture : public juce::ImagePixelData
{
public:
    /** The picture of an entry, held by the framework's image cache under the entry's
        address, so the same entry always gives the same image. Nothing is decoded here.
        An entry that is not a PNG picture of a sensible size gives an invalid image. */
    static juce::Image of (const ArtworkEntry&);

    /** What to draw for an image at a physical scale: for a catalogue picture, its
        decoded pixels in the set for that scale (invalid if they do not decode); any
        other image is drawn as it is. The first call schedules, one picture per message,
        the decoding of every picture handed out so far in the set the scale needs,
        and again whenever the scale needs the other set. */
    static juce::Image forScale (const juce::Image&, float physicalScale);

    /** Called once every picture handed out is decoded in the set in use. */
    static void whenAllDecoded (std::function<void()>);

    ~ArtworkPicture() override;

    std::unique_ptr<juce::LowLevelGraphicsContext> createLowLevelContext() override;
    Ptr clone() override;
    std::unique_ptr<juce::ImageType> createType() const override;
    void initialiseBitmapData (juce::Image::BitmapData&, int x, int y, juce::Image::BitmapData::ReadWriteMode) override;

private:
    ArtworkPicture (const ArtworkEntry&, juce::Point<int> size);

    /** The picture decoded in a set, 1 or 2; decodes it on first use. */
    const juce::Image& decoded (int set);

    /** The 1x pixels, or transparent pixels of the same size where they do not decode. */
    juce::Image& readable();

    /** The set asked for, where the picture has it; otherwise its 1x set. */
    int available (int set) const noexcept;
    bool isDecoded (int set) const noexcept;
    void keepOnly (int set);

    static void prefetchNext (int generation);

    const ArtworkEntry& entry;
    juce::Image sets[2];
    bool tried[2] = {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArtworkPicture)
};
