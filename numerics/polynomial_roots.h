#pragma once
// Zeros of a real polynomial, and the invertible moving average they give: the zeros of
// theta(z) = 1 + theta1·z + ... + thetaq·z^q inside the unit circle reflected to 1/conj(r).
#include <complex>

// Zeros of c(0) + c(1)·z + ... + c(n)·z^n by the Aberth-Ehrlich simultaneous iteration (O. Aberth,
// Iteration methods for finding all zeros of a polynomial simultaneously, Math. Comp. 27, 1973),
// started on the circles of the Newton polygon; a zero is taken once the polynomial's value there
// is within the rounding of its evaluation, which is compensated to about twice the working
// precision: a zero of multiplicity m is found to about eps^(2/m) of its size (a double zero to
// the rounding unit). Beyond the unit circle the polynomial is evaluated in its reversed form in
// 1/z, so that large zeros neither overflow nor lose the small coefficients.
//   n     (in)       degree, 1..64
//   c     (in, n+1)  coefficients, c(n) != 0
//   roots (out, n)   the zeros, in no particular order
// Returns kStatusDone; kStatusBadArgument for n outside 1..64 or c(n) = 0, kStatusNotFinite for a
// coefficient that is not finite (nothing written); kStatusOutOfRange when the iteration does not
// settle on finite zeros (roots must not be used).
[[nodiscard]] int PolynomialRoots(int n, const double* c, std::complex<double>* roots);

// The invertible twin of a moving average: theta(z)'s zeros r with |r| < 1 replaced by
// 1/conj(r), the polynomial multiplied out again with theta(0) = 1. The new moving average has
// the autocovariances of the old one divided by `factor`, the product of the squared moduli
// 1/|r|^2 of the reflected zeros; a noise variance multiplied by it keeps them. The factor of
// theta with the zeros inside is polished by Newton's method on theta's splitting into it and the
// factor with those outside, so that multiple and clustered zeros, which the zero search finds
// only to a root of the rounding unit, give the twin to rounding.
//   q         (in)       order, 1..26; trailing zero coefficients lower the degree searched
//   theta     (in, q)    theta1..thetaq
//   twin      (out, q)   the invertible coefficients (theta itself when no zero lies inside)
//   factor    (out)      the product of 1/|r|^2 over the reflected zeros (1 when none)
// Returns kStatusDone; kStatusBadArgument, kStatusNotFinite and kStatusOutOfRange as
// PolynomialRoots, and kStatusOutOfRange also when the factor leaves the doubles (nothing
// written).
[[nodiscard]] int ReflectMaRoots(int q, const double* theta, double* twin, double& factor);
