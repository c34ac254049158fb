#pragma once

#include <array>
#include <juce_gui_basics/juce_gui_basics.h>

/** The menu page: the menu background with one picture button per item. A click
    asks, by page message, for that item's product page. */
class MainInstallerComponent : public juce::Component,
                               public juce::ActionBroadcaster,
                               public juce::Button::Listener
{
public:
    MainInstallerComponent();
    ~MainInstallerComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    /** The button of an item, by its index in item order (0 Orvalis to 3 Kestrune); null for another. */
    juce::ImageButton* getItemButton (int itemIndex) const noexcept;

private:
    std::unique_ptr<juce::ImageButton> orvalisButton;
    std::unique_ptr<juce::ImageButton> tessalyButton;
    std::unique_ptr<juce::ImageButton> marrowbyButton;
    std::unique_ptr<juce::ImageButton> kestruneButton;
    juce::Image backgroundImage;
    const std::array<std::unique_ptr<juce::ImageButton>*, 4> buttonsInItemOrder{ &orvalisButton, &tessalyButton, &marrowbyButton, &kestruneButton };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainInstallerComponent)
};
