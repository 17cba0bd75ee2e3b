#pragma once
// Deterministic series for the forecasting tests: the same numbers on every platform, unlike the
// standard library's distributions.
#include <cstdint>
#include <vector>

// Pseudo-normal deviates: twelve uniforms of a 64-bit LCG less 6.
class Deviates {
public:
    explicit Deviates(uint64_t seed) : state_(seed) {}
    double Next()
    {
        double sum = 0.0;
        for (int i = 0; i < 12; ++i) {
            state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
            sum += static_cast<double>(state_ >> 11) / 9007199254740992.0;
        }
        return sum - 6.0;
    }

private:
    uint64_t state_;
};

inline std::vector<double> WhiteNoise(int n, uint64_t seed, double sd = 1.0)
{
    Deviates e(seed);
    std::vector<double> x(n);
    for (double& v : x) v = sd * e.Next();
    return x;
}

// A pattern of period 12 or 13 without symmetries (no other lag predicts it) plus noise.
inline std::vector<double> PeriodicSeries(int period, int n, double noise, uint64_t seed)
{
    const double pattern[13] = {3, 7, -2, 5, 0, -6, 1, 4, -3, 2, 6, -1, 8};
    std::vector<double> x = WhiteNoise(n, seed, noise);
    for (int t = 0; t < n; ++t) x[t] += pattern[t % period];
    return x;
}
