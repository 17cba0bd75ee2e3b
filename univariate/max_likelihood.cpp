#include "univariate/max_likelihood.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>
#include <vector>

#include "numerics/estimator_covariance.h"
#include "numerics/invert_matrix.h"
#include "numerics/minimiser.h"
#include "numerics/spectral_likelihood.h"
#include "numerics/status.h"
#include "numlib/error_stack.h"
#include "numlib/periodogram.h"
#include "platform/typed_entry.h"
#include "shell/number_format.h"
#include "shell/proposed_number.h"
#include "univariate/model_evaluation.h"
#include "univariate/model_snapshot.h"
#include "univariate/preliminary_estimation.h"

UnivariateFields* EstimatedProject = nullptr;

namespace {

constexpr int32_t kLd = 54;

double& Coefficient(UnivariateFields& u, int32_t position)
{
    return position <= u.p ? u.phi[position] : u.theta[position - u.p];
}

// EvaluateModel without touching wnVariance: residualSsPerN := the evaluation's estimate.
int32_t EvaluateKeepingVariance(UnivariateFields& u)
{
    const double saved = u.wnVariance;
    const int32_t status = EvaluateModel(u, u.mleMethod);
    if (status == EVALUATION_DONE) u.residualSsPerN = u.wnVariance;
    u.wnVariance = saved;
    return status;
}

void SetAllCoefficients(UnivariateFields& u, double value)
{
    for (int32_t i = 1; i <= u.p; ++i) u.phi[i] = value;
    for (int32_t j = 1; j <= u.q; ++j) u.theta[j] = value;
}

// Standard errors of the free coefficients from the minimiser's Hessian H of the reduced
// likelihood (a, lower triangle): the covariance is 2 H^-1 / n; otherwise the large-sample
// covariance of the model.
void StandardErrors(UnivariateFields& u, const std::vector<double>& a)
{
    const int32_t k = u.numFree, n = u.n;
    std::fill(std::begin(u.standardErrors), std::end(u.standardErrors), 0.0);
    std::vector<double> H(static_cast<size_t>(kLd) * kLd, 0.0);
    for (int32_t j = 0; j < k; ++j)
        for (int32_t i = j; i < k; ++i) H[static_cast<size_t>(i + kLd * j)] = a[static_cast<size_t>(i + kLd * j)];
    int fail = 0;
    InvertMatrix(k - 1, H.data(), kLd, fail, kInvertSymmetric);
    bool positive = fail == 0;
    for (int32_t i = 0; i < k && positive; ++i) {
        const double v = H[static_cast<size_t>(i * (kLd + 1))];
        positive = v > 0.0 && std::isfinite(v);
    }
    if (positive) {
        for (int32_t i = 1; i <= k; ++i)
            u.standardErrors[u.freeIndex[i]] = std::sqrt(2.0 * H[static_cast<size_t>((i - 1) * (kLd + 1))] / n);
        return;
    }
    std::vector<double> coef(static_cast<size_t>(u.p + u.q)), V(static_cast<size_t>(kLd) * kLd);
    for (int32_t i = 1; i <= u.p + u.q; ++i) coef[static_cast<size_t>(i - 1)] = Coefficient(u, i);
    std::vector<int> idx(u.freeIndex + 1, u.freeIndex + 1 + k);
    int code = 0;
    fail = 0;
    ArmaEstimatorCovariance(u.p, u.q, coef.data(), k, idx.data(), V.data(), code, fail);
    if (code != kCovarianceDone) {
        std::fill(std::begin(u.standardErrors), std::end(u.standardErrors), 0.0);
        u.standardErrors[1] = -1.0;
        return;
    }
    for (int32_t i = 1; i <= k; ++i) {
        const double v = V[static_cast<size_t>((i - 1) * (kLd + 1))];
        if (!(v > 0.0) || !std::isfinite(v)) {
            std::fill(std::begin(u.standardErrors), std::end(u.standardErrors), 0.0);
            u.standardErrors[1] = -1.0;
            return;
        }
        u.standardErrors[u.freeIndex[i]] = std::sqrt(v / n);
    }
}

// -2 ln L and AICC with k estimated coefficients, at the variance sigma2 = wnVariance.
void FitStatistics(UnivariateFields& u)
{
    const int32_t n = u.n, k = u.numFree;
    const double s2hat = u.residualSsPerN, s2 = u.wnVariance;
    u.minus2LogLikelihood = n * (kLnTwoPi + s2hat / s2 + u.reducedLikelihood + std::log(s2) - std::log(s2hat));
    u.bestAicc = u.aicc;
    u.aicc = u.minus2LogLikelihood + 2.0 * (k + 1) / (1.0 - (k + 2.0) / n);
}

}  // namespace

