#include "support/Session.h"

#include <X11/Xlib.h>
#include <gtest/gtest.h>

using namespace support;

TEST (Navigation, MenuButtonsShowTheirPagesAndReturnBringsTheMenuBack)
{
    Disc disc;
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    EXPECT_TRUE (s.pageBecomes (-1));

    s.walkEveryPage();
    EXPECT_TRUE (disc.log (0, 0ms).isEmpty()); // nothing was installed on the way
    s.closeAndExpectStatusZero();
}

TEST (Navigation, InstallRunsTheRightInstallerOncePerClick)
{
    Disc disc;
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());

    juce::StringArray expected;
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_TRUE (s.openProductPage (i));
        s.clickPage (installButton);
        expected.add (juce::String ("run ") + items[i] + ".exe args=0");
        EXPECT_EQ (disc.runs (expected.size()), expected);
        EXPECT_EQ (s.visiblePage(), i) << "the page stays while its installer runs";
        ASSERT_TRUE (s.returnToMenu());
    }

    // Twice on the same button: two starts.
    ASSERT_TRUE (s.openProductPage (0));
    s.clickPage (installButton);
    s.clickPage (installButton);
    EXPECT_EQ (disc.log (5).size(), 5);
    s.closeAndExpectStatusZero();
}

TEST (Navigation, ThePackGoesToTheDesktopOpenerAsOneArgument)
{
    Disc disc;
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    ASSERT_TRUE (s.openProductPage (3));
    s.clickPage (installButton);

    const auto log = disc.log (2);
    EXPECT_EQ (log, juce::StringArray ("open args=1", disc.root().getChildFile ("Kestrune/Kestrune.tpk").getFullPathName()));
    s.closeAndExpectStatusZero();
}

TEST (Navigation, ADiscUnderAnyPathStartsOnlyItsOwnInstaller)
{
    for (auto* name : { "my disc 'single' \"double\" $(touch injected1) `touch injected2` ; touch injected3 & \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac",
                        "line\nbreak $HOME * ? [a] \\ | touch injected4" })
    {
        Disc::Options options;
        options.folderName = name;
        Disc disc (options);
        Session s (disc);
        ASSERT_TRUE (s.window.has_value()) << name;

        ASSERT_TRUE (s.openProductPage (1));
        s.clickPage (installButton);
        ASSERT_TRUE (s.returnToMenu());
        ASSERT_TRUE (s.openProductPage (3)) << "showing " << s.visiblePage() << " in " << name;
        s.clickPage (installButton);

        const auto log = disc.log (3);
        ASSERT_EQ (log.size(), 3 + juce::String (name).containsChar ('\n')) << log.joinIntoString ("\n");
        EXPECT_TRUE (log[0].startsWith ("run Tessaly.exe args=0"));
        EXPECT_EQ (log[1], "open args=1");
        EXPECT_EQ (log.joinIntoString ("\n").fromFirstOccurrenceOf ("open args=1\n", false, false),
                   disc.root().getChildFile ("Kestrune/Kestrune.tpk").getFullPathName());

        std::this_thread::sleep_for (300ms);
        EXPECT_TRUE (disc.strayFiles().isEmpty()) << disc.strayFiles().joinIntoString ("\n");
        s.closeAndExpectStatusZero();
    }
}

TEST (Navigation, AMissingInstallerOrItemFolderChangesNothing)
{
    Disc::Options options;
    options.missingItems = { "Orvalis", "Kestrune" };
    Disc disc (options);
    disc.root().getChildFile ("Tessaly/Tessaly.exe").deleteFile(); // the folder stays, the file is gone
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());

    for (int i : { 0, 1, 3 })
    {
        ASSERT_TRUE (s.openProductPage (i));
        s.clickPage (installButton);
        std::this_thread::sleep_for (200ms);
        EXPECT_EQ (s.visiblePage(), i);
        EXPECT_TRUE (s.app->isRunning());
        EXPECT_EQ (viewableWindows (s.x).size(), 1u);
        ASSERT_TRUE (s.returnToMenu());
    }
    EXPECT_TRUE (disc.log (0, 0ms).isEmpty());
    s.closeAndExpectStatusZero();
}

TEST (Navigation, WebLinksHandTheirExactAddressToTheOpenerAndShowItAsATip)
{
    Disc disc;
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    ASSERT_TRUE (s.openProductPage (0));

    // Hovering shows the tooltip in a window of its own.
    const juce::Point<int> link{ 194, 386 };
    moveMouse (s.x, s.onScreen (link).translated (-6, 0));
    moveMouse (s.x, s.onScreen (link));
    EXPECT_TRUE (eventually ([&]
                             { return viewableWindows (s.x).size() == 2; },
                             4s))
        << "no tooltip appeared";

    s.clickPage (link);
    EXPECT_EQ (disc.log (2), juce::StringArray ("open args=1", "http://orvalis.example/evolution/en/products/orvalis/intro.html"));
    EXPECT_EQ (s.visiblePage(), 0);
    s.closeAndExpectStatusZero();
}

