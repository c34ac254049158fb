#pragma once

#include "PictureKit.h"

#include <functional>
#include <vector>

/** One picture the generator draws: its file name and how to draw it. */
struct Picture
{
    juce::String fileName;
    std::function<juce::Image (const PictureKit&)> draw;
};

/** The seventeen catalogue pictures followed by the four icon sizes. */
std::vector<Picture> allPictures();

/** The five pages as the program composes them, buttons at rest, for looking at. */
std::vector<std::pair<juce::String, juce::Image>> pagePreviews (const PictureKit&);
