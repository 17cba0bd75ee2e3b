// One exact likelihood evaluation by the innovations recursion, as the maximum likelihood command
// runs it (autocovariances, state covariance, recursion), reported in nanoseconds per
// observation: an ARMA(2,2) and the seasonal airline model, an MA(13) with
// theta13 = theta1·theta12. scripts/bench/innovations_vs_r.sh runs both beside R's Kalman filter
// on the same series (VESK_BENCH_SERIES and VESK_BENCH_SEASONAL_SERIES name files of one value
// per line).
#include "bench/bench_series.h"
#include "numerics/arma_acvf.h"
#include "numerics/innovations.h"
#include "numerics/status.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr double kTolerance = 5e-5;  // what the estimation commands pass

std::vector<double> AirlineCoef()
{
    std::vector<double> theta(13, 0.0);
    theta[0] = -0.4;
    theta[11] = -0.55;
    theta[12] = theta[0] * theta[11];
    return theta;
}

// The airline model's series: read from VESK_BENCH_SEASONAL_SERIES when it holds n values,
// otherwise simulated from a fixed seed.
std::vector<double> SeasonalSeries(int n)
{
    std::vector<double> x = BenchSeriesFromFile("VESK_BENCH_SEASONAL_SERIES", n);
    if (!x.empty()) return x;
    const std::vector<double> theta = AirlineCoef();
    std::mt19937_64 gen(20240611);
    std::normal_distribution<double> z(0.0, 1.0);
    std::vector<double> noise(n + 13);
    for (double& v : noise) v = z(gen);
    for (int t = 0; t < n; ++t) {
        double s = noise[t + 13];
        for (int j = 1; j <= 13; ++j) s += theta[j - 1] * noise[t + 13 - j];
        x.push_back(s);
    }
    return x;
}

void Likelihood(benchmark::State& state, const std::vector<double>& coef, int p, int q,
                const std::vector<double>& x)
{
    const int n = static_cast<int>(x.size());
    const int m = std::max(p, q);
    std::vector<double> acvf(m + 2), K(54 * 54), Theta(54 * 54), resid(1), mse(1), fcst(1);
    double reduced = 0.0;
    int tconv = n;
    for (auto _ : state) {
        int status = kStatusDone;
        tconv = n;
        ArmaAcvf(m + 1, kArmaAcvfCompute, acvf.data(), status, 1.0, coef.data(), p, q);
        if (ArmaStateCovariance(acvf.data(), p, q, coef.data(), K.data()) != kStatusDone)
            state.SkipWithError("state covariance");
        double S = 0.0, L = 0.0;
        InnovationsLikelihood(-1, acvf.data(), S, L, status, x.data(), n, coef.data(), p, q,
                              K.data(), kTolerance, tconv, Theta.data(), resid.data(), 0,
                              mse.data(), fcst.data());
        reduced = std::log(S / n) + L / n;
        benchmark::DoNotOptimize(reduced);
    }
    // Seconds per observation; the console shows it with an SI prefix ("3.1n" = 3.1 ns).
    state.counters["per_obs"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["reduced_lik"] = reduced;
    state.counters["tconv"] = tconv;
}

void LikelihoodArma22(benchmark::State& state)
{
    Likelihood(state, kBenchCoef, kBenchP, kBenchQ, BenchSeries(static_cast<int>(state.range(0))));
}

void LikelihoodAirline(benchmark::State& state)
{
    Likelihood(state, AirlineCoef(), 0, 13, SeasonalSeries(static_cast<int>(state.range(0))));
}

}  // namespace

BENCHMARK(LikelihoodArma22)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LikelihoodAirline)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
