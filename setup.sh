#!/usr/bin/env bash
# Sets up a Debian 12 machine for the ORVALIS Brelvan start-up menu, builds it, and then
#   ./setup.sh start   starts the menu from a staged disc layout
#   ./setup.sh test    runs every test, on the normal build and on a sanitized one, then the fuzzers
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${BRELVAN_BUILD_DIR:-$here/build}"

# What the Linux menu needs to build and run.
start_packages=(
    g++ cmake ninja-build pkg-config
    juce-modules-source
    libx11-dev libfreetype-dev libpng-dev zlib1g-dev libzstd-dev libdbus-1-dev libatspi2.0-dev libzopfli-dev
    binutils patch xdg-utils
)
# And what the tests, the disc image, the Windows program and the benchmark need besides.
test_packages=(
    libxtst-dev x11-utils
    fonts-lato fonts-ebgaramond fonts-dejavu-core
    xorriso
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 dpkg-dev
    googletest libgtest-dev libbenchmark-dev xvfb xsettingsd pngcheck
    openssl osslsigncode ca-certificates nsis wixl debootstrap clang libclang-rt-14-dev
    lld fuse3 libfuse3-dev fuseiso
    dbus-daemon dbus-bin at-spi2-core python3-pyatspi orca
    sway xwayland wtype grim x11-xserver-utils libwayland-dev nautilus mtools dosfstools bindfs
)

# install_missing_packages PACKAGE...
install_missing_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing: ${missing[*]}"
    local as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# build_all FOLDER [CMAKE OPTIONS...]
build_all() {
    local folder="$1"
    shift
    cmake -S "$here" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
    cmake --build "$folder"
}

# The whole suite again on a build with AddressSanitizer and UndefinedBehaviorSanitizer.
# Every process the tests start writes any report into one folder; a report anywhere fails.
run_sanitized_tests() {
    local checked="$build-sanitize"
    build_all "$checked" -DBRELVAN_SANITIZE=ON
    # Some tests run the program as another user, so the report folder and the
    # suppressions lie where anyone may reach them, whatever the checkout's permissions.
    local reports
    reports="$(mktemp -d /tmp/brelvan-sanitizer.XXXXXX)"
    chmod 1777 "$reports"
    cp "$here/tests/sanitizer/lsan.supp" "$reports/lsan.supp" && chmod 0644 "$reports/lsan.supp"
    local status=0
    ASAN_OPTIONS="detect_leaks=1:log_path=$reports/asan" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan" \
        LSAN_OPTIONS="suppressions=$reports/lsan.supp" \
        ctest --test-dir "$checked" --output-on-failure -j "$(nproc)" || status=$?
    if compgen -G "$reports/asan*" > /dev/null || compgen -G "$reports/ubsan*" > /dev/null; then
        echo "Sanitizer reports:" >&2
        cat "$reports"/asan* "$reports"/ubsan* >&2 2> /dev/null || true
        status=1
    fi
    rm -rf "$reports"
    return $status
}

# The code that reads disc files and pictures, fuzzed with libFuzzer for a bounded time
# (BRELVAN_FUZZ_SECONDS per target, 60 by default) in a clang build of its own. All the
# targets run at once, sharing the processors, so the phase lasts one target's time.
run_fuzz_tests() {
    local fuzz="$build-fuzz" targets
    CC=clang CXX=clang++ build_all "$fuzz" -DBRELVAN_FUZZ=ON -DBRELVAN_FUZZ_SECONDS="${BRELVAN_FUZZ_SECONDS:-60}"
    targets="$(ctest --test-dir "$fuzz" -N -L fuzz | grep -c '^ *Test *#')"
    ctest --test-dir "$fuzz" --output-on-failure -j "$targets" -L fuzz
}

case "${1:-}" in
    start)
        install_missing_packages "${start_packages[@]}"
        # The Linux program and its staged disc only: no Windows program, image or tests.
        cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELVAN_WINDOWS=OFF -DBUILD_TESTING=OFF
        cmake --build "$build" --target disc
        exec "$build/disc/OrvalisBrelvan"
        ;;
    test)
        install_missing_packages "${start_packages[@]}" "${test_packages[@]}"
        build_all "$build" -DBRELVAN_WINDOWS=ON -DBUILD_TESTING=ON
        ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
        run_sanitized_tests
        run_fuzz_tests
        ;;
    *)
        echo "usage: $0 start|test" >&2
        exit 2
        ;;
esac
