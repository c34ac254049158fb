#include "platform/windows/RepaintPump.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>

namespace
{
/** Runs the message loop until the condition holds or the ceiling is reached; gives the time
    it took. The ceiling only ends a wait for what never comes: a busy machine may be slow. */
template <typename Condition>
int millisecondsUntil (Condition condition, int ceiling = 10000)
{
    const auto start = juce::Time::getMillisecondCounter();
    while (!condition() && static_cast<int> (juce::Time::getMillisecondCounter() - start) < ceiling)
        support::runMessageLoop (2);
    return static_cast<int> (juce::Time::getMillisecondCounter() - start);
}
} // namespace

// A window that is not on the desktop has no peer and so no vertical blanks: the case the
// pump exists for. Put on the desktop, its peer's blanks arrive and take over. What happens
// is checked, and that the pump waits its two frames first; how soon after it comes is the
// machine's.
TEST (RepaintPump, SendsHeldRepaintsOnlyWhileNoBlankComes)
{
    juce::Component window;
    window.setSize (200, 100);
    RepaintPump pump (window);
    EXPECT_FALSE (pump.isWaiting());

    // Timed from before the pump starts waiting; the counter counts whole milliseconds.
    const auto shown = juce::Time::getMillisecondCounter();
    window.setVisible (true);
    EXPECT_TRUE (pump.isWaiting());
    EXPECT_FALSE (pump.isPumping());
    millisecondsUntil ([&]
                       { return pump.isPumping(); });
    const auto tookToPump = static_cast<int> (juce::Time::getMillisecondCounter() - shown) + 1;
    EXPECT_TRUE (pump.isPumping());
    EXPECT_GE (tookToPump, 2 * RepaintPump::frameMilliseconds) << "a repaint was sent before a blank could have come";

    // Nothing more asked for: the pump rests instead of waking every frame.
    millisecondsUntil ([&]
                       { return !pump.isWaiting(); });
    EXPECT_FALSE (pump.isWaiting());
    EXPECT_FALSE (pump.isPumping());

    // Blanks known to be missing: the next repaint goes out again.
    window.repaint (0, 0, 10, 10);
    millisecondsUntil ([&]
                       { return pump.isPumping(); });
    EXPECT_TRUE (pump.isPumping());

    // With blanks arriving, a repaint asked for at a blank never starts the pump's timer:
    // the blank after it sends it. (The framework tells the pump of each blank first: its
    // listeners hear in the reverse order of their coming, and this one comes before the
    // window has a peer for the pump to listen to.)
    int blanks = 0;
    bool counting = false, waitedAtABlank = false;
    const juce::VBlankAttachment atEachBlank (&window, [&]
                                              {
                                                  if (!counting)
                                                      return;
                                                  ++blanks;
                                                  window.repaint();
                                                  waitedAtABlank = waitedAtABlank || pump.isWaiting(); });
    window.addToDesktop (0);
    millisecondsUntil ([&]
                       { return !pump.isWaiting(); });
    EXPECT_FALSE (pump.isWaiting());

    counting = true;
    millisecondsUntil ([&]
                       { return blanks >= 20; });
    EXPECT_GE (blanks, 20);
    EXPECT_FALSE (waitedAtABlank);
    EXPECT_FALSE (pump.isPumping());
}
