#include "numerics/arar.h"

#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr int kMaxTau = 15;
constexpr double kLongMemoryB = 0.93;
constexpr int kMaxSubsetOrder = 26;

// One applied filter as a polynomial by lag: 1 - c1·B - ... (c at the filter's lags).
std::vector<double> FilterPolynomial(int tau, double b)
{
    std::vector<double> f(tau + 1, 0.0);
    f[0] = 1.0;
    f[tau] = -b;
    return f;
}

std::vector<double> Multiply(const std::vector<double>& u, const std::vector<double>& v)
{
    std::vector<double> w(u.size() + v.size() - 1, 0.0);
    for (std::size_t i = 0; i < u.size(); ++i)
        for (std::size_t j = 0; j < v.size(); ++j) w[i + j] += u[i] * v[j];
    return w;
}

}  // namespace

int ArarTwoLagFit(const double* y, int m, double& a1, double& a2, double* ratio)
{
    if (m < 3) return kStatusBadArgument;
    if (!AllFinite(y, m)) return kStatusNotFinite;
    // The coefficients do not depend on the scale of y; extreme values are scaled first.
    std::vector<double> scaled;
    y = Scaled(y, m, RangeScale(y, m), scaled);
    Vec1<const double> yv(y);
    double s00 = 0.0, s01 = 0.0, s11 = 0.0, s12 = 0.0, s02 = 0.0;
    for (int t = 1; t <= m - 2; ++t) {
        s00 += yv(t + 1) * yv(t + 1);
        s01 += yv(t) * yv(t + 1);
        s11 += yv(t) * yv(t);
        s12 += yv(t + 2) * yv(t + 1);
        s02 += yv(t + 2) * yv(t);
    }
    const double det = s11 * s00 - s01 * s01;
    if (det == 0.0) return kStatusDegenerate;
    const double b1 = (s11 * s12 - s02 * s01) / det;
    const double b2 = (s02 * s00 - s12 * s01) / det;
    if (!std::isfinite(b1) || !std::isfinite(b2)) return kStatusOutOfRange;
    if (ratio) {
        double residual = 0.0, total = 0.0;
        for (int t = 1; t <= m - 2; ++t) {
            const double e = yv(t + 2) - b1 * yv(t + 1) - b2 * yv(t);
            residual += e * e;
            total += yv(t + 2) * yv(t + 2);
        }
        if (total == 0.0) return kStatusDegenerate;
        if (!std::isfinite(residual) || !std::isfinite(total)) return kStatusOutOfRange;
        *ratio = residual / total;
    }
    a1 = b1;
    a2 = b2;
    return kStatusDone;
}

