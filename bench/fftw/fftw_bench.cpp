// FFTW's transforms for the comparison of bench/fft_bench.cpp: estimate plans (FFTW_ESTIMATE),
// made once outside the timed loop, for complex input and for real input, at the lengths of the
// complex FFT and periodogram workloads. Built into vesk_bench only when FFTW is installed.
#include "bench/bench_series.h"
#include "bench/fft_lengths.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <vector>

namespace {

// Times the plan's execution, then destroys the plan.
void TimePlan(benchmark::State& state, fftw_plan plan, const void* out)
{
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftw_destroy_plan(plan);
}

void FftwComplex(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n), y = BenchSeries(n + 1);
    fftw_complex* in = fftw_alloc_complex(n);
    fftw_complex* out = fftw_alloc_complex(n);
    const fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
    for (int t = 0; t < n; ++t) {
        in[t][0] = x[t];
        in[t][1] = y[t + 1];
    }
    TimePlan(state, plan, out);
    fftw_free(in);
    fftw_free(out);
}

void FftwReal(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    const fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    for (int t = 0; t < n; ++t) in[t] = x[t];
    TimePlan(state, plan, out);
    fftw_free(in);
    fftw_free(out);
}

}  // namespace

BENCHMARK(FftwComplex)->Apply(FftLengths);
BENCHMARK(FftwReal)->Apply(FftLengths);
