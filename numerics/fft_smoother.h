#pragma once
// Low-pass smoothing of a series through its discrete Fourier transform, and the transform
// routines of the smoother. All of them run on the library's transform engine
// (numlib/fft_plan.h), O(n log n) at every length; a series of even length is transformed as a
// complex series of half its length. Complex arrays are std::complex<double>, which is laid out
// as (real, imaginary) pairs. Work space is allocated per call; each routine returns
// kStatusNoMemory, with nothing written, when it cannot be obtained.
#include <complex>

// y := x with every Fourier coefficient above the kept fraction of the frequency range zeroed.
// Coefficient j (frequency index j or n - j, whichever is smaller, call it f) is zeroed when
// 2f > n·frac, so frac = 1 keeps everything, frac = 0 keeps only the mean and frac < 0 gives
// zeros. Only forwards to FftLowPass.
//   x    (in, n)   the series; not changed
//   y    (out, n)  the smoothed series
//   n    (in)      length, n >= 1
//   frac (in)      kept fraction of the frequency range, normally 0..1; not range-checked
// Returns kStatusDone; kStatusBadArgument for n < 1, kStatusNotFinite for a NaN frac or a value
// of x that is not finite, kStatusNoMemory, kStatusOutOfRange when a smoothed value overflows
// (nothing written then). A series near the ends of the double range is filtered scaled by a
// power of two.
[[nodiscard]] int FftSmoother(const double* x, double* y, int n, double frac);

// The low-pass filter of FftSmoother; same arguments and status.
[[nodiscard]] int FftLowPass(const double* x, double* y, int n, double frac);

// out(k) = sum for t = 1..n of a(t)·exp(-2πi·sign·(k-1)(t-1)/n), k = 1..n, unscaled.
//   a    (in, n)    the sequence
//   n    (in)       length, n >= 1
//   out  (out, n)   the transform; must not overlap a
//   sign (in)       +1 forward, -1 inverse
// Returns kStatusDone; kStatusBadArgument for n < 1 or sign not ±1, kStatusNotFinite for a
// value of a that is not finite, or kStatusNoMemory (nothing written); kStatusOutOfRange when
// the transform overflows (out then holds it and must not be used).
[[nodiscard]] int FftTransform(const std::complex<double>* a, int n, std::complex<double>* out,
                               int sign);

// The same sum for length L (the transform of one residue class of a longer one).
//   b    (in, L)    the sequence
//   L    (in)       length, L >= 1
//   out  (out, L)   the transform; must not overlap b
//   r    (in)       first factor of the calling transform; the computation does not use it
//   sign (in)       +1 or -1
// Returns as FftTransform.
[[nodiscard]] int FftFactorPass(const std::complex<double>* b, int L, std::complex<double>* out,
                                int r, int sign);
