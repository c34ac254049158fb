#include "AccessibleTree.h"

#include <cstdlib>
#include <cstring>

namespace
{
bool isWindowRole (juce::AccessibilityRole role)
{
    return role == juce::AccessibilityRole::window || role == juce::AccessibilityRole::dialogWindow;
}

/** The framework's plain components that have no name (a window's resizing border, the
    page host, the focus ring) are left out; what they hold stands in their place. */
bool isPresented (const juce::AccessibilityHandler& handler)
{
    const auto role = handler.getRole();
    const bool plain = role == juce::AccessibilityRole::unspecified || role == juce::AccessibilityRole::group;
    return !plain || handler.getTitle().isNotEmpty() || handler.getDescription().isNotEmpty();
}

/** The windows on the desktop, in the application's order. */
std::vector<juce::Component*> windows()
{
    std::vector<juce::Component*> found;
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* window = desktop.getComponent (i); window != nullptr && window->isVisible() && AccessibleTree::isShown (window))
            found.push_back (window);
    return found;
}

// The nesting is the framework's: a window, and each component that leads the focus within
// it (a page), holds what it leads, in focus order. It is read here from the components, as
// the framework's own reading loses every control of a window scaled by the desktop's
// global factor, which it takes for lying outside the window.

bool isContainer (const juce::Component& component)
{
    return component.isFocusContainer() || component.isOnDesktop();
}

/** What a container leads, in focus order; an unnamed container gives way to what it leads. */
void addHeld (juce::Component& container, std::vector<juce::Component*>& into)
{
    const auto traverser = container.createFocusTraverser();
    if (traverser == nullptr)
        return;
    for (auto* held : traverser->getAllComponents (&container))
    {
        if (AccessibleTree::isShown (held))
            into.push_back (held);
        else if (held->isFocusContainer())
            addHeld (*held, into);
    }
}

/** Where a component is drawn on the screen, in physical pixels. A component's screen
    bounds leave out the desktop's global scale, which its window's bounds include. */
juce::Rectangle<int> physicalBounds (const juce::Component& component)
{
    auto& desktop = juce::Desktop::getInstance();
    return desktop.getDisplays().logicalToPhysical (component.getScreenBounds().toFloat() * desktop.getGlobalScaleFactor()).toNearestInt();
}
} // namespace

bool AccessibleTree::resolve (const std::string& path, juce::Component*& component) const
{
    component = nullptr;
    if (path == Atspi::rootPath)
        return true;
    if (path.rfind (Atspi::objectPathPrefix, 0) != 0)
        return false;
    const auto found = objects.find (std::strtoul (path.c_str() + std::strlen (Atspi::objectPathPrefix), nullptr, 10));
    if (found == objects.end() || !isShown (found->second))
        return false;
    component = found->second;
    return true;
}

std::string AccessibleTree::pathOf (juce::Component* component)
{
    if (component == nullptr)
        return Atspi::rootPath;
    auto& id = ids[component];
    // A component at the address of one that went is another object.
    if (id != 0 && objects[id] != component)
        id = 0;
    if (id == 0)
    {
        id = ++lastId;
        objects[id] = component;
    }
    return Atspi::objectPathPrefix + std::to_string (id);
}

juce::AccessibilityHandler* AccessibleTree::handlerOf (juce::Component* component)
{
    auto* handler = component != nullptr ? component->getAccessibilityHandler() : nullptr;
    return handler != nullptr && !handler->isIgnored() && isPresented (*handler) ? handler : nullptr;
}

bool AccessibleTree::isShown (juce::Component* component)
{
    return handlerOf (component) != nullptr;
}

std::vector<juce::Component*> AccessibleTree::childrenOf (juce::Component* component)
{
    if (component == nullptr)
        return windows();
    std::vector<juce::Component*> children;
    if (isContainer (*component))
        addHeld (*component, children);
    return children;
}

juce::Component* AccessibleTree::parentOf (juce::Component* component)
{
    if (component == nullptr || component->isOnDesktop())
        return nullptr;
    for (auto* parent = component->getParentComponent(); parent != nullptr; parent = parent->getParentComponent())
        if (isContainer (*parent) && isShown (parent))
            return parent;
    return nullptr;
}

