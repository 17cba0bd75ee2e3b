// Preliminary estimation against scripts/reference/estimation.R: Yule-Walker and Burg from R's
// ar.yw and ar.burg, the innovations and Hannan-Rissanen estimates from their formulas evaluated
// in R, and the minimum-AICC search against the exact likelihood of R's arima at each order.
#include "univariate/preliminary_estimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/unit/reference_table.h"
#include "univariate/model_snapshot.h"

namespace {

UnivariateFields ProjectOn(const std::vector<double>& x, int32_t p, int32_t q)
{
    UnivariateFields u;
    u.series = x;
    u.n = static_cast<int32_t>(x.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
    u.p = p;
    u.q = q;
    u.likelihoodTolerance = 5e-5;
    return u;
}

std::vector<double> Series(const std::string& name)
{
    return ReferenceSeries(name, "estimation_series.csv");
}

void ExpectClose(double expected, double actual, double relative, const std::string& what)
{
    EXPECT_NEAR(actual, expected, relative * std::max(1.0, std::fabs(expected))) << what;
}

TEST(PrelimEstimate, MatchesReferenceEstimatesRatiosAndVariances)
{
    const ReferenceTable t = ReadReferenceTable("prelim_reference.csv");
    ASSERT_GE(t.rows.size(), 19u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const int32_t method = t.Integer(r, "method"), p = t.Integer(r, "p"), q = t.Integer(r, "q");
        const std::string id = t.Text(r, "series") + " method " + std::to_string(method) + " (" +
                               std::to_string(p) + "," + std::to_string(q) + ")";
        UnivariateFields u = ProjectOn(Series(t.Text(r, "series")), p, q);
        u.numFree = 7;
        u.relationCount = 1;
        u.relations[1][1] = 1;
        int32_t m = t.Integer(r, "m");
        const PrelimResult result = PrelimEstimate(u, m, method);
        ASSERT_EQ(result.outcome, PRELIM_DONE) << id << ": " << result.message;
        EXPECT_EQ(result.status, 0) << id;
        EXPECT_EQ(m, t.Integer(r, "m")) << id;
        const double tolerance = method <= 4 ? 1e-10 : 1e-8;
        const std::vector<double> coef = t.List(r, "coef"), ratio = t.List(r, "ratio");
        ASSERT_EQ(coef.size(), static_cast<size_t>(p + q)) << id;
        for (int32_t i = 1; i <= p; ++i) ExpectClose(coef[i - 1], u.phi[i], tolerance, id + " phi");
        for (int32_t j = 1; j <= q; ++j) ExpectClose(coef[p + j - 1], u.theta[j], tolerance, id + " theta");
        for (size_t i = 0; i < ratio.size(); ++i)
            ExpectClose(ratio[i], u.standardErrors[i + 1], 1e-8, id + " ratio " + std::to_string(i + 1));
        ExpectClose(t.Number(r, "wnvar"), u.prelimWnVariance, 1e-8, id + " variance");
        // Every coefficient free, no relation left from before, statistics of the final model.
        EXPECT_EQ(u.numFree, p + q) << id;
        for (int32_t i = 1; i <= p + q; ++i) EXPECT_EQ(u.freeIndex[i], i) << id;
        EXPECT_EQ(u.relationCount, 0) << id;
        EXPECT_TRUE(std::isfinite(u.aicc) && std::isfinite(u.minus2LogLikelihood)) << id;
    }
}

TEST(PrelimEstimate, SearchGivesReferenceAiccOfEveryOrderAndKeepsTheMinimum)
{
    const ReferenceTable t = ReadReferenceTable("prelim_search_reference.csv");
    ASSERT_EQ(t.rows.size(), 6u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const int32_t method = t.Integer(r, "method");
        const std::string id = t.Text(r, "series") + " method " + std::to_string(method);
        const std::vector<double> aicc = t.List(r, "aicc");
        UnivariateFields u = ProjectOn(Series(t.Text(r, "series")), 3, 0);
        u.numFree = 3;
        int32_t m = 0;
        const PrelimResult result = PrelimEstimate(u, m, method);
        ASSERT_EQ(result.outcome, PRELIM_DONE) << id << ": " << result.message;
        // Orders up to n/2, which the exact likelihood can evaluate.
        const size_t n = u.series.size();
        ASSERT_EQ(result.searchAicc.size(), std::min(aicc.size(), n / 2 + 1)) << id;
        size_t best = 0;
        for (size_t k = 0; k < result.searchAicc.size(); ++k) {
            ExpectClose(aicc[k], result.searchAicc[k], 1e-7, id + " order " + std::to_string(k));
            if (aicc[k] < aicc[best]) best = k;
        }
        EXPECT_EQ(u.p, static_cast<int32_t>(best)) << id;
        EXPECT_EQ(u.q, 0) << id;
        // The search leaves no trace of the orders it tried: a white-noise result frees nothing.
        EXPECT_EQ(u.numFree, u.p) << id;
        ExpectClose(aicc[best], u.bestAicc, 1e-7, id + " best AICC");
        if (best == 0) {
            ExpectClose(aicc[0], u.aicc, 1e-7, id + " white-noise AICC");
            for (int32_t i = 1; i <= 27; ++i) EXPECT_EQ(u.phi[i], 0.0) << id;
        }
    }
}

TEST(PrelimEstimate, SearchOnThreeValuesHasOnlyTheWhiteNoiseCandidate)
{
    UnivariateFields u = ProjectOn({0.5, -1.0, 0.25}, 2, 0);
    u.phi[1] = 0.3;
    u.phi[2] = 0.1;
    int32_t m = 0;
    const PrelimResult result = PrelimEstimate(u, m, PRELIM_BURG_SEARCH);
    ASSERT_EQ(result.outcome, PRELIM_DONE) << result.message;
    ASSERT_EQ(result.searchAicc.size(), 1u);
    EXPECT_EQ(u.p, 0);
    EXPECT_EQ(u.numFree, 0);
    EXPECT_EQ(u.phi[1], 0.0);
    const double s = (0.25 + 1.0 + 0.0625) / 3;
    EXPECT_NEAR(u.wnVariance, s, 1e-15);
    EXPECT_NEAR(u.aicc, 3 * (kLnTwoPi + std::log(s) + 1) + 2 / (1 - 2.0 / 3), 1e-12);
}

TEST(PrelimEstimate, NonCausalEstimateBecomesCoefficientsOfOneThousandth)
{
    // z(t) + 0.95 z(t-2): the lag-2 autocovariance outweighs lag 1, and the innovations method's
    // AR coefficient theta_2/theta_1 lies far outside (-1, 1).
    std::vector<double> z, x;
    for (int t = 1; t <= 62; ++t) z.push_back(std::sin(2.3 * t) + std::cos(5.1 * t * t));
    for (int t = 2; t < 62; ++t) x.push_back(z[t] + 0.95 * z[t - 2]);
    UnivariateFields u = ProjectOn(x, 1, 1);
    int32_t m = 0;
    const PrelimResult result = PrelimEstimate(u, m, PRELIM_INNOVATIONS);
    ASSERT_EQ(result.outcome, PRELIM_DONE) << result.message;
    ASSERT_EQ(result.status, -1);
    EXPECT_EQ(u.phi[1], 0.001);
    EXPECT_EQ(u.theta[1], 0.001);
    EXPECT_EQ(u.standardErrors[1], 0.0);
    EXPECT_TRUE(std::isfinite(u.aicc));
}

// Each refusal leaves every model field as it was.
TEST(PrelimEstimate, RefusalsKeepTheModel)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> x;
        int32_t p, q, method;
        const char* why;
    } cases[] = {
        {std::vector<double>(30, 0.0), 2, 0, PRELIM_YW, "zero series: singular Toeplitz matrix"},
        {std::vector<double>(30, 0.0), 0, 0, PRELIM_BURG_SEARCH, "zero series in the search"},
        {std::vector<double>(30, 0.0), 0, 2, PRELIM_INNOVATIONS, "zero series: no positive variance"},
        {{1.0, -0.5, 0.25, 0.1, 0.7}, 2, 1, PRELIM_HANNAN_RISSANEN, "n = p + q + 2"},
        {{1.0, -0.5, 0.25, 0.1, 0.7, 0.2, 0.4}, 4, 0, PRELIM_YW, "n < 2p"},
        {{1.0, -0.5}, 0, 0, PRELIM_YW_SEARCH, "search with n < 3"},
        {{1.0, nan, 0.25, 0.1, 0.7, 0.3, -0.2, 0.1}, 1, 0, PRELIM_BURG, "NaN in the series"},
    };
    for (const Case& c : cases) {
        UnivariateFields u = ProjectOn(c.x, c.p, c.q);
        u.phi[1] = 0.25;
        u.theta[1] = -0.5;
        u.numFree = 1;
        u.freeIndex[1] = 1;
        u.relationCount = 1;
        u.relations[1][1] = 2;
        u.aicc = 12.5;
        u.wnVariance = 3.0;
        u.standardErrors[1] = 0.75;
        const ModelSnapshot before = SaveModel(u);
        int32_t m = 5;
        const PrelimResult result = PrelimEstimate(u, m, c.method);
        EXPECT_EQ(result.outcome, PRELIM_REFUSED) << c.why;
        EXPECT_FALSE(result.message.empty()) << c.why;
        EXPECT_EQ(m, 5) << c.why;
        EXPECT_EQ(u.p, before.p) << c.why;
        EXPECT_EQ(u.q, before.q) << c.why;
        EXPECT_EQ(u.phi[1], 0.25) << c.why;
        EXPECT_EQ(u.theta[1], -0.5) << c.why;
        EXPECT_EQ(u.numFree, 1) << c.why;
        EXPECT_EQ(u.relationCount, 1) << c.why;
        EXPECT_EQ(u.relations[1][1], 2) << c.why;
        EXPECT_EQ(u.aicc, 12.5) << c.why;
        EXPECT_EQ(u.wnVariance, 3.0) << c.why;
        EXPECT_EQ(u.standardErrors[1], 0.75) << c.why;
    }
}

