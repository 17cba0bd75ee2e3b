#pragma once
// halvire's fractionally integrated ARMA model (1 - B)^d phi(B) X(t) = theta(B) Z(t), with
// phi(B) = 1 - phi(1) B - ... - phi(p) B^p, theta(B) = 1 + theta(1) B + ... + theta(q) B^q and Z
// white noise: its autocovariances, MA-infinity weights, simulation and predictors, in single
// precision. Arrays are passed from their first element and indexed from 1 in the comments
// (x[i - 1] holds x(i)); autocovariances and weights are indexed by lag from 0.
#include <vector>

constexpr int kHalvireMaxOrder = 10;
// Data values the program holds, and data with predictions.
constexpr int kHalvireMaxData = 20000;
constexpr int kHalvireMaxSeries = 20100;
// Bounds of the truncation N of the autocovariance sums.
constexpr int kHalvireMinTerms = 50;
constexpr int kHalvireMaxTerms = 200;

struct FracArmaModel {
    int p = 0;
    int q = 0;
    float phi[kHalvireMaxOrder] = {};
    float theta[kHalvireMaxOrder] = {};
    float d = 0.0f;
};

// Whether d lies in (-0.5, 0.5) as the model display shows it (F15.7): 0.49999997, the float just
// below 0.5, shows as 0.5000000 and is refused with 0.5 itself. The keyboard, model files and the
// fit keep this one rule, so that no model shows a d that could not be typed.
bool DifferencingAdmissible(float d);

// ln Gamma(x), x > 0: numerics' six-term Lanczos series, rounded to single precision.
float HalvireLogGamma(float x);

// The ARMA MA-infinity weights psi(0..N) of theta(B)/phi(B): psi(0) = 1 and
// psi(j) = theta(j) + sum over i = 1..min(j, p) of phi(i) psi(j - i), theta(j) = 0 for j > q; a
// weight below 1e-30 in magnitude is set to 0 before it is used.
//   p, q (in, 0..10); phi (in, p); theta (in, q); N (in, >= 0); psi (out, N + 1)
void ArmaPsiWeights(int p, int q, const float* phi, const float* theta, int N, float* psi);
// The same weights, the entry FracWeights uses.
void ArmaPsiWeightsAlt(int p, int q, const float* phi, const float* theta, int N, float* psi);

// The autocovariances gamma(0..H) of the model with unit white-noise variance, the sums truncated
// at N: gamma(h) = g0 sum over j, k = 0..N of rho(h - j + k) psi(j) psi(k), where rho is the
// autocorrelation of fractionally integrated noise (rho(k + 1) = rho(k) (k + d) / (k + 1 - d)) and
// g0 = Gamma(1 - 2d) / Gamma(1 - d)^2 its variance.
//   model (in: p, q <= 10, |d| < 0.5); H (in, >= 0); N (in, >= 0); gamma (out, resized to H + 1)
// Returns 1, or 0 (gamma unspecified) for arguments out of range, results that are not finite or
// want of memory.
[[nodiscard]] int FracAcvf(const FracArmaModel& model, int H, int N, std::vector<float>& gamma);

// w(1..M): the MA-infinity weights of lags 0..M-1 of the whole model, the coefficients of
// (1 - B)^-d times the ARMA weights. Writes nothing when M < 1.
//   model (in); M (in); w (out, M)
void FracWeights(const FracArmaModel& model, int M, float* w);

// z(1..n): standard normal numbers, one from each pair of uniforms u1, u2 of RandomUniform (which
// never gives 0): z = sin(2 pi u2) (-2 ln u1)^0.5.
void GaussianNoise(int n, float* z);

// x(1..n): a realization of the model with white-noise variance sigma2, by the Durbin-Levinson
// recursion on its autocovariances (truncated at N) driven by GaussianNoise; the generator is
// seeded by the caller (SeedRandom).
//   model (in); sigma2 (in, > 0); n (in, 1..kHalvireMaxData); N (in, >= 0); x (out, n)
// Returns 1, or 0 (x unspecified) for arguments out of range, a recursion that breaks down or
// results that are not finite, or want of memory.
[[nodiscard]] int FracSimulate(const FracArmaModel& model, float sigma2, int n, int N, float* x);

// The h predictors of x(n + 1 .. n + h) from x(1..n) by the Durbin-Levinson recursion on the unit-
// variance autocovariances (truncated at N), each later predictor computed from the earlier ones,
// and their mean squared errors sigma2 (w(1)^2 + ... + w(i)^2) (FracWeights).
//   model (in); sigma2 (in, > 0); n (in, >= 1); h (in, >= 0, n + h <= kHalvireMaxSeries);
//   N (in, >= 0); x (in/out, n + h: the data in, the predictors after them out);
//   mse (out, n + h: entries n + 1 .. n + h written)
// With h = 0 nothing is computed or written. Returns 1, or 0 (the predictors unspecified) for
// arguments out of range, a recursion that breaks down, results that are not finite, or want of
// memory.
[[nodiscard]] int FracPredict(const FracArmaModel& model, float sigma2, int n, int h, int N, float* x, float* mse);
