#!/usr/bin/env bash
# Sets up a Debian 12 machine for the ORVALIS Brelvan start-up menu, builds it, and then
#   ./setup.sh start   starts the menu from a staged disc layout
#   ./setup.sh test    runs every test
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${BRELVAN_BUILD_DIR:-$here/build}"

packages=(
    g++ cmake ninja-build pkg-config
    juce-modules-source
    libx11-dev libxtst-dev x11-utils
    fonts-lato fonts-ebgaramond fonts-dejavu-core
    xdg-utils
    xorriso libpng-dev libjpeg-dev zlib1g-dev libfreetype-dev binutils
    googletest libgtest-dev xvfb pngcheck
)

install_missing_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing: ${missing[*]}"
    local as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

build_all() {
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build "$build"
}

case "${1:-}" in
    start)
        install_missing_packages
        build_all
        exec "$build/disc/OrvalisBrelvan"
        ;;
    test)
        install_missing_packages
        build_all
        ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
        ;;
    *)
        echo "usage: $0 start|test" >&2
        exit 2
        ;;
esac
