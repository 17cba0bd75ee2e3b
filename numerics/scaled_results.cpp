#include "numerics/scaled_results.h"

#include "numlib/finite_values.h"

#include <cmath>

bool UnscaleValues(double* x, std::size_t count, int k, int power)
{
    const int shift = -power * k;
    for (std::size_t i = 0; i < count; ++i) {
        if (shift != 0) x[i] = std::ldexp(x[i], shift);
        if (!std::isfinite(x[i])) return false;
    }
    return true;
}

bool UnscaleSpread(double& v, int k, int power)
{
    const bool positive = v > 0.0;
    v = std::ldexp(v, -power * k);
    return std::isfinite(v) && !(positive && v < kSmallestNormal);
}

bool UnscaleCovariance(int m, int k, double* C)
{
    const std::size_t ms = static_cast<std::size_t>(m);
    for (std::size_t j = 0; j < ms; ++j)
        for (std::size_t i = 0; i < ms; ++i) {
            double& c = C[i + ms * j];
            if (!(i == j ? UnscaleSpread(c, k, 2) : UnscaleValues(&c, 1, k, 2))) return false;
        }
    return true;
}

int PowerOfTwoExponent(double factor)
{
    return std::ilogb(factor);
}
