#include "univariate/forecasting.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "numerics/integrated_forecast.h"
#include "numerics/long_memory.h"
#include "numerics/scaled_results.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"
#include "platform/typed_entry.h"
#include "resources/resource.h"
#include "shell/number_format.h"
#include "shell/proposed_number.h"
#include "univariate/forecast_engines.h"
#include "univariate/model_evaluation.h"
#include "univariate/statistics.h"
#include "univariate/transforms.h"

// A run asks the evaluation for its forecasts.
static_assert(kMaxForecastSteps <= kMaxEvaluationHorizon, "the forecast step limit passes the evaluation's horizon");

namespace {

bool AllFinite(const std::vector<double>& v)
{
    return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

// The regression trend at time t of a series of n values (auxiliary variables left out).
bool RegressionTrend(const UnivariateFields& u, int64_t t, int32_t n, double& value)
{
    const std::vector<double>& c = u.trendCoefficients;
    const int32_t k0 = u.intercept ? 0 : 1;
    const int32_t D = u.polynomialDegree;
    if (D < 0 || u.harmonicCount < 0 || u.harmonicCount > 4) return false;
    const size_t needed = static_cast<size_t>(D + 1 - k0 + 2 * u.harmonicCount);
    if (c.size() < needed || n < 1) return false;
    const double pi = 3.14159265359;
    const double x = static_cast<double>(t);
    value = 0.0;
    for (int32_t k = k0; k <= D; ++k) value += c[static_cast<size_t>(k - k0)] * std::pow(x, k);
    for (int32_t j = 1; j <= u.harmonicCount; ++j) {
        const double arg = 2.0 * pi * u.fourierIndex[j] * x / n;
        value += c[static_cast<size_t>(D + 2 * j - k0 - 1)] * std::cos(arg) +
                 c[static_cast<size_t>(D + 2 * j - k0)] * std::sin(arg);
    }
    return true;
}

// The polynomial trend as the classical transform computes it, so the sums cancel exactly.
double Polynomial(const TransformNode& node, int64_t t)
{
    if (node.degree < 1) return 0.0;
    const double x = static_cast<double>(t);
    return (node.polyCoef[2] * x + node.polyCoef[1]) * x + node.polyCoef[0];
}

// Harmonic components and level of a kind-8 node at time t, for a series of nh values.
double Harmonics(const TransformNode& node, int64_t t, int64_t nh)
{
    double sum = node.level;
    if (node.harmonics <= 0) return sum;
    const double omega = 6.28318530718 / static_cast<double>(nh);
    const double scale = 2.0 / static_cast<double>(nh);
    for (int32_t i = 0; i < node.harmonics && i < 4; ++i) {
        const double arg = node.fourierIndex[i] * omega * static_cast<double>(t);
        sum += std::cos(arg) * node.cosCoef[i] * scale + std::sin(arg) * node.sinCoef[i] * scale;
    }
    return sum;
}

ForecastCheck Refuse(std::string message, int32_t focus)
{
    ForecastCheck c;
    c.messages.push_back(std::move(message));
    c.caption = "ERROR";
    c.focusControl = focus;
    return c;
}

// The names of the dialogs' fields in their refusals.
const char* const kStepsField = "Number of forecasts";
const char* const kFirstField = "First index";
const char* const kLastField = "Last index";

// Reads a field's entry into `value`; false with `refusal` naming the field and the reason, the
// focus on `focus`, when the text is no number of `kind`. The number of forecasts is read as a
// whole number of any size, so that one beyond the integers is refused with the range.
bool ReadEntry(const char* field, const std::string& text, EntryKind kind, int32_t focus, double& value,
               ForecastCheck& refusal)
{
    const std::string why = ReadFieldEntry(field, text, kind, value);
    if (why.empty()) return true;
    refusal = Refuse(why, focus);
    return false;
}

const char* const kTooManyForecasts = "Number of predictors must be at most 100000";

bool InUnit(double c) { return c >= 0.0 && c <= 1.0; }

// The coefficients phi1..phip, theta1..thetaq of the record.
std::vector<double> Coefficients(const UnivariateFields& u)
{
    std::vector<double> c;
    for (int32_t i = 1; i <= u.p; ++i) c.push_back(u.phi[i]);
    for (int32_t j = 1; j <= u.q; ++j) c.push_back(u.theta[j]);
    return c;
}

bool OrdersValid(const UnivariateFields& u)
{
    return u.p >= 0 && u.q >= 0 && u.p <= kMaxArmaOrder && u.q <= kMaxArmaOrder;
}

// Mean squared errors of the integrated forecasts: the psi-weights of the model with the
// differencing factors, scaled by sigma2.
bool IntegratedMse(const UnivariateFields& u, const std::vector<double>& coef, const TransformSummary& s,
                   double sigma2, int32_t h, std::vector<double>& mse)
{
    std::vector<int> lags;
    for (const TransformNode* node : s.differences) lags.push_back(node->lag);
    std::vector<double> out(static_cast<size_t>(h));
    if (!u.fracIntegrated) {
        if (IntegratedForecastMse(u.p, u.q, coef.data(), static_cast<int>(lags.size()), lags.data(), sigma2, h,
                                  out.data()) != kStatusDone)
            return false;
    } else {
        std::vector<double> psi(static_cast<size_t>(h));
        if (ArmaInfinityWeights(27, &u.phi[1], &u.theta[1], psi.data(), u.p, u.q, u.d, h, 2, kMaInfinity) !=
            kStatusDone)
            return false;
        // 1/(1 - B^g) adds the weight g steps back: psi(j) += psi(j - g), j increasing.
        for (int g : lags)
            for (size_t j = static_cast<size_t>(g); j < psi.size(); ++j) psi[j] += psi[j - static_cast<size_t>(g)];
        double sum = 0.0;
        for (size_t j = 0; j < psi.size(); ++j) {
            sum += psi[j] * psi[j];
            out[j] = sigma2 * sum;
        }
    }
    if (!AllFinite(out)) return false;
    mse = std::move(out);
    return true;
}

// EvaluateModel on the series multiplied by `scale`, a power of two (1: the series as it is).
// The innovations sums of a series near the ends of the double range overflow or vanish, while
// the predictors scale with the series: evaluated so scaled, the forecasts, their mean squared
// errors and wnVariance are those of the scaled series, and the likelihood and objective are
// taken back to the scale of the data (both move by -2 ln scale). The series itself is left as
// it was. Residuals are not asked for (residualsValid is 0 here).
int32_t EvaluateScaled(UnivariateFields& u, int32_t horizon, double scale)
{
    if (scale == 1.0) return EvaluateModel(u, horizon);
    std::vector<double> data = u.series;
    for (double& x : u.series) x *= scale;
    const int32_t status = EvaluateModel(u, horizon);
    u.series.swap(data);
    if (status == EVALUATION_DONE) {
        u.reducedLikelihood -= 2.0 * std::log(scale);
        u.objectiveValue -= 2.0 * std::log(scale);
    }
    return status;
}

// Forecasts (values) and their mean squared errors (spreads) of a series scaled by `scale`, on
// the scale of the data (numerics/scaled_results.h).
bool Unscale(std::vector<double>& F, std::vector<double>& M, double scale)
{
    if (scale == 1.0) return true;
    const int k = PowerOfTwoExponent(scale);
    if (!UnscaleValues(F.data(), F.size(), k)) return false;
    for (double& m : M)
        if (!UnscaleSpread(m, k, 2)) return false;
    return true;
}

// The first abscissa of data whose first `lagsUndone` values come before the current series.
double DataStart(const UnivariateFields& u, int32_t lagsUndone)
{
    return static_cast<double>(u.firstIndex) - lagsUndone;
}

}  // namespace

TransformSummary SummariseTransforms(const TransformNode* top)
{
    TransformSummary s;
    s.any = top != nullptr;
    if (top && top->kind == TRANSFORM_SUBSEQUENCE) s.subsequence = top;
    int64_t lag = 0;
    for (const TransformNode* node = top; node; node = node->next) {
        switch (node->kind) {
        case TRANSFORM_DIFFERENCE:
            s.differences.push_back(node);
            lag += node->lag;
            break;
        case TRANSFORM_BOX_COX: s.boxCox = node; break;
        case TRANSFORM_CLASSICAL:
        case TRANSFORM_HARMONIC: s.classical = node; break;
        case TRANSFORM_SUBTRACT_MEAN: s.mean = node; break;
        default: break;
        }
    }
    s.totalLag = static_cast<int32_t>(std::min<int64_t>(lag, std::numeric_limits<int32_t>::max()));
    if (top && top == s.mean && top->next && top->next->kind == TRANSFORM_SUBSEQUENCE) {
        s.subsequence = top->next;
        s.meanAfterSubsequence = true;
    }
    return s;
}

int32_t UndoForecastTransforms(const UnivariateFields& u, const TransformSummary& s, const UndoChoice& choice,
                               std::vector<double>& w, std::vector<double>& f, int32_t& lagsUndone)
{
    lagsUndone = 0;
    const int32_t n = static_cast<int32_t>(w.size());
    const size_t h = f.size();
    if (choice.regression && u.regressionPresent > 0) {
        for (int32_t t = 1; t <= n; ++t) {
            double trend = 0.0;
            if (!RegressionTrend(u, t, n, trend)) return 0;
            w[static_cast<size_t>(t - 1)] += trend;
        }
        for (size_t i = 1; i <= h; ++i) {
            double trend = 0.0;
            if (!RegressionTrend(u, n + static_cast<int64_t>(i), n, trend)) return 0;
            f[i - 1] += trend;
        }
    }
    const auto addMean = [&]() {
        for (double& x : w) x += s.mean->mean;
        for (double& x : f) x += s.mean->mean;
    };
    const bool mean = choice.mean && s.mean;
    if (mean && s.meanAfterSubsequence) addMean();
    // The subsequence's head goes back in front, so that everything below counts from the uncut
    // series; it is cut off again at the end.
    size_t head = 0;
    int64_t uncutLength = n;
    if (s.subsequence) {
        head = s.subsequence->head.size();
        uncutLength += static_cast<int64_t>(head) + static_cast<int64_t>(s.subsequence->tail.size());
        w.insert(w.begin(), s.subsequence->head.begin(), s.subsequence->head.end());
    }
    if (mean && !s.meanAfterSubsequence) addMean();
    if (choice.undifference) {
        for (const TransformNode* node : s.differences) {
            if (node->lag < 1 || node->removed.size() != static_cast<size_t>(node->lag)) return 0;
            // The forecasts continue the series: one running sum over both, as Undo's.
            w.insert(w.end(), f.begin(), f.end());
            std::vector<double> x;
            Undifference(node->removed, w, x);
            const auto forecasts = x.end() - static_cast<std::ptrdiff_t>(h);
            f.assign(forecasts, x.end());
            x.erase(forecasts, x.end());
            w.swap(x);
            lagsUndone += node->lag;
        }
    }
    if (choice.trend && s.classical) {
        const TransformNode& node = *s.classical;
        const int64_t L = static_cast<int64_t>(w.size());
        const bool seasonal = node.kind == TRANSFORM_CLASSICAL && node.period > 0;
        if (seasonal && node.seasonal.size() != static_cast<size_t>(node.period)) return 0;
        // The harmonics were fitted to the series as it was then: uncut, not yet differenced.
        const int64_t nh = uncutLength + s.totalLag;
        auto component = [&](int64_t t) {
            double c = Polynomial(node, t);
            if (seasonal) c += node.seasonal[static_cast<size_t>((t - 1) % node.period)];
            if (node.kind == TRANSFORM_HARMONIC) c += Harmonics(node, t, nh);
            return c;
        };
        for (int64_t t = 1; t <= L; ++t) w[static_cast<size_t>(t - 1)] += component(t);
        for (size_t i = 1; i <= h; ++i) f[i - 1] += component(L + static_cast<int64_t>(i));
    }
    if (choice.boxCox && s.boxCox) {
        for (double& x : w) x = BoxCoxInverse(x, s.boxCox->lambda);
        for (double& x : f) x = BoxCoxInverse(x, s.boxCox->lambda);
    }
    w.erase(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(head));
    return AllFinite(w) && AllFinite(f) ? 1 : 0;
}

void ApplyForecastRules(UnivariateFields& u, const TransformSummary& s)
{
    const bool mean = s.mean != nullptr, differenced = !s.differences.empty(), classical = s.classical != nullptr;
    const bool regression = u.regressionPresent > 0;
    if (u.forecastInvertBoxCox) {
        if (mean) u.forecastAddMean = 1;
        if (differenced) u.forecastUndifference = 1;
        if (classical) u.forecastAddTrend = 1;
        if (regression) u.forecastRegression = 1;
    }
    if (u.forecastAddTrend || u.forecastUndifference) {
        if (mean) u.forecastAddMean = 1;
        if (regression) u.forecastRegression = 1;
    }
}

std::string ForecastVarianceText(double variance)
{
    return ProposedNumberText(variance, FixedText(variance, 6), 6);
}

std::string SmoothingConstantText(double value)
{
    return FittedFixed(value, 5, 15, NumberScale::Fixed);
}

ForecastCheck CheckArmaForecastEntries(const std::string& stepsText, const std::string& varianceText,
                                       bool regressionChecked, int32_t auxPresent, int32_t& steps, double& v)
{
    ForecastCheck c;
    double count = 0.0;
    if (!ReadEntry(kStepsField, stepsText, EntryKind::Whole, IDC_FC_STEPS, count, c)) {
        c.caption = "Error";
        return c;
    }
    if (count < 1) {
        c = Refuse(" Number of predictors must be larger than 0", IDC_FC_STEPS);
        c.caption = "Error";
        return c;
    }
    if (count > kMaxForecastSteps) {
        c = Refuse(kTooManyForecasts, IDC_FC_STEPS);
        c.caption = "Error";
        return c;
    }
    double variance = 0.0;
    if (!ReadEntry("White noise variance", varianceText, EntryKind::Real, IDC_FC_VARIANCE, variance, c)) return c;
    if (!(variance > 0.0)) return Refuse(" WN Variance must be postive", IDC_FC_VARIANCE);
    if (regressionChecked && auxPresent > 0)
        return Refuse(" Cannot forecast beyond the length of the auxiliary variables in regression function.",
                      IDC_FC_REGRESSION);
    steps = static_cast<int32_t>(count);
    v = variance;
    c.accepted = true;
    return c;
}

const char* ForecastFailureMessage(int32_t status)
{
    switch (status) {
    case FORECAST_MODEL_FAILED:
        return "The model cannot be evaluated on this series (its AR part is not causal, or the series is too "
               "short): no forecasts were made.";
    case FORECAST_OUT_OF_RANGE:
        return "The forecasts cannot be transformed back: values out of range. No forecasts were made.";
    case FORECAST_NO_MEMORY: return "Not enough memory for the forecasts.";
    case FORECAST_REFUSED:
        return "The forecasting method cannot be applied to this data range (too few observations, or the fit "
               "failed): no forecasts were made.";
    case FORECAST_VALUES_OUT_OF_RANGE:
        return "The values are out of the range the forecasting method handles (its forecasts or their errors "
               "would leave the range of numbers): no forecasts were made.";
    default: return "";
    }
}

int32_t ForecastMse(UnivariateFields& u)
{
    if (!OrdersValid(u) || u.n < 1 || static_cast<int32_t>(u.series.size()) != u.n) return 0;
    const int32_t h = u.forecastSteps;
    if (h < 1 || h > kMaxForecastSteps) return 0;
    const int32_t n = u.n;
    const size_t N = static_cast<size_t>(n) + static_cast<size_t>(h);
    const int32_t savedLags = u.modelAcfLags;
    const std::vector<double> savedAcf = u.modelAcf;
    const double savedGamma0 = u.modelGamma0;
    if (static_cast<size_t>(u.modelAcfLags) < N) u.modelAcfLags = static_cast<int32_t>(N);
    const int32_t ok = FracArmaAcvf(u);
    u.modelAcfLags = savedLags;
    if (!ok || u.modelAcf.size() < N) {
        u.modelAcf = savedAcf;
        u.modelGamma0 = savedGamma0;
        return 0;
    }
    std::vector<double> gamma(u.modelAcf.begin(), u.modelAcf.begin() + static_cast<std::ptrdiff_t>(N));
    for (double& g : gamma) g *= u.modelGamma0;
    // The model ACF keeps the length it had; its values do not depend on the length.
    u.modelAcf.resize(static_cast<size_t>(std::max(savedLags, 1)) + 1);

    // Durbin-Levinson, one row of phi(k, .) at a time; from k = n on each row predicts X(k + 1)
    // from the values and the predictors before it.
    std::vector<double> xhat(N), row(N + 1, 0.0), prev(N + 1, 0.0);
    std::copy(u.series.begin(), u.series.end(), xhat.begin());
    double v = gamma[0];
    for (size_t k = 1; k < N; ++k) {
        if (!(v > 0.0)) return 0;
        double num = gamma[k];
        for (size_t j = 1; j < k; ++j) num -= prev[j] * gamma[k - j];
        const double pkk = num / v;
        for (size_t j = 1; j < k; ++j) row[j] = prev[j] - pkk * prev[k - j];
        row[k] = pkk;
        v *= 1.0 - pkk * pkk;
        if (k >= static_cast<size_t>(n)) {
            double sum = 0.0;
            for (size_t j = 1; j <= k; ++j) sum += row[j] * xhat[k - j];
            xhat[k] = sum;
        }
        prev.swap(row);
    }
    std::vector<double> psi(static_cast<size_t>(h));
    if (ArmaInfinityWeights(27, &u.phi[1], &u.theta[1], psi.data(), u.p, u.q, u.d, h, 2, kMaInfinity) !=
        kStatusDone)
        return 0;
    std::vector<double> forecasts(xhat.begin() + n, xhat.end()), mse(static_cast<size_t>(h));
    double sum = 0.0;
    for (size_t i = 0; i < mse.size(); ++i) {
        sum += psi[i] * psi[i];
        mse[i] = u.wnVariance * sum;
    }
    if (!AllFinite(forecasts) || !AllFinite(mse)) return 0;
    u.armaForecasts = std::move(forecasts);
    u.armaForecastMse = std::move(mse);
    return 1;
}

int32_t ArmaForecastRun(UnivariateProject& u, bool dialog, double v, ForecastCurves& curves)
{
    if (!u.hasData() || u.n < 1) return FORECAST_NO_DATA;
    const double savedWn = u.wnVariance;
    const auto fail = [&](int32_t status) {
        u.armaForecasts.clear();
        u.armaForecastMse.clear();
        u.wnVariance = savedWn;
        return status;
    };
    const int32_t h = u.forecastSteps;
    if (h < 1 || h > kMaxForecastSteps || !OrdersValid(u)) return fail(FORECAST_REFUSED);
    try {
        const TransformSummary s = SummariseTransforms(u.transforms);
        ApplyForecastRules(u, s);

        // The model is the one its relations make of the stored coefficients: test that one for
        // invertibility, not a stand-in with the relation targets as they were typed.
        if (!ApplyModelRelations(u)) return fail(FORECAST_MODEL_FAILED);
        // A non-invertible MA part is forecast by the invertible one with its autocovariances.
        const std::vector<double> savedTheta(std::begin(u.theta), std::end(u.theta));
        const int32_t savedRelations = u.relationCount;
        bool twin = false;
        if (!MaPartInvertible(u) && InvertibleTwin(u) == EVALUATION_DONE) {
            // The relations would rewrite the replaced coefficients.
            u.relationCount = 0;
            twin = true;
        }
        u.armaForecasts.clear();
        u.armaForecastMse.clear();
        // A fractionally integrated model takes its variance from the record, not from sums
        // over the series: it needs no scaling.
        const double scale = u.fracIntegrated ? 1.0 : RangeScale(u.series.data(), u.n);
        int32_t status = EVALUATION_FAILED;
        if (!u.fracIntegrated) status = EvaluateScaled(u, h, scale);
        else status = ForecastMse(u) ? EVALUATION_DONE : EVALUATION_FAILED;
        const std::vector<double> coef = Coefficients(u);  // as evaluated: relations applied
        const double sigma2 = u.wnVariance;
        if (twin) {
            std::copy(savedTheta.begin(), savedTheta.end(), std::begin(u.theta));
            u.relationCount = savedRelations;
            std::vector<double> keepF = std::move(u.armaForecasts), keepM = std::move(u.armaForecastMse);
            (void)EvaluateScaled(u, -1, scale);
            u.armaForecasts = std::move(keepF);
            u.armaForecastMse = std::move(keepM);
        }
        if (status != EVALUATION_DONE || static_cast<int32_t>(u.armaForecasts.size()) != h ||
            static_cast<int32_t>(u.armaForecastMse.size()) != h)
            return fail(FORECAST_MODEL_FAILED);

        std::vector<double> F = u.armaForecasts, M = u.armaForecastMse;
        if (u.forecastUndifference && !s.differences.empty() && !IntegratedMse(u, coef, s, sigma2, h, M))
            return fail(FORECAST_OUT_OF_RANGE);
        if (!Unscale(F, M, scale)) return fail(FORECAST_VALUES_OUT_OF_RANGE);
        if (dialog && u.residualSsPerN > 0.0)
            for (double& m : M) m *= v / u.residualSsPerN;

        UndoChoice choice;
        choice.regression = u.forecastRegression != 0;
        choice.mean = u.forecastAddMean != 0;
        choice.undifference = u.forecastUndifference != 0;
        choice.trend = u.forecastAddTrend != 0;
        choice.boxCox = u.forecastInvertBoxCox != 0;
        std::vector<double> W = u.series;
        int32_t lagsUndone = 0;
        if (!UndoForecastTransforms(u, s, choice, W, F, lagsUndone) || !AllFinite(M))
            return fail(FORECAST_OUT_OF_RANGE);

        u.armaForecasts = F;
        u.armaForecastMse = std::move(M);
        u.wnVariance = dialog ? v : savedWn;
        curves.dataFirst = DataStart(u, lagsUndone);
        curves.forecastFirst = curves.dataFirst + static_cast<double>(W.size());
        curves.data = std::move(W);
        curves.forecasts = std::move(F);
        return FORECAST_DONE;
    } catch (const std::bad_alloc&) {
        return fail(FORECAST_NO_MEMORY);
    }
}

void DefaultForecastRange(bool untransformed, int32_t n, int32_t g, int32_t& first, int32_t& last)
{
    first = untransformed ? 1 : g + 1;
    last = n + g;
}

ForecastCheck CheckArarEntries(const ArarEntries& e)
{
    ForecastCheck c;
    const int32_t T = e.n + e.g;
    int32_t first = 0, last = 0;
    DefaultForecastRange(e.untransformed, e.n, e.g, first, last);
    const int32_t defaultFirst = first, defaultLast = last;
    double steps = 0.0, typedFirst = first, typedLast = last;
    ForecastCheck r, rangeFault;
    const bool stepsRead = ReadEntry(kStepsField, e.steps, EntryKind::Whole, IDC_FC_STEPS, steps, r);
    const bool rangeRead =
        !e.subset || (ReadEntry(kFirstField, e.first, EntryKind::Integer, IDC_ARAR_FIRST, typedFirst, rangeFault) &&
                      ReadEntry(kLastField, e.last, EntryKind::Integer, IDC_ARAR_LAST, typedLast, rangeFault));
    first = static_cast<int32_t>(typedFirst);
    last = static_cast<int32_t>(typedLast);
    c.completeSet = rangeRead && first == defaultFirst && last == defaultLast;
    if (stepsRead && !rangeRead) r = rangeFault;
    if (!stepsRead || !rangeRead) {
        r.completeSet = c.completeSet;
        return r;
    }
    if (steps < 1) r = Refuse("Number of predictors MUST be greater than 0", IDC_FC_STEPS);
    else if (steps > kMaxForecastSteps) r = Refuse(kTooManyForecasts, IDC_FC_STEPS);
    else if (e.untransformed && first <= 0) r = Refuse("Starting point MUST be greater than 0", IDC_ARAR_FIRST);
    else if (!e.untransformed && first <= e.g)
        r = Refuse("Starting point MUST be greater than number of lags differenced", IDC_ARAR_FIRST);
    else if (static_cast<int64_t>(last) - first > 30 && last <= T) {
        c.accepted = true;
        return c;
    } else {
        r.caption = "ERROR";
        r.focusControl = IDC_ARAR_LAST;
        if (static_cast<int64_t>(last) - first <= 30) r.messages.push_back("Need at least 30 observations to run ARAR");
        if (last > T) r.messages.push_back("Final point must be less than number of obs.");
    }
    r.completeSet = c.completeSet;
    return r;
}

ForecastCheck CheckHoltWintersEntries(const HoltWintersEntries& e)
{
    const int32_t T = e.n + e.g;
    int32_t first = 0, last = 0;
    DefaultForecastRange(e.untransformed, e.n, e.g, first, last);
    const int32_t defaultFirst = first, defaultLast = last;
    const int32_t firstBox = e.seasonal ? IDC_SHW_FIRST : IDC_HW_FIRST;
    const int32_t lastBox = e.seasonal ? IDC_SHW_LAST : IDC_HW_LAST;
    double typedFirst = first, typedLast = last;
    ForecastCheck rangeFault;
    const bool rangeRead =
        !e.subset || (ReadEntry(kFirstField, e.first, EntryKind::Integer, firstBox, typedFirst, rangeFault) &&
                      ReadEntry(kLastField, e.last, EntryKind::Integer, lastBox, typedLast, rangeFault));
    first = static_cast<int32_t>(typedFirst);
    last = static_cast<int32_t>(typedLast);
    const bool completeSet = rangeRead && first == defaultFirst && last == defaultLast;
    ForecastCheck c = [&]() {
        ForecastCheck r;
        double steps = 0.0;
        if (!ReadEntry(kStepsField, e.steps, EntryKind::Whole, IDC_FC_STEPS, steps, r)) return r;
        if (steps < 1) return Refuse("Number of predictors MUST be greater than 0", IDC_FC_STEPS);
        if (steps > kMaxForecastSteps) return Refuse(kTooManyForecasts, IDC_FC_STEPS);
        // Constants outside [0, 1] are refused also as a starting point of the search: its
        // objective is flat there and the run would report the penalty as a result.
        const int32_t alphaBox = e.seasonal ? IDC_SHW_ALPHA : IDC_HW_ALPHA;
        const int32_t betaBox = e.seasonal ? IDC_SHW_BETA : IDC_HW_BETA;
        double alpha = 0.0, beta = 0.0, gamma = 0.0, period = 0.0;
        if (!ReadEntry("Alpha", e.alpha, EntryKind::Real, alphaBox, alpha, r)) return r;
        if (!InUnit(alpha)) return Refuse("alpha must be between 0 and 1", alphaBox);
        if (!ReadEntry("Beta", e.beta, EntryKind::Real, betaBox, beta, r)) return r;
        if (!InUnit(beta)) return Refuse("Beta must be between 0 and 1", betaBox);
        if (e.seasonal) {
            if (!ReadEntry("Gamma", e.gamma, EntryKind::Real, IDC_SHW_GAMMA, gamma, r)) return r;
            if (!InUnit(gamma)) return Refuse("Gamma must be between 0 and 1", IDC_SHW_GAMMA);
            if (!ReadEntry("Period", e.period, EntryKind::Real, IDC_SHW_PERIOD, period, r)) return r;
            if (!(period > 1)) return Refuse("Period must be greater than 1", IDC_SHW_PERIOD);
            if (period != std::floor(period) || period > T)
                return Refuse("Period must be a whole number not above the number of observations", IDC_SHW_PERIOD);
        }
        if (!rangeRead) return rangeFault;
        if (e.untransformed && first <= 0) return Refuse("Starting point MUST be greater than 0", firstBox);
        if (!e.untransformed && first <= e.g)
            return Refuse("Starting point MUST be greater than number of lags differenced", firstBox);
        if (first < last && last <= T) {
            // The fit measures one-step errors from the third value on, or from the second after
            // one season: a shorter range has none, and nothing to choose the constants by.
            const int64_t count = static_cast<int64_t>(last) - first + 1;
            if (e.seasonal && count < static_cast<int64_t>(period) + 2)
                return Refuse("The data range is too short to fit: it must hold at least period + 2 observations",
                              lastBox);
            if (!e.seasonal && count < 3)
                return Refuse("The data range is too short to fit: it must hold at least 3 observations", lastBox);
            ForecastCheck ok;
            ok.accepted = true;
            return ok;
        }
        r = ForecastCheck();
        r.caption = "ERROR";
        r.focusControl = lastBox;
        if (last <= first) r.messages.push_back("Need last index larger than starting index");
        if (last > T) r.messages.push_back("Final index must be less than number of obs.");
        return r;
    }();
    c.completeSet = completeSet;
    return c;
}

namespace {

// The series the engines get: the current one, or with every transform undone but the
// regression trend.
int32_t EngineSeries(const UnivariateProject& u, bool untransformed, std::vector<double>& x, double& start)
{
    x = u.series;
    int32_t lagsUndone = 0;
    if (untransformed) {
        const TransformSummary s = SummariseTransforms(u.transforms);
        UndoChoice all;
        all.mean = all.undifference = all.trend = all.boxCox = true;
        std::vector<double> none;
        if (!UndoForecastTransforms(u, s, all, x, none, lagsUndone)) return 0;
    }
    start = DataStart(u, lagsUndone);
    return 1;
}

// Engine numbering of an index of the untransformed series.
int32_t EngineIndex(const UnivariateProject& u, bool untransformed, int32_t index)
{
    return untransformed ? index : index - SummariseTransforms(u.transforms).totalLag;
}

}  // namespace

int32_t ArarForecastRun(UnivariateProject& u, const ArarSettings& a, ForecastCurves& curves)
{
    if (!u.hasData() || u.n < 1) return FORECAST_NO_DATA;
    if (a.count < 1 || a.count > kMaxForecastSteps) return FORECAST_REFUSED;
    try {
        std::vector<double> x;
        double start = 1;
        if (!EngineSeries(u, a.untransformed, x, start)) return FORECAST_OUT_OF_RANGE;
        const int32_t N = static_cast<int32_t>(x.size());
        UnivariateProject e;
        e.ararCount = a.count;
        e.ararFirst = EngineIndex(u, a.untransformed, a.first);
        e.ararLast = EngineIndex(u, a.untransformed, a.last);
        e.ararOption = a.option;
        e.ararCriterion = a.criterion;
        if (e.ararFirst < 1 || e.ararLast > N) return FORECAST_REFUSED;
        e.ararForecasts.assign(static_cast<size_t>(std::max(N, e.ararLast + a.count)), 0.0);
        const int status = ArarEngine(e, x.data(), N);
        if (status == kStatusNoMemory) return FORECAST_NO_MEMORY;
        if (status == kStatusOutOfRange) return FORECAST_VALUES_OUT_OF_RANGE;
        if (status != kStatusDone) return FORECAST_REFUSED;

        u.ararCount = a.count;
        u.ararSubset = a.subset;
        u.ararFirst = a.first;
        u.ararLast = a.last;
        u.ararOption = a.option;
        u.ararCriterion = a.criterion;
        u.ararForecastEnd = e.ararLast + a.count;
        if (a.option != 1) {
            u.ararDegree = e.ararDegree;
            std::copy(std::begin(e.ararShortening), std::end(e.ararShortening), std::begin(u.ararShortening));
        }
        std::copy(std::begin(e.ararLags), std::end(e.ararLags), std::begin(u.ararLags));
        std::copy(std::begin(e.ararSubsetCoef), std::end(e.ararSubsetCoef), std::begin(u.ararSubsetCoef));
        std::copy(std::begin(e.ararFilter), std::end(e.ararFilter), std::begin(u.ararFilter));
        u.ararRootMse = e.ararRootMse;
        u.ararForecasts = std::move(e.ararForecasts);

        curves.dataFirst = start;
        curves.forecastFirst = start + e.ararLast;
        curves.forecasts.assign(u.ararForecasts.begin() + e.ararLast, u.ararForecasts.begin() + e.ararLast + a.count);
        curves.data = std::move(x);
        return FORECAST_DONE;
    } catch (const std::bad_alloc&) {
        return FORECAST_NO_MEMORY;
    }
}

int32_t HoltWintersRun(UnivariateProject& u, const HoltWintersSettings& a, ForecastCurves& curves)
{
    if (!u.hasData() || u.n < 1) return FORECAST_NO_DATA;
    if (a.count < 1 || a.count > kMaxForecastSteps) return FORECAST_REFUSED;
    const bool seasonal = a.period >= 2;
    try {
        std::vector<double> x;
        double start = 1;
        if (!EngineSeries(u, a.untransformed, x, start)) return FORECAST_OUT_OF_RANGE;
        const int32_t m = static_cast<int32_t>(x.size());
        const int32_t first = EngineIndex(u, a.untransformed, a.first);
        const int32_t last = EngineIndex(u, a.untransformed, a.last);
        if (first < 1 || last > m) return FORECAST_REFUSED;
        UnivariateProject e;
        std::vector<double>& out = seasonal ? e.shwForecasts : e.hwForecasts;
        out.assign(static_cast<size_t>(std::max(m, last + a.count)), 0.0);
        e.shwPeriod = seasonal ? a.period : 0;
        if (seasonal) {
            e.shwCount = a.count;
            e.shwFirst = first;
            e.shwLast = last;
            e.shwOptimise = a.optimise;
            e.shwAlpha = a.alpha;
            e.shwBeta = a.beta;
            e.shwGamma = a.gamma;
        } else {
            e.hwCount = a.count;
            e.hwFirst = first;
            e.hwLast = last;
            e.hwOptimise = a.optimise;
            e.hwAlpha = a.alpha;
            e.hwBeta = a.beta;
        }
        const int status = HoltWintersFit(e, x.data(), m);
        if (status == kStatusNoMemory) return FORECAST_NO_MEMORY;
        if (status == kStatusOutOfRange) return FORECAST_VALUES_OUT_OF_RANGE;
        if (status != kStatusDone) return FORECAST_REFUSED;

        u.shwPeriod = e.shwPeriod;
        if (seasonal) {
            u.shwCount = a.count;
            u.shwSubset = a.subset;
            u.shwFirst = a.first;
            u.shwLast = a.last;
            u.shwForecastEnd = a.last + a.count;
            u.shwEngineLast = last;
            u.shwOptimise = a.optimise;
            u.shwAlpha = e.shwAlpha;
            u.shwBeta = e.shwBeta;
            u.shwGamma = e.shwGamma;
            u.shwRootMse = e.shwRootMse;
        } else {
            u.hwCount = a.count;
            u.hwSubset = a.subset;
            u.hwFirst = a.first;
            u.hwLast = a.last;
            u.hwForecastEnd = a.last + a.count;
            u.hwEngineLast = last;
            u.hwOptimise = a.optimise;
            u.hwAlpha = e.hwAlpha;
            u.hwBeta = e.hwBeta;
            u.hwRootMse = e.hwRootMse;
        }
        curves.dataFirst = start;
        curves.forecastFirst = start + last;
        curves.forecasts.assign(out.begin() + last, out.begin() + last + a.count);
        (seasonal ? u.shwForecasts : u.hwForecasts) = std::move(out);
        curves.data = std::move(x);
        return FORECAST_DONE;
    } catch (const std::bad_alloc&) {
        return FORECAST_NO_MEMORY;
    }
}
