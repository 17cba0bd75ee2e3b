#pragma once
// Reports of the forecast and smoothing views of a univariate project: ARMA, ARAR, Holt-Winters
// and seasonal Holt-Winters forecasts, exponential, FFT and moving-average smoothing.
#include "shell/report_text.h"
#include "univariate/univariate_project.h"

// The k-step ARMA predictions and the square roots of their mean squared errors, one row for
// each step the two vectors hold.
InfoCalls ArmaForecastReport(const UnivariateFields& project);

// The forecast tables read forecast i at the engine's last index + i in the forecast vector
// (ARAR: `ararForecastEnd` - `ararCount`; Holt-Winters: `hwEngineLast`, `shwEngineLast`) and
// label it with the stored last index + i; rows stop where the vector ends. The ARAR whitening
// filter lists ararLags(4) + 1 values, plus ararDegree when the run asked for memory shortening
// (ararOption 0): the record keeps an earlier run's degree when it did not.
InfoCalls ArarForecastReport(const UnivariateFields& project);
InfoCalls HoltWintersReport(const UnivariateFields& project);
InfoCalls SeasonalHoltWintersReport(const UnivariateFields& project);

// The smoothing parameters and the square roots of the stored mean squared errors.
InfoCalls ExpSmoothingReport(const UnivariateFields& project);
InfoCalls FftSmoothingReport(const UnivariateFields& project);
InfoCalls MaSmoothingReport(const UnivariateFields& project);
