#pragma once
// The ARMA(2,2) series the likelihood and fit benchmarks share: read from the file named by
// VESK_BENCH_SERIES (one value a line) when it holds n values, so R can be timed on the same
// series; otherwise simulated from a fixed seed after a burn-in of 500.
#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

inline const std::vector<double> kBenchCoef = {1.1, -0.4, -0.3, 0.2};  // phi1 phi2 theta1 theta2
constexpr int kBenchP = 2, kBenchQ = 2;

// The first n values of the file named by the environment variable, or nothing when it is unset
// or holds fewer.
inline std::vector<double> BenchSeriesFromFile(const char* variable, int n)
{
    std::vector<double> x;
    if (const char* path = std::getenv(variable)) {
        std::ifstream in(path);
        for (double v; static_cast<int>(x.size()) < n && in >> v;) x.push_back(v);
        if (static_cast<int>(x.size()) == n) return x;
        x.clear();
    }
    return x;
}

inline std::vector<double> BenchSeries(int n)
{
    std::vector<double> x = BenchSeriesFromFile("VESK_BENCH_SERIES", n);
    if (!x.empty()) return x;
    std::mt19937_64 gen(20240611);
    std::normal_distribution<double> z(0.0, 1.0);
    const std::vector<double>& c = kBenchCoef;
    double x1 = 0.0, x2 = 0.0, z1 = 0.0, z2 = 0.0;
    for (int t = -500; t < n; ++t) {
        const double zt = z(gen);
        const double xt = c[0] * x1 + c[1] * x2 + zt + c[2] * z1 + c[3] * z2;
        x2 = x1;
        x1 = xt;
        z2 = z1;
        z1 = zt;
        if (t >= 0) x.push_back(xt);
    }
    return x;
}
