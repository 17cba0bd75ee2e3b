#include "univariate/switch_invertible.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/unit/evaluation_fixtures.h"
#include "tests/unit/reference_table.h"
#include "univariate/residuals.h"
#include "univariate/statistics.h"

namespace {

// A pure MA(q) model on the MA(2) reference series, its residuals computed as the refresh does.
UnivariateFields MaProject(const std::vector<double>& theta)
{
    UnivariateFields u;
    u.series = ReferenceSeries("ma2", "evaluation_series.csv");
    u.n = static_cast<int32_t>(u.series.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
    u.q = static_cast<int32_t>(theta.size());
    for (int32_t j = 1; j <= u.q; ++j) u.theta[j] = theta[j - 1];
    u.numFree = u.q;
    for (int32_t j = 1; j <= u.q; ++j) u.freeIndex[j] = j;
    u.wnVariance = 1.7;
    EXPECT_EQ(ComputeResiduals(u), 1);
    return u;
}

// The airline MA(13): theta13 = theta1·theta12 by a relation, stored as 0 as before the first
// evaluation; p AR coefficients come first.
UnivariateFields Airline(double theta1, double theta12, std::vector<double> phi = {})
{
    std::vector<double> theta(13, 0.0);
    theta[0] = theta1;
    theta[11] = theta12;
    UnivariateFields u = MaProject(theta);
    const int32_t p = static_cast<int32_t>(phi.size());
    u.p = p;
    for (int32_t i = 1; i <= p; ++i) u.phi[i] = phi[i - 1];
    u.relationCount = 1;
    u.relations[1][1] = p + 13;
    u.relations[1][2] = p + 1;
    u.relations[1][3] = p + 12;
    u.numFree = p + 2;
    for (int32_t i = 1; i <= p; ++i) u.freeIndex[i] = i;
    u.freeIndex[p + 1] = p + 1;
    u.freeIndex[p + 2] = p + 12;
    u.freeIndex[p + 3] = p + 13;
    return u;
}

// gamma(0..modelAcfLags) of the model as the model ACF view has it.
std::vector<double> Autocovariances(const UnivariateFields& u)
{
    std::vector<double> gamma = u.modelAcf;
    for (double& g : gamma) g *= u.modelGamma0;
    return gamma;
}

}  // namespace

// theta = 2 becomes 0.5 and the noise variance grows fourfold; MA(2) models with one or both
// roots inside the unit circle, and a multiplicative MA(5), match R's polyroot with those roots
// reflected, the variance growing by 1/|r|^2 for each. So do models with zeros just inside the
// circle, where the innovations recursion stops at its cap before it settles (it once gave
// 0.999545 for 1/1.00001): MA(1) with theta just above 1 (1/theta and 1.7·theta^2 to 1e-9), an
// MA(2) with a complex pair of modulus 0.999, and airline MA(13) models with either factor just
// past the circle. And models with multiple or clustered zeros, to 1e-10: (1 - 2B)^4 once gave
// theta1 -2.000028548 and the variance 255.990977743 times, for -2 and 256.
TEST(SwitchToInvertible, ReflectsTheRootsInsideTheUnitCircle)
{
    const ReferenceTable t = ReadReferenceTable("switch_reference.csv");
    ASSERT_EQ(t.rows.size(), 17u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        SCOPED_TRACE(t.Text(r, "id"));
        const std::vector<double> theta = t.List(r, "theta");
        UnivariateFields u = MaProject(theta);
        const double s0 = u.residualSsPerN;
        ASSERT_EQ(SwitchModelToInvertible(u), SWITCH_DONE);
        const std::vector<double> want = t.List(r, "invertible");
        for (int32_t j = 1; j <= u.q; ++j) EXPECT_NEAR(u.theta[j], want[j - 1], 1e-10) << j;
        EXPECT_NEAR(u.wnVariance / (1.7 * t.Number(r, "factor")), 1.0, 1e-10);
        if (theta.size() == 1) {
            EXPECT_NEAR(u.theta[1], 1.0 / theta[0], 1e-9);
            EXPECT_NEAR(u.wnVariance, 1.7 * theta[0] * theta[0], 1e-9);
        }
        EXPECT_NEAR(u.residualSsPerN / (s0 * t.Number(r, "factor")), 1.0, 1e-4);
        // The new model's residuals are those of the old one scaled by the root factor.
        UnivariateFields check = u;
        ASSERT_EQ(ComputeResiduals(check), 1);
        EXPECT_NEAR(check.residualSsPerN, u.residualSsPerN, 1e-12);
    }
}

// The switch keeps the model's autocovariance function at every lag, whether or not the project
// has data (and whether or not its residuals were computed before), for pure and mixed models
// and a multiplicative one whose MA relation the switch drops.
TEST(SwitchToInvertible, KeepsTheModelAutocovariances)
{
    struct Case {
        const char* name;
        std::vector<double> phi, theta;
        std::vector<int32_t> relation;  // (a, b, d): c(a) = c(b)·c(d)
    };
    const Case cases[] = {
        {"MA(1) theta 2", {}, {2.0}, {}},
        {"MA(2) with one root inside", {}, {-1.65, 0.5}, {}},
        {"MA(2) with both roots inside", {}, {0.5, 1.5}, {}},
        {"ARMA(1,1) theta 2", {0.5}, {2.0}, {}},
        {"ARMA(2,2) with one root inside", {0.4, -0.3}, {-1.65, 0.5}, {}},
        {"(1 + 2B)(1 + 0.4B^4)", {}, {2.0, 0.0, 0.0, 0.4, 0.8}, {5, 1, 4}},
    };
    enum Data { NONE, RESIDUALS, NO_RESIDUALS_YET };
    for (const Case& c : cases) {
        for (Data data : {NONE, RESIDUALS, NO_RESIDUALS_YET}) {
            SCOPED_TRACE(std::string(c.name) + (data == NONE ? ", no data" : data == RESIDUALS ? ", data" : ", data, no residuals"));
            UnivariateFields u = MaProject(c.theta);
            u.p = static_cast<int32_t>(c.phi.size());
            for (int32_t i = 1; i <= u.p; ++i) u.phi[i] = c.phi[i - 1];
            for (int32_t j = 1; j <= u.q; ++j) u.freeIndex[u.p + j] = u.p + j;
            for (int32_t i = 1; i <= u.p; ++i) u.freeIndex[i] = i;
            u.numFree = u.p + u.q;
            if (!c.relation.empty()) {
                u.relationCount = 1;
                for (int k = 0; k < 3; ++k) u.relations[1][k + 1] = u.p + c.relation[k];
                u.numFree -= 1;  // the target, last in freeIndex, is no free coefficient
            }
            if (data == NONE) {
                u.series.clear();
                u.n = u.firstIndex = u.lastIndex = 0;
                u.residualSsPerN = 0.0;
            }
            if (data == NO_RESIDUALS_YET) u.residualSsPerN = 0.0;
            u.modelAcfLags = 30;
            ASSERT_EQ(ComputeModelAcf(u), 1);
            const std::vector<double> before = Autocovariances(u);
            const double s0 = u.residualSsPerN;

            ASSERT_EQ(SwitchModelToInvertible(u), data == NONE ? SWITCH_NOT_EVALUATED : SWITCH_DONE);
            EXPECT_EQ(u.relationCount, 0);
            ASSERT_EQ(ComputeModelAcf(u), 1);
            const std::vector<double> after = Autocovariances(u);
            for (size_t h = 0; h < before.size(); ++h) EXPECT_NEAR(after[h], before[h], 1e-6 * before[0]) << "lag " << h;

            if (data == NONE) {
                EXPECT_EQ(u.residualSsPerN, s0);
            } else {
                UnivariateFields check = u;
                ASSERT_EQ(ComputeResiduals(check), 1);
                EXPECT_NEAR(u.residualSsPerN / check.residualSsPerN, 1.0, 1e-12);
            }
        }
    }
}

// An invertible model: nothing changes (the command then says so).
TEST(SwitchToInvertible, InvertibleModelIsLeftAlone)
{
    for (const std::vector<double>& theta : {std::vector<double>{0.5}, std::vector<double>{}, std::vector<double>{0.3, -0.2}}) {
        UnivariateFields u = MaProject(theta);
        const double variance = u.wnVariance, ss = u.residualSsPerN;
        EXPECT_EQ(SwitchModelToInvertible(u), SWITCH_ALREADY_INVERTIBLE);
        for (size_t j = 1; j <= theta.size(); ++j) EXPECT_EQ(u.theta[j], theta[j - 1]);
        EXPECT_EQ(u.wnVariance, variance);
        EXPECT_EQ(u.residualSsPerN, ss);
    }
}

// Invertibility belongs to the model the relations make, not to the coefficients as stored: an
// airline MA part with theta13 still 0 has a root of modulus 0.9987 on its own, but
// (1 - 0.4B)(1 - 0.61B^12) is invertible; and a model switched with its target stored as 0 is
// switched as the one with the target already set.
TEST(SwitchToInvertible, JudgesTheModelItsRelationsMake)
{
    auto airline = [](double theta1, double theta12, double theta13) {
        UnivariateFields u = Airline(theta1, theta12);
        u.theta[13] = theta13;
        return u;
    };
    UnivariateFields invertible = airline(-0.4, -0.61, 0.0);
    EXPECT_EQ(SwitchModelToInvertible(invertible), SWITCH_ALREADY_INVERTIBLE);
    EXPECT_EQ(invertible.theta[1], -0.4);
    EXPECT_EQ(invertible.theta[12], -0.61);
    EXPECT_EQ(invertible.wnVariance, 1.7);

    UnivariateFields stored = airline(2.0, -0.61, 0.0), set = airline(2.0, -0.61, 2.0 * -0.61);
    ASSERT_EQ(SwitchModelToInvertible(stored), SWITCH_DONE);
    ASSERT_EQ(SwitchModelToInvertible(set), SWITCH_DONE);
    for (int32_t j = 1; j <= 13; ++j) EXPECT_NEAR(stored.theta[j], set.theta[j], 1e-9) << j;
    EXPECT_NEAR(stored.wnVariance / set.wnVariance, 1.0, 1e-9);
}

// Every outcome but a switch leaves the model as stored: each coefficient (a relation target
// stored as 0 included, although the switch judged the model the relation makes), the noise
// variance and the residual variance. A root on the unit circle is its own reflection: no
// invertible model has those autocovariances (the recursion once stopped at its cap, at
// theta1 = 0.99955 for theta1 = 1); zeros between the frequencies of the search grid are found
// too, and an airline model refused for theta1 = 1 keeps its theta13 stored as 0.
TEST(SwitchToInvertible, RefusalsChangeNothing)
{
    struct Case {
        const char* name;
        UnivariateFields u;
        SwitchOutcome want;
    };
    UnivariateFields noncausal = MaProject({2.0});
    noncausal.p = 1;
    noncausal.phi[1] = 1.1;
    UnivariateFields huge = MaProject({2.0});
    huge.wnVariance = 1e308;  // would overflow once rescaled
    UnivariateFields unitArma = MaProject({1.0});
    unitArma.p = 1;
    unitArma.phi[1] = 0.5;
    const Case cases[] = {
        {"AR part not causal", noncausal, SWITCH_NOT_CAUSAL},
        {"theta1 = 1", MaProject({1.0}), SWITCH_UNIT_ROOT},
        {"theta1 = -1", MaProject({-1.0}), SWITCH_UNIT_ROOT},
        {"(1 - B)^2", MaProject({-2.0, 1.0}), SWITCH_UNIT_ROOT},
        {"1 + B^8", MaProject({0, 0, 0, 0, 0, 0, 0, 1.0}), SWITCH_UNIT_ROOT},
        {"(1 + B)(1 + 2B), one root inside", MaProject({3.0, 2.0}), SWITCH_UNIT_ROOT},
        {"ARMA(1,1), theta1 = 1", unitArma, SWITCH_UNIT_ROOT},
        {"1 - 2cos(1)B + B^2, zeros between grid frequencies", MaProject({-2.0 * std::cos(1.0), 1.0}), SWITCH_UNIT_ROOT},
        {"airline, theta1 = 1, theta13 stored as 0", Airline(1.0, -0.61), SWITCH_UNIT_ROOT},
        {"variance out of range", huge, SWITCH_FAILED},
        {"airline, invertible", Airline(-0.4, -0.61), SWITCH_ALREADY_INVERTIBLE},
        {"airline, AR part not causal", Airline(2.0, -0.61, {1.1}), SWITCH_NOT_CAUSAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u = c.u;
        EXPECT_EQ(SwitchModelToInvertible(u), c.want);
        for (int32_t i = 0; i <= 27; ++i) EXPECT_EQ(u.phi[i], c.u.phi[i]) << "phi " << i;
        for (int32_t j = 0; j <= 27; ++j) EXPECT_EQ(u.theta[j], c.u.theta[j]) << "theta " << j;
        EXPECT_EQ(u.wnVariance, c.u.wnVariance);
        EXPECT_EQ(u.residualSsPerN, c.u.residualSsPerN);
        EXPECT_EQ(u.numFree, c.u.numFree);
        EXPECT_EQ(u.relationCount, c.u.relationCount);
    }
}

// The free list after a switch: the AR positions that were free and are no relation's target,
// then every MA position; relations with an MA target are dropped, the targets of the AR ones
// follow the free positions.
TEST(SwitchToInvertible, FreeListTable)
{
    struct Case {
        const char* name;
        int32_t p, q;
        std::vector<int32_t> freeIndex;
        int32_t numFree;
        std::vector<std::vector<int32_t>> relations;
        std::vector<int32_t> wantIndex;
        int32_t wantFree;
        std::vector<std::vector<int32_t>> wantRelations;
    };
    const Case cases[] = {
        {"phi2 fixed keeps phi3", 3, 1, {1, 3, 4}, 3, {}, {1, 3, 4}, 3, {}},
        {"phi2 fixed, phi1 free", 2, 1, {1, 3}, 2, {}, {1, 3}, 2, {}},
        {"fixed MA coefficients become free", 1, 2, {1}, 1, {}, {1, 2, 3}, 3, {}},
        {"nothing free", 2, 2, {}, 0, {}, {3, 4}, 2, {}},
        {"AR relation kept, its target last", 13, 1, {1, 12, 14, 13}, 3, {{13, 1, 12}}, {1, 12, 14, 13}, 3,
         {{13, 1, 12}}},
        {"target listed among the free ones", 13, 1, {1, 12, 13, 14}, 3, {{13, 1, 12}}, {1, 12, 14, 13}, 3,
         {{13, 1, 12}}},
        {"MA relation dropped", 1, 13, {1, 2, 13, 14}, 3, {{14, 2, 13}},
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 14, {}},
        {"AR relation kept, MA relation dropped", 13, 13, {1, 12, 14, 25, 13, 26}, 4, {{13, 1, 12}, {26, 14, 25}},
         {1, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 13}, 15, {{13, 1, 12}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u;
        u.p = c.p, u.q = c.q;
        for (size_t i = 0; i < c.freeIndex.size(); ++i) u.freeIndex[i + 1] = c.freeIndex[i];
        u.numFree = c.numFree;
        u.relationCount = static_cast<int32_t>(c.relations.size());
        for (size_t r = 0; r < c.relations.size(); ++r)
            for (int k = 0; k < 3; ++k) u.relations[r + 1][k + 1] = c.relations[r][k];
        MakeMaFree(u);
        EXPECT_EQ(u.numFree, c.wantFree);
        EXPECT_EQ(std::vector<int32_t>(u.freeIndex + 1, u.freeIndex + 1 + c.wantIndex.size()), c.wantIndex);
        for (size_t i = c.wantIndex.size() + 1; i <= 52; ++i) EXPECT_EQ(u.freeIndex[i], 0);
        ASSERT_EQ(u.relationCount, static_cast<int32_t>(c.wantRelations.size()));
        for (size_t r = 0; r < c.wantRelations.size(); ++r)
            EXPECT_EQ(std::vector<int32_t>(u.relations[r + 1] + 1, u.relations[r + 1] + 4), c.wantRelations[r]);
        for (int32_t r = u.relationCount + 1; r <= 6; ++r)
            EXPECT_EQ(u.relations[r][1] | u.relations[r][2] | u.relations[r][3], 0);
    }
}

// The switch itself rebuilds the free list: phi2 fixed and phi1 free give 1 followed by the MA
// positions.
TEST(SwitchToInvertible, SwitchFreesTheMaPart)
{
    UnivariateFields u = MaProject({2.0});
    u.p = 2;
    u.q = 1;
    u.phi[1] = 0.3;
    u.phi[2] = 0.0;
    u.theta[1] = 2.0;
    u.numFree = 1;
    u.freeIndex[1] = 1;
    u.freeIndex[2] = 0;
    ASSERT_EQ(SwitchModelToInvertible(u), SWITCH_DONE);
    EXPECT_EQ(u.numFree, 2);
    EXPECT_EQ(u.freeIndex[1], 1);
    EXPECT_EQ(u.freeIndex[2], 3);
    EXPECT_EQ(u.phi[1], 0.3);
}
