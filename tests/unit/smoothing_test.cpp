#include "numerics/smoothing.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

double SumOfSquaredDifferences(const std::vector<double>& x)
{
    double s = 0.0;
    for (size_t i = 1; i < x.size(); ++i) s += (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
    return s;
}

}  // namespace

// SSE and final level of R HoltWinters(x, alpha = a, beta = FALSE, gamma = FALSE); alpha = -1
// rows hold the least SSE over the grid 0..0.99 and its constant, by a plain R loop.
TEST(ExponentialSmooth, MatchesHoltWintersAndGridSearch)
{
    const ReferenceTable t = ReadReferenceTable("exp_smooth_reference.csv");
    ASSERT_EQ(t.rows.size(), 20u);
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const std::string name = t.Text(row, "series");
        const std::vector<double> x = ReferenceSeries(name, "smoothing_series.csv");
        const int n = static_cast<int>(x.size());
        const double refSse = t.Number(row, "sse");
        std::vector<double> m(x.size());
        double alpha = t.Number(row, "alpha");
        const bool search = alpha == kExpSmoothSearch;
        ASSERT_EQ(ExponentialSmooth(x.data(), m.data(), n, alpha), kStatusDone);
        double sse = 0.0;
        std::vector<double> pass(x.size());
        ASSERT_EQ(ExpSmoothPass(pass.data(), x.data(), n, alpha, sse), kStatusDone);
        EXPECT_EQ(pass, m);
        EXPECT_NEAR(sse, refSse, 1e-10 * refSse) << name << " " << alpha;
        if (search) {
            EXPECT_NEAR(alpha, t.Number(row, "last"), 1e-12) << name;
            // The constant is one of the accumulated grid values, not a refined one.
            double grid = 0.0;
            bool onGrid = alpha == 0.0;
            for (int i = 1; i <= 99 && !onGrid; ++i) onGrid = (grid += 0.01) == alpha;
            EXPECT_TRUE(onGrid) << alpha;
        } else {
            EXPECT_NEAR(m.back(), t.Number(row, "last"), 1e-10 * std::fabs(m.back())) << name;
        }
    }
}

TEST(ExponentialSmooth, EdgeCases)
{
    // Constant series: every constant ties at sse = 0, so the smallest (0) wins.
    std::vector<double> x(30, 4.25), m(30, -1.0);
    double alpha = kExpSmoothSearch;
    ASSERT_EQ(ExponentialSmooth(x.data(), m.data(), 30, alpha), kStatusDone);
    EXPECT_EQ(alpha, 0.0);
    for (double v : m) EXPECT_EQ(v, 4.25);

    // alpha = 1 follows the series; its SSE is the sum of squared first differences.
    x = {1.0, 3.0, -2.0, 5.0, 5.5, 0.25};
    m.assign(x.size(), 0.0);
    double sse = -1.0;
    ASSERT_EQ(ExpSmoothPass(m.data(), x.data(), 6, 1.0, sse), kStatusDone);
    EXPECT_EQ(m, x);
    EXPECT_DOUBLE_EQ(sse, SumOfSquaredDifferences(x));

    // A single value: nothing to predict.
    alpha = kExpSmoothSearch;
    ASSERT_EQ(ExponentialSmooth(x.data(), m.data(), 1, alpha), kStatusDone);
    EXPECT_EQ(alpha, 0.0);
    EXPECT_EQ(m[0], x[0]);

    alpha = 0.5;
    EXPECT_EQ(ExponentialSmooth(x.data(), m.data(), 0, alpha), kStatusBadArgument);
    EXPECT_EQ(ExpSmoothPass(m.data(), x.data(), 0, alpha, sse), kStatusBadArgument);
    EXPECT_EQ(alpha, 0.5);
}

// The whole smoothed series against stats::filter on the series padded with repeated end
// values, and the interior against R kernapply.
TEST(MovingAverageSmooth, MatchesPaddedConvolutionAndKernapply)
{
    const ReferenceTable t = ReadReferenceTable("moving_average_reference.csv");
    ASSERT_EQ(t.rows.size(), 98u + 114u + 89u);
    for (const std::string name : {"LakeHuron", "lynx", "austres"}) {
        const std::vector<double> x = ReferenceSeries(name, "smoothing_series.csv");
        const int n = static_cast<int>(x.size());
        std::vector<double> w, out(x.size(), 0.0);
        size_t first = t.rows.size();
        for (size_t r = 0; r < t.rows.size() && first == t.rows.size(); ++r)
            if (t.Text(r, "series") == name) first = r;
        ASSERT_LT(first, t.rows.size()) << name;
        w = t.List(first, "w");
        const int q = static_cast<int>(w.size()) - 1;
        ASSERT_EQ(MovingAverageSmooth(x.data(), out.data(), n, w.data(), q), kStatusDone);
        int interior = 0;
        for (int i = 0; i < n; ++i) {
            const double tol = 1e-12 * std::fabs(x[i]) + 1e-12;
            EXPECT_NEAR(out[i], t.Number(first + i, "full"), tol) << name << " t " << i + 1;
            if (t.Text(first + i, "interior") != "NA") {
                ++interior;
                EXPECT_NEAR(out[i], t.Number(first + i, "interior"), tol) << name;
            }
        }
        EXPECT_EQ(interior, n - 2 * q);
    }
}

