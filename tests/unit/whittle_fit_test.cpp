#include "numerics/small_matrix.h"
#include "multivariate/var_fit_support.h"
#include "multivariate/whittle_fit.h"
#include "numerics/status.h"
#include "tests/unit/var_fit_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// ln(2 pi) as the criterion writes it, against the exact value R's dense likelihood uses.
constexpr double kLn2PiAsWritten = 1.837877;

using WhittleFitTest = VarFitTest;

}  // namespace

// Against R: ar.yw's coefficients and covariance for p = 0..3, the criterion of every order up
// to the search bound from the prediction-error decomposition of R's fits, and the order the
// search picks; lh (m = 1) is univariate ar.yw. Tolerance 1e-9 relative: R solves by QR, we by
// Gauss-Jordan inverses, on systems with condition numbers below 1e3.
TEST_F(WhittleFitTest, MatchesReferenceTable)
{
    EXPECT_EQ(CompareWithReferenceTable(WhittleMvarFit, "whittle_reference.csv", 1e-9), 127u);
    EXPECT_EQ(diagnostics, "");
}

// -2 ln L of the criterion is the dense Gaussian likelihood of the fitted VAR (block-Toeplitz
// covariance from PHI and V), so the recursion's prediction-error bookkeeping is exact.
TEST_F(WhittleFitTest, CriterionHoldsTheExactGaussianLikelihood)
{
    const ReferenceTable t = ReadReferenceTable("whittle_reference.csv");
    int checked = 0;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        if (t.Text(r, "neg2loglik").empty()) continue;
        const VarSeries s = CentredVarSeries(t.Text(r, "series"));
        const int p = t.Integer(r, "p");
        const VarFitResult fit = RunVarFit(WhittleMvarFit, s.x, s.n, s.m, p);
        ASSERT_EQ(fit.status, kStatusDone);
        const double nm = static_cast<double>(s.n) * s.m;
        const double ln2Pi = std::log(2 * std::acos(-1.0));
        const double neg2LogLik =
            fit.aicc - VarPenalty(p, s.n, s.m) + nm * (ln2Pi - kLn2PiAsWritten);
        EXPECT_NEAR(neg2LogLik, t.Number(r, "neg2loglik"), 1e-9 * std::fabs(neg2LogLik))
            << t.Text(r, "series") << " p=" << p;
        ++checked;
    }
    EXPECT_EQ(checked, 6 * 4);
}

// p = 0: V is the sample covariance, E = X, PHI untouched and the closed-form criterion. A given
// order: E holds X(t) - sum PHI(k) X(t-k) for t > p and 0 before, and p comes back unchanged
// even when a lower order has a smaller criterion.
TEST_F(WhittleFitTest, GivenOrdersAndPredictionErrors)
{
    const VarSeries s = CentredVarSeries("var3");
    const int n = s.n, m = s.m;
    const VarFitResult zero = RunVarFit(WhittleMvarFit, s.x, n, m, 0);
    ASSERT_EQ(zero.status, kStatusDone);
    EXPECT_EQ(zero.p, 0);
    EXPECT_EQ(zero.E, s.x);
    for (int a = 0; a < m; ++a)
        for (int b = 0; b < m; ++b) {
            double c = 0.0;
            for (int t = 0; t < n; ++t) c += s.x[t * m + a] * s.x[t * m + b];
            EXPECT_NEAR(zero.V[a + m * b], c / n, 1e-12);
        }
    double det = 0.0;
    ASSERT_EQ(Determinant(zero.V.data(), m, m, det), kStatusDone);
    const double nm = static_cast<double>(n) * m;
    EXPECT_NEAR(zero.aicc, n * std::log(det) + 2 / (1 - 2 / nm) + 2.837877 * nm,
                1e-9 * std::fabs(zero.aicc));
    for (double v : zero.PHI) EXPECT_EQ(v, kSentinel);

    const VarFitResult search = RunVarFit(WhittleMvarFit, s.x, n, m, -1);
    for (int p : {1, 3}) {
        const VarFitResult fit = RunVarFit(WhittleMvarFit, s.x, n, m, p);
        ASSERT_EQ(fit.status, kStatusDone);
        EXPECT_EQ(fit.p, p);
        if (p != search.p) {
            EXPECT_GT(fit.aicc, search.aicc);
        }
        for (int t = 1; t <= n; ++t)
            for (int a = 1; a <= m; ++a) {
                double e = 0.0;
                if (t > p) {
                    e = s.x[(t - 1) * m + a - 1];
                    for (int k = 1; k <= p; ++k)
                        for (int b = 1; b <= m; ++b)
                            e -= fit.Phi(k, a, b, m) * s.x[(t - 1 - k) * m + b - 1];
                }
                EXPECT_NEAR(fit.E[(t - 1) * m + a - 1], e, 1e-12) << "p=" << p << " t=" << t;
            }
    }
    // Any other negative order fits order 0.
    const VarFitResult negative = RunVarFit(WhittleMvarFit, s.x, n, m, -5);
    EXPECT_EQ(negative.status, kStatusDone);
    EXPECT_EQ(negative.p, 0);
    EXPECT_EQ(negative.aicc, zero.aicc);
}

