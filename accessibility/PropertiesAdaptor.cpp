// org.freedesktop.DBus.Properties of every interface, org.freedesktop.DBus.Introspectable,
// and org.a11y.atspi.Application's own calls.

#include "AtspiAdaptors.h"

namespace
{
/** The properties an object has on an interface. */
std::vector<std::string> propertiesOf (juce::Component* object, const std::string& interface)
{
    if (interface == Atspi::accessibleInterface)
        return { "Name", "Description", "Parent", "ChildCount", "Locale", "AccessibleId" };
    if (interface == Atspi::applicationInterface && object == nullptr)
        return { "ToolkitName", "Version", "AtspiVersion", "Id" };
    if (interface == Atspi::actionInterface && AccessibleTree::canBeClicked (object))
        return { "NActions" };
    return {};
}

std::string textProperty (juce::Component* object, const std::string& name)
{
    if (name == "Name")
        return AccessibleTree::nameOf (object);
    if (name == "Description")
        return AccessibleTree::descriptionOf (object);
    if (name == "AccessibleId")
        return object == nullptr ? std::string() : object->getComponentID().toStdString();
    if (name == "ToolkitName")
        return "JUCE";
    if (name == "Version")
        return juce::SystemStats::getJUCEVersion().toStdString();
    if (name == "AtspiVersion")
        return "2.1";
    return "C"; // the locale
}

/** One of those properties, as a variant. */
void writeProperty (DBus::Writer& out, const AtspiRequest& request, const std::string& name)
{
    auto* const object = request.object;
    if (name == "Parent")
    {
        out.variant ("(so)", [&] (DBus::Writer& v)
                     { request.referToParent (v, object); });
        return;
    }

    const auto number = name == "ChildCount" ? static_cast<int> (AccessibleTree::childrenOf (object).size())
                        : name == "Id"       ? request.application.id
                        : name == "NActions" ? 1
                                             : -1;
    if (number >= 0)
        out.variant ("i", [number] (DBus::Writer& v)
                     { v.int32 (number); });
    else
        out.variant ("s", [text = textProperty (object, name)] (DBus::Writer& v)
                     { v.string (text); });
}

DBus::Message propertiesCall (const AtspiRequest& request, const std::string& member)
{
    auto* const object = request.object;
    DBus::Reader in (request.call);
    const auto interface = in.string();
    auto reply = DBus::Message::replyTo (request.call);
    DBus::Writer out (reply);

    if (member == "Get")
    {
        const auto name = in.string();
        const auto names = propertiesOf (object, interface);
        if (std::find (names.begin(), names.end(), name) == names.end())
            return DBus::Message::errorFor (request.call, "org.freedesktop.DBus.Error.UnknownProperty", name.c_str());
        writeProperty (out, request, name);
    }
    else if (member == "GetAll")
        out.array ("{sv}", [&] (DBus::Writer& array)
                   {
                       for (const auto& name : propertiesOf (object, interface))
                           array.dictEntry ([&] (DBus::Writer& entry)
                                            { writeProperty (entry.string (name), request, name); }); });
    else if (member == "Set")
    {
        // The registry numbers the application it embeds.
        if (object == nullptr && interface == Atspi::applicationInterface && in.string() == "Id")
            request.application.id = in.recurse().int32();
    }
    else
        return {};
    return reply;
}

DBus::Message introspection (const AtspiRequest& request)
{
    std::string xml = "<node>";
    for (const auto* name : AccessibleTree::interfacesOf (request.object))
        xml += std::string ("<interface name=\"") + name + "\"/>";
    xml += "</node>";
    auto reply = DBus::Message::replyTo (request.call);
    DBus::Writer (reply).string (xml);
    return reply;
}
} // namespace

DBus::Message AtspiAdaptors::properties (const AtspiRequest& request, const std::string& interface, const std::string& member)
{
    if (interface == Atspi::propertiesInterface)
        return propertiesCall (request, member);
    if (interface == Atspi::introspectableInterface && member == "Introspect")
        return introspection (request);

    // The application's locale; and no bus of its own for clients to use in place of the
    // accessibility bus.
    if (request.object == nullptr && interface == Atspi::applicationInterface && (member == "GetLocale" || member == "GetApplicationBusAddress"))
    {
        auto reply = DBus::Message::replyTo (request.call);
        DBus::Writer (reply).string (member == "GetLocale" ? "C" : "");
        return reply;
    }
    return {};
}
