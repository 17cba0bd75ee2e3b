#include "univariate/arma_simulation.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "numerics/simulation.h"
#include "numerics/status.h"
#include "platform/typed_entry.h"
#include "univariate/residuals.h"
#include "univariate/statistics.h"
#include "univariate/transforms.h"

namespace {

bool AllFinite(const std::vector<double>& x)
{
    return std::all_of(x.begin(), x.end(), [](double v) { return std::isfinite(v); });
}

// Terms of the regression trend in the order of its coefficients: the polynomial (from degree 0
// with an intercept, else from 1), cosine and sine of each harmonic, the auxiliary term.
int32_t PolynomialTerms(const UnivariateFields& u) { return u.polynomialDegree + (u.intercept ? 1 : 0); }

int32_t TrendTerms(const UnivariateFields& u) { return PolynomialTerms(u) + 2 * u.harmonicCount + (u.auxPresent ? 1 : 0); }

// Why the project's regression trend cannot be added to m values, or "".
std::string RegressionMessage(const UnivariateFields& u, int32_t m)
{
    if (u.auxPresent > 0 && (u.n < m || u.auxVariables.rows < m || u.auxVariables.cols < 1))
        return " Cannot simulate beyond the length of the auxiliary variables in regression function.";
    if (u.polynomialDegree < 0 || u.polynomialDegree > 10 || u.harmonicCount < 0 || u.harmonicCount > 4 ||
        u.n < 1 || static_cast<int32_t>(u.trendCoefficients.size()) < TrendTerms(u) ||
        !AllFinite(u.trendCoefficients))
        return "The regression trend has no usable coefficients: it cannot be added to the series.";
    return "";
}

std::string ModelMessage(const UnivariateFields& u, int32_t m)
{
    if (u.p < 0 || u.p > kMaxArmaOrder || u.q < 0 || u.q > kMaxArmaOrder || !AllFinite(ModelCoefficients(u)))
        return "The model's orders or coefficients are out of range: it cannot be simulated.";
    if (!ModelCausal(u)) return "The model is not causal: it cannot be simulated.";
    if (u.fracIntegrated) {
        if (!(u.d > -0.5 && u.d < 0.5)) return "The fractional parameter d must lie between -0.5 and 0.5.";
        if (m > kMaxFractionalSimulationLength)
            return " Number of observations of a fractionally integrated model must be at most " +
                   std::to_string(kMaxFractionalSimulationLength);
        return "";
    }
    const int32_t least = 2 * std::max(u.p, u.q);
    if (m < least)
        return " Number of observations must be at least 2*max(p,q) = " + std::to_string(least) + " for this model";
    return "";
}

// X(t) += the regression trend at t = 1..m.
void AddRegressionTrend(const UnivariateFields& u, std::vector<double>& x)
{
    const double* beta = u.trendCoefficients.data();
    const int32_t first = u.intercept ? 0 : 1;
    const double omega = 6.283185307179586 / u.n;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i + 1);
        int32_t c = 0;
        double sum = 0.0;
        for (int32_t j = first; j <= u.polynomialDegree; ++j) sum += beta[c++] * std::pow(t, j);
        for (int32_t h = 1; h <= u.harmonicCount; ++h) {
            const double arg = omega * u.fourierIndex[h] * t;
            sum += beta[c] * std::cos(arg) + beta[c + 1] * std::sin(arg);
            c += 2;
        }
        if (u.auxPresent > 0) sum += beta[c] * u.auxVariables.values[i];
        x[i] += sum;
    }
}

// X(t) += the classical components: harmonics and level of a harmonic node, the seasonal
// components of a classical node (none for a trend alone), and the polynomial trend; the same
// expressions as the transforms that removed them.
void AddClassicalComponents(const SimulationComponents& c, int32_t n, std::vector<double>& x)
{
    const size_t m = x.size();
    if (c.harmonicNode && c.harmonics > 0) {
        const double omega = 6.28318530718 / n;
        const double scale = 2.0 / n;
        for (size_t i = 0; i < m; ++i) {
            const double t = static_cast<double>(i + 1);
            double sum = 0.0;
            for (int32_t h = 0; h < c.harmonics; ++h) {
                const double arg = c.fourierIndex[h] * omega * t;
                sum += std::cos(arg) * c.cosCoef[h] * scale + std::sin(arg) * c.sinCoef[h] * scale;
            }
            x[i] += sum;
        }
    }
    if (c.seasonalNode && c.period > 0 && c.seasonal.size() == static_cast<size_t>(c.period))
        for (size_t i = 0; i < m; ++i) x[i] += c.seasonal[i % c.seasonal.size()];
    for (size_t i = 0; i < m; ++i) {
        const double t = static_cast<double>(i + 1);
        x[i] += (c.polyCoef[2] * t + c.polyCoef[1]) * t + c.polyCoef[0] + c.level;
    }
}

}  // namespace

