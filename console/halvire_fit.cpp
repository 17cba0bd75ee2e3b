#include "console/halvire_fit.h"

#include "console/halvire_model.h"
#include "console/halvire_spectrum.h"
#include "numerics/pattern_search.h"

#include <cmath>
#include <complex>
#include <new>
#include <vector>

namespace {

bool OrdersValid(int p, int q)
{
    return p >= 0 && p <= kHalvireMaxOrder && q >= 0 && q <= kHalvireMaxOrder;
}

// The polynomial 1 + sign c(1) z + ... + sign c(count) z^count through the stability recursion.
bool PolynomialStable(const float* c, int count, float sign)
{
    float a[kHalvireMaxOrder + 1];
    a[0] = 1.0f;
    for (int i = 1; i <= count; ++i) a[i] = sign * c[i - 1];
    return StabilityRecursion(a, count + 1);
}

int Criterion(const float* x, int n, int p, int q, const float* beta, float& F, float& A)
{
    const int np = WhittleWorkingLength(n);
    std::vector<std::complex<float>> y(static_cast<size_t>(np)), Z(static_cast<size_t>(np));
    for (int i = 0; i < np; ++i) y[i] = {x[n - np + i], 0.0f};
    SplitDft(y.data(), np, Z.data(), 1);
    const int m = np / 2;
    std::vector<float> f(static_cast<size_t>(m));
    FracSpectralDensity(m, beta, beta + p, p, q, beta[p + q], f.data());
    float sumR = 0.0f;
    float sumLogF = 0.0f;
    float lastR = 0.0f;
    for (int j = 1; j <= m; ++j) {
        const float fj = f[j - 1];
        if (!(fj > 0.0f) || !std::isfinite(fj)) return 0;
        const float r = std::norm(Z[j]) / static_cast<float>(np) / fj;
        if (j < m) {
            sumR += r;
            sumLogF += std::log(fj);
        } else {
            lastR = r;
        }
    }
    const float a = (lastR + 2.0f * sumR) / static_cast<float>(np);
    const float value = std::log(a) + (std::log(f[m - 1]) + 2.0f * sumLogF) / static_cast<float>(np);
    if (!(a > 0.0f) || !std::isfinite(a) || !std::isfinite(value)) return 0;
    A = a;
    F = value;
    return 1;
}

}  // namespace

bool StabilityRecursion(const float* a, int L)
{
    std::vector<float> c(a, a + L), next(static_cast<size_t>(L));
    while (L > 1) {
        for (int i = 1; i <= L - 1; ++i) next[i - 1] = c[0] * c[i - 1] - c[L - 1] * c[L - i];
        if (!(next[0] > 0.0f)) return false;
        for (int i = 1; i <= L - 1; ++i) c[i - 1] = next[i - 1] / next[0];
        --L;
    }
    return true;
}

int WhittleWorkingLength(int n)
{
    if (n >= 1001 && n <= 2000) return 10 * (n / 10);
    if (n >= 2001 && n <= 4000) return 20 * (n / 20);
    if (n >= 4001 && n <= 10000) return 40 * (n / 40);
    if (n >= 10001 && n <= 20000) return 100 * (n / 100);
    return n - n % 2;
}

int WhittleLikelihood(const float* x, int n, int p, int q, const float* beta, float& F, float& A)
{
    F = kWhittleInadmissible;
    if (n < 2 || n > kHalvireMaxData || !OrdersValid(p, q)) return 0;
    if (!DifferencingAdmissible(beta[p + q])) return 0;
    // Both parts are tested whatever the other's order: an MA part that is not invertible has no
    // place in the fit even without an AR part.
    if (p > 0 && !PolynomialStable(beta, p, -1.0f)) return 0;
    if (q > 0 && !PolynomialStable(beta + p, q, 1.0f)) return 0;
    try {
        return Criterion(x, n, p, q, beta, F, A);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int WhittleSearch(const float* x, int n, int p, int q, float* beta, int k, float& step, float& F, float& A)
{
    F = kWhittleInadmissible;
    A = 0.0f;
    if (n < 2 || n > kHalvireMaxData || !OrdersValid(p, q) || k < 0 || k > p + q + 1 || !(step > 0.0f) ||
        !std::isfinite(step))
        return 0;
    const int dim = p + q + 1;
    auto criterion = [&](const float* point) {
        PatternValue<float> v{kWhittleInadmissible, 0.0f, 0};
        v.status = WhittleLikelihood(x, n, p, q, point, v.F, v.A);
        if (v.status != 1) v.A = 0.0f;
        return v;
    };
    try {
        std::vector<float> point(beta, beta + dim);
        const PatternValue<float> result = PatternSearch(dim, k, point.data(), step, criterion);
        if (result.status != 1) return 0;
        for (int i = 0; i < dim; ++i) beta[i] = point[i];
        F = result.F;
        A = result.A;
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

float WhittleMinus2LogLikelihood(int n, float F)
{
    return static_cast<float>(n) * (std::log(kHalvireTwoPi) + F + 1.0f);
}

float ModelMinus2LogLikelihood(int n, float sigma2, float F, float A)
{
    return static_cast<float>(n) * (std::log(sigma2) + A / sigma2 + std::log(kHalvireTwoPi) + F - std::log(A));
}
