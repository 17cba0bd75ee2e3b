// The frequency-domain (Whittle) criterion of an ARFIMA(1,d,1) as the pattern search evaluates it,
// at the Fourier frequencies of the shared ARMA(2,2) series with the ordinates of DPFFT (IPVER 0,
// as the maximum likelihood command passes them), beside a loop that evaluates the same spectral
// density over tabulated cosines, sines and ln|1 - z|² and stores it: the floor for one pass over
// the frequencies. Both are reported per call; divided by m = n/2 they are the cost per frequency
// (scripts/bench/fft_vs_r_fftw.sh prints both and their ratio). WhittleCriterionWhole is one call
// of SpectralLikelihood, tables included; WhittleFit is the command's
// whole search from the model 0, 0, 0 with step 0.1.
#include "bench/bench_series.h"
#include "numerics/spectral_likelihood.h"
#include "numerics/status.h"
#include "numlib/periodogram.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// phi1, theta1, d of the criterion's model.
const std::vector<double> kWhittleBeta = {0.5, 0.3, 0.2};

struct Ordinates {
    int N = 0, m = 0;
    std::vector<double> omega, I;
};

Ordinates BenchOrdinates(int n)
{
    const std::vector<double> x = BenchSeries(n);
    double mean = 0.0;
    for (double v : x) mean += v / n;
    Ordinates o;
    o.N = n;
    o.m = n / 2;
    const int ld = o.m + 1;
    std::vector<double> pm(5 * static_cast<size_t>(ld));
    DPFFT(n, x.data(), 0, mean, 0, 0, 0, pm.data(), ld);
    o.omega.assign(pm.begin() + 1, pm.begin() + ld);
    o.I.assign(pm.begin() + 2 * ld + 1, pm.begin() + 3 * ld);
    return o;
}

void WhittleCriterion(benchmark::State& state)
{
    const Ordinates o = BenchOrdinates(static_cast<int>(state.range(0)));
    SpectralFrequencies f;
    if (SpectralFrequenciesInit(o.omega.data(), o.m, f) != kStatusDone) state.SkipWithError("frequencies");
    double F = 0.0, sigma2 = 0.0;
    for (auto _ : state) {
        if (SpectralLikelihoodAt(f, o.I.data(), o.N, 1, 1, kWhittleBeta.data(), F, sigma2) != kStatusDone)
            state.SkipWithError("criterion");
        benchmark::DoNotOptimize(F);
    }
}

// The same through SpectralLikelihood, which makes the tables at every call.
void WhittleCriterionWhole(benchmark::State& state)
{
    const Ordinates o = BenchOrdinates(static_cast<int>(state.range(0)));
    double F = 0.0, sigma2 = 0.0;
    for (auto _ : state) {
        if (SpectralLikelihood(o.omega.data(), o.I.data(), o.m, o.N, 1, 1, kWhittleBeta.data(), F, sigma2) !=
            kStatusDone)
            state.SkipWithError("criterion");
        benchmark::DoNotOptimize(F);
    }
}

// g(j) = |1 + theta·z|²/|1 - phi·z|²·exp(-d·ln|1 - z|²) at z = (cos, sin) from the tables.
void WhittleTabulated(benchmark::State& state)
{
    const Ordinates o = BenchOrdinates(static_cast<int>(state.range(0)));
    std::vector<double> cosine(o.m), sine(o.m), logGap(o.m), g(o.m);
    for (int j = 0; j < o.m; ++j) {
        cosine[j] = std::cos(o.omega[j]);
        sine[j] = std::sin(o.omega[j]);
        logGap[j] = std::log((1.0 - cosine[j]) * (1.0 - cosine[j]) + sine[j] * sine[j]);
    }
    const double phi = kWhittleBeta[0], theta = kWhittleBeta[1], d = kWhittleBeta[2];
    for (auto _ : state) {
        for (int j = 0; j < o.m; ++j) {
            const double c = cosine[j], s = sine[j];
            const double num = (1.0 + theta * c) * (1.0 + theta * c) + theta * s * theta * s;
            const double den = (1.0 - phi * c) * (1.0 - phi * c) + phi * s * phi * s;
            g[j] = num / den * std::exp(-d * logGap[j]);
        }
        benchmark::DoNotOptimize(g.data());
        benchmark::ClobberMemory();
    }
}

void WhittleFit(benchmark::State& state)
{
    const Ordinates o = BenchOrdinates(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        double phi = 0.0, theta = 0.0, d = 0.0, h = 0.1, sigma2 = 0.0, F = 0.0;
        if (SpectralLikelihoodSearch(o.omega.data(), o.I.data(), o.m, o.N, 1, 1, &phi, &theta, d, h, 1, sigma2,
                                     F) != kStatusDone)
            state.SkipWithError("search");
        benchmark::DoNotOptimize(F);
    }
}

}  // namespace

BENCHMARK(WhittleCriterion)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(WhittleCriterionWhole)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(WhittleTabulated)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(WhittleFit)->Arg(100000)->Unit(benchmark::kMillisecond);
