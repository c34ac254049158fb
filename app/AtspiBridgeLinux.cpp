#include "AtspiBridge.h"

#include "DBusLinux.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Where the desktop's accessibility bus is told of, and the registry that lists applications.
constexpr const char* busLauncher = "org.a11y.Bus";
constexpr const char* busLauncherPath = "/org/a11y/bus";
constexpr const char* statusInterface = "org.a11y.Status";
constexpr const char* registry = "org.a11y.atspi.Registry";
constexpr const char* dbusService = "org.freedesktop.DBus";
constexpr const char* dbusPath = "/org/freedesktop/DBus";

constexpr const char* objectsPrefix = "/org/a11y/atspi";
constexpr const char* rootPath = "/org/a11y/atspi/accessible/root";
constexpr const char* objectPathPrefix = "/org/a11y/atspi/accessible/";
constexpr const char* cachePath = "/org/a11y/atspi/cache";
constexpr const char* nullPath = "/org/a11y/atspi/null";

constexpr const char* propertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char* introspectableInterface = "org.freedesktop.DBus.Introspectable";
constexpr const char* accessibleInterface = "org.a11y.atspi.Accessible";
constexpr const char* applicationInterface = "org.a11y.atspi.Application";
constexpr const char* componentInterface = "org.a11y.atspi.Component";
constexpr const char* actionInterface = "org.a11y.atspi.Action";
constexpr const char* cacheInterface = "org.a11y.atspi.Cache";
constexpr const char* socketInterface = "org.a11y.atspi.Socket";
constexpr const char* objectEvents = "org.a11y.atspi.Event.Object";
constexpr const char* windowEvents = "org.a11y.atspi.Event.Window";
constexpr const char* focusEvents = "org.a11y.atspi.Event.Focus";

// AT-SPI's numbers (atspi-constants.h) for the roles and states this program shows.
struct Role
{
    juce::AccessibilityRole framework;
    unsigned number;
    const char* name;
};
constexpr unsigned applicationRole = 75;
constexpr Role roles[] = {
    { juce::AccessibilityRole::window, 23, "frame" },
    { juce::AccessibilityRole::dialogWindow, 16, "dialog" },
    { juce::AccessibilityRole::group, 39, "panel" },
    { juce::AccessibilityRole::unspecified, 39, "panel" },
    { juce::AccessibilityRole::button, 43, "push button" },
    { juce::AccessibilityRole::toggleButton, 62, "toggle button" },
    { juce::AccessibilityRole::hyperlink, 88, "link" },
    { juce::AccessibilityRole::image, 27, "image" },
    { juce::AccessibilityRole::label, 29, "label" },
    { juce::AccessibilityRole::staticText, 116, "static" },
    { juce::AccessibilityRole::tooltip, 64, "tool tip" },
};
constexpr Role unknownRole{ juce::AccessibilityRole::unspecified, 67, "unknown" };

enum State : unsigned
{
    active = 1,
    enabled = 8,
    focusable = 11,
    focused = 12,
    resizable = 21,
    sensitive = 24,
    showing = 25,
    visible = 30
};

// What Component.GetLayer answers.
constexpr unsigned widgetLayer = 3, windowLayer = 7;
// How GetExtents and the other Component calls take coordinates.
constexpr unsigned screenCoordinates = 0, windowCoordinates = 1;

// The one action of a control: what a click does.
constexpr const char* clickAction = "click";

const Role& roleOf (juce::AccessibilityRole role)
{
    for (const auto& r : roles)
        if (r.framework == role)
            return r;
    return unknownRole;
}

bool isWindowRole (juce::AccessibilityRole role)
{
    return role == juce::AccessibilityRole::window || role == juce::AccessibilityRole::dialogWindow;
}

/** The session bus as libdbus would find it, without starting one (no autolaunch): named
    by the environment, or the user's own socket in the runtime folder. */
