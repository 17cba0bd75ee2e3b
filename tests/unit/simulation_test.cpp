#include "numerics/simulation.h"
#include "numerics/arma_acvf.h"
#include "numerics/status.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

// Lower Cholesky factor of the n x n covariance matrix sigma2·Gamma(|i-j|), row-major.
std::vector<double> CovarianceCholesky(const std::vector<double>& coef, int p, int q,
                                       double sigma2, int n)
{
    std::vector<double> g(std::max({n, p, q}) + 1);
    int status = kStatusDone;
    ArmaAcvf(n, kArmaAcvfCompute, g.data(), status, sigma2, coef.data(), p, q);
    EXPECT_EQ(status, kStatusDone);
    std::vector<double> C(n * n, 0.0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) {
            double s = g[i - j];
            for (int k = 0; k < j; ++k) s -= C[i * n + k] * C[j * n + k];
            C[i * n + j] = (i == j) ? std::sqrt(s) : s / C[j * n + j];
        }
    return C;
}

// The deviates NormalDeviate draws, rebuilt from std::minstd_rand (the same Lehmer recursion).
std::vector<double> ExpectedDeviates(int seed, int n)
{
    std::minstd_rand u(static_cast<unsigned>(seed));
    u.discard(1);
    std::vector<double> z(n);
    for (double& v : z) {
        const double u1 = u() / 2147483647.0, u2 = u() / 2147483647.0;
        v = std::sqrt(-2.0 * std::log(u1)) * std::sin(6.283185307 * u2);
    }
    return z;
}

TEST(NormalDeviate, BoxMullerSineOfTwoUniformsAfterSeedDraw)
{
    std::vector<double> z(50);
    NormalDeviate(50, z.data(), 4711);
    const std::vector<double> want = ExpectedDeviates(4711, 50);
    for (int i = 0; i < 50; ++i) EXPECT_DOUBLE_EQ(z[i], want[i]) << i;

    // n = 0 spends only the seeding draw.
    NormalDeviate(0, z.data(), 4711);
    std::minstd_rand u(4711);
    u.discard(1);
    EXPECT_DOUBLE_EQ(UniformRandom(0), u() / 2147483647.0);

    // Seed 0 continues the sequence; seed 1 restarts from the last seed.
    std::vector<double> a(4), b(4), c(4);
    NormalDeviate(4, a.data(), 99);
    NormalDeviate(4, b.data(), 0);
    NormalDeviate(4, c.data(), 1);
    EXPECT_EQ(a, c);
    EXPECT_NE(a, b);
}

// A seed that is a multiple of 2^31-1 would stick the generator at 0; it is taken as seed 1.
TEST(NormalDeviate, SeedMultipleOfModulusIsMappedToOne)
{
    std::vector<double> z(20), one(20);
    NormalDeviate(20, z.data(), 2147483647);
    NormalDeviate(20, one.data(), -2147483647);
    for (double v : z) EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(z, one);
    EXPECT_EQ(z, ExpectedDeviates(1, 20));
}

