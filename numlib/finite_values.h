#pragma once
// Checks and exact rescaling that keep the numerical routines to finite values: input is
// refused when it is not finite, and sums of squares of very large or very small values are
// formed on a copy scaled by a power of two.
#include <vector>

// Whether x[0..n-1] are all finite; true for n <= 0.
bool AllFinite(const double* x, long n);

// 1 when the largest |x[i]| lies within 2^-400..2^400 (or all are zero): there, sums of up to
// 2^100 squares and products neither overflow nor underflow, and ordinary data are computed
// exactly as they stand. Otherwise a power of two (at most 2^±1000) that brings the largest
// |x[i]| near 1. Multiplying by a power of two is exact except for values it drives below the
// smallest normal number, which are negligible beside the largest.
double RangeScale(const double* x, long n);

// The same for the nrow by ncol matrix m, column-major with leading dimension ld.
double RangeScale(const double* m, int ld, int nrow, int ncol);

// x itself when `scale` is 1; otherwise a copy of x[0..n-1] multiplied by it, held in `store`.
const double* Scaled(const double* x, long n, double scale, std::vector<double>& store);

// The smallest positive normal double: a positive result below it has lost its digits.
constexpr double kSmallestNormal = 2.2250738585072014e-308;
