// Maximum likelihood and least squares fits against scripts/reference/estimation.R: R's
// arima(method = "ML") with free, fixed and multiplicatively related coefficients, and the
// minimiser of the exact weighted sum of squares (optim over KalmanRun). Coefficients to 1e-3,
// -2 log L to 1e-6 relative, standard errors to 5 %.
#include "univariate/max_likelihood.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/library_capture.h"
#include "tests/unit/reference_table.h"
#include "univariate/constraints.h"
#include "univariate/model_evaluation.h"
#include "univariate/preliminary_estimation.h"

namespace {

UnivariateFields Fixture(const ReferenceTable& t, size_t r)
{
    UnivariateFields u;
    u.series = ReferenceSeries(t.Text(r, "series"), "estimation_series.csv");
    u.n = static_cast<int32_t>(u.series.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
    u.p = t.Integer(r, "p");
    u.q = t.Integer(r, "q");
    const std::vector<double> start = t.List(r, "start");
    for (int32_t i = 1; i <= u.p; ++i) u.phi[i] = start.at(static_cast<size_t>(i - 1));
    for (int32_t j = 1; j <= u.q; ++j) u.theta[j] = start.at(static_cast<size_t>(u.p + j - 1));
    // The constraints as the Constrain Optimization dialog leaves them.
    ConstrainWork w = LoadConstraints(u);
    FixNone(w);
    const std::string fixed = t.Text(r, "fixed");
    std::istringstream in(fixed);
    std::string item;
    for (int32_t i = 1; in >> item; ++i)
        if (item != "NA") (i <= u.p ? w.fixedAr[i] : w.fixedMa[i - u.p]) = true;
    const std::vector<double> relation = t.List(r, "relation");
    int32_t count = 0;
    if (relation.size() == 3) {
        count = 1;
        w.rows[1] = {static_cast<int32_t>(relation[0]), static_cast<int32_t>(relation[1]),
                     static_cast<int32_t>(relation[2]), false};
        w.fixedAr[w.rows[1].a] = false;
    }
    EXPECT_TRUE(CommitConstraints(w, count, u).accepted);
    u.mleMethod = t.Text(r, "kind") == "ls" ? 0 : -1;
    u.maxIterations = 200;
    u.accuracy = DefaultAccuracy(u);
    u.likelihoodTolerance = 5e-5;
    return u;
}

TEST(MaxLikelihoodFit, MatchesReferenceFits)
{
    const ReferenceTable t = ReadReferenceTable("ml_estimation_reference.csv");
    ASSERT_GE(t.rows.size(), 15u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        UnivariateFields u = Fixture(t, r);
        const std::string id = t.Text(r, "series") + " " + t.Text(r, "kind") + " (" + std::to_string(u.p) + "," +
                               std::to_string(u.q) + ")";
        ASSERT_EQ(MaxLikelihoodRefusal(u), "") << id;
        u.aicc = 77.0;
        EXPECT_EQ(MaxLikelihoodFit(u), 0) << id;
        EXPECT_GE(u.stopReason, 1) << id;
        EXPECT_LE(u.stopReason, 3) << id;
        EXPECT_EQ(u.bestAicc, 77.0) << id;
        const std::vector<double> coef = t.List(r, "coef"), se = t.List(r, "se");
        for (int32_t i = 1; i <= u.p + u.q; ++i) {
            const double c = i <= u.p ? u.phi[i] : u.theta[i - u.p];
            EXPECT_NEAR(c, coef[static_cast<size_t>(i - 1)], 1e-3) << id << " coefficient " << i;
            if (se.size() == coef.size()) {
                EXPECT_NEAR(u.standardErrors[i], se[static_cast<size_t>(i - 1)], 0.05 * se[static_cast<size_t>(i - 1)])
                    << id << " standard error " << i;
            }
        }
        if (t.Text(r, "kind") == "ls") continue;
        // R's -2 log L carries n ln(2 pi); the reports use ln 6.28318.
        const double m2 = t.Number(r, "minus2loglik") - u.n * std::log(2 * 3.14159265358979323846) + u.n * kLnTwoPi;
        EXPECT_NEAR(u.minus2LogLikelihood, m2, 1e-6 * std::fabs(m2)) << id;
        EXPECT_NEAR(u.wnVariance, u.residualSsPerN, 0.0) << id;
        const int32_t k = u.numFree;
        EXPECT_NEAR(u.aicc, m2 + 2.0 * (k + 1) / (1.0 - (k + 2.0) / u.n), 1e-6 * std::fabs(m2)) << id;
    }
}

TEST(MaxLikelihoodFit, EvaluationWithoutOptimisationKeepsTheUsersVariance)
{
    const ReferenceTable t = ReadReferenceTable("ml_estimation_reference.csv");
    ASSERT_FALSE(t.rows.empty());
    UnivariateFields u = Fixture(t, 1);  // lh AR(2) at R's optimum
    const std::vector<double> coef = t.List(1, "coef");
    u.phi[1] = coef[0];
    u.phi[2] = coef[1];
    u.noOptimisation = 1;
    u.wnVariance = 2.0;
    EXPECT_EQ(MaxLikelihoodFit(u), 0);
    EXPECT_EQ(u.wnVariance, 2.0);
    EXPECT_EQ(u.iterationsDone, 0);
    EXPECT_EQ(u.maxIterations, 200);
    const double atTwo = u.minus2LogLikelihood;
    // At the variance estimate itself -2 log L is the optimum's.
    u.wnVariance = u.residualSsPerN;
    EXPECT_EQ(MaxLikelihoodFit(u), 0);
    const double m2 = t.Number(1, "minus2loglik") - u.n * std::log(2 * 3.14159265358979323846) + u.n * kLnTwoPi;
    EXPECT_NEAR(u.minus2LogLikelihood, m2, 1e-6 * m2);
    EXPECT_GT(atTwo, u.minus2LogLikelihood);
}

TEST(MaxLikelihoodFit, NonInvertibleStartIsReplacedByItsInvertibleTwin)
{
    const ReferenceTable t = ReadReferenceTable("ml_estimation_reference.csv");
    ASSERT_GE(t.rows.size(), 3u);
    UnivariateFields u = Fixture(t, 2);  // lh ARMA(1,1)
    u.phi[1] = 0.4;
    u.theta[1] = 1.0 / 0.2;
    u.accuracy = 1e-6;
    EXPECT_EQ(MaxLikelihoodFit(u), 0);
    const std::vector<double> coef = t.List(2, "coef");
    EXPECT_NEAR(u.phi[1], coef[0], 1e-3);
    EXPECT_NEAR(u.theta[1], coef[1], 1e-3);
}

// Every point non-causal (phi2 held at 1.5): the fit ends with the coefficients at 0.001, and
// the statistics are that model's, not the last trial's.
TEST(MaxLikelihoodFit, NonCausalEndReportsTheFallbackModel)
{
    const ReferenceTable t = ReadReferenceTable("ml_estimation_reference.csv");
    ASSERT_GE(t.rows.size(), 2u);
    UnivariateFields u = Fixture(t, 1);
    u.phi[2] = 1.5;
    u.numFree = 1;
    u.freeIndex[1] = 1;
    u.maxIterations = 20;
    EXPECT_EQ(MaxLikelihoodFit(u), -1);
    EXPECT_EQ(u.phi[1], 0.001);
    EXPECT_EQ(u.phi[2], 0.001);
    EXPECT_EQ(u.standardErrors[1], -1.0);
    UnivariateFields fallback = Fixture(t, 1);
    fallback.noOptimisation = 1;
    EXPECT_EQ(MaxLikelihoodFit(fallback), 0);
    EXPECT_NEAR(u.residualSsPerN, fallback.residualSsPerN, 1e-12);
    EXPECT_TRUE(std::isfinite(u.minus2LogLikelihood) && std::isfinite(u.aicc));
    EXPECT_EQ(EstimatedProject, nullptr);
}

// The objective is the evaluation's value, raised by half its size plus 0.01 when the AR part is
// not causal (then the last stored value is raised) or, with every coefficient free, the MA part
// is not invertible; the raised value is also stored.
TEST(LikelihoodObjective, PenaltyForInadmissibleModels)
{
    struct Case {
        const char* name;
        std::vector<double> phi, theta;
        int32_t numFree;
        bool penalised, causal;
    };
    const Case cases[] = {
        {"invertible MA(1)", {}, {0.5}, 1, false, true},
        {"non-invertible MA(1), free", {}, {2.0}, 1, true, true},
        {"non-invertible MA, fixed", {0.3}, {2.0}, 1, false, true},
        {"non-causal AR(1)", {1.1}, {}, 1, true, false},
        {"non-causal AR(1), MA fixed", {1.1}, {0.4}, 1, true, false},
    };
    const ReferenceTable t = ReadReferenceTable("ml_estimation_reference.csv");
    ASSERT_GE(t.rows.size(), 1u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (double stored : {-2.0, 3.0}) {
            UnivariateFields u;
            u.series = ReferenceSeries(t.Text(0, "series"), "estimation_series.csv");
            u.n = static_cast<int32_t>(u.series.size());
            u.firstIndex = 1;
            u.lastIndex = u.n;
            u.p = static_cast<int32_t>(c.phi.size());
            u.q = static_cast<int32_t>(c.theta.size());
            for (int32_t i = 1; i <= u.p; ++i) u.phi[i] = c.phi[i - 1];
            for (int32_t j = 1; j <= u.q; ++j) u.theta[j] = c.theta[j - 1];
            u.numFree = c.numFree;
            u.freeIndex[1] = 1;
            u.mleMethod = -1;
            u.likelihoodTolerance = 5e-5;
            u.objectiveValue = stored;
            UnivariateFields plain = u;
            const bool evaluated = EvaluateModel(plain, -1) == EVALUATION_DONE;
            ASSERT_EQ(evaluated, c.causal);
            const double g = plain.objectiveValue;  // the stored value when the evaluation failed
            EstimatedProject = &u;
            double f = 0.0;
            const double x = c.numFree == 1 && u.p >= 1 ? u.phi[1] : u.theta[1];
            LikelihoodObjective(1, &x, f);
            EstimatedProject = nullptr;
            const double want = c.penalised ? g + 0.5 * std::fabs(g) + 0.01 : g;
            EXPECT_NEAR(f, want, 1e-12 * std::fabs(want)) << stored;
            EXPECT_EQ(u.objectiveValue, f);
        }
    }
}

TEST(MaxLikelihoodDialog, DefaultAccuracy)
{
    UnivariateFields u;
    EXPECT_EQ(DefaultAccuracy(u), 0.001);
    u.p = 2;
    u.q = 1;
    u.phi[1] = 0.5;
    u.theta[1] = -0.3;
    u.phi[3] = 9.0;  // beyond the order: not counted
    EXPECT_NEAR(DefaultAccuracy(u), 0.00101, 1e-15);
}

TEST(MaxLikelihoodDialog, OkRefusesUnreadableOrOutOfRangeSettings)
{
    struct Case {
        const char* iterations;
        const char* accuracy;
        std::string refusal;
    } cases[] = {
        {"50", "0.001", ""},
        {"1", "1", ""},
        {"100000", "1e-8", ""},
        {"50", "0", " Choose accuracy parameter between 0 and 1."},
        {"50", "-0.1", " Choose accuracy parameter between 0 and 1."},
        {"50", "1.5", " Choose accuracy parameter between 0 and 1."},
        {"50", "abc", " Accuracy \"abc\" is not a number."},
        {"50", "0,001", " Accuracy \"0,001\" has a decimal comma: type a decimal point."},
        {"50", "nan", " Accuracy \"nan\" is not a finite number."},
        {"0", "0.001", " Number of iterations must be > 0."},
        {"-3", "0.001", " Number of iterations must be > 0."},
        {"many", "0.001", " Number of iterations \"many\" is not a number."},
        {"1.5", "0.001", " Number of iterations \"1.5\" is not a whole number."},
        {"99999999999", "0.001", "The number of iterations must be at most 100000."},
        {"100001", "0.001", "The number of iterations must be at most 100000."},
    };
    for (const Case& c : cases) {
        UnivariateFields u;
        u.maxIterations = 7;
        u.accuracy = 0.25;
        MleChoice choice;
        choice.maximumLikelihood = false;
        choice.iterationsText = c.iterations;
        choice.accuracyText = c.accuracy;
        EXPECT_EQ(AcceptMaxLikelihoodChoice(choice, u), c.refusal) << c.iterations << " " << c.accuracy;
        if (c.refusal.empty()) {
            EXPECT_EQ(u.mleMethod, 0);
            EXPECT_EQ(u.maxIterations, std::atoi(c.iterations));
        } else {
            EXPECT_EQ(u.maxIterations, 7);
            EXPECT_EQ(u.accuracy, 0.25);
        }
    }
}

TEST(MaxLikelihoodDialog, RefusesModelsTheSeriesCannotCarry)
{
    UnivariateFields u;
    u.series.assign(6, 1.0);
    u.n = 6;
    u.p = 2;
    u.q = 2;
    u.phi[1] = u.phi[2] = u.theta[1] = u.theta[2] = 0.1;
    FreeNonZeroCoefficients(u);
    EXPECT_EQ(MaxLikelihoodRefusal(u), "The series has 6 values: too few to fit an ARMA(2,2) model.");
    u.series.assign(7, 1.0);
    u.n = 7;
    EXPECT_EQ(MaxLikelihoodRefusal(u), "");
    u.numFree = 0;
    EXPECT_EQ(MaxLikelihoodRefusal(u), "No parameters to optimize.  Unconstrain parameters or respecify model.");
    u.noOptimisation = 1;
    EXPECT_EQ(MaxLikelihoodRefusal(u), "");
    u.noOptimisation = 0;
    u.numFree = 2;
    u.freeIndex[1] = 3;
    u.freeIndex[2] = 7;
    EXPECT_NE(MaxLikelihoodRefusal(u), "");
}

TEST(FractionalMaxLikelihood, RefusesASeriesTooShortAndKeepsTheModel)
{
    for (int32_t n : {0, 1, 3}) {
        UnivariateFields u;
        u.series.assign(static_cast<size_t>(n), 0.5);
        u.n = n;
        u.fracIntegrated = 1;
        u.d = 0.2;
        u.wnVariance = 1.5;
        std::string refusal;
        EXPECT_EQ(FractionalMaxLikelihood(u, refusal), FRACTIONAL_FIT_REFUSED) << n;
        EXPECT_NE(refusal, "") << n;
        EXPECT_EQ(u.d, 0.2);
        EXPECT_EQ(u.wnVariance, 1.5);
    }
    // Four values, two Fourier ordinates, are the fewest it fits.
    UnivariateFields u;
    u.series = {1.0, 3.0, 2.0, 5.0};
    u.n = 4;
    u.fracIntegrated = 1;
    u.d = 0.2;
    std::string refusal;
    EXPECT_EQ(FractionalMaxLikelihood(u, refusal), FRACTIONAL_FIT_DONE) << refusal;
}

TEST(FractionalMaxLikelihood, ConstantSeriesIsRefusedNotReportedAsAFit)
{
    UnivariateFields u;
    u.series.assign(64, 2.0);
    u.n = 64;
    u.fracIntegrated = 1;
    u.d = 0.1;
    u.aicc = 5.0;
    std::string refusal;
    EXPECT_EQ(FractionalMaxLikelihood(u, refusal), FRACTIONAL_FIT_REFUSED);
    EXPECT_NE(refusal, "");
    EXPECT_EQ(u.d, 0.1);
    EXPECT_EQ(u.aicc, 5.0);
}

// A periodogram beyond double range stops the library, which gives the user its own message: the
// fit then says nothing more (one message, not two) and keeps the model.
class FractionalMaxLikelihoodLibrary : public LibraryCapture {};

TEST_F(FractionalMaxLikelihoodLibrary, AStoppedPeriodogramIsSaidOnceByTheLibrary)
{
    UnivariateFields u;
    for (int32_t t = 0; t < 64; ++t) u.series.push_back(t % 2 == 0 ? 1e200 : -1e200);
    u.n = 64;
    u.fracIntegrated = 1;
    u.d = 0.1;
    u.aicc = 5.0;
    std::string refusal = "stale";
    EXPECT_EQ(FractionalMaxLikelihood(u, refusal), FRACTIONAL_FIT_ABANDONED);
    EXPECT_EQ(refusal, "");
    EXPECT_EQ(stops.size(), 1u);
    EXPECT_EQ(u.d, 0.1);
    EXPECT_EQ(u.aicc, 5.0);
}

TEST(FractionalMaxLikelihood, DialogOkRules)
{
    struct Case {
        bool noOptimisation, keepD;
        int32_t p;
        const char* step;
        bool accepted;
    } cases[] = {
        {false, true, 0, "0.1", false}, {true, true, 0, "0.1", true}, {false, false, 0, "0.1", true},
        {false, true, 1, "0", false},   {false, true, 1, "x", false}, {false, true, 1, "0.05", true},
    };
    for (const Case& c : cases) {
        UnivariateFields u;
        u.p = c.p;
        u.fiStep = 0.3;
        EXPECT_EQ(AcceptFractionalChoice(c.noOptimisation, c.keepD, c.step, u).empty(), c.accepted) << c.step;
        EXPECT_EQ(u.fiStep, c.accepted ? std::atof(c.step) : 0.3);
    }
}

}  // namespace
