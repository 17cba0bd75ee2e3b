#pragma once
// The report of a univariate project's data window: the number of observations, the mean, the
// variance and a standard error of the mean that allows for autocorrelation, and the model.
#include <cstdint>
#include <vector>

#include "shell/report_text.h"
#include "univariate/univariate_project.h"

struct DataSummary {
    double mean = 0.0;
    double variance = 0.0;       // (1/n) sum (x - mean)^2; +Infinity when it lies beyond the doubles
    double standardError = 0.0;  // of the mean
};

// For x(1..n), n >= 1, finite: the mean, the variance and the standard error of the mean
// sqrt((1/n) sum_{|h|<r} (1 - |h|/r) acvf(h)), r = floor(sqrt(n)), acvf the sample
// autocovariances (divisor n). Written with the autocovariances themselves, so a constant series
// has standard error 0. Computed on the values scaled by a power of two: the mean and the
// standard error are finite for any finite values; only a variance beyond the largest double
// (values near it beside ordinary ones, or of both signs) is not.
DataSummary SummariseData(const std::vector<double>& x);

// The data report: clear, heading, count, (with data) mean or subtracted mean, variance (or that
// the values are too large for it) and standard error, then the model and the white-noise
// variance. The mean has 4 decimals, the others 6, in the 15-character field of FormatFitted:
// a value too large for its decimals comes in significant-digit form, never as asterisks.
InfoCalls DataReport(const UnivariateFields& project);
