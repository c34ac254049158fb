// The framework as the program builds it sleeps while nothing is due: its timer thread
// waits for the first timer instead of waking ten times a second, and its image cache
// sweeps rarely while every image is held. These are what that must not cost.

#include "support/InProcess.h"

#include <gtest/gtest.h>

namespace
{
/** Counts its callbacks and when the first came. */
class CountingTimer : public juce::Timer
{
public:
    ~CountingTimer() override { stopTimer(); }

    void timerCallback() override
    {
        if (calls++ == 0)
            firstCall = juce::Time::getMillisecondCounter();
    }

    int calls = 0;
    juce::uint32 firstCall = 0;
};

/** Runs the message loop until the condition holds or the ceiling is reached. */
template <typename Condition>
bool loopUntil (Condition condition, int ceiling = 10000)
{
    const auto start = juce::Time::getMillisecondCounter();
    while (!condition() && juce::Time::getMillisecondCounter() - start < static_cast<juce::uint32> (ceiling))
        support::runMessageLoop (5);
    return condition();
}

constexpr int quietMilliseconds = 1500, period = 1000;
} // namespace

// The timer thread may have slept through a long quiet; a timer started or restarted then
// still waits its whole period. (A busy machine only makes it later.)
TEST (FrameworkIdle, ATimerStartedAfterALongQuietWaitsItsWholePeriod)
{
    for (const bool restarted : { false, true })
    {
        CountingTimer timer;
        if (restarted)
            timer.startTimer (60 * period);
        support::runMessageLoop (quietMilliseconds);

        const auto start = juce::Time::getMillisecondCounter();
        timer.startTimer (period);
        ASSERT_TRUE (loopUntil ([&]
                                { return timer.calls > 0; }))
            << "the timer never came";
        EXPECT_GE (timer.firstCall - start, static_cast<juce::uint32> (period - 50)) << (restarted ? "restarted" : "started");
    }
}

// What the framework reads as the approximate time is the time, however long nothing
// needed the timer thread.
TEST (FrameworkIdle, TheApproximateClockIsNeverBehind)
{
    std::this_thread::sleep_for (std::chrono::milliseconds (quietMilliseconds));
    const auto approximate = juce::Time::getApproximateMillisecondCounter();
    const auto precise = juce::Time::getMillisecondCounter();
    EXPECT_LT (precise - approximate, static_cast<juce::uint32> (quietMilliseconds / 8));
}

// An image no one holds still goes from the cache, and one held for a while and then given
// back goes too once it has been asked for again.
TEST (FrameworkIdle, TheImageCacheStillLetsGoOfWhatNoOneHolds)
{
    juce::ImageCache::setCacheTimeout (0);
    constexpr juce::int64 unheld = 0x5eed0001, held = 0x5eed0002;
    juce::ImageCache::addImageToCache (juce::Image (juce::Image::ARGB, 4, 4, true), unheld);
    auto kept = juce::Image (juce::Image::ARGB, 4, 4, true);
    juce::ImageCache::addImageToCache (kept, held);

    EXPECT_TRUE (loopUntil ([]
                            { return juce::ImageCache::getFromHashCode (unheld).isNull(); }))
        << "an image no one held stayed";
    EXPECT_TRUE (juce::ImageCache::getFromHashCode (held).isValid()) << "an image still held went";

    // Held through a sweep or more, then given back.
    support::runMessageLoop (2500);
    EXPECT_EQ (juce::ImageCache::getFromHashCode (held), kept);
    kept = {};
    EXPECT_TRUE (loopUntil ([]
                            { return juce::ImageCache::getFromHashCode (held).isNull(); }))
        << "an image given back stayed";
    juce::ImageCache::setCacheTimeout (5000);
}
