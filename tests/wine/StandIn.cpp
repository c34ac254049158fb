// A Windows stand-in for an installer, an opener or a browser, run under Wine by the
// tests: records its own name, its working folder and each argument it was given, one
// per line, into the log named by BRELVAN_TEST_LOG, in UTF-8, and ends at once.
// Paths are written in their long form, whichever form they were given in.

#include <windows.h>

#include <shellapi.h>
#include <string>

namespace
{
/** The long form of a path that exists (the opener may have been given its 8.3 form); anything else as it is. */
std::wstring longForm (const std::wstring& text)
{
    wchar_t path[32768];
    const auto length = GetLongPathNameW (text.c_str(), path, 32768);
    return length > 0 && length < 32768 ? std::wstring (path) : text;
}

std::string utf8 (const std::wstring& text)
{
    const auto size = WideCharToMultiByte (CP_UTF8, 0, text.c_str(), static_cast<int> (text.size()), nullptr, 0, nullptr, nullptr);
    std::string result (static_cast<size_t> (size), '\0');
    WideCharToMultiByte (CP_UTF8, 0, text.c_str(), static_cast<int> (text.size()), result.data(), size, nullptr, nullptr);
    return result;
}
} // namespace

int WINAPI wWinMain (HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t log[MAX_PATH * 4], module[MAX_PATH * 4], folder[MAX_PATH * 4];
    if (GetEnvironmentVariableW (L"BRELVAN_TEST_LOG", log, MAX_PATH * 4) == 0)
        return 2;
    GetModuleFileNameW (nullptr, module, MAX_PATH * 4);
    GetCurrentDirectoryW (MAX_PATH * 4, folder);

    int count = 0;
    auto** arguments = CommandLineToArgvW (GetCommandLineW(), &count);
    std::wstring name (module);
    name = name.substr (name.find_last_of (L'\\') + 1);

    std::string record = "run " + utf8 (name) + " args=" + std::to_string (count - 1) + " cwd=" + utf8 (longForm (folder)) + "\n";
    for (int i = 1; i < count; ++i)
        record += utf8 (longForm (arguments[i])) + "\n";

    const auto file = CreateFileW (log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    WriteFile (file, record.data(), static_cast<DWORD> (record.size()), &written, nullptr);
    CloseHandle (file);
    return 0;
}
