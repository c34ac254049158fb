#include "pages/PageLook.h"

#include <gtest/gtest.h>

TEST (PageLook, PaintsOnlyWhiteWithoutABackground)
{
    // A page whose background did not decode must not draw it; the white fill is all that shows.
    juce::Image canvas (juce::Image::ARGB, 640, 400, true);
    {
        juce::Graphics g (canvas);
        PageLook::paintBackground (g, juce::Image());
    }
    for (auto point : { juce::Point<int> (0, 0), { 320, 200 }, { 639, 399 } })
        EXPECT_EQ (canvas.getPixelAt (point.x, point.y), juce::Colours::white);
}
