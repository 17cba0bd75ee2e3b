#include "numerics/fft_smoother.h"

#include "numerics/scaled_results.h"
#include "numerics/status.h"
#include "numlib/fft_plan.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

using Complex = std::complex<double>;

// The library engine on std::complex arrays (both are (real, imaginary) pairs of doubles).
int Transform(const Complex* a, int n, Complex* out, int sign)
{
    if (n < 1 || (sign != 1 && sign != -1)) return kStatusBadArgument;
    if (!AllFinite(reinterpret_cast<const double*>(a), 2L * n)) return kStatusNotFinite;
    FftWorkspace space;
    if (!FftWorkspaceInit(space, n) ||
        !FftWorkspaceRun(space, reinterpret_cast<const FftComplex*>(a), reinterpret_cast<FftComplex*>(out),
                         sign == -1))
        return kStatusNoMemory;
    return AllFinite(reinterpret_cast<const double*>(out), 2L * n) ? kStatusDone : kStatusOutOfRange;
}

// Element j (0-based) stands for frequency index j in the first half and n-j in the second; it
// is dropped when that index doubled exceeds n·frac. The middle element of an even length passes
// both tests with the same outcome.
bool Dropped(int j, int n, double band)
{
    return (2 * j <= n && 2 * j > band) || (2 * j >= n && 2 * (n - j) > band);
}

// The filter proper; kStatusNoMemory, y untouched, when the engine's work cannot be obtained.
int LowPass(const double* x, double* y, int n, double frac)
{
    const double band = n * frac;
    if (n % 2 == 1) {
        std::vector<FftComplex> c(static_cast<size_t>(n));
        for (int t = 0; t < n; ++t) c[t] = {x[t], 0.0};
        FftWorkspace space;
        if (!FftWorkspaceInit(space, n) || !FftWorkspaceRun(space, c.data(), c.data(), false)) return kStatusNoMemory;
        for (int j = 0; j < n; ++j)
            if (Dropped(j, n, band)) c[j] = {0.0, 0.0};
        if (!FftWorkspaceRun(space, c.data(), c.data(), true)) return kStatusNoMemory;
        for (int t = 0; t < n; ++t) y[t] = c[t].re / n;
        return kStatusDone;
    }
    // An even length goes through the transform of half its length, x packed two values to a
    // complex: z(t) = x(2t) + i·x(2t+1).
    const int h = n / 2;
    std::vector<FftComplex> z(static_cast<size_t>(h) + 1);
    double* packed = reinterpret_cast<double*>(z.data());
    for (int t = 0; t < n; ++t) packed[t] = x[t];
    std::vector<FftComplex> table(static_cast<size_t>(FftRootTableSize(n)));
    const FftRootTable roots = FftRootTableInit(n, table.data());
    FftWorkspace space;
    if (!FftWorkspaceInit(space, h) || !FftWorkspaceRun(space, z.data(), z.data(), false)) return kStatusNoMemory;
    FftRealSplit(h, z.data(), z.data(), roots);
    for (int j = 0; j <= h; ++j)
        if (Dropped(j, n, band)) z[j] = {0.0, 0.0};
    FftRealMerge(h, z.data(), z.data(), roots);
    if (!FftWorkspaceRun(space, z.data(), z.data(), true)) return kStatusNoMemory;
    for (int t = 0; t < n; ++t) y[t] = packed[t] / h;
    return kStatusDone;
}

}  // namespace

int FftFactorPass(const Complex* b, int L, Complex* out, int /*r*/, int sign)
{
    return Transform(b, L, out, sign);
}

int FftTransform(const Complex* a, int n, Complex* out, int sign)
{
    return Transform(a, n, out, sign);
}

int FftLowPass(const double* x, double* y, int n, double frac)
{
    if (n < 1) return kStatusBadArgument;
    if (std::isnan(frac) || !AllFinite(x, n)) return kStatusNotFinite;
    try {
        // Within 2^±400 no sum of the filter can overflow. The filter is linear: a series nearer
        // the ends of the double range is filtered scaled by a power of two (exact) and scaled
        // back, through a copy, so that a result that does not fit leaves y as it was.
        const double range = RangeScale(x, n);
        if (range == 1.0) return LowPass(x, y, n, frac);
        std::vector<double> scaled, smoothed(static_cast<size_t>(n));
        const int status = LowPass(Scaled(x, n, range, scaled), smoothed.data(), n, frac);
        if (status != kStatusDone) return status;
        if (!UnscaleValues(smoothed.data(), smoothed.size(), PowerOfTwoExponent(range))) return kStatusOutOfRange;
        std::copy(smoothed.begin(), smoothed.end(), y);
        return kStatusDone;
    } catch (const std::bad_alloc&) {
        return kStatusNoMemory;
    }
}

int FftSmoother(const double* x, double* y, int n, double frac)
{
    return FftLowPass(x, y, n, frac);
}
