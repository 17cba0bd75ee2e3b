#include "univariate/model_evaluation.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "numerics/arma_acvf.h"
#include "numerics/innovations.h"
#include "numerics/one_based.h"
#include "numerics/polynomial_roots.h"
#include "numerics/status.h"

namespace {

constexpr int kSquare = kLeadingDimension * kLeadingDimension;
// Autocovariances reach lag q + 1 <= 27 at most; the recursion also writes MaAcvf(q + 1) here.
constexpr int kAcvfLength = 2 * kMaxArmaOrder + 4;
// Longest zero series of ModelLikelihood, unless the project's own series is longer.
constexpr int kZeroSeriesCap = 2200;
// Shortest zero series: the recursion needs more than 2m <= 52 steps to reach its lag form.
constexpr int kZeroSeriesStart = kLeadingDimension;

// Work arrays kept between calls and only ever grown: an evaluation runs once per objective
// evaluation of the minimiser, and fresh arrays of a long series would cost more than the
// recursion.
struct EvaluationWork {
    std::vector<double> acvf, K, Theta, resid, mse, fcst, zeros;
};

EvaluationWork& Work()
{
    thread_local EvaluationWork work;
    return work;
}

double* Reserve(std::vector<double>& v, size_t length)
{
    if (v.size() < std::max<size_t>(length, 1)) v.resize(std::max<size_t>(length, 1));
    return v.data();
}

bool OrderInRange(int32_t k) { return k >= 0 && k <= kMaxArmaOrder; }

bool AllFinite(const double* x, size_t count)
{
    return std::all_of(x, x + count, [](double v) { return std::isfinite(v); });
}

// The model's coefficients c(1..p+q), AR then MA.
std::vector<double> Combined(const UnivariateFields& u)
{
    std::vector<double> c(static_cast<size_t>(u.p + u.q));
    for (int32_t i = 1; i <= u.p; ++i) c[i - 1] = u.phi[i];
    for (int32_t j = 1; j <= u.q; ++j) c[u.p + j - 1] = u.theta[j];
    return c;
}

// Whether every relation index lies in 1..p+q.
bool RelationsInRange(const UnivariateFields& u)
{
    if (u.relationCount < 0 || u.relationCount > 6) return false;
    for (int32_t i = 1; i <= u.relationCount; ++i)
        for (int32_t k = 1; k <= 3; ++k)
            if (u.relations[i][k] < 1 || u.relations[i][k] > u.p + u.q) return false;
    return true;
}

// Coefficient k of the combined vector, 1 <= k <= p + q, in the record.
double& CombinedAt(UnivariateFields& u, int32_t k) { return k <= u.p ? u.phi[k] : u.theta[k - u.p]; }

// Model autocovariances with unit noise variance, lags 0..lags, and the state covariance K.
int32_t Covariances(EvaluationWork& w, const std::vector<double>& c, int p, int q, int lags)
{
    double* acvf = Reserve(w.acvf, kAcvfLength);
    std::fill(acvf, acvf + kAcvfLength, 0.0);
    int status = kStatusDone;
    if (p == 0)
        status = MaAcvf(lags + 1, q, c.data(), acvf, 1.0);
    else
        ArmaAcvf(lags, kArmaAcvfCompute, acvf, status, 1.0, c.data(), p, q);
    if (status == kStatusNotCausal) return EVALUATION_NOT_CAUSAL;
    if (status != kStatusDone || !AllFinite(acvf, static_cast<size_t>(std::max(p, q) + 1))) return EVALUATION_FAILED;
    if (ArmaStateCovariance(acvf, p, q, c.data(), Reserve(w.K, kSquare)) != kStatusDone) return EVALUATION_FAILED;
    return EVALUATION_DONE;
}

// The recursion's status as an evaluation status. An all-zero series is degenerate for the
// likelihood but its recursion stands.
int32_t FromRecursion(int status)
{
    if (status == kStatusDone || status == kStatusDegenerate) return EVALUATION_DONE;
    return status == kStatusNotCausal ? EVALUATION_NOT_CAUSAL : EVALUATION_FAILED;
}

int32_t Evaluate(UnivariateFields& u, int32_t horizon)
{
    ++u.evaluationCount;
    if (horizon < -1 || horizon > kMaxEvaluationHorizon || !ApplyModelRelations(u)) return EVALUATION_FAILED;
    std::vector<double> c = Combined(u);

    int p = u.p;
    const int q = u.q;
    if (p + q == 0) {
        p = 1;
        c.assign(1, 0.0);
    }
    const int n = u.n;
    const int m = std::max(p, q);
    if (n < EvaluationMinimumLength(p, q) || static_cast<size_t>(n) > u.series.size()) return EVALUATION_SHORT_SERIES;
    if (horizon == 0 && n <= p + q) return EVALUATION_SHORT_SERIES;
    if (!AllFinite(c.data(), c.size())) return EVALUATION_FAILED;

    EvaluationWork& w = Work();
    const int lags = p > 0 ? m : q + 1;
    if (const int32_t status = Covariances(w, c, p, q, lags); status != EVALUATION_DONE) return status;

    const int steps = std::max(horizon, 0);
    const int residFlag = u.residualsValid == 1 && (horizon <= 0 || q == 0) ? 1 : 0;
    double S = 0.0, L = 0.0;
    int status = kStatusDone;
    int tconv = u.settlingStep;
    InnovationsLikelihood(horizon, w.acvf.data(), S, L, status, u.series.data(), n, c.data(), p, q, w.K.data(),
                          u.likelihoodTolerance, tconv, Reserve(w.Theta, kSquare),
                          Reserve(w.resid, static_cast<size_t>(n)), residFlag, Reserve(w.mse, static_cast<size_t>(steps)),
                          Reserve(w.fcst, static_cast<size_t>(steps)));
    if (const int32_t result = FromRecursion(status); result != EVALUATION_DONE) return result;

    const double sn = S / n;
    const double sigma2 = horizon == 0 ? S / (n - p - q) : sn;
    if (!std::isfinite(sn) || !std::isfinite(sigma2) || !std::isfinite(L)) return EVALUATION_FAILED;
    if (residFlag && !AllFinite(w.resid.data(), static_cast<size_t>(n))) return EVALUATION_FAILED;
    if (!AllFinite(w.fcst.data(), static_cast<size_t>(steps)) || !AllFinite(w.mse.data(), static_cast<size_t>(steps)))
        return EVALUATION_FAILED;

    // The commits below only copy into storage of the right size; allocate it first.
    std::vector<double> residuals, forecasts, mse;
    if (residFlag) residuals.assign(w.resid.begin(), w.resid.begin() + n);
    if (steps > 0) {
        forecasts.assign(w.fcst.begin(), w.fcst.begin() + steps);
        mse.assign(w.mse.begin(), w.mse.begin() + steps);
    }

    // Zero sums (an all-zero series) keep the logarithms out, so the results stay finite.
    const bool logs = sigma2 != 0.0 && sn != 0.0;
    u.wnVariance = sigma2;
    u.reducedLikelihood = L / n + (logs ? std::log(sn) : sn);
    u.objectiveValue = horizon == -1 ? u.reducedLikelihood : (logs ? std::log(sigma2) : sigma2);
    u.settlingStep = tconv;
    if (residFlag) u.residuals = std::move(residuals);
    if (steps > 0) {
        u.armaForecasts = std::move(forecasts);
        u.armaForecastMse = std::move(mse);
    }
    return EVALUATION_DONE;
}

// `converged`, when given, tells whether the recursion froze before its last step: at the cap, a
// zero of theta near the unit circle still moves its coefficients.
int32_t Likelihood(UnivariateFields& u, double* table, bool* converged)
{
    const int p = u.p, q = u.q;
    if (!OrderInRange(p) || !OrderInRange(q) || q == 0) return EVALUATION_FAILED;
    const std::vector<double> c = Combined(u);
    if (!AllFinite(c.data(), c.size())) return EVALUATION_FAILED;

    EvaluationWork& w = Work();
    // Only the lags the recursion needs.
    if (const int32_t status = Covariances(w, c, p, q, std::max(p, q)); status != EVALUATION_DONE) return status;
    const double tol = std::min(1e-5, u.likelihoodTolerance);
    int N = std::max(u.n, kZeroSeriesStart);
    double* Theta = Reserve(w.Theta, kSquare);
    std::fill(Theta, Theta + kSquare, 0.0);
    int settled = N;
    for (;;) {
        double* zeros = Reserve(w.zeros, static_cast<size_t>(N));
        std::fill(zeros, zeros + N, 0.0);
        double S = 0.0, L = 0.0;
        int status = kStatusDone;
        settled = N;
        InnovationsLikelihood(-1, w.acvf.data(), S, L, status, zeros, N, c.data(), p, q, w.K.data(), tol, settled,
                              Theta, nullptr, 0, nullptr, nullptr);
        if (const int32_t result = FromRecursion(status); result != EVALUATION_DONE) return result;
        if (settled < N || N >= kZeroSeriesCap) break;
        N = std::min(2 * N, kZeroSeriesCap);
    }
    for (int j = 1; j <= q; ++j)
        if (!std::isfinite(SettledCoefficient(Theta, j))) return EVALUATION_FAILED;
    std::copy(Theta, Theta + kSquare, table);
    u.settlingStep = settled;
    if (converged) *converged = settled < N;
    return EVALUATION_DONE;
}

}  // namespace

