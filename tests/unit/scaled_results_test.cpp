#include "numerics/scaled_results.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kNormal = std::numeric_limits<double>::min();

}  // namespace

// The one rule: results come back exactly; values may fall below the smallest normal number,
// positive spreads may not; neither may overflow.
TEST(ScaledResults, ValuesAndSpreads)
{
    struct Case {
        const char* name;
        double x;
        int k, power;
        bool valueKept, spreadKept;
        double want;  // when kept
    };
    const Case cases[] = {
        {"ordinary, scaled up", 0.75, 10, 1, true, true, 0.75 / 1024.0},
        {"ordinary, scaled down", 0.75, -10, 2, true, true, 0.75 * 1048576.0},
        {"zero", 0.0, 1000, 2, true, true, 0.0},
        {"to the smallest normal", 0.5, 1021, 1, true, true, kNormal},
        {"below the smallest normal", 0.5, 1030, 1, true, false, std::ldexp(0.5, -1030)},
        {"below every double", 0.5, 600, 2, true, false, 0.0},
        {"negative, below the smallest normal", -0.5, 1030, 1, true, true, -std::ldexp(0.5, -1030)},
        {"to the largest double", kMax / 2.0, -1, 1, true, true, kMax},
        {"beyond the largest double", 0.75, -600, 2, false, false, 0.0},
        {"not finite", std::nan(""), 0, 1, false, false, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double value = c.x, spread = c.x;
        EXPECT_EQ(UnscaleValues(&value, 1, c.k, c.power), c.valueKept);
        EXPECT_EQ(UnscaleSpread(spread, c.k, c.power), c.spreadKept);
        if (c.valueKept) { EXPECT_EQ(value, c.want); }
        if (c.spreadKept) { EXPECT_EQ(spread, c.want); }
    }
}

// A covariance takes its diagonal as spreads and the rest as values; the exponent of a factor.
TEST(ScaledResults, CovarianceAndExponent)
{
    std::vector<double> C = {0.5, 1e-300, 1e-300, 0.25};
    ASSERT_TRUE(UnscaleCovariance(2, 4, C.data()));
    EXPECT_EQ(C, (std::vector<double>{0.5 / 256.0, 1e-300 / 256.0, 1e-300 / 256.0, 0.25 / 256.0}));
    std::vector<double> offDiagonalBelow = {0.5, 1e-300, 1e-300, 0.25};
    EXPECT_TRUE(UnscaleCovariance(2, 20, offDiagonalBelow.data()));
    EXPECT_LT(offDiagonalBelow[1], kNormal);
    std::vector<double> diagonalBelow = {1e-300, 0.1, 0.1, 0.25};
    EXPECT_FALSE(UnscaleCovariance(2, 20, diagonalBelow.data()));
    std::vector<double> beyond = {0.5, 0.1, 0.1, 0.25};
    EXPECT_FALSE(UnscaleCovariance(2, -600, beyond.data()));
    for (int k : {-1000, -1, 0, 1, 1000}) EXPECT_EQ(PowerOfTwoExponent(std::ldexp(1.0, k)), k);
}
