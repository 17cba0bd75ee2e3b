#include "univariate/residuals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "shell/report_text.h"
#include "numerics/arma_acvf.h"
#include "numerics/status.h"
#include "tests/unit/evaluation_fixtures.h"
#include "tests/unit/reference_table.h"
#include "univariate/residual_reports.h"
#include "univariate/statistics.h"

namespace {

UnivariateFields ReferenceProject(const std::string& id)
{
    const ReferenceTable models = ReadReferenceTable("evaluation_models.csv");
    for (size_t r = 0; r < models.rows.size(); ++r)
        if (models.Text(r, "id") == id) return ReferenceModel(models, r);
    ADD_FAILURE() << "no model " << id;
    return UnivariateFields{};
}

// The lines of a report as its window shows them.
std::vector<std::string> Lines(const InfoCalls& calls)
{
    const std::string text = ReportWindowText(calls);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

}  // namespace

// The residuals of a fixed ARMA(1,1) against R's, their mean square as the residual variance;
// the model's noise variance is left as it was.
TEST(ComputeResiduals, MatchesR)
{
    for (const char* id : {"arma11", "arma22", "sar"}) {
        SCOPED_TRACE(id);
        UnivariateFields u = ReferenceProject(id);
        u.wnVariance = 3.5;
        ASSERT_EQ(ComputeResiduals(u), 1);
        EXPECT_EQ(u.wnVariance, 3.5);
        EXPECT_EQ(u.residualsValid, 0);
        const std::vector<double> want = ReferenceResiduals(id);
        ASSERT_EQ(u.residuals.size(), want.size());
        double squares = 0.0;
        for (size_t t = 0; t < want.size(); ++t) {
            EXPECT_NEAR(u.residuals[t], want[t], 1e-8);
            squares += want[t] * want[t];
        }
        EXPECT_NEAR(u.residualSsPerN / (squares / want.size()), 1.0, 1e-8);
    }
}

// White noise: the residuals are the series, whatever the noise variance; their variance is the
// mean square about zero.
TEST(ComputeResiduals, WhiteNoiseResidualsAreTheSeries)
{
    UnivariateFields u;
    u.series = {1.0, -2.0, 3.5, 0.5};
    u.n = 4;
    u.wnVariance = 9.0;
    ASSERT_EQ(ComputeResiduals(u), 1);
    EXPECT_EQ(u.residuals, u.series);
    EXPECT_DOUBLE_EQ(u.residualSsPerN, (1.0 + 4.0 + 12.25 + 0.25) / 4);
    EXPECT_EQ(u.wnVariance, 9.0);
}

// Fractionally integrated models: the residuals against the Cholesky factor of the exact
// covariance matrix computed in R, their variance about their mean; the model ACF the views show
// and the noise variance are left as they were.
TEST(ComputeResiduals, FractionallyIntegratedMatchesR)
{
    const ReferenceTable t = ReadReferenceTable("fractional_residuals.csv");
    for (const char* name : {"fi", "fi_neg", "farma"}) {
        SCOPED_TRACE(name);
        UnivariateFields u;
        std::vector<double> want;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.Text(r, "series") != name) continue;
            u.series.push_back(t.Number(r, "value"));
            want.push_back(t.Number(r, "residual"));
            u.d = t.Number(r, "d");
            u.phi[1] = t.Number(r, "phi");
        }
        ASSERT_FALSE(want.empty());
        u.n = static_cast<int32_t>(u.series.size());
        u.firstIndex = 1, u.lastIndex = u.n;
        u.p = u.phi[1] != 0.0 ? 1 : 0;
        u.fracIntegrated = 1;
        u.wnVariance = 2.5;
        u.modelAcfLags = 10;
        u.modelAcf = {1.0, 0.5};
        u.modelGamma0 = 7.0;
        ASSERT_EQ(ComputeResiduals(u), 1);
        ASSERT_EQ(u.residuals.size(), want.size());
        for (size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(u.residuals[k], want[k], 1e-8) << k + 1;
        const double mean = std::accumulate(want.begin(), want.end(), 0.0) / want.size();
        double squares = 0.0;
        for (double r : want) squares += (r - mean) * (r - mean);
        EXPECT_NEAR(u.residualSsPerN, squares / want.size(), 1e-8);
        EXPECT_EQ(u.wnVariance, 2.5);
        EXPECT_EQ(u.modelAcfLags, 10);
        EXPECT_EQ(u.modelAcf, (std::vector<double>{1.0, 0.5}));
        EXPECT_EQ(u.modelGamma0, 7.0);
    }
}

