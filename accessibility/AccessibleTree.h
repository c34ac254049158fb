#pragma once

#include "AtspiConstants.h"

#include <map>
#include <string>
#include <vector>

/** The application's accessible objects as AT-SPI sees them, read from the framework's
    components and their accessibility handlers: the application at the root (a null
    component), its windows, each page that leads the focus within a window, and the
    controls a page holds. Every object has a path of its own, numbered as it is first
    handed out and never given to another; a component that goes stays gone.

    Knows nothing of any bus, so it can be read in-process. */
class AccessibleTree
{
public:
    AccessibleTree() = default;

    /** The object a path stands for; false for a path that stands for none (anymore). The
        application's path gives a null component. */
    bool resolve (const std::string& path, juce::Component*& component) const;

    /** The path that stands for an object; the root's for the application. */
    std::string pathOf (juce::Component*);

    /** What assistive technology is told of: a handler the framework does not ignore, on a
        component that is not merely one of the framework's unnamed containers. */
    static bool isShown (juce::Component*);

    static std::vector<juce::Component*> childrenOf (juce::Component*);
    /** The accessible parent; null for a window, whose parent is the application. */
    static juce::Component* parentOf (juce::Component*);
    /** Where a component stands among its parent's children; -1 where it does not. */
    static int indexInParent (juce::Component*);

    static std::string nameOf (juce::Component*);
    static std::string descriptionOf (juce::Component*);
    static const Atspi::Role& roleOf (juce::Component*);
    static bool canBeClicked (juce::Component*);
    static std::vector<const char*> interfacesOf (juce::Component*);
    static Atspi::StateSet statesOf (juce::Component*);

    /** Where the component is drawn, in physical pixels, on the screen or in its window. */
    static juce::Rectangle<int> extentsOf (juce::Component*, AtspiCoordType);

    /** The object drawn at a point given in physical pixels, within a component; null for none. */
    static juce::Component* componentAt (juce::Component* within, juce::Point<int>, AtspiCoordType);

    /** The framework's handler of a shown object; null for the application or what is not shown. */
    static juce::AccessibilityHandler* handlerOf (juce::Component*);

private:
    std::map<unsigned long, juce::Component::SafePointer<juce::Component>> objects;
    std::map<const juce::Component*, unsigned long> ids;
    unsigned long lastId = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AccessibleTree)
};
