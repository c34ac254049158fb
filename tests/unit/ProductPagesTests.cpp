#include "pages/PageLook.h"
#include "pages/ProductInstallerComponent.h"
#include "support/Facts.h"
#include "support/PageChecks.h"

#include <gtest/gtest.h>

using namespace support;

namespace
{
/** A product page, and what the tests hold it to. */
struct ProductPageCase
{
    const char* name;
    std::function<std::unique_ptr<ProductInstallerComponent>()> make;
    const ArtworkEntry& background;
    const char* installMessage;
    const std::vector<Link>& links;
};

const std::vector<ProductPageCase>& productPages()
{
    static const std::vector<ProductPageCase> cases{
        { items[0], []
          { return std::make_unique<OrvalisInstallerComponent>(); },
          Artwork::orvalisBackground, installMessages[0], links[0] },
        { items[1], []
          { return std::make_unique<TessalyInstallerComponent>(); },
          Artwork::tessalyBackground, installMessages[1], links[1] },
        { items[2], []
          { return std::make_unique<MarrowbyInstallerComponent>(); },
          Artwork::marrowbyBackground, installMessages[2], links[2] },
        { items[3], []
          { return std::make_unique<KestruneInstallerComponent>(); },
          Artwork::kestruneBackground, installMessages[3], links[3] },
    };
    return cases;
}
} // namespace

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
        EXPECT_EQ (opener.calls().joinIntoString (" "), c.links[0].address);
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
            const juce::String address (c.links[i].address);
            EXPECT_EQ (link->getButtonText(), address);
            EXPECT_EQ (link->getURL().toString (false), address);
            EXPECT_EQ (link->getTooltip(), address);
            EXPECT_EQ (link->findColour (juce::HyperlinkButton::textColourId), juce::Colour (0xccd3d3e6));
            EXPECT_EQ (link->getBounds(), c.links[i].bounds);

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
            EXPECT_EQ (page->getReturnButton()->getBounds(), returnBounds);
            EXPECT_EQ (page->getInstallButton()->getBounds(), installBounds);
            for (size_t i = 0; i < c.links.size(); ++i)
                EXPECT_EQ (page->getWebLink ((int) i)->getBounds(), c.links[i].bounds);
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
            expected.push_back ({ page->getWebLink ((int) i), juce::AccessibilityRole::hyperlink, c.links[i].address, "Open the address in the web browser", "" });
        ASSERT_NO_FATAL_FAILURE (expectDescribedInOrder (*page, *page, expected));
    }
}
