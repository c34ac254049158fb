#!/usr/bin/env bash
# Puts the wlroots virtual-pointer protocol (its XML) into FOLDER, from the source of Debian's
# wlroots package: no Debian package installs the file itself.
#   fetch-protocol.sh FOLDER
set -euo pipefail
folder="$(mkdir -p "${1:?usage: fetch-protocol.sh FOLDER}" && cd "$1" && pwd)"
tools="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)"
wlroots="$("$tools/debian-source.sh" wlroots "$folder/debian")"
cp "$wlroots/protocol/wlr-virtual-pointer-unstable-v1.xml" "$folder/"
