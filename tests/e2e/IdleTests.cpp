#include "support/Session.h"

#include <gtest/gtest.h>

using namespace support;

namespace
{
// Long enough for all that a move of the pointer starts to end: a tip comes 700 ms after
// the pointer rests, and a window keeps the picture it painted last for 3 s.
constexpr auto settling = 4s;
constexpr auto watched = 3s;
const juce::Point<int> awayFromTheWindow{ 2, 2 };

// Times the program's threads, all together, may wait and be woken in the watched seconds.
// Asleep, only the image cache's sweep every 2 s wakes them, three switches each time; a
// tip shown is looked after once a second besides. A window painting at every vertical
// blank of the display wakes hundreds of times in those seconds, and one that polls for
// the pointer every 123 ms, seventy.
constexpr double wakeUpsAsleep = 10, wakeUpsUnderATip = 30;

/** How often the program's threads waited and were woken while watched, once settled. */
double wakeUpsOnceSettled (pid_t pid)
{
    std::this_thread::sleep_for (settling);
    const auto before = contextSwitches (pid, false);
    std::this_thread::sleep_for (watched);
    return contextSwitches (pid, false) - before;
}

bool tipShown (const XServer& x, bool shown)
{
    return eventually ([&]
                       { return (viewableWindows (x).size() == 2) == shown; });
}
} // namespace

// Left alone the menu sleeps, with the pointer away and with it resting on a link whose tip
// shows; what it is asked to draw after sleeping reaches the screen at once, and a tip still
// comes and goes with the pointer.
TEST (Idle, TheMenuSleepsUntilTouchedAndThenAnswersAtOnce)
{
    Disc disc;
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    const auto pid = s.app->pid();

    moveMouse (s.x, awayFromTheWindow);
    EXPECT_LE (wakeUpsOnceSettled (pid), wakeUpsAsleep) << "timers ran with nothing to do";
    ASSERT_TRUE (s.openProductPage (0)) << "the first click after sleeping";

    moveMouse (s.x, s.onScreen (links[0][0].bounds.getCentre()));
    EXPECT_TRUE (tipShown (s.x, true)) << "no tip over the link";
    EXPECT_LE (wakeUpsOnceSettled (pid), wakeUpsUnderATip) << "the tip was polled for";

    moveMouse (s.x, awayFromTheWindow);
    EXPECT_TRUE (tipShown (s.x, false)) << "the tip stayed when the pointer left the window";
    EXPECT_LE (wakeUpsOnceSettled (pid), wakeUpsAsleep) << "timers ran on once the tip had gone";

    EXPECT_TRUE (s.returnToMenu()) << "the first click after sleeping again";
    s.closeAndExpectStatusZero();
}
