#pragma once
// The multivariate Transform menu: Difference (dialog 114), Subtract Means, Trim (dialog 118)
// and Undo, with the Undo item the menu shares between all multivariate projects.
#include <cstdint>

struct MultivariateProject;

// Runs the transform of `kind` (1 difference, 16 subtract means, 32 trim) through its dialog,
// then, whatever the outcome, refreshes the series view, rewrites the Undo item and the status
// bar and gives the focus to the series window. Returns 1 when a transform was applied, else 0
// (nothing at all happens for a project without data).
int32_t MultivarTransform(MultivariateProject& project, int32_t kind);

// Undoes the newest transform, then refreshes as MultivarTransform. Returns 0 when there is none.
int32_t MultivarUndo(MultivariateProject& project);

// Writes the Undo item (40148) of the multivariate menu for the project's stack and redraws the
// frame's menu bar. Returns 1.
int32_t MvUpdateUndoMenu(MultivariateProject& project);

// Dialog 114 until a valid lag was applied or the dialog was cancelled; 1 when applied.
int32_t MvDifferenceDialog(MultivariateProject& project);
// Dialog 118 until a valid range was kept or the dialog was cancelled; 1 when trimmed.
int32_t MvTrimDialog(MultivariateProject& project);

// Registers Difference, Subtract Means, Trim and Undo for the current multivariate project.
void RegisterMvTransformCommands();
