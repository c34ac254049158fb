#pragma once

#include "InstallerLauncher.h"
#include "pages/MainInstallerComponent.h"
#include "pages/ProductInstallerComponent.h"

#include <functional>
#include <juce_gui_basics/juce_gui_basics.h>

/** The window's content: holds the five pages, keeps exactly one of them visible
    and turns the page messages into page switches and installer starts.

    It also leads the keyboard: a page switch puts the focus on the new page's first
    control (on the way back, on the menu button of the item whose page was left),
    Escape on a product page returns to the menu, and the focus ring shows from the
    first key on until the next mouse click. */
class MainComponent : public juce::Component,
                      public juce::ActionListener,
                      private juce::KeyListener
{
public:
    using Launcher = std::function<void (int installerIndex)>;

    /** The launcher is the disc's installer launcher unless a test puts a recorder in its place. */
    explicit MainComponent (Launcher launcher = launchInstaller);
    ~MainComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void actionListenerCallback (const juce::String& message) override;
    bool keyPressed (const juce::KeyPress&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;

    MainInstallerComponent* getMenuPage() const noexcept { return menuPage.get(); }
    ProductInstallerComponent* getProductPage (int installerIndex) const noexcept;

private:
    void showProductPage (int installerIndex); // -1 brings back the menu
    int getShownPage() const noexcept;         // -1 for the menu
    void showFocusRing (bool);

    // Any key on any control, before the control itself sees it. The framework's buttons
    // answer Return but not Space; here Space presses them too.
    bool keyPressed (const juce::KeyPress&, juce::Component* control) override;
    bool keyStateChanged (bool isKeyDown, juce::Component*) override;
    using juce::Component::keyStateChanged;

    juce::TooltipWindow tooltipWindow{ nullptr, 700 };
    std::unique_ptr<MainInstallerComponent> menuPage;
    std::unique_ptr<OrvalisInstallerComponent> orvalisPage;
    std::unique_ptr<TessalyInstallerComponent> tessalyPage;
    std::unique_ptr<MarrowbyInstallerComponent> marrowbyPage;
    std::unique_ptr<KestruneInstallerComponent> kestrunePage;
    Launcher launch;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
