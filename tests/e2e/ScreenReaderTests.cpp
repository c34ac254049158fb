// The menu as a blind person meets it on Linux: its tree on the AT-SPI bus, read and used
// with the desktop's own AT-SPI library (tests/atspi/atspi-client.py) and spoken by Orca.

#include "support/AccessibilityDesktop.h"
#include "support/Session.h"
#include "support/SocketInTheWay.h"

#include <X11/keysym.h>

using namespace support;

namespace
{
constexpr const char* application = "ORVALIS Brelvan";

/** The program on a fresh X server with a desktop's accessibility buses, the window focused. */
struct AccessibleSession
{
    /** With a late bus, the program's session bus answers only once let through. */
    explicit AccessibleSession (double scale = 1.0, bool lateSessionBus = false)
        : session ([this, scale, lateSessionBus] (const XServer& x)
                   {
                       if (scale != 1.0)
                           setResources (x, "Xft.dpi:\t" + std::to_string (juce::roundToInt (96 * scale)) + "\n");
                       desktop = std::make_unique<AccessibilityDesktop> (x);
                       auto environment = disc.environment();
                       for (const auto& [key, value] : desktop->environment())
                           environment[key] = value;
                       if (lateSessionBus)
                       {
                           lateBus = std::make_unique<SocketInTheWay> (disc.workingFolder().getChildFile ("late-bus"), desktop->sessionBusSocket());
                           environment["DBUS_SESSION_BUS_ADDRESS"] = lateBus->address();
                       }
                       return std::make_unique<Process> (x, disc.program().getFullPathName().toStdString(), std::vector<std::string>(),
                                                         disc.workingFolder().getFullPathName().toStdString(), environment); },
                   1024 * static_cast<int> (scale), 768 * static_cast<int> (scale), styleAt (scale))
    {
        if (session.window.has_value())
            focusWindow (session.x, session.window->id);
    }

    static SessionStyle styleAt (double scale)
    {
        SessionStyle style;
        style.scale = scale;
        return style;
    }

    /** Every object of the application as the client reads it; empty when it is not there. */
    juce::Array<juce::var> tree() const
    {
        const auto ending = desktop->client ({ "tree", application });
        const auto parsed = juce::JSON::parse (juce::String (ending.output));
        return parsed.isArray() ? *parsed.getArray() : juce::Array<juce::var>();
    }

    static juce::var named (const juce::Array<juce::var>& objects, const juce::String& name, const juce::String& role = {})
    {
        for (const auto& o : objects)
            if (o["name"].toString() == name && (role.isEmpty() || o["role"].toString() == role))
                return o;
        return {};
    }

    /** Where the client says an object is, and where the screen shows it. */
    static juce::Rectangle<int> extentsOf (const juce::var& object)
    {
        const auto* e = object["extents"].getArray();
        return e != nullptr && e->size() == 4 ? juce::Rectangle<int> ((*e)[0], (*e)[1], (*e)[2], (*e)[3]) : juce::Rectangle<int>();
    }

    juce::Rectangle<int> drawnAt (juce::Rectangle<int> inPage) const
    {
        return juce::Rectangle<int> (session.onScreen (inPage.getPosition()), session.onScreen (inPage.getBottomRight()));
    }

    // Orca, the buses and the client go while the X server is still there.
    ~AccessibleSession()
    {
        lateBus.reset();
        desktop.reset();
    }

    bool isListed() const
    {
        return juce::StringArray::fromLines (juce::String (desktop->client ({ "apps" }).output)).contains (application);
    }

    Disc disc;
    std::unique_ptr<AccessibilityDesktop> desktop;
    std::unique_ptr<SocketInTheWay> lateBus;
    Session session;
};

juce::StringArray statesOf (const juce::var& object)
{
    juce::StringArray states;
    if (const auto* list = object["states"].getArray())
        for (const auto& s : *list)
            states.add (s.toString());
    return states;
}

const juce::StringArray shownControl{ "enabled", "focusable", "sensitive", "showing", "visible" };
} // namespace