// Multiplying one component by c scales row c of PHI by c and its column by 1/c, V by c in its row
// and column, and the criterion by 2 n ln|c|; the order chosen stays.
TEST_F(WhittleFitTest, ScalingOneComponent)
{
    const VarSeries s = CentredVarSeries("var2");
    const int n = s.n, m = s.m;
    for (double c : {1000.0, -0.01}) {
        std::vector<double> scaled = s.x;
        for (int t = 0; t < n; ++t) scaled[t * m + 1] *= c;
        for (int p : {-1, 2}) {
            const VarFitResult a = RunVarFit(WhittleMvarFit, s.x, n, m, p);
            const VarFitResult b = RunVarFit(WhittleMvarFit, scaled, n, m, p);
            ASSERT_EQ(a.status, kStatusDone);
            ASSERT_EQ(b.status, kStatusDone);
            ASSERT_EQ(b.p, a.p);
            auto factor = [&](int i) { return i == 2 ? c : 1.0; };
            for (int k = 1; k <= a.p; ++k)
                for (int i = 1; i <= m; ++i)
                    for (int j = 1; j <= m; ++j)
                        EXPECT_NEAR(b.Phi(k, i, j, m), a.Phi(k, i, j, m) * factor(i) / factor(j),
                                    1e-10 * std::fabs(factor(i) / factor(j)));
            for (int i = 1; i <= m; ++i)
                for (int j = 1; j <= m; ++j)
                    EXPECT_NEAR(b.V[(i - 1) + m * (j - 1)],
                                a.V[(i - 1) + m * (j - 1)] * factor(i) * factor(j),
                                1e-10 * std::fabs(a.V[0] * factor(i) * factor(j)));
            EXPECT_NEAR(b.aicc, a.aicc + 2 * n * std::log(std::fabs(c)), 1e-9 * std::fabs(a.aicc));
        }
    }
}

// m = 2, n = 30: orders 15 and above can only score 1E20, so the search stops at 14 and picks
// the lowest order of minimum criterion among 0..14.
TEST_F(WhittleFitTest, SearchStopsWhereTheDataEnd)
{
    EXPECT_EQ(VarSearchBound(30, 2), 14);
    EXPECT_EQ(VarSearchBound(20, 3), 6);  // 6·9 + 2 < 60
    EXPECT_EQ(VarSearchBound(2, 2), 0);
    EXPECT_EQ(VarSearchBound(1000, 2), 20);
    const VarSeries full = CentredVarSeries("short2");
    std::vector<double> x(full.x.begin(), full.x.begin() + 30 * 2);
    std::vector<double> mean(2);
    SubtractSeriesMeans(x.data(), 30, 2, mean.data());
    int best = 0;
    double bestAicc = 0.0;
    for (int p = 0; p <= 14; ++p) {
        const VarFitResult fit = RunVarFit(WhittleMvarFit, x, 30, 2, p);
        ASSERT_EQ(fit.status, kStatusDone);
        EXPECT_LT(fit.aicc, 1e20) << p;
        if (p == 0 || fit.aicc < bestAicc) {
            best = p;
            bestAicc = fit.aicc;
        }
    }
    EXPECT_EQ(RunVarFit(WhittleMvarFit, x, 30, 2, 15).aicc, 1e20);
    const VarFitResult search = RunVarFit(WhittleMvarFit, x, 30, 2, -1);
    ASSERT_EQ(search.status, kStatusDone);
    EXPECT_EQ(search.p, best);
    EXPECT_EQ(search.aicc, bestAicc);
}

