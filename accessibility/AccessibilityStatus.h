#pragma once

#include "DBusConnection.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <string>

/** Whether assistive technology is on, as the desktop says on the session bus, and the
    accessibility bus while it is.

    The bus launcher (the owner of org.a11y.Bus) publishes org.a11y.Status. Only its own
    signals count, and each carries the new status, so no signal costs a call. While the
    status is on, the launcher is asked for the accessibility bus's address, and a
    connection there is handed on once it has registered. Nothing waits for either bus. */
class AccessibilityStatus
{
public:
    using BusReady = std::function<void (std::unique_ptr<DBus::Connection>)>;

    /** whenOn takes the accessibility bus each time assistive technology comes on; whenOff
        is called when it goes off, or the bus handed on is lost. */
    AccessibilityStatus (BusReady whenOn, std::function<void()> whenOff);
    ~AccessibilityStatus();

private:
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
    void followWhetherWanted();
    void connectToAccessibilityBus (const std::string& address);

    BusReady whenOn;
    std::function<void()> whenOff;
    std::unique_ptr<DBus::Connection> session;
    std::string launcherOwner; // the launcher's unique name on the session bus
    Status status;
    bool askingForAddress = false, handedOn = false;
    int attempt = 0;                                    // which attempt to reach the accessibility bus an answer belongs to
    std::unique_ptr<DBus::Connection> accessibilityBus; // until it has registered

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AccessibilityStatus)
};
