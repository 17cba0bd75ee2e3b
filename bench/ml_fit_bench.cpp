// A full exact maximum likelihood fit of an ARMA(2,2) by the quasi-Newton minimiser on the
// innovations likelihood, from the start the command falls back on (every coefficient 0.001).
// scripts/bench/ml_fit_vs_r.sh runs it beside R's arima(method = "ML") on the same series
// (VESK_BENCH_SERIES names a file of one value per line).
#include "bench/bench_series.h"
#include "numerics/arma_acvf.h"
#include "numerics/innovations.h"
#include "numerics/minimiser.h"
#include "numerics/status.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

const std::vector<double>& kCoef = kBenchCoef;
constexpr int kP = kBenchP, kQ = kBenchQ;

// ln(S/n) + L/n with the penalty of the maximum likelihood command for a non-causal or
// non-invertible model.
struct ReducedLikelihood {
    const std::vector<double>& x;
    std::vector<double> acvf = std::vector<double>(60), K = std::vector<double>(54 * 54),
                        Theta = std::vector<double>(54 * 54), spare = std::vector<double>(1);
    double last = 0.0;
    int evaluations = 0;

    void operator()(int32_t, const double* coef, double& f)
    {
        ++evaluations;
        const int n = static_cast<int>(x.size());
        int status = kStatusDone;
        ArmaAcvf(2, kArmaAcvfTestInvertible, acvf.data(), status, 1.0, coef, kP, kQ);
        const bool invertible = status == kStatusDone;
        status = kStatusDone;
        ArmaAcvf(kQ + 1, kArmaAcvfCompute, acvf.data(), status, 1.0, coef, kP, kQ);
        double S = 0.0, L = 0.0;
        if (status == kStatusDone &&
            ArmaStateCovariance(acvf.data(), kP, kQ, coef, K.data()) == kStatusDone) {
            int tconv = n;
            InnovationsLikelihood(-1, acvf.data(), S, L, status, x.data(), n, coef, kP, kQ,
                                  K.data(), 5e-5, tconv, Theta.data(), spare.data(), 0,
                                  spare.data(), spare.data());
        } else {
            status = kStatusNotCausal;
        }
        if (status == kStatusDone) last = std::log(S / n) + L / n;
        if (status != kStatusDone || !invertible) last += 0.5 * std::fabs(last) + 0.01;
        f = last;
    }
};

void MaxLikelihoodArma22(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = BenchSeries(n);
    std::string progress;
    SetMinimiserOutput(&progress);
    std::vector<double> coef(4), gradient(4), a(54 * 4), wrk(54 * 9);
    double reduced = 0.0;
    int32_t code = 0, iterations = 0, evaluations = 0;
    for (auto _ : state) {
        ReducedLikelihood objective{x};
        std::vector<double> start(4, 0.001);
        progress.clear();
        MinimiseObjective(54, 4, start.data(), 1e-6, 50, std::ref(objective), coef.data(), reduced,
                          gradient.data(), code, a.data(), wrk.data(), iterations);
        evaluations = objective.evaluations;
        benchmark::DoNotOptimize(reduced);
    }
    SetMinimiserOutput(nullptr);
    state.counters["minus2loglik"] = n * (std::log(6.283185307179586) + reduced + 1.0);
    state.counters["stop"] = code;
    state.counters["iterations"] = iterations;
    state.counters["evaluations"] = evaluations;
    for (int i = 0; i < 4; ++i) state.counters["coef" + std::to_string(i + 1)] = coef[i];
}

}  // namespace

BENCHMARK(MaxLikelihoodArma22)->Arg(100000)->Unit(benchmark::kMillisecond);
