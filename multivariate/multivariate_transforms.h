#pragma once
// The transforms of a multivariate project's table and their exact inverses: lag-h differencing,
// subtracting each series' mean and trimming to a range of time indices. Each apply routine
// pushes a MultivariateTransformNode holding what its inverse needs; each undo routine pops the
// newest node when it is of its own kind. All series are transformed together.
//
// Every routine builds its result apart from the table and commits only a complete, finite one:
// a routine that returns 0 has pushed or popped nothing and left the project as it was. A
// change of the table leaves the model in place but marks it as no longer fitted to the data.
#include <cstdint>
#include <string>

#include "multivariate/multivariate_project.h"

enum MultivariateTransformKind : int32_t {
    MV_TRANSFORM_DIFFERENCE = 1,
    MV_TRANSFORM_SUBTRACT_MEANS = 16,
    MV_TRANSFORM_TRIM = 32,
};

// Caption of the difference dialog's messages.
extern const char* const kMvDifferenceCaption;  // "KELO::Error"
// Caption of the trim dialog's message.
extern const char* const kMvTrimCaption;  // "KELO::MultiVar Error"
// Shown when a transform would leave values that are not finite numbers.
extern const char* const kMvRangeMessage;

// The message for a lag h typed for n time points: "Lag must be positive" below 1, "Lag too large
// for data set." above n - 2, "" when 1 <= h <= n - 2.
std::string MvDifferenceLagMessage(int32_t n, int32_t h);
// new(j, t) = values(j, t + h) - values(j, t) for t = 1..n - h; firstIndex += h. The node keeps
// positions 1..h in `removed`. Returns 1; 0 for a lag outside 1..n - 2 or a result out of range.
[[nodiscard]] int32_t MvDifference(MultivariateProject& project, int32_t h);
// Rebuilds the table from the removed columns. Returns 1; 0 when the newest node is missing, of
// another kind or does not fit the table.
[[nodiscard]] int32_t MvUndoDifference(MultivariateProject& project);

// Subtracts from each series its mean over the n points (kept in the node). Returns 1; 0 without
// data or for a result out of range.
[[nodiscard]] int32_t MvSubtractMeans(MultivariateProject& project);
[[nodiscard]] int32_t MvUndoSubtractMeans(MultivariateProject& project);

// "Select a subsequence in [first,last]".
std::string MvTrimMessage(int32_t firstIndex, int32_t lastIndex);
// Keeps the time indices a..b; the node keeps the columns cut before (`head`) and after (`tail`),
// each only when there are any. Returns 1; 0 unless firstIndex <= a < b <= lastIndex.
[[nodiscard]] int32_t MvTrim(MultivariateProject& project, int32_t a, int32_t b);
[[nodiscard]] int32_t MvUndoTrim(MultivariateProject& project);

// Undoes the newest transform by its kind. Returns the undo's status; 0 for an empty stack.
[[nodiscard]] int32_t MvUndoNewest(MultivariateProject& project);

// The Undo item of the multivariate Transform menu for the stack: "Undo" and greyed when it is
// empty; else enabled with "Undo Differencing (h)", "Undo Subtract Mean" or "Undo Trimming".
struct MvUndoItem {
    std::string text;
    bool enabled = false;
};
MvUndoItem MvUndoMenuItem(const MultivariateProject& project);
