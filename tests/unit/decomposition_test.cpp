#include "numerics/decomposition.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace {

double Scale(const std::vector<double>& v)
{
    double s = 0.0;
    for (double e : v) s = std::max(s, std::fabs(e));
    return s;
}

}  // namespace

// Seasonal figures of R decompose(ts(x, frequency = d)), for even and odd periods, long series
// and the shortest even-period series (n = 2d, one deviation per season position).
TEST(ClassicalDecomposition, MatchesRDecompose)
{
    const ReferenceTable t = ReadReferenceTable("decompose_reference.csv");
    ASSERT_EQ(t.rows.size(), 6u);
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const std::string name = t.Text(row, "series");
        const int d = t.Integer(row, "d");
        std::vector<double> x = ReferenceSeries(name, "smoothing_series.csv");
        x.resize(static_cast<size_t>(t.Integer(row, "n")));
        const std::vector<double> original = x;
        const std::vector<double> figure = t.List(row, "figure");
        ASSERT_EQ(figure.size(), static_cast<size_t>(d));

        std::vector<double> s, comp;
        ASSERT_EQ(ClassicalDecomposition(x, s, comp, d), kStatusDone) << name;
        ASSERT_EQ(comp.size(), static_cast<size_t>(d));
        ASSERT_EQ(s.size(), x.size());
        const double tol = 1e-12 * Scale(original);
        for (int k = 0; k < d; ++k) EXPECT_NEAR(comp[k], figure[k], tol) << name << " " << k;
        EXPECT_NEAR(std::accumulate(comp.begin(), comp.end(), 0.0), 0.0, tol) << name;
        for (size_t i = 0; i < x.size(); ++i) {
            EXPECT_EQ(s[i], comp[i % d]) << name << " t " << i + 1;
            EXPECT_NEAR(x[i] + s[i], original[i], tol) << name << " t " << i + 1;
        }
    }
}

// A series that is a pure seasonal pattern plus a constant loses exactly the pattern: for odd
// d the moving average of a zero-sum pattern is the constant, for even d the half-weighted ends
// of one full period are the same value.
TEST(ClassicalDecomposition, RemovesExactSeasonalPattern)
{
    for (int d : {2, 3, 5, 12}) {
        std::vector<double> pattern(d);
        for (int k = 0; k < d; ++k) pattern[k] = std::sin(1.3 * k + 0.2) * (k + 1);
        const double mean = std::accumulate(pattern.begin(), pattern.end(), 0.0) / d;
        for (double& v : pattern) v -= mean;
        std::vector<double> x(3 * d + 1);
        for (size_t i = 0; i < x.size(); ++i) x[i] = 7.0 + pattern[i % d];
        std::vector<double> s, comp;
        ASSERT_EQ(ClassicalDecomposition(x, s, comp, d), kStatusDone) << d;
        for (int k = 0; k < d; ++k) EXPECT_NEAR(comp[k], pattern[k], 1e-12) << d;
        for (double v : x) EXPECT_NEAR(v, 7.0, 1e-12) << d;
    }
}

// Too short (n < d + 2h) or a period below 2: refused, nothing changed. The shortest series
// n = d + 2h is accepted; a constant series gives zero components.
TEST(ClassicalDecomposition, RefusesShortSeriesAndBadPeriod)
{
    struct Case {
        int n, d, status;
    };
    const Case cases[] = {{8, 5, kStatusBadArgument}, {9, 5, kStatusDone},
                          {23, 12, kStatusBadArgument}, {24, 12, kStatusDone},
                          {12, 7, kStatusBadArgument}, {13, 7, kStatusDone},
                          {1, 2, kStatusBadArgument}, {4, 2, kStatusDone},
                          {10, 1, kStatusBadArgument}, {10, 0, kStatusBadArgument},
                          {0, 2, kStatusBadArgument}};
    for (const Case& c : cases) {
        std::vector<double> x(c.n, 3.5);
        std::vector<double> s{-1.0}, comp{-1.0};
        EXPECT_EQ(ClassicalDecomposition(x, s, comp, c.d), c.status) << c.n << " " << c.d;
        for (double v : x) EXPECT_EQ(v, 3.5);
        if (c.status == kStatusDone) {
            for (double v : comp) EXPECT_EQ(v, 0.0);
        } else {
            EXPECT_EQ(s, std::vector<double>{-1.0});
            EXPECT_EQ(comp, std::vector<double>{-1.0});
        }
    }
}

