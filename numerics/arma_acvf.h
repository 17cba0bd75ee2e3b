#pragma once
// Second-order quantities of an ARMA(p,q) model phi(B)X(t) = theta(B)Z(t), with
// phi(z) = 1 - phi1·z - ... - phip·z^p, theta(z) = 1 + theta1·z + ... + thetaq·z^q and
// Var Z = sigma2. A model's coefficients travel as one vector coef = (phi1..phip, theta1..thetaq).
// Orders run from 0 to kMaxArmaOrder (26). Arrays are indexed from 1 (numerics/one_based.h):
// element h+1 of an autocovariance array holds gamma(h).

// Mode of ArmaAcvf.
constexpr int kArmaAcvfCompute = 0;
constexpr int kArmaAcvfTestInvertible = 1;
constexpr int kArmaAcvfTestCausal = -1;

// Autocovariances of a causal ARMA(p,q) process, or the causality / invertibility test that
// its step-down recursion provides (Brockwell and Davis, Time Series: Theory and Methods,
// sections 3.3 and 8.2; the moving-average stage is a step-down on the MA autocovariances).
//   nlag   (in)   highest lag wanted
//   mode   (in)   kArmaAcvfTestInvertible: is theta(z) free of zeros in the closed unit disc?
//                 kArmaAcvfTestCausal: is phi(z)? With q = 0 the autocovariances are also
//                 computed, as in the compute mode. Any other value: compute
//   acvf   (out, max(nlag, p, q)+1) gamma(0..nlag), and always gamma(0..max(p,q));
//                 acvf[1..q+1] serves as scratch
//   status (out)  kStatusDone, or kStatusNotCausal when the tested part has a root in the
//                 closed unit disc (acvf untouched then); kStatusBadArgument when p or q lies
//                 outside 0..26 and kStatusNotFinite for a coefficient or sigma2 that is not
//                 finite (nothing written); kStatusOutOfRange when an autocovariance overflows
//                 (a model very close to a unit root; acvf must not be used)
//   sigma2 (in)   white-noise variance
//   coef   (in, p+q), p, q (in) the model
// With p = q = 0 the autocovariances of white noise are returned: gamma(0) = sigma2, 0 beyond.
void ArmaAcvf(int nlag, int mode, double* acvf, int& status, double sigma2, const double* coef,
              int p, int q);

// Autocovariances of the moving average theta(B)Z(t) alone.
//   nout   (in)   out[q+2..nout] are set to 0 when nout > q+1
//   q      (in)   order, 0..26
//   theta  (in, q)
//   out    (out, max(nout, q+1)) out[h+1] = sigma2·sum_{j=0}^{q-h} theta(j)theta(j+h), h = 0..q,
//                 theta(0) = 1; written for h = 0..q even when nout < q+1
//   sigma2 (in)
// Returns kStatusDone; kStatusBadArgument for q outside 0..26 and kStatusNotFinite for a theta
// or sigma2 that is not finite (nothing written); kStatusOutOfRange when a value overflows.
[[nodiscard]] int MaAcvf(int nout, int q, const double* theta, double* out, double sigma2);

// Whether theta(z) = 1 + theta1·z + ... + thetaq·z^q has a zero on the unit circle: the smallest
// |theta(e^(iw))| over w in [0, pi] is at most 1e-6 times |theta0| + ... + |thetaq| (theta0 =
// 1), which holds for a zero on the circle whatever the rounding and its multiplicity, and for a
// simple zero within about 1e-6 of it. Such a moving average has no invertible one with the same
// autocovariances. The smallest value is found on a grid of 64·(q+1) frequencies, each local
// minimum refined by golden-section search.
//   q (in) order, theta (in, q)
// False for q outside 1..26 or a theta that is not finite.
bool MaZeroOnUnitCircle(int q, const double* theta);

// MA-infinity weights psi(0..L) of theta(z)/phi(z).
//   p, q (in), coef (in, p+q), L (in, L >= 0), psi (out, L+1): psi[j+1] = psi(j)
// Returns kStatusDone; kStatusBadArgument for orders outside 0..26 or L < 0 and
// kStatusNotFinite for a coefficient that is not finite (nothing written); kStatusOutOfRange
// when a weight overflows (a model that is not causal).
[[nodiscard]] int PsiWeights(int p, int q, const double* coef, int L, double* psi);

// Covariance matrix of the transformed process of the innovations recursion (Brockwell and
// Davis, section 5.3): W(t) = X(t) for t <= m, W(t) = phi(B)X(t) for t > m, m = max(p,q).
//   acvf (in)     gamma(0..) of the model with unit noise variance: max(p,q)+1 elements
//   p, q (in), coef (in, p+q)
//   K    (out)    leading dimension 54; the lower triangle (i >= j) of the order-N matrix is
//                 written, N = 2·max(p,q), or 2q+1 when p = 0
// Returns kStatusDone; kStatusBadArgument for orders outside 0..26 and kStatusNotFinite for a
// coefficient or autocovariance that is not finite (nothing written); kStatusOutOfRange when an
// element overflows.
[[nodiscard]] int ArmaStateCovariance(const double* acvf, int p, int q, const double* coef,
                                      double* K);

// Order of the matrix ArmaStateCovariance writes.
inline int ArmaStateOrder(int p, int q) { return p == 0 ? 2 * q + 1 : 2 * (p > q ? p : q); }
