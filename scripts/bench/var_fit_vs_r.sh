#!/bin/sh
# One run that times the minimum-AICC order searches of the Whittle and Burg vector
# autoregressions on a simulated 3-variate VAR(2) of n = 1e5 times (bench/var_fit_bench.cpp) and
# R's ar.yw and ar.burg (order.max = 20) on the same series.
#   scripts/bench/var_fit_vs_r.sh [build-dir]     (from the repository root)
set -eu
build=${1:-build/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
Rscript -e 'set.seed(20240807); n <- 1e5; p1 <- matrix(c(0.5, 0.2, 0, 0, 0.3, 0.2, 0.1, 0, 0.4), 3, byrow = TRUE);
            p2 <- diag(c(-0.2, 0.1, -0.1)); z <- matrix(rnorm(3 * (n + 500)), ncol = 3);
            x <- matrix(0, n + 500, 3); x[1, ] <- z[1, ]; x[2, ] <- p1 %*% x[1, ] + z[2, ];
            for (t in 3:(n + 500)) x[t, ] <- p1 %*% x[t - 1, ] + p2 %*% x[t - 2, ] + z[t, ];
            x <- x[-(1:500), ];
            writeLines(sprintf("%.17g %.17g %.17g", x[, 1], x[, 2], x[, 3]), commandArgs(TRUE)[1])' \
    "$work/series.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "${JOBS:-3}" --target vesk_bench >/dev/null
OPENBLAS_NUM_THREADS=1 VESK_BENCH_VAR_SERIES="$work/series.txt" "$build/vesk_bench" \
    --benchmark_filter='SearchVar3'
OPENBLAS_NUM_THREADS=1 Rscript scripts/bench/var_fit_r.R "$work/series.txt"
