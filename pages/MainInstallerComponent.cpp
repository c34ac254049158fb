#include "MainInstallerComponent.h"

#include "PageLook.h"
#include "PageMessages.h"

/** One item's button: where it sits on the menu background, its picture and its message,
    the item it stands for and its number in the order of installation, which is also the
    order the keyboard visits the buttons in. */
struct MainInstallerComponent::ButtonSlot
{
    std::unique_ptr<juce::ImageButton> MainInstallerComponent::*member;
    const ArtworkEntry& picture;
    const char* message;
    juce::Rectangle<int> bounds;
    const char* item;
    int numberInOrder;
};

// In item order.
const MainInstallerComponent::ButtonSlot MainInstallerComponent::slots[4] = {
    { &MainInstallerComponent::orvalisButton, Artwork::menuOrvalisButton, PageMessages::show[0], { 344, 184, 93, 78 }, "Orvalis", 2 },
    { &MainInstallerComponent::tessalyButton, Artwork::menuTessalyButton, PageMessages::show[1], { 446, 80, 101, 95 }, "Tessaly", 1 },
    { &MainInstallerComponent::marrowbyButton, Artwork::menuMarrowbyButton, PageMessages::show[2], { 443, 185, 93, 78 }, "Marrowby", 3 },
    { &MainInstallerComponent::kestruneButton, Artwork::menuKestruneButton, PageMessages::show[3], { 539, 183, 93, 78 }, "Kestrune", 4 },
};

juce::ImageButton* MainInstallerComponent::getItemButton (int itemIndex) const noexcept
{
    return (this->*slots[itemIndex].member).get();
}

juce::Rectangle<int> MainInstallerComponent::buttonBounds (int itemIndex) noexcept
{
    return slots[itemIndex].bounds;
}

MainInstallerComponent::MainInstallerComponent()
{
    for (auto& slot : slots)
    {
        auto& button = this->*slot.member;
        button = std::make_unique<juce::ImageButton> ("Install");
        addAndMakeVisible (*button);
        button->addListener (this);
        PageLook::setPicture (*button, slot.picture, false);
        PageLook::describe (*button, slot.item, juce::String ("Show the ") + slot.item + " page", slot.numberInOrder);
    }

    PageLook::presentAsPage (*this, "Menu");

    backgroundImage = PageLook::picture (Artwork::menuBackground);
    setSize (PageLook::pageWidth, PageLook::pageHeight);
}

MainInstallerComponent::~MainInstallerComponent()
{
    for (auto& slot : slots)
        (this->*slot.member).reset();

    backgroundImage = {};
}

void MainInstallerComponent::paint (juce::Graphics& g)
{
    PageLook::paintBackground (g, backgroundImage);
}

void MainInstallerComponent::resized()
{
    for (auto& slot : slots)
        (this->*slot.member)->setBounds (slot.bounds);
}

void MainInstallerComponent::buttonClicked (juce::Button* clicked)
{
    for (auto& slot : slots)
        if (clicked == (this->*slot.member).get())
        {
            sendActionMessage (slot.message);
            return;
        }
}
