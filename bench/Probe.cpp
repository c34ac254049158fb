#include "Probe.h"

#include <algorithm>
#include <iostream>

namespace probe
{
namespace
{
    const juce::Rectangle<int> strip{ 0, 140, 330, 6 };
    const juce::Point<int> contentInWindow{ 4, 24 };
} // namespace

double median (std::vector<double> values)
{
    std::sort (values.begin(), values.end());
    const auto n = values.size();
    return n == 0 ? 0.0 : (n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0);
}

double minorFaults (pid_t pid)
{
    // Field 10 of the process's stat, the eighth after its name.
    const auto stat = juce::File ("/proc/" + juce::String (pid) + "/stat").loadFileAsString();
    return juce::StringArray::fromTokens (stat.fromLastOccurrenceOf (")", false, false).trim(), " ", "")[7].getDoubleValue();
}

juce::Image menuStrip (const juce::File& pictures, int scale)
{
    const auto set = scale == 1 ? pictures : pictures.getChildFile ("2x");
    return juce::ImageFileFormat::loadFrom (set.getChildFile ("menuBackground.png")).getClippedImage (strip * scale);
}

juce::Point<int> contentOnScreen (const XServer& x, int scale)
{
    return contentInWindow * scale + juce::Point<int> ((x.width() - 644 * scale) / 2, (x.height() - 424 * scale) / 2);
}

juce::Rectangle<int> menuStripOnScreen (const XServer& x, int scale)
{
    return strip * scale + contentOnScreen (x, scale);
}

double millisecondsUntilPainted (const XServer& x, juce::Rectangle<int> where, const juce::Image& expected, Clock::time_point start)
{
    while (Clock::now() - start < 20s)
    {
        if (countDifferentPixels (screenshot (x, where), expected) == 0)
            return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
        std::this_thread::sleep_for (1ms);
    }
    return -1;
}

void row (const std::string& name, double program, double floor, const std::string& unit)
{
    std::cout << name << '\t' << program << '\t' << floor << '\t' << (floor > 0 ? program / floor : 0.0) << '\t' << unit << '\n';
}
void row (const std::string& name, double program, const std::string& unit)
{
    std::cout << name << '\t' << program << "\t\t\t" << unit << '\n';
}
} // namespace probe