int ArarMemoryShortening(const double* y, int n, std::vector<double>& psi,
                         std::vector<ArarShorteningPass>* passes)
{
    if (n < kArarMinObservations) return kStatusBadArgument;
    if (!AllFinite(y, n)) return kStatusNotFinite;
    // Every filter is fitted by ratios of sums of products, which do not depend on the scale of
    // y: extreme values are scaled by a power of two so that those sums stay finite.
    std::vector<double> cur(y, y + n), next;
    if (const double scale = RangeScale(y, n); scale != 1.0)
        for (double& v : cur) v *= scale;
    int m = n;
    // Short series may take fewer filters: the pass counter starts nearer its limit of 3.
    int c = n < 35 ? 2 : (n < 50 ? 1 : 0);
    std::vector<double> product{1.0};
    std::vector<ArarShorteningPass> found;
    while (c < 3) {
        // n >= 30 and at most two earlier filters leave m >= 20 > kMaxTau here.
        Vec1<const double> yv(cur.data());
        int bestTau = 0;
        double bestErr = 0.0, bestB = 0.0;
        for (int tau = 1; tau <= kMaxTau; ++tau) {
            double cross = 0.0, lower = 0.0, upper = 0.0;
            for (int t = 1; t <= m - tau; ++t) {
                cross += yv(t) * yv(t + tau);
                lower += yv(t) * yv(t);
                upper += yv(t + tau) * yv(t + tau);
            }
            if (lower == 0.0 || upper == 0.0) return kStatusDegenerate;
            const double b = cross / lower;
            double err = 0.0;
            for (int t = 1; t <= m - tau; ++t) {
                const double e = yv(t + tau) - b * yv(t);
                err += e * e;
            }
            err /= upper;
            if (bestTau == 0 || err < bestErr) {
                bestTau = tau;
                bestErr = err;
                bestB = b;
            }
        }
        ArarShorteningPass pass;
        pass.tau = bestTau;
        pass.b = bestB;
        pass.err = bestErr;
        std::vector<double> filter;
        if (bestErr <= 8.0 / m || (bestTau >= 3 && bestB >= kLongMemoryB)) {
            filter = FilterPolynomial(bestTau, bestB);
            pass.action = ArarPassAction::LagFilter;
        } else if (bestB >= kLongMemoryB) {
            double a1 = 0.0, a2 = 0.0;
            const int status = ArarTwoLagFit(cur.data(), m, a1, a2, passes ? &pass.ratio : nullptr);
            if (status != kStatusDone) return status;
            filter = {1.0, -a1, -a2};
            pass.action = ArarPassAction::TwoLagFilter;
            pass.a1 = a1;
            pass.a2 = a2;
        } else {
            found.push_back(pass);
            break;
        }
        found.push_back(pass);
        const int lag = static_cast<int>(filter.size()) - 1;
        next.assign(m - lag, 0.0);
        for (int t = 1; t <= m - lag; ++t) {
            double v = 0.0;
            for (int k = 0; k <= lag; ++k) v += filter[k] * yv(t + lag - k);
            next[t - 1] = v;
        }
        cur.swap(next);
        m -= lag;
        product = Multiply(product, filter);
        ++c;
        // A filtered series can grow by the filter's coefficients: keep it in range too.
        if (!AllFinite(cur.data(), m)) return kStatusOutOfRange;
        if (const double scale = RangeScale(cur.data(), m); scale != 1.0)
            for (double& v : cur) v *= scale;
    }
    if (!AllFinite(product.data(), static_cast<long>(product.size()))) return kStatusOutOfRange;
    psi = product;
    if (passes) *passes = std::move(found);
    return kStatusDone;
}

int ArarMatrixInverse(int n, double* A, int lda)
{
    if (n < 1 || lda < n) return kStatusBadArgument;
    for (int j = 0; j < n; ++j)
        if (!AllFinite(A + static_cast<long>(j) * lda, n)) return kStatusNotFinite;
    Mat1<double> a(A, lda);
    for (int i = 1; i <= n; ++i) a(i, i) += 1.0;
    for (int i = 1; i <= n; ++i) {
        const double p = a(i, i) - 1.0;
        if (p == 0.0) return kStatusInversionFailed;
        for (int k = 1; k <= n; ++k) a(i, k) /= p;
        for (int j = 1; j <= n; ++j) {
            if (j == i) continue;
            const double f = a(j, i);
            for (int k = 1; k <= n; ++k) a(j, k) -= f * a(i, k);
        }
    }
    for (int i = 1; i <= n; ++i) a(i, i) -= 1.0;
    for (int j = 0; j < n; ++j)
        if (!AllFinite(A + static_cast<long>(j) * lda, n)) return kStatusInversionFailed;
    return kStatusDone;
}

int ArarSubsetYuleWalker(const double* rho, int l1, int l2, int l3, double* a)
{
    if (!(1 < l1 && l1 < l2 && l2 < l3)) return kStatusBadArgument;
    if (!AllFinite(rho, static_cast<long>(l3) + 1)) return kStatusNotFinite;
    const int lambda[4] = {1, l1, l2, l3};
    double R[16];
    Mat1<double> r(R, 4);
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j) r(i, j) = rho[std::abs(lambda[i - 1] - lambda[j - 1])];
    const int status = ArarMatrixInverse(4, R, 4);
    if (status != kStatusDone) return status;
    double solution[4];
    for (int i = 1; i <= 4; ++i) {
        double v = 0.0;
        for (int j = 1; j <= 4; ++j) v += r(i, j) * rho[lambda[j - 1]];
        solution[i - 1] = v;
    }
    if (!AllFinite(solution, 4)) return kStatusOutOfRange;
    std::copy(solution, solution + 4, a);
    return kStatusDone;
}

