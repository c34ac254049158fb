#include "SwayDesktop.h"

#include "Autorun.h"

#include <sys/stat.h>
#include <unistd.h>

namespace support
{
namespace
{
    constexpr const char* outputName = "HEADLESS-1";

    // Once XWayland is up: the test's (root's) X clients let in, and where the compositor,
    // its commands and XWayland are reached, in that order.
    constexpr const char* announce = "exec sh -c 'xhost +si:localuser:root > /dev/null && cd \"$XDG_RUNTIME_DIR\" "
                                     "&& echo \"$WAYLAND_DISPLAY\" > wayland && echo \"$SWAYSOCK\" > commands "
                                     "&& echo \"$DISPLAY\" > display'\n";

    std::string config (int scale)
    {
        const auto size = std::to_string (1024 * scale) + "x" + std::to_string (768 * scale);
        return std::string ("xwayland force\n"
                            "for_window [shell=\"xwayland\"] floating enable, border none\n"
                            "default_floating_border none\n") +
               "output " + outputName + " resolution " + size + " scale " + std::to_string (scale) + "\n" + announce;
    }

    bool ownedByDesktopUser (const juce::File& f, mode_t mode)
    {
        const auto path = f.getFullPathName().toRawUTF8();
        return chown (path, desktopUser, desktopUser) == 0 && chmod (path, mode) == 0;
    }

    juce::var findNamed (const juce::var& node, const juce::String& name)
    {
        if (node["name"].toString() == name && node["window_rect"].isObject())
            return node;
        for (const auto* children : { "nodes", "floating_nodes" })
            if (const auto* list = node[children].getArray())
                for (const auto& child : *list)
                    if (auto found = findNamed (child, name); found.isObject())
                        return found;
        return {};
    }
} // namespace

SwayDesktop::SwayDesktop (int scale)
    : outputScale (scale)
    , base (juce::File::createTempFile ("brelvan-sway"))
    , runtime (base.getChildFile ("runtime"))
{
    base.createDirectory();
    runtime.createDirectory();
    base.getChildFile ("config").replaceWithText (config (scale));
    if (!ownedByDesktopUser (base, 0755) || !ownedByDesktopUser (runtime, 0700) || chmod (base.getChildFile ("config").getFullPathName().toRawUTF8(), 0644) != 0)
    {
        problem = "the desktop user cannot be given a runtime folder (needs root)";
        return;
    }

    compositor = std::make_unique<Process> (asDesktopUser ({ "env", "-i", "PATH=/usr/bin:/bin", "HOME=" + base.getFullPathName().toStdString(),
                                                             "XDG_RUNTIME_DIR=" + runtime.getFullPathName().toStdString(), "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                                                             "WLR_HEADLESS_OUTPUTS=1", "sh", "-c", "exec sway -c \"$0\" > \"$1\" 2>&1", base.getChildFile ("config").getFullPathName().toStdString(),
                                                             base.getChildFile ("sway.log").getFullPathName().toStdString() }));

    const auto displayFile = runtime.getChildFile ("display");
    if (!eventually ([&]
                     { return displayFile.loadFileAsString().trim().isNotEmpty(); },
                     30s))
    {
        problem = "sway did not bring XWayland up: " + compositor->state() + "\n" + base.getChildFile ("sway.log").loadFileAsString().toStdString();
        return;
    }
    waylandDisplay = runtime.getChildFile ("wayland").loadFileAsString().trim().toStdString();
    swaySocket = runtime.getChildFile ("commands").loadFileAsString().trim().toStdString();
    try
    {
        xwayland = std::make_unique<XServer> (displayFile.loadFileAsString().trim().toStdString());
    }
    catch (const std::exception& e)
    {
        problem = e.what();
        return;
    }

    // The desktop user may not reach the build folder (a checkout in root's home), so the
    // pointer runs from a copy in the desktop's own folder.
    const auto pointerProgram = base.getChildFile ("virtual_pointer");
    if (!juce::File (BRELVAN_VIRTUAL_POINTER).copyFileTo (pointerProgram) || chmod (pointerProgram.getFullPathName().toRawUTF8(), 0755) != 0)
    {
        problem = "the virtual pointer cannot be copied for the desktop user";
        return;
    }
    pointer = std::make_unique<Process> (asDesktopUser ({ "env", "-i",
                                                          "XDG_RUNTIME_DIR=" + runtime.getFullPathName().toStdString(),
                                                          "WAYLAND_DISPLAY=" + waylandDisplay, pointerProgram.getFullPathName().toStdString() }));
    if (!eventually ([&]
                     { return run ({ "swaymsg", "-t", "get_seats" }).output.find ("\"capabilities\": 0") == std::string::npos; }))
        problem = "the seat got no pointer: " + pointer->state();
}

SwayDesktop::~SwayDesktop()
{
    xwayland.reset();
    pointer.reset();
    compositor.reset();
    base.deleteRecursively();
}

Ending SwayDesktop::run (std::vector<std::string> command) const
{
    return runToEnd (asDesktopUser (command),
                     { "PATH=/usr/bin:/bin", "HOME=" + base.getFullPathName().toStdString(), "XDG_RUNTIME_DIR=" + runtime.getFullPathName().toStdString(),
                       "WAYLAND_DISPLAY=" + waylandDisplay, "SWAYSOCK=" + swaySocket },
                     10s);
}

std::optional<juce::Rectangle<int>> SwayDesktop::windowPlace (const std::string& title) const
{
    const auto window = findNamed (juce::JSON::parse (juce::String (run ({ "swaymsg", "-t", "get_tree" }).output)), title);
    if (!window.isObject())
        return std::nullopt;
    const auto rect = window["rect"], inside = window["window_rect"];
    return juce::Rectangle<int> (int (rect["x"]) + int (inside["x"]), int (rect["y"]) + int (inside["y"]), inside["width"], inside["height"]);
}

bool SwayDesktop::resizeWindow (const std::string& title, juce::Point<int> size) const
{
    const auto criteria = "[title=\"^" + title + "$\"]";
    return run ({ "swaymsg", criteria, "resize", "set", "width", std::to_string (size.x), "px", "height", std::to_string (size.y), "px" }).status == std::optional<int> (0);
}

void SwayDesktop::moveTo (juce::Point<int> logical) const
{
    run ({ "swaymsg", "seat", "seat0", "cursor", "set", std::to_string (logical.x), std::to_string (logical.y) });
}

void SwayDesktop::click (juce::Point<int> logical) const
{
    moveTo (logical);
    run ({ "swaymsg", "seat", "seat0", "cursor", "press", "button1" });
    run ({ "swaymsg", "seat", "seat0", "cursor", "release", "button1" });
}

void SwayDesktop::key (const std::string& name) const
{
    // Without the pause between press and release, keys are lost.
    run ({ "wtype", "-s", "100", "-k", name });
}

std::string SwayDesktop::logTail() const
{
    const auto log = base.getChildFile ("sway.log").loadFileAsString();
    return log.substring (juce::jmax (0, log.length() - 3000)).toStdString();
}

juce::Image SwayDesktop::screenshot() const
{
    const auto shot = base.getChildFile ("shot.png");
    shot.deleteFile();
    run ({ "grim", "-o", outputName, shot.getFullPathName().toStdString() });
    return juce::ImageFileFormat::loadFrom (shot);
}
} // namespace support
