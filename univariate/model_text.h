#pragma once
// The model of a univariate project as report lines (the regression trend M(t) when one has been
// estimated, then the ARMA model of X(t)), and the AR/MA infinity report.
#include <cstdint>

#include "shell/report_text.h"
#include "univariate/univariate_project.h"

// Appends the model lines to a report: the trend part when `regressionPresent` > 0, then a blank
// line, "ARMA Model:" and the ARMA model, terms four to a line. Coefficients the trend needs
// but `trendCoefficients` lacks count as 0. Writes no heading and does not clear.
void AppendModelText(ReportWriter& out, const UnivariateFields& project);

constexpr int32_t kInfinityLags = 50;

// The first 50 weights, lags 0..49, of the MA-infinity and AR-infinity expansions of the model:
// of (1-B)^-d theta(B)/phi(B) and (1-B)^d phi(B)/theta(B) for a fractionally integrated model
// (which counts as invertible), of theta(B)/phi(B) and phi(B)/theta(B) otherwise. The AR-infinity
// weights are computed only for an invertible MA part (zeros otherwise); weights of orders
// outside 0..26 stay 0.
struct InfinityWeights {
    double ma[kInfinityLags] = {};
    double ar[kInfinityLags] = {};
    bool invertible = true;
};
InfinityWeights ArmaInfinityTable(const UnivariateFields& project);

// The AR/MA infinity report: clear, heading, the model, and the table of the 50 weights of each
// kind ("*" in place of the AR-infinity weights of a non-invertible model).
InfoCalls ArmaInfinityReport(const UnivariateFields& project);