// lm(x ~ t) and lm(x ~ t + I(t^2)) coefficients; the removed trend accumulates into fit.
TEST(PolynomialTrend, MatchesLm)
{
    const ReferenceTable t = ReadReferenceTable("trend_reference.csv");
    ASSERT_EQ(t.rows.size(), 6u);
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const std::string name = t.Text(row, "series");
        const int degree = t.Integer(row, "degree");
        std::vector<double> x = ReferenceSeries(name, "smoothing_series.csv");
        const std::vector<double> original = x;
        std::vector<double> fit(x.size(), 1.0), c;
        ASSERT_EQ(PolynomialTrend(x, fit, c, degree), kStatusDone) << name;
        const std::vector<double> ref = t.List(row, "coef");
        ASSERT_EQ(c.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(c[i], ref[i], 1e-9 * (std::fabs(ref[i]) + 1e-3)) << name << degree << i;
        for (size_t i = 0; i < x.size(); ++i) {
            const double tt = static_cast<double>(i + 1);
            const double trend = c[0] + c[1] * tt + c[2] * tt * tt;
            EXPECT_NEAR(fit[i], 1.0 + trend, 1e-10 * Scale(original));
            EXPECT_NEAR(x[i], original[i] - trend, 1e-10 * Scale(original));
        }
    }
}

// An exact line or parabola is reduced to zeros, also at the shortest lengths n = 2 and n = 3.
TEST(PolynomialTrend, ExactPolynomialLeavesZeros)
{
    struct Case {
        int n, degree;
        double c0, c1, c2;
    };
    const Case cases[] = {{2, 1, 4.0, -1.5, 0.0}, {50, 1, -2.0, 0.25, 0.0},
                          {3, 2, 1.0, 2.0, -0.5}, {200, 2, 10.0, -0.3, 0.01}};
    for (const Case& cs : cases) {
        std::vector<double> x(cs.n), fit(cs.n, 0.0), c;
        for (int i = 0; i < cs.n; ++i) {
            const double t = i + 1.0;
            x[i] = cs.c0 + cs.c1 * t + cs.c2 * t * t;
        }
        ASSERT_EQ(PolynomialTrend(x, fit, c, cs.degree), kStatusDone);
        EXPECT_NEAR(c[0], cs.c0, 1e-9);
        EXPECT_NEAR(c[1], cs.c1, 1e-10);
        EXPECT_EQ(c[2] == 0.0, cs.degree == 1);
        EXPECT_NEAR(c[2], cs.c2, 1e-12);
        for (double v : x) EXPECT_NEAR(v, 0.0, 1e-9) << cs.n;
    }
}

// Degrees outside 1..2, a degree not below n (the closed form divides by n²-1 or n²-4) and a
// fit of the wrong size are refused with nothing changed.
TEST(PolynomialTrend, RefusesDegreeNotBelowLength)
{
    struct Case {
        int n, degree, fitSize;
    };
    const Case cases[] = {{1, 1, 1}, {2, 2, 2}, {0, 1, 0}, {10, 0, 10}, {10, 3, 10}, {10, 1, 9}};
    for (const Case& cs : cases) {
        std::vector<double> x(cs.n, 2.0), fit(cs.fitSize, 1.0), c{-1.0};
        EXPECT_EQ(PolynomialTrend(x, fit, c, cs.degree), kStatusBadArgument) << cs.n;
        for (double v : x) EXPECT_EQ(v, 2.0);
        for (double v : fit) EXPECT_EQ(v, 1.0);
        EXPECT_EQ(c, std::vector<double>{-1.0});
    }
}