SimulationComponents GatherSimulationComponents(const UnivariateFields& u)
{
    SimulationComponents c;
    c.regressionPresent = u.regressionPresent > 0 ? 1 : 0;
    c.length = u.hasData() ? u.n : 100;
    if (u.transforms) c.mean = u.transforms->mean;
    for (const TransformNode* node = u.transforms; node; node = node->next) {
        switch (node->kind) {
        case TRANSFORM_HARMONIC:
            c.harmonicNode = true;
            c.harmonics = std::clamp(node->harmonics, 0, 4);
            c.level = 0.0;
            if (c.harmonics > 0) {
                std::copy(node->fourierIndex, node->fourierIndex + 4, c.fourierIndex);
                std::copy(node->cosCoef, node->cosCoef + 4, c.cosCoef);
                std::copy(node->sinCoef, node->sinCoef + 4, c.sinCoef);
                c.level = node->level;
            }
            if (node->degree > 0) std::copy(node->polyCoef, node->polyCoef + 3, c.polyCoef);
            break;
        case TRANSFORM_CLASSICAL:
            c.seasonalNode = true;
            c.period = node->period;
            c.seasonal = node->seasonal;
            std::copy(node->polyCoef, node->polyCoef + 3, c.polyCoef);
            break;
        case TRANSFORM_BOX_COX:
            c.boxCoxNode = true;
            c.lambda = node->lambda;
            break;
        default:
            break;
        }
    }
    return c;
}

std::string ReadSimulationChoice(const UnivariateFields& project, const std::string& lengthText,
                                 const std::string& seedText, const std::string& varianceText,
                                 const std::string& meanText, SimulationChoice& choice)
{
    // The dialog's messages begin with a blank; a refused entry's reason follows it.
    double length = 0.0;
    std::string refusal = ReadFieldEntry("Number of observations", lengthText, EntryKind::Whole, length);
    if (!refusal.empty()) return " " + refusal;
    if (length <= 0) return " Number of observations must be > 0";
    if (length > kMaxSimulationLength)
        return " Number of observations must be at most " + std::to_string(kMaxSimulationLength);
    const int m = static_cast<int>(length);
    double sigma2 = 0.0;
    refusal = ReadFieldEntry("WN Variance", varianceText, EntryKind::Real, sigma2);
    if (!refusal.empty()) return " " + refusal;
    if (!(sigma2 > 0.0)) return " WN Variance must be postive";
    double seed = 0.0;
    refusal = ReadFieldEntry("Seed", seedText, EntryKind::Integer, seed);
    if (!refusal.empty()) return " " + refusal;
    if (choice.addRegression && project.regressionPresent > 0) {
        const std::string message = RegressionMessage(project, m);
        if (!message.empty()) return message;
    }
    double mean = 0.0;
    refusal = ReadFieldEntry("Mean", meanText, EntryKind::Real, mean);
    if (!refusal.empty()) return " " + refusal;
    const std::string model = ModelMessage(project, m);
    if (!model.empty()) return model;
    choice.m = m;
    choice.sigma2 = sigma2;
    choice.seed = static_cast<int32_t>(seed);
    choice.mean = mean;
    return "";
}

int32_t DurbinLevinsonPath(const std::vector<double>& gamma, const std::vector<double>& z, double sigma2,
                           std::vector<double>& x)
{
    const size_t n = z.size();
    if (n == 0 || gamma.size() < n || !(gamma[0] > 0.0) || !std::isfinite(gamma[0]) || !(sigma2 > 0.0)) return 0;
    std::vector<double> out(n);
    const bool done = DurbinLevinsonRecursion(gamma, n, [&](size_t k, const double* b, double v) {
        double xhat = 0.0;
        for (size_t j = 1; j <= k; ++j) xhat += b[j] * out[k - j];
        out[k] = xhat + std::sqrt(sigma2 * v) * z[k];
    });
    if (!done || !AllFinite(out)) return 0;
    x = std::move(out);
    return 1;
}

