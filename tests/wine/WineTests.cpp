// The Windows program under Wine, in a private X server, driven with real clicks.

#include "e2e/Session.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

using namespace e2e;

namespace
{
const juce::File standIn (BRELVAN_WINE_STAND_IN);

std::string windowsPath (const juce::File& f)
{
    return ("Z:" + f.getFullPathName().replaceCharacter ('/', '\\')).toStdString();
}

/** A disc for Windows: the program at the root, stand-in installers in the item folders. */
struct WindowsDisc
{
    WindowsDisc()
    {
        base.createDirectory();
        root.createDirectory();
        juce::File (BRELVAN_WINDOWS_PROGRAM).copyFileTo (program());
        for (auto* item : { "Orvalis", "Tessaly", "Marrowby" })
        {
            root.getChildFile (item).createDirectory();
            standIn.copyFileTo (root.getChildFile (item).getChildFile (juce::String (item) + ".exe"));
        }
        root.getChildFile ("Kestrune").createDirectory();
        root.getChildFile ("Kestrune/Kestrune.tpk").replaceWithText ("pack");
    }

    ~WindowsDisc() { base.deleteRecursively(); }

    juce::File program() const { return root.getChildFile ("OrvalisBrelvan.exe"); }

    /** The stand-ins' records, after waiting for at least the given number of lines. */
    juce::StringArray log (int atLeast, std::chrono::milliseconds timeout = 10s) const { return logLines (logFile, atLeast, timeout); }

    juce::File base{ juce::File::createTempFile ("brelvan-windows-disc") };
    // Every character cmd.exe would read as syntax, and letters outside ASCII.
    juce::File root{ base.getChildFile (juce::String::fromUTF8 ("disc & ^ %PATH% ' ( ) \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac")) };
    juce::File logFile{ base.getChildFile ("log.txt") };
};

/** Wine's display scaling, as Windows' own setting sets it: dots per inch, 96 at 100 %. Set
    for one test (the Windows tests take turns with the prefix) and back to 96 after it. */
class ScopedLogPixels
{
public:
    explicit ScopedLogPixels (int dotsPerInch) { set (dotsPerInch); }
    ~ScopedLogPixels() { set (96); }

private:
    // The registry is written with no display; the wineserver that started for it must
    // end before the program starts, or Wine's desktop process would stay without one.
    static void set (int dotsPerInch)
    {
        const char* const keys[] = { "HKCU\\Control Panel\\Desktop", "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts" };
        for (auto* key : keys)
        {
            const auto ending = runToEnd ({ BRELVAN_WINE, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", std::to_string (dotsPerInch), "/f" },
                                          { "WINEPREFIX=" BRELVAN_WINE_PREFIX, "WINEDEBUG=-all", "PATH=/usr/bin:/bin",
                                            "HOME=" + juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName().toStdString() },
                                          30s);
            EXPECT_EQ (ending.status, std::optional<int> (0)) << ending.errors;
        }
        const auto settled = runToEnd ({ BRELVAN_WINESERVER, "-w" }, { "WINEPREFIX=" BRELVAN_WINE_PREFIX }, 30s);
        EXPECT_EQ (settled.status, std::optional<int> (0)) << settled.errors;
    }
};

/** The Windows program running under Wine on a fresh X server. */
Session wineSession (const WindowsDisc& disc, double scale = 1.0)
{
    const auto start = [&disc] (const XServer& x)
    {
        return std::make_unique<Process> (x, BRELVAN_WINE, std::vector<std::string>{ disc.program().getFullPathName().toStdString() },
                                          disc.base.getFullPathName().toStdString(),
                                          std::map<std::string, std::string>{
                                              { "WINEPREFIX", BRELVAN_WINE_PREFIX },
                                              { "WINEDEBUG", "-all" },
                                              { "WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d" },
                                              { "LANG", "C.UTF-8" },
                                              { "BRELVAN_TEST_LOG", windowsPath (disc.logFile) } });
    };
    // A screen with room for the window at twice its size.
    const auto screen = scale == 1.0 ? juce::Point<int> (1024, 768) : juce::Point<int> (2560, 1600);
    return Session (start, screen.x, screen.y, SessionStyle{ true, 300ms, 5s, 20s, scale });
}
} // namespace

TEST (Windows, TheWindowIsTitledSizedAndCentredAndItsCloseButtonEndsTheProgram)
{
    WindowsDisc disc;
    auto s = wineSession (disc);
    ASSERT_TRUE (s.window.has_value()) << "no window under Wine";
    EXPECT_EQ (s.window->bounds, juce::Rectangle<int> ((1024 - 644) / 2, (768 - 424) / 2, 644, 424));
    EXPECT_TRUE (s.pageBecomes (-1));
    s.closeWithItsButtonAndExpectStatusZero();
}

TEST (Windows, MenuButtonsShowTheirPagesAndReturnBringsTheMenuBack)
{
    WindowsDisc disc;
    auto s = wineSession (disc);
    ASSERT_TRUE (s.window.has_value());
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_TRUE (s.openProductPage (i)) << items[i];
        EXPECT_TRUE (s.returnToMenu()) << items[i];
    }
    s.closeWithItsButtonAndExpectStatusZero();
}

