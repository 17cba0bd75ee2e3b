#include "univariate/model_evaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/unit/evaluation_fixtures.h"
#include "tests/unit/reference_table.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

// The likelihood and the noise variance of fixed models against R's exact Gaussian likelihood,
// and the residuals against residuals(arima(..., fixed)). The seasonal AR model is the relation
// (13, 1, 12) of an AR(13): phi13 = -phi1·phi12.
TEST(EvaluateModel, MatchesTheExactLikelihoodOfR)
{
    const ReferenceTable models = ReadReferenceTable("evaluation_models.csv");
    ASSERT_EQ(models.rows.size(), 4u);
    for (size_t r = 0; r < models.rows.size(); ++r) {
        const std::string id = models.Text(r, "id");
        SCOPED_TRACE(id);
        UnivariateFields u = ReferenceModel(models, r);
        u.residualsValid = 1;
        const int32_t evaluations = u.evaluationCount;
        ASSERT_EQ(EvaluateModel(u, -1), EVALUATION_DONE);
        EXPECT_EQ(u.evaluationCount, evaluations + 1);
        const double n = u.n;
        EXPECT_NEAR(u.reducedLikelihood, models.Number(r, "redlik"), 1e-9);
        EXPECT_NEAR(u.objectiveValue, u.reducedLikelihood, 0.0);
        EXPECT_NEAR(u.wnVariance / models.Number(r, "sigma2"), 1.0, 1e-9);
        const double m2 = n * (std::log(kTwoPi) + u.reducedLikelihood + 1.0);
        EXPECT_NEAR(m2 / models.Number(r, "m2loglik"), 1.0, 1e-6);
        const std::vector<double> want = ReferenceResiduals(id);
        ASSERT_EQ(u.residuals.size(), want.size());
        for (size_t t = 0; t < want.size(); ++t) EXPECT_NEAR(u.residuals[t], want[t], 1e-8) << "t = " << t + 1;
        if (id == "sar") {
            EXPECT_DOUBLE_EQ(u.phi[13], -u.phi[1] * u.phi[12]);
        }
        if (id == "wn") {
            EXPECT_EQ(u.p, 0);
        }
    }
}

// Least squares (horizon 0) and maximum likelihood (-1) see the same recursion: the same reduced
// likelihood, variances in the ratio n/(n - p - q) (white noise counts as an AR(1)), and the
// objective ln sigma2 against the reduced likelihood.
TEST(EvaluateModel, LeastSquaresDividesByTheDegreesOfFreedom)
{
    const ReferenceTable models = ReadReferenceTable("evaluation_models.csv");
    for (size_t r = 0; r < models.rows.size(); ++r) {
        SCOPED_TRACE(models.Text(r, "id"));
        UnivariateFields ml = ReferenceModel(models, r), ls = ReferenceModel(models, r);
        ASSERT_EQ(EvaluateModel(ml, -1), EVALUATION_DONE);
        ASSERT_EQ(EvaluateModel(ls, 0), EVALUATION_DONE);
        const int k = std::max(ml.p + ml.q, 1);
        EXPECT_NEAR(ls.reducedLikelihood, ml.reducedLikelihood, 1e-13);
        EXPECT_NEAR(ls.wnVariance / ml.wnVariance, double(ml.n) / (ml.n - k), 1e-13);
        EXPECT_NEAR(ls.objectiveValue, std::log(ls.wnVariance), 1e-13);
    }
}

// Forecasts of an AR(1): phi^k x(n), with mean squared errors sigma2 (1 + phi^2 + ... +
// phi^(2k-2)), sigma2 = S/n.
TEST(EvaluateModel, ForecastsOfAnAutoregression)
{
    UnivariateFields u;
    u.series = {0.3, -1.2, 0.8, 1.5, -0.4, 0.9, 2.0};
    u.n = 7;
    u.p = 1;
    u.phi[1] = 0.6;
    ASSERT_EQ(EvaluateModel(u, 4), EVALUATION_DONE);
    ASSERT_EQ(u.armaForecasts.size(), 4u);
    ASSERT_EQ(u.armaForecastMse.size(), 4u);
    double forecast = 2.0, weights = 0.0;
    for (int k = 1; k <= 4; ++k) {
        forecast *= 0.6;
        weights += std::pow(0.36, k - 1);
        EXPECT_NEAR(u.armaForecasts[k - 1], forecast, 1e-14);
        EXPECT_NEAR(u.armaForecastMse[k - 1], u.wnVariance * weights, 1e-14);
    }
    EXPECT_EQ(EvaluateModel(u, kMaxEvaluationHorizon + 1), EVALUATION_FAILED);
    EXPECT_EQ(u.armaForecasts.size(), 4u);
}

