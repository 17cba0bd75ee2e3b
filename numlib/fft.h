#pragma once
// Forward complex discrete Fourier transform of any length by a self-sorting mixed-radix
// algorithm (one pass per factor between two buffers, coefficients in natural order):
//   xout(j) = sum over n of xin(n) * exp(-2 pi i j n / N), j, n = 0..N-1, unnormalised.
// Complex values are pairs of doubles, real part first. Factors 2 (first pass only), 3, 4 and 5
// have their own butterflies; any other (prime) factor goes through a general odd pass.
// Method: C. Temperton, "Self-sorting mixed-radix fast Fourier transforms", J. Comput. Phys. 52
// (1983), with the factor order 3, 4, 2, 5, 7, 9, ... and 2 moved to the front.

// Number of factors the transform table holds.
constexpr int kFftMaxFactors = 13;

// The number of factors the transform splits n (>= 1) into; 0 for n = 1. Lengths above
// kFftMaxFactors factors (the smallest is 2 * 3^13) cannot be transformed.
int FftFactorCount(int n);

// Prepares the transform table of length n: ftab has 4n+15 doubles (the first 2n are scratch
// for DF2TCF, then 2n of twiddles, n, the factor count and the factors). n = 1 leaves ftab
// untouched. TERMINAL errors of "DFFTCI": code 1 for n < 1, code 2 for a length with more than
// kFftMaxFactors factors; ftab is then not written.
void DFFTCI(int n, double* ftab);

// Transforms xin (n complex values, not changed) into xout (n complex values; may be xin) with the
// table ftab of DFFTCI for the same n (its first 2n doubles are overwritten); cwork has 2n
// doubles. TERMINAL errors of "DF2TCF": code 1 for n < 1, code 2 for a table not made for n,
// code 3 for a value of xin that is not finite; nothing is written then. A transform that
// overflows is a FATAL error (code 4) with xout written.
void DF2TCF(int n, const double* xin, double* xout, double* ftab, double* cwork);
