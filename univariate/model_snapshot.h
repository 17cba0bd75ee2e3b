#pragma once
// The model fields of a univariate project that the estimation commands rewrite, saved before a
// fit and put back when the fit is refused part way, so that no refusal leaves a half-changed
// model.
#include <cstdint>

#include "univariate/univariate_project.h"

struct ModelSnapshot {
    int32_t p = 0, q = 0;
    double phi[27 + 1] = {}, theta[27 + 1] = {};
    int32_t numFree = 0, freeIndex[52 + 1] = {}, relationCount = 0, relations[6 + 1][3 + 1] = {};
    double standardErrors[52 + 1] = {};
    double wnVariance = 0, prelimWnVariance = 0, residualSsPerN = 0, reducedLikelihood = 0,
           objectiveValue = 0, minus2LogLikelihood = 0, aicc = 0, bestAicc = 0;
    int32_t settlingStep = 0, evaluationCount = 0, prelimMethod = 0, prelimAcvfCount = 0;
    int32_t iterationsDone = 0, stopReason = 0, optimiserState = 0, maxIterations = 0;
};

ModelSnapshot SaveModel(const UnivariateFields& project);
void RestoreModel(const ModelSnapshot& saved, UnivariateFields& project);