// lm on cos/sin regressors at the given Fourier indices: the intercept is the level, the
// coefficients are (2/n) times the raw sums, and the residual sum of squares agrees.
TEST(HarmonicRegression, MatchesLm)
{
    const ReferenceTable t = ReadReferenceTable("harmonic_reference.csv");
    ASSERT_EQ(t.rows.size(), 3u);
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const std::string name = t.Text(row, "series");
        std::vector<double> x = ReferenceSeries(name, "smoothing_series.csv");
        const std::vector<double> original = x;
        const double n = static_cast<double>(x.size());
        std::vector<int> f;
        for (double v : t.List(row, "f")) f.push_back(static_cast<int>(v));
        const int k = static_cast<int>(f.size());
        std::vector<double> fit, a, b;
        double level = 0.0;
        ASSERT_EQ(HarmonicRegression(x, fit, a, b, k, level, f), kStatusDone) << name;
        const double tol = 1e-9 * Scale(original);
        EXPECT_NEAR(level, t.Number(row, "level"), tol) << name;
        const std::vector<double> cosRef = t.List(row, "cos_coef"), sinRef = t.List(row, "sin_coef");
        for (int i = 0; i < k; ++i) {
            EXPECT_NEAR(a[i] * 2.0 / n, cosRef[i], tol) << name << " " << f[i];
            EXPECT_NEAR(b[i] * 2.0 / n, sinRef[i], tol) << name << " " << f[i];
        }
        double rss = 0.0;
        for (size_t i = 0; i < x.size(); ++i) {
            rss += x[i] * x[i];
            EXPECT_NEAR(x[i] + fit[i], original[i], tol);
        }
        EXPECT_NEAR(rss, t.Number(row, "rss"), 1e-9 * t.Number(row, "rss")) << name;
    }
}

// level + A·cos(2π·f·t/n) returns a(1) = A·n/2, b(1) = 0 and leaves x at zero; k = 0 removes
// the mean only; an empty series or k beyond the indices given is refused.
TEST(HarmonicRegression, ExactHarmonicAndArgumentChecks)
{
    const int n = 60, f1 = 7;
    const double A = 2.5, mu = -4.0;
    std::vector<double> x(n);
    for (int t = 1; t <= n; ++t) x[t - 1] = mu + A * std::cos(2.0 * std::acos(-1.0) * f1 * t / n);
    std::vector<double> y = x, fit, a, b;
    double level = 0.0;
    ASSERT_EQ(HarmonicRegression(y, fit, a, b, 1, level, {f1}), kStatusDone);
    EXPECT_NEAR(a[0], A * n / 2.0, 1e-8);
    EXPECT_NEAR(b[0], 0.0, 1e-8);
    EXPECT_NEAR(level, mu, 1e-12);
    for (double v : y) EXPECT_NEAR(v, 0.0, 1e-9);

    y = x;
    ASSERT_EQ(HarmonicRegression(y, fit, a, b, 0, level, {}), kStatusDone);
    EXPECT_TRUE(a.empty());
    for (int i = 0; i < n; ++i) EXPECT_NEAR(y[i], x[i] - mu, 1e-12);

    std::vector<double> empty;
    EXPECT_EQ(HarmonicRegression(empty, fit, a, b, 0, level, {}), kStatusBadArgument);
    y = x;
    EXPECT_EQ(HarmonicRegression(y, fit, a, b, 2, level, {f1}), kStatusBadArgument);
    EXPECT_EQ(HarmonicRegression(y, fit, a, b, -1, level, {f1}), kStatusBadArgument);
    EXPECT_EQ(y, x);
}
