#include "numerics/fft_smoother.h"

#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307;

using Complex = std::complex<double>;

// Largest divisor of n among 2..limit that does not exceed n^0.5; 1 when there is none.
int FirstFactor(int n, int limit)
{
    const double root = std::sqrt(static_cast<double>(n));
    int r = 1;
    for (int c = 2; c <= limit && c <= root; ++c)
        if (n % c == 0) r = c;
    return r;
}

// out(k) := sum for s = 1..r of exp(-i·ang(k)·(s-1))·table(k', s), k' = k mod L (L for 0),
// ang(k) = 2π·(k-1)·sign/n: combines the r transforms of length L = n/r of the residue classes.
// table is L by r, column by column, 0-based.
void CombineColumns(const std::vector<Complex>& table, int n, int L, int r, int sign,
                    Complex* out)
{
    for (int k = 1; k <= n; ++k) {
        const double ang = kTwoPi * ((k - 1) * sign) / n;
        const int kk = k % L == 0 ? L : k % L;
        Complex sum(0.0, 0.0);
        for (int s = 1; s <= r; ++s) {
            const double arg = ang * (s - 1);
            sum += Complex(std::cos(arg), -std::sin(arg)) *
                   table[static_cast<size_t>(kk - 1) + static_cast<size_t>(L) * (s - 1)];
        }
        out[k - 1] = sum;
    }
}

}  // namespace

int FftFactorPass(const Complex* b, int L, Complex* out, int /*r*/, int sign)
{
    if (L < 1 || (sign != 1 && sign != -1)) return kStatusBadArgument;
    if (!AllFinite(reinterpret_cast<const double*>(b), 2L * L)) return kStatusNotFinite;
    const int r2 = FirstFactor(L, 35);
    const int L2 = L / r2;
    std::vector<Complex> table(static_cast<size_t>(L));
    for (int s = 1; s <= r2; ++s) {
        for (int k = 1; k <= L2; ++k) {
            const double ang2 = kTwoPi * ((k - 1) * sign) / L2;
            Complex sum(0.0, 0.0);
            for (int m = 1; m <= L2; ++m) {
                const double arg = ang2 * (m - 1);
                sum += b[s - 1 + (m - 1) * r2] * Complex(std::cos(arg), -std::sin(arg));
            }
            table[static_cast<size_t>(k - 1) + static_cast<size_t>(L2) * (s - 1)] = sum;
        }
    }
    CombineColumns(table, L, L2, r2, sign, out);
    return AllFinite(reinterpret_cast<const double*>(out), 2L * L) ? kStatusDone : kStatusOutOfRange;
}

int FftTransform(const Complex* a, int n, Complex* out, int sign)
{
    if (n < 1 || (sign != 1 && sign != -1)) return kStatusBadArgument;
    if (!AllFinite(reinterpret_cast<const double*>(a), 2L * n)) return kStatusNotFinite;
    const int r1 = FirstFactor(n, 50);
    const int L1 = n / r1;
    std::vector<Complex> table(static_cast<size_t>(n)), gather(static_cast<size_t>(L1));
    for (int s = 1; s <= r1; ++s) {
        for (int m = 1; m <= L1; ++m) gather[m - 1] = a[s - 1 + (m - 1) * r1];
        (void)FftFactorPass(gather.data(), L1, table.data() + static_cast<size_t>(L1) * (s - 1),
                            r1, sign);
    }
    CombineColumns(table, n, L1, r1, sign, out);
    return AllFinite(reinterpret_cast<const double*>(out), 2L * n) ? kStatusDone : kStatusOutOfRange;
}

int FftLowPass(const double* x, double* y, int n, double frac)
{
    if (n < 1) return kStatusBadArgument;
    if (std::isnan(frac) || !AllFinite(x, n)) return kStatusNotFinite;
    // The filter is linear: a series near the ends of the double range is filtered scaled by a
    // power of two (exact) and scaled back.
    const double range = RangeScale(x, n);
    std::vector<Complex> series(static_cast<size_t>(n)), coef(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t) series[t] = Complex(x[t] * range, 0.0);
    const Complex scale(std::sqrt(static_cast<double>(n)), 0.0);

    if (const int status = FftTransform(series.data(), n, coef.data(), 1); status != kStatusDone) return status;
    const double band = n * frac;
    for (int k = 1; k <= n; ++k) {
        coef[k - 1] /= scale;
        // Element k stands for frequency index k-1 in the first half and n-k+1 in the second;
        // the middle element of an even length passes both tests.
        if (2 * (k - 1) <= n && 2 * (k - 1) > band) coef[k - 1] = 0.0;
        if (2 * (k - 1) >= n && 2 * (n - k + 1) > band) coef[k - 1] = 0.0;
    }
    if (const int status = FftTransform(coef.data(), n, series.data(), -1); status != kStatusDone) return status;
    std::vector<double> smoothed(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t) smoothed[t] = (series[t] / scale).real() / range;
    if (!AllFinite(smoothed.data(), n)) return kStatusOutOfRange;
    std::copy(smoothed.begin(), smoothed.end(), y);
    return kStatusDone;
}

int FftSmoother(const double* x, double* y, int n, double frac)
{
    return FftLowPass(x, y, n, frac);
}
