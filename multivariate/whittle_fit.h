#pragma once
// Vector autoregression X(t) = PHI(1) X(t-1) + ... + PHI(p) X(t-p) + Z(t), {Z(t)} white noise
// with covariance V, fitted by Whittle's multivariate form of the Durbin-Levinson recursion on
// the sample cross-covariances (Whittle, Biometrika 50, 1963), with the order given or chosen by
// minimum AICC.

// WhittleMvarFit: the Yule-Walker estimates of order p, or of the order 0..20 of minimum AICC.
// The criterion of each order is built from the exact Gaussian likelihood, which the recursion's
// one-step prediction errors give. The components are put on unit scale for the recursion and
// the results taken back to the scale of the data; their scales are taken of X multiplied by a
// power of two to unit size (numerics/series_scaling.h), so that X and c·X get the same
// coefficients, V times c^2, for any c whose covariance fits.
//   X    (in, m × n)        centred series; element (a, t) at X[(t-1)·m + (a-1)]; not changed
//   n, m (in)               times and components; n·m > 2
//   PHI  (out, 20 × m × m)  element (k, a, b) = row a, column b of PHI(k) at
//                           PHI[(k-1) + 20·((a-1) + m·(b-1))]; lags 1..p written, the others
//                           left as they were
//   V    (out, m × m)       white-noise covariance, column-major
//   p    (in/out)           in: 0..20 the order to fit, -1 the search, below -1 order 0;
//                           out: the order fitted
//   AICC (out)              criterion of the order fitted, on the scale of the data
//   E    (out, m × n)       one-step prediction errors of the fitted model for t = p+1..n, on the
//                           scale of the data; columns 1..p are 0
// The search stops at the highest order l with l·m·m + 2 < n·m, since higher orders can only
// score 1E20; a tie keeps the lower order.
// Returns kStatusDone, or with every output untouched: kStatusBadArgument (n, m or p out of
// range, or a value of X not finite); kStatusDegenerate when a component has a zero or
// non-finite scale, or the determinant of the lag-0 covariance or of a forward prediction-error
// covariance is not positive (" Numerical difficulties" is written to the standard output), or
// a result is not finite; kStatusOutOfRange when V on the scale of X leaves the doubles
// (overflows, or a variance falls below the smallest normal number) or a prediction error
// overflows; kStatusNoMemory when the working storage cannot be allocated.
[[nodiscard]] int WhittleMvarFit(const double* X, int n, int m, double* PHI, double* V, int& p,
                                 double& AICC, double* E);
