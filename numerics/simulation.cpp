#include "numerics/simulation.h"

#include "numerics/arma_acvf.h"
#include "numerics/innovations.h"
#include "numerics/one_based.h"
#include "numerics/status.h"
#include "platform/random.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr double kTwoPi = 6.283185307;
constexpr int kRow = kInnovationsLagRow;
}  // namespace

void NormalDeviate(int n, double* z, int seed)
{
    (void)UniformRandom(seed);
    for (int i = 0; i < n; ++i) {
        const double u1 = UniformRandom(0);
        const double u2 = UniformRandom(0);
        z[i] = std::sqrt(-2.0 * std::log(u1)) * std::sin(kTwoPi * u2);
    }
}

void ArmaSimulate(double* x, int n, const double* coef, int p, int q, double sigma2, int seed)
{
    if (n < 1) return;
    const int m = std::max(p, q);
    std::vector<double> zStore(n), rStore(n);
    NormalDeviate(n, zStore.data(), seed);

    // Unit-variance autocovariances for lags 0..m+1.
    std::vector<double> acvf(m + 2, 0.0);
    if (p > 0) {
        int status = kStatusDone;
        ArmaAcvf(m + 1, kArmaAcvfCompute, acvf.data(), status, 1.0, coef, p, q);
    } else {
        (void)MaAcvf(m + 1, q, coef, acvf.data(), 1.0);
    }
    // Zero-filled so that white noise, whose state covariance is 1 x 1, reads zeros beyond it.
    std::vector<double> KStore(kLeadingDimension * kLeadingDimension, 0.0);
    std::vector<double> ThetaStore(kLeadingDimension * kLeadingDimension, 0.0);
    (void)ArmaStateCovariance(acvf.data(), p, q, coef, KStore.data());

    Vec1<double> xv(x), Z(zStore.data()), r(rStore.data());
    Vec1<const double> phi(coef);
    Mat1<const double> K(KStore.data());
    Mat1<double> th(ThetaStore.data());
    auto s = [&](int t) { return std::sqrt(sigma2 * r(t)); };

    r(1) = K(1, 1);
    // A single observation needs no second row (and has no r(2) to hold it).
    if (n >= 2) {
        th(2, 1) = K(2, 1) / r(1);
        r(2) = K(2, 2) - th(2, 1) * th(2, 1) * r(1);
    }
    xv(1) = s(1) * Z(1);

    const int T = q >= 1 ? 2 * m : p;
    if (T >= 3) {
        int status = kStatusDone;
        InnovationsStartRows(3, T, status, ThetaStore.data(), KStore.data(), rStore.data());
    }
    for (int t = 2; t <= T; ++t) {
        double v = s(t) * Z(t);
        for (int j = 1; j <= t - 1; ++j) v += th(t, t - j) * s(t - j) * Z(t - j);
        xv(t) = v;
    }

    if (q == 0) {
        const double sigma = std::sqrt(sigma2);
        for (int t = p + 1; t <= n; ++t) xv(t) = sigma * Z(t);
    } else {
        if (p > 0) (void)MaAcvf(q + 1, q, coef + p, acvf.data(), 1.0);
        // Lag form of the rows the recursion reads, as in the likelihood: row rr holds time
        // rr + 2m - 53 with its q + rr - 53 most recent weights (older columns would fall before
        // time 1).
        for (int rr = 55 - q; rr <= kRow - 1; ++rr) {
            const int R = rr + 2 * m - 53;
            for (int l = 1; l <= q + rr - 53; ++l) th(rr, l) = th(R, R - l);
        }
        for (int t = 2 * m + 1; t <= n; ++t) {
            InnovationsLagRow(t, q, acvf.data(), rStore.data(), ThetaStore.data());
            double v = s(t) * Z(t);
            for (int j = 1; j <= q; ++j) v += th(kRow, j) * s(t - j) * Z(t - j);
            xv(t) = v;
            for (int rr = kRow - q; rr <= kRow - 1; ++rr)
                for (int c = 1; c <= q + rr - 53; ++c) th(rr, c) = th(rr + 1, c);
        }
    }

    // Undo W(t) = phi(B)X(t), t > m.
    if (p >= 1)
        for (int t = m + 1; t <= n; ++t)
            for (int j = 1; j <= p; ++j) xv(t) += phi(j) * xv(t - j);
}
