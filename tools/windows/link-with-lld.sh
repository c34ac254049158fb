#!/usr/bin/env bash
# Links as MinGW-w64's g++ would, with the same start files and libraries in the same
# order, but with LLVM's lld in place of GNU ld:
#   link-with-lld.sh G++ [LINK ARGUMENTS...]
# GNU ld keeps every function that has unwinding data (all of them, on 64-bit Windows), so
# its --gc-sections removes next to nothing; lld ties each function's unwinding data to the
# function and drops both when nothing reaches a function it may discard. g++ links through
# a fixed path to GNU ld, so the command line it would run is taken from "g++ -###" and
# given to lld.
set -euo pipefail

line="$("$@" -### 2>&1 | grep -E '^ "?[^ ]*/collect2"? ' | tail -n 1)"
[ -n "$line" ] || { echo "link-with-lld.sh: no link command from $1" >&2; exit 1; }
eval "set -- $line"
shift # collect2 itself

# collect2's own options: GCC's link-time optimisation plugin, which lld does not load.
arguments=()
while [ $# -gt 0 ]; do
    case "$1" in
        -plugin) shift 2 ;;
        -plugin-opt=* | -plugin=*) shift ;;
        *) arguments+=("$1"); shift ;;
    esac
done
exec ld.lld "${arguments[@]}"
