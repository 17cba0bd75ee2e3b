#pragma once
// Residuals of a univariate project's model on its current series and what the residual views
// and the tests of randomness make of them, portable: the window layer only creates the views,
// titles them, repaints and runs the lag dialog.
//
// The residuals are the rescaled one-step prediction errors (X(t) - Xhat(t))/sqrt(r(t-1)), r the
// one-step mean squared error under unit white-noise variance, so their mean square estimates
// the white-noise variance. A project has residuals exactly when `residuals` is present.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/plot_record.h"
#include "univariate/univariate_project.h"

// What the residual views, reports and commands say when the model could not be evaluated.
extern const char* const kResidualsUnavailable;

// Residuals of the current model into `residuals` (n values) and their mean square into
// residualSsPerN (about their mean for a fractionally integrated model, about zero otherwise).
// Reads only series and n of the data; wnVariance is the same afterwards and residualsValid is
// 0. Returns 1; 0 when the model cannot be evaluated on the series (too short, not causal, no
// finite result): `residuals`, residualAcf and residualPacf are then absent and residualSsPerN
// is 0, so nothing shows numbers of an evaluation that failed.
int32_t ComputeResiduals(UnivariateFields& project);

// The rescaled one-step prediction errors of x(1..n) under a stationary process with
// autocovariances gamma(0..n-1), by the Durbin-Levinson recursion (Brockwell and Davis, Time
// Series: Theory and Methods, section 5.2): resid(t) = (x(t) - xhat(t))/sqrt(v(t-1)), v(0) =
// gamma(0), v(m) = v(m-1)(1 - phi(m,m)^2). Returns 1; 0 (resid untouched) when x is empty, gamma
// holds fewer than n values, or a one-step variance is not positive or a result not finite.
int32_t DurbinLevinsonResiduals(const std::vector<double>& gamma, const std::vector<double>& x,
                                std::vector<double>& resid);

// The Durbin-Levinson recursion on gamma(0..n-1) (gamma holding at least n values, gamma(0) > 0):
// for m = 0..n-1 calls step(m, b, v) with b[1..m] = phi(m, 1..m), the coefficients of the best
// linear predictor of X(m+1) from X(m), .., X(1), and v = v(m), its one-step variance. Returns
// true; false as soon as a variance is not positive and finite.
template <typename Step>
bool DurbinLevinsonRecursion(const std::vector<double>& gamma, size_t n, Step&& step)
{
    // a: coefficients of the last step, b: of this one.
    std::vector<double> a(n + 1, 0.0), b(n + 1, 0.0);
    double v = gamma[0];
    step(size_t{0}, b.data(), v);
    for (size_t m = 1; m < n; ++m) {
        double s = gamma[m];
        for (size_t j = 1; j < m; ++j) s -= a[j] * gamma[m - j];
        b[m] = s / v;
        for (size_t j = 1; j < m; ++j) b[j] = a[j] - b[m] * a[m - j];
        v *= 1.0 - b[m] * b[m];
        if (!(v > 0.0) || !std::isfinite(v)) return false;
        step(m, b.data(), v);
        std::copy(b.begin() + 1, b.begin() + static_cast<std::ptrdiff_t>(m) + 1, a.begin() + 1);
    }
    return true;
}

// Sample ACF and PACF of the residuals, lags 0..residualAcfLags (at least 1), into residualAcf
// and residualPacf; lags of n or more have autocorrelation 0. Returns 1, or 0 without residuals
// (both released).
int32_t ComputeResidualAcf(UnivariateFields& project);

// Histogram of the residuals between their smallest and largest value with `bins` bins (0: the
// default 2·floor(log2 n) + 1, written back), binned as the data histogram (HistogramCounts);
// the largest residual is counted in the last bin. Equal residuals are counted in the middle of
// a range of width 1 around their value. residualHistogramBins := bins; histogramBins, the data
// histogram's, is not touched. Returns 1, or 0 without residuals, for bins outside
// 0..kMaxHistogramBins or a range too wide for doubles (nothing written).
int32_t ResidualHistogramValues(UnivariateFields& project, int32_t& bins, std::vector<double>& edges,
                                std::vector<double>& counts);

// The residual plot (curve 1 against firstIndex..lastIndex) and the residual histogram (curve 1)
// of their views; 0 without residuals, and the view then shows no data (curve 1 reset).
int32_t DrawResidualPlot(PlotRecord& view, const UnivariateFields& project);
int32_t DrawResidualHistogram(PlotRecord& view, UnivariateFields& project, int32_t& bins);

// The lags h the tests of randomness accept: k < h < upper, with k = numFree and upper =
// min(n, 54); the dialog proposes `suggested` = min(k + 21, n) - 1, which the refresh also uses.
struct RandomnessLagRange {
    int32_t k = 0, upper = 0, suggested = 0;
};
RandomnessLagRange RandomnessLags(const UnivariateFields& project);
// Whether some h satisfies k < h < upper.
inline bool AnyRandomnessLag(const RandomnessLagRange& range) { return range.k + 1 < range.upper; }
inline bool RandomnessLagAccepted(const RandomnessLagRange& range, int32_t h)
{
    return range.k < h && h < range.upper;
}
// The texts of the lag dialog: "Enter value of h, k < h < upper" and "Suggested value is s.".
std::string RandomnessLagPrompt(const RandomnessLagRange& range);
std::string RandomnessLagSuggestion(const RandomnessLagRange& range);
