#pragma once
// Tests of randomness of a series (in practice model residuals): the portmanteau statistics of
// Ljung and Box and of McLeod and Li, the turning-point, difference-sign and rank tests, and the
// order of the minimum-AICC Yule-Walker autoregression (Brockwell and Davis, Introduction to
// Time Series and Forecasting, sections 1.6 and 5.5). Arrays are indexed from 1.

// The statistics for x[1..n] with lags 1..h.
//   x     (in, n)  the series; not changed
//   n     (in)     its length, n >= 3
//   h     (in)     largest lag of the portmanteau sums and bound of the AR order search, h >= 1;
//                  lags of n or more add nothing (their autocorrelations are 0)
//   order (out)    the AR order 0..min(h, 26, n-3) of smallest AICC; a later order wins only
//                  when strictly smaller. The search is skipped (order 0) when min(h, 26, n-3)
//                  is below 1, when x is all zero, and it stops at an order whose fit fails
//   qLB   (out)    n(n+2)·sum rho(k)^2/(n-k), rho the sample ACF of x about its mean
//   qML   (out)    the same sum over the sample ACF of the squares x^2; 0 when the squares are
//                  constant, as qLB is for a constant series
//   tp    (out, 3) turning points (strict peaks and troughs): count, mean 2(n-2)/3, standard
//                  deviation ((16n-29)/90)^0.5
//   ds    (out, 3) increases x(i+1) > x(i): count, mean (n-1)/2, sd ((n+1)/12)^0.5
//   rk    (out, 3) pairs i < j with x(i) < x(j): count, mean n(n-1)/4,
//                  sd (n(n-1)(2n+5)/72)^0.5
// Returns kStatusDone; kStatusBadArgument for n < 3 or h < 1 and kStatusNotFinite for a NaN or
// infinite value in x (nothing written); kStatusDegenerate for a constant series (every output
// written, the portmanteau statistics 0: no autocorrelation is defined); kStatusOutOfRange when
// a statistic does not fit a double. The statistics do not depend on the scale of x: very large
// and very small series are scaled by a power of two first.
[[nodiscard]] int RandomnessTests(const double* x, int n, int h, int& order, double& qLB, double& qML,
                                  double* tp, double* ds, double* rk);