int ArarSubsetLikelihood(const double* phi, int p, const double* s, int m, double& ell,
                         double& sigma2, int sumFrom)
{
    if (p < 1 || p > kMaxSubsetOrder || m <= p
        || (sumFrom != kArarSumFromFirst && sumFrom != kArarSumFromSecond))
        return kStatusBadArgument;
    if (!AllFinite(phi, p) || !AllFinite(s, m)) return kStatusNotFinite;
    Vec1<const double> phiv(phi);
    Vec1<const double> sv(s);

    // Model autocovariances for unit noise variance: row r holds
    // sum over j of -c_j·gamma*(|r - j|) = delta(r, 0), with c_0 = -1 and c_j = phi_j.
    const int size = p + 1;
    std::vector<double> M(size * size, 0.0);
    Mat1<double> mv(M.data(), size);
    for (int r = 0; r <= p; ++r)
        for (int j = 0; j <= p; ++j) {
            const double c = j == 0 ? -1.0 : phiv(j);
            mv(r + 1, std::abs(r - j) + 1) += -c;
        }
    if (ArarMatrixInverse(size, M.data(), size) != kStatusDone) return kStatusInversionFailed;
    std::vector<double> gamma(size);
    for (int k = 0; k <= p; ++k) gamma[k] = mv(k + 1, 1);

    // Innovations algorithm for t = 1..p: theta(i, j) in a lower triangle, v[i] = r(i+1).
    std::vector<double> v(p, 0.0), theta(p * p, 0.0), shat(m + 1, 0.0), r(m + 1, 1.0);
    auto th = [&](int i, int j) -> double& { return theta[(i - 1) * p + (j - 1)]; };
    v[0] = gamma[0];
    if (v[0] <= 0.0) return kStatusDegenerate;
    for (int i = 1; i < p; ++i) {
        for (int k = 0; k < i; ++k) {
            double sum = gamma[i - k];
            for (int j = 0; j < k; ++j) sum -= th(k, k - j) * th(i, i - j) * v[j];
            th(i, i - k) = sum / v[k];
        }
        double vi = gamma[0];
        for (int j = 0; j < i; ++j) vi -= th(i, i - j) * th(i, i - j) * v[j];
        if (vi <= 0.0) return kStatusDegenerate;
        v[i] = vi;
    }
    for (int t = 1; t <= p; ++t) {
        r[t] = v[t - 1];
        double pred = 0.0;
        for (int j = 1; j < t; ++j) pred += th(t - 1, j) * (sv(t - j) - shat[t - j]);
        shat[t] = pred;
    }
    for (int t = p + 1; t <= m; ++t) {
        double pred = 0.0;
        for (int j = 1; j <= p; ++j) pred += phiv(j) * sv(t - j);
        shat[t] = pred;
    }

    double Q = 0.0;
    for (int t = sumFrom; t <= m; ++t) Q += (sv(t) - shat[t]) * (sv(t) - shat[t]) / r[t];
    const double s2 = Q / m;
    if (!(s2 > 0.0)) return kStatusDegenerate;
    if (!std::isfinite(s2) || s2 < kSmallestNormal) return kStatusOutOfRange;
    double logSum = 0.0;
    for (int t = 1; t <= p; ++t) logSum += std::log(r[t]);
    sigma2 = s2;
    ell = std::log(s2) + logSum / m;
    return kStatusDone;
}

