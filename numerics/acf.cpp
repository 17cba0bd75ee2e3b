#include "numerics/acf.h"

#include "numerics/one_based.h"
#include "numerics/series_scaling.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <vector>

double SeriesMean(const double* x, int n)
{
    if (n < 1) return 0.0;
    Vec1<const double> xv(x);
    double sum = 0.0;
    for (int i = 1; i <= n; ++i) sum += xv(i);
    return sum / static_cast<double>(n);
}

double FiniteSeriesMean(const double* x, int n)
{
    if (n < 1) return 0.0;
    const int k = SeriesScaleExponent(x, n, 1);
    // Multiplying by 2^k is ldexp's exact scaling in one operation wherever 2^k is a double.
    const bool factor = k >= -1000 && k <= 1000;
    const double two = std::ldexp(1.0, factor ? k : 0);
    const auto scaled = [&](int i) { return factor ? x[i] * two : std::ldexp(x[i], k); };
    double sum = 0.0, lo = scaled(0), hi = lo;
    for (int i = 0; i < n; ++i) {
        const double y = scaled(i);
        sum += y;
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    const double first = sum / n;
    // The mean of the deviations from the first estimate corrects it; summed in long double (as
    // R's mean does), the corrected mean of ordinary data is correctly rounded. For a constant
    // series each deviation is the same small multiple of the rounding unit, so their mean is
    // exact and brings the value back.
    long double deviations = 0.0L;
    for (int i = 0; i < n; ++i) deviations += static_cast<long double>(scaled(i)) - first;
    const double mean = static_cast<double>(first + deviations / n);
    // Within the values, as a mean is: rounding must not carry the mean of values at the largest
    // double past it.
    return std::ldexp(std::clamp(mean, lo, hi), -k);
}

void SubtractMean(double* x, int n)
{
    const double mean = SeriesMean(x, n);
    Vec1<double> xv(x);
    for (int i = 1; i <= n; ++i) xv(i) -= mean;
}

int SampleAcfPacf(double& gamma0, int n, const double* x, double* acf, double* pacf, int& L,
                  double* work)
{
    if (L <= 0) L = 40;
    // Lags beyond n - 1 have no products, yet the recursion would cost L^2 on them.
    if (n < 1 || L > n - 1) return kStatusBadArgument;
    if (!AllFinite(x, n)) return kStatusNotFinite;

    Vec1<const double> xv(x);
    Vec1<double> w(work), c(acf), pc(pacf);
    bool constant = true;
    for (int i = 1; i <= n; ++i) {
        w(i) = xv(i);
        if (xv(i) != xv(1)) constant = false;
    }
    SubtractMean(work, n);

    // Products are formed on deviations scaled into a safe range (a power of two, exact), so
    // that very large or very small series keep their autocorrelations.
    const double scale = RangeScale(work, n);
    std::vector<double> scaled;
    const double* v = Scaled(work, n, scale, scaled);
    for (int k = 1; k <= L + 1; ++k) {
        double sum = 0.0;
        for (int j = 0; j <= n - k; ++j) sum += v[j + k - 1] * v[j];
        c(k) = sum / n;
    }

    // A constant series has no autocorrelation; so has one whose deviations vanish in rounding.
    // Report it rather than divide by zero.
    if (constant || !(c(1) > 0.0)) {
        gamma0 = 0.0;
        for (int k = 1; k <= L + 1; ++k) c(k) = pc(k) = (k == 1) ? 1.0 : 0.0;
        return kStatusDegenerate;
    }
    for (int k = 2; k <= L + 1; ++k) c(k) /= c(1);
    gamma0 = c(1) / (scale * scale);
    c(1) = 1.0;
    const int status = DurbinLevinson(acf, L + 1, pacf);
    // The autocorrelations stand, but the variance itself does not fit a double.
    if (status == kStatusDone && !(std::isfinite(gamma0) && gamma0 >= kSmallestNormal)) return kStatusOutOfRange;
    return status;
}

int DurbinLevinson(const double* r, int m, double* pacf)
{
    if (m < 2) return kStatusBadArgument;
    if (!AllFinite(r + 1, m - 1)) return kStatusNotFinite;
    Vec1<const double> rv(r);
    Vec1<double> out(pacf);
    std::vector<double> aStore(m), bStore(m), vStore(m);
    Vec1<double> a(aStore.data()), b(bStore.data()), v(vStore.data());

    // a and b hold the predictor coefficients in reverse order: b(j) = phi(k, k+1-j).
    b(1) = rv(2);
    v(1) = 1.0 - rv(2) * rv(2);
    out(1) = 1.0;
    out(2) = rv(2);
    for (int k = 2; k <= m - 1; ++k) {
        if (!(v(k - 1) > 0.0)) {
            for (int h = k; h <= m - 1; ++h) out(h + 1) = 0.0;
            return kStatusDegenerate;
        }
        double sum = 0.0;
        for (int j = 1; j <= k - 1; ++j) sum += rv(j + 1) * b(j);
        a(1) = (rv(k + 1) - sum) / v(k - 1);
        for (int j = 2; j <= k; ++j) a(j) = b(j - 1) - b(k - j + 1) * a(1);
        v(k) = (1.0 - a(1) * a(1)) * v(k - 1);
        for (int j = 1; j <= k; ++j) b(j) = a(j);
        out(k + 1) = a(1);
    }
    return kStatusDone;
}
