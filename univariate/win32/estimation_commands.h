#pragma once
// The Model > Estimation commands of a univariate project: Preliminary (40078) with its dialogs
// 122 and 125, and Max likelihood (40079) with its dialogs 127, 147 and 170 and the Constrain
// Optimization dialog 129. The estimation itself is portable (univariate/preliminary_estimation.h,
// univariate/max_likelihood.h, univariate/constraints.h).
#include <cstdint>

#include <windows.h>

struct UnivariateProject;

int32_t VeskPreliminary(UnivariateProject& project);
int32_t VeskMaxLikelihood(UnivariateProject& project);

// Dialog procedure of the Constrain Optimization dialog; lParam of WM_INITDIALOG is the project
// record (UnivariateFields*). Ends with 1 after a valid OK, 0 on Cancel.
INT_PTR CALLBACK ConstrainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Registers both commands for the current univariate project.
void RegisterEstimationCommands();