TEST (Navigation, ManyInstallsAndLinkClicksLeaveNoZombie)
{
    Disc disc;
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    ASSERT_TRUE (s.openProductPage (1));
    for (int i = 0; i < 6; ++i)
    {
        s.clickPage (installButton);
        s.clickPage ({ 124, 335 }); // the download link
    }
    EXPECT_EQ (disc.log (18).size(), 18) << disc.log().joinIntoString ("\n");
    std::this_thread::sleep_for (500ms);
    EXPECT_EQ (zombieChildren (s.app->pid()), 0);
    s.closeAndExpectStatusZero();
}

TEST (Navigation, ClosingTheMenuLeavesARunningInstallerRunning)
{
    Disc::Options options;
    options.installerSeconds = 30;
    Disc disc (options);
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    ASSERT_TRUE (s.openProductPage (2));
    s.clickPage (installButton);
    ASSERT_EQ (disc.log (1).size(), 1);

    s.closeAndExpectStatusZero();
    std::this_thread::sleep_for (300ms);
    const auto pids = disc.installerPids();
    ASSERT_EQ (pids.size(), 1u);
    EXPECT_EQ (kill (pids[0], 0), 0) << "the installer ended with the menu";
}

TEST (Navigation, MaximisingKeepsThePageAtTheTopLeftOnAzure)
{
    Disc disc;
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    click (s.x, s.window->bounds.getPosition() + maximiseButtonInWindow);

    // Full screen: no frame, the title bar at the top, the page right below it.
    const juce::Rectangle<int> screen (0, 0, s.x.width(), s.x.height());
    EXPECT_TRUE (eventually ([&]
                             {
                                 const auto w = viewableWindows (s.x);
                                 return w.size() == 1 && w[0].bounds == screen; }));
    std::this_thread::sleep_for (300ms);
    const auto page = screenshot (s.x, { 0, 20, 640, 400 });
    EXPECT_EQ (countDifferentPixels (page.getClippedImage (menuFreeArea), background ("menu").getClippedImage (menuFreeArea)), 0);
    EXPECT_EQ (countPixelsOtherThan (screenshot (s.x, { 640, 20, s.x.width() - 640, s.x.height() - 20 }), juce::Colour (0xfff0ffff)), 0);
    EXPECT_EQ (countPixelsOtherThan (screenshot (s.x, { 0, 420, 640, s.x.height() - 420 }), juce::Colour (0xfff0ffff)), 0);

    // The whole page is there now, its last rows and columns included.
    const auto full = background ("menu");
    EXPECT_EQ (countDifferentPixels (page.getClippedImage ({ 0, 396, 300, 4 }), full.getClippedImage ({ 0, 396, 300, 4 })), 0);

    // The page still answers, and the close button, now at the screen's top-right, still ends the program.
    // (Past the double-click time, so this is not taken as a second click on the title bar.)
    std::this_thread::sleep_for (500ms);
    click (s.x, menuButtons[1].translated (0, 20));
    EXPECT_TRUE (eventually ([&]
                             { return countDifferentPixels (screenshot (s.x, productFreeArea.translated (0, 20)),
                                                            background ("tessaly").getClippedImage (productFreeArea)) == 0; },
                             3s));
    click (s.x, { s.x.width() - 12, 10 });
    EXPECT_EQ (s.app->waitForExit(), std::optional<int> (0)) << s.app->state();
}

TEST (Navigation, WhatAnotherWindowCoveredIsDrawnAgainOnceUncovered)
{
    Disc disc;
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    ASSERT_TRUE (s.pageBecomes (-1));

    auto* display = s.x.display();
    const auto page = s.onScreen ({ 0, 0 });
    const auto cover = XCreateSimpleWindow (display, DefaultRootWindow (display), page.x, page.y, 500, 300, 0, 0, 0);
    const auto coverAndUncover = [&]
    {
        XMapRaised (display, cover);
        XSync (display, False);
        EXPECT_TRUE (eventually ([&]
                                 { return s.visiblePage() == 99; }));
        XUnmapWindow (display, cover);
        XSync (display, False);
    };

    coverAndUncover();
    EXPECT_TRUE (s.pageBecomes (-1));

    ASSERT_TRUE (s.openProductPage (2));
    coverAndUncover();
    EXPECT_TRUE (s.pageBecomes (2));

    XDestroyWindow (display, cover);
    s.closeAndExpectStatusZero();
}
