#!/bin/sh
# One run that times Open and Paste of a million numbers (bench/number_text_bench.cpp) and R's
# scan() of the same files: a series of one value a line and a table of four TAB-parted columns.
#   scripts/bench/number_text_vs_r.sh [build-dir]     (from the repository root; JOBS sets the
#                                                      build's parallelism, 3 by default)
set -eu
build=${1:-build/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
Rscript -e 'set.seed(20240611); x <- arima.sim(list(ar = c(1.1, -0.4), ma = c(-0.3, 0.2)), n = 1e6);
            a <- commandArgs(TRUE)
            write.table(round(x, 6), a[1], row.names = FALSE, col.names = FALSE)
            write.table(matrix(round(x, 6), ncol = 4, byrow = TRUE), a[2], sep = "\t",
                        row.names = FALSE, col.names = FALSE)' "$work/series.txt" "$work/table.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "${JOBS:-3}" --target vesk_bench >/dev/null
VESK_BENCH_NUMBER_SERIES="$work/series.txt" VESK_BENCH_NUMBER_TABLE="$work/table.txt" \
    "$build/vesk_bench" --benchmark_filter='^(OpenSeries|PasteSeries|PasteTable)'
Rscript scripts/bench/number_text_r.R "$work/series.txt" "$work/table.txt"
