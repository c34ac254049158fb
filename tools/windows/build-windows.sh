#!/usr/bin/env bash
# Builds the Windows program, OrvalisBrelvan.exe, from this tree with Debian's MinGW-w64.
#   tools/windows/build-windows.sh OUTPUT_FOLDER
# The framework's image code needs libpng for Windows; it is cross-built once, as a static
# library, from Debian's own source package (fetched with a private apt configuration
# under OUTPUT_FOLDER; the system's apt configuration is not touched).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$(mkdir -p "${1:?usage: build-windows.sh OUTPUT_FOLDER}" && cd "$1" && pwd)"
deps="$out/deps"
prefix="$deps/prefix"
toolchain="$source_dir/cmake/MinGW-w64.cmake"
host=x86_64-w64-mingw32

# deb-src entries made from the machine's own apt sources, in a folder of our own.
private_apt_options() {
    local apt="$deps/apt"
    mkdir -p "$apt/lists/partial" "$apt/sources.list.d" "$apt/archives/partial"
    : > "$apt/sources.list"
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$list" ] && sed -n 's/^deb /deb-src /p' "$list" >> "$apt/sources.list"
    done
    for sources in /etc/apt/sources.list.d/*.sources; do
        [ -f "$sources" ] && sed -E 's/^Types:.*/Types: deb-src/' "$sources" > "$apt/sources.list.d/$(basename "$sources")"
    done
    echo -o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d" \
         -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::Archives=$apt/archives" -o "APT::Sandbox::User=root"
}

fetch_source() { # PACKAGE -> prints the unpacked folder
    local package="$1"
    mkdir -p "$deps/src"
    # From the release itself: not every mirror of the security updates carries sources.
    (cd "$deps/src" && apt-get -qq $(private_apt_options) source "$package/bookworm" > /dev/null)
    find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "${2}*" | head -n 1
}

cross_cmake() { # SOURCE BUILD [OPTIONS...]
    local from="$1" to="$2"
    shift 2
    cmake -S "$from" -B "$to" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" > /dev/null
    cmake --build "$to" > /dev/null
    cmake --install "$to" > /dev/null
}

build_image_libraries() {
    [ -f "$prefix/lib/libpng16.a" ] && return 0
    echo "Cross-building libpng for Windows from Debian's sources"
    rm -rf "$deps/src"
    apt-get -qq $(private_apt_options) update

    local png
    png="$(fetch_source libpng1.6 libpng1.6-)"
    cross_cmake "$png" "$deps/build-png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_INCLUDE_DIR=/usr/$host/include -DZLIB_LIBRARY=/usr/$host/lib/libz.a
}

build_image_libraries
cmake -S "$source_dir" -B "$out/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DBRELVAN_WINDOWS_DEPS="$prefix" > /dev/null
cmake --build "$out/build"
cp "$out/build/OrvalisBrelvan_artefacts/Release/OrvalisBrelvan.exe" "$out/OrvalisBrelvan.exe"
echo "Built $out/OrvalisBrelvan.exe"
