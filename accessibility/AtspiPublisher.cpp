#include "AtspiPublisher.h"

#include "CacheAdaptor.h"

AtspiPublisher::AtspiPublisher (std::unique_ptr<DBus::Connection> accessibilityBus)
    : bus (std::move (accessibilityBus))
{
    bus->serveObjects (Atspi::objectsPrefix, [this] (const DBus::Message& message)
                       { return answer (message); });
    embedInDesktop();
    events = std::make_unique<AtspiEvents> (tree, *bus);
    events->tellWhatShows();
}

AtspiPublisher::~AtspiPublisher() = default;

DBusHandlerResult AtspiPublisher::answer (const DBus::Message& call)
{
    if (!call.isMethodCall())
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;

    const auto path = call.path(), interface = call.interface(), member = call.member();
    juce::Component* object = nullptr;
    DBus::Message reply;
    if (path == Atspi::cachePath && interface == Atspi::cacheInterface && member == "GetItems")
        reply = CacheAdaptor::items ({ tree, application, bus->uniqueName(), call, nullptr });
    else if (!tree.resolve (path, object))
        reply = DBus::Message::errorFor (call, "org.freedesktop.DBus.Error.UnknownObject", "no such object");
    else
        reply = answerFor ({ tree, application, bus->uniqueName(), call, object }, interface, member);

    if (!reply)
        reply = DBus::Message::errorFor (call, "org.freedesktop.DBus.Error.UnknownMethod", member.c_str());
    if (call.wantsReply())
        bus->send (reply);
    return DBUS_HANDLER_RESULT_HANDLED;
}

// A call without an interface goes to the first that knows its member.
DBus::Message AtspiPublisher::answerFor (const AtspiRequest& request, const std::string& interface, const std::string& member)
{
    const auto asks = [&interface] (const char* name)
    { return interface == name || interface.empty(); };

    if (auto reply = AtspiAdaptors::properties (request, interface, member))
        return reply;
    if (asks (Atspi::accessibleInterface))
        if (auto reply = AtspiAdaptors::accessible (request, member))
            return reply;
    if (asks (Atspi::componentInterface))
        if (auto reply = AtspiAdaptors::component (request, member))
            return reply;
    if (asks (Atspi::actionInterface))
        return AtspiAdaptors::action (request, member);
    return {};
}

void AtspiPublisher::embedInDesktop()
{
    // The accessibility bus starts its registry when first asked. The registry reads the
    // tree while it embeds the application, so the answer comes back later.
    auto embed = DBus::Message::methodCall (Atspi::registry, Atspi::rootPath, Atspi::socketInterface, "Embed", true);
    DBus::Writer (embed).reference (bus->uniqueName(), Atspi::rootPath);
    bus->call (embed, [this] (const DBus::Reply& reply)
               {
                   if (!reply.succeeded())
                       return;
                   auto desktop = DBus::Reader (reply.message).recurse();
                   application.desktopName = desktop.string();
                   application.desktopPath = desktop.string(); });
}
