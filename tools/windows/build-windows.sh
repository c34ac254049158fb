#!/usr/bin/env bash
# Builds the Windows program, OrvalisBrelvan.exe, from this tree with Debian's MinGW-w64.
#   tools/windows/build-windows.sh OUTPUT_FOLDER
# The framework's image code needs libpng for Windows; it is cross-built once, as a static
# library, from Debian's own source package (tools/debian-source.sh, under OUTPUT_FOLDER).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$(mkdir -p "${1:?usage: build-windows.sh OUTPUT_FOLDER}" && cd "$1" && pwd)"
deps="$out/deps"
prefix="$deps/prefix"
toolchain="$source_dir/cmake/MinGW-w64.cmake"
host=x86_64-w64-mingw32

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
    local png
    png="$("$source_dir/tools/debian-source.sh" libpng1.6 "$deps")"
    cross_cmake "$png" "$deps/build-png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_INCLUDE_DIR=/usr/$host/include -DZLIB_LIBRARY=/usr/$host/lib/libz.a
}

build_image_libraries
cmake -S "$source_dir" -B "$out/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DBRELVAN_WINDOWS_DEPS="$prefix" > /dev/null
cmake --build "$out/build"
cp "$out/build/OrvalisBrelvan_artefacts/Release/OrvalisBrelvan.exe" "$out/OrvalisBrelvan.exe"
echo "Built $out/OrvalisBrelvan.exe"
