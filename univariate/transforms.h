#pragma once
// The transforms of a univariate project's current series and their exact inverses: lag-h
// differencing, Box-Cox, classical decomposition (seasonal components or harmonics, with an
// optional polynomial trend), subtract mean and subsequence. Each apply routine pushes a
// TransformNode holding what its inverse needs; each undo routine pops the newest node when it
// is of its own kind. Also the checks of the transform dialogs' entries, with their messages.
//
// Every routine works on a copy of the series and commits only a complete, finite result: a
// routine that returns 0 has pushed or popped nothing and left the project as it was. A transform
// is applied only when its undo, run on the transformed copy before anything is committed, gives
// the series back: finite, and within kRoundTripTolerance of the largest |x(t)|; and when undoing
// it and then every older transform gives back, by the same rule, the series as it was before the
// oldest transform (which the oldest node keeps), so that Undo can always go down to the
// untransformed series. The check costs one undo pass of the stack. Each apply routine takes an
// optional `why` (out), which on a refusal receives the message that says why:
// kTransformRangeMessage, or kTransformLossMessage when a round trip fails.
#include <cstdint>
#include <string>
#include <vector>

#include "univariate/univariate_project.h"

// Caption of every message of the transform commands and dialogs.
extern const char* const kVeskErrorCaption;  // "KELO::Vesk Error"
// Shown when a transform would leave values that are not finite numbers.
extern const char* const kTransformRangeMessage;
// Shown when the newest transform's stored values do not fit the series (a damaged file).
extern const char* const kUndoImpossibleMessage;
// Shown when the transformed values would not give the series back on Undo: too few digits are
// left (powers of values below the spacing of doubles near 1), or the inverse overflows (values
// near the largest double).
extern const char* const kTransformLossMessage;
// Reasons of UndoWholeStack (and of a project file's refusal): a node of a kind the program does
// not know; a stack whose undo gives a value out of range or an index beyond the int32 range.
extern const char* const kUnknownTransformKind;
extern const char* const kStackUndoFault;

// Relative accuracy, against the largest |x(t)|, to which an undo must give the series back.
// Box-Cox with a small lambda loses about 2e-16/lambda, at most 2e-9 at its smallest 1e-7.
constexpr double kRoundTripTolerance = 1e-8;

// ---- Difference (kind 1)

// The message for a lag h typed for a series of n values: "Lag must be positive" below 1,
// "Lag too large for data set." from n - 1 on, "" when 1 <= h < n - 1.
std::string DifferenceLagMessage(int32_t n, int32_t h);
// A lag typed for a series of n values: "" with h set, else the refusal of a text that is no
// whole number ("Lag \"1,5\" has a decimal comma: ...") or DifferenceLagMessage's.
std::string ReadDifferenceLag(int32_t n, const std::string& text, int32_t& h);
// y(t) = x(t + h) - r(t), t = 1..n - h, where r(t) is x(t) as Undo rebuilds it (Undifference): the
// difference taken against the rebuilt value, so that the rounding of one difference is taken
// back by the next one instead of adding up in Undo's running sums. Data of a few decimals are
// not on a binary grid, so their differences do round (181 of the 3176 lag-1 differences of
// monthly sunspot numbers), and r(t) then misses x(t) by a unit in its last place; y(t) can
// differ from x(t + h) - x(t) by as much. Two equal values always give exactly 0.
// firstIndex += h. The node keeps x(1..h) in `removed`.
// Returns 1; 0 for a lag outside 1 <= h < n - 1, a difference out of range or a failed round trip.
[[nodiscard]] int32_t ApplyDifference(UnivariateProject& project, int32_t h, const char** why = nullptr);
// Rebuilds x from the removed values. Returns 1; 0 when the newest node is missing, of another
// kind, or damaged.
[[nodiscard]] int32_t UndoDifference(UnivariateProject& project);
// The values a lag-h difference was taken of (h = removed.size() >= 1), rebuilt from the h values
// it removed and its m differences y: x(t) = removed(t) for t <= h, x(t) = y(t - h) + x(t - h)
// after, summed in that order; x receives h + m values. The running sum of Undo, of the
// whole-stack check and of the forecasts' undo.
void Undifference(const std::vector<double>& removed, const std::vector<double>& y, std::vector<double>& x);

