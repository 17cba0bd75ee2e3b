#pragma once
// The spectral shape of halvire's model at the Fourier frequencies and the discrete Fourier
// transform its Whittle criterion takes of the series, in single precision. Arrays are passed from
// their first element and indexed from 1 in the comments.
#include <complex>

// f(k), k = 1..m: the spectral density of the model with unit white-noise variance, without the
// factor 1/(2 pi), at lambda = k pi / m:
//   f = |1 + sum theta(j) e^-ij lambda|^2 / (|1 - sum phi(j) e^-ij lambda|^2 |1 - e^-i lambda|^2d),
// the fractional factor left out when |d| < 0.0001. With m = n'/2 these are the Fourier
// frequencies 2 pi k / n' of an even length n'.
//   m (in, >= 1); phi (in, p); theta (in, q); p, q (in, >= 0); d (in); f (out, m)
void FracSpectralDensity(int m, const float* phi, const float* theta, int p, int q, float d, float* f);

// X(k) = sum over j = 1..n of x(j) e^(-i s 2 pi (k - 1)(j - 1) / n), k = 1..n, unscaled: the
// length is split into r classes (r the largest divisor of n in 2..36 up to sqrt(n), else 1),
// each transformed by SplitDftPass and combined with twiddle factors. The cost is about
// n (K + r2 + r) complex products (K, r2 those of the pass); a prime length is a direct sum.
//   x (in, n); n (in, >= 1); X (out, n, not x); sign (in, +1 or -1)
void SplitDft(const std::complex<float>* x, int n, std::complex<float>* X, int sign);

// The same transform of length L by one further split (r2 the largest divisor of L in 2..35 up to
// sqrt(L), else 1) into classes of length K = L / r2 summed directly.
void SplitDftPass(const std::complex<float>* y, int L, std::complex<float>* Y, int sign);

// The factor of a split: the largest integer in 2..largest that divides n and is at most sqrt(n),
// or 1 when there is none.
int SplitFactor(int n, int largest);
