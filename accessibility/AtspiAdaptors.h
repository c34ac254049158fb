#pragma once

// The requests a client makes of the tree's objects, answered one interface at a time, as
// the interfaces are named in AT-SPI: Accessible, Component, Action, and the properties,
// introspection and Application of every object. Each gives the reply, or an empty message
// for a request it does not know.

#include "AccessibleTree.h"
#include "DBusMessage.h"

/** What the application was told of the desktop: where it is embedded, and its number. */
struct AtspiApplication
{
    std::string desktopName, desktopPath = Atspi::nullPath;
    int id = 0;
};

/** One request to one object. */
struct AtspiRequest
{
    AccessibleTree& tree;
    AtspiApplication& application;
    const std::string& busName; // ours, by which clients refer to our objects
    const DBus::Message& call;
    juce::Component* object; // null: the application

    /** A reference to an object of ours, "(so)"; the desktop, for the application's parent. */
    void refer (DBus::Writer&, juce::Component*) const;
    void referToParent (DBus::Writer&, juce::Component*) const;
};

/** An object's states, "au". */
void writeStates (DBus::Writer&, const Atspi::StateSet&);

namespace AtspiAdaptors
{
DBus::Message accessible (const AtspiRequest&, const std::string& member);
DBus::Message component (const AtspiRequest&, const std::string& member);
DBus::Message action (const AtspiRequest&, const std::string& member);
/** The properties of every interface, introspection, and the application's own calls. */
DBus::Message properties (const AtspiRequest&, const std::string& interface, const std::string& member);
} // namespace AtspiAdaptors