// A relation on the AR part stores the negated product, one on the MA part the product; a later
// relation sees what an earlier one wrote.
TEST(EvaluateModel, RelationsRewriteTheirTargets)
{
    UnivariateFields u;
    u.series = std::vector<double>(60, 0.0);
    for (int t = 0; t < 60; ++t) u.series[t] = std::sin(0.7 * t) + 0.1 * t;
    u.n = 60;
    u.p = 13;
    u.q = 3;
    u.phi[1] = 0.5;
    u.phi[12] = 0.4;
    u.theta[1] = 0.3;
    u.theta[2] = 0.5;
    u.relationCount = 3;
    const int32_t relations[3][3] = {{13, 1, 12}, {16, 14, 15}, {2, 1, 13}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) u.relations[r + 1][c + 1] = relations[r][c];
    (void)EvaluateModel(u, -1);
    EXPECT_DOUBLE_EQ(u.phi[13], -0.2);
    EXPECT_DOUBLE_EQ(u.theta[3], 0.15);
    EXPECT_DOUBLE_EQ(u.phi[2], 0.1);
}

// A model whose AR part is not causal fails with -1 and leaves every statistic as it was.
TEST(EvaluateModel, NonCausalModelChangesNoStatistic)
{
    UnivariateFields u = Sentinels({1.0, 2.0, 3.0, 4.0, 5.0});
    u.p = 1;
    u.phi[1] = 1.2;
    u.residualsValid = 1;
    EXPECT_EQ(EvaluateModel(u, 3), EVALUATION_NOT_CAUSAL);
    ExpectSentinels(u);
}

