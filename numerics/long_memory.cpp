#include "numerics/long_memory.h"

#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kFlush = 1e-30;

bool OrdersValid(int dim, int p, int q, int e)
{
    return p >= 0 && p <= kMaxArmaOrder && q >= 0 && q <= kMaxArmaOrder && dim >= p &&
           dim >= q && e >= 2 && e <= kMaxInfinityWeights;
}

}  // namespace

double LogGamma(double x)
{
    if (!(x > 0.0)) return std::numeric_limits<double>::quiet_NaN();
    if (std::isinf(x)) return x;
    // Below 1 the series' own shift x - 1 + 1 loses x to rounding (to 0 under 1e-16); take
    // ln Gamma(x) = ln Gamma(x + 1) - ln x instead.
    if (x < 1.0) return LogGamma(x + 1.0) - std::log(x);
    static const double c[6] = {76.18009173,  -86.50532033,    24.01409822,
                                -1.231739516, 0.120858003e-2, -0.536382e-5};
    double y = x - 1.0;
    double t = y + 5.5;
    t = (y + 0.5) * std::log(t) - t;
    double s = 1.0;
    for (double cj : c) {
        y += 1.0;
        s += cj / y;
    }
    return t + std::log(2.50662827465 * s);
}

int ArmaPsiTable(int dim, int p, int q, const double* phi, const double* theta, int M, int e,
                 double* F)
{
    if (!OrdersValid(dim, p, q, e) || M < 0 || M > kMaxInfinityWeights) return kStatusBadArgument;
    if (!AllFinite(phi, p) || !AllFinite(theta, q)) return kStatusNotFinite;
    // Padded copies: long enough for the M+2 terms of the recursion and for every coefficient,
    // whichever is larger (a short expansion of a high-order model).
    const int len = std::max({M + e, M + 2, std::max(p, q) + 2});
    std::vector<double> phStore(len, 0.0), thStore(len, 0.0);
    Vec1<double> PH(phStore.data()), TH(thStore.data()), f(F);
    Vec1<const double> ph(phi), th(theta);
    PH(1) = TH(1) = 1.0;
    for (int j = 1; j <= p; ++j) PH(1 + j) = ph(j);
    for (int j = 1; j <= q; ++j) TH(1 + j) = th(j);

    f(1) = 1.0;
    for (int k = 2; k <= M + 2; ++k) f(k) = 0.0;
    for (int k = 1; k <= M; ++k) {
        f(k + 1) = TH(k + 1);
        for (int i = 1; i <= std::min(k, p); ++i) {
            if (std::fabs(f(k - i + 1)) < kFlush) f(k - i + 1) = 0.0;
            f(k + 1) += PH(i + 1) * f(k - i + 1);
        }
    }
    // A model far from causal makes the weights grow past any double.
    return AllFinite(F, M + 2) ? kStatusDone : kStatusOutOfRange;
}

