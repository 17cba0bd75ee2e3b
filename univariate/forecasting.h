#pragma once
// The forecasting commands of a univariate project without their windows: the summary of the
// transform stack, the one pipeline that undoes the transforms on data and forecasts, the
// forcing rules of the ARMA forecast options, the checks of the four forecast dialogs, and the
// runs that fill the record and the two curves of each forecast view.
#include <cstdint>
#include <string>
#include <vector>

#include "univariate/univariate_project.h"

// What the forecasting commands need to know of a transform stack. Where a kind other than
// differencing occurs twice, the oldest node stands.
struct TransformSummary {
    bool any = false;
    const TransformNode* mean = nullptr;        // subtract mean
    const TransformNode* boxCox = nullptr;
    const TransformNode* classical = nullptr;   // seasonal (or trend-only) or harmonic
    // The newest cut: the newest node, or the one under the stack's only mean when that mean is
    // the newest node (the estimation commands subtract the mean also after a cut).
    const TransformNode* subsequence = nullptr;
    bool meanAfterSubsequence = false;          // that mean was subtracted from the cut values only
    std::vector<const TransformNode*> differences;  // newest first
    int32_t totalLag = 0;                       // sum of the difference lags (bounded)
};
TransformSummary SummariseTransforms(const TransformNode* top);

// Which transforms the pipeline undoes.
struct UndoChoice {
    bool regression = false;
    bool mean = false;
    bool undifference = false;
    bool trend = false;
    bool boxCox = false;
};

// Undoes the chosen transforms on the current series w (n values on entry) and, when f is not
// empty, on its forecasts f(1..h) of times n + 1..n + h, in the order regression trend, mean,
// differences (newest first), harmonic or seasonal components with the polynomial trend,
// Box-Cox. The summary's subsequence is undone before the older transforms and redone last: its
// head goes in front of w, so that seasonal phases, times, harmonics and the integration count
// from the uncut series, and is dropped again at the end. A mean subtracted after the cut is
// added before the head goes back, which never had it removed. After undifferencing w holds
// n + g values.
// lagsUndone receives g (0 without undifferencing). Returns 1; 0 when a value is not finite
// afterwards (w and f are then unspecified) or a node's stored values do not fit the series.
[[nodiscard]] int32_t UndoForecastTransforms(const UnivariateFields& u, const TransformSummary& s,
                                             const UndoChoice& choice, std::vector<double>& w,
                                             std::vector<double>& f, int32_t& lagsUndone);

// The forcing rules of the ARMA forecast options, applied in place in the record.
void ApplyForecastRules(UnivariateFields& u, const TransformSummary& s);

// ---- ARMA forecast (dialog 146)

// The result of a dialog's OK: accepted, shown again silently, or shown again after a message.
struct ForecastCheck {
    bool accepted = false;
    std::vector<std::string> messages;  // shown one after the other; none: shown again silently
    std::string caption;
    int32_t focusControl = 0;   // the entry to correct (0: none)
    bool completeSet = false;   // the range entered is the default (complete) one
};

// The white-noise variance dialog 146 proposes: with 6 decimals where they show it, else to 6
// significant digits, so that OK on the proposal reads it back (ProposedNumberText).
std::string ForecastVarianceText(double variance);

// Checks the entries of dialog 146; only when they are accepted are the number of forecasts
// written to `steps` and the variance to `v`, so that a refused entry reaches nothing. A number
// of forecasts beyond the integers is refused with the range, as one beyond 100000 is; an entry
// that is no number of its kind (text, a decimal comma, a fraction for the count) is refused with
// its reason.
ForecastCheck CheckArmaForecastEntries(const std::string& stepsText, const std::string& varianceText,
                                       bool regressionChecked, int32_t auxPresent, int32_t& steps, double& v);

// Outcome of ArmaForecastRun.
enum ForecastRunStatus : int32_t {
    FORECAST_DONE = 1,
    FORECAST_NO_DATA = 0,
    FORECAST_MODEL_FAILED = -1,  // the model could not be evaluated (not causal, too short)
    FORECAST_OUT_OF_RANGE = -2,  // a value became infinite when the transforms were undone
    FORECAST_NO_MEMORY = -3,
    FORECAST_REFUSED = -4,       // the engine refused the settings
    // The series is too close to an end of the double range for the method: a result it needs
    // (a forecast, a mean squared error) would leave the doubles even with the series scaled.
    FORECAST_VALUES_OUT_OF_RANGE = -5,
};
// The message of a failed run, for the user ("" for FORECAST_DONE and FORECAST_NO_DATA).
const char* ForecastFailureMessage(int32_t status);

