#include "WindowsImports.h"
#include "tools/disc/Utf8Text.h"

#include <algorithm>
#include <iterator>

namespace
{
// System DLLs that every Windows 7 SP1 installation has, without optional updates.
constexpr const char* windows7Libraries[]{
    "advapi32.dll", "avrt.dll", "bcrypt.dll", "cfgmgr32.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll",
    "d2d1.dll", "d3d9.dll", "d3d10.dll", "d3d10_1.dll", "d3d11.dll", "dbghelp.dll", "dinput8.dll",
    "dnsapi.dll", "dsound.dll", "dwmapi.dll", "dwrite.dll", "dxgi.dll", "gdi32.dll", "gdiplus.dll",
    "glu32.dll", "hid.dll", "imm32.dll", "iphlpapi.dll", "kernel32.dll", "mf.dll", "mfplat.dll",
    "mfreadwrite.dll", "mpr.dll", "msimg32.dll", "msvcrt.dll", "mswsock.dll", "ncrypt.dll", "netapi32.dll",
    "normaliz.dll", "ntdll.dll", "ole32.dll", "oleacc.dll", "oleaut32.dll", "opengl32.dll", "powrprof.dll",
    "propsys.dll", "psapi.dll", "rpcrt4.dll", "secur32.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll",
    "urlmon.dll", "user32.dll", "userenv.dll", "usp10.dll", "uxtheme.dll", "version.dll", "winhttp.dll",
    "wininet.dll", "winmm.dll", "winspool.drv", "wintrust.dll", "ws2_32.dll", "wsock32.dll"
};

struct NewerFunction
{
    const char* name;
    const char* reason;
};

// Functions that a DLL of the list above exports only on later systems. The loader refuses
// to start a program that imports one: Windows 7 says the entry point was not found.
constexpr NewerFunction newerFunctions[]{
    { "GetSystemTimePreciseAsFileTime", "Windows 8" },
    { "CreateFile2", "Windows 8" },
    { "WaitOnAddress", "Windows 8" },
    { "WakeByAddressSingle", "Windows 8" },
    { "WakeByAddressAll", "Windows 8" },
    { "GetCurrentThreadStackLimits", "Windows 8" },
    { "GetOverlappedResultEx", "Windows 8" },
    { "PrefetchVirtualMemory", "Windows 8" },
    { "MapViewOfFileFromApp", "Windows 8" },
    { "GetFirmwareType", "Windows 8" },
    { "SetThreadInformation", "Windows 8" },
    { "GetThreadInformation", "Windows 8" },
    { "SetProcessInformation", "Windows 8" },
    { "GetProcessInformation", "Windows 8" },
    { "SetProcessMitigationPolicy", "Windows 8" },
    { "GetProcessMitigationPolicy", "Windows 8" },
    { "InitializeSynchronizationBarrier", "Windows 8" },
    { "EnterSynchronizationBarrier", "Windows 8" },
    { "DeleteSynchronizationBarrier", "Windows 8" },
    { "GetCurrentPackageFullName", "Windows 8 (packaged applications)" },
    { "GetCurrentPackageId", "Windows 8 (packaged applications)" },
    { "AddDllDirectory", "Windows 8; on Windows 7 only with update KB2533623" },
    { "RemoveDllDirectory", "Windows 8; on Windows 7 only with update KB2533623" },
    { "SetDefaultDllDirectories", "Windows 8; on Windows 7 only with update KB2533623" },
    { "DiscardVirtualMemory", "Windows 8.1" },
    { "OfferVirtualMemory", "Windows 8.1" },
    { "ReclaimVirtualMemory", "Windows 8.1" },
    { "SetThreadDescription", "Windows 10 1607" },
    { "GetThreadDescription", "Windows 10 1607" },
    { "VirtualAllocFromApp", "Windows 10" },
    { "QueryUnbiasedInterruptTimePrecise", "Windows 10" },
    { "CompareObjectHandles", "Windows 10" },
    { "SetCoalescableTimer", "Windows 8 (user32)" },
    { "EnableMouseInPointer", "Windows 8 (user32 pointer input)" },
    { "GetPointerType", "Windows 8 (user32 pointer input)" },
    { "GetPointerInfo", "Windows 8 (user32 pointer input)" },
    { "GetPointerTouchInfo", "Windows 8 (user32 pointer input)" },
    { "GetPointerPenInfo", "Windows 8 (user32 pointer input)" },
    { "GetDpiForWindow", "Windows 10 1607 (user32 per-monitor DPI)" },
    { "GetDpiForSystem", "Windows 10 1607 (user32 per-monitor DPI)" },
    { "SetProcessDpiAwarenessContext", "Windows 10 1703 (user32 per-monitor DPI)" },
    { "SetThreadDpiAwarenessContext", "Windows 10 1607 (user32 per-monitor DPI)" },
    { "AdjustWindowRectExForDpi", "Windows 10 1607 (user32 per-monitor DPI)" },
    { "GetSystemMetricsForDpi", "Windows 10 1607 (user32 per-monitor DPI)" },
    { "CreateDXGIFactory2", "Windows 8.1 (dxgi)" },
};

// A hostile file could claim millions of entries; real programs have a few hundred.
constexpr size_t maxLibraries = 1024, maxFunctionsPerLibrary = 16384, maxNameLength = 512;

/** Bounds-checked little-endian reads from the file, and RVAs turned into file offsets. */
class PeFile
{
public:
    explicit PeFile (const juce::MemoryBlock& f)
        : bytes (static_cast<const juce::uint8*> (f.getData()))
        , size (f.getSize())
    {
    }

