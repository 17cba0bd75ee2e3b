#include "univariate/preliminary_estimation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "numerics/estimator_covariance.h"
#include "numerics/invert_matrix.h"
#include "numerics/status.h"
#include "numerics/yule_walker.h"
#include "platform/typed_entry.h"
#include "shell/number_format.h"
#include "univariate/model_evaluation.h"
#include "univariate/model_snapshot.h"

namespace {

constexpr int32_t kLd = 54;

// gamma(h) = (1/n) sum_{t=1..n-h} x(t+h) x(t), h = 0..m-1, without removing a mean.
std::vector<double> SampleAutocovariances(const double* x, int32_t n, int32_t m)
{
    std::vector<double> acvf(static_cast<size_t>(std::max(m, 1)), 0.0);
    for (int32_t h = 0; h < m && h < n; ++h) {
        double s = 0.0;
        for (int32_t t = 0; t + h < n; ++t) s += x[t + h] * x[t];
        acvf[static_cast<size_t>(h)] = s / n;
    }
    return acvf;
}

// coef / (1.96 se), 0 when the standard error is not a positive finite number.
double Ratio(double coef, double variance)
{
    if (!(variance > 0.0) || !std::isfinite(variance)) return 0.0;
    const double r = coef / (1.96 * std::sqrt(variance));
    return std::isfinite(r) ? r : 0.0;
}

// -2 ln L and AICC of a model with k coefficients and reduced likelihood l.
void Criteria(double l, int32_t k, int32_t n, double& minus2LogL, double& aicc)
{
    minus2LogL = n * (kLnTwoPi + l + 1.0);
    aicc = minus2LogL + 2.0 * (k + 1) / (1.0 - (k + 2.0) / n);
}

// The exact reduced likelihood of an AR(1) model.
double ExactAr1Likelihood(const double* x, int32_t n, double phi)
{
    double s = (1.0 - phi * phi) * x[0] * x[0];
    for (int32_t t = 1; t < n; ++t) s += (x[t] - phi * x[t - 1]) * (x[t] - phi * x[t - 1]);
    return std::log(s / n) - std::log(1.0 - phi * phi) / n;
}

std::string TooShort(int32_t n, const std::string& what)
{
    return "The series has " + IntText(n) + " values: too few for " + what + ".";
}

// The estimates of one method before they are stored.
struct Estimates {
    std::vector<double> phi, theta, ratios;
    double wnVariance = 0.0;
    std::string failure;  // non-empty: the estimator refused
};

// Yule-Walker (Burg when burg) AR(p) estimates with the ratios of their large-sample standard
// errors, from acvf(0..p).
Estimates AutoregressiveEstimates(const UnivariateFields& u, const std::vector<double>& acvf, int32_t p, bool burg)
{
    Estimates e;
    std::vector<double> G(static_cast<size_t>(kLd) * kLd), yw(static_cast<size_t>(p));
    if (YuleWalkerFit(p, G.data(), acvf.data(), yw.data()) != kStatusDone) {
        e.failure = "Yule-Walker estimation failed: the sample autocovariance matrix is singular.";
        return e;
    }
    double ywVariance = acvf[0];
    for (int32_t j = 1; j <= p; ++j) ywVariance -= yw[static_cast<size_t>(j - 1)] * acvf[static_cast<size_t>(j)];
    e.phi = yw;
    e.wnVariance = ywVariance;
    if (burg) e.wnVariance = BurgFit(p, u.series.data(), u.n, e.phi.data());
    e.ratios.resize(static_cast<size_t>(p));
    for (int32_t j = 1; j <= p; ++j) {
        const double gjj = G[static_cast<size_t>((j - 1) + kLd * (j - 1))];
        e.ratios[static_cast<size_t>(j - 1)] = Ratio(e.phi[static_cast<size_t>(j - 1)], gjj * ywVariance / (acvf[0] * u.n));
    }
    return e;
}

// Innovations estimates from acvf(0..m-1).
Estimates InnovationsEstimates(const UnivariateFields& u, const std::vector<double>& acvf, int32_t p, int32_t q,
                               int32_t m)
{
    Estimates e;
    const int32_t K = m - 1;
    std::vector<double> v(static_cast<size_t>(K) + 1, 0.0);  // v[0] = 1 = vartheta_0, v[j] = vartheta_j
    v[0] = 1.0;
    if (!SampleInnovations(K, acvf.data(), v.data() + 1, e.wnVariance)) {
        e.failure = "The innovations algorithm failed: a one-step prediction variance is not positive.";
        return e;
    }
    auto vt = [&](int32_t k) { return k < 0 || k > K ? 0.0 : v[static_cast<size_t>(k)]; };
    e.phi.assign(static_cast<size_t>(p), 0.0);
    if (p > 0) {
        std::vector<double> A(static_cast<size_t>(kLd) * kLd, 0.0);
        for (int32_t i = 1; i <= p; ++i)
            for (int32_t j = 1; j <= p; ++j) A[static_cast<size_t>((i - 1) + kLd * (j - 1))] = vt(q + i - j);
        int fail = 0;
        InvertMatrix(p - 1, A.data(), kLd, fail, kInvertGaussJordan);
        if (fail != 0) {
            e.failure = "Innovations estimation failed: the equations for the AR coefficients are singular.";
            return e;
        }
        for (int32_t i = 1; i <= p; ++i) {
            double s = 0.0;
            for (int32_t j = 1; j <= p; ++j) s += A[static_cast<size_t>((i - 1) + kLd * (j - 1))] * vt(q + j);
            e.phi[static_cast<size_t>(i - 1)] = s;
        }
    }
    e.theta.assign(static_cast<size_t>(q), 0.0);
    for (int32_t j = 1; j <= q; ++j) {
        double s = vt(j);
        for (int32_t i = 1; i <= std::min(j, p); ++i) s -= e.phi[static_cast<size_t>(i - 1)] * vt(j - i);
        e.theta[static_cast<size_t>(j - 1)] = s;
    }
    e.ratios.assign(static_cast<size_t>(p + q), 0.0);
    if (p == 0) {
        double sum = 1.0;
        for (int32_t j = 1; j <= q; ++j) {
            e.ratios[static_cast<size_t>(j - 1)] = Ratio(e.theta[static_cast<size_t>(j - 1)], sum / u.n);
            sum += e.theta[static_cast<size_t>(j - 1)] * e.theta[static_cast<size_t>(j - 1)];
        }
    } else {
        // The large-sample covariance of efficient estimates of the same model stands in for the
        // innovations estimator's own, which has no settled closed form.
        std::vector<double> coef(e.phi), V(static_cast<size_t>(kLd) * kLd);
        coef.insert(coef.end(), e.theta.begin(), e.theta.end());
        std::vector<int> idx(static_cast<size_t>(p + q));
        for (int32_t i = 0; i < p + q; ++i) idx[static_cast<size_t>(i)] = i + 1;
        int code = 0, fail = 0;
        ArmaEstimatorCovariance(p, q, coef.data(), p + q, idx.data(), V.data(), code, fail);
        if (code == kCovarianceDone)
            for (int32_t i = 1; i <= p + q; ++i)
                e.ratios[static_cast<size_t>(i - 1)] =
                    Ratio(coef[static_cast<size_t>(i - 1)], V[static_cast<size_t>((i - 1) * (kLd + 1))] / u.n);
    }
    return e;
}

// Hannan-Rissanen estimates with long autoregression of order L from acvf(0..L).
Estimates HannanRissanenEstimates(const UnivariateFields& u, const std::vector<double>& acvf, int32_t p, int32_t q,
                                  int32_t L)
{
    Estimates e;
    const int32_t n = u.n, k = p + q, m = L + 1;
    std::vector<double> coef(static_cast<size_t>(k)), z(static_cast<size_t>(n)), M(static_cast<size_t>(kLd) * kLd);
    if (HannanRissanenFit(coef.data(), z.data(), p, q, M.data(), acvf.data(), L, n, u.series.data()) != kStatusDone) {
        e.failure = "Hannan-Rissanen estimation failed: its regression is singular or the series is too short.";
        return e;
    }
    const double* x = u.series.data();
    double ss = 0.0;
    int32_t count = 0;
    for (int32_t t = std::max(m, std::max(p, q) + 1); t <= n; ++t) {
        double r = x[t - 1];
        for (int32_t i = 1; i <= p; ++i) r -= coef[static_cast<size_t>(i - 1)] * x[t - i - 1];
        for (int32_t j = 1; j <= q; ++j) r -= coef[static_cast<size_t>(p + j - 1)] * z[static_cast<size_t>(t - j - 1)];
        ss += r * r;
        ++count;
    }
    e.wnVariance = count > 0 ? ss / (n - m) : 0.0;
    e.phi.assign(coef.begin(), coef.begin() + p);
    e.theta.assign(coef.begin() + p, coef.end());
    e.ratios.resize(static_cast<size_t>(k));
    for (int32_t j = 1; j <= k; ++j)
        e.ratios[static_cast<size_t>(j - 1)] =
            Ratio(coef[static_cast<size_t>(j - 1)], M[static_cast<size_t>((j - 1) * (kLd + 1))] * e.wnVariance);
    return e;
}

void StoreCoefficients(UnivariateFields& u, int32_t p, int32_t q, const std::vector<double>& phi,
                       const std::vector<double>& theta)
{
    u.p = p;
    u.q = q;
    for (int32_t i = 1; i <= 27; ++i) {
        u.phi[i] = i <= p ? phi[static_cast<size_t>(i - 1)] : 0.0;
        u.theta[i] = i <= q ? theta[static_cast<size_t>(i - 1)] : 0.0;
    }
    u.relationCount = 0;
    for (int32_t r = 1; r <= 6; ++r)
        for (int32_t c = 1; c <= 3; ++c) u.relations[r][c] = 0;
    u.numFree = p + q;
    for (int32_t i = 1; i <= 52; ++i) u.freeIndex[i] = i <= p + q ? i : 0;
}

// Minimum-AICC search over AR orders 0..min(n-3, n/2, 26) (the exact likelihood needs n >= 2p);
// returns the best order, 0 for white noise. Leaves the record holding the last order tried.
int32_t SearchOrder(UnivariateFields& u, const std::vector<double>& acvf, bool burg, PrelimResult& result,
                    double aicc0)
{
    const int32_t n = u.n, last = std::min({n - 3, n / 2, kMaxPrelimOrder});
    result.searchAicc.assign(static_cast<size_t>(std::max(last, 0)) + 1, std::numeric_limits<double>::quiet_NaN());
    result.searchAicc[0] = aicc0;
    u.bestAicc = aicc0;
    int32_t best = 0;
    std::vector<double> G(static_cast<size_t>(kLd) * kLd), phi;
    for (int32_t k = 1; k <= last; ++k) {
        phi.assign(static_cast<size_t>(k), 0.0);
        if (burg) {
            BurgFit(k, u.series.data(), n, phi.data());
        } else if (YuleWalkerFit(k, G.data(), acvf.data(), phi.data()) != kStatusDone) {
            result.message = "Yule-Walker estimation failed: the sample autocovariance matrix is singular.";
            return -1;
        }
        StoreCoefficients(u, k, 0, phi, {});
        if (EvaluateModel(u, -1) != EVALUATION_DONE) continue;
        const double l = k == 1 ? ExactAr1Likelihood(u.series.data(), n, phi[0]) : u.reducedLikelihood;
        double m2, aicc;
        Criteria(l, k, n, m2, aicc);
        if (!std::isfinite(aicc)) continue;
        result.searchAicc[static_cast<size_t>(k)] = aicc;
        if (aicc < u.bestAicc) {
            u.bestAicc = aicc;
            best = k;
        }
    }
    return best;
}

PrelimResult Estimate(UnivariateFields& u, int32_t& m, int32_t method)
{
    PrelimResult result;
    const int32_t n = u.n;
    int32_t p = u.p, q = u.q;
    const bool search = method == PRELIM_YW_SEARCH || method == PRELIM_BURG_SEARCH;
    const bool burg = method == PRELIM_BURG_SEARCH || method == PRELIM_BURG;
    if (method < PRELIM_YW_SEARCH || method > PRELIM_HANNAN_RISSANEN || n < 1 ||
        static_cast<int32_t>(u.series.size()) < n || p < 0 || p > kMaxPrelimOrder || q < 0 || q > kMaxPrelimOrder) {
        result.message = "The model or the method is out of range.";
        return result;
    }
    for (int32_t t = 0; t < n; ++t)
        if (!std::isfinite(u.series[static_cast<size_t>(t)])) {
            result.message = "The series holds a value that is not a finite number.";
            return result;
        }
    if (search) {
        q = 0;
        if (n < 3) {
            result.message = TooShort(n, "the AICC search (at least 3 are needed)");
            return result;
        }
    } else if (n <= p + q + 2 || n < 2 * std::max(p, q)) {
        result.message = TooShort(n, "an ARMA(" + IntText(p) + "," + IntText(q) + ") model");
        return result;
    } else if (method != PRELIM_INNOVATIONS && (p < 1 || q > 0) && method != PRELIM_HANNAN_RISSANEN) {
        result.message = "The method needs an AR order of at least 1 and no MA part.";
        return result;
    } else if (method == PRELIM_HANNAN_RISSANEN && p + q < 1) {
        result.message = "The method needs an ARMA model of order at least 1.";
        return result;
    }

    int32_t L = 0;
    if (search) m = 27;
    else if (method == PRELIM_YW || method == PRELIM_BURG) m = p + 1;
    else if (method == PRELIM_HANNAN_RISSANEN) {
        L = std::min(p + q + 20, std::min(n / 2, 54));
        m = L + 1;
    } else if (m - 1 < p + q || m > n || m > kMaxInnovationsAcvf) {
        m = InnovationsAcvfCount(0, p, q, n);
    }
    const std::vector<double> acvf = SampleAutocovariances(u.series.data(), n, m);

    u.bestAicc = u.aicc;
    u.relationCount = 0;
    if (search) {
        const double s = acvf[0];
        if (!(s > 0.0)) {
            result.message = "The series is zero throughout: there is nothing to estimate.";
            return result;
        }
        const double l0 = std::log(s);
        double m2, aicc0;
        Criteria(l0, 0, n, m2, aicc0);
        aicc0 = m2 + 2.0 / (1.0 - 2.0 / n);
        p = SearchOrder(u, acvf, burg, result, aicc0);
        if (p < 0) return result;
        if (p == 0) {
            StoreCoefficients(u, 0, 0, {}, {});
            std::fill(std::begin(u.standardErrors), std::end(u.standardErrors), 0.0);
            u.wnVariance = u.prelimWnVariance = s;
            u.reducedLikelihood = u.objectiveValue = l0;
            u.minus2LogLikelihood = m2;
            u.aicc = aicc0;
            result.outcome = PRELIM_DONE;
            return result;
        }
    }

    Estimates e;
    if (method == PRELIM_INNOVATIONS) e = InnovationsEstimates(u, acvf, p, q, m);
    else if (method == PRELIM_HANNAN_RISSANEN) e = HannanRissanenEstimates(u, acvf, p, q, L);
    else e = AutoregressiveEstimates(u, acvf, p, burg);
    if (!e.failure.empty()) {
        result.message = e.failure;
        return result;
    }
    StoreCoefficients(u, p, q, e.phi, e.theta);
    std::fill(std::begin(u.standardErrors), std::end(u.standardErrors), 0.0);
    int32_t status = EvaluateModel(u, -1);
    if (status == EVALUATION_NOT_CAUSAL) {
        result.status = -1;
        StoreCoefficients(u, p, q, std::vector<double>(static_cast<size_t>(p), 0.001),
                          std::vector<double>(static_cast<size_t>(q), 0.001));
        status = EvaluateModel(u, -1);
    } else {
        for (int32_t i = 1; i <= p + q; ++i) u.standardErrors[i] = e.ratios[static_cast<size_t>(i - 1)];
    }
    if (status != EVALUATION_DONE) {
        result.message = "The estimated model could not be evaluated on this series.";
        return result;
    }
    if (p == 0 || q == 0 || method == PRELIM_HANNAN_RISSANEN || method == PRELIM_INNOVATIONS)
        u.prelimWnVariance = e.wnVariance;
    Criteria(u.reducedLikelihood, p + q, n, u.minus2LogLikelihood, u.aicc);
    result.outcome = PRELIM_DONE;
    return result;
}

}  // namespace

