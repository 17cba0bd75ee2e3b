#pragma once
// The ARAR and Holt-Winters forecasting engines on a univariate project: they read their
// settings from the record, run the kernels of numerics/arar.h and numerics/holt_winters.h on
// the prepared series and write the results back. On any refusal the record is left as it was.
// The settings checks the forecasting dialogs run on OK live here too.
#include "univariate/univariate_project.h"

// ARAR forecasts of x over ararFirst..ararLast.
//   project (in/out)  reads ararCount (h >= 1), ararFirst, ararLast, ararOption (1: no memory
//                     shortening), ararCriterion (1..3); writes ararShortening(0..D) and
//                     ararDegree (only when shortening was requested), ararLags,
//                     ararSubsetCoef, ararFilter(0..L+D, D = 0 without shortening),
//                     ararRootMse, and ararForecasts:
//                     elements ararFirst..ararLast the data, then h forecasts
//   x       (in, nx)  the series prepared by the command, 1-based
//   nx      (in)      its length
// A series near the ends of the double range is fitted scaled by a power of two, and its
// forecasts and root mean squared error taken back to the scale of the data.
// Returns kStatusDone; kStatusBadArgument for a range outside 1..nx, fewer than 30
// observations, h < 1, a criterion outside 1..3 or ararForecasts shorter than ararLast + h;
// kStatusOutOfRange when a forecast or the error leaves the doubles on the scale of the data;
// otherwise the refusal of ArarMemoryShortening, ArarSubsetFit or ArarForecast
// (kStatusDegenerate, kArarTooFewLags, kStatusInversionFailed, kStatusNotFinite,
// kStatusOutOfRange).
[[nodiscard]] int ArarEngine(UnivariateProject& project, const double* x, int nx);

// Holt-Winters forecasts of x: shwPeriod 0 runs the level-and-trend recursion over
// hwFirst..hwLast with hwCount, hwOptimise, hwAlpha, hwBeta; shwPeriod d >= 2 the seasonal one
// over shwFirst..shwLast with shwCount, shwOptimise, shwAlpha, shwGamma, shwBeta. Writes the
// constants used, the root mean squared one-step error (hwRootMse or shwRootMse) and the
// forecast vector (hwForecasts or shwForecasts): the data over first..last, then the forecasts.
//   x (in, nx), nx (in)  as for ArarEngine
// The series is smoothed scaled by a power of two (HoltWintersForecastScaled), and the forecasts
// and the root mean squared error taken back, as for ARAR.
// Returns kStatusDone, or kStatusBadArgument when 1 <= first < last <= nx fails, the count is
// below 1, the period is 1 or negative, the stretch has no one-step error to fit (fewer than 3
// values, or fewer than d + 2 in the seasonal path), a constant
// lies outside [0, 1] or the forecast vector is shorter than last + count; kStatusOutOfRange
// when a forecast or the error leaves the doubles on the scale of the data; kStatusNotFinite or
// kStatusOutOfRange from HoltWintersForecast.
[[nodiscard]] int HoltWintersFit(UnivariateProject& project, const double* x, int nx);

