#include "numerics/integrated_forecast.h"

#include "numerics/status.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

bool ArgumentsValid(int p, int q, const double* coef, int k, const int* lags)
{
    if (p < 0 || p > kMaxArmaOrder || q < 0 || q > kMaxArmaOrder || k < 0) return false;
    if (p + q > 0 && coef == nullptr) return false;
    if (k > 0 && lags == nullptr) return false;
    for (int i = 0; i < p + q; ++i)
        if (!std::isfinite(coef[i])) return false;
    for (int i = 0; i < k; ++i)
        if (lags[i] < 1) return false;
    return true;
}

// psi(0..L), the arguments already checked.
int Weights(int p, int q, const double* coef, int k, const int* lags, int L,
            std::vector<double>& psi)
{
    // a(z) = phi(z)·(1 - z^g1)···(1 - z^gk), cut at degree L: higher powers never reach
    // psi(0..L).
    std::vector<double> a(static_cast<size_t>(L) + 1, 0.0);
    a[0] = 1.0;
    for (int j = 1; j <= std::min(p, L); ++j) a[j] = -coef[j - 1];
    for (int i = 0; i < k; ++i) {
        const int g = lags[i];
        if (g > L) continue;
        // Descending, so that a[d-g] is still the factor's input.
        for (int d = L; d >= g; --d) a[d] -= a[d - g];
    }
    // Seasonal factors leave most of a(z) zero.
    std::vector<int> terms;
    for (int i = 1; i <= L; ++i)
        if (a[i] != 0.0) terms.push_back(i);
    // a(z)·psi(z) = theta(z), term by term.
    psi.assign(static_cast<size_t>(L) + 1, 0.0);
    for (int j = 0; j <= L; ++j) {
        double s = j == 0 ? 1.0 : (j <= q ? coef[p + j - 1] : 0.0);
        for (int i : terms) {
            if (i > j) break;
            s -= a[i] * psi[j - i];
        }
        if (!std::isfinite(s)) return kStatusDegenerate;
        psi[j] = s;
    }
    return kStatusDone;
}

}  // namespace

int IntegratedPsiWeights(int p, int q, const double* coef, int k, const int* lags, int L,
                         double* psi)
{
    if (!ArgumentsValid(p, q, coef, k, lags) || L < 0 || psi == nullptr)
        return kStatusBadArgument;
    try {
        std::vector<double> w;
        const int status = Weights(p, q, coef, k, lags, L, w);
        if (status == kStatusDone) std::copy(w.begin(), w.end(), psi);
        return status;
    } catch (const std::bad_alloc&) {
        return kStatusNoMemory;
    }
}

int IntegratedForecastMse(int p, int q, const double* coef, int k, const int* lags,
                          double sigma2, int h, double* mse)
{
    if (!ArgumentsValid(p, q, coef, k, lags) || !std::isfinite(sigma2) || sigma2 < 0.0 ||
        h < 1 || mse == nullptr)
        return kStatusBadArgument;
    try {
        std::vector<double> psi;
        const int status = Weights(p, q, coef, k, lags, h - 1, psi);
        if (status != kStatusDone) return status;
        // Summed in place of psi, so that a failure leaves mse untouched.
        double sum = 0.0;
        for (double& v : psi) {
            sum += v * v;
            v = sigma2 * sum;
            if (!std::isfinite(v)) return kStatusDegenerate;
        }
        std::copy(psi.begin(), psi.end(), mse);
        return kStatusDone;
    } catch (const std::bad_alloc&) {
        return kStatusNoMemory;
    }
}