// A model the series cannot carry leaves no residuals and no numbers behind: the residuals, their
// correlations and variance go, and every report says the residuals are not available.
TEST(ComputeResiduals, FailureLeavesNoResiduals)
{
    struct Case {
        const char* name;
        int32_t p, q;
        double phi1;
        std::vector<double> x;
        double d = 0.0;  // fractionally integrated when not 0
    };
    const Case cases[] = {
        {"series shorter than 2m", 1, 2, 0.5, {1.0, 2.0, 3.0}},
        {"AR part not causal", 1, 0, 1.5, {1.0, 2.0, 3.0, 4.0}},
        {"no data", 0, 0, 0.0, {}},
        {"fractional, d outside (-0.5, 0.5)", 0, 0, 0.0, {1.0, 2.0, 3.0, 4.0}, 0.5},
        {"fractional, AR part not causal", 1, 0, 1.5, {1.0, 2.0, 3.0, 4.0}, 0.2},
        {"fractional, no data", 0, 0, 0.0, {}, 0.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u;
        u.series = c.x;
        u.n = static_cast<int32_t>(c.x.size());
        u.p = c.p, u.q = c.q, u.phi[1] = c.phi1, u.theta[1] = 0.4, u.theta[2] = 0.2;
        u.fracIntegrated = c.d != 0.0, u.d = c.d;
        u.residuals = {1.0, 2.0};
        u.residualAcf = u.residualPacf = {1.0, 0.5};
        u.residualSsPerN = 0.7;
        u.wnVariance = 2.0;
        EXPECT_EQ(ComputeResiduals(u), 0);
        EXPECT_TRUE(u.residuals.empty());
        EXPECT_TRUE(u.residualAcf.empty() && u.residualPacf.empty());
        EXPECT_EQ(u.residualSsPerN, 0.0);
        EXPECT_EQ(u.wnVariance, 2.0);
        EXPECT_EQ(u.residualsValid, 0);
        for (const InfoCalls& report : {ResidualsReport(u), ResidualAcfReport(u), ResidualHistogramReport(u),
                                        TestsOfRandomnessReport(u, 20)})
            EXPECT_NE(ReportWindowText(report).find(kResidualsUnavailable), std::string::npos);
        PlotRecord view;
        view.curves[1].y = {5.0};
        EXPECT_EQ(DrawResidualPlot(view, u), 0);
        EXPECT_TRUE(view.curves[1].y.empty());
        EXPECT_EQ(ComputeResidualAcf(u), 0);
    }
}

// The Durbin-Levinson recursion on the exact autocovariances gives the same exact one-step
// predictors as the innovations recursion: R's residuals of the fixed ARMA(1,1). Autocovariances
// that are not positive definite are refused.
TEST(DurbinLevinsonResiduals, ExactPredictors)
{
    const UnivariateFields u = ReferenceProject("arma11");
    std::vector<double> gamma(u.series.size() + 1);
    const double coef[2] = {u.phi[1], u.theta[1]};
    int status = kStatusDone;
    ArmaAcvf(static_cast<int>(u.series.size()), kArmaAcvfCompute, gamma.data(), status, 1.0, coef, 1, 1);
    ASSERT_EQ(status, kStatusDone);
    std::vector<double> resid;
    ASSERT_EQ(DurbinLevinsonResiduals(gamma, u.series, resid), 1);
    const std::vector<double> want = ReferenceResiduals("arma11");
    ASSERT_EQ(resid.size(), want.size());
    for (size_t t = 0; t < want.size(); ++t) EXPECT_NEAR(resid[t], want[t], 1e-8) << t + 1;

    std::vector<double> kept = {5.0};
    EXPECT_EQ(DurbinLevinsonResiduals({1.0, 1.0, 1.0}, {1.0, 2.0, 3.0}, kept), 0);
    EXPECT_EQ(DurbinLevinsonResiduals({1.0, 0.5}, {1.0, 2.0, 3.0}, kept), 0);
    EXPECT_EQ(DurbinLevinsonResiduals({0.0}, {1.0}, kept), 0);
    EXPECT_EQ(DurbinLevinsonResiduals({1.0}, {}, kept), 0);
    EXPECT_EQ(kept, std::vector<double>{5.0});
}

// Lags of n or more have autocorrelation 0; the partial autocorrelations follow from all lags.
TEST(ComputeResidualAcf, LagsBeyondTheSeries)
{
    UnivariateFields u;
    u.residuals = {1, 2, 3, 4, 5};
    u.residualAcfLags = 7;
    ASSERT_EQ(ComputeResidualAcf(u), 1);
    const std::vector<double> acf = {1.0, 0.4, -0.1, -0.4, -0.4, 0.0, 0.0, 0.0};
    ASSERT_EQ(u.residualAcf.size(), acf.size());
    for (size_t h = 0; h < acf.size(); ++h) EXPECT_NEAR(u.residualAcf[h], acf[h], 1e-14) << h;
    ASSERT_EQ(u.residualPacf.size(), acf.size());
    EXPECT_NEAR(u.residualPacf[1], 0.4, 1e-14);
    EXPECT_NEAR(u.residualPacf[2], -0.30952380952380953, 1e-14);
    for (double v : u.residualPacf) EXPECT_TRUE(std::isfinite(v));
}

// The report of the tests on the ARMA(1,1) residuals, n = 100 with k = 2 free coefficients and
// h = 22, line for line as R's Box.test (fitdf = 2, and on the squares) and counts give it.
TEST(TestsOfRandomnessReport, GoldenText)
{
    UnivariateFields u = ReferenceProject("arma11");
    u.numFree = 2;
    ASSERT_EQ(ComputeResiduals(u), 1);
    ASSERT_EQ(u.n, 100);
    std::ifstream in(std::string(VESK_TEST_DATA) + "/randomness_report_reference.txt");
    std::vector<std::string> want;
    for (std::string line; std::getline(in, line);) want.push_back(line);
    ASSERT_EQ(want.size(), 16u);
    EXPECT_EQ(Lines(TestsOfRandomnessReport(u, 22)), want);
}

// Outside n >= 3 and k < h < n the tests are not run: no Chi-Square with h - k <= 0 degrees of
// freedom, no lag at or past the series.
TEST(TestsOfRandomnessReport, LagsOutsideTheirRange)
{
    struct Case {
        int32_t n, k, h;
        bool available;
    };
    const Case cases[] = {
        {2, 0, 1, false}, {3, 0, 1, true}, {5, 3, 3, false}, {5, 3, 4, true},
        {30, 2, 30, false}, {30, 2, 29, true}, {30, 0, 0, false}, {10, 0, -4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "n = " << c.n << ", k = " << c.k << ", h = " << c.h);
        UnivariateFields u;
        for (int32_t t = 0; t < c.n; ++t) u.residuals.push_back(std::sin(2.1 * t) + 0.01 * t);
        u.n = c.n;
        u.numFree = c.k;
        const std::vector<std::string> lines = Lines(TestsOfRandomnessReport(u, c.h));
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[1], "KELO::Vesk(Tests of randomness on residuals)");
        EXPECT_EQ(lines[4].rfind("Ljung - Box statistic = ", 0) == 0, c.available);
        EXPECT_EQ(lines[4].rfind("Tests not available", 0) == 0, !c.available);
        if (c.available) {
            EXPECT_NE(lines[4].find("Chi-Square ( " + std::to_string(c.h - c.k) + " )"), std::string::npos);
        }
    }
}