int AccessibleTree::indexInParent (juce::Component* component)
{
    if (component == nullptr)
        return -1;
    const auto siblings = childrenOf (parentOf (component));
    const auto at = std::find (siblings.begin(), siblings.end(), component);
    return at != siblings.end() ? static_cast<int> (at - siblings.begin()) : -1;
}

std::string AccessibleTree::nameOf (juce::Component* component)
{
    if (component != nullptr)
        return handlerOf (component)->getTitle().toStdString();
    auto* app = juce::JUCEApplicationBase::getInstance();
    return app != nullptr ? app->getApplicationName().toStdString() : std::string();
}

std::string AccessibleTree::descriptionOf (juce::Component* component)
{
    return component == nullptr ? std::string() : handlerOf (component)->getDescription().toStdString();
}

const Atspi::Role& AccessibleTree::roleOf (juce::Component* component)
{
    return component == nullptr ? Atspi::applicationRole() : Atspi::roleFor (handlerOf (component)->getRole());
}

bool AccessibleTree::canBeClicked (juce::Component* component)
{
    return component != nullptr && handlerOf (component)->getActions().contains (juce::AccessibilityActionType::press);
}

std::vector<const char*> AccessibleTree::interfacesOf (juce::Component* component)
{
    if (component == nullptr)
        return { Atspi::accessibleInterface, Atspi::applicationInterface };
    if (canBeClicked (component))
        return { Atspi::accessibleInterface, Atspi::componentInterface, Atspi::actionInterface };
    return { Atspi::accessibleInterface, Atspi::componentInterface };
}

Atspi::StateSet AccessibleTree::statesOf (juce::Component* component)
{
    Atspi::StateSet states;
    if (component == nullptr)
        return states;

    auto* handler = handlerOf (component);
    if (component->isEnabled())
    {
        states.add (ATSPI_STATE_ENABLED);
        states.add (ATSPI_STATE_SENSITIVE);
    }
    if (component->isVisible())
        states.add (ATSPI_STATE_VISIBLE);
    if (component->isShowing())
        states.add (ATSPI_STATE_SHOWING);
    if (isWindowRole (handler->getRole()))
    {
        if (auto* window = dynamic_cast<juce::TopLevelWindow*> (component); window != nullptr && window->isActiveWindow())
            states.add (ATSPI_STATE_ACTIVE);
        if (auto* resizableWindow = dynamic_cast<juce::ResizableWindow*> (component); resizableWindow != nullptr && resizableWindow->isResizable())
            states.add (ATSPI_STATE_RESIZABLE);
        return states;
    }
    // The framework calls everything focusable; only what takes the keyboard's focus is.
    if (handler->getCurrentState().isFocusable() && component->getWantsKeyboardFocus())
        states.add (ATSPI_STATE_FOCUSABLE);
    if (handler->hasFocus (false))
        states.add (ATSPI_STATE_FOCUSED);
    return states;
}

juce::Rectangle<int> AccessibleTree::extentsOf (juce::Component* component, AtspiCoordType coordinates)
{
    auto bounds = physicalBounds (*component);
    if (coordinates == ATSPI_COORD_TYPE_WINDOW)
        bounds -= physicalBounds (*component->getTopLevelComponent()).getPosition();
    return bounds;
}

juce::Component* AccessibleTree::componentAt (juce::Component* within, juce::Point<int> physical, AtspiCoordType coordinates)
{
    auto& desktop = juce::Desktop::getInstance();
    if (coordinates == ATSPI_COORD_TYPE_WINDOW)
        physical += physicalBounds (*within->getTopLevelComponent()).getPosition();
    const auto logical = desktop.getDisplays().physicalToLogical (physical.toFloat()) / desktop.getGlobalScaleFactor();
    auto* handler = handlerOf (within)->getChildAt (logical.roundToInt());
    return handler != nullptr ? &handler->getComponent() : nullptr;
}
