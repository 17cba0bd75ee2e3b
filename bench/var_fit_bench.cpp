// The minimum-AICC order searches of the two vector autoregressive fits (p = -1, orders up to
// 20) on a 3-variate VAR(2) of n = 1e5 times, as the Yule-Walker and Burg commands run them.
// scripts/bench/var_fit_vs_r.sh runs them beside R's ar.yw and ar.burg on the same series
// (VESK_BENCH_VAR_SERIES names a file of one time a line, its 3 values separated by blanks).
#include "multivariate/burg_fit.h"
#include "numerics/series_scaling.h"
#include "multivariate/whittle_fit.h"
#include "numerics/status.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

namespace {

constexpr int kM = 3;
constexpr int kN = 100000;

// x(t) = PHI1 x(t-1) + PHI2 x(t-2) + z(t), z(t) independent N(0, 1); rows of PHI1, then the
// diagonal of PHI2.
const double kPhi1[kM][kM] = {{0.5, 0.2, 0.0}, {0.0, 0.3, 0.2}, {0.1, 0.0, 0.4}};
const double kPhi2[kM] = {-0.2, 0.1, -0.1};

// The series centred, m values of one time together: read from VESK_BENCH_VAR_SERIES when it
// holds n times, otherwise simulated from a fixed seed after a burn-in of 500.
std::vector<double> BenchVarSeries()
{
    std::vector<double> x;
    if (const char* path = std::getenv("VESK_BENCH_VAR_SERIES")) {
        std::ifstream in(path);
        for (double v; x.size() < static_cast<size_t>(kN) * kM && in >> v;) x.push_back(v);
    }
    if (x.size() != static_cast<size_t>(kN) * kM) {
        x.clear();
        std::mt19937_64 gen(20240807);
        std::normal_distribution<double> z(0.0, 1.0);
        double x1[kM] = {0, 0, 0}, x2[kM] = {0, 0, 0};
        for (int t = -500; t < kN; ++t) {
            double xt[kM];
            for (int i = 0; i < kM; ++i) {
                xt[i] = z(gen) + kPhi2[i] * x2[i];
                for (int j = 0; j < kM; ++j) xt[i] += kPhi1[i][j] * x1[j];
            }
            for (int i = 0; i < kM; ++i) {
                x2[i] = x1[i];
                x1[i] = xt[i];
                if (t >= 0) x.push_back(xt[i]);
            }
        }
    }
    std::vector<double> mean(kM);
    SubtractSeriesMeans(x.data(), kN, kM, mean.data());
    return x;
}

template <typename Fit>
void Search(benchmark::State& state, Fit fit)
{
    const std::vector<double> x = BenchVarSeries();
    std::vector<double> PHI(20 * kM * kM), V(kM * kM), out(x.size());
    int p = -1;
    double aicc = 0.0;
    for (auto _ : state) {
        p = -1;
        if (fit(x.data(), kN, kM, PHI.data(), V.data(), p, aicc, out.data()) != kStatusDone)
            state.SkipWithError("fit failed");
        benchmark::DoNotOptimize(aicc);
    }
    state.counters["order"] = p;
    state.counters["aicc"] = aicc;
}

void WhittleSearchVar3(benchmark::State& state)
{
    Search(state, WhittleMvarFit);
}
void BurgSearchVar3(benchmark::State& state)
{
    Search(state, BurgMvarFit);
}

}  // namespace

BENCHMARK(WhittleSearchVar3)->Unit(benchmark::kMillisecond);
BENCHMARK(BurgSearchVar3)->Unit(benchmark::kMillisecond);
