#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** On Windows the framework (JUCE 7) holds a window's repaints until the display's
    next vertical blank, which it learns of through DXGI. Where no DXGI output answers
    (Wine, some remote sessions and virtual machines) nothing would ever be redrawn
    after the first paint: a click would switch the page but leave the old one on the
    screen. This sends the held repaints once a frame; where vertical blanks do come,
    it finds nothing left to send. */
class RepaintPump : private juce::Timer
{
public:
    explicit RepaintPump (juce::Component& window);
    ~RepaintPump() override;

private:
    void timerCallback() override;

    juce::Component& window;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RepaintPump)
};