int ArarLagSearch(const double* rho, double gamma0, int L, int criterion, const double* S,
                  int m, int* lags, double* a, double* value, double* variance, int sumFrom)
{
    if (L < 4 || L > 26 || criterion < 1 || criterion > 3
        || (criterion == 3 && (S == nullptr || m <= L))
        || (sumFrom != kArarSumFromFirst && sumFrom != kArarSumFromSecond))
        return kStatusBadArgument;
    if (!AllFinite(rho, static_cast<long>(L) + 1) || !std::isfinite(gamma0) ||
        (criterion == 3 && !AllFinite(S, m)))
        return kStatusNotFinite;
    bool found = false;
    double bestValue = 0.0, bestVariance = 0.0;
    std::vector<double> phi;
    for (int l1 = 2; l1 <= L - 2; ++l1)
        for (int l2 = l1 + 1; l2 <= L - 1; ++l2)
            for (int l3 = l2 + 1; l3 <= L; ++l3) {
                double c[4];
                // A singular system has no coefficients to offer; the triple is not a candidate.
                if (ArarSubsetYuleWalker(rho, l1, l2, l3, c) != kStatusDone) continue;
                const double whiteNoise =
                    gamma0
                    * (1.0 - c[0] * rho[1] - c[1] * rho[l1] - c[2] * rho[l2] - c[3] * rho[l3]);
                // A variance that overflowed ranks no triple.
                if (std::isnan(whiteNoise)) continue;
                double score = whiteNoise;
                if (criterion == 3) {
                    phi.assign(l3, 0.0);
                    phi[0] = c[0];
                    phi[l1 - 1] = c[1];
                    phi[l2 - 1] = c[2];
                    phi[l3 - 1] = c[3];
                    double ell = 0.0, sigma2 = 0.0;
                    score = ArarSubsetLikelihood(phi.data(), l3, S, m, ell, sigma2, sumFrom)
                                    == kStatusDone
                                ? m * ell + 2.0 * 4
                                : kArarRejected;
                }
                if (!found || score < bestValue) {
                    found = true;
                    bestValue = score;
                    bestVariance = whiteNoise;
                    lags[0] = 1;
                    lags[1] = l1;
                    lags[2] = l2;
                    lags[3] = l3;
                    std::copy(c, c + 4, a);
                }
            }
    if (!found) return kStatusInversionFailed;
    if (value) *value = bestValue;
    if (variance) *variance = bestVariance;
    return kStatusDone;
}

int ArarShortenedSeries(const double* Y, int n, const std::vector<double>& psi,
                        std::vector<double>& S, double& mean)
{
    if (psi.empty() || static_cast<int>(psi.size()) - 1 > kArarMaxShorteningDegree
        || psi[0] != 1.0 || n <= static_cast<int>(psi.size()) - 1)
        return kStatusBadArgument;
    const int D = static_cast<int>(psi.size()) - 1;
    const int m = n - D;
    Vec1<const double> yv(Y);
    std::vector<double> shortened(m);
    for (int t = 1; t <= m; ++t) {
        double v = 0.0;
        for (int k = 0; k <= D; ++k) v += psi[k] * yv(t + D - k);
        shortened[t - 1] = v;
    }
    // Tested before centring: the mean of equal values need not equal them, and the rounding
    // left would pass for a variance.
    if (std::all_of(shortened.begin(), shortened.end(),
                    [&](double v) { return v == shortened[0]; }))
        return kStatusDegenerate;
    double sum = 0.0;
    for (double v : shortened) sum += v;
    mean = sum / m;
    for (double& v : shortened) v -= mean;
    S = std::move(shortened);
    return kStatusDone;
}

