#!/usr/bin/env bash
# Makes the Wine prefix that the Windows tests of one run share:
#   make-prefix.sh PREFIX OPENER BROWSER
# No window manager is wanted (Managed=N), ".tpk" files open with the recording OPENER
# and web addresses with the recording BROWSER (both Windows stand-ins, given as Unix paths).
set -euo pipefail
prefix="$1"
opener="Z:$(printf '%s' "$2" | tr / '\\')"
browser="Z:$(printf '%s' "$3" | tr / '\\')"
wine="${WINE64:-/usr/lib/wine/wine64}"

export WINEPREFIX="$prefix" WINEDEBUG=-all
# Nothing to fetch and no menus to write: no network here, and a desktop is not ours to change.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY

rm -rf "$prefix"
"$wine" wineboot --init
reg() { "$wine" reg add "$@" /f > /dev/null; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
# Wine's HKEY_CLASSES_ROOT shows the machine's classes only, so they are registered there.
reg 'HKLM\Software\Classes\.tpk' /ve /d BrelvanTestPack
reg 'HKLM\Software\Classes\BrelvanTestPack\shell\open\command' /ve /d "\"$opener\" \"%1\""
for scheme in http https; do
    reg "HKLM\\Software\\Classes\\$scheme\\shell\\open\\command" /ve /d "\"$browser\" \"%1\""
done
"${WINESERVER:-/usr/lib/wine/wineserver64}" -w