int ArmaInfinityWeights(int dim, const double* phi, const double* theta, double* out, int p,
                        int q, double d, int M, int e, int mode)
{
    if (!OrdersValid(dim, p, q, e) || M < 1 || M > kMaxInfinityWeights ||
        (mode != kArInfinity && mode != kMaInfinity))
        return kStatusBadArgument;
    if (!std::isfinite(d) || !AllFinite(phi, p) || !AllFinite(theta, q)) return kStatusNotFinite;
    if (std::fabs(d) > kMaxFractionalD) return kStatusBadArgument;

    // Work on copies, so the caller's model is never touched. The AR-infinity weights of
    // phi/theta are the psi weights of the model with the parts exchanged and negated; the
    // MA-infinity weights carry (1-z)^-d, the binomial series with d negated.
    std::vector<double> ph(dim, 0.0), th(dim, 0.0);
    int pp = p, qq = q;
    double dd = d;
    if (mode == kArInfinity) {
        for (int j = 0; j < dim; ++j) {
            ph[j] = -theta[j];
            th[j] = -phi[j];
        }
        std::swap(pp, qq);
    } else {
        std::copy(phi, phi + dim, ph.begin());
        std::copy(theta, theta + dim, th.begin());
        dd = -d;
    }

    std::vector<double> fStore(M + 2), wStore(M + 2, 0.0);
    const int psiStatus = ArmaPsiTable(dim, pp, qq, ph.data(), th.data(), M, e, fStore.data());
    if (psiStatus != kStatusDone) return psiStatus;
    Vec1<double> F(fStore.data()), W(wStore.data()), o(out);

    W(1) = 1.0;
    for (int k = 2; k <= M; ++k) {
        if (std::fabs(W(k - 1)) < kFlush) W(k - 1) = 0.0;
        W(k) = W(k - 1) * (k - 2 - dd) / (k - 1);
    }
    o(1) = 1.0;
    for (int k = 2; k <= M; ++k) {
        double sum = 0.0;
        for (int i = 1; i <= k; ++i) sum += F(k - i + 1) * W(i);
        o(k) = sum;
    }
    return AllFinite(out, M) ? kStatusDone : kStatusOutOfRange;
}

int FractionalArmaAcf(int p, const double* phi, int q, const double* theta, double d, int M,
                      int L, double* acf, double& gamma0)
{
    // M and L bound the work (of order M^2 + L·M) and the arrays before any is allocated.
    if (!OrdersValid(std::max(p, q), p, q, 2) || !(d > -0.5 && d < 0.5) || M < 1
        || M > kMaxInfinityWeights || L < 0 || L > kMaxFractionalAcfLags)
        return kStatusBadArgument;
    if (!AllFinite(phi, p) || !AllFinite(theta, q)) return kStatusNotFinite;

    // psi(0..M): psiStore[k+1] = psi(k).
    std::vector<double> psiStore(static_cast<size_t>(M) + 2);
    if (ArmaPsiTable(std::max(p, q), p, q, phi, theta, M, 2, psiStore.data()) != kStatusDone)
        return kStatusBadArgument;
    Vec1<const double> psi(psiStore.data());

    // c(m) = sum_j psi(j)psi(j+m): the double sum over (j, k) groups by m = k - j.
    std::vector<double> cStore(static_cast<size_t>(M) + 1);
    Vec1<double> c(cStore.data());
    for (int m = 0; m <= M; ++m) {
        double sum = 0.0;
        for (int j = 0; j + m <= M; ++j) sum += psi(j + 1) * psi(j + m + 1);
        c(m + 1) = sum;
    }

    // rho_Y(0..L+M); rho_Y(-h) = rho_Y(h).
    std::vector<double> rhoStore(static_cast<size_t>(L) + M + 1);
    Vec1<double> rho(rhoStore.data());
    rho(1) = 1.0;
    for (int h = 1; h <= L + M; ++h) rho(h + 1) = rho(h) * (h - 1 + d) / (h - d);

    std::vector<double> gStore(static_cast<size_t>(L) + 1);
    Vec1<double> g(gStore.data());
    for (int h = 0; h <= L; ++h) {
        double sum = c(1) * rho(h + 1);
        for (int m = 1; m <= M; ++m) sum += c(m + 1) * (rho(h + m + 1) + rho(std::abs(h - m) + 1));
        g(h + 1) = sum;
    }

    const double gammaY = std::exp(LogGamma(1.0 - 2.0 * d)) / std::pow(std::exp(LogGamma(1.0 - d)), 2);
    const double g0 = g(1) * gammaY;
    if (!(g(1) > 0.0) || !std::isfinite(g(1)) || !std::isfinite(g0)) return kStatusDegenerate;
    for (int h = 1; h <= L; ++h)
        if (!std::isfinite(g(h + 1) / g(1))) return kStatusDegenerate;

    Vec1<double> out(acf);
    out(1) = 1.0;
    for (int h = 1; h <= L; ++h) out(h + 1) = g(h + 1) / g(1);
    gamma0 = g0;
    return kStatusDone;
}
