#pragma once
// Switch to invertible: replaces a non-invertible MA part of a univariate project's model by the
// invertible one with the same autocovariance function (InvertibleTwin: the coefficients the
// innovations recursion settles to, or, where it stops at its cap unsettled, the zeros of theta(z)
// inside the unit circle reflected), and rescales the white-noise variance so that the model's
// autocovariances stay as they were.
#include <cstdint>

#include "univariate/univariate_project.h"

enum SwitchOutcome : int32_t {
    SWITCH_ALREADY_INVERTIBLE = 0,  // nothing changed
    SWITCH_DONE = 1,                // theta replaced, wnVariance rescaled, the new model evaluated
    // theta replaced and wnVariance rescaled, nothing evaluated: no data, or the new model could
    // not be evaluated on the series; residualSsPerN stays as it was.
    SWITCH_NOT_EVALUATED = 2,
    SWITCH_NOT_CAUSAL = 3,  // the AR part is not causal: nothing changed
    SWITCH_FAILED = 4,      // no invertible coefficients could be computed: nothing changed
    // An MA root lies on the unit circle (MaZeroOnUnitCircle): no invertible model has the same
    // autocovariances; nothing changed.
    SWITCH_UNIT_ROOT = 5,
};

// The switch on the project's model, without its message and refresh. When the MA part is not
// invertible: theta(1..q) := its invertible twin, wnVariance := wnVariance · gamma0/gamma1
// with gamma0 and gamma1 the lag-0 autocovariances of the old and the new model for unit noise
// variance (the product of 1/|z|^2 over the reflected roots z), every MA coefficient becomes
// free (MakeMaFree) and, with data, the model is evaluated (horizon -1): residualSsPerN := the
// new model's mean squared rescaled one-step error S/n.
SwitchOutcome SwitchModelToInvertible(UnivariateFields& project);

// Every MA coefficient free, for a new MA part: freeIndex(1..c) keeps the AR positions that were
// free and are no relation's target, then p+1..p+q follow, numFree = c + q; the relations with
// an MA target are dropped and the targets of the remaining (AR) relations follow the free
// positions in freeIndex(numFree+1..), in relation order.
void MakeMaFree(UnivariateFields& project);
