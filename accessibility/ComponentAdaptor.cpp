// org.a11y.atspi.Component: where an object is drawn, in physical pixels, and its focus.

#include "AtspiAdaptors.h"

namespace
{
// What GetLayer answers.
constexpr unsigned widgetLayer = ATSPI_LAYER_WIDGET, windowLayer = ATSPI_LAYER_WINDOW;

/** The coordinates a client asks in: its window's, or the screen's for anything else. */
AtspiCoordType coordinatesFrom (unsigned number)
{
    return number == ATSPI_COORD_TYPE_WINDOW ? ATSPI_COORD_TYPE_WINDOW : ATSPI_COORD_TYPE_SCREEN;
}

void writeRectangle (DBus::Writer& out, juce::Rectangle<int> r)
{
    out.structure ([&r] (DBus::Writer& s)
                   { s.int32 (r.getX()).int32 (r.getY()).int32 (r.getWidth()).int32 (r.getHeight()); });
}
} // namespace

DBus::Message AtspiAdaptors::component (const AtspiRequest& request, const std::string& member)
{
    auto* const object = request.object;
    if (object == nullptr)
        return {};

    auto reply = DBus::Message::replyTo (request.call);
    DBus::Writer out (reply);
    DBus::Reader in (request.call);
    const auto point = [&in]
    {
        const auto x = in.int32(), y = in.int32();
        return juce::Point<int> (x, y);
    };

    if (member == "GetExtents")
        writeRectangle (out, AccessibleTree::extentsOf (object, coordinatesFrom (in.uint32())));
    else if (member == "GetPosition")
    {
        const auto extents = AccessibleTree::extentsOf (object, coordinatesFrom (in.uint32()));
        out.int32 (extents.getX()).int32 (extents.getY());
    }
    else if (member == "GetSize")
    {
        const auto extents = AccessibleTree::extentsOf (object, ATSPI_COORD_TYPE_SCREEN);
        out.int32 (extents.getWidth()).int32 (extents.getHeight());
    }
    else if (member == "Contains")
    {
        const auto p = point();
        out.boolean (AccessibleTree::extentsOf (object, coordinatesFrom (in.uint32())).contains (p));
    }
    else if (member == "GetAccessibleAtPoint")
    {
        const auto p = point();
        request.refer (out, AccessibleTree::componentAt (object, p, coordinatesFrom (in.uint32())));
    }
    else if (member == "GetLayer")
        out.uint32 (object->isOnDesktop() ? windowLayer : widgetLayer);
    else if (member == "GetMDIZOrder")
        out.int16 (0);
    else if (member == "GetAlpha")
        out.float64 (1.0);
    else if (member == "GrabFocus")
    {
        auto* handler = AccessibleTree::handlerOf (object);
        handler->grabFocus();
        out.boolean (handler->hasFocus (false));
    }
    else if (member == "SetExtents" || member == "SetPosition" || member == "SetSize" || member == "ScrollTo" || member == "ScrollToPoint")
        out.boolean (false);
    else
        return {};
    return reply;
}
