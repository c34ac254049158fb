#pragma once

#include "AccessibleTree.h"
#include "DBusConnection.h"

/** What changes, told to the accessibility bus as AT-SPI events as it happens: the focus
    moving from control to control, pages shown and hidden, and the active window. */
class AtspiEvents : private juce::FocusChangeListener,
                    private juce::ComponentListener
{
public:
    AtspiEvents (AccessibleTree&, DBus::Connection&);
    ~AtspiEvents() override;

    /** What a screen reader that started before the program needs to hear of it now. */
    void tellWhatShows();

private:
    /** An AT-SPI event: its kind, two numbers and one value, from the object it concerns. */
    void tell (juce::Component* source, const char* interface, const char* member, const std::string& kind, int detail1,
               const char* valueSignature, const std::function<void (DBus::Writer&)>& value);
    void tell (juce::Component* source, const char* interface, const char* member, const std::string& kind = {}, int detail1 = 0);
    void tellState (juce::Component* source, const char* state, bool on);
    void tellWindow (juce::Component* window, const char* member);

    void globalFocusChanged (juce::Component*) override;
    void componentVisibilityChanged (juce::Component&) override;
    using juce::ComponentListener::componentVisibilityChanged;
    void watchVisibility (juce::Component&);

    AccessibleTree& tree;
    DBus::Connection& bus;
    juce::Component::SafePointer<juce::Component> activeWindow, focusedControl;
    std::vector<juce::Component::SafePointer<juce::Component>> visibilityWatched;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AtspiEvents)
};
