#include "AtspiEvents.h"

#include <cstring>

AtspiEvents::AtspiEvents (AccessibleTree& t, DBus::Connection& b)
    : tree (t)
    , bus (b)
{
    juce::Desktop::getInstance().addFocusChangeListener (this);
    // Shown and hidden pages, and what they hold, for every component of every window.
    for (auto* window : AccessibleTree::childrenOf (nullptr))
        watchVisibility (*window);
}

AtspiEvents::~AtspiEvents()
{
    juce::Desktop::getInstance().removeFocusChangeListener (this);
    for (auto& watched : visibilityWatched)
        if (watched != nullptr)
            watched->removeComponentListener (this);
}

void AtspiEvents::tellWhatShows()
{
    globalFocusChanged (juce::Component::getCurrentlyFocusedComponent());
}

void AtspiEvents::tell (juce::Component* source, const char* interface, const char* member, const std::string& kind, int detail1,
                        const char* valueSignature, const std::function<void (DBus::Writer&)>& value)
{
    auto signal = DBus::Message::signal (tree.pathOf (source).c_str(), interface, member);
    DBus::Writer (signal).string (kind).int32 (detail1).int32 (0).variant (valueSignature, value).array ("{sv}", [] (DBus::Writer&) {});
    bus.send (signal);
}

void AtspiEvents::tell (juce::Component* source, const char* interface, const char* member, const std::string& kind, int detail1)
{
    tell (source, interface, member, kind, detail1, "i", [] (DBus::Writer& v)
          { v.int32 (0); });
}

void AtspiEvents::tellState (juce::Component* source, const char* state, bool on)
{
    tell (source, Atspi::objectEvents, "StateChanged", state, on ? 1 : 0);
}

/** A window's activation, with its title. */
void AtspiEvents::tellWindow (juce::Component* window, const char* member)
{
    tell (window, Atspi::windowEvents, member, {}, 0, "s", [&] (DBus::Writer& v)
          { v.string (AccessibleTree::nameOf (window)); });
    tellState (window, "active", std::strcmp (member, "Activate") == 0);
}

/** The focus, for a control that has it, and the active window. */
void AtspiEvents::globalFocusChanged (juce::Component* focusedComponent)
{
    auto* active = juce::TopLevelWindow::getActiveTopLevelWindow();
    if (active != activeWindow.getComponent())
    {
        if (auto* previous = activeWindow.getComponent(); AccessibleTree::isShown (previous))
            tellWindow (previous, "Deactivate");
        activeWindow = active;
        if (AccessibleTree::isShown (active))
            tellWindow (active, "Activate");
    }

    auto* control = focusedComponent;
    while (control != nullptr && !AccessibleTree::isShown (control))
        control = control->getParentComponent();
    if (control == focusedControl.getComponent())
        return;

    if (auto* previous = focusedControl.getComponent(); AccessibleTree::isShown (previous))
        tellState (previous, "focused", false);
    focusedControl = control;
    if (control != nullptr)
    {
        tellState (control, "focused", true);
        tell (control, Atspi::focusEvents, "Focus");
    }
}

void AtspiEvents::watchVisibility (juce::Component& component)
{
    component.addComponentListener (this);
    visibilityWatched.push_back (&component);
    for (auto* child : component.getChildren())
        watchVisibility (*child);
}

void AtspiEvents::componentVisibilityChanged (juce::Component& component)
{
    if (!AccessibleTree::isShown (&component) || component.isOnDesktop())
        return;
    const bool shown = component.isVisible();
    tellState (&component, "visible", shown);
    tellState (&component, "showing", component.isShowing());

    auto* parent = AccessibleTree::parentOf (&component);
    const auto index = shown ? AccessibleTree::indexInParent (&component) : -1;
    tell (parent, Atspi::objectEvents, "ChildrenChanged", shown ? "add" : "remove", index, "(so)", [&] (DBus::Writer& v)
          { v.reference (bus.uniqueName(), tree.pathOf (&component)); });
}