// q beyond n clamps every window at both ends; the weights are not normalised. Hand values:
// x = (1, 2, 4), w = (0.5, 0.1, 0.2, 0.3, 0.4, 0.5).
TEST(MovingAverageSmooth, WideWindowAndArguments)
{
    const std::vector<double> x = {1.0, 2.0, 4.0}, w = {0.5, 0.1, 0.2, 0.3, 0.4, 0.5};
    std::vector<double> out(3, 0.0);
    ASSERT_EQ(MovingAverageSmooth(x.data(), out.data(), 3, w.data(), 5), kStatusDone);
    EXPECT_NEAR(out[0], 7.8, 1e-12);
    EXPECT_NEAR(out[1], 8.5, 1e-12);
    EXPECT_NEAR(out[2], 9.6, 1e-12);

    ASSERT_EQ(MovingAverageSmooth(x.data(), out.data(), 3, w.data(), 0), kStatusDone);
    EXPECT_EQ(out, (std::vector<double>{0.5, 1.0, 2.0}));

    out.assign(3, -1.0);
    EXPECT_EQ(MovingAverageSmooth(x.data(), out.data(), 0, w.data(), 1), kStatusBadArgument);
    EXPECT_EQ(MovingAverageSmooth(x.data(), out.data(), 3, w.data(), -1), kStatusBadArgument);
    EXPECT_EQ(out, std::vector<double>(3, -1.0));
}

// Against stats::filter on the ordinates extended by the reflection rules (even n = 114 and
// 98, odd n = 89), and interior values against R kernapply.
TEST(PeriodogramSmoother, MatchesReflectedConvolutionAndKernapply)
{
    const ReferenceTable t = ReadReferenceTable("periodogram_smoother_reference.csv");
    ASSERT_EQ(t.rows.size(), 58u + 45u + 50u);
    size_t row = 0;
    int cases = 0;
    while (row < t.rows.size()) {
        const std::string name = t.Text(row, "series");
        const int n = t.Integer(row, "n");
        const int m = n / 2;
        const std::vector<double> W = t.List(row, "W");
        const int q = static_cast<int>(W.size()) - 1;
        ASSERT_EQ(t.Integer(row, "k"), 0);
        std::vector<double> I(m), S(m + 1, 0.0);
        for (int k = 1; k <= m; ++k) I[k - 1] = t.Number(row + k, "I");
        ASSERT_EQ(PeriodogramSmoother(I.data(), S.data(), m, W.data(), q, n), kStatusDone);
        int interior = 0;
        for (int k = 0; k <= m; ++k) {
            const double ref = t.Number(row + k, "S");
            EXPECT_NEAR(S[k], ref, 1e-12 * std::fabs(ref)) << name << " k " << k;
            if (t.Text(row + k, "interior") != "NA") {
                ++interior;
                EXPECT_NEAR(S[k], t.Number(row + k, "interior"), 1e-12 * std::fabs(ref));
            }
        }
        EXPECT_EQ(interior, m - 2 * q) << name;
        row += m + 1;
        ++cases;
    }
    EXPECT_EQ(cases, 3);
}

// q = 0 scales each ordinate; S(0) takes I(1). q must stay below m: a wider window would
// reflect outside the ordinates.
TEST(PeriodogramSmoother, ZeroWidthAndArguments)
{
    const std::vector<double> I = {3.0, 1.0, 4.0, 1.5};
    const double W0 = 0.5;
    std::vector<double> S(5, -1.0);
    ASSERT_EQ(PeriodogramSmoother(I.data(), S.data(), 4, &W0, 0, 9), kStatusDone);
    EXPECT_EQ(S, (std::vector<double>{1.5, 1.5, 0.5, 2.0, 0.75}));

    const std::vector<double> W = {0.2, 0.2, 0.2, 0.2, 0.2};
    S.assign(5, -1.0);
    EXPECT_EQ(PeriodogramSmoother(I.data(), S.data(), 4, W.data(), 4, 8), kStatusBadArgument);
    EXPECT_EQ(PeriodogramSmoother(I.data(), S.data(), 4, W.data(), -1, 8), kStatusBadArgument);
    EXPECT_EQ(PeriodogramSmoother(I.data(), S.data(), 0, W.data(), 0, 1), kStatusBadArgument);
    EXPECT_EQ(S, std::vector<double>(5, -1.0));
    EXPECT_EQ(PeriodogramSmoother(I.data(), S.data(), 4, W.data(), 3, 8), kStatusDone);
}
