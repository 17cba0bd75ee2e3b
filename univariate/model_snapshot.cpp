#include "univariate/model_snapshot.h"

#include <algorithm>

namespace {

// Copies every field of the snapshot between the two records, in the direction given.
template <typename From, typename To>
void CopyModel(const From& s, To& t)
{
    t.p = s.p;
    t.q = s.q;
    std::copy(std::begin(s.phi), std::end(s.phi), std::begin(t.phi));
    std::copy(std::begin(s.theta), std::end(s.theta), std::begin(t.theta));
    t.numFree = s.numFree;
    std::copy(std::begin(s.freeIndex), std::end(s.freeIndex), std::begin(t.freeIndex));
    t.relationCount = s.relationCount;
    for (int r = 0; r <= 6; ++r)
        for (int c = 0; c <= 3; ++c) t.relations[r][c] = s.relations[r][c];
    std::copy(std::begin(s.standardErrors), std::end(s.standardErrors), std::begin(t.standardErrors));
    t.wnVariance = s.wnVariance;
    t.prelimWnVariance = s.prelimWnVariance;
    t.residualSsPerN = s.residualSsPerN;
    t.reducedLikelihood = s.reducedLikelihood;
    t.objectiveValue = s.objectiveValue;
    t.minus2LogLikelihood = s.minus2LogLikelihood;
    t.aicc = s.aicc;
    t.bestAicc = s.bestAicc;
    t.settlingStep = s.settlingStep;
    t.evaluationCount = s.evaluationCount;
    t.prelimMethod = s.prelimMethod;
    t.prelimAcvfCount = s.prelimAcvfCount;
    t.iterationsDone = s.iterationsDone;
    t.stopReason = s.stopReason;
    t.optimiserState = s.optimiserState;
    t.maxIterations = s.maxIterations;
}

}  // namespace

ModelSnapshot SaveModel(const UnivariateFields& project)
{
    ModelSnapshot saved;
    CopyModel(project, saved);
    return saved;
}

void RestoreModel(const ModelSnapshot& saved, UnivariateFields& project)
{
    CopyModel(saved, project);
}
