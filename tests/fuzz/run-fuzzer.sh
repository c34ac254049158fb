#!/usr/bin/env bash
# Runs one fuzz target for a bounded time from its seed corpus:
#   run-fuzzer.sh TARGET WORK_CORPUS FINDINGS SECONDS SEED_FOLDER...
# New inputs go to WORK_CORPUS, kept between runs; a crash, leak, hang or sanitizer report
# fails the run and its input is written to FINDINGS. It reports executions per second
# and coverage.
set -euo pipefail
target="$1" corpus="$2" findings="$3" seconds="$4"
shift 4
name="$(basename "$target")"
mkdir -p "$corpus" "$findings"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

status=0
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$name-" "$corpus" "$@" > "$log" 2>&1 || status=$?

grep -E '^(INFO: seed corpus|#[0-9]+[[:space:]]+DONE)' "$log" || true
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
if [ "$status" -ne 0 ]; then
    cat "$log" >&2
    echo "$name found a fault; its input is in $findings" >&2
    exit 1
fi
