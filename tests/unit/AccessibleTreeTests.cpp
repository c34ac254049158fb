// The accessible tree as the screen-reader bridge reads it from the window, in-process: what
// holds what, in the keyboard's order, with names, roles and states, and paths that stand
// for one object each, and for nothing once it has gone.

#include "accessibility/AccessibleTree.h"
#include "app/MainAppWindow.h"
#include "support/Facts.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>
#include <set>

using namespace support;

namespace
{
std::vector<std::string> namesOf (const std::vector<juce::Component*>& objects)
{
    std::vector<std::string> names;
    for (auto* o : objects)
        names.push_back (AccessibleTree::nameOf (o));
    return names;
}
} // namespace

TEST (AccessibleTree, HoldsTheWindowItsPageAndThePagesControlsInTheKeyboardsOrder)
{
    auto window = std::make_unique<MainAppWindow>();
    window->setBounds (100, 100, windowWidth, windowHeight);
    window->setVisible (true);
    runMessageLoop();

    const auto windows = AccessibleTree::childrenOf (nullptr);
    ASSERT_EQ (windows.size(), 1u);
    EXPECT_EQ (windows[0], window.get());
    EXPECT_STREQ (AccessibleTree::roleOf (nullptr).name, "application");
    EXPECT_STREQ (AccessibleTree::roleOf (window.get()).name, "frame");
    EXPECT_EQ (AccessibleTree::parentOf (window.get()), nullptr);

    // The title bar's buttons, then the page shown; the page host, the resizing border and the
    // hidden pages stand aside.
    const auto held = AccessibleTree::childrenOf (window.get());
    ASSERT_EQ (namesOf (held), (std::vector<std::string>{ "minimise", "maximise", "close", "Menu" }));
    auto* const page = held.back();
    EXPECT_STREQ (AccessibleTree::roleOf (page).name, "panel");
    EXPECT_EQ (AccessibleTree::parentOf (page), window.get());

    const auto buttons = AccessibleTree::childrenOf (page);
    EXPECT_EQ (namesOf (buttons), (std::vector<std::string>{ items[1], items[0], items[2], items[3] }));
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        SCOPED_TRACE (AccessibleTree::nameOf (buttons[i]));
        EXPECT_EQ (AccessibleTree::parentOf (buttons[i]), page);
        EXPECT_EQ (AccessibleTree::indexInParent (buttons[i]), static_cast<int> (i));
        EXPECT_STREQ (AccessibleTree::roleOf (buttons[i]).name, "push button");
        EXPECT_TRUE (AccessibleTree::canBeClicked (buttons[i]));
        const auto states = AccessibleTree::statesOf (buttons[i]);
        for (const auto state : { ATSPI_STATE_ENABLED, ATSPI_STATE_SENSITIVE, ATSPI_STATE_VISIBLE, ATSPI_STATE_SHOWING, ATSPI_STATE_FOCUSABLE })
            EXPECT_TRUE (states.contains (state)) << state;
    }
    EXPECT_FALSE (AccessibleTree::canBeClicked (page));
}

TEST (AccessibleTree, GivesEachObjectAPathOfItsOwnAndForgetsWhatHasGone)
{
    AccessibleTree tree;
    auto window = std::make_unique<MainAppWindow>();
    window->setVisible (true);
    auto* page = AccessibleTree::childrenOf (window.get()).back();
    const auto buttons = AccessibleTree::childrenOf (page);
    ASSERT_EQ (buttons.size(), 4u);

    juce::Component* found = reinterpret_cast<juce::Component*> (1);
    EXPECT_EQ (tree.pathOf (nullptr), Atspi::rootPath);
    ASSERT_TRUE (tree.resolve (Atspi::rootPath, found));
    EXPECT_EQ (found, nullptr) << "the root stands for the application";

    std::set<std::string> paths;
    for (auto* button : buttons)
    {
        const auto path = tree.pathOf (button);
        EXPECT_EQ (tree.pathOf (button), path) << "a second look gives the same path";
        ASSERT_TRUE (tree.resolve (path, found));
        EXPECT_EQ (found, button);
        paths.insert (path);
    }
    EXPECT_EQ (paths.size(), buttons.size());

    for (const auto* stranger : { "/org/a11y/atspi/accessible/99999", "/org/a11y/atspi/accessible/x", "/elsewhere", "" })
        EXPECT_FALSE (tree.resolve (stranger, found)) << stranger;

    // The window goes, and every path that stood for what it held stands for nothing.
    const auto windowPath = tree.pathOf (window.get());
    window.reset();
    for (const auto& path : paths)
        EXPECT_FALSE (tree.resolve (path, found)) << path;
    EXPECT_FALSE (tree.resolve (windowPath, found));
}
