// The Windows program under Wine, in a private X server, driven with real clicks.

#include "support/Session.h"

#include <X11/keysym.h>
#include <array>
#include <gtest/gtest.h>

using namespace support;

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

    /** The stand-ins' records, after waiting for at least the given number of lines. A
        new Windows process on a busy machine may take a while to come up under Wine. */
    juce::StringArray log (int atLeast, std::chrono::milliseconds timeout = 30s) const { return logLines (logFile, atLeast, timeout); }

    juce::File base{ juce::File::createTempFile ("brelvan-windows-disc") };
    // Every character cmd.exe would read as syntax, and letters outside ASCII.
    juce::File root{ base.getChildFile (juce::String::fromUTF8 ("disc & ^ %PATH% ' ( ) \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac")) };
    juce::File logFile{ base.getChildFile ("log.txt") };
};

/** Writes registry values in the tests' prefix, each { key, value name (empty: the key's
    default), type, data }. The registry is written with no display; the wineserver that
    started for it must end before the program starts, or Wine's desktop process would
    stay without one. */
void setRegistry (std::initializer_list<std::array<std::string, 4>> values)
{
    // The wineserver of the test before may still be ending; a new client must not meet it.
    runToEnd ({ BRELVAN_WINESERVER, "-w" }, { "WINEPREFIX=" BRELVAN_WINE_PREFIX }, 30s);
    for (const auto& [key, name, type, data] : values)
    {
        std::vector<std::string> command{ BRELVAN_WINE, "reg", "add", key };
        if (name.empty())
            command.push_back ("/ve");
        else
            command.insert (command.end(), { "/v", name });
        command.insert (command.end(), { "/t", type, "/d", data, "/f" });
        const std::vector<std::string> environment{ "WINEPREFIX=" BRELVAN_WINE_PREFIX, "WINEDEBUG=-all", "PATH=/usr/bin:/bin",
                                                    "HOME=" + juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName().toStdString() };
        // Once, under heavy load on a fresh prefix, reg.exe ended with status 1 and said
        // nothing; the same write then succeeds. It is the test's set-up, so it gets a second try.
        auto ending = runToEnd (command, environment, 30s);
        if (ending.status != std::optional<int> (0))
            ending = runToEnd (command, environment, 30s);
        EXPECT_EQ (ending.status, std::optional<int> (0)) << ending.errors << ending.output;
    }
    const auto settled = runToEnd ({ BRELVAN_WINESERVER, "-w" }, { "WINEPREFIX=" BRELVAN_WINE_PREFIX }, 30s);
    EXPECT_EQ (settled.status, std::optional<int> (0)) << settled.errors;
}

/** Wine's display scaling, as Windows' own setting sets it: dots per inch, 96 at 100 %. Set
    for one test (the Windows tests take turns with the prefix) and back to 96 after it. */
class ScopedLogPixels
{
public:
    explicit ScopedLogPixels (int dotsPerInch) { set (dotsPerInch); }
    ~ScopedLogPixels() { set (96); }

private:
    static void set (int dotsPerInch)
    {
        const auto dots = std::to_string (dotsPerInch);
        setRegistry ({ { "HKCU\\Control Panel\\Desktop", "LogPixels", "REG_DWORD", dots },
                       { "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts", "LogPixels", "REG_DWORD", dots } });
    }
};

/** For one test, ".tpk" packs are Windows Installer packages: they open with msiexec, as
    ".msi" files do, which appends its log of each run to the given file. */
class ScopedPacksAreInstallerPackages
{
public:
    explicit ScopedPacksAreInstallerPackages (const std::string& log)
    {
        setRegistry ({ { "HKLM\\Software\\Classes\\BrelvanTestMsiPack\\shell\\open\\command", "", "REG_SZ",
                         "C:\\windows\\system32\\msiexec.exe /i \"%1\" /l+ \"" + log + "\"" },
                       { "HKLM\\Software\\Classes\\.tpk", "", "REG_SZ", "BrelvanTestMsiPack" } });
    }
    ~ScopedPacksAreInstallerPackages() { setRegistry ({ { "HKLM\\Software\\Classes\\.tpk", "", "REG_SZ", "BrelvanTestPack" } }); }
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
    return Session (start, screen.x, screen.y, SessionStyle{ true, 300ms, 15s, 20s, scale });
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
    s.walkEveryPage();
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
        ASSERT_EQ (log.size(), lines) << log.joinIntoString ("\n") << "\n"
                                      << s.savedShot();
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
    ASSERT_EQ (log.size(), 2) << log.joinIntoString ("\n") << "\n"
                              << s.savedShot();
    EXPECT_TRUE (log[0].startsWith ("run opener.exe args=1 ")) << log[0];
    EXPECT_EQ (log[1], juce::String (windowsPath (disc.root.getChildFile ("Kestrune/Kestrune.tpk"))));

