#!/usr/bin/env bash
# The Windows program carries its manifest where Windows looks (resource 1 of type
# RT_MANIFEST), declaring what the program needs of the system, and a version resource
# with the values Explorer shows:
#   resources.sh PROGRAM
set -euo pipefail
program="$1"
fail() { echo "$*" >&2; exit 1; }

has_resource() { # TYPE ID
    x86_64-w64-mingw32-objdump -p "$program" | sed -n '/The .rsrc Resource Directory/,/^$/p' |
        grep -A2 "^[0-9a-f]\{3\}   Entry: ID: $1" | grep -q "Entry: ID: $2"
}
has_resource 0x000018 0x000001 || fail "no manifest resource"
has_resource 0x000010 0x000001 || fail "no version resource"

for declaration in 'requestedExecutionLevel level="asInvoker"' 'PerMonitorV2, PerMonitor, System' '>true/pm<' \
    '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true' \
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}' \
    '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
    grep -aqF -- "$declaration" "$program" || fail "the manifest lacks $declaration"
done
echo "manifest: asInvoker, per-monitor v2 awareness, long paths, Windows 7 to 11"

# The version strings are UTF-16: each name is followed by its value.
version_value() { strings -el "$program" | grep -A1 -x "$1" | sed -n 2p; }
expect_value() { # NAME VALUE
    local found
    found="$(version_value "$1")"
    [ "$found" = "$2" ] || fail "$1 is '$found', not '$2'"
    echo "$1: $found"
}
expect_value CompanyName ORVALIS
expect_value FileDescription "ORVALIS Brelvan start-up menu"
expect_value FileVersion "$2"
expect_value ProductName "ORVALIS Brelvan"
expect_value ProductVersion "$2"
expect_value OriginalFilename OrvalisBrelvan.exe
# The copyright sign is not ASCII, so the whole value is looked for in UTF-16.
copyright='C.o.p.y.r.i.g.h.t. .\xa9. .2.0.2.6. .O.R.V.A.L.I.S.'
LC_ALL=C grep -aqP "${copyright//./\\x00}\\x00\\x00" "$program" || fail "no copyright"
echo "LegalCopyright: Copyright © 2026 ORVALIS"
