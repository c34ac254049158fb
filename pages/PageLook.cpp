#include "PageLook.h"

#include "artwork/ArtworkPicture.h"

namespace
{
/** What a context draws a picture with: its set for the context's scale, resampled with
    the framework's best quality where that scale is not a whole multiple of the set's. */
juce::Image prepareFor (juce::Graphics& g, const juce::Image& image)
{
    const auto scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    return ArtworkPicture::forScale (image, scale);
}

bool focusRingShown = false;

/** The focus ring: just outside its control, never outside the page, in white on a dark
    edge so that it shows on every ground. */
class FocusRing : public juce::FocusOutline::OutlineWindowProperties
{
public:
    juce::Rectangle<int> getOutlineBounds (juce::Component& control) override
    {
        auto bounds = control.getScreenBounds().expanded (PageLook::focusRingGap);
        if (auto* page = control.getParentComponent())
            bounds = bounds.getIntersection (page->getScreenBounds());
        return bounds;
    }

    void drawOutline (juce::Graphics& g, int width, int height) override
    {
        if (!focusRingShown)
            return;

        const auto ring = juce::Rectangle<float> ((float) width, (float) height).reduced (1.0f + PageLook::focusRingWidth / 2);
        g.setColour (juce::Colours::black.withAlpha (0.8f));
        g.drawRoundedRectangle (ring, 4.0f, PageLook::focusRingWidth + 2.0f);
        g.setColour (juce::Colours::white);
        g.drawRoundedRectangle (ring, 4.0f, PageLook::focusRingWidth);
    }
};

/** The pages' controls: picture buttons draw their picture in the set the screen needs,
    and the control with the keyboard focus carries the focus ring. */
class PageControlLook : public juce::LookAndFeel_V4
{
public:
    std::unique_ptr<juce::FocusOutline> createFocusOutlineForComponent (juce::Component&) override
    {
        return std::make_unique<juce::FocusOutline> (std::make_unique<FocusRing>());
    }

    void drawImageButton (juce::Graphics& g, juce::Image* image, int x, int y, int width, int height,
                          const juce::Colour& overlay, float opacity, juce::ImageButton& button) override
    {
        auto shown = prepareFor (g, *image);
        if (shown.isValid())
            LookAndFeel_V4::drawImageButton (g, &shown, x, y, width, height, overlay, opacity, button);
    }
};

PageControlLook& pageControlLook()
{
    // Outlives every page; never destroyed, since the framework may still hold its controls' looks at exit.
    static auto* look = new PageControlLook();
    return *look;
}
} // namespace

juce::Image PageLook::picture (const ArtworkEntry& entry)
{
    return ArtworkPicture::of (entry);
}

void PageLook::paintBackground (juce::Graphics& g, const juce::Image& background)
{
    g.fillAll (juce::Colours::white);
    if (!background.isValid())
        return;

    const auto shown = prepareFor (g, background);
    if (!shown.isValid())
        return;

    g.setColour (juce::Colours::black);
    g.drawImage (shown, 0, 0, pageWidth, pageHeight, 0, 0, shown.getWidth(), shown.getHeight(), false);
}

void PageLook::setPicture (juce::ImageButton& button, const ArtworkEntry& entry, bool keepProportions)
{
    button.setLookAndFeel (&pageControlLook());
    button.setImages (false, true, keepProportions,
                      picture (entry), opacityAtRest, juce::Colour (0x00000000),
                      juce::Image(), opacityActive, juce::Colours::transparentBlack,
                      juce::Image(), opacityActive, juce::Colour (pressedWash),
                      0.0f);
}

void PageLook::presentAsPage (juce::Component& page, const juce::String& title)
{
    page.setTitle (title);
    page.setFocusContainerType (juce::Component::FocusContainerType::focusContainer);
}

void PageLook::describe (juce::Component& control, const juce::String& title, const juce::String& description, int focusOrder)
{
    control.setTitle (title);
    control.setDescription (description);
    control.setExplicitFocusOrder (focusOrder);
    control.setHasFocusOutline (true);
    control.setLookAndFeel (&pageControlLook());
}

void PageLook::setFocusRingShown (bool shown) noexcept
{
    focusRingShown = shown;
}

bool PageLook::isFocusRingShown() noexcept
{
    return focusRingShown;
}
