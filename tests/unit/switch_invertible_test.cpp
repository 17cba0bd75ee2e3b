#include "univariate/switch_invertible.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/unit/evaluation_fixtures.h"
#include "tests/unit/reference_table.h"
#include "univariate/residuals.h"

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

}  // namespace

// theta = 2 becomes 0.5 and the noise variance grows fourfold; MA(2) models with one or both
// roots inside the unit circle match R's polyroot with those roots reflected, the variance
// growing by 1/|r|^2 for each.
TEST(SwitchToInvertible, ReflectsTheRootsInsideTheUnitCircle)
{
    const ReferenceTable t = ReadReferenceTable("switch_reference.csv");
    ASSERT_EQ(t.rows.size(), 3u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        SCOPED_TRACE(t.Text(r, "id"));
        UnivariateFields u = MaProject(t.List(r, "theta"));
        const double s0 = u.residualSsPerN;
        ASSERT_EQ(SwitchModelToInvertible(u), SWITCH_DONE);
        const std::vector<double> want = t.List(r, "invertible");
        for (int32_t j = 1; j <= u.q; ++j) EXPECT_NEAR(u.theta[j], want[j - 1], 1e-6) << j;
        EXPECT_NEAR(u.wnVariance / (1.7 * t.Number(r, "factor")), 1.0, 1e-4);
        EXPECT_NEAR(u.residualSsPerN / (s0 * t.Number(r, "factor")), 1.0, 1e-4);
        // The new model's residuals are those of the old one scaled by the root factor.
        UnivariateFields check = u;
        ASSERT_EQ(ComputeResiduals(check), 1);
        EXPECT_NEAR(check.residualSsPerN, u.residualSsPerN, 1e-12);
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

// Without data, or without a residual variance of the old model, theta is replaced but nothing
// is evaluated: the variances stay as they were. A non-causal AR part keeps theta.
TEST(SwitchToInvertible, NothingToRescale)
{
    UnivariateFields empty;
    empty.q = 1;
    empty.theta[1] = 2.0;
    empty.wnVariance = 1.3;
    empty.residualSsPerN = 0.9;
    EXPECT_EQ(SwitchModelToInvertible(empty), SWITCH_NOT_EVALUATED);
    EXPECT_NEAR(empty.theta[1], 0.5, 1e-9);
    EXPECT_EQ(empty.wnVariance, 1.3);
    EXPECT_EQ(empty.residualSsPerN, 0.9);

    UnivariateFields unscaled = MaProject({2.0});
    unscaled.residualSsPerN = 0.0;
    EXPECT_EQ(SwitchModelToInvertible(unscaled), SWITCH_NOT_EVALUATED);
    EXPECT_NEAR(unscaled.theta[1], 0.5, 1e-9);
    EXPECT_EQ(unscaled.wnVariance, 1.7);
    EXPECT_EQ(unscaled.residualSsPerN, 0.0);

    UnivariateFields noncausal = MaProject({2.0});
    noncausal.p = 1;
    noncausal.phi[1] = 1.1;
    EXPECT_EQ(SwitchModelToInvertible(noncausal), SWITCH_NOT_CAUSAL);
    EXPECT_EQ(noncausal.theta[1], 2.0);
    EXPECT_EQ(noncausal.wnVariance, 1.7);
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
