// What every refresh of the statistics views computes: the sample ACF/PACF of a long series at
// 40 lags, and the periodogram with the model spectrum and Fisher's test. Reported in nanoseconds
// per observation. scripts/bench/statistics_vs_r.sh runs them beside R's acf and spec.pgram on
// the same series (VESK_BENCH_SERIES names a file of one value per line).
#include "bench/bench_series.h"
#include "numerics/acf.h"
#include "univariate/statistics.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void SampleAcfPacf40(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    std::vector<double> acf(41), pacf(41), work(n);
    double gamma0 = 0.0;
    for (auto _ : state) {
        int L = 40;
        benchmark::DoNotOptimize(SampleAcfPacf(gamma0, n, x.data(), acf.data(), pacf.data(), L, work.data()));
        benchmark::DoNotOptimize(acf.data());
    }
    state.counters["per_obs"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["acf1"] = acf[1];
}

void ComputeSpectra(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    UnivariateFields u;
    u.series = BenchSeries(n);
    u.n = u.lastIndex = n;
    u.firstIndex = 1;
    u.p = 2;
    u.phi[1] = 1.1;
    u.phi[2] = -0.4;
    for (auto _ : state) {
        ComputeSpectrumValues(u);
        benchmark::DoNotOptimize(u.periodogram.data());
    }
    state.counters["per_obs"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["fisher_R"] = u.fisherStatistic;
}

}  // namespace

BENCHMARK(SampleAcfPacf40)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ComputeSpectra)->Arg(1000000)->Arg(1048576)->Unit(benchmark::kMillisecond);
