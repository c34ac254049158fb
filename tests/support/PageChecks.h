#pragma once

// How the unit tests look at a page: its snapshot at a scale, the pictures it should show,
// and each control as assistive technology meets it.

#include "InProcess.h"
#include "Screenshots.h"
#include "artwork/Artwork.h"

#include <gtest/gtest.h>

namespace support
{
/** The page as a screen scaled this much shows it: each logical pixel scale x scale physical ones. */
inline juce::Image snapshot (juce::Component& page, int scale = 1)
{
    return page.createComponentSnapshot (page.getLocalBounds(), true, (float) scale);
}

/** An entry's picture in the set drawn for a scale. */
inline juce::Image decoded (const ArtworkEntry& entry, int scale = 1)
{
    const auto& set = scale == 1 ? entry : *entry.twice;
    return juce::ImageFileFormat::loadFrom (set.data, static_cast<size_t> (set.size));
}

/** Where no child lies, the page is its background, pixel for pixel. */
inline void expectBackgroundOutsideChildren (juce::Component& page, const juce::Image& background, int scale = 1)
{
    const auto shot = snapshot (page, scale);
    int wrong = 0;
    for (int y = 0; y < 400 * scale; ++y)
        for (int x = 0; x < 640 * scale; ++x)
        {
            bool covered = false;
            for (auto* child : page.getChildren())
                covered = covered || child->getBounds().contains (x / scale, y / scale);
            if (!covered && !near (shot.getPixelAt (x, y), background.getPixelAt (x, y), 1))
                ++wrong;
        }
    EXPECT_EQ (wrong, 0) << "at " << scale << "x";
}

/** The button's picture composited over the background at an opacity, with an optional wash over its own shape. */
inline void expectButtonLook (juce::Component& page, juce::ImageButton& button, const juce::Image& background,
                              const juce::Image& picture, float opacity, float wash, int scale = 1)
{
    const auto shot = snapshot (page, scale);
    const auto origin = button.getPosition() * scale;
    int wrong = 0;
    for (int y = 0; y < picture.getHeight(); ++y)
        for (int x = 0; x < picture.getWidth(); ++x)
        {
            const auto p = picture.getPixelAt (x, y);
            const auto alpha = p.getFloatAlpha();
            const auto under = background.getPixelAt (origin.x + x, origin.y + y);
            auto expected = under.interpolatedWith (p.withAlpha (1.0f), alpha * opacity);
            expected = expected.interpolatedWith (juce::Colours::white, alpha * wash);
            if (!near (shot.getPixelAt (origin.x + x, origin.y + y), expected, 3))
                ++wrong;
        }
    EXPECT_EQ (wrong, 0) << button.getName() << " at " << scale << "x";
}

// Drawn first at twice the scale and then at 100 %, as when the window moves between displays.
constexpr int scalesInTurn[] = { 2, 1 };

constexpr float pressedWash = 0x40 / 255.0f;

/** A control as assistive technology meets it, and what pressing it sends. */
struct Described
{
    juce::Component* control;
    juce::AccessibilityRole role;
    juce::String title, description, message;
};

/** Each control in the page's keyboard order: its role, title and description, and that its
    press action (what a screen reader's "activate" does) sends what a click sends. A link
    sends no page message; its press goes to the desktop's opener instead. */
inline void expectDescribedInOrder (juce::Component& page, juce::ActionBroadcaster& broadcaster, const std::vector<Described>& expected)
{
    // The framework describes only what lies in a window.
    page.addToDesktop (0);
    juce::KeyboardFocusTraverser traverser;
    std::vector<juce::Component*> order;
    for (auto& e : expected)
        order.push_back (e.control);
    EXPECT_EQ (traverser.getAllComponents (&page), order);

    RecordingOpener opener;
    MessageRecorder recorder;
    broadcaster.addActionListener (&recorder);
    for (auto& e : expected)
    {
        SCOPED_TRACE (e.title);
        auto* handler = e.control->getAccessibilityHandler();
        ASSERT_NE (handler, nullptr);
        EXPECT_EQ (handler->getRole(), e.role);
        EXPECT_EQ (handler->getTitle(), e.title);
        EXPECT_EQ (handler->getDescription(), e.description);

        recorder.messages.clear();
        ASSERT_TRUE (handler->getActions().invoke (juce::AccessibilityActionType::press));
        runMessageLoop();
        EXPECT_EQ (recorder.messages.joinIntoString (" "), e.message);
        if (e.role == juce::AccessibilityRole::hyperlink)
        {
            EXPECT_EQ (opener.calls().joinIntoString (" "), e.title);
            opener.forget();
        }
    }
    broadcaster.removeActionListener (&recorder);
    page.removeFromDesktop();
}
} // namespace support
