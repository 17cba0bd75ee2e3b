#include "numerics/smoothing.h"

#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <vector>

int ExpSmoothPass(double* m, const double* x, int n, double alpha, double& sse)
{
    if (n < 1) return kStatusBadArgument;
    if (!std::isfinite(alpha) || !AllFinite(x, n)) return kStatusNotFinite;
    Vec1<double> mv(m);
    Vec1<const double> xv(x);
    mv(1) = xv(1);
    double sum = 0.0;
    for (int t = 2; t <= n; ++t) {
        mv(t) = mv(t - 1) * (1.0 - alpha) + xv(t) * alpha;
        const double e = xv(t) - mv(t - 1);
        sum += e * e;
    }
    sse = sum;
    return AllFinite(m, n) && std::isfinite(sum) ? kStatusDone : kStatusOutOfRange;
}

int ExponentialSmooth(const double* x, double* m, int n, double& alpha)
{
    if (n < 1) return kStatusBadArgument;
    if (!AllFinite(x, n) || !std::isfinite(alpha)) return kStatusNotFinite;
    double sse = 0.0;
    if (alpha == kExpSmoothSearch) {
        // The sums of squares compare the same on a copy scaled by a power of two, which keeps
        // them finite for very large or very small series.
        std::vector<double> scaled;
        const double* xs = Scaled(x, n, RangeScale(x, n), scaled);
        // The grid is accumulated, not multiplied out, so the constant returned is the sum of
        // that many steps of 0.01.
        double trial = 0.0;
        double best = 0.0;
        if (const int status = ExpSmoothPass(m, xs, n, trial, sse); status != kStatusDone) return status;
        double minimum = sse;
        for (int i = 1; i <= 99; ++i) {
            trial += 0.01;
            if (const int status = ExpSmoothPass(m, xs, n, trial, sse); status != kStatusDone) return status;
            if (sse < minimum) {
                best = trial;
                minimum = sse;
            }
        }
        alpha = best;
    }
    const int status = ExpSmoothPass(m, x, n, alpha, sse);
    // Only the smoothed series is given back, and it stays finite where its sum of squares may not.
    return status == kStatusOutOfRange && AllFinite(m, n) ? kStatusDone : status;
}

int MovingAverageSmooth(const double* x, double* out, int n, const double* w, int q)
{
    if (n < 1 || q < 0) return kStatusBadArgument;
    if (!AllFinite(x, n) || !AllFinite(w, static_cast<long>(q) + 1)) return kStatusNotFinite;
    Vec1<const double> xv(x);
    Vec1<double> o(out);
    for (int t = 1; t <= n; ++t) {
        double sum = w[0] * xv(t);
        for (int j = 1; j <= q; ++j) {
            const int hi = std::min(t + j, n);
            const int lo = std::max(t - j, 1);
            sum += w[j] * (xv(hi) + xv(lo));
        }
        o(t) = sum;
    }
    return AllFinite(out, n) ? kStatusDone : kStatusOutOfRange;
}

int PeriodogramSmoother(const double* I, double* S, int m, const double* W, int q, int n)
{
    if (q < 0 || q >= m) return kStatusBadArgument;
    if (!AllFinite(I, m) || !AllFinite(W, static_cast<long>(q) + 1)) return kStatusNotFinite;
    // Parity from the real half-length, so that rounding of n/2 cannot flip it.
    const double half = n / 2.0;
    const int N = static_cast<int>(half + 0.5);
    const bool even = std::fabs(half - N) <= 0.2;
    Vec1<const double> Iv(I);

    double s0 = W[0] * Iv(1);
    for (int j = 1; j <= q; ++j) s0 += 2.0 * Iv(1 + j) * W[j];
    S[0] = s0;

    for (int k = 1; k <= m; ++k) {
        double sum = W[0] * Iv(k);
        for (int j = 1; j <= q; ++j) {
            const int lo = k - j;
            const double L = lo > 0 ? Iv(lo) : (lo == 0 ? s0 : Iv(-lo));
            const int hi = k + j;
            double H;
            if (hi <= m) H = Iv(hi);
            else if (even) H = Iv(2 * m - hi);
            else H = Iv(2 * m - hi + 1);
            sum += W[j] * (L + H);
        }
        S[k] = sum;
    }
    return AllFinite(S, static_cast<long>(m) + 1) ? kStatusDone : kStatusOutOfRange;
}
