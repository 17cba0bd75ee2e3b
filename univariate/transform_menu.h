#pragma once
// The state of the univariate Transform and Regression menu items after a change of the transform
// stack or the regression: which items are enabled or grayed, the Undo item's text and the
// description of the applied transforms. The window code applies it to the menu bar.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/menu_states.h"
#include "univariate/univariate_project.h"

struct TransformMenuState {
    std::vector<MenuChange> changes;  // one COMMAND change per item
    std::string undoText;             // "Undo", "Undo Differencing(12)", ...
    std::string description;          // the transforms oldest first joined by "->"; "None" when none
};

// From the stack (newest first) and the regression fields. The description keeps at most its
// first 256 characters.
TransformMenuState ComputeTransformMenu(const UnivariateProject& project);

// Whether the program could have built a stack of transforms of these kinds, oldest first: each
// is a transform the Transform menu offers after the ones before it, or the one mean subtraction
// the estimation commands offer on a stack without one. A kind the menu does not know was never
// built. Undo and the forecasts rely on these orders.
bool TransformOrderBuildable(const std::vector<int32_t>& kinds);

// The description padded with blanks to the 256 characters of `transformText`.
std::string PaddedTransformText(const std::string& description);

// Whether the state leaves the item of `command` enabled (false for an item it does not set).
bool TransformItemEnabled(const TransformMenuState& state, uint32_t command);
