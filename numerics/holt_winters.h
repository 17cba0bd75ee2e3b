#pragma once
// Holt-Winters smoothing with level and trend, and with additive seasonal components of period
// d, for given smoothing constants or with the constants chosen by a Hooke-Jeeves pattern
// search on the mean squared one-step error (Hooke and Jeeves, J. ACM 8, 1961). Vectors are
// indexed from 1 (numerics/one_based.h).

// Values of `mode`: the number of smoothing constants.
constexpr int kHoltWintersPlain = 2;     // (alpha, beta)
constexpr int kHoltWintersSeasonal = 3;  // (alpha, gamma, beta)
// Error measure of constants outside [0, 1] by more than 1e-6.
constexpr double kHoltWintersOutside = 1e30;

// One run of the recursions over Y[1..n] from the initial state in L, T, S: the objective of the
// search in HoltWintersForecast, which checks Y; values that are not finite give a result that
// is not finite.
//   constants (in)  mode values: (alpha, beta) or (alpha, gamma, beta)
//   mode      (in)  kHoltWintersPlain or kHoltWintersSeasonal
//   n         (in)  length of the stretch
//   d         (in)  period (seasonal mode only; ignored otherwise)
//   Y         (in, n)
//   L, T      (in/out, n)  level and trend; element 2 (plain) or d+1 (seasonal) holds the
//                          initial state, later elements are filled
//   S         (in/out, n)  seasonal components, 1..d+1 initial (seasonal mode only)
//   P         (out, n)     one-step predictions from element 3 (plain) or d+2 (seasonal)
// Returns the mean squared one-step error: sum of (P(t) - Y(t))^2 over the predicted elements
// divided by their count (0 when there are none), or kHoltWintersOutside, computing nothing,
// when a constant c has c·(1 - c) < -1e-6.
double HoltWintersRecursion(const double* constants, int mode, int n, int d, const double* Y,
                            double* L, double* T, double* S, double* P);

// Initial state, forecasts and, on request, the choice of constants.
//   mode      (in)      kHoltWintersPlain or kHoltWintersSeasonal
//   n         (in)      length, n >= 3 (plain) or n >= d + 2 (seasonal): at least one one-step
//                       error to measure
//   d         (in)      period, d >= 2 (seasonal mode only)
//   h         (in)      number of forecasts, h >= 0
//   Y         (in, n)   the stretch
//   optimise  (in)      true: pattern search from the given constants with step 0.02, halved
//                       until it would fall below 0.008; false: the constants as given
//   constants (in/out)  as for HoltWintersRecursion; the constants used
//   mse       (out)     their mean squared one-step error
//   F         (out, h)  forecasts of Y(n+1..n+h); seasonal components repeat with period d
// Returns kStatusDone; kStatusBadArgument (nothing written) for a mode, n, d or h out of range
// (a stretch of n = 2, or of one season plus one value, has no one-step error: its error would
// read 0 and a search could not move the constants) or a constant outside [0, 1]; kStatusNotFinite (nothing written) for a NaN or infinite value
// in Y; kStatusOutOfRange (nothing written) when a forecast or the error overflows, or the error
// underflows. The series is smoothed scaled by a power of two that brings its largest value
// near 1, so that the constants chosen and the forecasts do not depend on its scale.
[[nodiscard]] int HoltWintersForecast(int mode, int n, int d, int h, const double* Y,
                                      bool optimise, double* constants, double& mse, double* F);

// HoltWintersForecast without its last step: the results stay on the scale the series was
// smoothed at, 2^k·Y with k = SeriesScaleExponent(Y, n, 1). F and fb are the forecasts and the
// mean squared one-step error of 2^k·Y; those of Y are 2^-k·F and 2^-2k·fb
// (numerics/scaled_results.h), for a caller that takes back only what it needs, such as the root
// error of a series whose mean squared error leaves the doubles.
//   k (out)  the exponent; the other arguments and the refusals as for HoltWintersForecast, which
//            leaves nothing written on a refusal
[[nodiscard]] int HoltWintersForecastScaled(int mode, int n, int d, int h, const double* Y,
                                            bool optimise, double* constants, double& fb,
                                            double* F, int& k);