// The residual histogram uses the data histogram's binning over the residuals' range, 2·floor(log2
// n) + 1 bins by default, counts every residual (the largest in the last bin), and keeps its bin
// count apart from the data histogram's.
TEST(ResidualHistogramValues, BinsAndCounts)
{
    struct Case {
        const char* name;
        std::vector<double> residuals;
        int32_t bins, wantBins;
        std::vector<double> edges, counts;  // checked when not empty
    };
    std::vector<double> hundred;
    for (int t = 0; t < 100; ++t) hundred.push_back(std::sin(1.7 * t));
    const Case cases[] = {
        {"100 residuals, default", hundred, 0, 13, {}, {}},
        {"fixed count", {0.0, 1.0, 2.0, 3.0, 4.0}, 2, 2, {0.0, 2.0, 4.0}, {2.0, 3.0}},
        {"largest twice", {0.0, 1.0, 4.0, 4.0}, 4, 4, {0.0, 1.0, 2.0, 3.0, 4.0}, {1.0, 1.0, 0.0, 2.0}},
        {"equal residuals", {2.0, 2.0, 2.0}, 0, 3, {1.5, 1.5 + 1.0 / 3, 1.5 + 2.0 / 3, 2.5}, {0.0, 3.0, 0.0}},
        {"one residual", {-1.0}, 0, 1, {-1.5, -0.5}, {1.0}},
        {"range beyond the doubles", {-1.7e308, 1.7e308}, 3, 3, {-1.7e308, -1.7e308 / 3, 1.7e308 / 3, 1.7e308},
         {1.0, 0.0, 1.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u;
        u.residuals = c.residuals;
        u.histogramBins = 10;
        int32_t bins = c.bins;
        std::vector<double> edges, counts;
        ASSERT_EQ(ResidualHistogramValues(u, bins, edges, counts), 1);
        EXPECT_EQ(bins, c.wantBins);
        EXPECT_EQ(u.residualHistogramBins, c.wantBins);
        EXPECT_EQ(u.histogramBins, 10);
        ASSERT_EQ(counts.size(), static_cast<size_t>(c.wantBins));
        ASSERT_EQ(edges.size(), counts.size() + 1);
        EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0.0), static_cast<double>(c.residuals.size()));
        for (double e : edges) EXPECT_TRUE(std::isfinite(e));
        if (!c.edges.empty()) {
            for (size_t i = 0; i < edges.size(); ++i) EXPECT_NEAR(edges[i], c.edges[i], 1e-15 * std::max(1.0, std::fabs(c.edges[i]))) << i;
        }
        if (!c.counts.empty()) {
            EXPECT_EQ(counts, c.counts);
        }
    }
}