std::string AccuracyText(double accuracy)
{
    return ProposedNumberText(accuracy, FixedText(accuracy, 5), 6);
}

double DefaultAccuracy(const UnivariateFields& u)
{
    double sum = 0.0;
    int32_t count = 0;
    for (int32_t i = 1; i <= std::clamp(u.p, 0, 27); ++i)
        if (u.phi[i] != 0.0) sum += u.phi[i], ++count;
    for (int32_t j = 1; j <= std::clamp(u.q, 0, 27); ++j)
        if (u.theta[j] != 0.0) sum += u.theta[j], ++count;
    return count == 0 ? 0.001 : std::fabs(0.01 * (sum / count)) + 1e-5;
}

std::string ReadMleIterations(const std::string& text, int32_t& iterations)
{
    double value = 0.0;
    const std::string refusal = ReadFieldEntry("Number of iterations", text, EntryKind::Whole, value);
    if (!refusal.empty()) return " " + refusal;
    if (value < 1) return " Number of iterations must be > 0.";
    if (value > kMaxIterationLimit) return "The number of iterations must be at most " + IntText(kMaxIterationLimit) + ".";
    iterations = static_cast<int32_t>(value);
    return "";
}

std::string ReadMleAccuracy(const std::string& text, double& accuracy)
{
    double value = 0.0;
    const std::string refusal = ReadFieldEntry("Accuracy", text, EntryKind::Real, value);
    if (!refusal.empty()) return " " + refusal;
    if (!(value > 0.0) || value > 1.0) return " Choose accuracy parameter between 0 and 1.";
    accuracy = value;
    return "";
}

std::string AcceptMaxLikelihoodChoice(const MleChoice& c, UnivariateFields& u)
{
    double accuracy = 0.0;
    std::string refusal = ReadMleAccuracy(c.accuracyText, accuracy);
    if (!refusal.empty()) return refusal;
    int32_t iterations = 0;
    refusal = ReadMleIterations(c.iterationsText, iterations);
    if (!refusal.empty()) return refusal;
    u.mleMethod = c.maximumLikelihood ? -1 : 0;
    u.noOptimisation = c.noOptimisation ? 1 : 0;
    u.accuracy = accuracy;
    u.maxIterations = iterations;
    return "";
}

std::string MaxLikelihoodRefusal(const UnivariateFields& u)
{
    const int32_t p = u.p, q = u.q, n = u.n;
    if (p < 0 || p > kMaxPrelimOrder || q < 0 || q > kMaxPrelimOrder)
        return "The model's orders must be at most " + IntText(kMaxPrelimOrder) + ".";
    const int32_t k = u.noOptimisation ? std::clamp(u.numFree, 0, p + q) : u.numFree;
    if (n <= std::max(k, p + q) + 2 || n < 2 * std::max(std::max(p, q), 1))
        return "The series has " + IntText(n) + " values: too few to fit an ARMA(" + IntText(p) + "," +
               IntText(q) + ") model.";
    if (u.noOptimisation) return "";
    if (u.numFree == 0) return "No parameters to optimize.  Unconstrain parameters or respecify model.";
    bool sound = u.numFree >= 1 && u.numFree <= p + q && u.relationCount >= 0 && u.relationCount <= 6 &&
                 u.numFree + u.relationCount <= 52;
    for (int32_t i = 1; sound && i <= u.numFree; ++i)
        sound = u.freeIndex[i] >= 1 && u.freeIndex[i] <= p + q && (i == 1 || u.freeIndex[i] > u.freeIndex[i - 1]);
    for (int32_t r = 1; sound && r <= u.relationCount; ++r)
        for (int32_t c = 1; c <= 3; ++c) sound = sound && u.relations[r][c] >= 1 && u.relations[r][c] <= p + q;
    if (!sound) return "The constraints do not fit the model: reset them in the Constrain Optimization dialog.";
    return "";
}

