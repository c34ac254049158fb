// On Linux a file is opened by what it is (see OpeningRule), and addresses go to xdg-open.

#include "DesktopOpener.h"

#include "DetachedProcess.h"

bool DesktopOpener::openFile (const NativePath& file)
{
    return DetachedProcess::openFile (file);
}

bool DesktopOpener::openAddress (const juce::String& address)
{
    return DetachedProcess::openAddress (address);
}
