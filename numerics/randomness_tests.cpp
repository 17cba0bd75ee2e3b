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
    std::vector<double> v(P + 1), G(kLeadingDimension * kLeadingDimension);
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

        double D = std::log(s0) + xv(1) * xv(1) / s0;
        for (int t = 2; t <= n; ++t) {
            const int k = std::min(t - 1, p);
            double e = xv(t);
            for (int j = 1; j <= k; ++j) e -= phi[k][j - 1] * xv(t - j);
            D += std::log(v[k]) + e * e / v[k];
        }
        const double aicc = D + 2.0 * (p + 1) * n / (n - p - 2);
        if (best > aicc) {
            best = aicc;
            order = p;
        }
    }
    return order;
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
    std::vector<double> c(lags + 1, 0.0);
    for (int k = 0; k <= std::min(h, n - 1); ++k)
        for (int t = 1; t <= n - k; ++t)
            c[k] += (xv(t) * xv(t) - s0) * (xv(t + k) * xv(t + k) - s0);
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
    long long pairs = 0;
    for (int i = 1; i <= n - 1; ++i)
        for (int j = i + 1; j <= n; ++j)
            if (xv(i) < xv(j)) ++pairs;

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