std::string ReadPrelimOrder(const char* name, const std::string& text, int32_t& order)
{
    double value = 0.0;
    const std::string refusal = ReadFieldEntry(name, text, EntryKind::Integer, value);
    if (!refusal.empty()) return " " + refusal;
    if (value < 0 || value > kMaxPrelimOrder) return std::string(" ") + name + " must be between 0 and " + IntText(kMaxPrelimOrder);
    order = static_cast<int32_t>(value);
    return "";
}

int32_t PrelimMethodOf(const PrelimChoice& c)
{
    int32_t method = 0;
    if (c.yuleWalker) method = c.minAicc ? PRELIM_YW_SEARCH : PRELIM_YW;
    if (c.burg) method = c.minAicc ? PRELIM_BURG_SEARCH : PRELIM_BURG;
    if (c.innovations) method = PRELIM_INNOVATIONS;
    if (c.hannanRissanen) method = PRELIM_HANNAN_RISSANEN;
    return method;
}

int32_t InnovationsAcvfCount(int32_t k, int32_t p, int32_t q, int32_t n)
{
    if (k <= 0 || k + 1 >= kMaxInnovationsAcvf + 1 || k + 1 > n || k + 1 <= p + q) return std::min(p + q + 16, n - 1);
    return k + 1;
}

