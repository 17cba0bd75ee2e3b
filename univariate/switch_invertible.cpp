#include "univariate/switch_invertible.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "numerics/arma_acvf.h"
#include "numerics/one_based.h"
#include "numerics/status.h"
#include "univariate/model_evaluation.h"
#include "univariate/statistics.h"

namespace {

bool IsRelationTarget(const UnivariateFields& u, int32_t position)
{
    for (int32_t r = 1; r <= u.relationCount; ++r)
        if (u.relations[r][1] == position) return true;
    return false;
}

// gamma(0) of the model's ARMA part for unit noise variance; 0 when it has none.
double UnitVariance(const UnivariateFields& u)
{
    const std::vector<double> coef = ModelCoefficients(u);
    std::vector<double> acvf(static_cast<size_t>(std::max(u.p, u.q)) + 2);
    int status = kStatusDone;
    ArmaAcvf(0, kArmaAcvfCompute, acvf.data(), status, 1.0, coef.data(), u.p, u.q);
    return status == kStatusDone && std::isfinite(acvf[0]) && acvf[0] > 0.0 ? acvf[0] : 0.0;
}

}  // namespace

void MakeMaFree(UnivariateFields& project)
{
    UnivariateFields& u = project;
    u.relationCount = std::clamp(u.relationCount, 0, 6);
    int32_t kept = 0;
    for (int32_t r = 1; r <= u.relationCount; ++r) {
        if (u.relations[r][1] > u.p) continue;
        ++kept;
        for (int32_t k = 1; k <= 3; ++k) u.relations[kept][k] = u.relations[r][k];
    }
    for (int32_t r = kept + 1; r <= 6; ++r)
        for (int32_t k = 1; k <= 3; ++k) u.relations[r][k] = 0;
    u.relationCount = kept;

    std::vector<int32_t> free;
    const int32_t listed = std::clamp(u.numFree, 0, 52);
    for (int32_t i = 1; i <= listed; ++i) {
        const int32_t position = u.freeIndex[i];
        if (position >= 1 && position <= u.p && !IsRelationTarget(u, position) &&
            std::find(free.begin(), free.end(), position) == free.end())
            free.push_back(position);
    }
    for (int32_t j = 1; j <= u.q; ++j) free.push_back(u.p + j);
    const int32_t numFree = static_cast<int32_t>(free.size());
    for (int32_t r = 1; r <= kept; ++r) free.push_back(u.relations[r][1]);
    std::fill(std::begin(u.freeIndex), std::end(u.freeIndex), 0);
    for (size_t i = 0; i < free.size() && i < 52; ++i) u.freeIndex[i + 1] = free[i];
    u.numFree = numFree;
}

SwitchOutcome SwitchModelToInvertible(UnivariateFields& project)
{
    UnivariateFields& u = project;
    if (u.p < 0 || u.p > kMaxArmaOrder || u.q < 0 || u.q > kMaxArmaOrder) return SWITCH_FAILED;
    if (u.q == 0) return SWITCH_ALREADY_INVERTIBLE;
    // The model is the one its relations make: a target stored as 0 (theta13 of an airline model
    // before its first evaluation) would otherwise decide invertibility, and be reflected, alone.
    // Every outcome but a switch leaves the coefficients as they were stored.
    const std::vector<double> storedPhi(std::begin(u.phi), std::end(u.phi));
    const std::vector<double> storedTheta(std::begin(u.theta), std::end(u.theta));
    auto unchanged = [&](SwitchOutcome outcome) {
        std::copy(storedPhi.begin(), storedPhi.end(), u.phi);
        std::copy(storedTheta.begin(), storedTheta.end(), u.theta);
        return outcome;
    };
    if (!ApplyModelRelations(u)) return SWITCH_FAILED;
    if (MaPartInvertible(u)) return unchanged(SWITCH_ALREADY_INVERTIBLE);
    // The recursion would creep towards the root's own reflection, itself, and stop at its cap
    // wherever it had got to.
    if (MaZeroOnUnitCircle(u.q, &u.theta[1])) return unchanged(SWITCH_UNIT_ROOT);

    const double gammaOld = UnitVariance(u);
    const int32_t status = InvertibleTwin(u);
    if (status == EVALUATION_NOT_CAUSAL) return unchanged(SWITCH_NOT_CAUSAL);
    if (status != EVALUATION_DONE) return unchanged(SWITCH_FAILED);
    // Reflecting an MA root r inside the unit circle to 1/conj(r) multiplies |theta(e^-iw)|^2,
    // and so the spectral density, by |r|^2 at every frequency: the density is multiplied by
    // the product of the squared moduli of the reflected roots. Growing the noise variance by
    // gamma(0) old / gamma(0) new undoes that, so every autocovariance is kept.
    const double gammaNew = UnitVariance(u);
    const double ratio = gammaOld > 0.0 && gammaNew > 0.0 ? gammaOld / gammaNew : 0.0;
    const double sigma2 = u.wnVariance * ratio;
    if (!(ratio > 0.0) || !std::isfinite(sigma2)) return unchanged(SWITCH_FAILED);
    MakeMaFree(u);

    const bool evaluated = u.hasData() && EvaluateModel(u, -1) == EVALUATION_DONE;
    if (evaluated) u.residualSsPerN = u.wnVariance;
    u.wnVariance = sigma2;
    return evaluated ? SWITCH_DONE : SWITCH_NOT_EVALUATED;
}