TEST(PrelimEstimate, HannanRissanenUsesLongAutoregressionOfTheStatedOrder)
{
    std::vector<double> x = Series("sunspot");
    x.resize(300 > x.size() ? x.size() : 300);
    struct Case {
        int32_t n, p, q, m;
    } cases[] = {{289, 2, 1, 24}, {100, 1, 1, 23}, {60, 2, 2, 25}, {40, 1, 0, 21}};
    for (const Case& c : cases) {
        UnivariateFields u = ProjectOn(std::vector<double>(x.begin(), x.begin() + c.n), c.p, c.q);
        int32_t m = 0;
        const PrelimResult result = PrelimEstimate(u, m, PRELIM_HANNAN_RISSANEN);
        ASSERT_EQ(result.outcome, PRELIM_DONE) << c.n << ": " << result.message;
        EXPECT_EQ(m, c.m) << c.n;
    }
}

TEST(PrelimDialog, OkChecksOrdersMethodsAndTheSeriesLength)
{
    auto choice = [](const char* p, const char* q, int boxes, const char* acvf = "0") {
        PrelimChoice c;
        c.pText = p;
        c.qText = q;
        c.acvfText = acvf;
        c.yuleWalker = boxes & 1;
        c.burg = boxes & 2;
        c.minAicc = boxes & 4;
        c.innovations = boxes & 8;
        c.hannanRissanen = boxes & 16;
        return c;
    };
    struct Case {
        PrelimChoice c;
        int32_t n;
        std::string refusal;
        int32_t p, q, method, m;
    } cases[] = {
        {choice("27", "0", 1), 100, " p must be between 0 and 26", 0, 0, 0, 0},
        {choice("x", "0", 1), 100, " p \"x\" is not a number.", 0, 0, 0, 0},
        {choice("1", "1.5", 1), 100, " q \"1.5\" is not a whole number.", 0, 0, 0, 0},
        {choice("1", "-1", 8), 100, " q must be between 0 and 26", 1, 0, 0, 0},
        {choice("0", "0", 1), 100, " p and q must be between 0 and 26", 0, 0, 0, 0},
        {choice("2", "0", 8), 100, " q=0 select an AR method box", 2, 0, 0, 0},
        {choice("1", "1", 1), 100, " Select an ARMA method box", 1, 1, 0, 0},
        {choice("26", "0", 1), 100, "", 26, 0, PRELIM_YW, 0},
        {choice("0", "0", 2 | 4), 100, "", 0, 0, PRELIM_BURG_SEARCH, 0},
        {choice("2", "0", 1 | 2), 100, "", 2, 0, PRELIM_BURG, 0},
        {choice("1", "1", 8 | 16), 100, "", 1, 1, PRELIM_HANNAN_RISSANEN, 0},
        {choice("1", "1", 8, "200"), 100, "", 1, 1, PRELIM_INNOVATIONS, 18},
        {choice("1", "1", 8, "74"), 100, "", 1, 1, PRELIM_INNOVATIONS, 75},
        {choice("1", "1", 8, "75"), 100, "", 1, 1, PRELIM_INNOVATIONS, 18},
        {choice("1", "1", 8, "10"), 100, "", 1, 1, PRELIM_INNOVATIONS, 11},
        {choice("1", "1", 8, "2"), 100, "", 1, 1, PRELIM_INNOVATIONS, 3},
        {choice("1", "1", 8, "1"), 100, "", 1, 1, PRELIM_INNOVATIONS, 18},
        {choice("0", "1", 8, "0"), 10, "", 0, 1, PRELIM_INNOVATIONS, 9},
        {choice("1", "1", 8, "1e12"), 100, "", 1, 1, PRELIM_INNOVATIONS, 18},
        {choice("1", "1", 8, "-3"), 100, "", 1, 1, PRELIM_INNOVATIONS, 18},
        {choice("1", "1", 8, "abc"), 100, " Number of ACVF's \"abc\" is not a number.", 1, 1, 0, 0},
        {choice("1", "1", 8, "2,5"), 100, " Number of ACVF's \"2,5\" has a decimal comma: type a decimal point.", 1, 1, 0, 0},
        {choice("1", "1", 8, "10.5"), 100, " Number of ACVF's \"10.5\" is not a whole number.", 1, 1, 0, 0},
        {choice("2", "1", 16), 5, "The series has 5 values: too few for an ARMA(2,1) model.", 2, 1, 0, 0},
        {choice("0", "3", 8), 5, "The series has 5 values: too few for an ARMA(0,3) model.", 0, 3, 0, 0},
        {choice("4", "0", 1), 7, "The series has 7 values: too few for an ARMA(4,0) model.", 4, 0, 0, 0},
        {choice("0", "0", 1 | 4), 2, "The series has 2 values: too few for the AICC search (at least 3 are needed).",
         0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const PrelimRequest r = CheckPrelimChoice(c.c, c.n);
        const std::string id = c.c.pText + "," + c.c.qText + " n " + std::to_string(c.n);
        EXPECT_EQ(r.refusal, c.refusal) << id;
        if (!c.refusal.empty()) continue;
        EXPECT_EQ(r.p, c.p) << id;
        EXPECT_EQ(r.q, c.q) << id;
        EXPECT_EQ(r.method, c.method) << id;
        EXPECT_EQ(r.m, c.m) << id;
    }
}

TEST(BurgFit, OrderOneOfAlternatingSeriesIsMinusOne)
{
    // f(t) b(t-1) = -1 and f^2 + b^2 = 2 at every step: phi11 = -1 exactly, errors vanish.
    const std::vector<double> x = {1, -1, 1, -1, 1, -1};
    double phi = 0.0;
    EXPECT_EQ(BurgFit(1, x.data(), 6, &phi), 0.0);
    EXPECT_EQ(phi, -1.0);
}

}  // namespace
