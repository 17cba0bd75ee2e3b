#pragma once
// The row loops of the periodogram (numlib/periodogram.cpp) four rows at a time on AVX2 with FMA,
// in periodogram_kernels_avx2.cpp, the one file of them compiled for those instructions. Call them
// only when FftWideAvailable() says the processor runs them (and tests have not turned the wide
// kernels off); periodogram.cpp has the one-row-at-a-time loops for every other case.
#include "numlib/fft_plan.h"

#include <cstddef>

// True when this build has the wide kernels and the processor runs them.
bool FftWideAvailable();

// Columns 3 to 5 (I, A, B) of rows k and h-k of an even length n = 2h for k = first ..
// first+count-1 (count a multiple of 4, h - first - count + 1 > first + count - 1), from the
// packed half-length transform Z and w(k) = exp(-2πi·k/n) in wr, wi (indexed by k), with
// half = s/2; see EvenRows in periodogram.cpp for the formulas. Returns false when an ordinate
// is not finite.
bool PeriodogramPairsWide(std::ptrdiff_t h, std::ptrdiff_t first, std::ptrdiff_t count, const FftComplex* Z,
                          const double* wr, const double* wi, double half, double* I, double* A, double* B);

// Columns 1 and 2 for k = 0..count-1 (count a multiple of 4): freq(k) = k/n, times 2π when
// radians is set, and period(k) = n/k (infinite at k = 0, which the caller overwrites).
void PeriodogramAxesWide(int n, std::ptrdiff_t count, bool radians, double* freq, double* period);
