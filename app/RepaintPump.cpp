#include "RepaintPump.h"

namespace
{
constexpr int frameMilliseconds = 16;
}

RepaintPump::RepaintPump (juce::Component& w)
    : window (w)
{
    startTimer (frameMilliseconds);
}

RepaintPump::~RepaintPump()
{
    stopTimer();
}

void RepaintPump::timerCallback()
{
    if (auto* peer = window.getPeer())
        peer->performAnyPendingRepaintsNow();
}
