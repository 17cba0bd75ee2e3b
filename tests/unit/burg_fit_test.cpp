#include "multivariate/burg_fit.h"
#include "numerics/small_matrix.h"
#include "multivariate/var_fit_support.h"
#include "numerics/status.h"
#include "tests/unit/var_fit_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

const std::string kNotPositiveDefinite = " MATRIX NOT POSITIVE DEFINITE IN CHOLES\n";

using BurgFitTest = VarFitTest;

// The criterion of order 0 from the lag-0 covariance, as the fit states it.
double OrderZeroCriterion(const std::vector<double>& x, int n, int m)
{
    std::vector<double> c0(static_cast<size_t>(m) * m, 0.0);
    for (int t = 0; t < n; ++t)
        for (int a = 0; a < m; ++a)
            for (int b = 0; b < m; ++b) c0[a + m * b] += x[t * m + a] * x[t * m + b] / n;
    double d = 0.0;
    EXPECT_EQ(Determinant(c0.data(), m, m, d), kStatusDone);
    const double nm = static_cast<double>(n) * m;
    return n * std::log(d) + 2 / (1 - 2 / nm) + nm * (1 + std::log(6.283185307));
}

}  // namespace

// Against the recursion computed in R with chol and solve (coefficients of each order from the
// forward and backward Levinson recursion on the partial matrices): every order up to the
// search bound, and the order of minimum criterion. Tolerance 1e-9 relative.
TEST_F(BurgFitTest, MatchesReferenceTable)
{
    EXPECT_EQ(CompareWithReferenceTable(BurgMvarFit, "burg_reference.csv", 1e-9), 127u);
    EXPECT_EQ(diagnostics, "");
}

// m = 1: the order-1 coefficient is the normalised partial correlation Sfb / sqrt(Sff Sbb), V is
// gamma(0) (1 - P^2), and R is a copy of X, bit for bit.
TEST_F(BurgFitTest, UnivariateOrderOneAndSeriesCopy)
{
    const VarSeries s = CentredVarSeries("lh");
    ASSERT_EQ(s.m, 1);
    double sfb = 0.0, sff = 0.0, sbb = 0.0, gamma0 = 0.0;
    for (int t = 1; t < s.n; ++t) {
        sfb += s.x[t] * s.x[t - 1];
        sff += s.x[t] * s.x[t];
        sbb += s.x[t - 1] * s.x[t - 1];
    }
    for (double v : s.x) gamma0 += v * v / s.n;
    const double P = sfb / std::sqrt(sff * sbb);
    const VarFitResult fit = RunVarFit(BurgMvarFit, s.x, s.n, 1, 1);
    ASSERT_EQ(fit.status, kStatusDone);
    EXPECT_NEAR(fit.Phi(1, 1, 1, 1), P, 1e-14);
    EXPECT_NEAR(fit.V[0], gamma0 * (1 - P * P), 1e-12 * gamma0);
    EXPECT_EQ(std::memcmp(fit.E.data(), s.x.data(), s.x.size() * sizeof(double)), 0);

    const VarFitResult zero = RunVarFit(BurgMvarFit, s.x, s.n, 1, 0);
    ASSERT_EQ(zero.status, kStatusDone);
    EXPECT_NEAR(zero.aicc, OrderZeroCriterion(s.x, s.n, 1), 1e-12 * std::fabs(zero.aicc));
    EXPECT_NEAR(zero.V[0], gamma0, 1e-14 * gamma0);
    for (double v : zero.PHI) EXPECT_EQ(v, kSentinel);
}

// A sum of error products that is not positive definite ends the order loop instead of the
// program: x(1) = (1, 1) and x(t) = (a(t), 0) later make the order-1 forward sum singular with an
// exactly zero pivot. An order asked falls back to order 0 and says so; so does the search.
TEST_F(BurgFitTest, CholeskyFailureFallsBackToTheBestOrderBefore)
{
    const int n = 6, m = 2;
    const std::vector<double> x = {1, 1, 0.5, 0, -1.5, 0, 2, 0, -0.25, 0, 0.75, 0};
    for (int p : {1, 3, -1}) {
        diagnostics.clear();
        const VarFitResult fit = RunVarFit(BurgMvarFit, x, n, m, p);
        EXPECT_EQ(fit.status, kStatusLowerOrder) << p;
        EXPECT_EQ(fit.p, 0) << p;
        EXPECT_NEAR(fit.aicc, OrderZeroCriterion(x, n, m), 1e-12 * std::fabs(fit.aicc)) << p;
        for (double v : fit.PHI) EXPECT_EQ(v, kSentinel);
        EXPECT_EQ(fit.E, x);
        EXPECT_NEAR(fit.V[0], (1 + 0.25 + 2.25 + 4 + 0.0625 + 0.5625) / n, 1e-15);
        EXPECT_NEAR(fit.V[1], 1.0 / n, 1e-15);
        EXPECT_NEAR(fit.V[3], 1.0 / n, 1e-15);
        EXPECT_EQ(diagnostics, kNotPositiveDefinite) << p;
    }
}

