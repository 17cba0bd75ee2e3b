#include "univariate/residuals.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>

#include "numerics/acf.h"
#include "univariate/model_evaluation.h"
#include "univariate/report_cells.h"
#include "univariate/statistics.h"

const char* const kResidualsUnavailable =
    "Residuals not available: the model cannot be evaluated on this series (too short, or not causal).";

namespace {

// Most lags the portmanteau tests take: the lag dialog's bound.
constexpr int32_t kMaxRandomnessLag = 54;

void DropResiduals(UnivariateFields& u)
{
    u.residuals.clear();
    u.residualAcf.clear();
    u.residualPacf.clear();
    u.residualSsPerN = 0.0;
}

int32_t ArmaResiduals(UnivariateFields& u)
{
    if (EvaluateModel(u, -1) != EVALUATION_DONE || u.residuals.size() != static_cast<size_t>(u.n)) return 0;
    u.residualSsPerN = u.wnVariance;
    return 1;
}

// Durbin-Levinson on the model's autocovariances to lag n - 1; the residual variance is taken
// about the residuals' mean. The model ACF the views show is left as it was.
int32_t FractionalResiduals(UnivariateFields& u)
{
    if (u.n < 1 || u.series.size() < static_cast<size_t>(u.n)) return 0;
    std::vector<double> savedAcf;
    savedAcf.swap(u.modelAcf);
    const double savedGamma0 = u.modelGamma0;
    const int32_t savedLags = u.modelAcfLags;
    u.modelAcfLags = std::max(u.modelAcfLags, u.n);
    const int32_t computed = FracArmaAcvf(u);
    std::vector<double> gamma;
    gamma.swap(u.modelAcf);
    const double gamma0 = u.modelGamma0;
    u.modelAcf.swap(savedAcf);
    u.modelGamma0 = savedGamma0;
    u.modelAcfLags = savedLags;
    if (!computed || gamma.size() < static_cast<size_t>(u.n)) return 0;
    for (double& g : gamma) g *= gamma0;
    const std::vector<double> x(u.series.begin(), u.series.begin() + u.n);
    if (!DurbinLevinsonResiduals(gamma, x, u.residuals)) return 0;
    const double mean = std::accumulate(u.residuals.begin(), u.residuals.end(), 0.0) / u.n;
    double squares = 0.0;
    for (double r : u.residuals) squares += (r - mean) * (r - mean);
    u.residualSsPerN = squares / u.n;
    return std::isfinite(u.residualSsPerN) ? 1 : 0;
}

int32_t Compute(UnivariateFields& u)
{
    u.residuals.clear();
    return u.fracIntegrated ? FractionalResiduals(u) : ArmaResiduals(u);
}

}  // namespace

int32_t DurbinLevinsonResiduals(const std::vector<double>& gamma, const std::vector<double>& x,
                                std::vector<double>& resid)
{
    const size_t n = x.size();
    if (n == 0 || gamma.size() < n || !(gamma[0] > 0.0) || !std::isfinite(gamma[0])) return 0;
    std::vector<double> out(n);
    const bool done = DurbinLevinsonRecursion(gamma, n, [&](size_t m, const double* b, double v) {
        double xhat = 0.0;
        for (size_t j = 1; j <= m; ++j) xhat += b[j] * x[m - j];
        out[m] = (x[m] - xhat) / std::sqrt(v);
    });
    if (!done || !std::all_of(out.begin(), out.end(), [](double r) { return std::isfinite(r); })) return 0;
    resid = std::move(out);
    return 1;
}

int32_t ComputeResiduals(UnivariateFields& project)
{
    const double wnVariance = project.wnVariance;
    project.residualsValid = 1;
    int32_t done = 0;
    try {
        done = Compute(project);
    } catch (const std::bad_alloc&) {
        done = 0;
    }
    project.residualsValid = 0;
    project.wnVariance = wnVariance;
    if (!done) DropResiduals(project);
    return done;
}

int32_t ComputeResidualAcf(UnivariateFields& project)
{
    UnivariateFields& u = project;
    u.residualAcf.clear();
    u.residualPacf.clear();
    if (u.residuals.size() < 2) return 0;
    const int n = static_cast<int>(u.residuals.size());
    const int lags = std::max(u.residualAcfLags, 1);
    // Autocorrelations at lags of n or more are 0; the partial ones follow from all of them.
    int sampled = std::min(lags, n - 1);
    std::vector<double> acf(static_cast<size_t>(lags) + 1, 0.0), pacf(acf.size()), work(u.residuals.size());
    double gamma0 = 0.0;
    // A constant series gives autocorrelation 1 at lag 0 and 0 beyond, which is what is drawn.
    (void)SampleAcfPacf(gamma0, n, u.residuals.data(), acf.data(), pacf.data(), sampled, work.data());
    if (sampled < lags) (void)DurbinLevinson(acf.data(), lags + 1, pacf.data());
    u.residualAcf = std::move(acf);
    u.residualPacf = std::move(pacf);
    return 1;
}

int32_t ResidualHistogramValues(UnivariateFields& project, int32_t& bins, std::vector<double>& edges,
                                std::vector<double>& counts)
{
    UnivariateFields& u = project;
    if (u.residuals.empty() || bins < 0 || bins > kMaxHistogramBins) return 0;
    const int32_t n = static_cast<int32_t>(std::min<size_t>(u.residuals.size(), INT32_MAX));
    const int32_t use = bins == 0 ? DefaultHistogramBins(n) : bins;
    const auto [low, high] = std::minmax_element(u.residuals.begin(), u.residuals.end());
    double lo = *low, hi = *high;
    // Equal residuals have no width to divide: they go in the middle of a range of width 1.
    const bool equal = !(hi > lo);
    if (equal) lo -= 0.5, hi += 0.5;
    if (!HistogramCounts(u.residuals, lo, hi, use, edges, counts)) return 0;
    // The data histogram's bins are half-open; here the range ends at the largest residual,
    // which would otherwise go uncounted.
    if (!equal) counts.back() += static_cast<double>(std::count(u.residuals.begin(), u.residuals.end(), hi));
    bins = use;
    u.residualHistogramBins = use;
    return 1;
}

int32_t DrawResidualHistogram(PlotRecord& view, UnivariateFields& project, int32_t& bins)
{
    std::vector<double> edges, counts;
    if (!ResidualHistogramValues(project, bins, edges, counts)) {
        ResetCurve(view, 1);
        return 0;
    }
    SetCurveHistogram(view, 1, edges, counts);
    return 1;
}

int32_t DrawResidualPlot(PlotRecord& view, const UnivariateFields& project)
{
    const UnivariateFields& u = project;
    if (u.residuals.empty() || u.lastIndex - u.firstIndex + 1 != static_cast<int32_t>(u.residuals.size())) {
        ResetCurve(view, 1);
        return 0;
    }
    SetCurveY(view, 1, u.residuals, u.firstIndex, u.lastIndex);
    return 1;
}

RandomnessLagRange RandomnessLags(const UnivariateFields& project)
{
    RandomnessLagRange range;
    range.k = std::clamp(project.numFree, 0, 52);
    range.upper = std::min(std::max(project.n, 0), kMaxRandomnessLag);
    range.suggested = std::min(range.k + 21, std::max(project.n, 0)) - 1;
    return range;
}

std::string RandomnessLagPrompt(const RandomnessLagRange& range)
{
    return "Enter value of h, " + IntText(range.k) + " < h < " + IntText(range.upper);
}

std::string RandomnessLagSuggestion(const RandomnessLagRange& range)
{
    return "Suggested value is " + IntText(range.suggested) + ".";
}
