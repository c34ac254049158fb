#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** On Windows the framework (JUCE 7) holds a window's repaints until the display's
    next vertical blank, which it learns of through DXGI. Where no DXGI output answers
    (Wine, some remote sessions and virtual machines) nothing would ever be redrawn
    after the first paint: a click would switch the page but leave the old one on the
    screen.

    The pump watches the window's repaint requests and the peer's vertical blanks. Only
    when a repaint has waited more than two frames with no blank does it send the held
    repaints itself, once a frame, until the window has been quiet for a while or blanks
    arrive. Where blanks come it never starts its timer. */
class RepaintPump : private juce::ComponentPeer::VBlankListener,
                    private juce::ComponentMovementWatcher,
                    private juce::Timer
{
public:
    explicit RepaintPump (juce::Component& window);
    ~RepaintPump() override;

    /** True while the pump itself is sending the window's repaints. */
    bool isPumping() const noexcept { return pumping; }

    /** True while a repaint request is being watched or pumped. */
    bool isWaiting() const noexcept { return isTimerRunning(); }

    static constexpr int frameMilliseconds = 16;

private:
    class RequestWatch;

    void repaintRequested();
    void onVBlank() override;
    void timerCallback() override;

    void componentPeerChanged() override;
    void componentMovedOrResized (bool, bool) override {}
    void componentVisibilityChanged() override {}
    using juce::ComponentMovementWatcher::componentMovedOrResized;
    using juce::ComponentMovementWatcher::componentVisibilityChanged;

    void listenTo (juce::ComponentPeer* newPeer);
    void stop();

    juce::Component& window;
    juce::ComponentPeer* peer = nullptr;
    juce::uint32 lastBlank = 0, lastRequest = 0;
    bool blanksSeen = false, blanksMissing = false, pumping = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RepaintPump)
};