void LikelihoodObjective(int32_t count, const double* x, double& f)
{
    UnivariateFields& u = *EstimatedProject;
    for (int32_t i = 1; i <= count && i <= u.numFree; ++i) Coefficient(u, u.freeIndex[i]) = x[i - 1];
    const bool invertible = MaPartInvertible(u);
    const int32_t status = EvaluateModel(u, u.mleMethod);
    f = u.objectiveValue;
    if (status != EVALUATION_DONE || (u.numFree == u.p + u.q && !invertible)) {
        f += 0.5 * std::fabs(f) + 0.01;
        u.objectiveValue = f;
    }
    u.optimiserState = 0;
}

int32_t OptimiseLikelihood(UnivariateFields& u, double stepTolerance, int32_t& stopReason)
{
    EstimatedProject = &u;
    const int32_t k = u.numFree;
    std::vector<double> x(static_cast<size_t>(k)), xpls(static_cast<size_t>(k)), g(static_cast<size_t>(k)),
        a(static_cast<size_t>(kLd) * k), wrk(static_cast<size_t>(kLd) * 9);
    for (int32_t i = 1; i <= k; ++i) x[static_cast<size_t>(i - 1)] = Coefficient(u, u.freeIndex[i]);
    u.evaluationCount = 0;
    u.optimiserState = 2;
    std::string progress;
    SetMinimiserOutput(&progress);
    double fpls = 0.0;
    int32_t code = 0, iterations = 0;
    MinimiseObjective(kLd, k, x.data(), stepTolerance, u.maxIterations, LikelihoodObjective, xpls.data(), fpls,
                      g.data(), code, a.data(), wrk.data(), iterations);
    SetMinimiserOutput(nullptr);
    // Five maximum steps in a row: the minimum is as uncertain as after a failed line search.
    stopReason = code == kStopMaximumSteps ? kStopLineSearch : code;
    u.stopReason = stopReason;
    u.iterationsDone = iterations;
    for (int32_t i = 1; i <= k; ++i) Coefficient(u, u.freeIndex[i]) = xpls[static_cast<size_t>(i - 1)];
    const int32_t status = EvaluateKeepingVariance(u);
    if (status == EVALUATION_DONE) StandardErrors(u, a);
    EstimatedProject = nullptr;
    return status;
}

int32_t MaxLikelihoodFit(UnivariateFields& u)
{
    int32_t status = 0;
    const bool whiteNoise = u.p + u.q == 0;
    if (whiteNoise) {
        u.p = 1;
        u.phi[1] = 0.0;
    }
    if (u.noOptimisation) {
        if (EvaluateKeepingVariance(u) != EVALUATION_DONE) {
            status = -1;
            SetAllCoefficients(u, 0.001);
            (void)EvaluateKeepingVariance(u);
        }
        u.iterationsDone = 0;
        u.stopReason = 0;
    } else {
        if (u.numFree == u.p + u.q && !MaPartInvertible(u)) (void)InvertibleTwin(u);
        if (OptimiseLikelihood(u, u.accuracy, u.stopReason) != EVALUATION_DONE) {
            // The end point is not causal (a relation can make it so): report a model that is.
            status = -1;
            SetAllCoefficients(u, 0.001);
            (void)EvaluateKeepingVariance(u);
            std::fill(std::begin(u.standardErrors), std::end(u.standardErrors), 0.0);
            u.standardErrors[1] = -1.0;
        }
        u.wnVariance = u.residualSsPerN;
    }
    if (whiteNoise) u.p = 0;
    FitStatistics(u);
    return status;
}

