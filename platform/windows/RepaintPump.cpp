#include "RepaintPump.h"

namespace
{
// "More than two frames": a blank that is due arrives well within this.
constexpr juce::uint32 heldLimitMilliseconds = 2 * RepaintPump::frameMilliseconds + 2;
// Repaints follow input; once the window has asked for none this long, the pump rests.
constexpr juce::uint32 quietMilliseconds = 500;

juce::uint32 now()
{
    return juce::Time::getMillisecondCounter();
}
} // namespace

/** Sits where the window would keep a cached image of itself. A top-level window never
    paints through it; the framework only tells it, before the peer, that part of the
    window must be drawn again, and that is all it passes on. */
class RepaintPump::RequestWatch final : public juce::CachedComponentImage
{
public:
    explicit RequestWatch (RepaintPump& p)
        : pump (p)
    {
    }

    void paint (juce::Graphics& g) override { pump.window.paintEntireComponent (g, false); }

    bool invalidateAll() override
    {
        pump.repaintRequested();
        return true;
    }

    bool invalidate (const juce::Rectangle<int>&) override { return invalidateAll(); }
    void releaseResources() override {}

private:
    RepaintPump& pump;
};

RepaintPump::RepaintPump (juce::Component& w)
    : ComponentMovementWatcher (&w)
    , window (w)
{
    window.setCachedComponentImage (new RequestWatch (*this));
    listenTo (window.getPeer());
}

RepaintPump::~RepaintPump()
{
    stopTimer();
    listenTo (nullptr);
    window.setCachedComponentImage (nullptr);
}

void RepaintPump::listenTo (juce::ComponentPeer* newPeer)
{
    if (peer == newPeer)
        return;

    if (peer != nullptr && juce::ComponentPeer::isValidPeer (peer))
        peer->removeVBlankListener (this);

    peer = newPeer;

    if (peer != nullptr)
        peer->addVBlankListener (this);
}

void RepaintPump::componentPeerChanged()
{
    listenTo (window.getPeer());
}

void RepaintPump::repaintRequested()
{
    const auto at = now();
    lastRequest = at;

    if (isTimerRunning())
        return;

    // A blank within the last two frames will send this repaint too.
    if (blanksSeen && at - lastBlank <= heldLimitMilliseconds)
        return;

    // Once a repaint has been seen waiting with no blank, the next ones go out at the next frame.
    startTimer (blanksMissing ? frameMilliseconds : static_cast<int> (heldLimitMilliseconds));
}

void RepaintPump::onVBlank()
{
    blanksSeen = true;
    blanksMissing = false;
    lastBlank = now();
    stop();
}

void RepaintPump::timerCallback()
{
    const auto at = now();

    if (!pumping && blanksSeen && at - lastBlank <= heldLimitMilliseconds)
    {
        stop();
        return;
    }

    if (at - lastRequest > quietMilliseconds)
    {
        stop();
        return;
    }

    blanksMissing = true;

    if (!pumping)
    {
        pumping = true;
        startTimer (frameMilliseconds);
    }

    if (peer != nullptr)
        peer->performAnyPendingRepaintsNow();
}

void RepaintPump::stop()
{
    stopTimer();
    pumping = false;
}