// Too few data for the order asked: the recursion reaches empty or rank-deficient sums, which
// end it; the fit comes back with the best order before and a status, never ends the process.
TEST_F(BurgFitTest, OrdersPastTheDataComeBackLower)
{
    const VarSeries s = CentredVarSeries("var3");
    std::vector<double> x(s.x.begin(), s.x.begin() + 5 * 3), mean(3);
    SubtractSeriesMeans(x.data(), 5, 3, mean.data());
    for (int p : {4, 5}) {
        const VarFitResult fit = RunVarFit(BurgMvarFit, x, 5, 3, p);
        // At p = 5 = n the sums are empty, so order 5 cannot be reached; order 4 has one error
        // vector and a singular forward covariance at order 2 already, which rounding decides.
        if (p == 5 || fit.status != kStatusDone) {
            EXPECT_EQ(fit.status, kStatusLowerOrder) << p;
            EXPECT_LT(fit.p, p);
        } else {
            EXPECT_EQ(fit.p, p);
        }
        EXPECT_TRUE(std::isfinite(fit.aicc));
        for (double v : fit.V) EXPECT_TRUE(std::isfinite(v));
        for (int k = 1; k <= fit.p; ++k) EXPECT_TRUE(std::isfinite(fit.Phi(k, 1, 1, 3)));
    }
}

// m = 3, n = 8: only orders 1 and 2 have l·9 + 2 < 24, so the search stops there and meets none
// of the singular sums of the higher orders (order 5 has as many error vectors as components,
// order 8 none). It picks the lowest order of minimum criterion among 0..2.
TEST_F(BurgFitTest, SearchStopsWhereTheDataEnd)
{
    const VarSeries s = CentredVarSeries("var3");
    std::vector<double> x(s.x.begin(), s.x.begin() + 8 * 3), mean(3);
    SubtractSeriesMeans(x.data(), 8, 3, mean.data());
    int best = 0;
    double bestAicc = 0.0;
    for (int p = 0; p <= 2; ++p) {
        const VarFitResult fit = RunVarFit(BurgMvarFit, x, 8, 3, p);
        ASSERT_EQ(fit.status, kStatusDone) << p;
        if (p == 0 || fit.aicc < bestAicc) {
            best = p;
            bestAicc = fit.aicc;
        }
    }
    EXPECT_EQ(RunVarFit(BurgMvarFit, x, 8, 3, 8).status, kStatusLowerOrder);
    const VarFitResult search = RunVarFit(BurgMvarFit, x, 8, 3, -1);
    EXPECT_EQ(search.status, kStatusDone);
    EXPECT_EQ(search.p, best);
    EXPECT_EQ(search.aicc, bestAicc);
}

// Refused input and a singular lag-0 covariance: a status and every output as it was.
TEST_F(BurgFitTest, FailuresLeaveEverythingAsItWas)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const VarSeries s = CentredVarSeries("short2");
    auto withSecond = [&](auto value) {
        std::vector<double> x = s.x;
        for (int t = 0; t < s.n; ++t) x[t * 2 + 1] = value(t, x[t * 2]);
        return x;
    };
    const std::string difficulties =
        "\n Numerical difficulties \n   <Press any key to start over>\n";
    const std::vector<VarFailureCase> cases = {
        {"zero component", withSecond([](int, double) { return 0.0; }), s.n, 2, -1,
         kStatusDegenerate, difficulties},
        {"equal components", withSecond([](int, double x1) { return x1; }), s.n, 2, 2,
         kStatusDegenerate, difficulties},
        // Beside 1e300 the first component vanishes: order 1 meets a singular sum, and the
        // covariance of order 0 is beyond the doubles.
        {"huge values", withSecond([](int t, double) { return 1e300 * (t % 2 ? 1 : -1); }), s.n, 2,
         1, kStatusOutOfRange, " MATRIX NOT POSITIVE DEFINITE IN CHOLES\n"},
        {"tiny values", withSecond([](int t, double) { return 1e-300 * (t % 2 ? 1 : -1); }), s.n, 2,
         1, kStatusDegenerate, difficulties},
        {"NaN", withSecond([&](int t, double x1) { return t == 3 ? nan : x1; }), s.n, 2, -1,
         kStatusBadArgument, ""},
        {"order -2", s.x, s.n, 2, -2, kStatusBadArgument, ""},
        {"order 21", s.x, s.n, 2, 21, kStatusBadArgument, ""},
        {"n m = 2", s.x, 1, 2, 0, kStatusBadArgument, ""},
        {"no components", s.x, s.n, 0, 0, kStatusBadArgument, ""},
    };
    ExpectFailures(BurgMvarFit, cases, diagnostics);
}
