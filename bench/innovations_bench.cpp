// One exact likelihood evaluation of an ARMA(2,2) model by the innovations recursion, as the
// maximum likelihood command runs it (autocovariances, state covariance, recursion), reported in
// nanoseconds per observation. scripts/bench/innovations_vs_r.sh runs it beside R's Kalman filter
// on the same series (VESK_BENCH_SERIES names a file of one value per line).
#include "bench/bench_series.h"
#include "numerics/arma_acvf.h"
#include "numerics/innovations.h"
#include "numerics/status.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

const std::vector<double>& kCoef = kBenchCoef;
constexpr int kP = kBenchP, kQ = kBenchQ;
constexpr double kTolerance = 5e-5;  // what the estimation commands pass

void LikelihoodArma22(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    std::vector<double> acvf(kQ + 2), K(54 * 54), Theta(54 * 54), resid(1), mse(1), fcst(1);
    double reduced = 0.0;
    for (auto _ : state) {
        int status = kStatusDone, tconv = n;
        ArmaAcvf(kQ + 1, kArmaAcvfCompute, acvf.data(), status, 1.0, kCoef.data(), kP, kQ);
        if (ArmaStateCovariance(acvf.data(), kP, kQ, kCoef.data(), K.data()) != kStatusDone)
            state.SkipWithError("state covariance");
        double S = 0.0, L = 0.0;
        InnovationsLikelihood(-1, acvf.data(), S, L, status, x.data(), n, kCoef.data(), kP, kQ,
                              K.data(), kTolerance, tconv, Theta.data(), resid.data(), 0,
                              mse.data(), fcst.data());
        reduced = std::log(S / n) + L / n;
        benchmark::DoNotOptimize(reduced);
    }
    // Seconds per observation; the console shows it with an SI prefix ("3.1n" = 3.1 ns).
    state.counters["per_obs"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["reduced_lik"] = reduced;
}

}  // namespace

BENCHMARK(LikelihoodArma22)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
