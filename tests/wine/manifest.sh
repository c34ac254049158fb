#!/usr/bin/env bash
# The Windows program carries its manifest where Windows looks (resource 1 of type
# RT_MANIFEST), declaring what the program needs of the system:
#   manifest.sh PROGRAM
set -euo pipefail
program="$1"
fail() { echo "$*" >&2; exit 1; }

x86_64-w64-mingw32-objdump -p "$program" | sed -n '/The .rsrc Resource Directory/,/^$/p' |
    grep -A2 'Entry: ID: 0x000018' | grep -q 'Entry: ID: 0x000001' || fail "no manifest resource"

for declaration in 'requestedExecutionLevel level="asInvoker"' 'PerMonitorV2, PerMonitor, System' '>true/pm<' \
    '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true' \
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}' \
    '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
    grep -aqF -- "$declaration" "$program" || fail "the manifest lacks $declaration"
done
echo "manifest: asInvoker, per-monitor v2 awareness, long paths, Windows 7 to 11"