    bool has (size_t offset, size_t length) const { return offset <= size && length <= size - offset; }

    juce::uint64 number (size_t offset, int length) const
    {
        juce::uint64 value = 0;
        for (int i = length; --i >= 0;)
            value = (value << 8) | bytes[offset + static_cast<size_t> (i)];
        return value;
    }

    juce::String parseHeaders()
    {
        if (!has (0, 64) || bytes[0] != 'M' || bytes[1] != 'Z')
            return "no MZ header";
        const auto pe = static_cast<size_t> (number (0x3c, 4));
        if (!has (pe, 24) || number (pe, 4) != 0x4550)
            return "no PE header";
        const auto sections = static_cast<size_t> (number (pe + 6, 2));
        characteristicsAt = pe + 22;
        characteristics = static_cast<juce::uint16> (number (characteristicsAt, 2));
        const auto optionalSize = static_cast<size_t> (number (pe + 20, 2));
        const auto optional = pe + 24;
        if (!has (optional, optionalSize) || optionalSize < 2)
            return "the optional header lies outside the file";
        const auto magic = number (optional, 2);
        if (magic != 0x10b && magic != 0x20b)
            return "an optional header of unknown kind";
        wide = magic == 0x20b;
        checksumAt = optional + 64;
        const auto directoryCountAt = optional + (wide ? 108u : 92u);
        if (optionalSize < (wide ? 112u : 96u))
            return "the optional header is too short";
        directories = directoryCountAt + 4;
        directoryCount = std::min<size_t> (static_cast<size_t> (number (directoryCountAt, 4)), (optionalSize - (directories - optional)) / 8);
        sectionTable = optional + optionalSize;
        sectionCount = sections;
        if (!has (sectionTable, sectionCount * 40))
            return "the section table lies outside the file";
        return {};
    }

    /** The directory's address and size; { 0, 0 } when it is absent. */
    std::pair<juce::uint32, juce::uint32> directory (size_t index) const
    {
        if (index >= directoryCount)
            return {};
        const auto at = directories + index * 8;
        return { static_cast<juce::uint32> (number (at, 4)), static_cast<juce::uint32> (number (at + 4, 4)) };
    }

