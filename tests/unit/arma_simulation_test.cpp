#include "univariate/arma_simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/unit/reference_table.h"
#include "univariate/residuals.h"
#include "univariate/statistics.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A project holding n values of a fixed wave, with the model p, q given.
void Load(UnivariateProject& u, int32_t n)
{
    u.series.clear();
    for (int32_t t = 1; t <= n; ++t) u.series.push_back(std::sin(0.7 * t) + 0.02 * t);
    u.n = n;
    u.firstIndex = 1;
    u.lastIndex = n;
    u.originalSeries = u.series;
}

TransformNode& Push(UnivariateProject& u, int32_t kind)
{
    auto* node = new TransformNode;
    InitTransformNode(*node);
    node->kind = kind;
    node->next = u.transforms;
    u.transforms = node;
    return *node;
}

std::string Read(const UnivariateFields& u, SimulationChoice& choice, const std::string& m,
                 const std::string& sigma2 = "1", const std::string& seed = "1234", const std::string& mean = "0")
{
    return ReadSimulationChoice(u, m, seed, sigma2, mean, choice);
}

}  // namespace

// The same seed gives the same path, another seed another one, for both kinds of model.
TEST(SimulateModelPath, ReproducibleBySeed)
{
    for (int32_t fractional : {0, 1}) {
        SCOPED_TRACE(fractional);
        UnivariateProject u;
        u.p = 1;
        u.phi[1] = 0.6;
        u.q = 1;
        u.theta[1] = 0.3;
        u.fracIntegrated = fractional;
        u.d = 0.25;
        SimulationChoice choice;
        choice.m = 200;
        choice.sigma2 = 2.0;
        choice.seed = 1234;
        std::vector<double> a, b, c;
        ASSERT_EQ(SimulateModelPath(u, choice, a), 1);
        ASSERT_EQ(SimulateModelPath(u, choice, b), 1);
        choice.seed = 4321;
        ASSERT_EQ(SimulateModelPath(u, choice, c), 1);
        ASSERT_EQ(a.size(), 200u);
        EXPECT_EQ(a, b);
        EXPECT_NE(a, c);
        EXPECT_TRUE(u.modelAcf.empty());  // the project's model ACF is left alone
    }
}

// A fractionally integrated path is sigma·L·z with L the Cholesky factor of the model's
// covariance matrix (R's chol(toeplitz(gamma)) for the same z), and the residuals of that path
// give back z.
TEST(DurbinLevinsonPath, MatchesCholeskyFactorOfR)
{
    const ReferenceTable table = ReadReferenceTable("fractional_simulation_reference.csv");
    ASSERT_FALSE(table.rows.empty());
    std::map<std::string, std::vector<size_t>> models;
    for (size_t r = 0; r < table.rows.size(); ++r) models[table.Text(r, "model")].push_back(r);
    ASSERT_EQ(models.size(), 3u);
    for (const auto& [name, rows] : models) {
        SCOPED_TRACE(name);
        const size_t r0 = rows.front();
        UnivariateFields u;
        const std::vector<double> phi = table.List(r0, "phi"), theta = table.List(r0, "theta");
        u.p = static_cast<int32_t>(phi.size());
        u.q = static_cast<int32_t>(theta.size());
        for (size_t j = 0; j < phi.size(); ++j) u.phi[j + 1] = phi[j];
        for (size_t j = 0; j < theta.size(); ++j) u.theta[j + 1] = theta[j];
        u.fracIntegrated = 1;
        u.d = table.Number(r0, "d");
        u.M = table.Integer(r0, "M");
        const double sigma2 = table.Number(r0, "sigma2");
        const int32_t m = static_cast<int32_t>(rows.size());
        u.modelAcfLags = m - 1;
        ASSERT_EQ(FracArmaAcvf(u), 1);
        std::vector<double> gamma, z, want;
        for (size_t r : rows) {
            z.push_back(table.Number(r, "z"));
            want.push_back(table.Number(r, "x"));
        }
        for (int32_t h = 0; h < m; ++h) {
            gamma.push_back(u.modelAcf[static_cast<size_t>(h)] * u.modelGamma0);
            const double want0 = table.Number(rows[0], "gamma");
            EXPECT_NEAR(gamma.back(), table.Number(rows[static_cast<size_t>(h)], "gamma"), 1e-10 * want0) << h;
        }
        std::vector<double> x;
        ASSERT_EQ(DurbinLevinsonPath(gamma, z, sigma2, x), 1);
        ASSERT_EQ(x.size(), want.size());
        for (size_t t = 0; t < x.size(); ++t) EXPECT_NEAR(x[t], want[t], 1e-9) << t;

        std::vector<double> resid;
        ASSERT_EQ(DurbinLevinsonResiduals(gamma, x, resid), 1);
        for (size_t t = 0; t < z.size(); ++t) EXPECT_NEAR(resid[t] / std::sqrt(sigma2), z[t], 1e-9) << t;
    }
}

