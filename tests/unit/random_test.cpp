#include "platform/random.h"
#include "platform/blas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

TEST(Random, MatchesStandardMinimalStandardGenerator)
{
    // std::minstd_rand is the same recursion, so it is an independent reference.
    std::minstd_rand reference(12345);
    double u = UniformRandom(12345);
    EXPECT_DOUBLE_EQ(u, reference() / 2147483647.0);
    for (int k = 2; k <= 10000; ++k) {
        u = UniformRandom(0);
        ASSERT_DOUBLE_EQ(u, reference() / 2147483647.0) << k;
    }
}

TEST(Random, ReseedRestartAndContinue)
{
    const double first = UniformRandom(12345);
    const double second = UniformRandom(0);
    EXPECT_EQ(UniformRandom(12345), first);
    EXPECT_EQ(UniformRandom(0), second);
    EXPECT_EQ(UniformRandom(1), first);  // restart from the saved seed 12345
    EXPECT_GT(first, 0.0);
    EXPECT_LT(first, 1.0);
}

TEST(Random, SeedsThatWouldStickAreMapped)
{
    struct Case { int64_t seed; int32_t reduced; };
    const Case cases[] = {{2147483647LL, 1}, {-2147483647LL, 1}, {4294967294LL, 1},
                          {-5, 5}, {2147483648LL, 1}, {7, 7}};
    for (const Case& c : cases) EXPECT_EQ(LehmerSeed(c.seed), c.reduced) << c.seed;
    const double u = UniformRandom(2147483647);
    EXPECT_GT(u, 0.0);
    EXPECT_TRUE(std::isfinite(std::log(UniformRandom(0))));
}

TEST(Random, APlainSeedSetterTakesEverySeedAndDrawsNothing)
{
    std::minstd_rand reference(1);
    SetLehmerSeed(1);  // UniformRandom(1) would restart from an older seed instead
    EXPECT_DOUBLE_EQ(UniformRandom(0), reference() / 2147483647.0);
    EXPECT_DOUBLE_EQ(UniformRandom(0), reference() / 2147483647.0);
    const double again = UniformRandom(1);  // the restart now goes back to seed 1
    EXPECT_DOUBLE_EQ(again, 48271 / 2147483647.0);
    SetLehmerSeed(2147483647LL * 3);  // reduces to 0, which would stick: mapped to 1
    EXPECT_DOUBLE_EQ(UniformRandom(0), 48271 / 2147483647.0);
}

TEST(Blas, DdotThroughOurDeclarations)
{
    const double x[] = {1, 2, 3, 4};
    const double y[] = {5, 6, 7, 8};
    const int n = 4, one = 1, two = 2, len2 = 2;
    EXPECT_DOUBLE_EQ(ddot_(&n, x, &one, y, &one), 70.0);
    EXPECT_DOUBLE_EQ(ddot_(&len2, x, &two, y, &two), 1 * 5 + 3 * 7);
    EXPECT_DOUBLE_EQ(dnrm2_(&n, x, &one), std::sqrt(30.0));
}
