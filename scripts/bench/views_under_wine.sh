#!/bin/sh
# Times the program on long simulated series under Wine (bench/win32/view_bench.cpp): opening a
# series of 10^5 and of 10^6 values, the refresh of every open view after a transform, and one
# region zoom in the data window. Uses the Windows tree of `make win`.
#   scripts/bench/views_under_wine.sh [build-dir] [n ...]     (from the repository root)
set -eu
build=${1:-build/win}
[ $# -gt 0 ] && shift
cmake --build "$build" -j 3 --target view_bench >/dev/null
scripts/wine-run.sh 900 "$build/view_bench.exe" "$@"
