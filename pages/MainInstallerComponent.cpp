#include "MainInstallerComponent.h"

#include "BundleItems.h"
#include "PageLook.h"

// The buttons are made, placed and deleted in item order.
MainInstallerComponent::MainInstallerComponent()
{
    for (size_t i = 0; i < BundleItems::count; ++i)
    {
        const auto& item = BundleItems::items[i];
        auto& itemButton = *buttonsInItemOrder[i];
        itemButton = std::make_unique<juce::ImageButton> ("Install");
        addAndMakeVisible (*itemButton);
        itemButton->addListener (this);
        PageLook::setPicture (*itemButton, item.menuPicture, false);
        PageLook::describe (*itemButton, item.name, juce::String ("Show the ") + item.name + " page", item.numberInOrder);
    }

    PageLook::presentAsPage (*this, "Menu");

    backgroundImage = PageLook::picture (Artwork::menuBackground);
    setSize (PageLook::pageWidth, PageLook::pageHeight);
}

MainInstallerComponent::~MainInstallerComponent()
{
    for (auto* button : buttonsInItemOrder)
        button->reset();

    backgroundImage = {};
}

juce::ImageButton* MainInstallerComponent::getItemButton (int itemIndex) const noexcept
{
    return juce::isPositiveAndBelow (itemIndex, BundleItems::count) ? buttonsInItemOrder[static_cast<size_t> (itemIndex)]->get() : nullptr;
}

void MainInstallerComponent::paint (juce::Graphics& g)
{
    PageLook::paintBackground (g, backgroundImage);
}

void MainInstallerComponent::resized()
{
    for (size_t i = 0; i < BundleItems::count; ++i)
        (*buttonsInItemOrder[i])->setBounds (BundleItems::items[i].menuButton.rectangle());
}

void MainInstallerComponent::buttonClicked (juce::Button* clicked)
{
    for (size_t i = 0; i < BundleItems::count; ++i)
        if (clicked == buttonsInItemOrder[i]->get())
            return sendActionMessage (BundleItems::items[i].showMessage);
}
