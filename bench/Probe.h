#pragma once

// What the probes share: where the menu's first paint shows on a private X server,
// medians, and what the kernel counts of a process.

#include "support/Processes.h"
#include "support/Screenshots.h"
#include "support/XInput.h"

namespace probe
{
using namespace support;

/** The medians the probes print. */
double median (std::vector<double> values);

/** The page faults a process has taken that needed no reading from a file. */
double minorFaults (pid_t pid);

/** A strip of the menu's background that no child covers, where its first paint shows. */
juce::Image menuStrip (const juce::File& pictures, int scale);

/** Where the window's content starts on the screen, the window centred at its start size. */
juce::Point<int> contentOnScreen (const XServer&, int scale = 1);

/** Where that strip shows on the screen, the window centred at its start size. */
juce::Rectangle<int> menuStripOnScreen (const XServer&, int scale);

/** Waits until the screen shows the expected strip: the milliseconds since start, or -1. */
double millisecondsUntilPainted (const XServer&, juce::Rectangle<int> where, const juce::Image& expected, Clock::time_point start);

/** One figure as the probes print it: name, the program's value, the floor's, their ratio, unit. */
void row (const std::string& name, double program, double floor, const std::string& unit);

/** A figure without a floor. */
void row (const std::string& name, double program, const std::string& unit);
} // namespace probe
