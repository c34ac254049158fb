#include "NativePath.h"

#if JUCE_WINDOWS

NativePath NativePaths::folderOf (const NativePath& file)
{
    return file == juce::File() ? juce::File() : file.getParentDirectory();
}

NativePath NativePaths::childOf (const NativePath& folder, const char* relative)
{
    if (folder == juce::File())
        return {};
    return folder.getChildFile (juce::String (relative).replaceCharacter ('\\', juce::File::getSeparatorChar()));
}

#else

NativePath NativePaths::folderOf (const NativePath& file)
{
    const auto slash = file.find_last_of ('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string ("/") : file.substr (0, slash);
}

NativePath NativePaths::childOf (const NativePath& folder, const char* relative)
{
    if (folder.empty())
        return {};
    std::string child = folder;
    if (child.back() != '/')
        child += '/';
    for (const auto* c = relative; *c != '\0'; ++c)
        child += *c == '\\' ? '/' : *c;
    return child;
}

#endif
