#include "numerics/spectral_likelihood.h"

#include "numerics/one_based.h"
#include "numerics/pattern_search.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <cmath>
#include <complex>
#include <vector>

namespace {

using Complex = std::complex<double>;

bool ArgumentsValid(int m, int N, int p, int q)
{
    return m >= 1 && N >= 1 && p >= 0 && p <= kMaxArmaOrder && q >= 0 && q <= kMaxArmaOrder;
}

// Schur-Cohn step-down test of a(0..k), a(0) > 0: true when every root lies outside the unit
// circle. Each step is rescaled by its leading coefficient; the step squares the coefficients'
// scale, so without rescaling high orders underflow to 0 and stable polynomials fail. A positive
// scale does not change the sign of any later leading coefficient.
bool StepDownStable(std::vector<double> a)
{
    std::vector<double> b(a.size());
    for (int k = static_cast<int>(a.size()) - 1; k >= 1; --k) {
        for (int i = 0; i <= k - 1; ++i) b[i] = a[0] * a[i] - a[k] * a[k - i];
        if (!(b[0] > 0.0)) return false;
        for (int i = 0; i <= k - 1; ++i) a[i] = b[i] / b[0];
    }
    return true;
}

}  // namespace

int SpectralLikelihood(const double* omega, const double* I, int m, int N, int p, int q,
                       const double* beta, double& F, double& sigma2)
{
    if (!ArgumentsValid(m, N, p, q)) return kStatusBadArgument;
    if (!AllFinite(omega, m) || !AllFinite(I, m) || !AllFinite(beta, p + q + 1)) return kStatusNotFinite;
    const bool even = std::fabs(N / 2.0 - N / 2) < 0.1;
    Vec1<const double> b(beta), w(omega), Iv(I);
    const double d = b(p + q + 1);

    F = kInadmissibleCriterion;
    if (!(std::fabs(d) < 0.5)) return kStatusNotCausal;
    std::vector<double> poly(p + 1);
    poly[0] = 1.0;
    for (int i = 1; i <= p; ++i) poly[i] = -b(i);
    if (!StepDownStable(poly)) return kStatusNotCausal;
    poly.assign(q + 1, 1.0);
    for (int i = 1; i <= q; ++i) poly[i] = b(p + i);
    if (!StepDownStable(poly)) return kStatusNotCausal;

    std::vector<double> gStore(m);
    Vec1<double> g(gStore.data());
    double S = 0.0, L = 0.0;
    for (int j = 1; j <= m; ++j) {
        const Complex z(std::cos(w(j)), std::sin(w(j)));
        Complex th(0.0, 0.0), ph(0.0, 0.0);
        for (int i = q; i >= 1; --i) th = (th + b(p + i)) * z;
        th += 1.0;
        for (int i = p; i >= 1; --i) ph = (ph - b(i)) * z;
        ph += 1.0;
        // The step-down test excludes phi(z) = 0 and theta(z) = 0 up to rounding; a density
        // that still comes out 0 or infinite is treated as outside the region.
        const double ratio = std::abs(th / ph);
        g(j) = ratio * ratio * std::pow(std::abs(1.0 - z), -2.0 * d);
        if (!(g(j) > 0.0) || !std::isfinite(g(j))) return kStatusNotCausal;
        S += Iv(j) / g(j);
        L += std::log(g(j));
    }

    double s2 = S / N;
    if (even) s2 = s2 - 0.5 * Iv(m) / (g(m) * N);
    if (!(s2 > 0.0)) {
        sigma2 = s2;
        return kStatusDegenerate;
    }
    // Ordinates near the top of the double range overflow the sum; tiny ones underflow it.
    if (!std::isfinite(s2) || s2 < kSmallestNormal || !std::isfinite(L)) return kStatusOutOfRange;
    sigma2 = s2;
    double f = std::log(s2) + 2.0 * L / N;
    if (even) f = f - std::log(g(m)) / N;
    F = f;
    return kStatusDone;
}

int SpectralLikelihoodSearch(const double* omega, const double* I, int m, int N, int p, int q,
                             double* phi, double* theta, double& d, double& h, int searchD,
                             double& sigma2, double& F)
{
    if (!ArgumentsValid(m, N, p, q) || !(h > 0.0) || !std::isfinite(h)) return kStatusBadArgument;
    if (!AllFinite(omega, m) || !AllFinite(I, m) || !AllFinite(phi, p) || !AllFinite(theta, q) ||
        !std::isfinite(d))
        return kStatusNotFinite;
    const int dim = p + q + 1;
    const int K = searchD != 0 ? dim : dim - 1;
    std::vector<double> point(dim);
    for (int i = 0; i < p; ++i) point[i] = phi[i];
    for (int i = 0; i < q; ++i) point[p + i] = theta[i];
    point[dim - 1] = d;

    // The variance of an inadmissible point is 0 so that nothing unset can be returned.
    auto criterion = [&](const double* beta) {
        PatternValue<double> v{kInadmissibleCriterion, 0.0, kStatusNotCausal};
        v.status = SpectralLikelihood(omega, I, m, N, p, q, beta, v.F, v.A);
        if (v.status != kStatusDone) v.A = 0.0;
        return v;
    };
    const PatternValue<double> result = PatternSearch(dim, K, point.data(), h, criterion);

    for (int i = 0; i < p; ++i) phi[i] = point[i];
    for (int i = 0; i < q; ++i) theta[i] = point[p + i];
    if (searchD != 0) d = point[dim - 1];
    F = result.F;
    sigma2 = result.A;
    return result.status;
}
