#include "numerics/randomness_tests.h"

#include "numerics/acf.h"
#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numerics/yule_walker.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// n(n+2)·sum over k = 1..h of rho(k)^2/(n-k); rho[k+1] = lag k. Lags of n or more have no
// products and would divide by n-k <= 0, so they are left out.
double Portmanteau(int n, int h, const double* rho)
{
    double sum = 0.0;
    for (int k = 1; k <= std::min(h, n - 1); ++k) sum += rho[k] * rho[k] / (n - k);
    return static_cast<double>(n) * (n + 2) * sum;
}

// Minimum-AICC order of the Yule-Walker autoregressions of orders 0..P, from the exact Gaussian
// -2 log-likelihood (without n·ln 2pi) of each fit; the first times use the fits of lower order.
int MinimumAiccOrder(const double* x, int n, int P, const std::vector<double>& acf, double s0)
{
    if (P < 1 || !(s0 > 0.0)) return 0;
    Vec1<const double> xv(x);
    std::vector<std::vector<double>> phi(P + 1);  // phi[p][j-1] = phi(p, j)
    constexpr int kBlock = 512;
    std::vector<double> v(P + 1), logv(P + 1), e(kBlock), G(kLeadingDimension * kLeadingDimension);
    double best = n * (std::log(s0) + 1.0) + 2.0 * n / (n - 2);
    int order = 0;
    for (int p = 1; p <= P; ++p) {
        phi[p].assign(p, 0.0);
        // acf[1] = 1 stands in for gamma(0): the fit needs only the ratios.
        if (YuleWalkerFit(p, G.data(), acf.data(), phi[p].data()) != kStatusDone) break;
        double explained = 0.0;
        for (int j = 1; j <= p; ++j) explained += phi[p][j - 1] * acf[j];
        v[p] = s0 * (1.0 - explained);
        if (!(v[p] > 0.0)) break;

        logv[p] = std::log(v[p]);
        double D = std::log(s0) + xv(1) * xv(1) / s0;
        for (int t = 2; t <= std::min(p, n); ++t) {
            const int k = t - 1;
            double e = xv(t);
            for (int j = 1; j <= k; ++j) e -= phi[k][j - 1] * xv(t - j);
            D += logv[k] + e * e / v[k];
        }
        // From t = p+1 on every time uses order p. The residuals of a block of times are formed
        // side by side, each with the same operations in the same order as one at a time.
        for (int t0 = p + 1; t0 <= n; t0 += kBlock) {
            const int count = std::min(kBlock, n - t0 + 1);
            for (int i = 0; i < count; ++i) e[i] = xv(t0 + i);
            for (int j = 1; j <= p; ++j) {
                const double c = phi[p][j - 1];
                const double* lagged = x + (t0 - 1 - j);
                for (int i = 0; i < count; ++i) e[i] -= c * lagged[i];
            }
            for (int i = 0; i < count; ++i) D += logv[p] + e[i] * e[i] / v[p];
        }
        const double aicc = D + 2.0 * (p + 1) * n / (n - p - 2);
        if (best > aicc) {
            best = aicc;
            order = p;
        }
    }
    return order;
}

// c(k) = sum for t = 1..n-k of (x(t)^2 - m2)·(x(t+k)^2 - m2), k = 0..K, in size+1 elements.
// Four lags are summed in one sweep, each in its own sum in the order of t. y: n doubles of work.
std::vector<double> SquaresAutocovariance(const double* x, int n, int K, double m2, int size, double* y)
{
    std::vector<double> c(static_cast<size_t>(size) + 1, 0.0);
    for (int t = 0; t < n; ++t) y[t] = x[t] * x[t] - m2;
    int k = 0;
    for (; k + 3 <= K; k += 4) {
        double c0 = 0.0, c1 = 0.0, c2 = 0.0, c3 = 0.0;
        int t = 0;
        for (; t < n - k - 3; ++t) {
            c0 += y[t] * y[t + k];
            c1 += y[t] * y[t + k + 1];
            c2 += y[t] * y[t + k + 2];
            c3 += y[t] * y[t + k + 3];
        }
        for (; t < n - k - 2; ++t) {
            c0 += y[t] * y[t + k];
            c1 += y[t] * y[t + k + 1];
            c2 += y[t] * y[t + k + 2];
        }
        for (; t < n - k - 1; ++t) {
            c0 += y[t] * y[t + k];
            c1 += y[t] * y[t + k + 1];
        }
        for (; t < n - k; ++t) c0 += y[t] * y[t + k];
        c[k] = c0;
        c[k + 1] = c1;
        c[k + 2] = c2;
        c[k + 3] = c3;
    }
    for (; k <= K; ++k) {
        double sum = 0.0;
        for (int t = 0; t < n - k; ++t) sum += y[t] * y[t + k];
        c[k] = sum;
    }
    return c;
}

