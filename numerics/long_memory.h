#pragma once
// Weights of a fractionally integrated ARMA model (1-B)^d·phi(B)X(t) = theta(B)Z(t), and the
// log-gamma function its autocovariances need. Arrays are indexed from 1
// (numerics/one_based.h); phi(z) = 1 - phi1·z - ..., theta(z) = 1 + theta1·z + ....

// ln Gamma(x) for x > 0 by the six-term Lanczos series (Numerical Recipes, gammln); absolute
// error below about 2e-10. Below 1 through ln Gamma(x + 1) - ln x, so that tiny x give about
// -ln x (690.8 at 1e-300). x <= 0 or NaN gives NaN; +infinity gives +infinity.
double LogGamma(double x);

// Most weights ArmaInfinityWeights and ArmaPsiTable give: their cost grows with M^2.
constexpr int kMaxInfinityWeights = 10000;
// Largest |d| of a fractionally integrated model.
constexpr double kMaxFractionalD = 0.5;
// The largest lag FractionalArmaAcf computes.
constexpr int kMaxFractionalAcfLags = 100000;

// Mode of ArmaInfinityWeights.
constexpr int kArInfinity = 0;
constexpr int kMaInfinity = 1;

// The first M weights of the MA-infinity expansion (1-z)^-d·theta(z)/phi(z) (mode 1) or of the
// AR-infinity expansion (1-z)^d·phi(z)/theta(z) (mode 0), the product of the fractional
// binomial series and the ARMA psi weights truncated to M terms.
//   dim   (in)        declared length of phi and theta, dim >= max(p, q)
//   phi   (in, dim)   phi1..phip
//   theta (in, dim)   theta1..thetaq
//   out   (out, M)    out[1] = 1, out[k] = weight of lag k-1
//   p, q  (in)        orders, 0..26
//   d     (in)        fractional difference parameter, -0.5 <= d <= 0.5
//   M     (in)        number of weights, 1 <= M <= kMaxInfinityWeights
//   e     (in)        extra length of the padded coefficient vectors, 2 <= e <= kMaxInfinityWeights
//   mode  (in)        kMaInfinity or kArInfinity
// Weights whose magnitude falls below 1e-30 are flushed to 0 on the way.
// Returns kStatusDone; kStatusBadArgument (nothing written) when an argument is out of range;
// kStatusNotFinite (nothing written) for a d or a coefficient in use that is not finite;
// kStatusOutOfRange when a weight overflows (a model far from causal or invertible; out is then
// partly written and must not be used).
[[nodiscard]] int ArmaInfinityWeights(int dim, const double* phi, const double* theta,
                                      double* out, int p, int q, double d, int M, int e,
                                      int mode);

// Psi weights of theta(z)/phi(z) by the plain recursion, with weights below 1e-30 flushed to 0.
//   dim, p, q, phi, theta: as for ArmaInfinityWeights; M (in, 0 <= M <= kMaxInfinityWeights);
//   e (in, 2 <= e <= kMaxInfinityWeights)
//   F (out, M+2)  F[1] = 1, F[k+1] = psi(k) for k = 1..M; F[M+2] = 0
// Returns kStatusDone; kStatusBadArgument or kStatusNotFinite (nothing written), as for
// ArmaInfinityWeights; kStatusOutOfRange when a weight overflows.
[[nodiscard]] int ArmaPsiTable(int dim, int p, int q, const double* phi, const double* theta,
                               int M, int e, double* F);

// Autocorrelations of X = psi(B)Y, where Y is fractionally integrated noise with parameter d and
// psi(B) = theta(B)/phi(B) is the ARMA impulse response truncated after M terms, and X's
// lag-0 autocovariance for unit white-noise variance (Brockwell and Davis, section 13.2:
// rho_Y(h) = rho_Y(h-1)(h-1+d)/(h-d), gamma_Y(0) = Gamma(1-2d)/Gamma(1-d)^2).
//   p, q   (in)        orders, 0..26
//   phi    (in, p)     phi1..phip
//   theta  (in, q)     theta1..thetaq
//   d      (in)        -0.5 < d < 0.5
//   M      (in)        impulse-response terms, 1 <= M <= kMaxInfinityWeights
//   L      (in)        highest lag, 0 <= L <= kMaxFractionalAcfLags
//   acf    (out, L+1)  acf[h+1] = autocorrelation at lag h (acf[1] = 1)
//   gamma0 (out)       lag-0 autocovariance for unit white-noise variance
// The double sum over the impulse response is taken through its autocovariances, so the cost is
// of order M^2 + L·M. Returns kStatusDone; kStatusBadArgument when an argument is out of range;
// kStatusNotFinite for coefficients that are not finite; kStatusDegenerate when a result would not be finite or the variance is not positive (acf and
// gamma0 are then not written).
[[nodiscard]] int FractionalArmaAcf(int p, const double* phi, int q, const double* theta, double d,
                                    int M, int L, double* acf, double& gamma0);