// The path is the Cholesky factor of the model's covariance matrix applied to the deviates.
TEST(ArmaSimulate, EqualsCholeskyMapOfDeviates)
{
    struct Case { std::string id; std::vector<double> coef; int p, q; double sigma2; int n; };
    const Case cases[] = {
        {"white noise", {}, 0, 0, 2.5, 30},
        {"white noise n=1", {}, 0, 0, 2.0, 1},
        {"ar1", {0.6}, 1, 0, 1.5, 40},
        {"ar3", {0.4, -0.3, 0.2}, 3, 0, 1.0, 40},
        {"ma1", {0.8}, 0, 1, 2.0, 40},
        {"ma1 n=2", {0.8}, 0, 1, 2.0, 2},
        {"ma3", {0.5, -0.4, 0.3}, 0, 3, 0.5, 50},
        {"arma11", {0.5, 0.4}, 1, 1, 1.0, 40},
        {"arma22", {1.1, -0.4, -0.3, 0.2}, 2, 2, 1.0, 60},
        {"arma13 n=2m", {0.7, 0.4, 0.3, -0.2}, 1, 3, 1.0, 6},
        {"arma31", {0.5, -0.2, 0.1, 0.6}, 3, 1, 3.0, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<double> x(c.n, -7.0);
        ASSERT_EQ(ArmaSimulate(x.data(), c.n, c.coef.data(), c.p, c.q, c.sigma2, 12345), kStatusDone);
        const std::vector<double> z = ExpectedDeviates(12345, c.n);
        const std::vector<double> C = CovarianceCholesky(c.coef, c.p, c.q, c.sigma2, c.n);
        for (int i = 0; i < c.n; ++i) {
            double want = 0.0;
            for (int j = 0; j <= i; ++j) want += C[i * c.n + j] * z[j];
            EXPECT_NEAR(x[i], want, 1e-10 * (1.0 + std::fabs(want))) << "t=" << i + 1;
        }
    }
}

TEST(ArmaSimulate, ReproducibleFromSeed)
{
    const double coef[] = {0.5, 0.4};
    std::vector<double> a(100), b(100), c(100);
    ASSERT_EQ(ArmaSimulate(a.data(), 100, coef, 1, 1, 1.0, 777), kStatusDone);
    ASSERT_EQ(ArmaSimulate(c.data(), 100, coef, 1, 1, 1.0, 778), kStatusDone);
    ASSERT_EQ(ArmaSimulate(b.data(), 100, coef, 1, 1, 1.0, 777), kStatusDone);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);

    // AR(1) by its own recursion: x(1) = (sigma2/(1-phi^2))^0.5 Z(1), then phi x(t-1) + sigma Z(t).
    std::vector<double> x(10);
    const double phi[] = {0.6};
    ASSERT_EQ(ArmaSimulate(x.data(), 10, phi, 1, 0, 2.0, 31), kStatusDone);
    const std::vector<double> z = ExpectedDeviates(31, 10);
    double want = std::sqrt(2.0 / (1.0 - 0.36)) * z[0];
    EXPECT_NEAR(x[0], want, 1e-12);
    for (int t = 1; t < 10; ++t) {
        want = 0.6 * want + std::sqrt(2.0) * z[t];
        EXPECT_NEAR(x[t], want, 1e-12) << t;
    }
}

// A negative variance is a bad argument: nothing is written and no deviate is drawn, so the
// generator's sequence goes on as if the call had not been made, whatever the seed asked for.
// A variance of 0 is a model (of a zero path) and draws as usual.
TEST(ArmaSimulate, NegativeVarianceDrawsNothing)
{
    const double coef[] = {0.5, 0.4};
    struct Case {
        double sigma2;
        int seed;
    };
    for (const Case& c : {Case{-1.0, 0}, Case{-1.0, 555}, Case{-1e-300, 1}, Case{-1e300, 0}}) {
        SCOPED_TRACE(c.sigma2);
        SetLehmerSeed(4242);
        const double next = UniformRandom(0);
        SetLehmerSeed(4242);
        std::vector<double> x(50, 7.0);
        EXPECT_EQ(ArmaSimulate(x.data(), 50, coef, 1, 1, c.sigma2, c.seed), kStatusBadArgument);
        EXPECT_EQ(x, std::vector<double>(50, 7.0));
        EXPECT_EQ(UniformRandom(0), next);
    }

    SetLehmerSeed(4242);
    std::vector<double> x(50, 7.0);
    ASSERT_EQ(ArmaSimulate(x.data(), 50, coef, 1, 1, 0.0, 0), kStatusDone);
    EXPECT_EQ(x, std::vector<double>(50, 0.0));
    // One value discarded for the seed, then two uniforms a deviate.
    SetLehmerSeed(4242);
    for (int k = 0; k < 1 + 2 * 50; ++k) (void)UniformRandom(0);
    const double next = UniformRandom(0);
    SetLehmerSeed(4242);
    ASSERT_EQ(ArmaSimulate(x.data(), 50, coef, 1, 1, 0.0, 0), kStatusDone);
    EXPECT_EQ(UniformRandom(0), next);
}

}  // namespace
