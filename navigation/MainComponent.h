#pragma once

#include "InstallerLauncher.h"
#include "pages/MainInstallerComponent.h"
#include "pages/ProductInstallerComponent.h"

#include <functional>
#include <juce_gui_basics/juce_gui_basics.h>

/** The window's content: holds the five pages, keeps exactly one of them visible
    and turns the page messages into page switches and installer starts. */
class MainComponent : public juce::Component,
                      public juce::ActionListener
{
public:
    using Launcher = std::function<void (int installerIndex)>;

    /** The launcher is the disc's installer launcher unless a test puts a recorder in its place. */
    explicit MainComponent (Launcher launcher = launchInstaller);
    ~MainComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void actionListenerCallback (const juce::String& message) override;

    MainInstallerComponent* getMenuPage() const noexcept { return menuPage.get(); }
    ProductInstallerComponent* getProductPage (int installerIndex) const noexcept;

private:
    void showProductPage (int installerIndex); // -1 brings back the menu

    juce::TooltipWindow tooltipWindow{ nullptr, 700 };
    std::unique_ptr<MainInstallerComponent> menuPage;
    std::unique_ptr<OrvalisInstallerComponent> orvalisPage;
    std::unique_ptr<TessalyInstallerComponent> tessalyPage;
    std::unique_ptr<MarrowbyInstallerComponent> marrowbyPage;
    std::unique_ptr<KestruneInstallerComponent> kestrunePage;
    Launcher launch;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