    /** The file offset of an address, or -1 when no section holds it in the file. */
    int64_t offsetOf (juce::uint64 rva) const
    {
        for (size_t i = 0; i < sectionCount; ++i)
        {
            const auto at = sectionTable + i * 40;
            const auto address = number (at + 12, 4), rawSize = number (at + 16, 4), rawStart = number (at + 20, 4);
            if (rva >= address && rva - address < rawSize && has (static_cast<size_t> (rawStart + (rva - address)), 1))
                return static_cast<int64_t> (rawStart + (rva - address));
        }
        return -1;
    }

    /** The zero-ended text at an address; empty when it runs out of the file or on too long. */
    juce::String textAt (juce::uint64 rva) const
    {
        const auto start = offsetOf (rva);
        if (start < 0)
            return {};
        const auto from = static_cast<size_t> (start);
        for (size_t length = 0; length < maxNameLength && has (from + length, 1); ++length)
            if (bytes[from + length] == 0)
                return Utf8Text::fromBytes (reinterpret_cast<const char*> (bytes + from), length);
        return {};
    }

    /** The functions named by a zero-ended table of thunks at an address. */
    bool functionsAt (juce::uint64 rva, juce::StringArray& functions) const
    {
        auto at = offsetOf (rva);
        const int width = wide ? 8 : 4;
        const auto ordinalFlag = juce::uint64 (1) << (width * 8 - 1);
        for (size_t count = 0; at >= 0 && has (static_cast<size_t> (at), static_cast<size_t> (width)); ++count)
        {
            const auto thunk = number (static_cast<size_t> (at), width);
            if (thunk == 0)
                return true;
            if (count == maxFunctionsPerLibrary)
                return false;
            if ((thunk & ordinalFlag) != 0)
                functions.add ("#" + juce::String (thunk & 0xffff));
            else
            {
                const auto name = textAt ((thunk & 0x7fffffff) + 2);
                if (name.isEmpty())
                    return false;
                functions.add (name);
            }
            at += width;
        }
        return false;
    }

    bool wide = false;
    juce::uint16 characteristics = 0;
    size_t characteristicsAt = 0, checksumAt = 0;

private:
    const juce::uint8* bytes;
    size_t size;
    size_t directories = 0, directoryCount = 0, sectionTable = 0, sectionCount = 0;
};

/** Walks one table of descriptors: the import table (20 bytes each, name at 12, names of
    functions at 0 or else at 16) or the delay-load table (32 bytes, name at 4, names at 16). */
bool readTable (const PeFile& pe, juce::uint32 rva, bool delayLoad, std::vector<WindowsImports::Library>& libraries, juce::String& error)
{
    const size_t entrySize = delayLoad ? 32 : 20;
    for (size_t index = 0;; ++index)
    {
        const auto at = pe.offsetOf (rva + index * entrySize);
        if (at < 0 || !pe.has (static_cast<size_t> (at), entrySize))
        {
            error = "an import table runs out of the file";
            return false;
        }
        const auto entry = static_cast<size_t> (at);
        const auto nameRva = pe.number (entry + (delayLoad ? 4 : 12), 4);
        if (nameRva == 0)
            return true;
        if (libraries.size() == maxLibraries)
        {
            error = "more than " + juce::String (maxLibraries) + " imported libraries";
            return false;
        }
        WindowsImports::Library library{ pe.textAt (nameRva), {} };
        auto names = pe.number (entry + (delayLoad ? 16 : 0), 4);
        if (names == 0 && !delayLoad)
            names = pe.number (entry + 16, 4);
        if (library.name.isEmpty() || !pe.functionsAt (names, library.functions))
        {
            error = "the imports of " + (library.name.isEmpty() ? juce::String ("a library") : library.name) + " cannot be read";
            return false;
        }
        libraries.push_back (std::move (library));
    }
}
} // namespace