// ---- Box-Cox (kind 2)

enum BoxCoxDataSign : int32_t {
    BOXCOX_POSITIVE = 0,   // every value > 0
    BOXCOX_ZEROS = 1,      // none < 0, at least one exactly 0
    BOXCOX_NEGATIVES = 2,  // some value < 0
};
// Below this parameter the transform is the natural logarithm.
constexpr double kBoxCoxLogLimit = 1e-7;
int32_t BoxCoxSign(const std::vector<double>& series);
// The value before the transform of y: exp(y) below kBoxCoxLogLimit, else (lambda y + 1)^(1/lambda),
// with a base below 0 taken as 0 (a former 0 comes back as -1/lambda, and after other round trips
// or in a forecast lambda y + 1 can fall below 0, whose power would be NaN). Undo, the forecasts
// and the simulation's added Box-Cox share it.
double BoxCoxInverse(double y, double lambda);
// The message for a typed parameter: with zero allowed (positive data) 0 <= lambda <= 1.5, else
// "Box-Cox parameter must be in [0.0, 1.5]"; without it the logarithm is refused too, so
// 1e-7 <= lambda <= 1.5, else "Box-Cox parameter must be in (0.0, 1.5]". "" when valid.
std::string BoxCoxLambdaMessage(bool zeroAllowed, double lambda);
// A typed parameter: "" with `lambda` set when it is valid, "" with `lambda` unchanged for a blank
// text, else the refusal of a text that is no number ("Box-Cox parameter \"0,5\" has a decimal
// comma: ...") or BoxCoxLambdaMessage's.
std::string ReadBoxCoxEntry(bool zeroAllowed, const std::string& text, double& lambda);
// Trackbar position of a parameter: floor(10 lambda + 0.5).
int32_t BoxCoxPosition(double lambda);
// x := ln x below 1e-7, else (x^lambda - 1) / lambda. Returns 1; 0 for data with a negative
// value, a result out of range (the logarithm of 0 included) or a failed round trip.
[[nodiscard]] int32_t ApplyBoxCox(UnivariateProject& project, double lambda, const char** why = nullptr);
// x := exp x below 1e-7, else (lambda x + 1)^(1/lambda), a base below 0 (a former 0 after
// rounding) taken as 0. Returns 1; 0 as for UndoDifference.
[[nodiscard]] int32_t UndoBoxCox(UnivariateProject& project);

// ---- Classical decomposition (kinds 4 and 8)

// The entries of the Classical Decomposition dialog.
struct ClassicalEntries {
    bool seasonal = false;
    bool harmonic = false;
    bool polynomial = true;
    bool quadratic = false;
    std::string period;
    std::string harmonics;
    std::string index[4];
};

// What the entries ask for. kind 0: nothing to apply; TRANSFORM_CLASSICAL (period d >= 2, or -1
// for a trend alone) or TRANSFORM_HARMONIC; -1: refused with `message`, the focus to
// `focusControl`.
struct ClassicalChoice {
    int32_t kind = 0;
    int32_t period = -1;
    int32_t degree = 0;
    int32_t harmonics = 0;
    int32_t fourierIndex[4] = {0, 0, 0, 0};
    std::string message;
    int32_t focusControl = 0;
};
ClassicalChoice CheckClassicalEntries(const ClassicalEntries& entries, int32_t n);

// Removes the seasonal components of period d (none for d = -1) and then a polynomial trend of
// the degree (0..2). fit(1..n) receives what was removed. Returns 1; 0 when nothing would be
// removed, the period or degree does not suit n (2 <= d <= n/3; a trend needs degree < n), or
// a result is out of range, or the round trip fails.
[[nodiscard]] int32_t ApplyClassicalSeasonal(UnivariateProject& project, int32_t d,
                                             std::vector<double>& fit, int32_t degree,
                                             const char** why = nullptr);