int ArarSubsetFit(const double* Y, int n, const std::vector<double>& psi, int criterion,
                  ArarFitResult& fit, int sumFrom)
{
    if (criterion < 1 || criterion > 3 || psi.empty()
        || static_cast<int>(psi.size()) - 1 > kArarMaxShorteningDegree || psi[0] != 1.0
        || (sumFrom != kArarSumFromFirst && sumFrom != kArarSumFromSecond))
        return kStatusBadArgument;
    const int D = static_cast<int>(psi.size()) - 1;
    if (!AllFinite(psi.data(), static_cast<long>(psi.size()))) return kStatusNotFinite;
    const int L = std::min(criterion == 2 ? 26 : 13, n - 2 * D - 1);
    if (L < 4) return kArarTooFewLags;
    if (!AllFinite(Y, n)) return kStatusNotFinite;
    // Lags and coefficients do not depend on the scale of Y; the mean and the error scale with
    // it. Extreme series are fitted scaled by a power of two and those two scaled back.
    const double scale = RangeScale(Y, n);
    std::vector<double> scaled;
    Y = Scaled(Y, n, scale, scaled);
    Vec1<const double> yv(Y);

    const int m = n - D;
    std::vector<double> S;
    double mean = 0.0;
    const int shortened = ArarShortenedSeries(Y, n, psi, S, mean);
    if (shortened != kStatusDone) return shortened;

    // L <= m - D - 1 <= 26 keeps every lag the search reads within the series.
    std::vector<double> gamma(L + 1, 0.0), rho(L + 1, 0.0);
    for (int k = 0; k <= L; ++k) {
        double sum = 0.0;
        for (int t = 0; t + k < m; ++t) sum += S[t] * S[t + k];
        gamma[k] = sum / m;
    }
    if (gamma[0] == 0.0) return kStatusDegenerate;
    for (int k = 0; k <= L; ++k) rho[k] = gamma[k] / gamma[0];

    int lags[4];
    double a[4];
    double value = 0.0, variance = 0.0;
    const int status = ArarLagSearch(rho.data(), gamma[0], L, criterion, S.data(), m, lags, a,
                                     &value, &variance, sumFrom);
    if (status != kStatusDone) return status;

    std::vector<double> phiPoly(L + 1, 0.0);
    phiPoly[0] = 1.0;
    for (int i = 0; i < 4; ++i) phiPoly[lags[i]] = -a[i];
    std::vector<double> xi = Multiply(psi, phiPoly);  // lags 0..L+D exactly

    const double level = mean * (1.0 - a[0] - a[1] - a[2] - a[3]);
    const int K = lags[3] + D;
    double sse = 0.0;
    for (int t = K + 1; t <= n; ++t) {
        double fitted = level;
        for (int j = 1; j <= K; ++j) fitted -= xi[j] * yv(t - j);
        sse += (yv(t) - fitted) * (yv(t) - fitted);
    }

    // Back to the scale of Y: variances by the square of the factor, the likelihood criterion
    // (m times a log variance, plus a constant) by m times its log.
    const double fitMean = mean / scale, rootMse = std::sqrt(sse / (n - K)) / scale;
    const double fitVariance = variance / scale / scale;
    const double fitValue =
        criterion == 3 ? value - 2.0 * m * std::log(scale) : value / scale / scale;
    if (!std::isfinite(fitMean) || !std::isfinite(rootMse) || !std::isfinite(fitVariance)
        || !std::isfinite(fitValue) || (variance != 0.0 && fitVariance == 0.0)
        || !AllFinite(xi.data(), static_cast<long>(xi.size())))
        return kStatusOutOfRange;
    fit.psi = psi;
    fit.maxLag = L;
    std::copy(lags, lags + 4, fit.lags);
    std::copy(a, a + 4, fit.coef);
    fit.xi = std::move(xi);
    fit.mean = fitMean;
    fit.rootMse = rootMse;
    fit.criterionValue = fitValue;
    fit.whiteNoiseVariance = fitVariance;
    return kStatusDone;
}

int ArarForecast(const double* Y, int n, const ArarFitResult& fit, int h, double* F)
{
    const int reach = static_cast<int>(fit.xi.size()) - 1;
    if (reach < 0 || n <= reach || h < 0) return kStatusBadArgument;
    if (!AllFinite(Y, n) || !AllFinite(fit.xi.data(), reach + 1) || !std::isfinite(fit.mean) ||
        !AllFinite(fit.coef, 4))
        return kStatusNotFinite;
    const double level =
        fit.mean * (1.0 - fit.coef[0] - fit.coef[1] - fit.coef[2] - fit.coef[3]);
    std::vector<double> z(Y, Y + n);
    z.resize(n + h);
    for (int T = n + 1; T <= n + h; ++T) {
        double v = level;
        for (int j = 1; j <= reach; ++j) v -= fit.xi[j] * z[T - j - 1];
        z[T - 1] = v;
    }
    // An explosive filter, or a series near the top of the range, runs out of doubles.
    if (!AllFinite(z.data() + n, h)) return kStatusOutOfRange;
    std::copy(z.begin() + n, z.end(), F);
    return kStatusDone;
}