// The two curves of a forecast view: data at abscissae dataFirst.., forecasts at forecastFirst...
struct ForecastCurves {
    std::vector<double> data;
    double dataFirst = 1;
    std::vector<double> forecasts;
    double forecastFirst = 1;
};

// Forecasts forecastSteps values of the project's model with the stored options (the forcing
// rules applied first). `dialog` says whether v was entered in the dialog: it then rescales the
// mean squared errors by v / residualSsPerN (no rescaling while residualSsPerN is 0) and
// becomes wnVariance; without it wnVariance keeps its value. With the differences undone the
// mean squared errors are those of the integrated series. A series near the ends of the double
// range is evaluated scaled by a power of two (numlib/finite_values.h), its forecasts and mean
// squared errors taken back to the scale of the data: FORECAST_VALUES_OUT_OF_RANGE when they
// leave the doubles there. On FORECAST_DONE armaForecasts,
// armaForecastMse and `curves` hold the results; otherwise armaForecasts and armaForecastMse
// are empty, the model and wnVariance are as they were.
int32_t ArmaForecastRun(UnivariateProject& u, bool dialog, double v, ForecastCurves& curves);

// Predictors and mean squared errors of a fractionally integrated model (Durbin-Levinson on its
// autocovariances; sigma2 = wnVariance), h = forecastSteps, into armaForecasts and
// armaForecastMse. Returns 1; 0 when the autocovariances cannot be had or a result is not finite
// (the two vectors are then left alone). modelAcfLags is the same afterwards.
int32_t ForecastMse(UnivariateFields& u);

// ---- ARAR (dialog 102)

struct ArarEntries {
    std::string steps, first, last;
    bool subset = false;
    bool untransformed = true;
    int32_t n = 0, g = 0;
};
// The checks of OK in dialog 102, in their order; a range that is both too short and past the
// end gets both messages.
ForecastCheck CheckArarEntries(const ArarEntries& e);
// The default range: first 1 (g + 1 when the transforms stay) and last T = n + g.
void DefaultForecastRange(bool untransformed, int32_t n, int32_t g, int32_t& first, int32_t& last);

// Settings of an ARAR run, first and last in the numbering of the untransformed series.
struct ArarSettings {
    int32_t count = 10, subset = 0, first = 1, last = 2, option = 0, criterion = 1;
    bool untransformed = true;
};
// Runs ARAR on the series, the transforms undone when asked. On FORECAST_DONE the settings, the
// results and ararForecastEnd are stored and the curves filled; otherwise the record is as it
// was. FORECAST_VALUES_OUT_OF_RANGE when the engine's results leave the doubles.
int32_t ArarForecastRun(UnivariateProject& u, const ArarSettings& settings, ForecastCurves& curves);

// ---- Holt-Winters (dialog 104) and seasonal Holt-Winters (dialog 103)

struct HoltWintersEntries {
    std::string steps, alpha, beta, gamma, period, first, last;
    bool seasonal = false;
    bool subset = false;
    bool untransformed = true;
    int32_t n = 0, g = 0;
};
ForecastCheck CheckHoltWintersEntries(const HoltWintersEntries& e);

// A smoothing constant (alpha, beta, gamma) as the Holt-Winters dialogs propose it: with 5
// decimals, a constant on the scale of one (FittedFixed), readable by OK at any value.
std::string SmoothingConstantText(double value);

// Settings of a Holt-Winters run (seasonal when period >= 2), first and last as for ARAR.
struct HoltWintersSettings {
    int32_t count = 10, subset = 0, first = 1, last = 2, optimise = 1, period = 0;
    double alpha = 0.2, beta = 0.2, gamma = 0.2;
    bool untransformed = true;
};
// Runs the plain or seasonal fit as ArarForecastRun runs ARAR; stores the fields of its kind
// (hw... or shw..., with hwEngineLast or shwEngineLast for the reports). A plain run sets
// shwPeriod to 0, a seasonal one to its period.
int32_t HoltWintersRun(UnivariateProject& u, const HoltWintersSettings& settings, ForecastCurves& curves);
