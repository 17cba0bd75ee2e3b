#include "numerics/arma_acvf.h"
#include "numerics/long_memory.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kDim = 27;

struct Weights {
    int status;
    std::vector<double> out;
};

Weights RunWeights(std::vector<double> phi, std::vector<double> theta, double d, int M, int mode)
{
    const int p = static_cast<int>(phi.size()), q = static_cast<int>(theta.size());
    phi.resize(kDim, 0.0);
    theta.resize(kDim, 0.0);
    Weights w{0, std::vector<double>(M, -7.0)};
    w.status = ArmaInfinityWeights(kDim, phi.data(), theta.data(), w.out.data(), p, q, d, M, 10,
                                   mode);
    return w;
}

}  // namespace

// Against the C library's lgamma. The six-term Lanczos series is good to about 2e-10 absolute
// for x >= 1 and to 2e-10 relative to ln Gamma below; the tolerance is 2e-10·max(1, |lgamma|).
TEST(LogGamma, MatchesLgamma)
{
    for (double x : {1e-3, 0.1, 0.2, 0.5, 0.8, 1.0, 1.5, 2.0, 2.5, 3.7, 10.0, 50.5, 171.3, 1e4}) {
        const double ref = std::lgamma(x);
        EXPECT_NEAR(LogGamma(x), ref, 2e-10 * std::max(1.0, std::fabs(ref))) << x;
    }
    EXPECT_NEAR(LogGamma(1.0), 0.0, 1e-10);
    EXPECT_NEAR(LogGamma(2.0), 0.0, 1e-10);
    EXPECT_NEAR(LogGamma(0.5), 0.5723649429247001, 1e-9);
    EXPECT_TRUE(std::isnan(LogGamma(0.0)));
    EXPECT_TRUE(std::isnan(LogGamma(-2.5)));
    EXPECT_TRUE(std::isnan(LogGamma(std::nan(""))));
}

// Against R: choose(-d, j)(-1)^j or choose(d, j)(-1)^j convolved with ARMAtoMA, 50 weights.
// Tolerance 1e-12: both sides run short product recursions in double precision.
TEST(ArmaInfinityWeights, MatchesBinomialSeriesTimesArmaExpansion)
{
    const ReferenceTable t = ReadReferenceTable("fractional_weights_reference.csv");
    ASSERT_EQ(t.rows.size(), 7u * 50u);
    for (size_t first = 0; first < t.rows.size(); first += 50) {
        const std::string id = t.Text(first, "id");
        const Weights w = RunWeights(t.List(first, "ar"), t.List(first, "ma"),
                                     t.Number(first, "d"), 50, t.Integer(first, "mode"));
        ASSERT_EQ(w.status, kStatusDone) << id;
        for (size_t r = first; r < first + 50; ++r) {
            ASSERT_EQ(t.Text(r, "id"), id);
            const int lag = t.Integer(r, "lag");
            EXPECT_NEAR(w.out[lag], t.Number(r, "weight"), 1e-12) << id << " lag " << lag;
        }
    }
}

TEST(ArmaInfinityWeights, SmallCases)
{
    struct Case {
        std::vector<double> phi, theta;
        double d;
        int mode;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {{}, {}, 0.0, kMaInfinity, {1, 0, 0, 0}},
        {{}, {}, 0.0, kArInfinity, {1, 0, 0, 0}},
        {{}, {}, 0.4, kMaInfinity, {1, 0.4, 0.28, 0.28 * 2.4 / 3}},
        {{}, {}, 0.4, kArInfinity, {1, -0.4, -0.12, -0.12 * 1.6 / 3}},
        {{0.5}, {}, 0.0, kMaInfinity, {1, 0.5, 0.25, 0.125}},
        {{0.5}, {}, 0.0, kArInfinity, {1, -0.5, 0, 0}},
        {{}, {0.3}, 0.0, kArInfinity, {1, -0.3, 0.09, -0.027}},
    };
    for (const Case& c : cases) {
        const Weights w = RunWeights(c.phi, c.theta, c.d, 4, c.mode);
        ASSERT_EQ(w.status, kStatusDone);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(w.out[k], c.expected[k], 1e-15) << "d=" << c.d << " mode " << c.mode
                                                         << " k=" << k;
    }
    // M = 1 gives the single weight 1.
    const Weights one = RunWeights({0.5}, {0.2}, 0.3, 1, kMaInfinity);
    EXPECT_EQ(one.out, std::vector<double>{1.0});
}

