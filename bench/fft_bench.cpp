// The Fourier workloads: the library transform DF2TCF (table made once, as a plan is), the
// periodogram DPFFT (whole calls: work areas, plan, roots, transform and rows; repeated at one
// length, and at a new length every call), the FFT smoother and the
// tests of randomness (lag 22), on the shared ARMA(2,2) series. scripts/bench/fft_vs_r_fftw.sh runs them in one
// run beside FFTW's estimate plans (bench/fftw/fftw_bench.cpp) and R.
#include "bench/bench_series.h"
#include "bench/fft_lengths.h"
#include "numerics/fft_smoother.h"
#include "numerics/randomness_tests.h"
#include "numlib/fft.h"
#include "numlib/periodogram.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Kept fraction of the smoother; the R low-pass of the comparison uses the same band.
constexpr double kSmootherFraction = 0.1;
// Lag of the tests of randomness: the default for an ARMA(1,1), 2 free coefficients + 20.
constexpr int kRandomnessLag = 22;

void ComplexFft(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n), y = BenchSeries(n + 1);
    std::vector<double> in(2 * static_cast<size_t>(n)), out(in.size()), work(in.size());
    for (int t = 0; t < n; ++t) {
        in[2 * t] = x[t];
        in[2 * t + 1] = y[t + 1];
    }
    std::vector<double> ftab(4 * static_cast<size_t>(n) + 15);
    DFFTCI(n, ftab.data());
    // The first transform of a length with a large prime factor prepares the chirp-z work that
    // later ones reuse; with the table it stands for FFTW's plan, made outside the timing too.
    DF2TCF(n, in.data(), out.data(), ftab.data(), work.data());
    for (auto _ : state) {
        DF2TCF(n, in.data(), out.data(), ftab.data(), work.data());
        benchmark::DoNotOptimize(out.data());
    }
}

void Periodogram(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    const int rows = n / 2 + 1;
    std::vector<double> pm(5 * static_cast<size_t>(rows));
    double mean = 0.0;
    for (double v : x) mean += v / n;
    for (auto _ : state) {
        DPFFT(n, x.data(), 0, mean, 0, 0, 1, pm.data(), rows);
        benchmark::DoNotOptimize(pm.data());
    }
}

// The same where every call has a new length: a call of length 16 between two of length n, so
// that nothing kept from the previous call serves the next (the short call costs well under a
// microsecond).
void PeriodogramNewLength(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    std::vector<double> pm(5 * static_cast<size_t>(n / 2 + 1));
    for (auto _ : state) {
        for (int length : {n, 16}) {
            DPFFT(length, x.data(), 0, 0.0, 0, 0, 1, pm.data(), length / 2 + 1);
            benchmark::DoNotOptimize(pm.data());
        }
    }
}

void FftSmoothing(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    std::vector<double> y(x.size());
    for (auto _ : state) {
        if (FftSmoother(x.data(), y.data(), n, kSmootherFraction) != 0) state.SkipWithError("smoother");
        benchmark::DoNotOptimize(y.data());
    }
}

void TestsOfRandomness(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    int order = 0;  // no counter: the comparison reads these runs as CSV, one column set for all
    double qLB = 0.0, qML = 0.0, tp[3], ds[3], rk[3];
    for (auto _ : state) {
        if (RandomnessTests(x.data(), n, kRandomnessLag, order, qLB, qML, tp, ds, rk) != 0)
            state.SkipWithError("randomness tests");
        benchmark::DoNotOptimize(rk);
    }
}

}  // namespace

BENCHMARK(ComplexFft)->Apply(FftLengths);
BENCHMARK(Periodogram)->Apply(PeriodogramLengths);
BENCHMARK(PeriodogramNewLength)->Apply(PeriodogramLengths);
BENCHMARK(FftSmoothing)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(TestsOfRandomness)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
