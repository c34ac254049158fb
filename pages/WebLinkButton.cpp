#include "WebLinkButton.h"

#include "launching/DesktopOpener.h"

WebLinkButton::WebLinkButton (const juce::String& address)
    : HyperlinkButton (address, juce::URL (address))
{
}

void WebLinkButton::clicked()
{
    const auto& target = getURL();
    if (target.isWellFormed())
        DesktopOpener::openAddress (target.toString (true));
}
