#!/bin/sh
# One run that times the periodogram (DPFFT) and its transform against R's fft and an FFTW
# transform with an estimated plan, for n = 2^20 and 10^6 (needs g++, libopenblas-dev,
# libfftw3-dev and Rscript).   scripts/bench/periodogram_vs_r_fftw.sh    (from the repository root)
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++17 -O2 -DNDEBUG -I. scripts/bench/periodogram_fft_compare.cpp numlib/*.cpp \
    -lfftw3 -lopenblas -o "$work/compare"
OPENBLAS_NUM_THREADS=1 "$work/compare" 2>/dev/null | grep '^n='
Rscript -e 'for (n in c(2^20, 1e6)) { x <- sin(0.01 * 0:(n - 1)); t <- replicate(7, system.time(fft(x))[["elapsed"]]);
            cat(sprintf("n=%d R_fft_ms=%.2f\n", as.integer(n), 1000 * median(t))) }'
