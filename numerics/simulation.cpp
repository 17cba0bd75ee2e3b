#include "numerics/simulation.h"

#include "numerics/arma_acvf.h"
#include "numerics/innovations.h"
#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"
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

int ArmaSimulate(double* x, int n, const double* coef, int p, int q, double sigma2, int seed)
{
    if (p < 0 || p > kMaxArmaOrder || q < 0 || q > kMaxArmaOrder) return kStatusBadArgument;
    const int m = std::max(p, q);
    // The start rows of the recursion fill times 1..2m (1..p without a moving average).
    if (n < std::max(q >= 1 ? 2 * m : p, 1)) return kStatusBadArgument;
    if (!AllFinite(coef, p + q) || !std::isfinite(sigma2)) return kStatusNotFinite;
    if (sigma2 < 0.0) return kStatusBadArgument;

    // Unit-variance autocovariances for lags 0..m+1.
    std::vector<double> acvf(m + 2, 0.0);
    int status = kStatusDone;
    if (p > 0)
        ArmaAcvf(m + 1, kArmaAcvfCompute, acvf.data(), status, 1.0, coef, p, q);
    else
        status = MaAcvf(m + 1, q, coef, acvf.data(), 1.0);
    if (status != kStatusDone) return status;
    // Zero-filled so that white noise, whose state covariance is 1 x 1, reads zeros beyond it.
    std::vector<double> KStore(kLeadingDimension * kLeadingDimension, 0.0);
    std::vector<double> ThetaStore(kLeadingDimension * kLeadingDimension, 0.0);
    if (const int covariance = ArmaStateCovariance(acvf.data(), p, q, coef, KStore.data()); covariance != kStatusDone)
        return covariance;

    std::vector<double> path(n), zStore(n), rStore(std::max(n, 2));
    NormalDeviate(n, zStore.data(), seed);
    Vec1<double> xv(path.data()), Z(zStore.data()), r(rStore.data());
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
    const int T = q >= 1 ? 2 * m : p;
    // The start rows are used up to time T; white noise reads none after the first.
    if (!(r(1) > 0.0) || (T >= 2 && !(r(2) > 0.0))) return kStatusNotCausal;
    xv(1) = s(1) * Z(1);

    if (T >= 3) {
        InnovationsStartRows(3, T, status, ThetaStore.data(), KStore.data(), rStore.data());
        if (status != kStatusDone) return status;
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
            if (!(r(t) > 0.0)) return kStatusNotCausal;
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
    if (!AllFinite(path.data(), n)) return kStatusOutOfRange;
    std::copy(path.begin(), path.end(), x);
    return kStatusDone;
}