TEST(DurbinLevinsonPath, RefusesWhatItCannotUse)
{
    std::vector<double> x = {7.0};
    EXPECT_EQ(DurbinLevinsonPath({1.0, 0.5}, {1.0, 2.0, 3.0}, 1.0, x), 0);  // too few lags
    EXPECT_EQ(DurbinLevinsonPath({1.0, 1.0, 1.0}, {1.0, 2.0, 3.0}, 1.0, x), 0);  // singular
    EXPECT_EQ(DurbinLevinsonPath({0.0}, {1.0}, 1.0, x), 0);
    EXPECT_EQ(DurbinLevinsonPath({1.0}, {}, 1.0, x), 0);
    EXPECT_EQ(DurbinLevinsonPath({1.0}, {1.0}, 0.0, x), 0);
    EXPECT_EQ(x, std::vector<double>{7.0});
}

// The components are added to a fixed X in order: regression trend, mean, classical components,
// Box-Cox; each case against a direct computation on a 12-point project.
TEST(AddSimulationComponents, AddsInOrder)
{
    constexpr int32_t n = 12;
    std::vector<double> X;
    for (int32_t t = 1; t <= n; ++t) X.push_back(0.3 * std::cos(1.3 * t) - 0.1);
    const double mean = 0.75;
    const double c[3] = {0.5, -0.2, 0.03};
    const double seasonal[4] = {1.0, -2.0, 0.5, 0.5};
    const auto poly = [&](double t) { return c[0] + c[1] * t + c[2] * t * t; };
    struct Case {
        const char* name;
        std::function<void(UnivariateProject&, SimulationChoice&)> setUp;
        std::function<double(double x, double t)> expected;
    };
    const Case cases[] = {
        {"mean only", [](UnivariateProject&, SimulationChoice&) {}, [&](double x, double) { return x + mean; }},
        {"unchecked boxes add nothing but the mean",
         [&](UnivariateProject& u, SimulationChoice& s) {
             Push(u, TRANSFORM_BOX_COX).lambda = 0.0;
             TransformNode& node = Push(u, TRANSFORM_CLASSICAL);
             node.period = 4;
             node.seasonal.assign(seasonal, seasonal + 4);
             s.addSeasonal = s.addBoxCox = false;
         },
         [&](double x, double) { return x + mean; }},
        {"seasonal components and polynomial",
         [&](UnivariateProject& u, SimulationChoice&) {
             TransformNode& node = Push(u, TRANSFORM_CLASSICAL);
             node.period = 4;
             node.seasonal.assign(seasonal, seasonal + 4);
             node.degree = 2;
             std::copy(c, c + 3, node.polyCoef);
         },
         [&](double x, double t) { return x + mean + seasonal[(static_cast<int>(t) - 1) % 4] + poly(t); }},
        {"trend-only node adds its polynomial alone",
         [&](UnivariateProject& u, SimulationChoice&) {
             TransformNode& node = Push(u, TRANSFORM_CLASSICAL);
             node.period = -1;
             node.degree = 2;
             std::copy(c, c + 3, node.polyCoef);
         },
         [&](double x, double t) { return x + mean + poly(t); }},
        {"harmonics with level and polynomial",
         [&](UnivariateProject& u, SimulationChoice&) {
             TransformNode& node = Push(u, TRANSFORM_HARMONIC);
             node.harmonics = 2;
             node.fourierIndex[0] = 1;
             node.fourierIndex[1] = 3;
             node.cosCoef[0] = 2.0;
             node.sinCoef[0] = -1.0;
             node.cosCoef[1] = 0.5;
             node.sinCoef[1] = 4.0;
             node.level = 3.0;
             node.degree = 1;
             std::copy(c, c + 3, node.polyCoef);
         },
         [&](double x, double t) {
             const double w = kTwoPi / n;
             const double h = (2.0 * std::cos(w * t) - std::sin(w * t) + 0.5 * std::cos(3 * w * t) +
                               4.0 * std::sin(3 * w * t)) * 2.0 / n;
             return x + mean + h + 3.0 + poly(t);
         }},
        {"Box-Cox lambda 0 exponentiates",
         [](UnivariateProject& u, SimulationChoice&) { Push(u, TRANSFORM_BOX_COX).lambda = 0.0; },
         [&](double x, double) { return std::exp(x + mean); }},
        {"Box-Cox base below 0 gives 0",
         [](UnivariateProject& u, SimulationChoice& s) {
             Push(u, TRANSFORM_BOX_COX).lambda = 2.0;
             s.mean = -0.9;  // 2(X - 0.9) + 1 is below 0 where X < 0.4
         },
         [](double x, double) {
             const double base = 2.0 * (x - 0.9) + 1.0;
             return base > 0.0 ? std::sqrt(base) : 0.0;
         }},
        {"the oldest Box-Cox node supplies lambda",
         [](UnivariateProject& u, SimulationChoice&) {
             Push(u, TRANSFORM_BOX_COX).lambda = 0.0;
             Push(u, TRANSFORM_BOX_COX).lambda = 0.5;
         },
         [&](double x, double) { return std::exp(x + mean); }},
        {"seasonal components before Box-Cox",
         [&](UnivariateProject& u, SimulationChoice&) {
             Push(u, TRANSFORM_BOX_COX).lambda = 0.5;
             TransformNode& node = Push(u, TRANSFORM_CLASSICAL);
             node.period = 4;
             node.seasonal.assign(seasonal, seasonal + 4);
             node.degree = 0;
         },
         [&](double x, double t) {
             const double y = x + mean + seasonal[(static_cast<int>(t) - 1) % 4];
             return std::pow(0.5 * y + 1.0, 2.0);
         }},
        {"regression trend, then the rest",
         [&](UnivariateProject& u, SimulationChoice& s) {
             u.regressionPresent = 1;
             u.intercept = 1;
             u.polynomialDegree = 1;
             u.harmonicCount = 1;
             u.fourierIndex[1] = 2;
             u.auxPresent = 1;
             u.auxVariables.rows = n;
             u.auxVariables.cols = 1;
             for (int32_t t = 1; t <= n; ++t) u.auxVariables.values.push_back(t % 3);
             u.trendCoefficients = {1.5, 0.25, -0.5, 2.0, 0.1};
             s.addRegression = true;
             Push(u, TRANSFORM_BOX_COX).lambda = 0.0;
         },
         [&](double x, double t) {
             const double a = kTwoPi * 2 * t / n;
             const double trend = 1.5 + 0.25 * t - 0.5 * std::cos(a) + 2.0 * std::sin(a) +
                                  0.1 * (static_cast<int>(t) % 3);
             return std::exp(x + trend + mean);
         }},
        {"regression without intercept starts at t^1",
         [&](UnivariateProject& u, SimulationChoice& s) {
             u.regressionPresent = 1;
             u.intercept = 0;
             u.polynomialDegree = 2;
             u.trendCoefficients = {0.25, -0.01};
             s.addRegression = true;
         },
         [&](double x, double t) { return x + 0.25 * t - 0.01 * t * t + mean; }},
        {"a trend present but not chosen leaves the model output",
         [&](UnivariateProject& u, SimulationChoice& s) {
             u.regressionPresent = 1;
             u.trendCoefficients = {1.0};
             s.addRegression = false;
             Push(u, TRANSFORM_BOX_COX).lambda = 0.0;
             TransformNode& node = Push(u, TRANSFORM_CLASSICAL);
             node.period = -1;
             std::copy(c, c + 3, node.polyCoef);
         },
         [](double x, double) { return x; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        UnivariateProject u;
        Load(u, n);
        SimulationChoice choice;
        choice.mean = mean;
        choice.addSeasonal = choice.addBoxCox = true;
        k.setUp(u, choice);
        std::vector<double> x = X;
        ASSERT_EQ(AddSimulationComponents(u, GatherSimulationComponents(u), choice, x), 1);
        for (int32_t t = 1; t <= n; ++t) {
            const double xt = X[static_cast<size_t>(t - 1)];
            EXPECT_NEAR(x[static_cast<size_t>(t - 1)], k.expected(xt, t), 1e-12) << "t = " << t;
        }
    }
}

// What the dialog proposes: the stack's components, the newest node's mean, n or 100.
TEST(GatherSimulationComponents, Defaults)
{
    UnivariateProject u;
    SimulationComponents empty = GatherSimulationComponents(u);
    EXPECT_EQ(empty.length, 100);
    EXPECT_EQ(empty.mean, 0.0);
    EXPECT_FALSE(empty.harmonicNode || empty.seasonalNode || empty.boxCoxNode);
    Load(u, 30);
    Push(u, TRANSFORM_BOX_COX).lambda = 0.3;
    Push(u, TRANSFORM_SUBTRACT_MEAN).mean = 4.5;
    u.regressionPresent = 1;
    const SimulationComponents c = GatherSimulationComponents(u);
    EXPECT_EQ(c.length, 30);
    EXPECT_EQ(c.mean, 4.5);
    EXPECT_TRUE(c.boxCoxNode);
    EXPECT_EQ(c.lambda, 0.3);
    EXPECT_EQ(c.regressionPresent, 1);
}

// The checks at OK, in the dialog's order, with their messages; "" accepts.
TEST(ReadSimulationChoice, ChecksEntries)
{
    UnivariateProject arma;
    arma.p = 1;
    arma.phi[1] = 0.5;
    arma.q = 3;
    arma.theta[1] = arma.theta[2] = arma.theta[3] = 0.2;
    UnivariateProject explosive;
    explosive.p = 1;
    explosive.phi[1] = 1.5;
    UnivariateProject longMemory;
    longMemory.fracIntegrated = 1;
    longMemory.d = 0.3;
    UnivariateProject badD;
    badD.fracIntegrated = 1;
    badD.d = 0.6;
    UnivariateProject halfD, belowHalfD, minusHalfD;
    halfD.fracIntegrated = belowHalfD.fracIntegrated = minusHalfD.fracIntegrated = 1;
    halfD.d = 0.5;
    belowHalfD.d = std::nextafter(0.5, 0.0);
    minusHalfD.d = -0.5;
    struct Case {
        const UnivariateProject* project;
        const char* m;
        const char* sigma2;
        std::string message;
    };
    const std::string tooMany = " Number of observations must be at most 1000000";
    const Case cases[] = {
        {&arma, "0", "1", " Number of observations must be > 0"},
        {&arma, "-5", "1", " Number of observations must be > 0"},
        {&arma, "abc", "1", " Number of observations \"abc\" is not a number."},
        {&arma, "99999999999", "1", tooMany},
        {&arma, "1000001", "1", tooMany},
        {&arma, "100", "0", " WN Variance must be postive"},
        {&arma, "100", "-1", " WN Variance must be postive"},
        {&arma, "100", "nan", " WN Variance \"nan\" is not a finite number."},
        {&arma, "100", "0,5", " WN Variance \"0,5\" has a decimal comma: type a decimal point."},
        {&arma, "1.5", "1", " Number of observations \"1.5\" is not a whole number."},
        {&arma, "5", "1", " Number of observations must be at least 2*max(p,q) = 6 for this model"},
        {&arma, "6", "1", ""},
        {&explosive, "100", "1", "The model is not causal: it cannot be simulated."},
        {&longMemory, "50001",  "1",
         " Number of observations of a fractionally integrated model must be at most 50000"},
        {&longMemory, "3", "1", ""},
        {&badD, "100", "1", "The fractional parameter d must lie between -0.5 and 0.5."},
        {&halfD, "100", "1", "The fractional parameter d must lie between -0.5 and 0.5."},
        {&minusHalfD, "100", "1", "The fractional parameter d must lie between -0.5 and 0.5."},
        {&belowHalfD, "100", "1", ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.m);
        SimulationChoice choice;
        EXPECT_EQ(Read(*k.project, choice, k.m, k.sigma2), k.message);
    }
    SimulationChoice choice;
    EXPECT_EQ(Read(arma, choice, "120", "2.5", "99", "-3.25"), "");
    EXPECT_EQ(choice.m, 120);
    EXPECT_EQ(choice.sigma2, 2.5);
    EXPECT_EQ(choice.seed, 99);
    EXPECT_EQ(choice.mean, -3.25);
    EXPECT_EQ(Read(arma, choice, "120", "1", "x"), " Seed \"x\" is not a number.");
    EXPECT_EQ(Read(arma, choice, "120", "1", "1", "inf"), " Mean \"inf\" is not a finite number.");
}

// Auxiliary regression variables bound the length: with n = 120, 121 is refused and 120 runs;
// without the trend chosen the bound does not apply.
TEST(ReadSimulationChoice, AuxiliaryVariablesBoundTheLength)
{
    UnivariateProject u;
    Load(u, 120);
    u.regressionPresent = 1;
    u.intercept = 1;
    u.polynomialDegree = 0;
    u.auxPresent = 1;
    u.auxVariables.rows = 120;
    u.auxVariables.cols = 1;
    u.auxVariables.values.assign(120, 1.0);
    u.trendCoefficients = {2.0, 0.5};
    SimulationChoice choice;
    choice.addRegression = true;
    EXPECT_EQ(Read(u, choice, "121"),
              " Cannot simulate beyond the length of the auxiliary variables in regression function.");
    ASSERT_EQ(Read(u, choice, "120"), "");
    std::vector<double> x;
    std::string message;
    ASSERT_EQ(SimulateSeries(u, choice, x, message), 1) << message;
    ASSERT_EQ(x.size(), 120u);
    choice.addRegression = false;
    EXPECT_EQ(Read(u, choice, "121"), "");
    // A trend whose coefficients are missing is not added.
    choice.addRegression = true;
    u.trendCoefficients = {2.0};
    EXPECT_EQ(Read(u, choice, "100"), "The regression trend has no usable coefficients: it cannot be added to the series.");
}

// A new record carries the simulated series, the model with the chosen variance, its
// constraints and long-memory settings, and the residuals of the model on the new series.
TEST(BuildSimulatedRecord, CarriesModelConstraintsAndResiduals)
{
    UnivariateProject u;
    Load(u, 50);
    u.p = 2;
    u.phi[1] = 0.4;
    u.phi[2] = -0.2;
    u.q = 1;
    u.theta[1] = 0.3;
    u.numFree = 2;
    u.freeIndex[1] = 1;
    u.freeIndex[2] = 3;
    u.relationCount = 1;
    u.relations[1][1] = 1;
    u.relations[1][2] = 3;
    u.relations[1][3] = 2;
    u.M = 70;
    u.fiStep = 0.05;
    u.wnVariance = 9.0;
    Push(u, TRANSFORM_SUBTRACT_MEAN).mean = 2.0;
    SimulationChoice choice;
    choice.m = 80;
    choice.sigma2 = 2.0;
    std::vector<double> x;
    std::string message;
    ASSERT_EQ(SimulateSeries(u, choice, x, message), 1) << message;
    UnivariateProject record;
    ASSERT_EQ(BuildSimulatedRecord(u, x, choice.sigma2, record), 1);
    EXPECT_EQ(record.inUse, 1);
    EXPECT_EQ(record.n, 80);
    EXPECT_EQ(record.firstIndex, 1);
    EXPECT_EQ(record.lastIndex, 80);
    EXPECT_EQ(record.series, x);
    EXPECT_EQ(record.originalSeries, x);
    EXPECT_EQ(record.wnVariance, 2.0);
    EXPECT_EQ(record.p, 2);
    EXPECT_EQ(record.phi[2], -0.2);
    EXPECT_EQ(record.q, 1);
    EXPECT_EQ(record.theta[1], 0.3);
    EXPECT_EQ(record.numFree, 2);
    EXPECT_EQ(record.freeIndex[2], 3);
    EXPECT_EQ(record.relationCount, 1);
    EXPECT_EQ(record.relations[1][3], 2);
    EXPECT_EQ(record.M, 70);
    EXPECT_EQ(record.fiStep, 0.05);
    EXPECT_EQ(record.transforms, nullptr);
    ASSERT_EQ(record.residuals.size(), 80u);
    UnivariateFields check;
    check.p = 2;
    check.phi[1] = 0.4;
    check.phi[2] = -0.2;
    check.q = 1;
    check.theta[1] = 0.3;
    check.series = x;
    check.n = 80;
    ASSERT_EQ(ComputeResiduals(check), 1);
    EXPECT_EQ(record.residuals, check.residuals);
}

// Import replaces the data as any load does: the stack and the regression go, the model and its
// variance stay, so Undo cannot reach the new data with nodes of the old.
TEST(ImportSimulatedSeries, LeavesModelOnly)
{
    UnivariateProject u;
    Load(u, 40);
    u.p = 1;
    u.phi[1] = 0.5;
    u.wnVariance = 3.0;
    Push(u, TRANSFORM_DIFFERENCE).removed = {1.0};
    Push(u, TRANSFORM_SUBSEQUENCE).head = {1.0, 2.0};
    u.regressionPresent = 1;
    u.regressionSpecified = 1;
    u.trendCoefficients = {1.0};
    u.trendValues.assign(40, 1.0);
    const std::vector<double> x(25, 0.5);
    ASSERT_EQ(ImportSimulatedSeries(u, x), 1);
    EXPECT_EQ(u.transforms, nullptr);
    EXPECT_EQ(u.regressionPresent, 0);
    EXPECT_TRUE(u.trendCoefficients.empty());
    EXPECT_TRUE(u.trendValues.empty());
    EXPECT_EQ(u.series, x);
    EXPECT_EQ(u.originalSeries, x);
    EXPECT_EQ(u.n, 25);
    EXPECT_EQ(u.firstIndex, 1);
    EXPECT_EQ(u.lastIndex, 25);
    EXPECT_EQ(u.p, 1);
    EXPECT_EQ(u.phi[1], 0.5);
    EXPECT_EQ(u.wnVariance, 3.0);
    EXPECT_EQ(u.residuals.size(), 25u);
}
