#include "XConnection.h"
#include "Xlib.h"

// The framework's own X declarations: its display and its XSETTINGS reader.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
using ResourceManagerString = char* (*) (void*);

// A desktop's own scale lies between these; anything else is a mistake in its settings.
constexpr double smallestScale = 1.0, largestScale = 4.0;
constexpr double dpiAtOne = 96.0;

/** The dpi of the Xft.dpi line in the text of the X resources, or 0. */
double xftDpi (const char* resources)
{
    if (resources == nullptr)
        return 0.0;

    for (const auto& line : juce::StringArray::fromLines (resources))
    {
        const auto name = line.upToFirstOccurrenceOf (":", false, false).trim();
        if (name == "Xft.dpi" && line.containsChar (':'))
            return juce::jmax (0.0, line.fromFirstOccurrenceOf (":", false, false).trim().getDoubleValue());
    }
    return 0.0;
}

/** The desktop's scale as its settings publish it, or 0 where they say nothing. */
double desktopScale()
{
    auto* windowSystem = juce::XWindowSystem::getInstance();
    if (auto* settings = windowSystem->getXSettings())
    {
        const auto factor = settings->getSetting (juce::XWindowSystem::getWindowScalingFactorSettingName());
        if (factor.isValid() && factor.integerValue > 0)
            return juce::jlimit (smallestScale, largestScale, (double) factor.integerValue);
    }

    const auto resourceText = XConnection::Xlib::function<ResourceManagerString> ("XResourceManagerString");
    if (auto* display = windowSystem->getDisplay(); display != nullptr && resourceText != nullptr)
        if (const auto dpi = xftDpi (resourceText (display)); dpi > 0.0)
            return juce::jlimit (smallestScale, largestScale, dpi / dpiAtOne);

    return 0.0;
}
} // namespace

void XConnection::followDesktopScale()
{
    const auto wanted = desktopScale();
    if (wanted <= 0.0)
        return;

    // What the framework found on its own counts once: the global factor makes up the rest.
    auto& desktop = juce::Desktop::getInstance();
    const auto* primary = desktop.getDisplays().getPrimaryDisplay();
    const auto found = primary != nullptr ? primary->scale / (double) desktop.getGlobalScaleFactor() : 1.0;
    if (found > 0.0 && std::abs (wanted - found) > 0.01)
        desktop.setGlobalScaleFactor ((float) (wanted / found));
}
