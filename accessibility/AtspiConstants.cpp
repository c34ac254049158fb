#include "AtspiConstants.h"

namespace Atspi
{
namespace
{
    constexpr Role roles[] = {
        { juce::AccessibilityRole::window, ATSPI_ROLE_FRAME, "frame" },
        { juce::AccessibilityRole::dialogWindow, ATSPI_ROLE_DIALOG, "dialog" },
        { juce::AccessibilityRole::group, ATSPI_ROLE_PANEL, "panel" },
        { juce::AccessibilityRole::unspecified, ATSPI_ROLE_PANEL, "panel" },
        { juce::AccessibilityRole::button, ATSPI_ROLE_PUSH_BUTTON, "push button" },
        { juce::AccessibilityRole::toggleButton, ATSPI_ROLE_TOGGLE_BUTTON, "toggle button" },
        { juce::AccessibilityRole::hyperlink, ATSPI_ROLE_LINK, "link" },
        { juce::AccessibilityRole::image, ATSPI_ROLE_IMAGE, "image" },
        { juce::AccessibilityRole::label, ATSPI_ROLE_LABEL, "label" },
        { juce::AccessibilityRole::staticText, ATSPI_ROLE_STATIC, "static" },
        { juce::AccessibilityRole::tooltip, ATSPI_ROLE_TOOL_TIP, "tool tip" },
    };
    constexpr Role unknown{ juce::AccessibilityRole::unspecified, ATSPI_ROLE_UNKNOWN, "unknown" };
    constexpr Role application{ juce::AccessibilityRole::unspecified, ATSPI_ROLE_APPLICATION, "application" };
} // namespace

const Role& roleFor (juce::AccessibilityRole role)
{
    for (const auto& r : roles)
        if (r.framework == role)
            return r;
    return unknown;
}

const Role& applicationRole()
{
    return application;
}
} // namespace Atspi
