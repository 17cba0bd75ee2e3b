#!/bin/sh
# One run that times the statistics views' computations (bench/statistics_bench.cpp) and R's acf
# and spec.pgram on the same simulated ARMA(2,2) series.
#   scripts/bench/statistics_vs_r.sh [build-dir]     (from the repository root)
set -eu
build=${1:-build/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
Rscript -e 'set.seed(20240611); x <- arima.sim(list(ar = c(1.1, -0.4), ma = c(-0.3, 0.2)), n = 2^20);
            writeLines(sprintf("%.17g", x), commandArgs(TRUE)[1])' "$work/series.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 3 --target vesk_bench >/dev/null
OPENBLAS_NUM_THREADS=1 VESK_BENCH_SERIES="$work/series.txt" "$build/vesk_bench" \
    --benchmark_filter='SampleAcfPacf40|ComputeSpectra'
Rscript scripts/bench/statistics_r.R "$work/series.txt"