std::string sessionBusAddress()
{
    if (const auto* address = std::getenv ("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != '\0')
        return address;
    if (const auto* runtime = std::getenv ("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/')
    {
        const auto socket = std::string (runtime) + "/bus";
        struct stat info;
        if (stat (socket.c_str(), &info) == 0 && S_ISSOCK (info.st_mode) && info.st_uid == getuid())
            return "unix:path=" + socket;
    }
    return {};
}
} // namespace

//==============================================================================
/** The tree on the accessibility bus: every object answers there by a path of its own,
    and what changes is told as AT-SPI events. */
class AtspiBridge::Tree : private juce::FocusChangeListener,
                          private juce::ComponentListener
{
public:
    explicit Tree (std::unique_ptr<DBus::Connection> accessibilityBus)
        : bus (std::move (accessibilityBus))
    {
        bus->serveObjects (objectsPrefix, [this] (const DBus::Message& message)
                           { return answer (message); });
        embedInDesktop();
        juce::Desktop::getInstance().addFocusChangeListener (this);
        watchVisibility();
        tellWhatShows();
    }

    ~Tree() override
    {
        juce::Desktop::getInstance().removeFocusChangeListener (this);
        for (auto& watched : visibilityWatched)
            if (watched != nullptr)
                watched->removeComponentListener (this);
    }

private:
    //==========================================================================
    // Objects: the application at the root, then each window and what its tree holds.

    /** The component an object path stands for; null for the application. */
    bool resolve (const std::string& path, juce::Component*& component)
    {
        component = nullptr;
        if (path == rootPath)
            return true;
        if (path.rfind (objectPathPrefix, 0) != 0)
            return false;
        const auto found = objects.find (std::strtoul (path.c_str() + std::strlen (objectPathPrefix), nullptr, 10));
        if (found == objects.end() || !isShown (found->second))
            return false;
        component = found->second;
        return true;
    }

    std::string pathOf (juce::Component* component)
    {
        if (component == nullptr)
            return rootPath;
        auto& id = ids[component];
        if (id == 0)
        {
            id = ++lastId;
            objects[id] = component;
        }
        return objectPathPrefix + std::to_string (id);
    }

    static juce::AccessibilityHandler* handlerOf (juce::Component* component)
    {
        auto* handler = component != nullptr ? component->getAccessibilityHandler() : nullptr;
        return handler != nullptr && !handler->isIgnored() ? handler : nullptr;
    }

    /** The framework's plain components that have no name (a window's resizing border, the
        page host, the focus ring) are left out; what they hold stands in their place. */
    static bool isPresented (const juce::AccessibilityHandler& handler)
    {
        const auto role = handler.getRole();
        const bool plain = role == juce::AccessibilityRole::unspecified || role == juce::AccessibilityRole::group;
        return !plain || handler.getTitle().isNotEmpty() || handler.getDescription().isNotEmpty();
    }

    static bool isShown (juce::Component* component)
    {
        auto* handler = handlerOf (component);
        return handler != nullptr && isPresented (*handler);
    }

    /** The windows on the desktop, in the application's order. */
    static std::vector<juce::Component*> windows()
    {
        std::vector<juce::Component*> found;
        auto& desktop = juce::Desktop::getInstance();
        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* window = desktop.getComponent (i); window != nullptr && window->isVisible() && isShown (window))
                found.push_back (window);
        return found;
    }

    // The nesting is the framework's: a window, and each component that leads the focus
    // within it (a page), holds what it leads, in focus order. It is read here from the
    // components, as the framework's own reading loses every control of a window scaled by
    // the desktop's global factor, which it takes for lying outside the window.

    static bool isContainer (const juce::Component& component)
    {
        return component.isFocusContainer() || component.isOnDesktop();
    }

    static std::vector<juce::Component*> childrenOf (juce::Component* component)
    {
        if (component == nullptr)
            return windows();
        std::vector<juce::Component*> children;
        if (isContainer (*component))
            addHeld (*component, children);
        return children;
    }

    /** What a container leads, in focus order; an unnamed container gives way to what it leads. */
    static void addHeld (juce::Component& container, std::vector<juce::Component*>& into)
    {
        const auto traverser = container.createFocusTraverser();
        if (traverser == nullptr)
            return;
        for (auto* held : traverser->getAllComponents (&container))
        {
            if (isShown (held))
                into.push_back (held);
            else if (held->isFocusContainer())
                addHeld (*held, into);
        }
    }

    /** The accessible parent: null for a window, whose parent is the application. */
    static juce::Component* parentOf (juce::Component* component)
    {
        if (component == nullptr || component->isOnDesktop())
            return nullptr;
        for (auto* parent = component->getParentComponent(); parent != nullptr; parent = parent->getParentComponent())
            if (isContainer (*parent) && isShown (parent))
                return parent;
        return nullptr;
    }

    static int indexIn (const std::vector<juce::Component*>& list, juce::Component* component)
    {
        const auto at = std::find (list.begin(), list.end(), component);
        return at != list.end() ? static_cast<int> (at - list.begin()) : -1;
    }

    std::string applicationName() const
    {
        auto* app = juce::JUCEApplicationBase::getInstance();
        return app != nullptr ? app->getApplicationName().toStdString() : std::string();
    }

    std::string nameOf (juce::Component* component) const
    {
        return component == nullptr ? applicationName() : handlerOf (component)->getTitle().toStdString();
    }

    static std::string descriptionOf (juce::Component* component)
    {
        return component == nullptr ? std::string() : handlerOf (component)->getDescription().toStdString();
    }

    static const Role& roleFor (juce::Component* component)
    {
        static constexpr Role application{ juce::AccessibilityRole::unspecified, applicationRole, "application" };
        return component == nullptr ? application : roleOf (handlerOf (component)->getRole());
    }

    static bool canBeClicked (juce::Component* component)
    {
        return component != nullptr && handlerOf (component)->getActions().contains (juce::AccessibilityActionType::press);
    }

    static std::vector<const char*> interfacesOf (juce::Component* component)
    {
        if (component == nullptr)
            return { accessibleInterface, applicationInterface };
        if (canBeClicked (component))
            return { accessibleInterface, componentInterface, actionInterface };
        return { accessibleInterface, componentInterface };
    }

    /** The states as AT-SPI's two words of bits. */
    static std::pair<unsigned, unsigned> statesOf (juce::Component* component)
    {
        std::pair<unsigned, unsigned> bits{ 0, 0 };
        const auto set = [&bits] (State state)
        { (state < 32 ? bits.first : bits.second) |= 1u << (state % 32); };
        if (component == nullptr)
            return bits;

        auto* handler = handlerOf (component);
        if (component->isEnabled())
        {
            set (enabled);
            set (sensitive);
        }
        if (component->isVisible())
            set (visible);
        if (component->isShowing())
            set (showing);
        if (isWindowRole (handler->getRole()))
        {
            if (auto* window = dynamic_cast<juce::TopLevelWindow*> (component); window != nullptr && window->isActiveWindow())
                set (active);
            if (auto* resizableWindow = dynamic_cast<juce::ResizableWindow*> (component); resizableWindow != nullptr && resizableWindow->isResizable())
                set (resizable);
            return bits;
        }
        // The framework calls everything focusable; only what takes the keyboard's focus is.
        if (handler->getCurrentState().isFocusable() && component->getWantsKeyboardFocus())
            set (focusable);
        if (handler->hasFocus (false))
            set (focused);
        return bits;
    }

    /** Where a component is drawn on the screen, in physical pixels. A component's screen
        bounds leave out the desktop's global scale, which its window's bounds include. */
    static juce::Rectangle<int> physicalBounds (const juce::Component& component)
    {
        auto& desktop = juce::Desktop::getInstance();
        return desktop.getDisplays().logicalToPhysical (component.getScreenBounds().toFloat() * desktop.getGlobalScaleFactor()).toNearestInt();
    }

    /** Where the component is drawn, in physical pixels, on the screen or in its window. */
    static juce::Rectangle<int> extentsOf (juce::Component* component, unsigned coordinates)
    {
        auto bounds = physicalBounds (*component);
        if (coordinates == windowCoordinates)
            bounds -= physicalBounds (*component->getTopLevelComponent()).getPosition();
        return bounds;
    }

    //==========================================================================
    DBusHandlerResult answer (const DBus::Message& message)
    {
        if (!message.isMethodCall())
            return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;

        const auto path = message.path();
        const auto interface = message.interface();
        const auto member = message.member();

        DBus::Message reply;
        juce::Component* component = nullptr;
        if (path == cachePath && interface == cacheInterface && member == "GetItems")
            reply = cacheItems (message);
        else if (!resolve (path, component))
            reply = DBus::Message::errorFor (message, "org.freedesktop.DBus.Error.UnknownObject", "no such object");
        else
            reply = answerFor (component, message, interface, member);

        if (!reply)
            reply = DBus::Message::errorFor (message, "org.freedesktop.DBus.Error.UnknownMethod", member.c_str());
        if (message.wantsReply())
            bus->send (reply);
        return DBUS_HANDLER_RESULT_HANDLED;
    }

    DBus::Message answerFor (juce::Component* component, const DBus::Message& call, const std::string& interface, const std::string& member)
    {
        if (interface == propertiesInterface)
            return properties (component, call, member);
        if (interface == introspectableInterface && member == "Introspect")
            return introspection (component, call);
        if (interface == accessibleInterface || interface.empty())
            if (auto reply = accessible (component, call, member))
                return reply;
        if (component != nullptr && (interface == componentInterface || interface.empty()))
            if (auto reply = componentCall (component, call, member))
                return reply;
        if (canBeClicked (component) && (interface == actionInterface || interface.empty()))
            return action (component, call, member);
        // The application's locale; and no bus of its own for clients to use in place of
        // the accessibility bus.
        if (component == nullptr && interface == applicationInterface && (member == "GetLocale" || member == "GetApplicationBusAddress"))
        {
            auto reply = DBus::Message::replyTo (call);
            DBus::Writer (reply).string (member == "GetLocale" ? "C" : "");
            return reply;
        }
        return {};
    }

    //==========================================================================
    DBus::Message accessible (juce::Component* component, const DBus::Message& call, const std::string& member)
    {
        auto reply = DBus::Message::replyTo (call);
        DBus::Writer out (reply);
        const auto children = childrenOf (component);

        if (member == "GetChildAtIndex")
        {
            const auto index = DBus::Reader (call).int32();
            if (index < 0 || index >= static_cast<int> (children.size()))
                return DBus::Message::errorFor (call, "org.freedesktop.DBus.Error.InvalidArgs", "no child at that index");
            reference (out, children[static_cast<size_t> (index)]);
        }
        else if (member == "GetChildren")
            out.array ("(so)", [&] (DBus::Writer& array)
                       { for (auto* child : children) reference (array, child); });
        else if (member == "GetIndexInParent")
            out.int32 (component == nullptr ? -1 : indexIn (childrenOf (parentOf (component)), component));
        else if (member == "GetRelationSet")
            out.array ("(ua(so))", [] (DBus::Writer&) {});
        else if (member == "GetRole")
            out.uint32 (roleFor (component).number);
        else if (member == "GetRoleName" || member == "GetLocalizedRoleName")
            out.string (roleFor (component).name);
        else if (member == "GetState")
            writeStates (out, component);
        else if (member == "GetAttributes")
            out.array ("{ss}", [] (DBus::Writer& array)
                       { array.dictEntry ([] (DBus::Writer& entry)
                                          { entry.string ("toolkit").string ("JUCE"); }); });
        else if (member == "GetApplication")
            reference (out, nullptr);
        else if (member == "GetInterfaces")
            out.array ("s", [component] (DBus::Writer& array)
                       { for (const auto* name : interfacesOf (component)) array.string (name); });
        else
            return {};
        return reply;
    }

    DBus::Message componentCall (juce::Component* component, const DBus::Message& call, const std::string& member)
    {
        auto reply = DBus::Message::replyTo (call);
        DBus::Writer out (reply);
        DBus::Reader in (call);
        const auto point = [&in]
        {
            const auto x = in.int32(), y = in.int32();
            return juce::Point<int> (x, y);
        };

        if (member == "GetExtents")
        {
            const auto extents = extentsOf (component, in.uint32());
            out.structure ([&] (DBus::Writer& s)
                           { s.int32 (extents.getX()).int32 (extents.getY()).int32 (extents.getWidth()).int32 (extents.getHeight()); });
        }
        else if (member == "GetPosition")
        {
            const auto extents = extentsOf (component, in.uint32());
            out.int32 (extents.getX()).int32 (extents.getY());
        }
        else if (member == "GetSize")
        {
            const auto extents = extentsOf (component, screenCoordinates);
            out.int32 (extents.getWidth()).int32 (extents.getHeight());
        }
        else if (member == "Contains")
        {
            const auto p = point();
            out.boolean (extentsOf (component, in.uint32()).contains (p));
        }
        else if (member == "GetAccessibleAtPoint")
        {
            const auto p = point();
            reference (out, componentAt (component, p, in.uint32()));
        }
        else if (member == "GetLayer")
            out.uint32 (component->isOnDesktop() ? windowLayer : widgetLayer);
        else if (member == "GetMDIZOrder")
            out.int16 (0);
        else if (member == "GetAlpha")
            out.float64 (1.0);
        else if (member == "GrabFocus")
        {
            handlerOf (component)->grabFocus();
            out.boolean (handlerOf (component)->hasFocus (false));
        }
        else if (member == "SetExtents" || member == "SetPosition" || member == "SetSize" || member == "ScrollTo" || member == "ScrollToPoint")
            out.boolean (false);
        else
            return {};
        return reply;
    }

    juce::Component* componentAt (juce::Component* within, juce::Point<int> physical, unsigned coordinates)
    {
        auto& desktop = juce::Desktop::getInstance();
        if (coordinates == windowCoordinates)
            physical += physicalBounds (*within->getTopLevelComponent()).getPosition();
        const auto logical = desktop.getDisplays().physicalToLogical (physical.toFloat()) / desktop.getGlobalScaleFactor();
        auto* handler = handlerOf (within)->getChildAt (logical.roundToInt());
        return handler != nullptr ? &handler->getComponent() : nullptr;
    }

    DBus::Message action (juce::Component* component, const DBus::Message& call, const std::string& member)
    {
        auto reply = DBus::Message::replyTo (call);
        DBus::Writer out (reply);
        const auto description = descriptionOf (component);
        if (member == "GetName" || member == "GetLocalizedName")
            out.string (DBus::Reader (call).int32() == 0 ? clickAction : "");
        else if (member == "GetDescription")
            out.string (DBus::Reader (call).int32() == 0 ? description : "");
        else if (member == "GetKeyBinding")
            out.string ("");
        else if (member == "GetActions")
            out.array ("(sss)", [&] (DBus::Writer& array)
                       { array.structure ([&] (DBus::Writer& s)
                                          { s.string (clickAction).string (description).string (""); }); });
        else if (member == "DoAction")
        {
            const bool done = DBus::Reader (call).int32() == 0;
            out.boolean (done);
            // Once the caller has its answer: what a click starts (another page, a program)
            // may take a while, and a client waits for the reply.
            if (done)
                juce::MessageManager::callAsync ([target = juce::Component::SafePointer<juce::Component> (component)]
                                                 {
                                                     if (auto* handler = handlerOf (target.getComponent()))
                                                         handler->getActions().invoke (juce::AccessibilityActionType::press); });
        }
        else
            return {};
        return reply;
    }

    //==========================================================================
    DBus::Message properties (juce::Component* component, const DBus::Message& call, const std::string& member)
    {
        DBus::Reader in (call);
        const auto interface = in.string();
        auto reply = DBus::Message::replyTo (call);
        DBus::Writer out (reply);

        if (member == "Get")
        {
            const auto name = in.string();
            const auto names = propertiesOf (component, interface);
            if (std::find (names.begin(), names.end(), name) == names.end())
                return DBus::Message::errorFor (call, "org.freedesktop.DBus.Error.UnknownProperty", name.c_str());
            writeProperty (out, component, name);
        }
        else if (member == "GetAll")
            out.array ("{sv}", [&] (DBus::Writer& array)
                       {
                           for (const auto& name : propertiesOf (component, interface))
                               array.dictEntry ([&] (DBus::Writer& entry)
                                                { writeProperty (entry.string (name), component, name); }); });
        else if (member == "Set")
        {
            // The registry numbers the application it embeds.
            if (component == nullptr && interface == applicationInterface && in.string() == "Id")
                applicationId = in.recurse().int32();
        }
        else
            return {};
        return reply;
    }

    /** The properties an object has on an interface. */
    static std::vector<std::string> propertiesOf (juce::Component* component, const std::string& interface)
    {
        if (interface == accessibleInterface)
            return { "Name", "Description", "Parent", "ChildCount", "Locale", "AccessibleId" };
        if (interface == applicationInterface && component == nullptr)
            return { "ToolkitName", "Version", "AtspiVersion", "Id" };
        if (interface == actionInterface && canBeClicked (component))
            return { "NActions" };
        return {};
    }

    /** One of those properties, as a variant. */
    void writeProperty (DBus::Writer& out, juce::Component* component, const std::string& name)
    {
        if (name == "Parent")
        {
            out.variant ("(so)", [&] (DBus::Writer& v)
                         {
                             if (component == nullptr)
                                 v.reference (desktopName, desktopPath);
                             else
                                 reference (v, parentOf (component)); });
            return;
        }

        const auto number = name == "ChildCount" ? static_cast<int> (childrenOf (component).size())
                            : name == "Id"       ? applicationId
                            : name == "NActions" ? 1
                                                 : -1;
        if (number >= 0)
        {
            out.variant ("i", [number] (DBus::Writer& v)
                         { v.int32 (number); });
            return;
        }

        const auto text = name == "Name"           ? nameOf (component)
                          : name == "Description"  ? descriptionOf (component)
                          : name == "AccessibleId" ? (component == nullptr ? std::string() : component->getComponentID().toStdString())
                          : name == "ToolkitName"  ? std::string ("JUCE")
                          : name == "Version"      ? juce::SystemStats::getJUCEVersion().toStdString()
                          : name == "AtspiVersion" ? std::string ("2.1")
                                                   : std::string ("C"); // the locale
        out.variant ("s", [&text] (DBus::Writer& v)
                     { v.string (text); });
    }

    DBus::Message introspection (juce::Component* component, const DBus::Message& call)
    {
        std::string xml = "<node>";
        for (const auto* name : interfacesOf (component))
            xml += std::string ("<interface name=\"") + name + "\"/>";
        xml += "</node>";
        auto reply = DBus::Message::replyTo (call);
        DBus::Writer (reply).string (xml);
        return reply;
    }

    void reference (DBus::Writer& out, juce::Component* component)
    {
        out.reference (bus->uniqueName(), pathOf (component));
    }

    void writeStates (DBus::Writer& out, juce::Component* component)
    {
        const auto bits = statesOf (component);
        out.array ("u", [&bits] (DBus::Writer& array)
                   { array.uint32 (bits.first).uint32 (bits.second); });
    }

    /** Everything at once, for a client's cache: each object with its parent, children,
        name, role, description and states. */
    DBus::Message cacheItems (const DBus::Message& call)
    {
        auto reply = DBus::Message::replyTo (call);
        DBus::Writer out (reply);
        out.array ("((so)(so)(so)iiassusau)", [this] (DBus::Writer& array)
                   { cacheItem (array, nullptr, nullptr, -1); });
        return reply;
    }

    void cacheItem (DBus::Writer& array, juce::Component* component, juce::Component* parent, int index)
    {
        const auto children = childrenOf (component);
        array.structure ([&] (DBus::Writer& item)
                         {
                             reference (item, component);
                             reference (item, nullptr);
                             if (component == nullptr)
                                 item.reference (desktopName, desktopPath);
                             else
                                 reference (item, parent);
                             item.int32 (index).int32 (static_cast<int> (children.size()));
                             item.array ("s", [component] (DBus::Writer& names)
                                         { for (const auto* name : interfacesOf (component)) names.string (name); });
                             item.string (nameOf (component)).uint32 (roleFor (component).number).string (descriptionOf (component));
                             writeStates (item, component); });
        for (size_t i = 0; i < children.size(); ++i)
            cacheItem (array, children[i], component, static_cast<int> (i));
    }

    //==========================================================================
    // Registration, and what changes.

    void embedInDesktop()
    {
        // The accessibility bus starts its registry when first asked. The registry reads
        // the tree while it embeds the application, so the answer comes back later.
        auto embed = DBus::Message::methodCall (registry, rootPath, socketInterface, "Embed", true);
        DBus::Writer (embed).reference (bus->uniqueName(), rootPath);
        bus->call (embed, [this] (const DBus::Reply& reply)
                   {
                       if (!reply.succeeded())
                           return;
                       auto desktop = DBus::Reader (reply.message).recurse();
                       desktopName = desktop.string();
                       desktopPath = desktop.string(); });
    }

    /** An AT-SPI event: its kind, two numbers and one value, from the object it concerns. */
    void tell (juce::Component* source, const char* interface, const char* member, const std::string& kind, int detail1,
               const char* valueSignature, const std::function<void (DBus::Writer&)>& value)
    {
        auto signal = DBus::Message::signal (pathOf (source).c_str(), interface, member);
        DBus::Writer (signal).string (kind).int32 (detail1).int32 (0).variant (valueSignature, value).array ("{sv}", [] (DBus::Writer&) {});
        bus->send (signal);
    }

    void tell (juce::Component* source, const char* interface, const char* member, const std::string& kind = {}, int detail1 = 0)
    {
        tell (source, interface, member, kind, detail1, "i", [] (DBus::Writer& v)
              { v.int32 (0); });
    }

    void tellState (juce::Component* source, const char* state, bool on)
    {
        tell (source, objectEvents, "StateChanged", state, on ? 1 : 0);
    }

    /** A window's activation, with its title. */
    void tellWindow (juce::Component* window, const char* member)
    {
        tell (window, windowEvents, member, {}, 0, "s", [&] (DBus::Writer& v)
              { v.string (nameOf (window)); });
        tellState (window, "active", std::strcmp (member, "Activate") == 0);
    }

    /** The focus, for a control that has it, and the active window. */
    void globalFocusChanged (juce::Component* focusedComponent) override
    {
        auto* active = juce::TopLevelWindow::getActiveTopLevelWindow();
        if (active != activeWindow.getComponent())
        {
            if (auto* previous = activeWindow.getComponent(); isShown (previous))
                tellWindow (previous, "Deactivate");
            activeWindow = active;
            if (isShown (active))
                tellWindow (active, "Activate");
        }

        auto* control = focusedComponent;
        while (control != nullptr && !isShown (control))
            control = control->getParentComponent();
        if (control == focusedControl.getComponent())
            return;

        if (auto* previous = focusedControl.getComponent(); isShown (previous))
            tellState (previous, "focused", false);
        focusedControl = control;
        if (control != nullptr)
        {
            tellState (control, "focused", true);
            tell (control, focusEvents, "Focus");
        }
    }

    /** Shown and hidden pages, and what they hold, for every component of every window. */
    void watchVisibility()
    {
        for (auto* window : windows())
            watchVisibility (*window);
    }

    void watchVisibility (juce::Component& component)
    {
        component.addComponentListener (this);
        visibilityWatched.push_back (&component);
        for (auto* child : component.getChildren())
            watchVisibility (*child);
    }

    void componentVisibilityChanged (juce::Component& component) override
    {
        if (!isShown (&component) || component.isOnDesktop())
            return;
        const bool shown = component.isVisible();
        tellState (&component, "visible", shown);
        tellState (&component, "showing", component.isShowing());

        auto* parent = parentOf (&component);
        const auto index = shown ? indexIn (childrenOf (parent), &component) : -1;
        tell (parent, objectEvents, "ChildrenChanged", shown ? "add" : "remove", index, "(so)", [&] (DBus::Writer& v)
              { reference (v, &component); });
    }

    /** What a screen reader that started before the program needs to hear of it now. */
    void tellWhatShows()
    {
        globalFocusChanged (juce::Component::getCurrentlyFocusedComponent());
    }

    std::unique_ptr<DBus::Connection> bus;
    std::map<unsigned long, juce::Component::SafePointer<juce::Component>> objects;
    std::map<const juce::Component*, unsigned long> ids;
    unsigned long lastId = 0;
    std::string desktopName, desktopPath = nullPath;
    int applicationId = 0;
    juce::Component::SafePointer<juce::Component> activeWindow, focusedControl;
    std::vector<juce::Component::SafePointer<juce::Component>> visibilityWatched;
};

//==============================================================================
// The desktop's status: where the bus launcher runs (it owns org.a11y.Bus), whether it says
// assistive technology is on, and from there the accessibility bus. Only the launcher's own
// signals count, and each carries the new status, so no signal costs a call.

AtspiBridge::AtspiBridge()
{
    session = DBus::Connection::open (sessionBusAddress(), [this] (bool registered)
                                      {
                                          if (registered)
                                              followStatus(); });
}

// What either bus still has on its way goes with its connection.
AtspiBridge::~AtspiBridge() = default;

bool AtspiBridge::isPublished() const noexcept
{
    return tree != nullptr;
}

void AtspiBridge::followStatus()
{
    const auto rule = [] (const std::string& sender, const char* interface, const char* member, const std::string& more)
    { return "type='signal',sender='" + sender + "',interface='" + interface + "',member='" + member + "'," + more; };
    session->watchSignals ({ rule (busLauncher, propertiesInterface, "PropertiesChanged", std::string ("path='") + busLauncherPath + "'"),
                             rule (dbusService, dbusService, "NameOwnerChanged", std::string ("arg0='") + busLauncher + "'") },
                           [this] (const DBus::Message& signal)
                           {
                               statusSignal (signal);
                               return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
                           });
    session->whenLost ([this]
                       { launcherGone(); });

    auto getOwner = DBus::Message::methodCall (dbusService, dbusPath, dbusService, "GetNameOwner");
    DBus::Writer (getOwner).string (busLauncher);
    session->call (getOwner, [this] (const DBus::Reply& reply)
                   {
                       if (reply.succeeded())
                           launcherIs (DBus::Reader (reply.message).string()); });
}

void AtspiBridge::statusSignal (const DBus::Message& signal)
{
    DBus::Reader in (signal);
    if (signal.member() == "NameOwnerChanged" && signal.sender() == dbusService)
    {
        if (in.string() == busLauncher)
        {
            in.string(); // the old owner
            launcherIs (in.string());
        }
        return;
    }

    if (signal.member() != "PropertiesChanged" || launcherOwner.empty() || signal.sender() != launcherOwner || signal.path() != busLauncherPath || in.string() != statusInterface)
        return;

    // The properties changed, with their values, then those changed without them.
    readStatus (in.recurse());
    if (!in.recurse().atEnd())
        return askStatus();
    publishWhileWanted();
}

void AtspiBridge::readStatus (DBus::Reader properties)
{
    while (!properties.atEnd())
    {
        auto entry = properties.recurse();
        const auto name = entry.string();
        const auto value = entry.recurse().boolean();
        if (name == "IsEnabled")
            status.isEnabled = value;
        else if (name == "ScreenReaderEnabled")
            status.screenReaderEnabled = value;
    }
}

void AtspiBridge::launcherIs (const std::string& owner)
{
    launcherOwner = owner;
    if (owner.empty())
        return launcherGone();
    askStatus();
}

void AtspiBridge::launcherGone()
{
    launcherOwner.clear();
    status = {};
    publishWhileWanted();
}

void AtspiBridge::askStatus()
{
    auto getAll = DBus::Message::methodCall (busLauncher, busLauncherPath, propertiesInterface, "GetAll");
    DBus::Writer (getAll).string (statusInterface);
    session->call (getAll, [this, asked = launcherOwner] (const DBus::Reply& reply)
                   {
                       if (!reply.succeeded() || reply.message.sender() != asked || asked != launcherOwner)
                           return;
                       status = {};
                       readStatus (DBus::Reader (reply.message).recurse());
                       publishWhileWanted(); });
}

void AtspiBridge::publishWhileWanted()
{
    if (!status.isEnabled && !status.screenReaderEnabled)
    {
        ++attempt; // whatever is on its way is no longer wanted
        tree.reset();
        accessibilityBus.reset();
        return;
    }
    if (tree != nullptr || accessibilityBus != nullptr || askingForAddress)
        return;

    askingForAddress = true;
    session->call (DBus::Message::methodCall (busLauncher, busLauncherPath, busLauncher, "GetAddress"),
                   [this, thisAttempt = ++attempt] (const DBus::Reply& reply)
                   {
                       askingForAddress = false;
                       if (thisAttempt != attempt || !reply.succeeded())
                           return;
                       connectToAccessibilityBus (DBus::Reader (reply.message).string());
                   });
}

void AtspiBridge::connectToAccessibilityBus (const std::string& address)
{
    accessibilityBus = DBus::Connection::open (address, [this, thisAttempt = attempt] (bool registered)
                                               {
                                                   if (thisAttempt != attempt)
                                                       return;
                                                   if (!registered)
                                                       return accessibilityBus.reset();
                                                   accessibilityBus->whenLost ([this]
                                                                               { tree.reset(); });
                                                   tree = std::make_unique<Tree> (std::move (accessibilityBus)); });
}
