#pragma once

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

    juce::ImageButton* getOrvalisButton() const noexcept { return orvalisButton.get(); }
    juce::ImageButton* getTessalyButton() const noexcept { return tessalyButton.get(); }
    juce::ImageButton* getMarrowbyButton() const noexcept { return marrowbyButton.get(); }
    juce::ImageButton* getKestruneButton() const noexcept { return kestruneButton.get(); }

    /** The button of an item, by its index in item order (0 Orvalis to 3 Kestrune). */
    juce::ImageButton* getItemButton (int itemIndex) const noexcept;

    /** Where an item's button lies on the page, by its index in item order; the pictures
        are drawn to fit it. */
    static juce::Rectangle<int> buttonBounds (int itemIndex) noexcept;

private:
    std::unique_ptr<juce::ImageButton> orvalisButton;
    std::unique_ptr<juce::ImageButton> tessalyButton;
    std::unique_ptr<juce::ImageButton> marrowbyButton;
    std::unique_ptr<juce::ImageButton> kestruneButton;
    juce::Image backgroundImage;

    struct ButtonSlot;
    static const ButtonSlot slots[4];

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainInstallerComponent)
};
