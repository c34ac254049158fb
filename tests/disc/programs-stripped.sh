#!/usr/bin/env bash
# The disc carries its programs without symbol tables, the Linux program packed behind its
# first stage, and the build keeps them whole:
#   programs-stripped.sh DISC_FOLDER LINUX_PROGRAM PACK_PROGRAM [WINDOWS_PROGRAM]
set -euo pipefail
disc="$1" linux="$2" pack="$3" windows="${4:-}"
fail() { echo "$*" >&2; exit 1; }
carried="$(mktemp)"
trap 'rm -f "$carried"' EXIT

symbols_elf() { readelf --sections --wide "$1" | grep -c ' \.symtab ' || true; }
[ "$(symbols_elf "$disc/OrvalisBrelvan")" -eq 0 ] || fail "the disc's first stage has a symbol table"
"$pack" --unpack "$disc/OrvalisBrelvan" "$carried" || fail "the disc's Linux program carries no packed menu"
[ "$(symbols_elf "$carried")" -eq 0 ] || fail "the menu packed on the disc has a symbol table"
[ "$(symbols_elf "$linux")" -eq 1 ] || fail "the build's Linux program has lost its symbol table"
[ -x "$disc/OrvalisBrelvan" ] || fail "the disc's Linux program is not executable"

if [ -n "$windows" ]; then
    nm=x86_64-w64-mingw32-nm
    [ "$($nm "$disc/OrvalisBrelvan.exe" 2>/dev/null | wc -l)" -eq 0 ] || fail "the disc's Windows program has symbols"
    [ "$($nm "$windows" | wc -l)" -gt 1000 ] || fail "the build's Windows program has lost its symbols"
fi
echo "on the disc: $(stat -c %s "$disc/OrvalisBrelvan") bytes, carrying $(stat -c %s "$carried") (build: $(stat -c %s "$linux"))${windows:+; $(stat -c %s "$disc/OrvalisBrelvan.exe") bytes (build: $(stat -c %s "$windows"))}"
