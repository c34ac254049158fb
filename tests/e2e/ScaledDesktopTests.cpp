// The menu on a desktop scaled above 100 %: the window follows the desktop's own settings,
// with or without a window manager's work area, and shows the pictures drawn for the scale.
// Whatever the settings say, the scale stays between 1 and 4 and the window on the screen.

#include "support/Session.h"

#include <gtest/gtest.h>

using namespace support;

namespace
{
// Large enough for the window at 4x.
constexpr int screenWidth = 2600, screenHeight = 1800;

/** How a desktop says it is scaled: its settings daemon, or the X resources alone; and
    whether a window manager publishes a work area, from which on the framework reads the
    daemon's scale itself. */
struct DesktopScale
{
    const char* name;
    std::string xsettings; // the daemon's configuration; none when empty
    std::string resources;
    double scale;
    bool workArea = false;
    juce::Point<int> screen{ screenWidth, screenHeight };
};

void PrintTo (const DesktopScale& d, std::ostream* out)
{
    *out << d.name;
}

class ScaledDesktop : public testing::TestWithParam<DesktopScale>
{
protected:
    /** The program on a fresh screen whose desktop settings are in place before it starts. */
    Session start()
    {
        const auto& desktop = GetParam();
        const auto begin = [this, &desktop] (const XServer& x)
        {
            setResources (x, desktop.resources);
            if (desktop.workArea)
                setWorkArea (x, { 0, 0, x.width(), x.height() });
            if (!desktop.xsettings.empty())
            {
                settingsFile.getFile().replaceWithText (desktop.xsettings);
                settingsDaemon = std::make_unique<Process> (x, "/usr/bin/xsettingsd", std::vector<std::string>{ "-c", settingsFile.getFile().getFullPathName().toStdString() });
                EXPECT_TRUE (eventually ([&x]
                                         { return selectionHasOwner (x, "_XSETTINGS_S0"); }))
                    << "no settings daemon";
            }
            return disc.start (x);
        };
        SessionStyle style;
        style.scale = desktop.scale;
        return Session (begin, desktop.screen.x, desktop.screen.y, style);
    }

    Disc disc;
    juce::TemporaryFile settingsFile;
    std::unique_ptr<Process> settingsDaemon;
};
} // namespace

TEST_P (ScaledDesktop, TheWindowTakesTheScaleAndShowsTheLargerPictures)
{
    const auto& desktop = GetParam();
    auto s = start();
    ASSERT_TRUE (s.window.has_value());

    const auto width = juce::roundToInt (644 * desktop.scale), height = juce::roundToInt (424 * desktop.scale);
    EXPECT_EQ (s.window->bounds.getWidth(), width);
    EXPECT_EQ (s.window->bounds.getHeight(), height);
    // Centred in logical pixels, so a fractional scale may round the place by one pixel. On a
    // screen too small for it, the title bar stays on the screen, at its top-left corner.
    const juce::Rectangle<int> screen (desktop.screen.x, desktop.screen.y);
    const auto fits = width <= screen.getWidth() && height <= screen.getHeight();
    const auto expected = fits ? juce::Point<int> ((screen.getWidth() - width) / 2, (screen.getHeight() - height) / 2) : juce::Point<int>();
    EXPECT_LE (s.window->bounds.getPosition().getDistanceFrom (expected), 1) << s.window->bounds.toString();
    EXPECT_TRUE (s.pageBecomes (-1));
    if (!fits)
    {
        // What lies on the screen still works: the Tessaly button, at the top.
        EXPECT_TRUE (s.openProductPage (1));
        return s.closeAndExpectStatusZero();
    }
    EXPECT_TRUE (screen.contains (s.window->bounds)) << s.window->bounds.toString();

    // At 200 % each physical pixel is one of the 2x picture's, exactly.
    if (desktop.scale == 2.0)
    {
        const auto area = menuFreeArea * 2;
        EXPECT_EQ (countDifferentPixels (screenshot (s.x, area + s.onScreen ({})), background ("menu", 2).getClippedImage (area)), 0);
    }

    s.walkEveryPage();
    s.closeWithItsButtonAndExpectStatusZero();
}

// What a desktop's settings may say, sensible or not. A work area makes the framework take
// the daemon's integer itself; without one, only the program reads it.
INSTANTIATE_TEST_SUITE_P (
    Desktops, ScaledDesktop,
    testing::Values (DesktopScale{ "SettingsDaemonAt2", "Gdk/WindowScalingFactor 2\n", "Xft.dpi:\t96\n", 2.0 },
                     DesktopScale{ "SettingsDaemonAt2WithWorkArea", "Gdk/WindowScalingFactor 2\n", "", 2.0, true },
                     DesktopScale{ "XftDpi192", "", "Xft.dpi:\t192\n", 2.0 },
                     DesktopScale{ "XftDpi144", "", "Xft.dpi:\t144\n", 1.5 },
                     DesktopScale{ "SettingsDaemonAt5WithWorkArea", "Gdk/WindowScalingFactor 5\n", "", 4.0, true },
                     DesktopScale{ "SettingsDaemonAt7", "Gdk/WindowScalingFactor 7\n", "", 4.0 },
                     DesktopScale{ "SettingsDaemonAt1000WithWorkArea", "Gdk/WindowScalingFactor 1000\n", "", 4.0, true },
                     DesktopScale{ "SettingsDaemonAt30000WithWorkArea", "Gdk/WindowScalingFactor 30000\n", "", 4.0, true },
                     DesktopScale{ "SettingsDaemonAtLargestIntegerWithWorkArea", "Gdk/WindowScalingFactor 2147483647\n", "", 4.0, true },
                     DesktopScale{ "SettingsDaemonAtLargestIntegerWithoutWorkArea", "Gdk/WindowScalingFactor 2147483647\n", "", 4.0 },
                     DesktopScale{ "SettingsDaemonAtMinus3WithWorkArea", "Gdk/WindowScalingFactor -3\n", "", 1.0, true },
                     DesktopScale{ "SettingsDaemonAtTextWithWorkArea", "Gdk/WindowScalingFactor \"2\"\n", "", 1.0, true },
                     DesktopScale{ "XftDpiHuge", "", "Xft.dpi:\t1e300\n", 4.0 },
                     DesktopScale{ "XftDpiNotANumber", "", "Xft.dpi:\tnan\n", 1.0, true },
                     DesktopScale{ "SettingsDaemonAt2OnAScreenTooSmall", "Gdk/WindowScalingFactor 2\n", "", 2.0, true, { 1024, 768 } }),
    [] (const testing::TestParamInfo<DesktopScale>& param)
    { return std::string (param.param.name); });