// One walk, as a person with Orca makes it: the tree, its names, roles, states and places,
// the focus as Tab moves it, the actions, and what Orca says of each.
TEST (ScreenReader, OrcaAndAnAtspiClientReadAndUseTheMenu)
{
    AccessibleSession a;
    auto& s = a.session;
    ASSERT_TRUE (s.window.has_value());
    ASSERT_EQ (a.desktop->problem(), "");

    // Without assistive technology the program publishes nothing; Orca turns it on.
    std::this_thread::sleep_for (1s);
    EXPECT_FALSE (a.isListed()) << "published while no assistive technology runs";
    ASSERT_TRUE (a.desktop->startScreenReader());
    ASSERT_TRUE (eventually ([&]
                             { return a.isListed(); },
                             10s))
        << "the application never appeared on the desktop";
    const auto atStart = a.desktop->spokenSince (0, "Tessaly push button.");
    EXPECT_TRUE (atStart.contains ("ORVALIS Brelvan frame.")) << atStart.joinIntoString ("\n");
    EXPECT_TRUE (atStart.contains ("Tessaly push button.")) << atStart.joinIntoString ("\n");

    // The tree: the application, its window, the page, and the page's controls.
    const auto objects = a.tree();
    EXPECT_EQ (AccessibleSession::named (objects, application)["role"].toString(), "application");
    const auto window = AccessibleSession::named (objects, application, "frame");
    EXPECT_TRUE (statesOf (window).contains ("active"));
    EXPECT_EQ (AccessibleSession::extentsOf (window), s.window->bounds);
    const auto menu = AccessibleSession::named (objects, "Menu");
    EXPECT_EQ (menu["role"].toString(), "panel");
    EXPECT_EQ (menu["parent"].toString(), application);
    for (int item = 0; item < 4; ++item)
    {
        SCOPED_TRACE (items[item]);
        const auto button = AccessibleSession::named (objects, items[item]);
        EXPECT_EQ (button["parent"].toString(), "Menu");
        EXPECT_EQ (button["role"].toString(), "push button");
        EXPECT_EQ (button["description"].toString(), juce::String ("Show the ") + items[item] + " page");
        EXPECT_EQ (button["actions"][0].toString(), "click");
        for (const auto& state : shownControl)
            EXPECT_TRUE (statesOf (button).contains (state)) << state;
        EXPECT_EQ (statesOf (button).contains ("focused"), item == 1);
        EXPECT_EQ (AccessibleSession::extentsOf (button), a.drawnAt (menuButtonBounds[item]));
    }

    // The focus, as Tab moves it: the client hears of it, and Orca says it.
    auto focus = a.desktop->clientInBackground ({ "focus", application, a.disc.workingFolder().getChildFile ("focus.txt").getFullPathName().toStdString() });
    const auto focusLog = a.disc.workingFolder().getChildFile ("focus.txt");
    ASSERT_TRUE (eventually ([&]
                             { return focusLog.loadFileAsString().contains ("listening"); }));
    // Each key, and what Orca says after it.
    const auto says = [&a] (const std::function<void()>& act, const juce::String& line)
    {
        const auto before = a.desktop->spoken().size();
        act();
        return a.desktop->spokenSince (before, line).contains (line);
    };
    const auto press = [&s] (unsigned long key, bool withShift = false)
    { return [&s, key, withShift]
      { pressKey (s.x, key, withShift); }; };

    EXPECT_TRUE (says (press (XK_Tab), "Orvalis push button."));
    EXPECT_EQ (logLines (focusLog, 2, 5s), juce::StringArray ("listening", "Orvalis"));
    EXPECT_TRUE (says (press (XK_Tab, true), "Tessaly push button."));
    EXPECT_EQ (logLines (focusLog, 3, 5s)[2], "Tessaly");

    // Clicked through the client: Tessaly's page, where Install has the focus.
    EXPECT_TRUE (says ([&]
                       { EXPECT_EQ (a.desktop->client ({ "do", application, "Tessaly", "click" }).output, "done\n"); },
                       "Install Tessaly push button."));
    EXPECT_TRUE (s.pageBecomes (1));
    EXPECT_TRUE (says (press (XK_Tab), "Return to the menu push button."));
    EXPECT_TRUE (says (press (XK_Tab), "http://tess.example/download-tessaly link."));

    // Install runs the stand-in once; a link goes to the opener with its address.
    EXPECT_EQ (a.desktop->client ({ "do", application, "Install Tessaly", "click" }).output, "done\n");
    std::this_thread::sleep_for (500ms);
    EXPECT_EQ (a.disc.runs (1), juce::StringArray ("run Tessaly.exe args=0"));
    EXPECT_EQ (a.desktop->client ({ "do", application, "http://tess.example/movies", "click" }).output, "done\n");
    EXPECT_EQ (a.disc.runs (3), juce::StringArray ("run Tessaly.exe args=0", "open args=1", "http://tess.example/movies"));

    EXPECT_TRUE (says (press (XK_Escape), "Tessaly push button."));
    EXPECT_TRUE (s.pageBecomes (-1));
    // Return on the focused item opens its page by the keyboard alone.
    EXPECT_TRUE (says (press (XK_Return), "Install Tessaly push button."));
    EXPECT_TRUE (s.pageBecomes (1));
    EXPECT_TRUE (says (press (XK_Escape), "Tessaly push button."));

    // For the record, in the test's output: the tree as the client reads it, and every line Orca spoke.
    std::cout << "The tree:\n"
              << a.desktop->client ({ "tree", application }).output << "\nOrca said:\n"
              << a.desktop->spoken().joinIntoString ("\n") << "\n";
    s.closeAndExpectStatusZero();
}

