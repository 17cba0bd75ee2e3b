#pragma once
// Smoothers of a series and of a periodogram: simple exponential smoothing with an optional grid
// search for the constant, a symmetric weighted moving average with the end values repeated, and
// a symmetric weight function across the Fourier frequencies with reflection at both ends.
// Weights are used exactly as passed; none of the smoothers normalises them.

// Value of alpha that asks ExponentialSmooth to choose the constant itself.
constexpr double kExpSmoothSearch = -1.0;

// Exponential smoothing m(t) = (1 - alpha)·m(t-1) + alpha·x(t), m(1) = x(1).
//   x     (in, n)   the series
//   m     (out, n)  the smoothed series
//   n     (in)      length, n >= 1
//   alpha (in/out)  the constant, used as given; exactly -1 (kExpSmoothSearch) first chooses
//                   the constant of least one-step sum of squares on the grid 0, 0.01, ...,
//                   0.99 (built by repeated addition; the smallest wins on ties) and writes it
//                   back
// Returns kStatusDone, or kStatusBadArgument for n < 1 (nothing written).
[[nodiscard]] int ExponentialSmooth(const double* x, double* m, int n, double& alpha);

// One exponential smoothing pass and its sum of squared one-step errors x(t) - m(t-1),
// t = 2..n. Arguments as for ExponentialSmooth; sse (out).
// Returns kStatusDone, or kStatusBadArgument for n < 1 (nothing written).
[[nodiscard]] int ExpSmoothPass(double* m, const double* x, int n, double alpha, double& sse);

// Symmetric moving average out(t) = w(0)·x(t) + sum for j = 1..q of
// w(j)·(x(min(t+j, n)) + x(max(t-j, 1))): near the ends the end values are repeated.
//   x   (in, n)    the series
//   out (out, n)   the smoothed series
//   n   (in)       length, n >= 1
//   w   (in, q+1)  w[j] = weight at lags ±j
//   q   (in)       half width, q >= 0 (q >= n is allowed: every window is clamped)
// Returns kStatusDone, or kStatusBadArgument for n < 1 or q < 0 (nothing written).
[[nodiscard]] int MovingAverageSmooth(const double* x, double* out, int n, const double* w, int q);

// Periodogram smoothed by the weights W across the Fourier frequencies. Below frequency 1 the
// ordinates are reflected about frequency 0, whose own value is
// S(0) = W(0)·I(1) + 2·sum for j = 1..q of W(j)·I(1+j); above the top frequency m they are
// reflected about it (about m for even n, about m + 1/2 for odd n).
//   I (in, m)      I[k-1] = periodogram at Fourier frequency k, k = 1..m
//   S (out, m+1)   S[k] = smoothed value at frequency k, k = 0..m
//   m (in)         number of ordinates, n div 2
//   W (in, q+1)    W[j] = weight at offsets ±j
//   q (in)         half width, 0 <= q < m, so every reflected index stays within 1..m
//   n (in)         series length; only its parity is used
// Returns kStatusDone, or kStatusBadArgument for q < 0 or q >= m (nothing written).
[[nodiscard]] int PeriodogramSmoother(const double* I, double* S, int m, const double* W, int q,
                                      int n);