int32_t FractionalMaxLikelihood(UnivariateFields& u, std::string& refusal)
{
    const auto refuse = [&refusal](std::string message) {
        refusal = std::move(message);
        return FRACTIONAL_FIT_REFUSED;
    };
    refusal.clear();
    const int32_t n = u.n, p = u.p, q = u.q;
    if (n < 4) return refuse("The series has " + IntText(n) + " values: too few for the frequency-domain likelihood.");
    if (p < 0 || p > kMaxPrelimOrder || q < 0 || q > kMaxPrelimOrder)
        return refuse("The model's orders must be at most " + IntText(kMaxPrelimOrder) + ".");
    double mean = 0.0;
    for (int32_t t = 0; t < n; ++t) mean += u.series[static_cast<size_t>(t)];
    mean /= n;
    const int32_t m = n / 2, ld = m + 1;
    std::vector<double> pm(static_cast<size_t>(ld) * 5), omega(static_cast<size_t>(m)), I(static_cast<size_t>(m));
    DPFFT(n, u.series.data(), 0, mean, 0, 0, 0, pm.data(), ld);
    // The library has shown why it stopped; a second message about the fit would only repeat it.
    if (LibraryCallAbandoned()) return FRACTIONAL_FIT_ABANDONED;
    for (int32_t j = 1; j <= m; ++j) {
        omega[static_cast<size_t>(j - 1)] = pm[static_cast<size_t>(j)];
        I[static_cast<size_t>(j - 1)] = pm[static_cast<size_t>(j + 2 * ld)];
    }
    const double lnTwoPi = 1.8378769477972466;  // ln 6.283185
    if (u.noOptimisation == 0) {
        std::vector<double> phi(u.phi + 1, u.phi + 1 + p), theta(u.theta + 1, u.theta + 1 + q);
        double d = u.d, h = u.fiStep, sigma2 = 0.0, F = 0.0;
        const int status = SpectralLikelihoodSearch(omega.data(), I.data(), m, n, p, q, phi.data(), theta.data(), d,
                                                    h, u.optimiseD, sigma2, F);
        if (status != kStatusDone || !std::isfinite(F) || F >= kInadmissibleCriterion || !(sigma2 > 0.0))
            return refuse("The frequency-domain likelihood could not be minimised from this model.");
        std::copy(phi.begin(), phi.end(), u.phi + 1);
        std::copy(theta.begin(), theta.end(), u.theta + 1);
        u.d = d;
        u.wnVariance = sigma2;
        u.minus2LogLikelihood = n * (lnTwoPi + F + 1.0);
        u.bestAicc = u.aicc;
        u.aicc = u.minus2LogLikelihood + 2.0 * (p + q + 1) + (u.optimiseD ? 2.0 : 0.0);
    } else {
        std::vector<double> beta(u.phi + 1, u.phi + 1 + p);
        beta.insert(beta.end(), u.theta + 1, u.theta + 1 + q);
        beta.push_back(u.d);
        double F = 0.0, sigma2hat = 0.0;
        const double sigma2 = u.wnVariance;
        if (SpectralLikelihood(omega.data(), I.data(), m, n, p, q, beta.data(), F, sigma2hat) != kStatusDone ||
            !(sigma2 > 0.0))
            return refuse("The frequency-domain likelihood cannot be evaluated for this model.");
        u.minus2LogLikelihood = n * (lnTwoPi + std::log(sigma2) - std::log(sigma2hat) + sigma2hat / sigma2 + F);
    }
    u.ordinateCount = m;
    return FRACTIONAL_FIT_DONE;
}

std::string AcceptFractionalChoice(bool noOptimisation, bool keepDFixed, const std::string& stepText,
                                   UnivariateFields& u)
{
    if (!noOptimisation && keepDFixed && u.p + u.q == 0) return " No parameters to optimize.";
    double step = 0.0;
    const std::string refusal = ReadFieldEntry("The step", stepText, EntryKind::Real, step);
    if (!refusal.empty()) return refusal;
    if (!(step > 0.0)) return " Choose accuracy parameter between 0 and 1.";
    u.noOptimisation = noOptimisation ? 1 : 0;
    u.optimiseD = keepDFixed ? 0 : 1;
    u.fiStep = step;
    return "";
}
