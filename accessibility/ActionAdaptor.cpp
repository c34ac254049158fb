// org.a11y.atspi.Action: the one action of a control, what a click does.

#include "AtspiAdaptors.h"

DBus::Message AtspiAdaptors::action (const AtspiRequest& request, const std::string& member)
{
    auto* const object = request.object;
    if (!AccessibleTree::canBeClicked (object))
        return {};

    auto reply = DBus::Message::replyTo (request.call);
    DBus::Writer out (reply);
    const auto description = AccessibleTree::descriptionOf (object);
    const auto isTheAction = [&request]
    { return DBus::Reader (request.call).int32() == 0; };

    if (member == "GetName" || member == "GetLocalizedName")
        out.string (isTheAction() ? Atspi::clickAction : "");
    else if (member == "GetDescription")
        out.string (isTheAction() ? description : "");
    else if (member == "GetKeyBinding")
        out.string ("");
    else if (member == "GetActions")
        out.array ("(sss)", [&] (DBus::Writer& array)
                   { array.structure ([&] (DBus::Writer& s)
                                      { s.string (Atspi::clickAction).string (description).string (""); }); });
    else if (member == "DoAction")
    {
        const bool done = isTheAction();
        out.boolean (done);
        // Once the caller has its answer: what a click starts (another page, a program) may
        // take a while, and a client waits for the reply.
        if (done)
            juce::MessageManager::callAsync ([target = juce::Component::SafePointer<juce::Component> (object)]
                                             {
                                                 if (auto* handler = AccessibleTree::handlerOf (target.getComponent()))
                                                     handler->getActions().invoke (juce::AccessibilityActionType::press); });
    }
    else
        return {};
    return reply;
}