TEST (Windows, InstallRunsTheRightStandInInItsOwnFolderFromAnyDiscPath)
{
    WindowsDisc disc;
    auto s = wineSession (disc);
    ASSERT_TRUE (s.window.has_value());

    int lines = 0;
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_TRUE (s.openProductPage (i));
        s.clickPage (installButton);
        const auto log = disc.log (++lines);
        ASSERT_EQ (log.size(), lines) << log.joinIntoString ("\n");
        const auto folder = disc.root.getChildFile (items[i]);
        EXPECT_EQ (log[lines - 1], juce::String ("run ") + items[i] + ".exe args=0 cwd=" + windowsPath (folder));
        EXPECT_TRUE (s.pageBecomes (i)) << "the page stays";
        ASSERT_TRUE (s.returnToMenu());
    }
    s.closeWithItsButtonAndExpectStatusZero();
}

TEST (Windows, ThePackGoesToItsAssociatedProgramAndALinkToTheBrowser)
{
    WindowsDisc disc;
    auto s = wineSession (disc);
    ASSERT_TRUE (s.window.has_value());

    ASSERT_TRUE (s.openProductPage (3));
    s.clickPage (installButton);
    auto log = disc.log (2);
    ASSERT_EQ (log.size(), 2) << log.joinIntoString ("\n");
    EXPECT_TRUE (log[0].startsWith ("run opener.exe args=1 ")) << log[0];
    EXPECT_EQ (log[1], juce::String (windowsPath (disc.root.getChildFile ("Kestrune/Kestrune.tpk"))));

    s.clickPage ({ 97, 390 }); // the Kestrune page's link
    log = disc.log (4);
    ASSERT_EQ (log.size(), 4) << log.joinIntoString ("\n");
    EXPECT_TRUE (log[2].startsWith ("run browser.exe args=1 ")) << log[2];
    EXPECT_EQ (log[3], "http://kestrune.example");
    s.closeWithItsButtonAndExpectStatusZero();
}

TEST (Windows, AMissingInstallerDoesNothingAndThePageStays)
{
    WindowsDisc disc;
    disc.root.getChildFile ("Marrowby").deleteRecursively();
    auto s = wineSession (disc);
    ASSERT_TRUE (s.window.has_value());
    ASSERT_TRUE (s.openProductPage (2));
    s.clickPage (installButton);
    std::this_thread::sleep_for (1s);
    EXPECT_TRUE (disc.log (0, 0ms).isEmpty());
    EXPECT_EQ (s.visiblePage(), 2);
    EXPECT_TRUE (s.app->isRunning());
    s.closeWithItsButtonAndExpectStatusZero();
}

// Windows' display scaling: the framework scales the window, and every page shows the
// pictures drawn at twice the size (1:1 at 192 dpi, reduced with the framework's best
// resampling at 144). The page checks find each background within 8 levels in at least
// 97 % of its pixels, which the 1x pictures enlarged do not.
TEST (Windows, AtHigherDotsPerInchEveryPageShowsTheLargerPicturesAndStillWorks)
{
    struct Scaling
    {
        int dotsPerInch;
        double scale;
        juce::Rectangle<int> window;
    };
    for (const auto& scaling : { Scaling{ 192, 2.0, { (2560 - 1288) / 2, (1600 - 848) / 2, 1288, 848 } },
                                 Scaling{ 144, 1.5, { 0, 0, 966, 636 } } })
    {
        SCOPED_TRACE (scaling.dotsPerInch);
        ScopedLogPixels dotsPerInch (scaling.dotsPerInch);
        WindowsDisc disc;
        auto s = wineSession (disc, scaling.scale);
        ASSERT_TRUE (s.window.has_value()) << "no window under Wine";
        EXPECT_EQ (s.window->bounds.getWidth(), scaling.window.getWidth());
        EXPECT_EQ (s.window->bounds.getHeight(), scaling.window.getHeight());
        if (scaling.scale == 2.0) // centred exactly where the scale is whole
        {
            EXPECT_EQ (s.window->bounds, scaling.window);
        }
        EXPECT_TRUE (s.pageBecomes (-1));

        for (int i = 0; i < 4; ++i)
        {
            EXPECT_TRUE (s.openProductPage (i)) << items[i];
            if (i == 1)
            {
                s.clickPage (installButton);
                const auto log = disc.log (1);
                ASSERT_EQ (log.size(), 1) << log.joinIntoString ("\n");
                EXPECT_TRUE (log[0].startsWith ("run Tessaly.exe args=0 ")) << log[0];
            }
            EXPECT_TRUE (s.returnToMenu()) << items[i];
        }
        s.closeWithItsButtonAndExpectStatusZero();
    }
}

// Without a mouse: the first numbered item has the focus when the window is active.
TEST (Windows, ReturnAtStartOpensTessalyAndEscapeReturns)
{
    WindowsDisc disc;
    auto s = wineSession (disc);
    ASSERT_TRUE (s.window.has_value()) << "no window under Wine";
    ASSERT_TRUE (s.pageBecomes (-1));
    focusWindow (s.x, s.window->id);

    pressKey (s.x, XK_Return);
    EXPECT_TRUE (s.pageBecomes (1));
    pressKey (s.x, XK_Escape);
    EXPECT_TRUE (s.pageBecomes (-1));
    s.closeWithItsButtonAndExpectStatusZero();
}
