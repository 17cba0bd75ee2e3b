#pragma once
// AR forecasting of a multivariate project without its windows: whether the project can be
// forecast, the check of the forecast dialog's entries, the forecast recursion and the curves
// of the "AR Forecast" view.
#include <cstdint>
#include <string>
#include <string_view>

#include "multivariate/multivariate_project.h"

// The most forecasts one command computes, and the most series the view can show (two curves
// per series in ten).
constexpr int32_t kMvMaxForecasts = 1000000;
constexpr int32_t kMvMaxForecastSeries = kPlotCurveCount / 2;

// Caption of the forecast command's messages.
extern const char* const kMvForecastCaption;  // "ERROR"

// "" when the project can be forecast; else why not: no data, no model fitted since the data were
// set or last transformed, or more series than the view shows.
std::string MvForecastRefusal(const MultivariateProject& project);

// "Enter number of predicted values past observation" followed by a blank, `last` and ":".
std::string MvForecastPrompt(int32_t last);
// "Enter index of last observation in subset  (total number of observations is n)".
std::string MvForecastSubsetLabel(int32_t n);

// The forecast dialog's OK, for N observations and order P. h is read from `countText` (0 when it
// is not an integer); the last observation from `lastText` when `useSubset` (-1 when it is not an
// integer), else N. Accepted when 1 <= h <= kMvMaxForecasts and P < last <= N; otherwise
// `message` says why and `focusControl` names the edit to correct (the count's or the last
// observation's); a text that is no whole number is refused with its reason. `last` is what the
// prompt then shows.
struct MvForecastCheck {
    bool accepted = false;
    int32_t h = 0;
    int32_t last = 0;
    std::string message;
    int32_t focusControl = 0;
};
MvForecastCheck MvCheckForecastEntries(std::string_view countText, bool useSubset, std::string_view lastText,
                                       int32_t N, int32_t P);

// Computes h forecasts from the observation at position `origin` on by the fitted model:
// forecasts(i, t) = constant(i) + sum over k = 1..p, j = 1..m of PHI(k)(i, j) forecasts(j, t-k),
// for t = origin+1..origin+h in increasing t, the forecasts serving as lagged values of later
// ones. The m by max(origin + h, n) table holds the observations at every other position. On
// success the model takes the table, h, the origin, the end origin + h and `useSubset`.
// Returns 1; 0 with the model unchanged when the project cannot be forecast, the arguments are out
// of range (1 <= h <= kMvMaxForecasts, p < origin <= n) or a forecast is not finite.
// Throws std::bad_alloc when the table cannot be allocated (the model unchanged).
[[nodiscard]] int32_t MvForecast(MultivariateProject& project, int32_t h, int32_t origin, int32_t useSubset);

// Fills the forecast view, keeping its window, slot and report window: in panel k ("Series k")
// curve k the table's row k over the data's time indices, curve m + k the h forecasts at the time
// indices that follow the origin. Returns 0 when there are no forecasts, else 1.
int32_t MvForecastCurves(MultivariateProject& project);
