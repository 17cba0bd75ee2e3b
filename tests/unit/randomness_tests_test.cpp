#include "numerics/randomness_tests.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

struct Result {
    int status = -99;
    int order = -1;
    double qLB = -1.0, qML = -1.0;
    double tp[3] = {}, ds[3] = {}, rk[3] = {};
};

Result Tests(const std::vector<double>& x, int h)
{
    Result r;
    r.status = RandomnessTests(x.data(), static_cast<int>(x.size()), h, r.order, r.qLB, r.qML, r.tp,
                               r.ds, r.rk);
    return r;
}

// Ljung-Box and McLeod-Li against R's Box.test, the counts against direct counts in R, and the
// AICC order against an independent R implementation; the cases include h >= 26 (order search
// capped at 26 while the sums run to h), a 10-point series with h = 9 (search capped at n-3) and
// the 4-point worked example below, whose search may reach order 1 only.
TEST(RandomnessTests, MatchesReference)
{
    const ReferenceTable ref = ReadReferenceTable("randomness_reference.csv");
    ASSERT_GE(ref.rows.size(), 5u);
    for (size_t row = 0; row < ref.rows.size(); ++row) {
        const std::string name = ref.Text(row, "series");
        SCOPED_TRACE(name);
        const std::vector<double> x = ReferenceSeries(name, "randomness_series.csv");
        ASSERT_EQ(static_cast<int>(x.size()), ref.Integer(row, "n"));
        const Result r = Tests(x, ref.Integer(row, "h"));
        EXPECT_NEAR(r.qLB, ref.Number(row, "qLB"), 1e-10 * ref.Number(row, "qLB"));
        EXPECT_NEAR(r.qML, ref.Number(row, "qML"), 1e-10 * ref.Number(row, "qML"));
        EXPECT_EQ(r.order, ref.Integer(row, "order"));
        EXPECT_EQ(r.tp[0], ref.Number(row, "tp"));
        EXPECT_EQ(r.ds[0], ref.Number(row, "ds"));
        EXPECT_EQ(r.rk[0], ref.Number(row, "rk"));
    }
}

TEST(RandomnessTests, CountingTestsWorkedExampleAndTies)
{
    const Result r = Tests({1.0, 3.0, 2.0, 4.0}, 1);
    EXPECT_EQ(r.tp[0], 2.0);
    EXPECT_DOUBLE_EQ(r.tp[1], 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(r.tp[2], std::sqrt(35.0 / 90.0));
    EXPECT_EQ(r.ds[0], 2.0);
    EXPECT_DOUBLE_EQ(r.ds[1], 1.5);
    EXPECT_DOUBLE_EQ(r.ds[2], std::sqrt(5.0 / 12.0));
    EXPECT_EQ(r.rk[0], 5.0);
    EXPECT_DOUBLE_EQ(r.rk[1], 3.0);
    EXPECT_DOUBLE_EQ(r.rk[2], std::sqrt(156.0 / 72.0));
    // Its AICC order is checked against R with the reference series ("worked4").

    // Equal neighbours are neither turns nor rises; equal pairs do not count as increasing.
    const Result ties = Tests({1.0, 1.0, 2.0, 2.0, 1.0, 3.0}, 2);
    EXPECT_EQ(ties.tp[0], 1.0);  // only x(5) = 1 between 2 and 3
    EXPECT_EQ(ties.ds[0], 2.0);  // 1 -> 2 and 1 -> 3
    EXPECT_EQ(ties.rk[0], 9.0);
}

// The counts against the definitions, pair by pair, on series with ties of every kind: equal
// neighbours, long constant stretches, repeated values far apart, both signs of zero, and
// monotone runs.
TEST(RandomnessTests, CountsEqualTheDirectCounts)
{
    std::mt19937_64 generator(1108);
    std::uniform_int_distribution<int> level(-3, 3);
    std::vector<double> rounded(300), sawtooth(120), rising(64), falling(64), plateaus(90);
    for (double& v : rounded) v = 0.5 * level(generator);
    for (size_t t = 0; t < sawtooth.size(); ++t) sawtooth[t] = static_cast<double>(t % 7) - 3.0;
    for (size_t t = 0; t < rising.size(); ++t) rising[t] = std::sqrt(static_cast<double>(t));
    for (size_t t = 0; t < falling.size(); ++t) falling[t] = -static_cast<double>(t);
    for (size_t t = 0; t < plateaus.size(); ++t) plateaus[t] = static_cast<double>((t / 10) % 3);
    const struct {
        const char* name;
        std::vector<double> x;
    } fixtures[] = {
        {"three", {1.0, 2.0, 3.0}},
        {"equal neighbours", {2.0, 2.0, 1.0, 1.0, 3.0, 3.0, 2.0, 2.0, 1.0}},
        {"signed zeros", {0.0, -0.0, 1.0, -0.0, 0.0, -1.0, 0.0}},
        {"rounded noise", rounded},
        {"sawtooth", sawtooth},
        {"rising", rising},
        {"falling", falling},
        {"plateaus", plateaus},
    };
    for (const auto& f : fixtures) {
        SCOPED_TRACE(f.name);
        const std::vector<double>& x = f.x;
        const size_t n = x.size();
        double pairs = 0, turns = 0, rises = 0;
        for (size_t i = 0; i < n; ++i)
            for (size_t j = i + 1; j < n; ++j)
                if (x[i] < x[j]) ++pairs;
        for (size_t i = 1; i + 1 < n; ++i)
            if ((x[i - 1] < x[i] && x[i] > x[i + 1]) || (x[i - 1] > x[i] && x[i] < x[i + 1])) ++turns;
        for (size_t i = 0; i + 1 < n; ++i)
            if (x[i + 1] > x[i]) ++rises;
        const Result r = Tests(x, 1);
        EXPECT_EQ(r.rk[0], pairs);
        EXPECT_EQ(r.tp[0], turns);
        EXPECT_EQ(r.ds[0], rises);
    }
}

// Short series: the default lag (n-1) would let the order search reach n-2 or n-1, where the
// AICC penalty divides by zero or turns negative. The search stops at n-3 and is skipped for
// n = 3; lags of n or more add nothing to the portmanteau sums.
TEST(RandomnessTests, ShortSeriesStayFinite)
{
    const std::vector<double> x = {0.3, -1.2, 0.8, 1.5, -0.4, 0.9};
    for (int h : {5, 26, 40}) {
        SCOPED_TRACE(h);
        const Result r = Tests(x, h);
        EXPECT_TRUE(std::isfinite(r.qLB));
        EXPECT_TRUE(std::isfinite(r.qML));
        EXPECT_LE(r.order, 3);
        EXPECT_EQ(r.qLB, Tests(x, 5).qLB);
    }
    EXPECT_EQ(Tests({1.0, -2.0, 0.5}, 2).order, 0);
}

TEST(RandomnessTests, ConstantSeriesGivesZeroPortmanteau)
{
    const Result r = Tests(std::vector<double>(12, 2.0), 5);
    EXPECT_EQ(r.qLB, 0.0);
    EXPECT_EQ(r.qML, 0.0);
    EXPECT_EQ(r.tp[0], 0.0);
    EXPECT_EQ(r.ds[0], 0.0);
    EXPECT_EQ(r.rk[0], 0.0);
}

}  // namespace