    s.clickPage ({ 97, 390 }); // the Kestrune page's link
    log = disc.log (4);
    ASSERT_EQ (log.size(), 4) << log.joinIntoString ("\n") << "\n"
                              << s.savedShot();
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
                ASSERT_EQ (log.size(), 1) << log.joinIntoString ("\n") << "\n"
                                          << s.savedShot();
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

// Real installers from the disc's item folders, from the disc path that cmd.exe would
// misread: an NSIS installer as Orvalis.exe, and a Windows Installer package as the
// Kestrune pack, which opens through its association with msiexec and installs its file.
TEST (Windows, RealInstallerFormatsRunOncePerClick)
{
    WindowsDisc disc;
    const auto orvalisFolder = disc.root.getChildFile ("Orvalis");
    ASSERT_TRUE (juce::File (BRELVAN_WINE_NSIS_INSTALLER).copyFileTo (orvalisFolder.getChildFile ("Orvalis.exe")));
    ASSERT_TRUE (juce::File (BRELVAN_WINE_MSI_PACKAGE).copyFileTo (disc.root.getChildFile ("Kestrune/Kestrune.tpk")));
    const auto nsisLog = disc.logFile.withFileExtension ("txt.nsis"), msiLog = disc.base.getChildFile ("msi.log");
    const auto installed = juce::File (BRELVAN_WINE_PREFIX).getChildFile ("drive_c/Program Files/Kestrune test package/installed.txt");
    installed.deleteFile();
    ScopedPacksAreInstallerPackages packs (windowsPath (msiLog));

    const auto records = [] (const juce::File& log, const juce::String& start, int atLeast)
    {
        juce::StringArray found;
        for (auto waited = 0ms; waited <= 20s; waited += 100ms)
        {
            found = juce::StringArray::fromLines (log.loadFileAsString());
            found.removeEmptyStrings();
            for (int i = found.size(); --i >= 0;)
                if (!found[i].startsWith (start))
                    found.remove (i);
            if (found.size() >= atLeast)
                break;
            std::this_thread::sleep_for (100ms);
        }
        std::this_thread::sleep_for (1s); // long enough for a second run to show
        return found.size();
    };

    auto s = wineSession (disc);
    ASSERT_TRUE (s.window.has_value());
    ASSERT_TRUE (s.openProductPage (0));
    for (int clicks = 1; clicks <= 2; ++clicks)
    {
        s.clickPage (installButton);
        EXPECT_EQ (records (nsisLog, "nsis exedir=", clicks), clicks);
    }
    EXPECT_EQ (juce::StringArray::fromLines (nsisLog.loadFileAsString())[0], "nsis exedir=" + juce::String (windowsPath (orvalisFolder)));
    ASSERT_TRUE (s.returnToMenu());

    ASSERT_TRUE (s.openProductPage (3));
    s.clickPage (installButton);
    EXPECT_EQ (records (msiLog, "=== Logging started", 1), 1);
    EXPECT_EQ (installed.loadFileAsString().trim(), "installed by the Kestrune test package");
    EXPECT_TRUE (s.pageBecomes (3));
    s.closeWithItsButtonAndExpectStatusZero();
    std::cout << nsisLog.loadFileAsString() << juce::StringArray::fromLines (msiLog.loadFileAsString()).joinIntoString ("\n", 0, 12) << "\n";

    // Removed again, with no display, once the session's wineserver has gone.
    EXPECT_EQ (runToEnd ({ BRELVAN_WINESERVER, "-w" }, { "WINEPREFIX=" BRELVAN_WINE_PREFIX }, 30s).status, std::optional<int> (0));
    const auto removed = runToEnd ({ BRELVAN_WINE, "msiexec", "/x", windowsPath (juce::File (BRELVAN_WINE_MSI_PACKAGE)), "/qn" },
                                   { "WINEPREFIX=" BRELVAN_WINE_PREFIX, "WINEDEBUG=-all", "PATH=/usr/bin:/bin" }, 60s);
    EXPECT_EQ (removed.status, std::optional<int> (0)) << removed.errors;
    EXPECT_FALSE (installed.exists());
}
