#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <string>

namespace DBus
{
class Connection;
class Message;
class Reader;
} // namespace DBus

/** Screen readers on Linux (Orca) read programs through AT-SPI, the desktop's accessibility
    protocol on D-Bus. The framework keeps the window's accessible tree (each control's name,
    description, role, state and actions, in its AccessibilityHandlers) but has no bridge to
    AT-SPI on Linux; this is that bridge. It walks the framework's public tree, answers on
    the accessibility bus for every object in it, and tells of focus, pages shown and hidden,
    and the window's activation as they happen.

    It follows the desktop's accessibility status (org.a11y.Status on the session bus) and
    publishes the tree only while assistive technology is on. Where there is no session
    bus, no accessibility bus or no D-Bus library, it does nothing at all. Everything runs on
    the message thread, and nothing waits there for either bus: a bus that never answers
    leaves the menu as it is without one. */
class AtspiBridge
{
public:
    AtspiBridge();
    ~AtspiBridge();

    /** Whether the tree is published on the accessibility bus now. */
    bool isPublished() const noexcept;

private:
    class Tree;

    /** org.a11y.Status, as the bus launcher last told it. */
    struct Status
    {
        bool isEnabled = false;
        bool screenReaderEnabled = false;
    };

    void followStatus();
    void statusSignal (const DBus::Message&);
    void readStatus (DBus::Reader properties);
    void launcherIs (const std::string& owner);
    void launcherGone();
    void askStatus();
    void publishWhileWanted();
    void connectToAccessibilityBus (const std::string& address);

    std::unique_ptr<DBus::Connection> session;
    std::string launcherOwner; // the launcher's unique name on the session bus
    Status status;
    bool askingForAddress = false;
    int attempt = 0;                                    // which attempt to reach the accessibility bus an answer belongs to
    std::unique_ptr<DBus::Connection> accessibilityBus; // until it has registered
    std::unique_ptr<Tree> tree;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AtspiBridge)
};