// On a desktop at 200 % the extents are physical pixels, where the controls are drawn.
TEST (ScreenReader, ExtentsAreWhereTheControlsAreDrawnAt200Percent)
{
    AccessibleSession a (2.0);
    auto& s = a.session;
    ASSERT_TRUE (s.window.has_value());
    ASSERT_EQ (a.desktop->problem(), "");
    ASSERT_TRUE (a.desktop->setAssistiveTechnology (true));
    ASSERT_TRUE (eventually ([&]
                             { return a.isListed(); },
                             10s));

    const auto objects = a.tree();
    EXPECT_EQ (AccessibleSession::extentsOf (AccessibleSession::named (objects, application, "frame")), s.window->bounds);
    for (int item = 0; item < 4; ++item)
        EXPECT_EQ (AccessibleSession::extentsOf (AccessibleSession::named (objects, items[item])), a.drawnAt (menuButtonBounds[item])) << items[item];
    s.closeAndExpectStatusZero();
}

// A session bus that takes its time (a desktop still starting, a loaded machine): the menu
// answers meanwhile, and the bridge comes up once the bus does.
TEST (ScreenReader, ABusThatAnswersLateStillBringsTheBridgeUp)
{
    AccessibleSession a (1.0, true);
    auto& s = a.session;
    ASSERT_TRUE (s.window.has_value());
    ASSERT_EQ (a.desktop->problem(), "");
    ASSERT_TRUE (a.desktop->setAssistiveTechnology (true));

    // While the bus holds everything back, past the first frame.
    std::this_thread::sleep_for (1s);
    ASSERT_TRUE (s.openProductPage (1));
    ASSERT_TRUE (s.returnToMenu());
    EXPECT_GE (a.lateBus->connections(), 1) << "the menu never tried the bus; the test says nothing of a late one";
    EXPECT_FALSE (a.isListed());

    a.lateBus->letThrough();
    EXPECT_TRUE (eventually ([&]
                             { return a.isListed(); },
                             30s))
        << "the bridge never came up";
    s.closeAndExpectStatusZero();
}

// Where the session has no bus, or no accessibility bus, the menu starts and ends as before.
TEST (ScreenReader, WithoutTheBusesTheMenuStartsAsBefore)
{
    for (const bool withSessionBus : { false, true })
    {
        SCOPED_TRACE (withSessionBus ? "a session bus, no accessibility bus" : "no session bus");
        Disc disc;
        std::unique_ptr<Process> bus;
        const auto socket = disc.workingFolder().getChildFile ("bus");
        Session s ([&] (const XServer& x)
                   {
                       auto environment = disc.environment();
                       environment["DBUS_SESSION_BUS_ADDRESS"] = "";
                       environment["XDG_RUNTIME_DIR"] = "";
                       if (withSessionBus)
                       {
                           environment["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + socket.getFullPathName().toStdString();
                           bus = std::make_unique<Process> (std::vector<std::string>{ "dbus-daemon", "--session", "--nofork", "--address=" + environment["DBUS_SESSION_BUS_ADDRESS"] });
                           EXPECT_TRUE (eventually ([&]
                                                    { return socket.exists(); }));
                       }
                       return std::make_unique<Process> (x, disc.program().getFullPathName().toStdString(), std::vector<std::string>(),
                                                         disc.workingFolder().getFullPathName().toStdString(), environment,
                                                         disc.workingFolder().getChildFile ("errors.txt").getFullPathName().toStdString()); });
        ASSERT_TRUE (s.window.has_value());
        EXPECT_TRUE (s.pageBecomes (-1));
        std::this_thread::sleep_for (1s); // past the first frame, when the bridge looks for the buses
        // Without a bus the D-Bus library, and what it needs, stays out of the program.
        const auto maps = juce::File ("/proc/" + juce::String (s.app->pid()) + "/maps").loadFileAsString();
        EXPECT_EQ (maps.contains ("libdbus-1.so"), withSessionBus);
        ASSERT_TRUE (s.openProductPage (1));
        s.closeAndExpectStatusZero();
        EXPECT_EQ (disc.workingFolder().getChildFile ("errors.txt").loadFileAsString(), "");
    }
}