PrelimRequest CheckPrelimChoice(const PrelimChoice& c, int32_t n)
{
    PrelimRequest r;
    const std::string limit = IntText(kMaxPrelimOrder);
    r.refusal = ReadPrelimOrder("p", c.pText, r.p);
    if (!r.refusal.empty()) {
        r.focus = 1101;
        return r;
    }
    r.refusal = ReadPrelimOrder("q", c.qText, r.q);
    if (!r.refusal.empty()) {
        r.focus = 1102;
        return r;
    }
    if (!c.minAicc && r.p == 0 && r.q == 0) {
        r.refusal = " p and q must be between 0 and " + limit;
        r.focus = 1101;
        return r;
    }
    if (r.q == 0 && !c.burg && !c.yuleWalker) {
        r.refusal = " q=0 select an AR method box";
        return r;
    }
    if (r.q >= 1 && !c.hannanRissanen && !c.innovations) {
        r.refusal = " Select an ARMA method box";
        return r;
    }
    r.method = PrelimMethodOf(c);
    if (r.method == PRELIM_YW_SEARCH || r.method == PRELIM_BURG_SEARCH) {
        if (n < 3) r.refusal = TooShort(n, "the AICC search (at least 3 are needed)");
        return r;
    }
    if (n <= r.p + r.q + 2 || n < 2 * std::max(r.p, r.q)) {
        r.refusal = TooShort(n, "an ARMA(" + IntText(r.p) + "," + IntText(r.q) + ") model");
        return r;
    }
    if (r.method == PRELIM_INNOVATIONS) {
        double k = 0.0;
        const std::string refusal = ReadFieldEntry("Number of ACVF's", c.acvfText, EntryKind::Whole, k);
        if (!refusal.empty()) {
            r.refusal = " " + refusal;
            r.focus = 1111;
            return r;
        }
        // A count past every series the method takes is the method's own choice, as 0 is.
        r.m = InnovationsAcvfCount(static_cast<int32_t>(std::clamp(k, -1.0, 1e9)), r.p, r.q, n);
    }
    return r;
}