// Series too short for the model, under the sanitizers: n = 0, 2m - 1 fail with their own status
// and change nothing after the relations; 2m evaluates. Least squares also needs n > p + q.
TEST(EvaluateModel, ShortSeries)
{
    struct Case {
        const char* name;
        int32_t p, q, n, horizon, status;
    };
    const Case cases[] = {
        {"white noise, n = 0", 0, 0, 0, -1, EVALUATION_SHORT_SERIES},
        {"white noise, n = 1", 0, 0, 1, -1, EVALUATION_SHORT_SERIES},
        {"white noise, n = 2", 0, 0, 2, -1, EVALUATION_DONE},
        {"white noise least squares, n = 1", 0, 0, 1, 0, EVALUATION_SHORT_SERIES},
        {"AR(2), n = 0", 2, 0, 0, -1, EVALUATION_SHORT_SERIES},
        {"AR(2), n = 1", 2, 0, 1, -1, EVALUATION_SHORT_SERIES},
        {"AR(2), n = 3", 2, 0, 3, 2, EVALUATION_SHORT_SERIES},
        {"AR(2), n = 4", 2, 0, 4, 2, EVALUATION_DONE},
        {"MA(2), n = 3", 0, 2, 3, -1, EVALUATION_SHORT_SERIES},
        {"MA(2), n = 4", 0, 2, 4, -1, EVALUATION_DONE},
        {"ARMA(1,3), n = 5", 1, 3, 5, 3, EVALUATION_SHORT_SERIES},
        {"ARMA(1,3), n = 6", 1, 3, 6, 3, EVALUATION_DONE},
        {"ARMA(3,1), n = 6", 3, 1, 6, 0, EVALUATION_DONE},
        {"ARMA(26,26), n = 51", 26, 26, 51, -1, EVALUATION_SHORT_SERIES},
        {"ARMA(26,26), n = 52", 26, 26, 52, -1, EVALUATION_DONE},
        {"ARMA(1,1) least squares, n = 2", 1, 1, 2, 0, EVALUATION_SHORT_SERIES},
        {"ARMA(1,1) likelihood, n = 2", 1, 1, 2, -1, EVALUATION_DONE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> x(static_cast<size_t>(c.n));
        for (int32_t t = 0; t < c.n; ++t) x[t] = std::cos(1.3 * t) + 0.2 * (t % 3);
        UnivariateFields u = Sentinels(x);
        u.p = c.p;
        u.q = c.q;
        // Small causal and invertible coefficients, whatever the orders.
        for (int32_t i = 1; i <= c.p; ++i) u.phi[i] = 0.3 / c.p;
        for (int32_t j = 1; j <= c.q; ++j) u.theta[j] = 0.3 / c.q;
        u.residualsValid = 1;
        ASSERT_EQ(EvaluateModel(u, c.horizon), c.status);
        if (c.status != EVALUATION_DONE) {
            ExpectSentinels(u);
            continue;
        }
        EXPECT_TRUE(std::isfinite(u.wnVariance) && std::isfinite(u.reducedLikelihood) &&
                    std::isfinite(u.objectiveValue));
        if (c.horizon <= 0 || c.q == 0) {
            EXPECT_EQ(u.residuals.size(), static_cast<size_t>(c.n));
        }
        if (c.horizon > 0) {
            EXPECT_EQ(u.armaForecasts.size(), static_cast<size_t>(c.horizon));
        }
    }
}

// Records that break the routine's rules fail without a stray read: orders past 26, relation
// indices outside the model, non-finite coefficients, a series shorter than n says.
TEST(EvaluateModel, HostileRecords)
{
    const std::vector<void (*)(UnivariateFields&)> mutations = {
        [](UnivariateFields& u) { u.p = 27; },
        [](UnivariateFields& u) { u.q = -1; },
        [](UnivariateFields& u) {
            u.relationCount = 1;
            u.relations[1][1] = 3, u.relations[1][2] = 1, u.relations[1][3] = 9;
        },
        [](UnivariateFields& u) { u.relationCount = 7; },
        [](UnivariateFields& u) { u.phi[1] = NAN; },
        [](UnivariateFields& u) { u.theta[1] = INFINITY; },
        [](UnivariateFields& u) { u.series[2] = NAN; },
        [](UnivariateFields& u) { u.n = 1000; },
    };
    for (size_t k = 0; k < mutations.size(); ++k) {
        SCOPED_TRACE(k);
        UnivariateFields u = Sentinels({0.5, -0.2, 0.9, 1.4, -1.1, 0.3, 0.0, 0.8});
        u.p = 1, u.q = 1, u.phi[1] = 0.4, u.theta[1] = 0.2;
        u.residualsValid = 1;
        mutations[k](u);
        EXPECT_NE(EvaluateModel(u, 2), EVALUATION_DONE);
        ExpectSentinels(u);
    }
}

// An all-zero series has S = 0: the logarithms are left out, so the results stay finite.
TEST(EvaluateModel, AllZeroSeriesGivesFiniteResults)
{
    UnivariateFields u;
    u.series.assign(10, 0.0);
    u.n = 10;
    u.q = 1;
    u.theta[1] = 0.5;
    ASSERT_EQ(EvaluateModel(u, -1), EVALUATION_DONE);
    EXPECT_EQ(u.wnVariance, 0.0);
    EXPECT_TRUE(std::isfinite(u.reducedLikelihood));
    EXPECT_TRUE(std::isfinite(u.objectiveValue));
}

// The settled coefficients over a zero series: MA(1) theta = 2 settles at the invertible 0.5 for
// any n, with the zero series as long as the project's series; theta = 1 never settles, and a
// stale settling step from an earlier run must not pass it as settled.
TEST(ModelLikelihood, SettledCoefficients)
{
    for (int32_t n : {0, 3, 3000}) {
        SCOPED_TRACE(n);
        UnivariateFields u;
        u.n = n;
        u.q = 1;
        u.theta[1] = 2.0;
        std::vector<double> table(54 * 54, 0.0);
        ASSERT_EQ(ModelLikelihood(u, table.data()), EVALUATION_DONE);
        EXPECT_NEAR(SettledCoefficient(table.data(), 1), 0.5, 1e-12);
        EXPECT_LT(u.settlingStep, std::max(n, 54));

        u.theta[1] = 1.0;
        u.settlingStep = 5;
        ASSERT_EQ(ModelLikelihood(u, table.data()), EVALUATION_DONE);
        EXPECT_EQ(u.settlingStep, std::max(n, 2200));
        // The coefficient of step t is t/(t+1).
        EXPECT_NEAR(SettledCoefficient(table.data(), 1), 1.0, 1e-3);
        EXPECT_LT(SettledCoefficient(table.data(), 1), 1.0);
    }
}

// The invertible twin is the recursion's settled row where it settles (theta 2, and 1.05, which
// settles before it reaches 1/1.05 exactly) and the reflected zero where it stops at its cap
// unsettled (theta 1.001: the recursion once gave 0.998976 for 0.999001).
TEST(InvertibleTwin, SettledRowOrReflectedZeros)
{
    struct Case {
        double theta;
        bool settles;
    } const cases[] = {{2.0, true}, {1.05, true}, {-1.05, true}, {1.001, false}, {-1.0001, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.theta);
        UnivariateFields u;
        u.q = 1;
        u.theta[1] = c.theta;
        std::vector<double> table(54 * 54, 0.0);
        UnivariateFields recursion = u;
        ASSERT_EQ(ModelLikelihood(recursion, table.data()), EVALUATION_DONE);
        ASSERT_EQ(InvertibleTwin(u), EVALUATION_DONE);
        if (c.settles) {
            EXPECT_EQ(u.theta[1], SettledCoefficient(table.data(), 1));
        } else {
            EXPECT_NEAR(u.theta[1], 1.0 / c.theta, 1e-14);
            EXPECT_GT(std::fabs(SettledCoefficient(table.data(), 1) - 1.0 / c.theta), 1e-5);
        }
    }
}

// The recursion settles to min(1e-5, likelihoodTolerance): a looser tolerance is taken as 1e-5,
// a tighter one is used as it is. theta = 1.05 settles slowly (the invertible 1/1.05 is close to
// the unit circle), so each tolerance freezes it at a different step.
TEST(ModelLikelihood, ToleranceIsAtMost1e5)
{
    auto Run = [](double tolerance, std::vector<double>& table) {
        UnivariateFields u;
        u.q = 1;
        u.theta[1] = 1.05;
        u.likelihoodTolerance = tolerance;
        EXPECT_EQ(ModelLikelihood(u, table.data()), EVALUATION_DONE);
        return u.settlingStep;
    };
    std::vector<double> at(54 * 54), loose(54 * 54), tight(54 * 54), looser(54 * 54);
    const int32_t step = Run(1e-5, at);
    EXPECT_EQ(Run(0.5, loose), step);
    EXPECT_EQ(loose, at);
    EXPECT_EQ(Run(1e-4, looser), step);
    EXPECT_GT(Run(1e-6, tight), step);
    EXPECT_NEAR(SettledCoefficient(tight.data(), 1), 1 / 1.05, 1e-6);
}

// Refusals leave the caller's table and the settling step as they were.
TEST(ModelLikelihood, RefusalsTouchNothing)
{
    struct Case {
        const char* name;
        int32_t p, q;
        double phi1, theta1;
        int32_t status;
    };
    const Case cases[] = {
        {"AR part not causal", 1, 1, 1.5, 2.0, EVALUATION_NOT_CAUSAL},
        {"no MA part", 1, 0, 0.5, 0.0, EVALUATION_FAILED},
        {"order 27", 0, 27, 0.0, 0.1, EVALUATION_FAILED},
        {"non-finite coefficient", 1, 1, 0.5, NAN, EVALUATION_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u;
        u.n = 20;
        u.p = c.p, u.q = c.q, u.phi[1] = c.phi1, u.theta[1] = c.theta1;
        u.settlingStep = 17;
        std::vector<double> table(54 * 54, 7.0);
        EXPECT_EQ(ModelLikelihood(u, table.data()), c.status);
        EXPECT_EQ(u.settlingStep, 17);
        EXPECT_EQ(std::count(table.begin(), table.end(), 7.0), 54 * 54);
    }
}
