#!/usr/bin/env bash
# disc-check refuses a Windows program that Windows 7 SP1 could not load, and names the
# import: small programs built here with MinGW-w64 import what Windows 7 lacks. It also
# refuses one that Windows would run from its disc rather than from a copy in memory.
#   windows7-imports.sh DISC_CHECK RUN_FROM_SWAP
set -euo pipefail
check="$1" mark="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }
cc=x86_64-w64-mingw32-gcc

# expect STATUS PROGRAM TEXT...: disc-check's status and the texts its report must hold.
expect() {
    local status="$1" program="$2" output
    shift 2
    output="$("$check" --program "$program")" && got=0 || got=$?
    echo "$output"
    [ "$got" = "$status" ] || fail "disc-check said $got, not $status, for $program"
    for text in "$@"; do grep -qF -- "$text" <<< "$output" || fail "no '$text' for $program"; done
}

cat > "$work/plain.c" << 'C'
#include <windows.h>
int main (void) { return (int) GetTickCount(); }
C
$cc -O2 "$work/plain.c" -o "$work/plain.exe"
expect 1 "$work/plain.exe" "ok: plain.exe starts on Windows 7 SP1" "KERNEL32.dll" "info: plain.exe is not signed" \
    "FAILED: plain.exe would run from its disc or share"

# The same, marked as the disc's program is.
cp "$work/plain.exe" "$work/swap.exe"
"$mark" "$work/swap.exe"
expect 0 "$work/swap.exe" "ok: swap.exe starts on Windows 7 SP1" "ok: swap.exe is copied to memory before it runs from removable or network media"

# Functions of Windows 8 and 10, and a DLL that came with Windows 8.1.
cat > "$work/newer.c" << 'C'
#define _WIN32_WINNT 0x0A00
#include <windows.h>
#include <shellscalingapi.h>
int main (void)
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime (&now);
    SetProcessDpiAwareness (PROCESS_PER_MONITOR_DPI_AWARE);
    return (int) GetDpiForWindow (GetDesktopWindow());
}
C
$cc -O2 "$work/newer.c" -o "$work/newer.exe" -lshcore
expect 1 "$work/newer.exe" "FAILED: newer.exe would not start on Windows 7 SP1: it imports" "GetSystemTimePreciseAsFileTime from KERNEL32.dll: Windows 8" \
    "GetDpiForWindow from USER32.dll" "imports SHCORE.dll, which Windows 7 SP1 does not have"

# An API set, through an import library made from a definition file.
printf 'LIBRARY api-ms-win-core-synch-l1-2-0.dll\nEXPORTS\nWaitOnAddress\n' > "$work/synch.def"
x86_64-w64-mingw32-dlltool -d "$work/synch.def" -l "$work/libsynch.a"
printf 'int __stdcall WaitOnAddress (volatile void*, void*, unsigned long long, unsigned long);\nint main (void) { int a = 0; return WaitOnAddress (&a, &a, 4, 0); }\n' > "$work/sets.c"
$cc -O2 "$work/sets.c" -o "$work/sets.exe" -L"$work" -lsynch
expect 1 "$work/sets.exe" "imports the API set api-ms-win-core-synch-l1-2-0.dll" "WaitOnAddress from api-ms-win-core-synch-l1-2-0.dll: Windows 8"

# A program cut short is refused, not read past its end.
head -c 1200 "$work/plain.exe" > "$work/cut.exe"
expect 1 "$work/cut.exe" "FAILED: cannot read the imports of cut.exe"
