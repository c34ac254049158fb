// org.a11y.atspi.Accessible: what an object is, what it holds and where it stands.

#include "AtspiAdaptors.h"

void AtspiRequest::refer (DBus::Writer& out, juce::Component* component) const
{
    out.reference (busName, tree.pathOf (component));
}

void AtspiRequest::referToParent (DBus::Writer& out, juce::Component* component) const
{
    if (component == nullptr)
        out.reference (application.desktopName, application.desktopPath);
    else
        refer (out, AccessibleTree::parentOf (component));
}

void writeStates (DBus::Writer& out, const Atspi::StateSet& states)
{
    out.array ("u", [&states] (DBus::Writer& array)
               { array.uint32 (states.words[0]).uint32 (states.words[1]); });
}

DBus::Message AtspiAdaptors::accessible (const AtspiRequest& request, const std::string& member)
{
    auto* const object = request.object;
    auto reply = DBus::Message::replyTo (request.call);
    DBus::Writer out (reply);
    const auto children = AccessibleTree::childrenOf (object);

    if (member == "GetChildAtIndex")
    {
        const auto index = DBus::Reader (request.call).int32();
        if (index < 0 || index >= static_cast<int> (children.size()))
            return DBus::Message::errorFor (request.call, "org.freedesktop.DBus.Error.InvalidArgs", "no child at that index");
        request.refer (out, children[static_cast<size_t> (index)]);
    }
    else if (member == "GetChildren")
        out.array ("(so)", [&] (DBus::Writer& array)
                   { for (auto* child : children) request.refer (array, child); });
    else if (member == "GetIndexInParent")
        out.int32 (AccessibleTree::indexInParent (object));
    else if (member == "GetRelationSet")
        out.array ("(ua(so))", [] (DBus::Writer&) {});
    else if (member == "GetRole")
        out.uint32 (AccessibleTree::roleOf (object).number);
    else if (member == "GetRoleName" || member == "GetLocalizedRoleName")
        out.string (AccessibleTree::roleOf (object).name);
    else if (member == "GetState")
        writeStates (out, AccessibleTree::statesOf (object));
    else if (member == "GetAttributes")
        out.array ("{ss}", [] (DBus::Writer& array)
                   { array.dictEntry ([] (DBus::Writer& entry)
                                      { entry.string ("toolkit").string ("JUCE"); }); });
    else if (member == "GetApplication")
        request.refer (out, nullptr);
    else if (member == "GetInterfaces")
        out.array ("s", [object] (DBus::Writer& array)
                   { for (const auto* name : AccessibleTree::interfacesOf (object)) array.string (name); });
    else
        return {};
    return reply;
}