int32_t EvaluationMinimumLength(int32_t p, int32_t q) { return std::max(2 * std::max(p, q), 2); }

int32_t ApplyModelRelations(UnivariateFields& project)
{
    UnivariateFields& u = project;
    if (!OrderInRange(u.p) || !OrderInRange(u.q) || !RelationsInRange(u)) return 0;
    for (int32_t i = 1; i <= u.relationCount; ++i) {
        const int32_t a = u.relations[i][1], b = u.relations[i][2], d = u.relations[i][3];
        const double product = CombinedAt(u, b) * CombinedAt(u, d);
        CombinedAt(u, a) = a <= u.p ? -product : product;
    }
    return 1;
}

int32_t EvaluateModel(UnivariateFields& project, int32_t horizon)
{
    try {
        return Evaluate(project, horizon);
    } catch (const std::bad_alloc&) {
        return EVALUATION_FAILED;
    }
}

int32_t ModelLikelihood(UnivariateFields& project, double* coefficientTable)
{
    try {
        return Likelihood(project, coefficientTable, nullptr);
    } catch (const std::bad_alloc&) {
        return EVALUATION_FAILED;
    }
}

bool MaPartInvertible(const UnivariateFields& project)
{
    const UnivariateFields& u = project;
    if (u.q == 0 || !OrderInRange(u.p) || !OrderInRange(u.q)) return true;
    const std::vector<double> c = Combined(u);
    std::vector<double> acvf(static_cast<size_t>(std::max(u.p, u.q)) + 3);
    int status = kStatusDone;
    ArmaAcvf(2, kArmaAcvfTestInvertible, acvf.data(), status, 1.0, c.data(), u.p, u.q);
    return status != kStatusNotCausal;
}

int32_t InvertibleTwin(UnivariateFields& project)
{
    UnivariateFields& u = project;
    std::vector<double> table(kSquare), twin(static_cast<size_t>(std::max(u.q, 1)));
    bool converged = false;
    int32_t status = EVALUATION_FAILED;
    try {
        status = Likelihood(u, table.data(), &converged);
    } catch (const std::bad_alloc&) {
        return EVALUATION_FAILED;
    }
    if (status != EVALUATION_DONE) return status;
    if (converged) {
        for (int32_t j = 1; j <= u.q; ++j) twin[j - 1] = SettledCoefficient(table.data(), j);
    } else {
        // Near the unit circle the recursion creeps towards the reflected zeros and stops at its
        // cap well short of them: the zeros are reflected directly.
        double factor = 1.0;
        if (ReflectMaRoots(u.q, &u.theta[1], twin.data(), factor) != kStatusDone) return EVALUATION_FAILED;
    }
    std::copy(twin.begin(), twin.begin() + u.q, &u.theta[1]);
    return EVALUATION_DONE;
}
