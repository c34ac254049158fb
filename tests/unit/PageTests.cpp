#include "pages/MainInstallerComponent.h"
#include "pages/PageLook.h"
#include "pages/ProductInstallerComponent.h"
#include "support/Harness.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace
{
struct ProductPageCase
{
    const char* name;
    std::function<std::unique_ptr<ProductInstallerComponent>()> make;
    const ArtworkEntry& background;
    const char* installMessage;
    std::vector<std::pair<const char*, juce::Rectangle<int>>> links;
};

const std::vector<ProductPageCase>& productPages()
{
    static const std::vector<ProductPageCase> cases{
        { "Orvalis", []
          { return std::make_unique<OrvalisInstallerComponent>(); },
          Artwork::orvalisBackground,
          "InstOrvalis",
          { { "http://orvalis.example", { 16, 352, 131, 16 } }, { "http://orvalis.example/evolution/en/products/orvalis/intro.html", { 22, 378, 344, 16 } } } },
        { "Tessaly", []
          { return std::make_unique<TessalyInstallerComponent>(); },
          Artwork::tessalyBackground,
          "InstTessaly",
          { { "http://tess.example/download-tessaly", { 16, 327, 218, 16 } }, { "http://tess.example/tessaly-upgrade", { 21, 353, 184, 16 } }, { "http://tess.example/movies", { 21, 378, 160, 16 } } } },
        { "Marrowby", []
          { return std::make_unique<MarrowbyInstallerComponent>(); },
          Artwork::marrowbyBackground,
          "InstMarrowby",
          { { "http://marrowby.example/marrowby/overview/", { 8, 379, 299, 16 } } } },
        { "Kestrune", []
          { return std::make_unique<KestruneInstallerComponent>(); },
          Artwork::kestruneBackground,
          "InstKestrune",
          { { "http://kestrune.example", { 25, 382, 145, 16 } } } },
    };
    return cases;
}

/** The page as a screen scaled this much shows it: each logical pixel scale x scale physical ones. */
juce::Image snapshot (juce::Component& page, int scale = 1)
{
    return page.createComponentSnapshot (page.getLocalBounds(), true, (float) scale);
}

/** An entry's picture in the set drawn for a scale. */
juce::Image decoded (const ArtworkEntry& entry, int scale = 1)
{
    const auto& set = scale == 1 ? entry : *entry.twice;
    return juce::ImageFileFormat::loadFrom (set.data, static_cast<size_t> (set.size));
}

/** Where no child lies, the page is its background, pixel for pixel. */
void expectBackgroundOutsideChildren (juce::Component& page, const juce::Image& background, int scale = 1)
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
void expectButtonLook (juce::Component& page, juce::ImageButton& button, const juce::Image& background,
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
} // namespace

//==============================================================================
TEST (MenuPage, EachButtonSendsItsOwnMessageOnce)
{
    MainInstallerComponent page;
    MessageRecorder recorder;
    page.addActionListener (&recorder);

    const std::pair<juce::Button*, const char*> expected[] = {
        { page.getOrvalisButton(), "ShowtOrvalis" },
        { page.getTessalyButton(), "ShowTessaly" },
        { page.getMarrowbyButton(), "ShowMarrowby" },
        { page.getKestruneButton(), "ShowKestrune" },
    };
    for (auto& [button, message] : expected)
    {
        recorder.messages.clear();
        button->triggerClick();
        runMessageLoop();
        EXPECT_EQ (recorder.messages, juce::StringArray (message));
    }

    // A button that is not one of the page's own changes nothing.
    recorder.messages.clear();
    juce::TextButton stranger;
    page.buttonClicked (&stranger);
    runMessageLoop();
    EXPECT_TRUE (recorder.messages.isEmpty());
}

TEST (MenuPage, ButtonsKeepTheirPlacesAndTakeClicksOverTheirWholeRectangle)
{
    MainInstallerComponent page;
    page.setVisible (true);
    EXPECT_EQ (page.getBounds(), juce::Rectangle<int> (0, 0, 640, 400));

    const std::pair<juce::Component*, juce::Rectangle<int>> expected[] = {
        { page.getOrvalisButton(), { 344, 184, 93, 78 } },
        { page.getTessalyButton(), { 446, 80, 101, 95 } },
        { page.getMarrowbyButton(), { 443, 185, 93, 78 } },
        { page.getKestruneButton(), { 539, 183, 93, 78 } },
    };
    for (auto size : { juce::Point<int> (640, 400), { 1200, 900 }, { 120, 100 } })
    {
        page.setSize (size.x, size.y);
        for (auto& [button, bounds] : expected)
            EXPECT_EQ (button->getBounds(), bounds);
    }
    page.setSize (640, 400);

    // The transparent corners, where the numerals show through, still belong to the buttons.
    for (auto& [button, bounds] : expected)
    {
        EXPECT_EQ (page.getComponentAt (bounds.getPosition()), button);
        EXPECT_EQ (page.getComponentAt (bounds.getBottomRight() - juce::Point<int> (1, 1)), button);
    }
    EXPECT_EQ (page.getComponentAt (200, 200), &page);
    EXPECT_EQ (page.getComponentAt (438, 90), &page); // numeral 1 lies outside the Tessaly button
}

TEST (MenuPage, ShowsItsBackgroundAndButtonsAtRestOverAndPressed)
{
    MainInstallerComponent page;
    for (auto scale : scalesInTurn)
    {
        const auto background = decoded (Artwork::menuBackground, scale);
        expectBackgroundOutsideChildren (page, background, scale);

        auto& button = *page.getTessalyButton();
        const auto picture = decoded (Artwork::menuTessalyButton, scale);
        button.setState (juce::Button::buttonNormal);
        expectButtonLook (page, button, background, picture, 0.8f, 0.0f, scale);
        button.setState (juce::Button::buttonOver);
        expectButtonLook (page, button, background, picture, 1.0f, 0.0f, scale);
        button.setState (juce::Button::buttonDown);
        expectButtonLook (page, button, background, picture, 1.0f, pressedWash, scale);
    }
}

// Between 100 % and 200 % the 2x pictures are reduced with the framework's best resampling.
TEST (MenuPage, AtOneAndAHalfShowsTheLargerPicturesReduced)
{
    MainInstallerComponent page;
    const auto shot = page.createComponentSnapshot (page.getLocalBounds(), true, 1.5f);
    const juce::Rectangle<int> free (0, 0, 495, 420); // the menu's left part at 1.5x, clear of the buttons
    const auto expected = decoded (Artwork::menuBackground, 2).rescaled (960, 600, juce::Graphics::highResamplingQuality);
    EXPECT_EQ (e2e::countDifferentPixels (shot.getClippedImage (free), expected.getClippedImage (free), 2), 0);
}

//==============================================================================
TEST (ProductPages, ReturnAndInstallSendTheirMessagesAndLinksSendNone)
{
    RecordingOpener opener;
    for (auto& c : productPages())
    {
        SCOPED_TRACE (c.name);
        auto page = c.make();
        MessageRecorder recorder;
        page->addActionListener (&recorder);

        page->getReturnButton()->triggerClick();
        runMessageLoop();
        EXPECT_EQ (recorder.messages, juce::StringArray ("Return"));

        recorder.messages.clear();
        page->getInstallButton()->triggerClick();
        runMessageLoop();
        EXPECT_EQ (recorder.messages, juce::StringArray (c.installMessage));

        recorder.messages.clear();
        page->getWebLink (0)->triggerClick();
        runMessageLoop();
        EXPECT_TRUE (recorder.messages.isEmpty());
        EXPECT_EQ (opener.calls().joinIntoString (" "), c.links[0].first);
        opener.forget();
    }
}

TEST (ProductPages, LinksCarryTheirAddressEverywhereAndFitTheirWidth)
{
    for (auto& c : productPages())
    {
        SCOPED_TRACE (c.name);
        auto page = c.make();
        for (size_t i = 0; i < 3; ++i)
        {
            auto* link = page->getWebLink ((int) i);
            if (i >= c.links.size())
            {
                EXPECT_EQ (link, nullptr);
                continue;
            }
            ASSERT_NE (link, nullptr);
            const juce::String address (c.links[i].first);
            EXPECT_EQ (link->getButtonText(), address);
            EXPECT_EQ (link->getURL().toString (false), address);
            EXPECT_EQ (link->getTooltip(), address);
            EXPECT_EQ (link->findColour (juce::HyperlinkButton::textColourId), juce::Colour (0xccd3d3e6));
            EXPECT_EQ (link->getBounds(), c.links[i].second);

            // The button's own font: its default, scaled to its height; the text is drawn one pixel in from each side.
            const auto font = juce::Font (14.0f, juce::Font::underlined).withHeight ((float) link->getHeight() * 0.7f);
            EXPECT_LE (font.getStringWidthFloat (address), (float) link->getWidth() - 2.0f) << address;
        }
    }
}

TEST (ProductPages, ChildrenKeepTheirBoundsAndInstallLiesOverReturn)
{
    for (auto& c : productPages())
    {
        SCOPED_TRACE (c.name);
        auto page = c.make();
        page->setVisible (true);
        for (auto size : { juce::Point<int> (640, 400), { 1280, 1000 }, { 100, 100 } })
        {
            page->setSize (size.x, size.y);
            EXPECT_EQ (page->getReturnButton()->getBounds(), juce::Rectangle<int> (520, 312, 104, 41));
            EXPECT_EQ (page->getInstallButton()->getBounds(), juce::Rectangle<int> (392, 296, 136, 98));
            for (size_t i = 0; i < c.links.size(); ++i)
                EXPECT_EQ (page->getWebLink ((int) i)->getBounds(), c.links[i].second);
        }
        page->setSize (640, 400);

        // The overlap strip goes to Install, which was created after Return.
        for (int y = 312; y <= 352; y += 8)
            for (int x = 520; x <= 527; ++x)
                ASSERT_EQ (page->getComponentAt (x, y), page->getInstallButton()) << x << ", " << y;

        // Transparent parts inside a picture button's rectangle still take the click.
        EXPECT_EQ (page->getComponentAt (393, 297), page->getInstallButton());
        EXPECT_EQ (page->getComponentAt (622, 351), page->getReturnButton());
        EXPECT_EQ (page->getComponentAt (300, 200), page.get());
    }
}

TEST (ProductPages, ShowTheirBackgroundAndButtonsAtRestOverAndPressed)
{
    for (auto& c : productPages())
    {
        SCOPED_TRACE (c.name);
        auto page = c.make();
        for (auto scale : scalesInTurn)
        {
            const auto background = decoded (c.background, scale);
            expectBackgroundOutsideChildren (*page, background, scale);

            const auto picture = decoded (Artwork::orvalisReturn, scale);
            auto& back = *page->getReturnButton();
            back.setState (juce::Button::buttonNormal);
            expectButtonLook (*page, back, background, picture, 0.8f, 0.0f, scale);
            back.setState (juce::Button::buttonOver);
            expectButtonLook (*page, back, background, picture, 1.0f, 0.0f, scale);
            back.setState (juce::Button::buttonDown);
            expectButtonLook (*page, back, background, picture, 1.0f, pressedWash, scale);
        }
    }
}

TEST (Pages, PaintOnlyWhiteWithoutABackground)
{
    // A page whose background did not decode must not draw it; the white fill is all that shows.
    juce::Image canvas (juce::Image::ARGB, 640, 400, true);
    {
        juce::Graphics g (canvas);
        PageLook::paintBackground (g, juce::Image());
    }
    for (auto point : { juce::Point<int> (0, 0), { 320, 200 }, { 639, 399 } })
        EXPECT_EQ (canvas.getPixelAt (point.x, point.y), juce::Colours::white);
}

//==============================================================================
namespace
{
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
void expectDescribedInOrder (juce::Component& page, juce::ActionBroadcaster& broadcaster, const std::vector<Described>& expected)
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
} // namespace

TEST (MenuPage, NamesItsButtonsByItemAndTheKeyboardVisitsThemInTheNumberedOrder)
{
    MainInstallerComponent page;
    EXPECT_EQ (page.getTitle(), "Menu");
    const auto button = juce::AccessibilityRole::button;
    const std::vector<Described> expected{ { page.getTessalyButton(), button, "Tessaly", "Show the Tessaly page", "ShowTessaly" },
                                           { page.getOrvalisButton(), button, "Orvalis", "Show the Orvalis page", "ShowtOrvalis" },
                                           { page.getMarrowbyButton(), button, "Marrowby", "Show the Marrowby page", "ShowMarrowby" },
                                           { page.getKestruneButton(), button, "Kestrune", "Show the Kestrune page", "ShowKestrune" } };
    ASSERT_NO_FATAL_FAILURE (expectDescribedInOrder (page, page, expected));
}

TEST (ProductPages, NameEveryControlAndTheKeyboardVisitsInstallReturnThenTheLinks)
{
    for (auto& c : productPages())
    {
        SCOPED_TRACE (c.name);
        auto page = c.make();
        EXPECT_EQ (page->getTitle(), juce::String (c.name) + " page");
        const juce::String opens = juce::String (c.name) == "Kestrune" ? "its content pack" : "its installer";
        std::vector<Described> expected{
            { page->getInstallButton(), juce::AccessibilityRole::button, juce::String ("Install ") + c.name, "Open " + opens + " from the disc", c.installMessage },
            { page->getReturnButton(), juce::AccessibilityRole::button, "Return to the menu", "", "Return" },
        };
        for (size_t i = 0; i < c.links.size(); ++i)
            expected.push_back ({ page->getWebLink ((int) i), juce::AccessibilityRole::hyperlink, c.links[i].first, "Open the address in the web browser", "" });
        ASSERT_NO_FATAL_FAILURE (expectDescribedInOrder (*page, *page, expected));
    }
}
