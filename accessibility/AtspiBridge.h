#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class AccessibilityStatus;
class AtspiPublisher;

/** Screen readers on Linux (Orca) read programs through AT-SPI, the desktop's accessibility
    protocol on D-Bus. The framework keeps the window's accessible tree (each control's name,
    description, role, state and actions, in its AccessibilityHandlers) but has no bridge to
    AT-SPI on Linux; this is that bridge.

    It follows the desktop's accessibility status on the session bus (AccessibilityStatus)
    and, only while assistive technology is on, publishes the tree on the accessibility bus
    (AtspiPublisher). Where there is no session bus, no accessibility bus or no D-Bus library,
    it does nothing at all. Everything runs on the message thread, and nothing waits there for
    either bus: a bus that never answers leaves the menu as it is without one. */
class AtspiBridge
{
public:
    AtspiBridge();
    ~AtspiBridge();

    /** Whether the tree is published on the accessibility bus now. */
    bool isPublished() const noexcept { return publisher != nullptr; }

private:
    std::unique_ptr<AtspiPublisher> publisher;
    std::unique_ptr<AccessibilityStatus> status;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AtspiBridge)
};
