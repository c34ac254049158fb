#pragma once

// AT-SPI's names and numbers, from at-spi2-core's own header (enumerations and names only;
// nothing of the library is linked), and how the framework's roles map onto them.

#include <atspi/atspi-constants.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace Atspi
{
// Where the desktop's accessibility bus is told of: the bus launcher and its status.
constexpr const char* busLauncher = "org.a11y.Bus";
constexpr const char* busLauncherPath = "/org/a11y/bus";
constexpr const char* statusInterface = "org.a11y.Status";

// The registry that lists applications, and the paths this program answers on.
constexpr const char* registry = ATSPI_DBUS_NAME_REGISTRY;
constexpr const char* objectsPrefix = "/org/a11y/atspi";
constexpr const char* rootPath = ATSPI_DBUS_PATH_ROOT;
constexpr const char* objectPathPrefix = "/org/a11y/atspi/accessible/";
constexpr const char* cachePath = "/org/a11y/atspi/cache";
constexpr const char* nullPath = ATSPI_DBUS_PATH_NULL;

constexpr const char* accessibleInterface = ATSPI_DBUS_INTERFACE_ACCESSIBLE;
constexpr const char* applicationInterface = ATSPI_DBUS_INTERFACE_APPLICATION;
constexpr const char* componentInterface = ATSPI_DBUS_INTERFACE_COMPONENT;
constexpr const char* actionInterface = ATSPI_DBUS_INTERFACE_ACTION;
constexpr const char* cacheInterface = ATSPI_DBUS_INTERFACE_CACHE;
constexpr const char* socketInterface = ATSPI_DBUS_INTERFACE_SOCKET;
constexpr const char* objectEvents = ATSPI_DBUS_INTERFACE_EVENT_OBJECT;
constexpr const char* windowEvents = "org.a11y.atspi.Event.Window";
constexpr const char* focusEvents = "org.a11y.atspi.Event.Focus";
constexpr const char* propertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char* introspectableInterface = "org.freedesktop.DBus.Introspectable";

// The one action of a control: what a click does.
constexpr const char* clickAction = "click";

/** A role as AT-SPI numbers and names it. */
struct Role
{
    juce::AccessibilityRole framework;
    AtspiRole number;
    const char* name;
};

/** The role AT-SPI has for one of the framework's; "unknown" where it has none. */
const Role& roleFor (juce::AccessibilityRole);

/** The application's own role, at the root of its tree. */
const Role& applicationRole();

/** A set of AT-SPI states, as its two words of bits. */
struct StateSet
{
    unsigned words[2] = { 0, 0 };

    void add (AtspiStateType state) noexcept { words[state / 32] |= 1u << (state % 32); }
    bool contains (AtspiStateType state) const noexcept { return (words[state / 32] & (1u << (state % 32))) != 0; }
};
} // namespace Atspi
