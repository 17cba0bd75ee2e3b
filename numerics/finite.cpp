#include "numerics/finite.h"

#include <cmath>

bool AllFinite(const double* x, long n)
{
    for (long i = 0; i < n; ++i)
        if (!std::isfinite(x[i])) return false;
    return true;
}

double RangeScale(const double* x, long n)
{
    double largest = 0.0;
    for (long i = 0; i < n; ++i) largest = std::fmax(largest, std::fabs(x[i]));
    if (largest == 0.0 || (largest >= 0x1p-400 && largest <= 0x1p400)) return 1.0;
    int exponent = 0;
    (void)std::frexp(largest, &exponent);
    return std::ldexp(1.0, -exponent);
}
