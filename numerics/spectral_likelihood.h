#pragma once
// Whittle-type frequency-domain criterion of a fractionally integrated ARMA model
// (1-B)^d·phi(B)X(t) = theta(B)Z(t), phi(z) = 1 - phi1·z - ..., theta(z) = 1 + theta1·z + ...,
// and its minimisation by a Hooke-Jeeves pattern search. Arrays are indexed from 1 in the
// formulas (numerics/one_based.h).

#include <vector>

// Criterion value given to a parameter vector outside the admissible region.
constexpr double kInadmissibleCriterion = 1e30;

// Criterion at beta = (phi1..phip, theta1..thetaq, d), with g(j) = |theta(z)/phi(z)|²·|1-z|^-2d
// at z = exp(i·omega(j)):
//   sigma2 = (sum of I(j)/g(j))/N, F = ln sigma2 + 2·(sum of ln g(j))/N,
// where for even N the last ordinate (frequency π) counts half in sigma2 and its ln g is
// dropped once more from F. A point is admissible when |d| < 0.5 and both polynomials pass the
// Schur-Cohn step-down test (roots outside the unit circle).
//   omega  (in, m)        Fourier frequencies 2πj/N, j = 1..m (frequency 0 left out)
//   I      (in, m)        periodogram ordinates at omega
//   m      (in)           number of ordinates, m >= 1 (N div 2)
//   N      (in)           series length, N >= 1
//   p, q   (in)           orders, 0..26
//   beta   (in, p+q+1)    the parameters
//   F      (out)          the criterion; kInadmissibleCriterion when the status is not Done
//   sigma2 (out)          white-noise variance estimate; not written for an inadmissible beta
// Returns kStatusDone; kStatusNotCausal for an inadmissible beta (|d| >= 0.5, AR part not
// causal, MA part not invertible, or a spectral density that is not positive and finite);
// kStatusDegenerate when sigma2 is not positive (all ordinates zero: a constant series), with
// sigma2 written; kStatusBadArgument for sizes or orders out of range and kStatusNotFinite for a
// value of omega, I or beta that is not finite (nothing written); kStatusOutOfRange when sigma2
// overflows or underflows (F stays kInadmissibleCriterion, sigma2 not written).
[[nodiscard]] int SpectralLikelihood(const double* omega, const double* I, int m, int N, int p,
                                     int q, const double* beta, double& F, double& sigma2);

// The criterion's frequency tables, made once for the many evaluations of a search at the same
// frequencies: for each omega(j), cos omega(j), sin omega(j) and ln|1 - exp(i·omega(j))|².
struct SpectralFrequencies {
    int m = 0;
    std::vector<double> cosine, sine, logGap;
};

// Fills f from omega (in, m values, m >= 1). Returns kStatusDone, kStatusBadArgument for m < 1
// and kStatusNotFinite for a value of omega that is not finite (f then empty).
[[nodiscard]] int SpectralFrequenciesInit(const double* omega, int m, SpectralFrequencies& f);

// SpectralLikelihood at the frequencies tabulated in f, with f.m ordinates in I: the same
// statuses and values as SpectralLikelihood with the omega that f was made from.
[[nodiscard]] int SpectralLikelihoodAt(const SpectralFrequencies& f, const double* I, int N, int p, int q,
                                       const double* beta, double& F, double& sigma2);

// Minimises SpectralLikelihood over (phi, theta) and, when searchD is non-zero, d, by a pattern
// search: exploration by coordinate steps ±h (both directions always tried, each against the
// best so far), pattern moves by reflecting the old base through the new point, and halving of
// h when an exploration finds nothing; it stops at the second halving (h below 0.4 times its
// start). The point returned is the last confirmed base (a better value met at the final
// pattern point itself is not returned). Method: R. Hooke and T. A. Jeeves, "Direct search
// solution of numerical and statistical problems", J. ACM 8 (1961).
//   omega, I, m, N, p, q  as for SpectralLikelihood
//   phi    (in/out, p)    start and result
//   theta  (in/out, q)    start and result
//   d      (in/out)       start; the result when searchD is non-zero, otherwise unchanged
//   h      (in/out)       step size, h > 0; returns the last step (a quarter of the start)
//   searchD (in)          non-zero searches d as well
//   sigma2 (out)          variance estimate at the result; 0 when the status is not Done
//   F      (out)          criterion at the result
// Returns kStatusDone; kStatusNotCausal when neither the start nor any trial point was
// admissible (the start is returned with F = kInadmissibleCriterion); kStatusDegenerate when the
// ordinates are all zero; kStatusOutOfRange when sigma2 does not fit a double at any admissible
// point; kStatusBadArgument for sizes, orders or a step out of range and kStatusNotFinite for a
// value of omega, I or the start that is not finite (nothing written).
[[nodiscard]] int SpectralLikelihoodSearch(const double* omega, const double* I, int m, int N,
                                           int p, int q, double* phi, double* theta, double& d,
                                           double& h, int searchD, double& sigma2, double& F);
