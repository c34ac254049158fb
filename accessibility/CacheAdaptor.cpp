#include "CacheAdaptor.h"

namespace
{
void addItem (DBus::Writer& array, const AtspiRequest& request, juce::Component* object, int index)
{
    const auto children = AccessibleTree::childrenOf (object);
    array.structure ([&] (DBus::Writer& item)
                     {
                         request.refer (item, object);
                         request.refer (item, nullptr);
                         request.referToParent (item, object);
                         item.int32 (index).int32 (static_cast<int> (children.size()));
                         item.array ("s", [object] (DBus::Writer& names)
                                     { for (const auto* name : AccessibleTree::interfacesOf (object)) names.string (name); });
                         item.string (AccessibleTree::nameOf (object)).uint32 (AccessibleTree::roleOf (object).number).string (AccessibleTree::descriptionOf (object));
                         writeStates (item, AccessibleTree::statesOf (object)); });
    for (size_t i = 0; i < children.size(); ++i)
        addItem (array, request, children[i], static_cast<int> (i));
}
} // namespace

DBus::Message CacheAdaptor::items (const AtspiRequest& request)
{
    auto reply = DBus::Message::replyTo (request.call);
    DBus::Writer (reply).array ("((so)(so)(so)iiassusau)", [&request] (DBus::Writer& array)
                                { addItem (array, request, nullptr, -1); });
    return reply;
}
