#pragma once
// Forecast errors of a series that was differenced before an ARMA model was fitted to it:
// phi(B)·(1 - B^g1)···(1 - B^gk)·Y(t) = theta(B)·Z(t), Var Z = sigma2, with the conventions of
// numerics/arma_acvf.h (coef = phi1..phip, theta1..thetaq). The h-step forecast of Y from its
// infinite past has the error Z(n+h) + psi(1)·Z(n+h-1) + ... + psi(h-1)·Z(n+1), so its mean
// squared error is sigma2·(psi(0)² + ... + psi(h-1)²) (Brockwell and Davis, Introduction to
// Time Series and Forecasting, section 6.4). Adding back a mean or a trend moves the forecast
// and not its error.

// Weights psi(0..L) of theta(z) / (phi(z)·(1 - z^g1)···(1 - z^gk)).
//   p, q (in)      orders, 0..26
//   coef (in, p+q) the model, finite
//   k    (in)      number of differences, k >= 0
//   lags (in, k)   their lags g1..gk, each >= 1 (read only when k > 0)
//   L    (in)      last weight wanted, L >= 0
//   psi  (out, L+1) psi[j] = psi(j)
// Returns kStatusDone; kStatusBadArgument for an argument out of range or a non-finite
// coefficient; kStatusDegenerate when the weights overflow (an explosive autoregression);
// kStatusNoMemory when the work space cannot be had. psi is written only on kStatusDone.
[[nodiscard]] int IntegratedPsiWeights(int p, int q, const double* coef, int k, const int* lags,
                                       int L, double* psi);

// Mean squared errors of the 1..h-step forecasts of the differenced-and-summed series:
// mse[j-1] = sigma2·(psi(0)² + ... + psi(j-1)²), j = 1..h.
//   p, q, coef, k, lags (in) as for IntegratedPsiWeights
//   sigma2 (in)    white-noise variance, finite and >= 0
//   h      (in)    number of steps, h >= 1
//   mse    (out, h)
// Returns as IntegratedPsiWeights; kStatusDegenerate also when an error overflows. mse is
// written only on kStatusDone.
[[nodiscard]] int IntegratedForecastMse(int p, int q, const double* coef, int k, const int* lags,
                                        double sigma2, int h, double* mse);
