// FFTW's transforms for the comparison of bench/fft_bench.cpp: estimate plans (FFTW_ESTIMATE),
// made once outside the timed loop, for complex input and for real input, at the lengths of the
// complex FFT and periodogram workloads; and the agreement of the library transform and the
// periodogram with FFTW at those lengths, shown in each run's label as the relative error
// ||ours - FFTW||/||FFTW|| (2-norm). Built into vesk_bench only when FFTW is installed.
#include "bench/bench_series.h"
#include "bench/fft_lengths.h"
#include "numlib/fft.h"
#include "numlib/periodogram.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
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

// Accumulates |a - b|² and |b|² of one complex value.
struct ErrorSum {
    long double diff = 0.0L, norm = 0.0L;
    void Add(long double are, long double aim, long double bre, long double bim)
    {
        diff += (are - bre) * (are - bre) + (aim - bim) * (aim - bim);
        norm += bre * bre + bim * bim;
    }
    double Relative() const { return norm > 0.0L ? static_cast<double>(std::sqrt(diff / norm)) : 0.0; }
};

// The label of an accuracy run; the limit of the transforms' agreement is 1e-14.
void ShowError(benchmark::State& state, double error)
{
    char text[64];
    std::snprintf(text, sizeof text, "relative error %.2e%s", error, error <= 1e-14 ? "" : " ABOVE 1e-14");
    state.SetLabel(text);
}

// DF2TCF against FFTW's complex transform of the same values.
void FftAccuracy(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n), y = BenchSeries(n + 1);
    std::vector<double> in(2 * static_cast<size_t>(n)), out(in.size()), work(in.size());
    std::vector<double> ftab(4 * static_cast<size_t>(n) + 15);
    fftw_complex* fin = fftw_alloc_complex(n);
    fftw_complex* fout = fftw_alloc_complex(n);
    const fftw_plan plan = fftw_plan_dft_1d(n, fin, fout, FFTW_FORWARD, FFTW_ESTIMATE);
    for (int t = 0; t < n; ++t) {
        fin[t][0] = in[2 * t] = x[t];
        fin[t][1] = in[2 * t + 1] = y[t + 1];
    }
    double error = 0.0;
    for (auto _ : state) {
        fftw_execute(plan);
        DFFTCI(n, ftab.data());
        DF2TCF(n, in.data(), out.data(), ftab.data(), work.data());
        ErrorSum e;
        for (int k = 0; k < n; ++k) e.Add(out[2 * k], out[2 * k + 1], fout[k][0], fout[k][1]);
        error = e.Relative();
    }
    ShowError(state, error);
    fftw_destroy_plan(plan);
    fftw_free(fin);
    fftw_free(fout);
}

// DPFFT (IPVER 1, the sample mean subtracted) against FFTW's real-input transform X of the
// centred series: A(k) - i·B(k) = s·X(k)·exp(-iθ), θ = 2πk/n, s = sqrt(1/(2πn)), so
// X(k) = (A - iB)·exp(iθ)/s; and the ordinates against s²|X|².
void PeriodogramAccuracy(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    const int rows = n / 2 + 1;
    std::vector<double> pm(5 * static_cast<size_t>(rows));
    double mean = 0.0;
    for (double v : x) mean += v / n;
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(rows);
    const fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    for (int t = 0; t < n; ++t) in[t] = x[t] - mean;
    const double s = std::sqrt(1.0 / (6.283185307179586 * n));
    const long double twoPi = 6.283185307179586476925286766559005768L;
    double error = 0.0;
    for (auto _ : state) {
        fftw_execute(plan);
        DPFFT(n, x.data(), 0, mean, 0, 0, 1, pm.data(), rows);
        ErrorSum transform, ordinate;
        for (int k = 0; k < rows; ++k) {
            const long double theta = twoPi * k / n, c = std::cos(theta), sn = std::sin(theta);
            const long double a = pm[3 * static_cast<size_t>(rows) + k] / s,
                              b = -pm[4 * static_cast<size_t>(rows) + k] / s;
            transform.Add(a * c - b * sn, a * sn + b * c, out[k][0], out[k][1]);
            const long double I = static_cast<long double>(s) * s *
                                  (static_cast<long double>(out[k][0]) * out[k][0] +
                                   static_cast<long double>(out[k][1]) * out[k][1]);
            ordinate.Add(pm[2 * static_cast<size_t>(rows) + k], 0.0L, I, 0.0L);
        }
        error = std::max(transform.Relative(), ordinate.Relative());
    }
    ShowError(state, error);
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

}  // namespace

BENCHMARK(FftAccuracy)->Apply(FftLengths)->Iterations(1);
BENCHMARK(PeriodogramAccuracy)->Apply(PeriodogramLengths)->Iterations(1);
BENCHMARK(FftwComplex)->Apply(FftLengths);
BENCHMARK(FftwReal)->Apply(RealFftLengths);
