#include "AccessibilityStatus.h"

#include "AtspiConstants.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr const char* dbusService = "org.freedesktop.DBus";
constexpr const char* dbusPath = "/org/freedesktop/DBus";

/** The session bus as libdbus would find it, without starting one (no autolaunch): named
    by the environment, or the user's own socket in the runtime folder. */
std::string sessionBusAddress()
{
    if (const auto* address = std::getenv ("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != '\0')
        return address;
    if (const auto* runtime = std::getenv ("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/')
    {
        const auto socket = std::string (runtime) + "/bus";
        struct stat info;
        if (stat (socket.c_str(), &info) == 0 && S_ISSOCK (info.st_mode) && info.st_uid == getuid())
            return "unix:path=" + socket;
    }
    return {};
}
} // namespace

AccessibilityStatus::AccessibilityStatus (BusReady on, std::function<void()> off)
    : whenOn (std::move (on))
    , whenOff (std::move (off))
{
    session = DBus::Connection::open (sessionBusAddress(), [this] (bool registered)
                                      {
                                          if (registered)
                                              followStatus(); });
}

// What either bus still has on its way goes with its connection.
AccessibilityStatus::~AccessibilityStatus() = default;

void AccessibilityStatus::followStatus()
{
    const auto rule = [] (const std::string& sender, const char* interface, const char* member, const std::string& more)
    { return "type='signal',sender='" + sender + "',interface='" + interface + "',member='" + member + "'," + more; };
    session->watchSignals ({ rule (Atspi::busLauncher, Atspi::propertiesInterface, "PropertiesChanged", std::string ("path='") + Atspi::busLauncherPath + "'"),
                             rule (dbusService, dbusService, "NameOwnerChanged", std::string ("arg0='") + Atspi::busLauncher + "'") },
                           [this] (const DBus::Message& signal)
                           {
                               statusSignal (signal);
                               return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
                           });
    session->whenLost ([this]
                       { launcherGone(); });

    auto getOwner = DBus::Message::methodCall (dbusService, dbusPath, dbusService, "GetNameOwner");
    DBus::Writer (getOwner).string (Atspi::busLauncher);
    session->call (getOwner, [this] (const DBus::Reply& reply)
                   {
                       if (reply.succeeded())
                           launcherIs (DBus::Reader (reply.message).string()); });
}

void AccessibilityStatus::statusSignal (const DBus::Message& signal)
{
    DBus::Reader in (signal);
    if (signal.member() == "NameOwnerChanged" && signal.sender() == dbusService)
    {
        if (in.string() == Atspi::busLauncher)
        {
            in.string(); // the old owner
            launcherIs (in.string());
        }
        return;
    }

    if (signal.member() != "PropertiesChanged" || launcherOwner.empty() || signal.sender() != launcherOwner || signal.path() != Atspi::busLauncherPath || in.string() != Atspi::statusInterface)
        return;

    // The properties changed, with their values, then those changed without them.
    readStatus (in.recurse());
    if (!in.recurse().atEnd())
        return askStatus();
    followWhetherWanted();
}

void AccessibilityStatus::readStatus (DBus::Reader properties)
{
    while (!properties.atEnd())
    {
        auto entry = properties.recurse();
        const auto name = entry.string();
        const auto value = entry.recurse().boolean();
        if (name == "IsEnabled")
            status.isEnabled = value;
        else if (name == "ScreenReaderEnabled")
            status.screenReaderEnabled = value;
    }
}

void AccessibilityStatus::launcherIs (const std::string& owner)
{
    launcherOwner = owner;
    if (owner.empty())
        return launcherGone();
    askStatus();
}

void AccessibilityStatus::launcherGone()
{
    launcherOwner.clear();
    status = {};
    followWhetherWanted();
}

void AccessibilityStatus::askStatus()
{
    auto getAll = DBus::Message::methodCall (Atspi::busLauncher, Atspi::busLauncherPath, Atspi::propertiesInterface, "GetAll");
    DBus::Writer (getAll).string (Atspi::statusInterface);
    session->call (getAll, [this, asked = launcherOwner] (const DBus::Reply& reply)
                   {
                       if (!reply.succeeded() || reply.message.sender() != asked || asked != launcherOwner)
                           return;
                       status = {};
                       readStatus (DBus::Reader (reply.message).recurse());
                       followWhetherWanted(); });
}

void AccessibilityStatus::followWhetherWanted()
{
    if (!status.isEnabled && !status.screenReaderEnabled)
    {
        ++attempt; // whatever is on its way is no longer wanted
        askingForAddress = false;
        accessibilityBus.reset();
        if (std::exchange (handedOn, false))
            whenOff();
        return;
    }
    if (handedOn || accessibilityBus != nullptr || askingForAddress)
        return;

    askingForAddress = true;
    session->call (DBus::Message::methodCall (Atspi::busLauncher, Atspi::busLauncherPath, Atspi::busLauncher, "GetAddress"),
                   [this, thisAttempt = ++attempt] (const DBus::Reply& reply)
                   {
                       if (thisAttempt != attempt)
                           return;
                       askingForAddress = false;
                       if (reply.succeeded())
                           connectToAccessibilityBus (DBus::Reader (reply.message).string());
                   });
}

void AccessibilityStatus::connectToAccessibilityBus (const std::string& address)
{
    accessibilityBus = DBus::Connection::open (address, [this, thisAttempt = attempt] (bool registered)
                                               {
                                                   if (thisAttempt != attempt)
                                                       return;
                                                   if (!registered)
                                                       return accessibilityBus.reset();
                                                   accessibilityBus->whenLost ([this]
                                                                               {
                                                                                   handedOn = false;
                                                                                   whenOff(); });
                                                   handedOn = true;
                                                   whenOn (std::move (accessibilityBus)); });
}
