#pragma once
// The portable side of the Smooth menu: exponential, FFT and moving-average smoothing of the
// imported series. The commands smooth `originalSeries`, let a dialog recompute the result while
// it is open, and afterwards keep it (OK) or put back what the project held (Cancel); they store
// the mean squared difference between the series and its smoothed version. Everything here works
// on the record alone, so the dialogs stay thin.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "univariate/univariate_project.h"

// Shown when a smoothing step ran out of memory; the project keeps what it held before.
extern const char* const kSmoothingMemoryMessage;

enum SmoothingKind : int32_t {
    SMOOTH_EXPONENTIAL = 0,
    SMOOTH_FFT = 1,
    SMOOTH_MOVING_AVERAGE = 2,
};

// The view of each kind, and the prefix its title takes when the command creates it.
int32_t SmoothingView(SmoothingKind kind);
const char* SmoothingViewTitlePrefix(SmoothingKind kind);

// ---- The slider of the exponential and FFT dialogs: positions 1..11 stand for 0.0, 0.1, .., 1.0.

constexpr int32_t kSmoothSliderFirst = 1;
constexpr int32_t kSmoothSliderLast = 11;

// floor(10 v + 0.5) + 1, held within 1..11 (where the trackbar would hold it).
int32_t SmoothingSliderPosition(double v);
// The position a dialog opens at: 1 for an exponential parameter of -1 or less (the search).
int32_t SmoothingSliderStart(SmoothingKind kind, double v);
// (position - 1) * 0.1.
double SmoothingSliderValue(int32_t position);
// The parameter as its edit box shows it: two decimals without blanks (FittedFixed on its fixed
// scale, so that any value reads back).
std::string SmoothingParameterText(double v);

// Messages of a refused typed parameter.
extern const char* const kExpParameterMessage;  // "Exp. smooth parameter must be in [0.0, 1.0] or -1"
extern const char* const kFftParameterMessage;  // "FFT smooth parameter must be in [0.0, 1.0]"

enum SmoothingEntry : int32_t {
    SMOOTHING_ENTRY_IGNORED = 0,   // a blank text: nothing happens, no message
    SMOOTHING_ENTRY_REFUSED = 1,   // out of range or no number: `message` says why
    SMOOTHING_ENTRY_ACCEPTED = 2,  // `v` holds the value
};
// A parameter typed into the exponential (kind 0) or FFT (kind 1) edit box: 0..1, and for the
// exponential dialog also -1 (choose the constant by search).
SmoothingEntry ReadSmoothingEntry(SmoothingKind kind, std::string_view text, double& v, std::string& message);

// ---- Running the smoothers

// The kind's parameter field (expAlpha or fftFraction; the moving average has none: null).
double* SmoothingParameter(UnivariateFields& project, SmoothingKind kind);
std::vector<double>& SmoothedSeries(UnivariateFields& project, SmoothingKind kind);
// The field holding the mean squared difference (expRootMse, fftRootMse, maRootMse).
double& SmoothingError(UnivariateFields& project, SmoothingKind kind);

// Smooths originalSeries into the kind's smoothed series (n values). The exponential and FFT
// smoothers use `parameter` (an exponential -1 is replaced by the constant the search chose);
// the moving average uses maWeights and maOrder and ignores it. Returns 1; 0 when there are no
// data or the weights do not match the order (nothing changed).
int32_t SmoothOriginal(UnivariateFields& project, SmoothingKind kind, double& parameter);

// (1/n) sum (x(t) - s(t))^2 over the values both hold; 0 when they hold none.
double MeanSquaredDifference(const std::vector<double>& x, const std::vector<double>& s);

// ---- One run of a command

// What a run remembers to put back on Cancel, and what the moving-average dialog last applied.
struct SmoothingRun {
    SmoothingKind kind = SMOOTH_EXPONENTIAL;
    double parameter = 0.0;
    int32_t maOrder = 0;
    std::vector<double> maWeights;
    std::vector<double> smoothed;  // the smoothed series before the run; empty when none
    // The order and weights of the last Apply of the moving-average dialog (its start before one).
    int32_t appliedOrder = 0;
    std::vector<double> appliedWeights;
};

// Steps before the dialog: remembers the parameter (a moving average without valid weights
// first gets order 0 and the single weight 1.0) and the smoothed series, then smooths with the
// project's own parameter. Returns 1; 0 when the project holds no imported series (nothing is
// changed: the mean squared difference would be 0/0).
int32_t BeginSmoothing(UnivariateFields& project, SmoothingKind kind, SmoothingRun& run);

// Steps after the dialog. Cancel (accepted 0) with a view that existed before puts back the
// parameter, the weights and the smoothed series; Cancel with a view the run created keeps the
// values last tried, except that the moving average goes back to the order and weights of its
// last Apply (typed weights never applied are dropped). Then stores the mean squared difference.
void EndSmoothing(UnivariateFields& project, SmoothingRun& run, int32_t accepted, bool viewExisted);

// ---- Moving-average weights (theta(0)..theta(q), maWeights[k] = theta(k))

constexpr int32_t kMaxMaOrder = 99;
extern const char* const kMaOrderMessage;     // "MA Order must be < 100"
extern const char* const kMaZeroSumMessage;   // "MA coefficients cannot sum to zero"
extern const char* const kMaNotFiniteMessage; // "MA coefficients must have a finite sum"
extern const char* const kMaOverflowMessage;  // the smoothed series would not be finite

// An order typed into the order box: 0..99 is stored in `order` (true). 100 or more gives
// kMaOrderMessage, text that is no whole number the refusal that says why; a blank or negative
// entry gives no message; `order` keeps its value.
bool ReadMaOrderEntry(std::string_view text, int32_t& order, std::string& message);
// maOrder := order, the weights cut or extended by zeros to order + 1 values.
void ChangeMaOrder(UnivariateFields& project, int32_t order);
// A weight typed into the weight box: a number replaces `weight` (true); anything else leaves it.
bool ReadMaWeightEntry(std::string_view text, double& weight);
// Why the text of weight theta(lag) is refused, or "" for a number or a blank text.
std::string MaWeightRefusal(int32_t lag, std::string_view text);
// "Theta(k) = " and the weight with 5 significant digits.
std::string MaWeightLabel(int32_t lag);
std::string MaWeightText(double weight);
// The list lines "Theta(k) = w", k = 0..q.
std::vector<std::string> MaWeightLines(const std::vector<double>& weights);
// The weight number (1..order + 1) after `current`; after the last comes 1.
int32_t NextMaWeight(int32_t current, int32_t order);
// Apply: divides the weights by theta(0) + 2 (theta(1) + .. + theta(q)) and smooths the series
// with them. Returns "" when done; otherwise the message, and nothing changed: a zero (or a
// vanishing) sum, a sum that is not finite, or a smoothed series that would not be finite.
// `run` records the applied order and weights.
std::string ApplyMaWeights(UnivariateFields& project, SmoothingRun& run);
