#!/bin/sh
# One run that times the smoothers of the Smooth menu (bench/smoothing_bench.cpp) and their R
# counterparts on the same simulated series: the FFT low pass (n = 1e5 and the prime 10007)
# against fft, exponential smoothing with its search against HoltWinters(beta = FALSE,
# gamma = FALSE), and a moving average of order 99 against filter(sides = 2).
#   scripts/bench/smoothing_vs_r.sh [build-dir]     (from the repository root; JOBS sets the
#                                                    build's parallelism, 3 by default)
set -eu
build=${1:-build/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
Rscript -e 'set.seed(20240611); x <- arima.sim(list(ar = c(1.1, -0.4), ma = c(-0.3, 0.2)), n = 1e5);
            writeLines(sprintf("%.17g", x), commandArgs(TRUE)[1])' "$work/series.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "${JOBS:-3}" --target vesk_bench >/dev/null
OPENBLAS_NUM_THREADS=1 VESK_BENCH_SERIES="$work/series.txt" "$build/vesk_bench" \
    --benchmark_filter='^(FftLowPassHalf|ExponentialSearch|MovingAverage99)/'
Rscript scripts/bench/smoothing_r.R "$work/series.txt"
