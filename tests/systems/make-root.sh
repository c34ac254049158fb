#!/usr/bin/env bash
# A minimal root of another Debian release, for running the disc's program inside it:
#   make-root.sh SUITE FOLDER
# Made once with debootstrap from the mirror that this machine's own apt configuration
# names, with the libraries a desktop has for X11 programs; kept until FOLDER is removed.
set -euo pipefail
suite="$1" root="$2"
[ -f "$root/.complete" ] && { echo "$suite root in $root (cached)"; exit 0; }

# The Debian archive among the machine's sources: the entry for its own release.
codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
mirror="$(awk -v RS= -v release="$codename" '$0 ~ "Suites:[^\n]*" release "( |\n|$)" && $0 !~ "Suites: *" release "-security" {
              if (match($0, /URIs: *[^ \n]+/)) { split(substr($0, RSTART, RLENGTH), f, / +/); print f[2]; exit } }' \
              /etc/apt/sources.list.d/*.sources 2> /dev/null || true)"
[ -n "$mirror" ] || mirror="$(awk -v release="$codename" '$1 == "deb" && $3 == release { print $2; exit }' /etc/apt/sources.list 2> /dev/null || true)"
[ -n "$mirror" ] || { echo "make-root.sh: no Debian mirror for $codename in the apt configuration" >&2; exit 1; }

rm -rf "$root.partial" "$root"
mkdir -p "$(dirname "$root")"
start=$SECONDS
debootstrap --variant=minbase --include=libfreetype6,libx11-6,libxext6,libxrandr2,libxinerama1,libxcursor1,libxrender1 \
    "$suite" "$root.partial" "$mirror" > "$root.log" 2>&1 || { tail -20 "$root.log" >&2; exit 1; }
mv "$root.partial" "$root"
touch "$root/.complete"
echo "$suite root made in $((SECONDS - start)) s from $mirror: $(chroot "$root" getconf GNU_LIBC_VERSION)"