// The number of pairs i < j with x(i) < x(j), by a merge sort that counts, for each value of a
// right run, the values of the left run below it: O(n log n), the same integer as the count over
// all pairs. Equal values are taken from the right run first, so they never count. A NaN compares
// false with everything and so takes part in no pair; it is left out of the sort. a: n doubles
// of work.
long long IncreasingPairs(const double* x, int n, double* a)
{
    size_t m = 0;
    for (int i = 0; i < n; ++i)
        if (x[i] == x[i]) a[m++] = x[i];
    std::vector<double> bStore(m);
    double* b = bStore.data();
    long long pairs = 0;
    // Bottom-up: runs of width w are merged pairwise from a into b, then the buffers swap. The
    // merge step chooses by arithmetic, not by a branch, which random data would mispredict.
    for (size_t w = 1; w < m; w *= 2) {
        for (size_t lo = 0; lo < m; lo += 2 * w) {
            const size_t mid = std::min(lo + w, m), hi = std::min(lo + 2 * w, m);
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                const bool left = a[i] < a[j];
                b[k++] = left ? a[i] : a[j];
                pairs += left ? 0 : static_cast<long long>(i - lo);
                i += left;
                j += !left;
            }
            while (i < mid) b[k++] = a[i++];
            while (j < hi) {
                pairs += static_cast<long long>(mid - lo);
                b[k++] = a[j++];
            }
        }
        std::swap(a, b);
    }
    return pairs;
}

}  // namespace

int RandomnessTests(const double* x, int n, int h, int& order, double& qLB, double& qML,
                    double* tp, double* ds, double* rk)
{
    if (n < 3 || h < 1) return kStatusBadArgument;
    if (!AllFinite(x, n)) return kStatusNotFinite;
    // Every statistic is unchanged when the series is scaled; very large or very small values
    // are scaled by a power of two so that their squares neither overflow nor vanish.
    std::vector<double> scaled;
    x = Scaled(x, n, RangeScale(x, n), scaled);

    Vec1<const double> xv(x);
    // Lags of n or more have no products: they add nothing to the sums.
    int lags = std::min(h, n - 1);
    std::vector<double> acf(lags + 1), pacf(lags + 1), work(n);
    double gamma0 = 0.0;
    // A constant series leaves acf at 0 beyond lag 0, and qLB = 0 with it.
    const int acfStatus = SampleAcfPacf(gamma0, n, x, acf.data(), pacf.data(), lags, work.data());
    if (acfStatus != kStatusDone && acfStatus != kStatusDegenerate) return acfStatus;
    qLB = Portmanteau(n, h, acf.data());

    double sumSquares = 0.0;
    for (int t = 1; t <= n; ++t) sumSquares += xv(t) * xv(t);
    const double s0 = sumSquares / n;
    // Past n-3 orders the AICC penalty 2(p+1)n/(n-p-2) divides by zero or turns negative.
    order = MinimumAiccOrder(x, n, std::min({h, kMaxArmaOrder, n - 3}), acf, s0);

    // McLeod-Li: autocorrelations of the squares about their mean.
    // The demeaned copy is no longer needed: its space serves the squares, then the sort.
    const std::vector<double> c = SquaresAutocovariance(x, n, std::min(h, n - 1), s0, lags, work.data());
    if (c[0] > 0.0) {
        std::vector<double> rw(lags + 1);
        for (int k = 0; k <= lags; ++k) rw[k] = c[k] / c[0];
        qML = Portmanteau(n, h, rw.data());
    } else {
        qML = 0.0;
    }

    int turns = 0, rises = 0;
    for (int i = 2; i <= n - 1; ++i)
        if ((xv(i - 1) < xv(i) && xv(i) > xv(i + 1)) || (xv(i - 1) > xv(i) && xv(i) < xv(i + 1)))
            ++turns;
    for (int i = 1; i <= n - 1; ++i)
        if (xv(i + 1) > xv(i)) ++rises;
    const long long pairs = IncreasingPairs(x, n, work.data());

    const double dn = n;
    tp[0] = turns;
    tp[1] = 2.0 * (dn - 2.0) / 3.0;
    tp[2] = std::sqrt((16.0 * dn - 29.0) / 90.0);
    ds[0] = rises;
    ds[1] = (dn - 1.0) / 2.0;
    ds[2] = std::sqrt((dn + 1.0) / 12.0);
    rk[0] = static_cast<double>(pairs);
    rk[1] = dn * (dn - 1.0) / 4.0;
    rk[2] = std::sqrt(dn * (dn - 1.0) * (2.0 * dn + 5.0) / 72.0);
    if (!std::isfinite(qLB) || !std::isfinite(qML)) return kStatusOutOfRange;
    return acfStatus;
}
