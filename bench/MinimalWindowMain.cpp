// The floor the menu is measured against: the framework's own minimal window, of the
// same size and title, built with the same flags and linked the same way, showing
// nothing but its background. With --tooltip-window it also owns the framework's tooltip
// window as the menu does (no parent, 700 ms), which keeps polling the pointer while idle.
// With --repaint-on-click its content turns from azure to black and back at each click,
// the least a click can make the framework draw.

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
/** A content that answers each click by painting itself in the other colour. */
class ClickedContent : public juce::Component
{
public:
    void paint (juce::Graphics& g) override { g.fillAll (dark ? juce::Colours::black : juce::Colours::azure); }

    void mouseUp (const juce::MouseEvent&) override
    {
        dark = !dark;
        repaint();
    }

private:
    bool dark = false;
};

class MinimalWindowApp : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "ORVALIS Brelvan"; }
    const juce::String getApplicationVersion() override { return "0.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String& commandLine) override
    {
        if (commandLine.contains ("--tooltip-window"))
            tooltipWindow = std::make_unique<juce::TooltipWindow> (nullptr, 700);
        window = std::make_unique<juce::DocumentWindow> ("ORVALIS Brelvan", juce::Colours::azure, juce::DocumentWindow::allButtons, true);
        window->setResizable (true, false);
        window->setTitleBarHeight (20);
        if (commandLine.contains ("--repaint-on-click"))
            window->setContentOwned (new ClickedContent(), false);
        window->centreWithSize (644, 424);
        window->setVisible (true);
    }

    void shutdown() override
    {
        window.reset();
        tooltipWindow.reset();
    }

private:
    std::unique_ptr<juce::DocumentWindow> window;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
};

juce::JUCEApplicationBase* createApplication()
{
    return new MinimalWindowApp();
}
} // namespace

int main (int argc, char* argv[])
{
    juce::JUCEApplicationBase::createInstance = &createApplication;
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
}
