#pragma once
// Forward complex discrete Fourier transform of any length, through a transform table:
//   xout(j) = sum over n of xin(n) * exp(-2 pi i j n / N), j, n = 0..N-1, unnormalised.
// Complex values are pairs of doubles, real part first. The table records the length's factors
// in the order 3, 4, 2, 5, 7, 9, ... with 2 moved to the front, and the roots of unity of the
// transform; the transform itself is the engine of numlib/fft_plan.h (self-sorting mixed-radix
// passes for 2, 3, 4 and 5, direct passes for other small primes, Bluestein's chirp-z method for
// large primes, a column and row split for long lengths), O(N log N) at every length.

// Number of factors the transform table holds.
constexpr int kFftMaxFactors = 13;

// The number of factors the transform splits n (>= 1) into; 0 for n = 1. Lengths above
// kFftMaxFactors factors (the smallest is 2 * 3^13) cannot be transformed.
int FftFactorCount(int n);

// Prepares the transform table of length n: ftab has 4n+15 doubles (the first 2n are scratch
// for DF2TCF, then 2n for the roots of unity, then n, the factor count and the factors at 4n+1).
// n = 1 leaves ftab untouched. TERMINAL errors of "DFFTCI": code 1 for n < 1, code 2 for a length
// with more than kFftMaxFactors factors; ftab is then not written.
void DFFTCI(int n, double* ftab);

// Transforms xin (n complex values, not changed) into xout (n complex values; may be xin) with the
// table ftab of DFFTCI for the same n (its first 2n doubles are overwritten); cwork has 2n
// doubles. A length with a prime factor above 61 obtains work space for its chirp-z convolution
// during the call, or reuses the one kept from the last transform with that prime. TERMINAL
// errors of "DF2TCF": code 1 for n < 1, code 2 for a table not made for n, code 3 when the
// chirp-z work space cannot be obtained, code 4 for a value of xin that is not finite; nothing is
// written then. A transform that overflows is a FATAL error (code 5) with xout written.
void DF2TCF(int n, const double* xin, double* xout, double* ftab, double* cwork);
