#pragma once
// The Transform menu's commands on a univariate project: the transforms, Undo and Show
// Classical Fit, and the menu state that follows every change of the transform stack.
#include <cstdint>

struct UnivariateProject;

// Runs the transform of `kind` (1 difference, 2 Box-Cox, 4 or 8 classical, 16 subtract mean,
// 32 subsequence) through its dialog, then refreshes the project, rebuilds the Transform menu and
// gives the focus to the data window, whatever the dialog's outcome. Returns 1 when the dialog
// left a transform applied, 0 otherwise (nothing at all happens for a project without data).
int32_t VeskTransform(UnivariateProject& project, int32_t kind);

// Undoes the newest transform, then refreshes and rebuilds the menu. Returns 1 when refused
// because a regression trend is present (after the message), 0 when there is nothing to undo,
// else the undo's status (0 after a message when the node's values do not fit the series).
int32_t VeskUndo(UnivariateProject& project);

// Applies the Transform menu state of the project to the univariate menu (items, the Undo text),
// stores its description in `transformText` and rewrites the status bar. Returns VeskStatusBar's
// status.
int32_t VeskTransformMenu(UnivariateProject& project);

// Draws the newest classical decomposition's fit over the data it was applied to in the fit view;
// the project itself is not changed. Returns 1 when drawn; 0 (the fit view closed) otherwise.
int32_t ShowClassicalFit(UnivariateProject& project);

// Registers Difference, Box - Cox, Classical, Subtract Mean, Subsequence, Undo and Show Classical
// Fit in the frame's command table, each for the current univariate project. A transform whose
// menu item the stack grays does nothing, as the menu would allow.
void RegisterTransformCommands();
