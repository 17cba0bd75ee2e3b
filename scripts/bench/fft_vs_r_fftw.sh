#!/bin/sh
# One run that times the Fourier workloads (bench/fft_bench.cpp: the complex FFT, the periodogram,
# the FFT smoother and the tests of randomness) beside FFTW's estimate plans for complex and real
# input (bench/fftw/fftw_bench.cpp, built when libfftw3-dev is installed) and R
# (scripts/bench/fft_r.R), all on one simulated ARMA(2,2) series, and prints the ratios.
# Needs cmake, g++, libbenchmark-dev, libopenblas-dev, libfftw3-dev and Rscript.
#   scripts/bench/fft_vs_r_fftw.sh [build-dir]     (from the repository root)
set -eu
build=${1:-build/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
Rscript -e 'set.seed(20240611); x <- arima.sim(list(ar = c(1.1, -0.4), ma = c(-0.3, 0.2)), n = 1062883);
            writeLines(sprintf("%.17g", x), commandArgs(TRUE)[1])' "$work/series.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target vesk_bench >/dev/null
if ! "$build/vesk_bench" --benchmark_list_tests | grep -q '^FftwComplex'; then
    echo "FFTW was not found when $build was configured: install libfftw3-dev and run again." >&2
    exit 1
fi
OPENBLAS_NUM_THREADS=1 VESK_BENCH_SERIES="$work/series.txt" "$build/vesk_bench" \
    --benchmark_filter='^(ComplexFft|Periodogram|FftSmoothing|TestsOfRandomness|FftwComplex|FftwReal)/' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_format=csv \
    2>/dev/null | awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"|_median/, "", name); print name, $3 }' \
    > "$work/times.txt"
Rscript scripts/bench/fft_r.R "$work/series.txt" | awk '$1 == "R" { print "R" $2, $3 }' >> "$work/times.txt"

# Ratio table: complex FFT against FFTW's complex plan, the periodogram against FFTW's real-input
# plan, the smoother against R's fft low-pass; the tests of randomness against their 0.5 s.
awk '
{ t[$1] = $2 }
function show(v) { return v == "" ? "-" : sprintf("%.2f", v) }
function row(workload, n, ours, peer, goal,    r, fftw) {
    r = (t[peer] == "") ? "-" : sprintf("%.2f", t[ours] / t[peer])
    fftw = (workload != "FFT smoother")
    printf "%-22s %8s %10s %10s %10s %10s %8s  %s\n", workload, n, show(t[ours]),
           fftw ? show(t["FftwComplex/" n]) : "", fftw ? show(t["FftwReal/" n]) : "",
           show(t["R" substr(ours, 1, index(ours, "/") - 1) "/" n]), r, goal
}
END {
    printf "%-22s %8s %10s %10s %10s %10s %8s  %s\n", "workload (ms)", "n", "vesk", "FFTW cplx", "FFTW real", "R",
           "ratio", "goal"
    split("1048576 1000000 1062882 99991 999983 1000002", fft, " ")
    for (i = 1; i <= 6; ++i) {
        n = fft[i]
        prime = (n == 99991 || n == 999983)
        row("complex FFT", n, "ComplexFft/" n, "FftwComplex/" n, prime ? "<= 5 x FFTW complex" : "<= 2 x FFTW complex")
    }
    row("periodogram", 1000000, "Periodogram/1000000", "FftwReal/1000000", "<= 2.5 x FFTW real")
    row("periodogram", 999983, "Periodogram/999983", "FftwReal/999983", "<= 2.5 x FFTW real")
    row("FFT smoother", 100000, "FftSmoothing/100000", "RFftSmoothing/100000", "<= 1 x R")
    row("FFT smoother", 1000000, "FftSmoothing/1000000", "RFftSmoothing/1000000", "<= 1 x R")
    printf "%-22s %8s %10s %50s  %s\n", "tests of randomness", 100000, show(t["TestsOfRandomness/100000"]), "", ""
    printf "%-22s %8s %10s %50s  %s\n", "tests of randomness", 1000000, show(t["TestsOfRandomness/1000000"]), "", "< 500 ms"
}' "$work/times.txt"
