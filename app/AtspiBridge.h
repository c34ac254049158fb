#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace DBus
{
class Connection;
}

/** Screen readers on Linux (Orca) read programs through AT-SPI, the desktop's accessibility
    protocol on D-Bus. The framework keeps the window's accessible tree (each control's name,
    description, role, state and actions, in its AccessibilityHandlers) but has no bridge to
    AT-SPI on Linux; this is that bridge. It walks the framework's public tree, answers on
    the accessibility bus for every object in it, and tells of focus, pages shown and hidden,
    and the window's activation as they happen.

    It follows the desktop's accessibility status (org.a11y.Status on the session bus) and
    publishes the tree only while assistive technology is on. Where there is no session
    bus, no accessibility bus or no D-Bus library, it does nothing at all. Everything runs on
    the message thread. */
class AtspiBridge
{
public:
    AtspiBridge();
    ~AtspiBridge();

    /** Whether the tree is published on the accessibility bus now. */
    bool isPublished() const noexcept;

private:
    class Tree;

    void followStatus();

    std::unique_ptr<DBus::Connection> session;
    std::unique_ptr<Tree> tree;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AtspiBridge)
};