PrelimResult PrelimEstimate(UnivariateFields& u, int32_t& m, int32_t method)
{
    const ModelSnapshot saved = SaveModel(u);
    const int32_t savedM = m;
    PrelimResult result;
    try {
        result = Estimate(u, m, method);
    } catch (const std::bad_alloc&) {
        result = PrelimResult{};
        result.message = "Not enough memory for the estimation.";
    }
    // Series near the ends of the double range can carry an estimator past them: no estimate
    // that is not finite is kept.
    if (result.outcome == PRELIM_DONE &&
        !(std::all_of(u.phi + 1, u.phi + 1 + u.p, [](double v) { return std::isfinite(v); }) &&
          std::all_of(u.theta + 1, u.theta + 1 + u.q, [](double v) { return std::isfinite(v); }) &&
          std::isfinite(u.wnVariance) && std::isfinite(u.prelimWnVariance))) {
        result = PrelimResult{};
        result.message = "The estimates leave the range of numbers for this series.";
    }
    if (result.outcome != PRELIM_DONE) {
        RestoreModel(saved, u);
        m = savedM;
    }
    return result;
}

double BurgFit(int32_t k, const double* x, int32_t n, double* phi)
{
    std::vector<double> f(x, x + n), b(x, x + n), previous(static_cast<size_t>(k) + 1, 0.0);
    for (int32_t i = 1; i <= k; ++i) {
        double num = 0.0, den = 0.0;
        for (int32_t t = i; t < n; ++t) {
            num += f[static_cast<size_t>(t)] * b[static_cast<size_t>(t - 1)];
            den += f[static_cast<size_t>(t)] * f[static_cast<size_t>(t)] +
                   b[static_cast<size_t>(t - 1)] * b[static_cast<size_t>(t - 1)];
        }
        const double phii = den > 0.0 ? 2.0 * num / den : 0.0;
        std::copy(phi, phi + i - 1, previous.begin() + 1);
        phi[i - 1] = phii;
        for (int32_t j = 1; j < i; ++j) phi[j - 1] = previous[static_cast<size_t>(j)] - phii * previous[static_cast<size_t>(i - j)];
        // Backwards in time, so that b(t-1) is still the previous order's error.
        for (int32_t t = n - 1; t >= i; --t) {
            const double old = f[static_cast<size_t>(t)];
            f[static_cast<size_t>(t)] -= phii * b[static_cast<size_t>(t - 1)];
            b[static_cast<size_t>(t)] = b[static_cast<size_t>(t - 1)] - phii * old;
        }
    }
    double s = 0.0;
    for (int32_t t = k; t < n; ++t)
        s += f[static_cast<size_t>(t)] * f[static_cast<size_t>(t)] + b[static_cast<size_t>(t)] * b[static_cast<size_t>(t)];
    return s / (2.0 * (n - k));
}

