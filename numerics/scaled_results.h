#pragma once
// Results of a computation run on a series multiplied by a power of two 2^k, taken back to the
// scale of the data. Routines scale their data so that sums of squares neither overflow nor
// vanish: numerics/series_scaling.h picks k (SeriesScaleExponent), numlib/finite_values.h gives
// the factor 2^k itself (RangeScale). Multiplying by a power of two is exact, except where the
// result overflows or falls below the smallest normal number. Of the latter, two kinds of result
// take different views:
// - values (forecasts, fitted values, covariances between two components) may fall below it:
//   they are then negligible beside the values they came with, and kept as they come;
// - spreads (a variance or mean squared error, or its root) may not: a positive spread below it
//   has lost its digits, and is refused.
// Either kind is refused when it overflows.
#include <cstddef>

// x(i) := 2^(-power·k)·x(i) for i < count: values of a series scaled by 2^k (power 1), or
// products of two of them (power 2). False when one is not finite afterwards (x may then hold
// anything).
[[nodiscard]] bool UnscaleValues(double* x, std::size_t count, int k, int power = 1);

// v := 2^(-power·k)·v for a spread of a series scaled by 2^k: a root mean squared error (power 1),
// a variance or mean squared error (power 2). False when v is not finite afterwards, or was
// positive and now lies below the smallest normal number.
[[nodiscard]] bool UnscaleSpread(double& v, int k, int power);

// C := 2^-2k·C for the m × m covariance C (column-major, leading dimension m) of a series scaled by
// 2^k: the diagonal as spreads, the rest as values. False as soon as an entry is refused (C may
// then hold anything).
[[nodiscard]] bool UnscaleCovariance(int m, int k, double* C);

// k of a factor 2^k, such as RangeScale gives.
int PowerOfTwoExponent(double factor);