// Without residuals, or with a count outside 0..kMaxHistogramBins, nothing is drawn or written.
TEST(ResidualHistogramValues, Refusals)
{
    struct Case {
        const char* name;
        std::vector<double> residuals;
        int32_t bins;
    };
    const Case cases[] = {
        {"no residuals", {}, 0},
        {"negative count", {1.0, 2.0}, -1},
        {"count too large", {1.0, 2.0}, kMaxHistogramBins + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u;
        u.residuals = c.residuals;
        u.residualHistogramBins = 7;
        int32_t bins = c.bins;
        std::vector<double> edges, counts;
        EXPECT_EQ(ResidualHistogramValues(u, bins, edges, counts), 0);
        EXPECT_EQ(bins, c.bins);
        EXPECT_EQ(u.residualHistogramBins, 7);
        PlotRecord view;
        view.curves[1].y = {5.0};
        bins = c.bins;
        EXPECT_EQ(DrawResidualHistogram(view, u, bins), 0);
        EXPECT_TRUE(view.curves[1].y.empty());
    }
}

// The lag dialog's range and proposal: k < h < min(n, 54), proposing min(k + 21, n) - 1.
TEST(RandomnessLags, RangeAndSuggestion)
{
    struct Case {
        int32_t n, k, upper, suggested;
        const char* prompt;
    };
    const Case cases[] = {
        {100, 0, 54, 20, "Enter value of h, 0 < h < 54"},
        {30, 2, 30, 22, "Enter value of h, 2 < h < 30"},
        {3, 2, 3, 2, "Enter value of h, 2 < h < 3"},
        {1, 0, 1, 0, "Enter value of h, 0 < h < 1"},
    };
    for (const Case& c : cases) {
        UnivariateFields u;
        u.n = c.n;
        u.numFree = c.k;
        const RandomnessLagRange range = RandomnessLags(u);
        EXPECT_EQ(range.upper, c.upper);
        EXPECT_EQ(range.suggested, c.suggested);
        EXPECT_EQ(RandomnessLagPrompt(range), c.prompt);
        EXPECT_EQ(RandomnessLagSuggestion(range), "Suggested value is " + std::to_string(c.suggested) + ".");
        EXPECT_EQ(AnyRandomnessLag(range), c.k + 1 < c.upper);
    }
    UnivariateFields u;
    u.n = 30;
    u.numFree = 2;
    const RandomnessLagRange range = RandomnessLags(u);
    EXPECT_FALSE(RandomnessLagAccepted(range, 2));
    EXPECT_TRUE(RandomnessLagAccepted(range, 3));
    EXPECT_TRUE(RandomnessLagAccepted(range, 29));
    EXPECT_FALSE(RandomnessLagAccepted(range, 30));
}
