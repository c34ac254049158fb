#!/usr/bin/env bash
# Fetches and unpacks a source package of this machine's Debian release, through a private
# apt configuration made from the machine's own sources (their deb-src twins, in a folder of
# our own; the system's apt configuration is not touched).
#   tools/debian-source.sh PACKAGE WORK_FOLDER
# Prints the unpacked source folder; a second call finds it there without fetching again.
set -euo pipefail
package="${1:?usage: debian-source.sh PACKAGE WORK_FOLDER}"
work="$(mkdir -p "${2:?usage: debian-source.sh PACKAGE WORK_FOLDER}" && cd "$2" && pwd)"
apt="$work/apt" src="$work/src"

unpacked() { find "$src" -mindepth 1 -maxdepth 1 -type d -name "$package-*" 2> /dev/null | head -n 1; }
if [ -n "$(unpacked)" ]; then
    unpacked
    exit 0
fi

mkdir -p "$apt/lists/partial" "$apt/sources.list.d" "$apt/archives/partial" "$src"
: > "$apt/sources.list"
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] && sed -n 's/^deb /deb-src /p' "$list" >> "$apt/sources.list"
done
for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] && sed -E 's/^Types:.*/Types: deb-src/' "$sources" > "$apt/sources.list.d/$(basename "$sources")"
done
options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::Archives=$apt/archives" -o "APT::Sandbox::User=root")
apt-get -qq "${options[@]}" update
# From the release itself: not every mirror of the security updates carries sources.
release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
(cd "$src" && apt-get -qq "${options[@]}" source "$package/$release" > /dev/null)
unpacked
