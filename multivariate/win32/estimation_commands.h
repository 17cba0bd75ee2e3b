#pragma once
// The multivariate Model > Estimation commands: Yule-Walker (dialog 160, Whittle's recursion)
// and Burg (dialog 161), each with its own estimates report window.
#include <cstdint>

struct MultivariateProject;

// Asks the order or the minimum-AICC search and fits the model to the mean-corrected table. A
// failed fit keeps the old model and report and says "Numerical difficulties"; a fit of lower
// order than asked is kept and said. Returns 0 when the project has no data, else 1 (also after
// Cancel or a failure).
int32_t MultivarYuleWalker(MultivariateProject& project);
int32_t MultivarBurg(MultivariateProject& project);

// The order dialogs until an order (or the search) is accepted: 1 with `order` (-1 the search),
// 0 on Cancel. A refused entry is said and the dialog opens again with it.
int32_t MvOrderDialogYW(MultivariateProject& project, int32_t& order);
int32_t MvOrderDialogBurg(MultivariateProject& project, int32_t& order);

// Writes the estimates report into the method's report window, created when absent. Returns 1.
int32_t MvReportYW(MultivariateProject& project);
int32_t MvReportBurg(MultivariateProject& project);

// Registers Yule-Walker and Burg for the current multivariate project.
void RegisterMvEstimationCommands();
