#include "console/halvire_model.h"

#include "console/screen.h"
#include "numerics/long_memory.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdlib>
#include <new>
#include <utility>

namespace {

// Weights this small are flushed to 0 before they are used, so that they cannot underflow.
constexpr float kFlushBelow = 1e-30f;

bool OrdersValid(const FracArmaModel& model)
{
    return model.p >= 0 && model.p <= kHalvireMaxOrder && model.q >= 0 && model.q <= kHalvireMaxOrder &&
           std::fabs(model.d) < 0.5f;
}

bool AllFinite(const float* v, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// The Durbin-Levinson recursion over gamma(0..): phi(t, 1..t) and the one-step error variance v(t)
// for t = 1, 2, ...; phi(t, j) is coefficient j of the predictor of x(t + 1) from x(t), ..., x(1).
struct DurbinLevinson {
    const std::vector<float>& gamma;
    std::vector<float> phi;       // phi(t, 1..t) at phi[0..t-1]
    std::vector<float> previous;  // phi(t - 1, 1..t-1)
    float v;
    int t = 0;

    DurbinLevinson(const std::vector<float>& g, int longest) : gamma(g), phi(longest), previous(longest), v(g[0]) {}

    // Advances to t + 1. False when the recursion breaks down (an error variance that is not
    // positive: the autocovariances have lost positive definiteness in rounding).
    bool Step()
    {
        ++t;
        std::swap(phi, previous);
        float sum = gamma[t];
        for (int j = 1; j <= t - 1; ++j) sum -= previous[j - 1] * gamma[t - j];
        const float ptt = sum / v;
        for (int j = 1; j <= t - 1; ++j) phi[j - 1] = previous[j - 1] - ptt * previous[t - j - 1];
        phi[t - 1] = ptt;
        v = (1.0f - ptt * ptt) * v;
        return v > 0.0f && std::isfinite(v);
    }

    // The predictor of x(t + 1): sum over j = 1..t of phi(t, j) x(t + 1 - j).
    float Predict(const float* x) const
    {
        float sum = 0.0f;
        for (int j = 1; j <= t; ++j) sum += phi[j - 1] * x[t - j];
        return sum;
    }
};

void PsiWeights(int p, int q, const float* phi, const float* theta, int N, float* psi)
{
    psi[0] = 1.0f;
    for (int j = 1; j <= N; ++j) {
        float sum = j <= q ? theta[j - 1] : 0.0f;
        for (int i = 1; i <= std::min(j, p); ++i) {
            if (std::fabs(psi[j - i]) < kFlushBelow) psi[j - i] = 0.0f;
            sum += phi[i - 1] * psi[j - i];
        }
        psi[j] = sum;
    }
}

}  // namespace

bool DifferencingAdmissible(float d)
{
    // Half a unit of the display's seventh decimal below 0.5; NaN fails the test.
    return std::fabs(static_cast<double>(d)) < 0.49999995;
}

float HalvireLogGamma(float x)
{
    // Beyond about 4e36, ln Gamma(x) exceeds the single-precision range: an infinity, not a
    // conversion the language leaves undefined.
    const double v = LogGamma(x);
    if (v > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

void ArmaPsiWeights(int p, int q, const float* phi, const float* theta, int N, float* psi)
{
    PsiWeights(p, q, phi, theta, N, psi);
}

void ArmaPsiWeightsAlt(int p, int q, const float* phi, const float* theta, int N, float* psi)
{
    PsiWeights(p, q, phi, theta, N, psi);
}

int FracAcvf(const FracArmaModel& model, int H, int N, std::vector<float>& gamma)
{
    if (!OrdersValid(model) || H < 0 || N < 0 || H > kHalvireMaxSeries || N > kHalvireMaxTerms) return 0;
    try {
        const float d = model.d;
        const float g0 = std::exp(HalvireLogGamma(1.0f - 2.0f * d)) /
                         (std::exp(HalvireLogGamma(1.0f - d)) * std::exp(HalvireLogGamma(1.0f - d)));
        // rho(0..H + N); rho(-k) = rho(k).
        std::vector<float> rho(static_cast<size_t>(H) + N + 1);
        rho[0] = 1.0f;
        for (int k = 0; k < H + N; ++k)
            rho[k + 1] = rho[k] * (static_cast<float>(k) + d) / (static_cast<float>(k) + 1.0f - d);
        std::vector<float> psi(static_cast<size_t>(N) + 1);
        ArmaPsiWeights(model.p, model.q, model.phi, model.theta, N, psi.data());
        // The double sum gathered by s = h - j: c(s) = sum over k of psi(k) rho(s + k) for
        // s = -N..H, then gamma(h) = sum over j of psi(j) c(h - j). The same terms as the double
        // sum, in (H + N) N operations instead of H N^2.
        std::vector<float> c(static_cast<size_t>(H) + N + 1);
        for (int s = -N; s <= H; ++s) {
            float sum = 0.0f;
            for (int k = 0; k <= N; ++k) sum += psi[k] * rho[std::abs(s + k)];
            c[s + N] = sum;
        }
        gamma.assign(static_cast<size_t>(H) + 1, 0.0f);
        for (int h = 0; h <= H; ++h) {
            float sum = 0.0f;
            for (int j = 0; j <= N; ++j) sum += psi[j] * c[h - j + N];
            gamma[h] = g0 * sum;
        }
        return AllFinite(gamma.data(), H + 1) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void FracWeights(const FracArmaModel& model, int M, float* w)
{
    if (M < 1) return;
    std::vector<float> a(static_cast<size_t>(M) + 1);
    ArmaPsiWeightsAlt(model.p, model.q, model.phi, model.theta, M, a.data());
    // Coefficients of (1 - B)^-d.
    std::vector<float> c(static_cast<size_t>(M));
    c[0] = 1.0f;
    for (int k = 1; k <= M - 1; ++k) {
        if (std::fabs(c[k - 1]) < kFlushBelow) c[k - 1] = 0.0f;
        c[k] = c[k - 1] * (static_cast<float>(k - 1) + model.d) / static_cast<float>(k);
    }
    w[0] = 1.0f;
    for (int j = 2; j <= M; ++j) {
        float sum = 0.0f;
        for (int i = 0; i <= j - 1; ++i) sum += c[i] * a[j - 1 - i];
        w[j - 1] = sum;
    }
}

void GaussianNoise(int n, float* z)
{
    for (int i = 0; i < n; ++i) {
        const float u1 = RandomUniform();
        const float u2 = RandomUniform();
        z[i] = std::sin(6.28318548f * u2) * std::sqrt(-2.0f * std::log(u1));
    }
}

int FracSimulate(const FracArmaModel& model, float sigma2, int n, int N, float* x)
{
    if (!(sigma2 > 0.0f) || !std::isfinite(sigma2) || n < 1 || n > kHalvireMaxData) return 0;
    try {
        std::vector<float> gamma;
        if (FracAcvf(model, n, N, gamma) != 1) return 0;
        for (float& g : gamma) g *= sigma2;
        std::vector<float> z(static_cast<size_t>(n));
        GaussianNoise(n, z.data());
        DurbinLevinson recursion(gamma, n);
        if (!(recursion.v > 0.0f)) return 0;
        x[0] = std::sqrt(recursion.v) * z[0];
        for (int t = 1; t <= n - 1; ++t) {
            if (!recursion.Step()) return 0;
            x[t] = recursion.Predict(x) + std::sqrt(recursion.v) * z[t];
        }
        return AllFinite(x, n) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int FracPredict(const FracArmaModel& model, float sigma2, int n, int h, int N, float* x, float* mse)
{
    if (!(sigma2 > 0.0f) || !std::isfinite(sigma2) || n < 1 || h < 0 || n > kHalvireMaxSeries ||
        h > kHalvireMaxSeries - n)
        return 0;
    if (h == 0) return 1;
    try {
        const int m = n + h;
        std::vector<float> gamma;
        if (FracAcvf(model, m, N, gamma) != 1) return 0;
        DurbinLevinson recursion(gamma, m);
        if (!(recursion.v > 0.0f)) return 0;
        for (int t = 1; t <= m - 1; ++t) {
            if (!recursion.Step()) return 0;
            if (t >= n) x[t] = recursion.Predict(x);
        }
        std::vector<float> w(static_cast<size_t>(h));
        FracWeights(model, h, w.data());
        float sum = 0.0f;
        for (int i = 1; i <= h; ++i) {
            sum += w[i - 1] * w[i - 1];
            mse[n + i - 1] = sigma2 * sum;
        }
        return AllFinite(x + n, h) && AllFinite(mse + n, h) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