TEST(ArmaInfinityWeights, RefusesArgumentsOutOfRange)
{
    std::vector<double> phi(kDim, 0.1), theta(kDim, 0.1), out(5, -7.0);
    EXPECT_EQ(ArmaInfinityWeights(kDim, phi.data(), theta.data(), out.data(), 1, 1, 0.2, 5, 1,
                                  kMaInfinity), kStatusBadArgument);  // e < 2
    EXPECT_EQ(ArmaInfinityWeights(kDim, phi.data(), theta.data(), out.data(), 1, 1, 0.2, 5, 10,
                                  2), kStatusBadArgument);
    EXPECT_EQ(ArmaInfinityWeights(kDim, phi.data(), theta.data(), out.data(), 1, 1, 0.2, 0, 10,
                                  kMaInfinity), kStatusBadArgument);
    EXPECT_EQ(ArmaInfinityWeights(kDim, phi.data(), theta.data(), out.data(), 27, 0, 0.2, 5, 10,
                                  kMaInfinity), kStatusBadArgument);
    EXPECT_EQ(ArmaInfinityWeights(2, phi.data(), theta.data(), out.data(), 3, 0, 0.2, 5, 10,
                                  kMaInfinity), kStatusBadArgument);  // dim < p
    EXPECT_EQ(ArmaPsiTable(kDim, 0, -1, phi.data(), theta.data(), 3, 10, out.data()),
              kStatusBadArgument);
    EXPECT_EQ(out, std::vector<double>(5, -7.0));
}

// The bound on d: the weights take -0.5 <= d <= 0.5, the autocorrelations -0.5 < d < 0.5 (their
// lag-0 variance Gamma(1 - 2d)/Gamma(1 - d)^2 has a pole at 0.5); the next double beyond either
// end is refused with nothing written, the last one inside gives finite values.
TEST(FractionalRoutines, BoundOnD)
{
    const double up = std::nextafter(0.5, 1.0), in = std::nextafter(0.5, 0.0);
    struct Case {
        double d;
        bool weights, acf;  // accepted by ArmaInfinityWeights, by FractionalArmaAcf
    };
    const Case cases[] = {{in, true, true},     {-in, true, true},   {0.5, true, false},
                          {-0.5, true, false},  {up, false, false},  {-up, false, false},
                          {0.5000001, false, false}, {-0.5000001, false, false}};
    const double phi = 0.4, theta = 0.3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.d);
        for (int mode : {kMaInfinity, kArInfinity}) {
            const Weights w = RunWeights({phi}, {theta}, c.d, 20, mode);
            if (c.weights) {
                EXPECT_EQ(w.status, kStatusDone);
                for (double v : w.out) EXPECT_TRUE(std::isfinite(v));
            } else {
                EXPECT_EQ(w.status, kStatusBadArgument);
                EXPECT_EQ(w.out, std::vector<double>(20, -7.0));
            }
        }
        std::vector<double> acf(11, -7.0);
        double gamma0 = -7.0;
        const int status = FractionalArmaAcf(1, &phi, 1, &theta, c.d, 50, 10, acf.data(), gamma0);
        if (c.acf) {
            EXPECT_EQ(status, kStatusDone);
            EXPECT_EQ(acf[0], 1.0);
            EXPECT_TRUE(std::isfinite(gamma0) && gamma0 > 0.0);
            for (double v : acf) EXPECT_TRUE(std::isfinite(v));
        } else {
            EXPECT_EQ(status, kStatusBadArgument);
            EXPECT_EQ(acf, std::vector<double>(11, -7.0));
            EXPECT_EQ(gamma0, -7.0);
        }
    }
}

// ArmaPsiTable agrees with PsiWeights (no weight falls below the flush level for these
// models), and F, sized exactly M+2, is never overrun for any orders, even with M far below
// the orders and the minimum extra length e = 2.
TEST(ArmaPsiTable, AllOrdersAndShortExpansions)
{
    for (int p = 0; p <= 26; ++p)
        for (int q = 0; q <= 26; ++q)
            for (int M : {0, 1, 2, 5, 30}) {
                std::vector<double> phi(kDim, 0.0), theta(kDim, 0.0), coef;
                for (int j = 0; j < p; ++j) coef.push_back(phi[j] = 0.4 / p * (j % 2 ? -1 : 1));
                for (int j = 0; j < q; ++j) coef.push_back(theta[j] = 0.3 + 0.01 * j);
                std::vector<double> F(M + 2, -7.0), psi(M + 1);
                ASSERT_EQ(ArmaPsiTable(kDim, p, q, phi.data(), theta.data(), M, 2, F.data()),
                          kStatusDone);
                ASSERT_EQ(PsiWeights(p, q, coef.data(), M, psi.data()), kStatusDone);
                for (int k = 0; k <= M; ++k)
                    ASSERT_NEAR(F[k], psi[k], 1e-13) << p << "," << q << " M=" << M << " k=" << k;
                EXPECT_EQ(F[M + 1], 0.0);
                std::vector<double> out(std::max(M, 1));
                ASSERT_EQ(ArmaInfinityWeights(kDim, phi.data(), theta.data(), out.data(), p, q,
                                              0.3, std::max(M, 1), 2, (p + q) % 2),
                          kStatusDone);
            }
}
