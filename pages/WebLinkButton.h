#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A hyperlink whose address goes to the desktop's opener as one whole string, with
    no shell in between and no process left behind. */
class WebLinkButton : public juce::HyperlinkButton
{
public:
    explicit WebLinkButton (const juce::String& address);

    void clicked() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WebLinkButton)
};