[[nodiscard]] int32_t UndoClassicalSeasonal(UnivariateProject& project);
// Removes k harmonics at the Fourier indices (1 <= j < n/2) with the mean, then the trend.
[[nodiscard]] int32_t ApplyClassicalHarmonic(UnivariateProject& project, std::vector<double>& fit,
                                             int32_t k, const int32_t indices[4], int32_t degree,
                                             const char** why = nullptr);
[[nodiscard]] int32_t UndoClassicalHarmonic(UnivariateProject& project);
// Applies a checked choice (kind 4 or 8). Returns the apply routine's status; 0 for other kinds.
[[nodiscard]] int32_t ApplyClassicalChoice(UnivariateProject& project, const ClassicalChoice& choice,
                                           std::vector<double>& fit, const char** why = nullptr);

// The newest classical decomposition of a stack, re-fitted to the data it was applied to.
struct ClassicalFit {
    std::vector<double> data;  // the series before the classical transform
    int32_t firstIndex = 0, lastIndex = 0;
    std::vector<double> fit;   // the fitted trend and seasonal (or harmonic) part
};
// On a scratch copy of the project, undoes the transforms from the newest down to the first
// classical one (differences, Box-Cox, means and subsequences on the way), then re-applies it.
// Returns 1 with `out` filled; 0 when the stack holds no classical transform reachable that way.
// The project is not changed.
[[nodiscard]] int32_t ClassicalFitOfStack(const UnivariateProject& project, ClassicalFit& out);

// ---- Subtract mean (kind 16)

[[nodiscard]] int32_t ApplySubtractMean(UnivariateProject& project, const char** why = nullptr);
[[nodiscard]] int32_t UndoSubtractMean(UnivariateProject& project);

// ---- Subsequence (kind 32)

// "Select a subsequence in [first,last]".
std::string SubsequenceMessage(int32_t firstIndex, int32_t lastIndex);
// Keeps indices a..b; firstIndex <= a < b <= lastIndex. Returns 1, else 0.
[[nodiscard]] int32_t ApplySubsequence(UnivariateProject& project, int32_t a, int32_t b);
[[nodiscard]] int32_t UndoSubsequence(UnivariateProject& project);

// ---- Undo of the newest transform

// Undoes the newest node by its kind; undoing a classical decomposition also destroys the fit
// view (UnivariateWindows.destroyPlotWindow). Returns 1 undone, 0 when the stack is empty or the
// node cannot be undone (unknown kind, damaged values); nothing changed then.
[[nodiscard]] int32_t UndoNewestTransform(UnivariateProject& project);

// ---- The whole stack of a project file

// Why a node's stored values could not have come from the Transform menu and its dialogs, or
// nullptr when they could. Whatever the series: a lag below 1; a Box-Cox parameter outside
// 0..1.5; a trend degree outside 0..2; a period below 2 other than -1 for a trend alone (which
// then has a degree); harmonics outside 1..4 or a Fourier index of theirs below 1; a kind the
// program does not know (kUnknownTransformKind).
const char* NodeOutsideDialogs(const TransformNode& node);
// The same, and the limits on the series of n values the node was applied to (n counted before
// the transform): a lag up to n - 2; a period up to n/3; Fourier indices below n/2; a trend
// degree below n; a subsequence that keeps 2 values or more; a Box-Cox or mean of 1 value or
// more. The apply routines keep to the same limits.
const char* NodeOutsideDialogs(const TransformNode& node, int64_t n);

// Undoes a whole stack, given newest first, from `values` at indices first..last as Undo would,
// checking each node first against the dialogs' limits on the series it was applied to
// (NodeOutsideDialogs) and a Box-Cox node's values against what the transform gives (nothing
// below -1/lambda, which Undo would turn into zeros), and at the end the range of the series as
// loaded: index kFirstSeriesIndex to kMaxLastSeriesIndex at most. Returns nullptr, with `values` the series before the oldest
// transform; else the reason (of those checks, or kStackUndoFault), `values` then in any state.
const char* UndoWholeStack(const std::vector<const TransformNode*>& newestFirst, std::vector<double>& values,
                           int64_t first, int64_t last);
