#pragma once
// Periodogram of a real series at the Fourier frequencies of its (padded) length, through the
// mixed-radix FFT, with the cosine and sine coefficients of each frequency.

// Computes, for k = 0..INT(N/2) with N = nobs + npad, row k+1 of pm (leading dimension ldpm, at
// least INT(N/2)+1, 5 columns): 1 the frequency 2 pi k/N (ifscal 0) or k/N (ifscal 1); 2 the period
// N/k (NaN for k = 0); 3 the ordinate I = A^2 + B^2; 4 A = s sum z_t cos(w t); 5 B = s sum z_t sin(w t),
// with z_t = x(t) - xbase, t = 1..nobs, followed by npad zeros, w = 2 pi k/N, and the scale
// s = sqrt(2/nobs) (ipver 0) or sqrt(1/(2 pi nobs)) (ipver 1). x (nobs values) is not changed.
// iprint 1 also prints pm as the table "Results of the Periodogram Analysis".
// The plan and roots of the transform (of length N/2 for even N, N for odd N) are kept from one
// call to the next of the same N; the work areas live for the call.
// Argument errors are TERMINAL errors of "DPFFT" / "DP2FT" (Part of the library's error stack):
// nobs < 2 or npad < 0 (code 1), no storage (2), ldpm too small (7); NaN in x (DP2FT code 2),
// iprint, npad, ipver, ifscal out of range (DP2FT codes 3 to 6), an infinite x(t) or x(t) - xbase
// (DP2FT code 8), no work space for the transform (a TERMINAL error of "DF2TCF", code 3). pm is
// then not changed. A series near the ends of the double range is
// transformed scaled by a power of two; ordinates that still overflow are a FATAL error of
// "DP2FT" (code 9), pm then partly written.
void DPFFT(int nobs, const double* x, int iprint, double xbase, int npad, int ifscal, int ipver, double* pm,
           int ldpm);

// The same with the work areas supplied: cx and cy 2N doubles each, ftab 4N+15, cwork 2N.
void DP2FT(int nobs, const double* x, int iprint, double xbase, int npad, int ifscal, int ipver, double* pm,
           int ldpm, double* cx, double* cy, double* ftab, double* cwork);

// Ordinal (1 = first) of the first NaN among x(1), x(1+incx), ... (n elements); 0 when none, or
// when n = 0 or incx = 0. n < 0 or incx < 0 is a TERMINAL error of "IDANAN" (codes 1, 2).
int IDANAN(int n, const double* x, int incx);

// Sets n elements x(1), x(1+incx), ... of a complex vector to (re, im); n <= 0 or incx < 1 does
// nothing.
void FillComplex(int n, double re, double im, double* x, int incx);
