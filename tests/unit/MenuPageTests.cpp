#include "pages/MainInstallerComponent.h"
#include "pages/PageLook.h"
#include "support/Facts.h"
#include "support/PageChecks.h"

#include <gtest/gtest.h>

using namespace support;

TEST (MenuPage, EachButtonSendsItsOwnMessageOnce)
{
    MainInstallerComponent page;
    MessageRecorder recorder;
    page.addActionListener (&recorder);

    for (int item = 0; item < 4; ++item)
    {
        recorder.messages.clear();
        page.getItemButton (item)->triggerClick();
        runMessageLoop();
        EXPECT_EQ (recorder.messages, juce::StringArray (showMessages[item]));
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
    EXPECT_EQ (page.getBounds(), juce::Rectangle<int> (0, 0, pageWidth, pageHeight));

    std::vector<std::pair<juce::Component*, juce::Rectangle<int>>> expected;
    for (int item = 0; item < 4; ++item)
        expected.push_back ({ page.getItemButton (item), menuButtonBounds[item] });
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

        auto& button = *page.getItemButton (1);
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
    EXPECT_EQ (support::countDifferentPixels (shot.getClippedImage (free), expected.getClippedImage (free), 2), 0);
}

TEST (MenuPage, NamesItsButtonsByItemAndTheKeyboardVisitsThemInTheNumberedOrder)
{
    MainInstallerComponent page;
    EXPECT_EQ (page.getTitle(), "Menu");
    const auto button = juce::AccessibilityRole::button;
    const std::vector<Described> expected{ { page.getItemButton (1), button, "Tessaly", "Show the Tessaly page", "ShowTessaly" },
                                           { page.getItemButton (0), button, "Orvalis", "Show the Orvalis page", "ShowtOrvalis" },
                                           { page.getItemButton (2), button, "Marrowby", "Show the Marrowby page", "ShowMarrowby" },
                                           { page.getItemButton (3), button, "Kestrune", "Show the Kestrune page", "ShowKestrune" } };
    ASSERT_NO_FATAL_FAILURE (expectDescribedInOrder (page, page, expected));
}
