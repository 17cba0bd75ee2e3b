#pragma once
// Reports of the classical-decomposition fit, the regression estimates, the preliminary
// estimates and the maximum likelihood estimates of a univariate project.
#include <cstdint>

#include "shell/report_text.h"
#include "univariate/univariate_project.h"

// The fit of the newest classical decomposition on the transform stack (seasonal components or
// harmonic regression, with its polynomial trend); a blank line when there is none.
InfoCalls FitReport(const UnivariateFields& project);

// The regression estimates: method, model, white-noise variance and the coefficient table (with
// standard errors for generalized least squares).
InfoCalls RegressionReport(const UnivariateFields& project);

// The preliminary estimates by `prelimMethod`: model, coefficients, the ratios of coefficients
// to 1.96 standard errors, variance estimates, -2 log likelihood and AICC.
InfoCalls PreliminaryReport(const UnivariateFields& project);

// Fills `bic` and `fpe` of a fitted model: ModelCriteria from the start, whatever modules
// register; tests may put another routine here. The maximum likelihood report calls it for an
// optimised model that is not fractionally integrated.
extern int32_t (*ModelCriteriaRoutine)(UnivariateProject& project);

// The maximum likelihood estimates: model, coefficients and standard errors, criteria and the
// minimiser's outcome. Calls ModelCriteriaRoutine before printing BIC and FPE.
InfoCalls MaxLikelihoodReport(UnivariateProject& project);

// The AICC corrected for a regression of `termCount` terms; false when n - k - 2 <= 0, where
// it is not defined.
bool CorrectedAicc(const UnivariateFields& project, double& value);
