#pragma once
// Switch to invertible: replaces a non-invertible MA part of a univariate project's model by the
// invertible one with the same autocovariance function, the coefficients the innovations
// recursion settles to (ModelLikelihood), and rescales the white-noise variance by the ratio of
// the new model's mean squared rescaled one-step error to the old one's.
#include <cstdint>

#include "univariate/univariate_project.h"

enum SwitchOutcome : int32_t {
    SWITCH_ALREADY_INVERTIBLE = 0,  // nothing changed
    SWITCH_DONE = 1,                // theta replaced; wnVariance and residualSsPerN rescaled
    // theta replaced, nothing evaluated: no data, no residual variance of the old model
    // (residualSsPerN not positive) or the new model could not be evaluated; wnVariance and
    // residualSsPerN stay as they were.
    SWITCH_NOT_EVALUATED = 2,
    SWITCH_NOT_CAUSAL = 3,  // the AR part is not causal: nothing changed
    SWITCH_FAILED = 4,      // no invertible coefficients could be computed: nothing changed
};

// The switch on the project's model, without its message and refresh. When the MA part is not
// invertible: theta(1..q) := the settled coefficients, every MA coefficient becomes free
// (MakeMaFree) and, with data and s0 = residualSsPerN > 0, the model is evaluated (horizon -1):
// residualSsPerN := S/n and wnVariance := (S/n)/s0 · wnVariance.
SwitchOutcome SwitchModelToInvertible(UnivariateFields& project);

// Every MA coefficient free, for a new MA part: freeIndex(1..c) keeps the AR positions that were
// free and are no relation's target, then p+1..p+q follow, numFree = c + q; the relations with
// an MA target are dropped and the targets of the remaining (AR) relations follow the free
// positions in freeIndex(numFree+1..), in relation order.
void MakeMaFree(UnivariateFields& project);
