#pragma once
// Preliminary AR and ARMA estimates: Yule-Walker and Hannan-Rissanen. Arrays are indexed from
// 1 and matrices are column-major with leading dimension 54 (numerics/one_based.h). The ARMA
// convention is phi(z) = 1 - phi1·z - ..., theta(z) = 1 + theta1·z + ....

// Yule-Walker fit of an AR(p) model (Brockwell and Davis, Time Series: Theory and Methods,
// section 8.1).
//   p     (in)      order, 1 <= p <= 54
//   G     (out)     p × p, leading dimension 54: R^-1 with R(i,j) = gamma(|i-j|)/gamma(0)
//   acvf  (in, p+1) gamma(0..p), element h+1 = gamma(h)
//   phi   (out, p)  R^-1·(rho(1..p)); the white-noise variance is left to the caller
// Returns kStatusDone; kStatusBadArgument for p out of range, kStatusNotFinite for an acvf
// value that is not finite and kStatusDegenerate for gamma(0) <= 0 (nothing written);
// kStatusInversionFailed when R is not numerically positive definite (G partly overwritten, phi
// not written); kStatusOutOfRange when the solution overflows (phi not written).
[[nodiscard]] int YuleWalkerFit(int p, double* G, const double* acvf, double* phi);

// Hannan-Rissanen preliminary ARMA(p,q) estimates (Hannan and Rissanen, Biometrika 69, 1982;
// Brockwell and Davis, Introduction to Time Series and Forecasting, section 5.1.4): a
// Yule-Walker autoregression of order m, its residuals, then least squares of x(t) on
// x(t-1..t-p) and the residuals at t-1..t-q over t = m+max(p,q)+1..n.
//   coef  (out, p+q)  phi1..phip, theta1..thetaq
//   resid (out, n)    residuals of the long autoregression, resid[1..m] = 0
//   p, q  (in)        orders, 0..26, p+q >= 1
//   M     (out)       (p+q) × (p+q), leading dimension 54: inverse of the regressors'
//                     cross-product matrix
//   acvf  (in, m+1)   sample gamma(0..m) of the series
//   m     (in)        order of the long autoregression, 1 <= m <= 54
//   n     (in)        series length; at least p+q observations must follow time m+max(p,q)
//   x     (in, n)     the series (callers pass it with its mean removed)
// Returns kStatusDone; kStatusBadArgument (nothing written) when an order or n is out of range;
// kStatusNotFinite (nothing written) for a value of x or acvf that is not finite; the status of
// the long autoregression's YuleWalkerFit when that fails; kStatusInversionFailed when the
// cross-product matrix is not positive definite (coef not written); kStatusOutOfRange when the
// coefficients or residuals overflow (coef not written).
[[nodiscard]] int HannanRissanenFit(double* coef, double* resid, int p, int q, double* M,
                                    const double* acvf, int m, int n, const double* x);
