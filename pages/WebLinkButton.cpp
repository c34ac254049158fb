#include "WebLinkButton.h"

#include "launching/DetachedProcess.h"

WebLinkButton::WebLinkButton (const juce::String& address)
    : HyperlinkButton (address, juce::URL (address))
{
}

void WebLinkButton::clicked()
{
    const auto& target = getURL();
    if (target.isWellFormed())
        DetachedProcess::openAddress (target.toString (true));
}
