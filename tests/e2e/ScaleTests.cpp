// The menu on a desktop scaled above 100 %: the window follows the desktop's own settings,
// with no window manager to publish a work area, and shows the pictures drawn for the scale.

#include "Session.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace
{
constexpr int screenWidth = 2560, screenHeight = 1600;

/** How a desktop says it is scaled: its settings daemon, or the X resources alone. */
struct DesktopScale
{
    const char* name;
    std::string xsettings; // the daemon's configuration; none when empty
    std::string resources;
    double scale;
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
        return Session (begin, screenWidth, screenHeight, style);
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
    // Centred in logical pixels, so a fractional scale may round the place by one pixel.
    EXPECT_LE (s.window->bounds.getPosition().getDistanceFrom ({ (screenWidth - width) / 2, (screenHeight - height) / 2 }), 1);
    EXPECT_TRUE (s.pageBecomes (-1));

    // At 200 % each physical pixel is one of the 2x picture's, exactly.
    if (desktop.scale == 2.0)
    {
        const auto area = menuFreeArea * 2;
        EXPECT_EQ (countDifferentPixels (screenshot (s.x, area + s.onScreen ({})), background ("menu", 2).getClippedImage (area)), 0);
    }

    s.walkEveryPage();
    s.closeWithItsButtonAndExpectStatusZero();
}

INSTANTIATE_TEST_SUITE_P (
    Desktops, ScaledDesktop,
    testing::Values (DesktopScale{ "SettingsDaemonAt2", "Gdk/WindowScalingFactor 2\n", "Xft.dpi:\t96\n", 2.0 },
                     DesktopScale{ "XftDpi192", "", "Xft.dpi:\t192\n", 2.0 },
                     DesktopScale{ "XftDpi144", "", "Xft.dpi:\t144\n", 1.5 }),
    [] (const testing::TestParamInfo<DesktopScale>& param)
    { return std::string (param.param.name); });
