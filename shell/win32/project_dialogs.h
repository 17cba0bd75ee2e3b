#pragma once
// Questions the project commands ask through the dialog-template layer.

// Asks the kind of a new project in dialog 159 "Create New Project ", with "Univariate" preset.
// Returns 1 univariate, 2 multivariate, 0 when the user cancelled.
[[nodiscard]] int AskProjectType();
