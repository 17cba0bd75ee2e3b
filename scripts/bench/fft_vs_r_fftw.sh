#!/bin/sh
# One run that times the Fourier workloads (bench/fft_bench.cpp: the complex FFT, the periodogram,
# the FFT smoother and the tests of randomness; bench/whittle_bench.cpp: the frequency-domain
# criterion) beside FFTW's estimate plans for complex and real input (bench/fftw/fftw_bench.cpp,
# built when libfftw3-dev is installed) and R (scripts/bench/fft_r.R), all on one simulated
# ARMA(2,2) series, and prints the ratios and the transforms' agreement with FFTW.
# Installs what it lacks (cmake, g++, libbenchmark-dev, libopenblas-dev, libfftw3-dev, R) through
# scripts/setup.sh.
#   scripts/bench/fft_vs_r_fftw.sh [build-dir]     (from the repository root)
set -eu
build=${1:-build/bench}
scripts/setup.sh bench r
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
Rscript -e 'set.seed(20240611); x <- arima.sim(list(ar = c(1.1, -0.4), ma = c(-0.3, 0.2)), n = 1062883);
            writeLines(sprintf("%.17g", x), commandArgs(TRUE)[1])' "$work/series.txt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 3 --target vesk_bench >/dev/null
if ! "$build/vesk_bench" --benchmark_list_tests | grep -q '^FftwComplex'; then
    echo "FFTW was not found when $build was configured: install libfftw3-dev and run again." >&2
    exit 1
fi
# Times as "name milliseconds" (median of three repetitions), whatever unit a case reports in.
OPENBLAS_NUM_THREADS=1 VESK_BENCH_SERIES="$work/series.txt" "$build/vesk_bench" \
    --benchmark_filter='^(ComplexFft|Periodogram|PeriodogramNewLength|FftSmoothing|TestsOfRandomness|FftwComplex|FftwReal|WhittleCriterion|WhittleCriterionWhole|WhittleTabulated|WhittleFit)/' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_format=csv \
    2>/dev/null | awk -F, '
    $1 ~ /_median"?$/ {
        name = $1; gsub(/"|_median/, "", name)
        unit = $5; gsub(/"/, "", unit)
        scale = unit == "ns" ? 1e-6 : unit == "us" ? 1e-3 : unit == "s" ? 1e3 : 1
        print name, $3 * scale
    }' > "$work/times.txt"
# The agreement runs, once each: "name relative-error".
OPENBLAS_NUM_THREADS=1 VESK_BENCH_SERIES="$work/series.txt" "$build/vesk_bench" \
    --benchmark_filter='^(FftAccuracy|PeriodogramAccuracy)/' --benchmark_format=csv 2>/dev/null |
    awk -F, 'match($0, /relative error [0-9.e+-]+/) {
        name = $1; gsub(/"|\/iterations:1/, "", name)
        print "E" name, substr($0, RSTART + 15, RLENGTH - 15)
    }' >> "$work/times.txt"
Rscript scripts/bench/fft_r.R "$work/series.txt" | awk '$1 == "R" { print "R" $2, $3 }' >> "$work/times.txt"

awk '
{ t[$1] = $2 }
function show(v) { return v == "" ? "-" : sprintf("%.4g", v) }
function ratio(a, b) { return (a == "" || b == "" || b == 0) ? "-" : sprintf("%.2f", a / b) }
END {
    print "Complex FFT (ms; ratio to FFTW complex)"
    printf "%9s %10s %10s %10s %8s  %s\n", "n", "vesk", "FFTW", "R", "ratio", "goal"
    split("1048576 1000000 1062882 99991 999983 1000002", fft, " ")
    for (i = 1; i <= 6; ++i) {
        n = fft[i]
        prime = (n == 99991 || n == 999983)
        printf "%9s %10s %10s %10s %8s  %s\n", n, show(t["ComplexFft/" n]), show(t["FftwComplex/" n]),
               show(t["RComplexFft/" n]), ratio(t["ComplexFft/" n], t["FftwComplex/" n]),
               prime ? "<= 3 x FFTW" : "<= 2 x FFTW"
    }

    print ""
    print "Periodogram DPFFT, whole calls with plan, roots and rows (ms); R: Mod(fft(x))^2 and spec.pgram"
    printf "%9s %10s %10s %8s %10s %8s %10s %10s  %s\n", "n", "vesk", "FFTW real", "/FFTW", "R Mod^2", "/R",
           "R pgram", "new length", "goal"
    split("1000 10000 100000 1000000 1048576 99991 999983", pg, " ")
    for (i = 1; i <= 7; ++i) {
        n = pg[i]
        ours = t["Periodogram/" n]
        printf "%9s %10s %10s %8s %10s %8s %10s %10s  %s\n", n, show(ours), show(t["FftwReal/" n]),
               ratio(ours, t["FftwReal/" n]), show(t["RModFft/" n]), ratio(ours, t["RModFft/" n]),
               show(t["RPeriodogram/" n]), show(t["PeriodogramNewLength/" n]), "<= 3 x FFTW real, <= 1 x R"
    }
    print "(new length: a call of that length after one of length 16, so nothing kept serves it, plus"
    print " the short call; R'"'"'s fft of the prime 999983 would take hours and is not timed)"

    print ""
    print "Frequency-domain criterion of an ARFIMA(1,d,1), as the search evaluates it (ns per frequency)"
    printf "%9s %10s %10s %8s %12s  %s\n", "n", "criterion", "tabulated", "ratio", "whole call", "goal"
    split("10000 100000", wl, " ")
    for (i = 1; i <= 2; ++i) {
        n = wl[i]
        m = n / 2 / 1e6  # frequencies, and ms to ns
        c = t["WhittleCriterion/" n]; b = t["WhittleTabulated/" n]; w = t["WhittleCriterionWhole/" n]
        printf "%9s %10s %10s %8s %12s  %s\n", n, c == "" ? "-" : sprintf("%.2f", c / m),
               b == "" ? "-" : sprintf("%.2f", b / m), ratio(c, b), w == "" ? "-" : sprintf("%.2f", w / m),
               "<= 2 x tabulated"
    }
    printf "search ARFIMA(1,d,1) from 0, 0, 0 at n = 100000: %s ms\n", show(t["WhittleFit/100000"])

    print ""
    print "Agreement with FFTW (relative error, 2-norm)"
    printf "%9s %14s %14s  %s\n", "n", "complex FFT", "periodogram", "goal"
    split("1000 10000 100000 1000000 1048576 1062882 99991 999983 1000002", al, " ")
    for (i = 1; i <= 9; ++i) {
        n = al[i]
        printf "%9s %14s %14s  %s\n", n, t["EFftAccuracy/" n] == "" ? "-" : t["EFftAccuracy/" n],
               t["EPeriodogramAccuracy/" n] == "" ? "-" : t["EPeriodogramAccuracy/" n], "<= 1e-14"
    }

    print ""
    print "FFT smoother against R'"'"'s fft low-pass; tests of randomness (ms)"
    printf "%9s %10s %10s %8s  %s\n", "n", "smoother", "R", "ratio", "randomness"
    split("100000 1000000", sm, " ")
    for (i = 1; i <= 2; ++i) {
        n = sm[i]
        printf "%9s %10s %10s %8s  %s\n", n, show(t["FftSmoothing/" n]), show(t["RFftSmoothing/" n]),
               ratio(t["FftSmoothing/" n], t["RFftSmoothing/" n]), show(t["TestsOfRandomness/" n])
    }
}' "$work/times.txt"
