#pragma once
// The Regression menu of a univariate project: Specify, Least Squares, Generalized LS, Remove
// and Show fit, with the fit view; the fits themselves are univariate/regression.h.
#include <cstdint>

struct UnivariateProject;

// Each returns 1. Specify runs dialog 171 and builds the design; the two fits refit the trend,
// subtract it, refresh and report (Generalized LS also from the toolbar, where it refuses a
// project with no trend specified); Remove gives the data back and closes the fit view and the
// report; Show fit opens or redraws the fit view.
int32_t SpecifyRegression(UnivariateProject& project);
int32_t LeastSquaresRegression(UnivariateProject& project);
int32_t GlsRegression(UnivariateProject& project);
int32_t RemoveRegression(UnivariateProject& project);
int32_t ShowRegressionFit(UnivariateProject& project);

// Registers 40153 and 40156 to 40159 for the current univariate project, and installs the model
// criteria for the maximum likelihood report.
void RegisterRegressionCommands();
