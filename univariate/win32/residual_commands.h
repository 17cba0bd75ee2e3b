#pragma once
// Statistics > Residual Analysis (Plot, Histogram, ACF/PACF, Tests of Randomness) and Model >
// Switch to invertible: the three residual views, the tests report window and its lag dialog.
// The values come from univariate/residuals.h and univariate/switch_invertible.h; here views and
// windows are created, titled and repainted, and messages are shown.
#include <cstdint>

struct UnivariateProject;

// Residuals into curve 1 of the residual view, created when needed. Returns 1, or 0 without
// residuals (an open view is then emptied).
int32_t ResidualPlot(UnivariateProject& project);
// Residual ACF/PACF into curves 1 (panel 1) and 3 (panel 2) of the residual ACF/PACF view,
// created when needed. Returns 1, or 0 without residuals (an open view is then emptied).
int32_t ResidualAcf(UnivariateProject& project);
// Residual histogram with `bins` bins (0: the default rule, written back). Returns 1, or 0
// without residuals (an open view is then emptied).
int32_t ResidualHistogram(UnivariateProject& project, int32_t& bins);
// The tests report in the project's tests window: with ask = 1 (the command) the lag comes from
// the lag dialog and the window is created when needed; with ask = 0 (the refresh) the suggested
// lag is used. Returns 1 when written, 0 without data, without residuals or when cancelled.
int32_t TestsOfRandomness(UnivariateProject& project, int32_t ask);
// Dialog 135: the lag h of the portmanteau tests, asked again after " h out of range. Try
// again." until k < h < min(n, 54). Returns h, or -1 when cancelled.
int32_t RandomnessLagDialog(UnivariateProject& project);
// Model > Switch to invertible; " Model is invertible" when there is nothing to switch. Returns 1.
int32_t SwitchToInvertible(UnivariateProject& project);

// Puts the five commands in the frame's command table and installs the residual routines of the
// project refresh.
void RegisterResidualCommands();
