#pragma once

#include "AtspiAdaptors.h"
#include "AtspiEvents.h"

#include <memory>

/** The application's tree published on the accessibility bus: registered with the desktop's
    registry, every object answering there by a path of its own, and what changes told as it
    happens. Lives as long as assistive technology is on. */
class AtspiPublisher
{
public:
    /** Takes over a connection to the accessibility bus that has registered. */
    explicit AtspiPublisher (std::unique_ptr<DBus::Connection>);
    ~AtspiPublisher();

private:
    DBusHandlerResult answer (const DBus::Message&);
    DBus::Message answerFor (const AtspiRequest&, const std::string& interface, const std::string& member);
    void embedInDesktop();

    std::unique_ptr<DBus::Connection> bus;
    AccessibleTree tree;
    AtspiApplication application;
    std::unique_ptr<AtspiEvents> events;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AtspiPublisher)
};
