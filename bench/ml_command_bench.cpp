// The maximum likelihood command's whole fit (MaxLikelihoodFit: the minimiser's evaluations, the
// final evaluation and the standard errors) of an ARMA(2,2) on the series of bench/bench_series.h,
// from every coefficient at 0.001 with the dialog's defaults (50 iterations, the proposed
// accuracy). scripts/bench/ml_fit_vs_r.sh times R's arima(method = "ML") in the same run.
#include "bench/bench_series.h"
#include "univariate/max_likelihood.h"
#include "univariate/preliminary_estimation.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void MaxLikelihoodFitCommand(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    UnivariateFields u;
    u.series = BenchSeries(n);
    u.n = n;
    for (auto _ : state) {
        u.p = kBenchP;
        u.q = kBenchQ;
        for (int i = 1; i <= 27; ++i) u.phi[i] = u.theta[i] = 0.0;
        u.phi[1] = u.phi[2] = u.theta[1] = u.theta[2] = 0.001;
        u.numFree = 4;
        for (int i = 1; i <= 4; ++i) u.freeIndex[i] = i;
        u.mleMethod = -1;
        u.noOptimisation = 0;
        u.maxIterations = 50;
        u.accuracy = DefaultAccuracy(u);
        u.likelihoodTolerance = 5e-5;
        benchmark::DoNotOptimize(MaxLikelihoodFit(u));
    }
    state.counters["minus2loglik"] = u.minus2LogLikelihood;
    state.counters["stop"] = u.stopReason;
    state.counters["iterations"] = u.iterationsDone;
    state.counters["evaluations"] = u.evaluationCount;
    for (int i = 1; i <= 2; ++i) {
        state.counters["phi" + std::to_string(i)] = u.phi[i];
        state.counters["theta" + std::to_string(i)] = u.theta[i];
        state.counters["se" + std::to_string(i)] = u.standardErrors[i];
    }
}

}  // namespace

BENCHMARK(MaxLikelihoodFitCommand)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
