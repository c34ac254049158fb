#!/usr/bin/env bash
# Prints one table: the menu against its floors, side by side in one run.
#   bench/run.sh [BUILD_FOLDER] [RUNS] [IDLE_SECONDS]
# RUNS (default 10) runs of every figure, their medians and the ratio; IDLE_SECONDS
# (default 10) of idle time per run. The build folder is a Release build (./setup.sh).
# Rows marked "at 200 %" are the same figures on a desktop scaled to 200 %, where the
# pictures drawn at twice the size are shown. The cold start rows start the menu from the
# built disc image in the tests' optical drive model (needs root and /dev/fuse). The Wine
# rows idle the Windows program under Wine, where the build has it and the tests have made
# their Wine prefix (build/tests/wineprefix).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$source_dir/build}" && pwd)"
runs="${2:-10}"
idle="${3:-10}"

# A checking build's disc carries its program unstripped, twenty times the size: no cold starts.
cold_start=yes
grep -q '^BRELVAN_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && cold_start=
# Under the test suite all is built already, and a build would stage the disc again
# beneath the tests reading it.
if [ -z "${BRELVAN_BENCH_PREBUILT:-}" ]; then
    cmake --build "$build" --target OrvalisBrelvan bench_minimal_window brelvan_bench startup_probe idle_probe click_probe \
        ${cold_start:+cold_start_probe disc-image} > /dev/null
fi

echo "| figure | menu | floor | ratio | unit |"
echo "|---|---|---|---|---|"
"$build/bench/startup_probe" "$build/OrvalisBrelvan_artefacts/Release/OrvalisBrelvan" "$build/bench/bench_minimal_window" \
    "$source_dir/artwork/pictures" "$runs" > "$build/bench/startup-1x.tsv"
"$build/bench/startup_probe" "$build/OrvalisBrelvan_artefacts/Release/OrvalisBrelvan" "$build/bench/bench_minimal_window" \
    "$source_dir/artwork/pictures" "$runs" 2 > "$build/bench/startup-2x.tsv"
"$build/bench/idle_probe" "$build/OrvalisBrelvan_artefacts/Release/OrvalisBrelvan" "$build/bench/bench_minimal_window" \
    "$source_dir/artwork/pictures" "$runs" "$idle" > "$build/bench/idle.tsv"
"$build/bench/click_probe" "$build/OrvalisBrelvan_artefacts/Release/OrvalisBrelvan" "$build/bench/bench_minimal_window" \
    "$source_dir/artwork/pictures" "$((runs * 40))" > "$build/bench/clicks.tsv"
# The Windows program under Wine, idle, where the build has it and the tests made their prefix.
: > "$build/bench/wine-idle.tsv"
if [ -f "$build/disc/OrvalisBrelvan.exe" ] && [ -d "$build/tests/wineprefix" ] && [ -x /usr/lib/wine/wine64 ]; then
    "$build/bench/idle_probe" --wine /usr/lib/wine/wine64 "$build/tests/wineprefix" "$build/disc/OrvalisBrelvan.exe" \
        "$runs" "$idle" > "$build/bench/wine-idle.tsv" 2> /dev/null
fi
: > "$build/bench/cold-start.tsv"
if [ -n "$cold_start" ]; then
    # The same disc with the menu unpacked, for the floor of reading the menu's own bytes.
    unpacked="$(mktemp -d)"
    trap 'rm -rf "$unpacked"' EXIT
    cp -a "$build/disc" "$unpacked/disc"
    cp "$build/stripped/OrvalisBrelvan" "$unpacked/disc/OrvalisBrelvan"
    "$build/tools/disc/disc-master" "$unpacked/disc" "$unpacked/unpacked.iso" > /dev/null
    "$build/bench/cold_start_probe" "$build/OrvalisBrelvan.iso" "$source_dir/artwork/pictures" "$runs" "$unpacked/unpacked.iso" > "$build/bench/cold-start.tsv"
fi
cat "$build/bench/startup-1x.tsv" "$build/bench/startup-2x.tsv" "$build/bench/idle.tsv" "$build/bench/wine-idle.tsv" "$build/bench/clicks.tsv" \
    "$build/bench/cold-start.tsv" |
    awk -F'\t' '{ if ($3 == "") printf "| %s | %.2f | | | %s |\n", $1, $2, $5; else printf "| %s | %.2f | %.2f | %.2f | %s |\n", $1, $2, $3, $4, $5 }'

# Google Benchmark's medians, each row beside its floor.
# (Google Benchmark reports medians from two repetitions on.)
"$build/bench/brelvan_bench" --benchmark_repetitions="$((runs > 1 ? runs : 2))" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2> /dev/null |
    awk -F',' '
        $1 ~ /_median"?$/ { name = $1; gsub(/"/, "", name); sub(/_median$/, "", name); median[name] = $3 }
        END {
            split("menu Orvalis Tessaly Marrowby Kestrune", pages, " ")
            for (set = 1; set <= 2; ++set) {
                at = set == 1 ? "" : " at 200 %"
                copy = set == 1 ? "one 640 x 400 image copy" : "one 1280 x 800 image copy"
                row("start-up split: decode the 17 pictures" at, median["decodePictures/" set], median["inflatePictures/" set], "zlib inflate of the same bytes")
                row("start-up split: decode the 5 pictures of the first frame" at, median["decodeMenuPictures/" set], "", "")
                if (set == 1) row("start-up split: build the five pages", median["buildPages"], "", "")
                row("start-up split: first paint of the menu" at, median["firstPaintOfTheMenu/" set], "", "")
                for (i = -1; i <= 3; ++i)
                    row("page switch with full repaint: " pages[i + 2] at, median["pageSwitch/" i "/" set], median["imageCopy/" set], copy)
            }
        }
        function row(label, value, floor, floorName) {
            if (floor == "") printf "| %s | %.3f | | | ms |\n", label, value
            else printf "| %s | %.3f | %.3f (%s) | %.1f | ms |\n", label, value, floor, floorName, value / floor
        }'
