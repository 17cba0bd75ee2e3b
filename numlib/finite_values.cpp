#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>

namespace {

double ScaleFor(double largest)
{
    if (largest == 0.0 || (largest >= 0x1p-400 && largest <= 0x1p400)) return 1.0;
    int exponent = 0;
    (void)std::frexp(largest, &exponent);
    // A subnormal largest value would ask for a factor past the top of the range.
    return std::ldexp(1.0, std::clamp(-exponent, -1000, 1000));
}

}  // namespace

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
    return ScaleFor(largest);
}

double RangeScale(const double* m, int ld, int nrow, int ncol)
{
    double largest = 0.0;
    for (int j = 0; j < ncol; ++j)
        for (int i = 0; i < nrow; ++i) largest = std::fmax(largest, std::fabs(m[static_cast<long>(j) * ld + i]));
    return ScaleFor(largest);
}

const double* Scaled(const double* x, long n, double scale, std::vector<double>& store)
{
    if (scale == 1.0) return x;
    store.assign(x, x + n);
    for (double& v : store) v *= scale;
    return store.data();
}
