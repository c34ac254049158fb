#pragma once

#include "Processes.h"
#include "Screenshots.h"
#include "XInput.h"

#include <optional>

namespace support
{
/** The quickest click a person makes: press and release with nothing else in between. */
void quickClick (const XServer&, juce::Point<int> onRoot);

/** Tells on the screen which of the menu's five pages shows, by one strip of their
    backgrounds that no control covers on any page, and times clicks until a page shows. */
class PageWatch
{
public:
    /** The content's top-left corner on the screen; the pictures folder of the 1x set. */
    PageWatch (const XServer&, juce::Point<int> contentOnScreen, const juce::File& pictures);

    /** -1 for the menu, 0 to 3 for a product page, 99 for none of them. */
    int shown() const;

    /** Whether the five strips differ, so that the watch can tell every page apart. */
    bool tellsEveryPageApart() const;

    /** Clicks a point of the page and waits, with no other input, until the expected page
        shows: the time it took, or nothing when it did not within the ceiling. */
    std::optional<std::chrono::microseconds> clickUntil (juce::Point<int> inPage, int expected, std::chrono::milliseconds ceiling) const;

private:
    const XServer& x;
    juce::Point<int> origin;
    std::vector<juce::Image> signatures; // the menu's, then the four products' in item order
};
} // namespace support