int32_t SampleInnovations(int32_t K, const double* acvf, double* theta, double& v)
{
    // T(i, j) = theta_{i,j}, i = 1..K, stored row by row; w[i] = v_i.
    std::vector<double> T(static_cast<size_t>(K + 1) * (K + 1), 0.0), w(static_cast<size_t>(K) + 1);
    auto th = [&](int32_t i, int32_t j) -> double& { return T[static_cast<size_t>(i) * (K + 1) + j]; };
    w[0] = acvf[0];
    if (!(w[0] > 0.0) || !std::isfinite(w[0])) return 0;
    for (int32_t i = 1; i <= K; ++i) {
        for (int32_t k = 0; k < i; ++k) {
            double s = acvf[i - k];
            for (int32_t j = 0; j < k; ++j) s -= th(k, k - j) * th(i, i - j) * w[static_cast<size_t>(j)];
            th(i, i - k) = s / w[static_cast<size_t>(k)];
        }
        double s = acvf[0];
        for (int32_t j = 0; j < i; ++j) s -= th(i, i - j) * th(i, i - j) * w[static_cast<size_t>(j)];
        w[static_cast<size_t>(i)] = s;
        if (!(s > 0.0) || !std::isfinite(s)) return 0;
    }
    for (int32_t j = 1; j <= K; ++j) theta[j - 1] = th(K, j);
    v = w[static_cast<size_t>(K)];
    return 1;
}