int32_t SimulateModelPath(const UnivariateFields& project, const SimulationChoice& choice, std::vector<double>& x)
{
    x.clear();
    const int32_t m = choice.m;
    if (m < 1 || !ModelMessage(project, m).empty()) return 0;
    try {
        std::vector<double> path(static_cast<size_t>(m));
        if (!project.fracIntegrated) {
            const std::vector<double> coef = ModelCoefficients(project);
            if (ArmaSimulate(path.data(), m, coef.data(), project.p, project.q, choice.sigma2, choice.seed) !=
                kStatusDone)
                return 0;
        } else {
            // The autocovariances on a copy of the model alone, so the project's model ACF stays.
            UnivariateFields model;
            model.p = project.p;
            model.q = project.q;
            std::copy(std::begin(project.phi), std::end(project.phi), model.phi);
            std::copy(std::begin(project.theta), std::end(project.theta), model.theta);
            model.d = project.d;
            model.M = project.M;
            model.modelAcfLags = std::max(m - 1, 1);
            if (!FracArmaAcvf(model)) return 0;
            std::vector<double> gamma(model.modelAcf);
            for (double& g : gamma) g *= model.modelGamma0;
            std::vector<double> z(static_cast<size_t>(m));
            NormalDeviate(m, z.data(), choice.seed);
            if (!DurbinLevinsonPath(gamma, z, choice.sigma2, path)) return 0;
        }
        if (!AllFinite(path)) return 0;
        x = std::move(path);
        return 1;
    } catch (const std::bad_alloc&) {
        x.clear();
        return 0;
    }
}

int32_t AddSimulationComponents(const UnivariateFields& project, const SimulationComponents& components,
                                const SimulationChoice& choice, std::vector<double>& x)
{
    // A regression trend left out leaves the bare model output: the other components were
    // removed from the data before the trend was fitted.
    if (project.regressionPresent > 0 && !choice.addRegression) return AllFinite(x) ? 1 : 0;
    if (project.regressionPresent > 0) {
        if (!RegressionMessage(project, static_cast<int32_t>(x.size())).empty()) return 0;
        AddRegressionTrend(project, x);
    }
    for (double& v : x) v += choice.mean;
    if (choice.addSeasonal && (components.harmonicNode || components.seasonalNode))
        AddClassicalComponents(components, project.n > 0 ? project.n : static_cast<int32_t>(x.size()), x);
    if (choice.addBoxCox && components.boxCoxNode)
        for (double& v : x) v = BoxCoxInverse(v, components.lambda);
    return AllFinite(x) ? 1 : 0;
}

int32_t SimulateSeries(const UnivariateFields& project, const SimulationChoice& choice, std::vector<double>& x,
                       std::string& message)
{
    message.clear();
    try {
        if (!SimulateModelPath(project, choice, x)) {
            message = "The model could not be simulated with " + std::to_string(choice.m) +
                      " observations (not enough memory, or no finite values).";
            return 0;
        }
        if (!AddSimulationComponents(project, GatherSimulationComponents(project), choice, x)) {
            x.clear();
            message = "The simulated series with its components added back is not finite.";
            return 0;
        }
        return 1;
    } catch (const std::bad_alloc&) {
        x.clear();
        message = "Not enough memory to simulate " + std::to_string(choice.m) + " observations.";
        return 0;
    }
}

int32_t BuildSimulatedRecord(const UnivariateFields& project, const std::vector<double>& x, double sigma2,
                             UnivariateProject& record)
{
    try {
        VeskInit(record);
        record.inUse = 1;
        record.n = static_cast<int32_t>(x.size());
        record.firstIndex = 1;
        record.lastIndex = record.n;
        record.series = x;
        record.originalSeries = x;
        record.wnVariance = sigma2;
        record.p = project.p;
        record.q = project.q;
        std::copy(std::begin(project.phi), std::end(project.phi), record.phi);
        std::copy(std::begin(project.theta), std::end(project.theta), record.theta);
        record.numFree = project.numFree;
        record.fracIntegrated = project.fracIntegrated;
        record.d = project.d;
        record.M = project.M;
        record.optimiseD = project.optimiseD;
        record.fiStep = project.fiStep;
        record.modelAcfLags = 40;
        record.residualAcfLags = 40;
        ComputeResiduals(record);
        std::copy(std::begin(project.freeIndex), std::end(project.freeIndex), record.freeIndex);
        record.relationCount = project.relationCount;
        for (int i = 0; i <= 6; ++i)
            std::copy(std::begin(project.relations[i]), std::end(project.relations[i]), record.relations[i]);
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t ImportSimulatedSeries(UnivariateProject& project, const std::vector<double>& x)
{
    // Both copies first: the old data go only once the new are held.
    std::vector<double> series, original;
    try {
        series = x;
        original = x;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    VeskClearData(project);
    project.series = std::move(series);
    project.originalSeries = std::move(original);
    project.n = static_cast<int32_t>(x.size());
    project.firstIndex = 1;
    project.lastIndex = project.n;
    ComputeResiduals(project);
    return 1;
}
