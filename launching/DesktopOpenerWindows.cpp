// On Windows a file opens the way Explorer opens it: ShellExecuteExW with the "open"
// verb, the whole path as one UTF-16 string (never through cmd.exe), in the file's own
// folder, so that a setup program finds the files beside it.

#include "DesktopOpener.h"

#include <windows.h>

#include <shellapi.h>
#include <vector>

namespace
{
constexpr DWORD longestPath = 32768;

// Wine expands %NAME% in the path it is given, so a disc folder named with a '%' would
// send the request elsewhere. The short (8.3) form of the same path holds no '%'.
juce::String safeFromExpansion (const juce::String& path)
{
    if (!path.containsChar ('%'))
        return path;

    std::vector<wchar_t> shortPath (longestPath);
    const auto length = GetShortPathNameW (path.toWideCharPointer(), shortPath.data(), longestPath);
    const auto result = (length > 0 && length < longestPath) ? juce::String (shortPath.data()) : path;
    return result.containsChar ('%') ? path : result;
}

bool shellOpen (const juce::String& target, const juce::String& folder)
{
    const auto wideTarget = target.toWideCharPointer();
    const auto wideFolder = folder.toWideCharPointer();

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof (info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = wideTarget;
    info.lpDirectory = folder.isEmpty() ? nullptr : static_cast<const wchar_t*> (wideFolder);
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW (&info) != FALSE;
}
} // namespace

bool DesktopOpener::openFile (const NativePath& file)
{
    return file.exists() && shellOpen (safeFromExpansion (file.getFullPathName()), safeFromExpansion (file.getParentDirectory().getFullPathName()));
}

bool DesktopOpener::openAddress (const juce::String& address)
{
    return shellOpen (address, {});
}
