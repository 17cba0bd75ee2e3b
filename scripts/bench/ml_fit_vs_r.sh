#!/bin/sh
# One run that times the exact maximum likelihood fit of an ARMA(2,2) on n = 1e5 simulated points
# (bench/ml_fit_bench.cpp: the minimiser alone; bench/ml_command_bench.cpp: the command's whole fit
# with its standard errors) and R's arima(method = "ML") on the same series.
#   scripts/bench/ml_fit_vs_r.sh [build-dir]     (from the repository root)
set -eu
build=${1:-build/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
Rscript -e 'set.seed(20240611); x <- arima.sim(list(ar = c(1.1, -0.4), ma = c(-0.3, 0.2)), n = 1e5);
            writeLines(sprintf("%.17g", x), commandArgs(TRUE)[1])' "$work/series.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target vesk_bench >/dev/null
OPENBLAS_NUM_THREADS=1 VESK_BENCH_SERIES="$work/series.txt" "$build/vesk_bench" \
    --benchmark_filter="MaxLikelihood(Arma22|FitCommand)"
Rscript scripts/bench/ml_fit_r.R "$work/series.txt"
