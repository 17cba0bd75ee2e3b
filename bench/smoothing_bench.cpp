// The smoothers behind the Smooth menu's live preview, which runs one of them at every slider
// move: the FFT low pass at n = 1e5 and at the prime n = 10007, exponential smoothing with its
// search for the constant (100 passes) at n = 1e5, and a moving average of order 99 at n = 1e5.
// scripts/bench/smoothing_vs_r.sh runs them beside R's fft, HoltWinters and filter on the same
// series (VESK_BENCH_SERIES names a file of one value per line).
#include "bench/bench_series.h"
#include "numerics/fft_smoother.h"
#include "numerics/smoothing.h"
#include "numerics/status.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void FftLowPassHalf(benchmark::State& state)
{
    const std::vector<double> x = BenchSeries(static_cast<int>(state.range(0)));
    const int n = static_cast<int>(x.size());
    std::vector<double> y(x.size());
    for (auto _ : state) {
        if (FftSmoother(x.data(), y.data(), n, 0.5) != kStatusDone) state.SkipWithError("FftSmoother");
        benchmark::DoNotOptimize(y.data());
    }
    state.counters["y1"] = y[0];
}

void ExponentialSearch(benchmark::State& state)
{
    const std::vector<double> x = BenchSeries(static_cast<int>(state.range(0)));
    const int n = static_cast<int>(x.size());
    std::vector<double> m(x.size());
    double alpha = kExpSmoothSearch;
    for (auto _ : state) {
        alpha = kExpSmoothSearch;
        if (ExponentialSmooth(x.data(), m.data(), n, alpha) != kStatusDone) state.SkipWithError("ExponentialSmooth");
        benchmark::DoNotOptimize(m.data());
    }
    state.counters["alpha"] = alpha;
}

void MovingAverage99(benchmark::State& state)
{
    const std::vector<double> x = BenchSeries(static_cast<int>(state.range(0)));
    const int n = static_cast<int>(x.size());
    constexpr int q = 99;
    const std::vector<double> w(q + 1, 1.0 / (2 * q + 1));
    std::vector<double> y(x.size());
    for (auto _ : state) {
        if (MovingAverageSmooth(x.data(), y.data(), n, w.data(), q) != kStatusDone)
            state.SkipWithError("MovingAverageSmooth");
        benchmark::DoNotOptimize(y.data());
    }
    state.counters["y500"] = y[499];
}

}  // namespace

BENCHMARK(FftLowPassHalf)->Arg(100000)->Arg(10007)->Unit(benchmark::kMillisecond);
BENCHMARK(ExponentialSearch)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(MovingAverage99)->Arg(100000)->Unit(benchmark::kMillisecond);
