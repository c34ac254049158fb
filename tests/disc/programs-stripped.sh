#!/usr/bin/env bash
# The disc carries its programs without symbol tables, and the build keeps them whole:
#   programs-stripped.sh DISC_FOLDER LINUX_PROGRAM [WINDOWS_PROGRAM]
set -euo pipefail
disc="$1" linux="$2" windows="${3:-}"
fail() { echo "$*" >&2; exit 1; }

symbols_elf() { readelf --sections --wide "$1" | grep -c ' \.symtab ' || true; }
[ "$(symbols_elf "$disc/OrvalisBrelvan")" -eq 0 ] || fail "the disc's Linux program has a symbol table"
[ "$(symbols_elf "$linux")" -eq 1 ] || fail "the build's Linux program has lost its symbol table"
[ -x "$disc/OrvalisBrelvan" ] || fail "the disc's Linux program is not executable"

if [ -n "$windows" ]; then
    nm=x86_64-w64-mingw32-nm
    [ "$($nm "$disc/OrvalisBrelvan.exe" 2>/dev/null | wc -l)" -eq 0 ] || fail "the disc's Windows program has symbols"
    [ "$($nm "$windows" | wc -l)" -gt 1000 ] || fail "the build's Windows program has lost its symbols"
fi
echo "stripped on the disc: $(stat -c %s "$disc/OrvalisBrelvan") bytes (build: $(stat -c %s "$linux"))${windows:+, $(stat -c %s "$disc/OrvalisBrelvan.exe") bytes (build: $(stat -c %s "$windows"))}"