bool WindowsImports::read (const juce::MemoryBlock& file, std::vector<Library>& libraries, juce::String& error)
{
    PeFile pe (file);
    error = pe.parseHeaders();
    if (error.isNotEmpty())
        return false;

    constexpr size_t importDirectory = 1, delayImportDirectory = 13;
    const auto imports = pe.directory (importDirectory), delayed = pe.directory (delayImportDirectory);
    return (imports.first == 0 || readTable (pe, imports.first, false, libraries, error)) && (delayed.first == 0 || readTable (pe, delayed.first, true, libraries, error));
}

juce::StringArray WindowsImports::windows7Problems (const std::vector<Library>& libraries)
{
    juce::StringArray problems;
    for (const auto& library : libraries)
    {
        const auto name = library.name.toLowerCase();
        if (name.startsWith ("api-ms-win-") || name.startsWith ("ext-ms-"))
            problems.add ("imports the API set " + library.name + ", which Windows 7 has only with later updates");
        else if (std::none_of (std::begin (windows7Libraries), std::end (windows7Libraries), [&name] (const char* known)
                               { return name == known; }))
            problems.add ("imports " + library.name + ", which Windows 7 SP1 does not have");

        for (const auto& function : library.functions)
            for (const auto& newer : newerFunctions)
                if (function == newer.name)
                    problems.add ("imports " + function + " from " + library.name + ": " + newer.reason);
    }
    return problems;
}

namespace
{
constexpr juce::uint16 runFromSwap = 0x0400 | 0x0800; // removable media, network media

/** The PE checksum: 16-bit one's-complement sum of the file's words, its own field
    counted as zero, plus the file's length. */
juce::uint32 peChecksum (const juce::uint8* bytes, size_t size, size_t checksumAt)
{
    juce::uint64 sum = 0;
    for (size_t i = 0; i < size; i += 2)
    {
        if (i >= checksumAt && i < checksumAt + 4)
            continue;
        sum += bytes[i] | (i + 1 < size ? juce::uint32 (bytes[i + 1]) << 8 : 0u);
        sum = (sum & 0xffff) + (sum >> 16);
    }
    sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<juce::uint32> (sum + size);
}
} // namespace

bool WindowsImports::runsFromSwap (const juce::MemoryBlock& file)
{
    PeFile pe (file);
    return pe.parseHeaders().isEmpty() && (pe.characteristics & runFromSwap) == runFromSwap;
}

bool WindowsImports::markRunFromSwap (juce::MemoryBlock& file)
{
    PeFile pe (file);
    if (pe.parseHeaders().isNotEmpty())
        return false;

    auto* bytes = static_cast<juce::uint8*> (file.getData());
    const auto marked = static_cast<juce::uint16> (pe.characteristics | runFromSwap);
    bytes[pe.characteristicsAt] = static_cast<juce::uint8> (marked & 0xff);
    bytes[pe.characteristicsAt + 1] = static_cast<juce::uint8> (marked >> 8);

    // Windows checks the sum of drivers only, but a header that has one keeps it right.
    if (pe.number (pe.checksumAt, 4) != 0)
    {
        const auto sum = peChecksum (bytes, file.getSize(), pe.checksumAt);
        for (size_t i = 0; i < 4; ++i)
            bytes[pe.checksumAt + i] = static_cast<juce::uint8> (sum >> (8 * i));
    }
    return true;
}

juce::MemoryBlock WindowsImports::signature (const juce::MemoryBlock& file)
{
    PeFile pe (file);
    if (pe.parseHeaders().isNotEmpty())
        return {};
    // The security directory holds a file offset, not an address: a WIN_CERTIFICATE of
    // length, revision and type (2 = PKCS#7), then the signature itself.
    constexpr size_t securityDirectory = 4;
    const auto [offset, size] = pe.directory (securityDirectory);
    if (offset == 0 || size < 8 || !pe.has (offset, size))
        return {};
    const auto length = pe.number (offset, 4);
    if (pe.number (offset + 6, 2) != 2 || length < 8 || length > size)
        return {};
    return juce::MemoryBlock (static_cast<const char*> (file.getData()) + offset + 8, static_cast<size_t> (length - 8));
}
