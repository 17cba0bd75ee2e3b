#pragma once
// Status codes and order limits shared by the numerical routines.
//
// A routine that can fail reports one of these through its status argument or return value.
// Callers set a status argument to kStatusDone before a call where the routine leaves it
// untouched on success.

constexpr int kStatusDone = 0;
// The autoregressive part is not causal, or (in an invertibility test) the moving-average
// part is not invertible.
constexpr int kStatusNotCausal = -1;
// A matrix inversion met a zero or non-positive pivot.
constexpr int kStatusInversionFailed = 1;
// A variance that must be positive is not: a constant series, or an autocorrelation sequence
// that is exactly predictable. The statistic is not defined.
constexpr int kStatusDegenerate = 2;
// An argument lies outside the routine's stated limits; nothing was computed.
constexpr int kStatusBadArgument = 3;
// A fit that searches or recurses over orders stopped at a singular order below the highest it
// was to fit; its results are those of the best order before that one.
constexpr int kStatusLowerOrder = 4;
// The routine's working storage could not be allocated; nothing was computed.
constexpr int kStatusNoMemory = 5;
// An input value is NaN or infinite; nothing was computed.
constexpr int kStatusNotFinite = 6;
// A result lies outside the range of double precision: it would overflow, or underflow to a
// value that no longer carries its digits. No result is given.
constexpr int kStatusOutOfRange = 7;

// ARMA orders p and q run from 0 to kMaxArmaOrder.
constexpr int kMaxArmaOrder = 26;
