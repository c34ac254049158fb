#pragma once

// What every part of the test support takes for granted: the clock, waiting with a ceiling,
// and readable failure messages for the framework's strings.

#include <juce_core/juce_core.h>

#include <chrono>
#include <ostream>
#include <thread>

namespace juce
{
inline void PrintTo (const String& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo (const StringArray& lines, std::ostream* out)
{
    *out << "{ ";
    for (const auto& line : lines)
        *out << '"' << line.toStdString() << "\", ";
    *out << "}";
}
} // namespace juce

namespace support
{
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

/** Repeats a check until it holds or the ceiling is reached. The ceiling only ends a wait
    for what never comes: a busy machine may be slow. */
template <typename Check>
bool eventually (Check&& check, std::chrono::milliseconds ceiling = 10s)
{
    const auto end = Clock::now() + ceiling;
    for (;;)
    {
        if (check())
            return true;
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for (20ms);
    }
}
} // namespace support
