#!/bin/sh
# One run that times the innovations likelihood of an ARMA(2,2) and of the seasonal airline model
# (bench/innovations_bench.cpp) and R's Kalman-filter likelihood on the same simulated series,
# n = 1e4, 1e5, 1e6.
#   scripts/bench/innovations_vs_r.sh [build-dir]     (from the repository root; JOBS sets the
#                                                      build's parallelism, 3 by default)
set -eu
build=${1:-build/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
Rscript -e 'set.seed(20240611); x <- arima.sim(list(ar = c(1.1, -0.4), ma = c(-0.3, 0.2)), n = 1e6);
            writeLines(sprintf("%.17g", x), commandArgs(TRUE)[1])
            x <- arima.sim(list(ma = c(-0.4, rep(0, 10), -0.55, 0.22)), n = 1e6);
            writeLines(sprintf("%.17g", x), commandArgs(TRUE)[2])' \
    "$work/series.txt" "$work/seasonal.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "${JOBS:-3}" --target vesk_bench >/dev/null
OPENBLAS_NUM_THREADS=1 VESK_BENCH_SERIES="$work/series.txt" \
    VESK_BENCH_SEASONAL_SERIES="$work/seasonal.txt" "$build/vesk_bench" \
    --benchmark_filter='^Likelihood(Arma22|Airline)/'
Rscript scripts/bench/innovations_r.R "$work/series.txt" "$work/seasonal.txt"