// Refused input and numerical failure: a status, every output as it was, and the data untouched
// bit for bit.
TEST_F(WhittleFitTest, FailuresLeaveEverythingAsItWas)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const VarSeries s = CentredVarSeries("var3");
    auto withSecond = [&](auto value) {
        std::vector<double> x = s.x;
        for (int t = 0; t < s.n; ++t) x[t * 3 + 1] = value(t, x[t * 3]);
        return x;
    };
    // A constant component is 0 once the command has centred the series.
    std::vector<double> constant = withSecond([](int, double) { return 4.5; }), mean(3);
    SubtractSeriesMeans(constant.data(), s.n, 3, mean.data());
    const std::string orderZero = " Numerical difficulties \n\n  <Press any key to start over> \n";
    std::vector<double> exact = {1, 0, 0, 1};  // two times, two components
    const VarSeries twin = CentredVarSeries("short2");
    std::vector<double> twins = twin.x;
    for (int t = 0; t < twin.n; ++t) twins[t * 2 + 1] = twins[t * 2];
    const std::vector<VarFailureCase> cases = {
        {"constant component", constant, s.n, 3, -1, kStatusDegenerate, orderZero},
        {"zero component", withSecond([](int, double) { return 0.0; }), s.n, 3, 2,
         kStatusDegenerate, orderZero},
        // Two equal components: Gamma(0) has two equal rows and its determinant is negative.
        {"equal components", twins, twin.n, 2, 1, kStatusDegenerate, orderZero},
        {"huge values", withSecond([](int t, double) { return 1e300 * (t % 2 ? 1 : -1); }), s.n, 3,
         1, kStatusDegenerate, orderZero},
        {"tiny values", withSecond([](int t, double) { return 1e-300 * (t % 2 ? 1 : -1); }), s.n, 3,
         1, kStatusDegenerate, orderZero},
        // Vf(1) of x(1) = (1, 0), x(2) = (0, 1) is exactly singular.
        {"singular order 1", exact, 2, 2, 1, kStatusDegenerate,
         " Numerical difficulties\n\n  <Press any key to start over>\n"},
        {"NaN", withSecond([&](int t, double x1) { return t == 7 ? nan : x1; }), s.n, 3, -1,
         kStatusBadArgument, ""},
        {"Inf", withSecond([&](int t, double x1) { return t == 0 ? -inf : x1; }), s.n, 3, 0,
         kStatusBadArgument, ""},
        {"order 21", s.x, s.n, 3, 21, kStatusBadArgument, ""},
        {"no times", s.x, 0, 3, 0, kStatusBadArgument, ""},
        {"no components", s.x, s.n, 0, 0, kStatusBadArgument, ""},
        {"n m = 2", s.x, 2, 1, -1, kStatusBadArgument, ""},
        {"n m past 32 bits", s.x, 1 << 30, 3, 0, kStatusBadArgument, ""},
    };
    ExpectFailures(WhittleMvarFit, cases, diagnostics);
    // The search on the two points that are singular at order 1 stops at order 0.
    const VarFitResult search = RunVarFit(WhittleMvarFit, exact, 2, 2, -1);
    EXPECT_EQ(search.status, kStatusDone);
    EXPECT_EQ(search.p, 0);
}
