// One exact likelihood evaluation of an ARMA(2,2) model by the innovations recursion, as the
// maximum likelihood command runs it (autocovariances, state covariance, recursion), reported in
// nanoseconds per observation. scripts/bench/innovations_vs_r.sh runs it beside R's Kalman filter
// on the same series (VESK_BENCH_SERIES names a file of one value per line).
#include "numerics/arma_acvf.h"
#include "numerics/innovations.h"
#include "numerics/status.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

namespace {

const std::vector<double> kCoef = {1.1, -0.4, -0.3, 0.2};  // phi1 phi2 theta1 theta2
constexpr int kP = 2, kQ = 2;
constexpr double kTolerance = 5e-5;  // what the estimation commands pass

std::vector<double> Series(int n)
{
    std::vector<double> x;
    if (const char* path = std::getenv("VESK_BENCH_SERIES")) {
        std::ifstream in(path);
        for (double v; static_cast<int>(x.size()) < n && in >> v;) x.push_back(v);
        if (static_cast<int>(x.size()) == n) return x;
        x.clear();
    }
    std::mt19937_64 gen(20240611);
    std::normal_distribution<double> z(0.0, 1.0);
    double x1 = 0.0, x2 = 0.0, z1 = 0.0, z2 = 0.0;
    for (int t = -500; t < n; ++t) {
        const double zt = z(gen);
        const double xt = kCoef[0] * x1 + kCoef[1] * x2 + zt + kCoef[2] * z1 + kCoef[3] * z2;
        x2 = x1;
        x1 = xt;
        z2 = z1;
        z1 = zt;
        if (t >= 0) x.push_back(xt);
    }
    return x;
}

void LikelihoodArma22(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> x = Series(n);
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
