// Regression trend: design columns, least squares and generalised least squares against R
// (scripts/reference/regression.R), round trips, failures that must leave the project alone, and
// the model selection criteria.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/unit/library_capture.h"
#include "tests/unit/reference_table.h"
#include "univariate/regression.h"
#include "univariate/residuals.h"

namespace {

const double kPi = 3.14159265359;

UnivariateFields Project(const std::vector<double>& x)
{
    UnivariateFields u;
    u.series = x;
    u.n = static_cast<int32_t>(x.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
    return u;
}

using Fit = int32_t (*)(UnivariateFields&);
const Fit kBothFits[] = {FitLeastSquaresTrend, FitGlsTrend};

std::vector<double> Series(const std::string& name) { return ReferenceSeries(name, "regression_series.csv"); }

double Cell(const ColumnMatrix& x, int32_t i, int32_t j)
{
    return x.values.at(static_cast<size_t>(j - 1) * static_cast<size_t>(x.rows) + static_cast<size_t>(i - 1));
}

// The trend of a reference row (its intercept, degree and Fourier indices) specified on u.
void SpecifyRowTrend(UnivariateFields& u, const ReferenceTable& table, size_t row)
{
    u.intercept = table.Integer(row, "intercept");
    u.polynomialDegree = table.Integer(row, "degree");
    const std::vector<double> index = table.List(row, "index");
    u.harmonicCount = static_cast<int32_t>(index.size());
    for (size_t h = 0; h < index.size(); ++h) u.fourierIndex[h + 1] = static_cast<int32_t>(index[h]);
    EXPECT_EQ(SpecifyRegressionDesign(u), 1);
}

// The project of a reference row, specified as that row says.
UnivariateFields ReferenceProject(const ReferenceTable& table, size_t row)
{
    UnivariateFields u = Project(Series(table.Text(row, "series")));
    u.p = table.Integer(row, "p");
    u.q = table.Integer(row, "q");
    const std::vector<double> coef = table.List(row, "coef_model");
    for (int32_t i = 1; i <= u.p; ++i) u.phi[i] = coef.at(static_cast<size_t>(i - 1));
    for (int32_t j = 1; j <= u.q; ++j) u.theta[j] = coef.at(static_cast<size_t>(u.p + j - 1));
    u.wnVariance = table.Number(row, "sigma2");
    SpecifyRowTrend(u, table, row);
    return u;
}

void ExpectClose(const std::vector<double>& actual, const std::vector<double>& expected, double relative)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], relative * (1.0 + std::fabs(expected[i]))) << "element " << i;
}

// Everything a failed command must leave as it was.
struct RegressionSnapshot {
    std::vector<double> series, trendValues, trendCoefficients, covariance, design, residuals;
    int32_t present, specified, termCount;
    explicit RegressionSnapshot(const UnivariateFields& u)
        : series(u.series), trendValues(u.trendValues), trendCoefficients(u.trendCoefficients),
          covariance(u.coefficientCovariance.values), design(u.regressionDesign.values), residuals(u.residuals),
          present(u.regressionPresent), specified(u.regressionSpecified), termCount(u.termCount)
    {
    }
    void ExpectSame(const UnivariateFields& u) const
    {
        EXPECT_EQ(u.series, series);
        EXPECT_EQ(u.trendValues, trendValues);
        EXPECT_EQ(u.trendCoefficients, trendCoefficients);
        EXPECT_EQ(u.coefficientCovariance.values, covariance);
        EXPECT_EQ(u.regressionDesign.values, design);
        EXPECT_EQ(u.residuals, residuals);
        EXPECT_EQ(u.regressionPresent, present);
        EXPECT_EQ(u.regressionSpecified, specified);
        EXPECT_EQ(u.termCount, termCount);
    }
};

}  // namespace

TEST(RegressionDesign, ColumnsFollowTheChoice)
{
    struct Case {
        const char* name;
        int32_t intercept, degree, harmonics, index, n;
        int32_t terms;
        double (*column)(int32_t j, int32_t t);  // expected cell of column j at time t
    };
    const Case cases[] = {
        {"mean only", 1, 0, 0, 0, 7, 1, [](int32_t, int32_t) { return 1.0; }},
        {"t and t^2 without intercept", 0, 2, 0, 0, 9, 2,
         [](int32_t j, int32_t t) { return j == 1 ? double(t) : double(t) * t; }},
        {"a harmonic alone", 0, 0, 1, 3, 24, 2,
         [](int32_t j, int32_t t) {
             const double a = ((3.0 / 24) * kPi) * t * 2.0;
             return j == 1 ? std::cos(a) : std::sin(a);
         }},
        {"index 12 of 120: period 10", 1, 1, 1, 12, 120, 4,
         [](int32_t j, int32_t t) {
             const double a = ((12.0 / 120) * kPi) * t * 2.0;
             const double v[] = {1.0, double(t), std::cos(a), std::sin(a)};
             return v[j - 1];
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u = Project(std::vector<double>(static_cast<size_t>(c.n), 1.0));
        u.intercept = c.intercept;
        u.polynomialDegree = c.degree;
        u.harmonicCount = c.harmonics;
        u.fourierIndex[1] = c.index;
        u.auxPresent = 1;
        ASSERT_EQ(SpecifyRegressionDesign(u), 1);
        EXPECT_EQ(u.termCount, c.terms);
        EXPECT_EQ(u.auxPresent, 0);
        EXPECT_EQ(u.regressionSpecified, 1);
        ASSERT_EQ(u.regressionDesign.rows, c.n);
        ASSERT_EQ(u.regressionDesign.cols, c.terms);
        for (int32_t j = 1; j <= c.terms; ++j)
            for (int32_t t = 1; t <= c.n; ++t) EXPECT_DOUBLE_EQ(Cell(u.regressionDesign, t, j), c.column(j, t));
    }
    // Index 12 of 120 repeats every 10 observations.
    UnivariateFields u = Project(std::vector<double>(120, 1.0));
    u.polynomialDegree = 1;
    u.harmonicCount = 1;
    u.fourierIndex[1] = 12;
    ASSERT_EQ(SpecifyRegressionDesign(u), 1);
    EXPECT_NEAR(Cell(u.regressionDesign, 3, 3), Cell(u.regressionDesign, 13, 3), 1e-9);
}

TEST(RegressionDesign, NothingChosenSpecifiesNothing)
{
    UnivariateFields u = Project({1, 2, 3});
    u.intercept = 0;
    EXPECT_EQ(SpecifyRegressionDesign(u), 0);
    EXPECT_EQ(u.termCount, 0);
    EXPECT_EQ(u.regressionSpecified, 0);
    EXPECT_FALSE(u.regressionDesign.present());
}

class RegressionFit : public LibraryCapture {};

TEST_F(RegressionFit, MatchesR)
{
    const ReferenceTable table = ReadReferenceTable("regression_reference.csv");
    ASSERT_EQ(table.rows.size(), 4u);
    for (size_t row = 0; row < table.rows.size(); ++row) {
        SCOPED_TRACE(table.Text(row, "id"));
        UnivariateFields u = ReferenceProject(table, row);
        const std::vector<double> data = u.series;
        const bool gls = table.Integer(row, "p") + table.Integer(row, "q") > 0;
        ASSERT_EQ(gls ? FitGlsTrend(u) : FitLeastSquaresTrend(u), REGRESSION_DONE);
        EXPECT_EQ(u.regressionPresent, gls ? 2 : 1);
        ExpectClose(u.trendCoefficients, table.List(row, "coef"), 1e-7);
        if (gls) {
            std::vector<double> se;
            for (int32_t j = 1; j <= u.termCount; ++j) se.push_back(std::sqrt(Cell(u.coefficientCovariance, j, j)));
            ExpectClose(se, table.List(row, "se"), 1e-7);
        }
        // The data are series + trend, and the trend is the design times the coefficients.
        for (int32_t t = 1; t <= u.n; ++t) {
            const auto i = static_cast<size_t>(t - 1);
            EXPECT_NEAR(u.series[i] + u.trendValues[i], data[i], 1e-9 * (1 + std::fabs(data[i])));
            double trend = 0;
            for (int32_t j = 1; j <= u.termCount; ++j) trend += Cell(u.regressionDesign, t, j) * u.trendCoefficients[j - 1];
            EXPECT_NEAR(u.trendValues[i], trend, 1e-9 * (1 + std::fabs(trend)));
        }
    }
    EXPECT_TRUE(stops.empty());
}

TEST_F(RegressionFit, RepeatedFitsDoNotAccumulate)
{
    const ReferenceTable table = ReadReferenceTable("regression_reference.csv");
    ASSERT_EQ(table.rows.size(), 4u);
    for (Fit fit : kBothFits) {
        UnivariateFields u = ReferenceProject(table, 2);
        ASSERT_EQ(fit(u), REGRESSION_DONE);
        const std::vector<double> series = u.series, trend = u.trendValues, coef = u.trendCoefficients;
        ASSERT_EQ(fit(u), REGRESSION_DONE);
        ExpectClose(u.series, series, 1e-10);
        ExpectClose(u.trendValues, trend, 1e-10);
        ExpectClose(u.trendCoefficients, coef, 1e-10);
    }
}

TEST_F(RegressionFit, WhiteNoiseGlsEqualsLeastSquares)
{
    const ReferenceTable table = ReadReferenceTable("regression_reference.csv");
    ASSERT_EQ(table.rows.size(), 4u);
    UnivariateFields ls = ReferenceProject(table, 1);  // co2, degree 1 and a harmonic
    ls.wnVariance = 2.5;
    UnivariateFields gls = ls;
    ASSERT_EQ(FitLeastSquaresTrend(ls), REGRESSION_DONE);
    ASSERT_EQ(FitGlsTrend(gls), REGRESSION_DONE);
    ExpectClose(gls.trendCoefficients, ls.trendCoefficients, 1e-8);
    ExpectClose(gls.series, ls.series, 1e-8);
}

TEST_F(RegressionFit, RemoveGivesTheDataBack)
{
    const ReferenceTable table = ReadReferenceTable("regression_reference.csv");
    ASSERT_EQ(table.rows.size(), 4u);
    UnivariateFields u = ReferenceProject(table, 3);
    const std::vector<double> data = u.series;
    u.intercept = 0;  // the box as the user left it
    ASSERT_EQ(FitGlsTrend(u), REGRESSION_DONE);
    RemoveRegressionTrend(u);
    ExpectClose(u.series, data, 1e-12);
    EXPECT_TRUE(u.trendValues.empty());
    EXPECT_TRUE(u.trendCoefficients.empty());
    EXPECT_FALSE(u.coefficientCovariance.present());
    EXPECT_FALSE(u.regressionDesign.present());
    EXPECT_EQ(u.regressionPresent, 0);
    EXPECT_EQ(u.regressionSpecified, 0);
    EXPECT_EQ(u.harmonicCount + u.polynomialDegree + u.fourierIndex[1], 0);
    EXPECT_EQ(u.intercept, 0);
}

// The auxiliary variables that belong to the project are not the trend's design: specifying,
// fitting and removing a trend leave them as they were.
TEST_F(RegressionFit, TheDesignIsKeptApartFromTheAuxiliaryVariables)
{
    UnivariateFields u = Project(Series("LakeHuron"));
    const ColumnMatrix aux{u.n, 1, std::vector<double>(static_cast<size_t>(u.n), 0.5)};
    u.auxVariables = aux;
    u.polynomialDegree = 1;
    ASSERT_EQ(SpecifyRegressionDesign(u), 1);
    ASSERT_EQ(FitLeastSquaresTrend(u), REGRESSION_DONE);
    EXPECT_EQ(u.regressionDesign.cols, 2);
    EXPECT_EQ(u.auxVariables.rows, aux.rows);
    EXPECT_EQ(u.auxVariables.cols, aux.cols);
    EXPECT_EQ(u.auxVariables.values, aux.values);
    RemoveRegressionTrend(u);
    EXPECT_FALSE(u.regressionDesign.present());
    EXPECT_EQ(u.auxVariables.values, aux.values);
}

// A difference after Specify leaves a design one row too long; the fit must use n rows.
TEST_F(RegressionFit, DesignFollowsTheCurrentLength)
{
    std::vector<double> x = Series("LakeHuron");
    UnivariateFields u = Project(x);
    u.polynomialDegree = 1;
    ASSERT_EQ(SpecifyRegressionDesign(u), 1);
    for (size_t t = 0; t + 1 < x.size(); ++t) x[t] = x[t + 1] - x[t];
    x.pop_back();
    u.series = x;
    u.n = static_cast<int32_t>(x.size());
    u.lastIndex = u.n;

    UnivariateFields expected = Project(x);
    expected.polynomialDegree = 1;
    ASSERT_EQ(SpecifyRegressionDesign(expected), 1);
    ASSERT_EQ(FitLeastSquaresTrend(expected), REGRESSION_DONE);

    for (Fit fit : kBothFits) {
        UnivariateFields v = u;
        ASSERT_EQ(fit(v), REGRESSION_DONE);
        EXPECT_EQ(v.regressionDesign.rows, v.n);
        ASSERT_EQ(v.trendValues.size(), x.size());
        ExpectClose(v.trendCoefficients, expected.trendCoefficients, 1e-9);
    }
}

TEST_F(RegressionFit, FailuresLeaveTheProjectAlone)
{
    const ReferenceTable table = ReadReferenceTable("regression_reference.csv");
    ASSERT_EQ(table.rows.size(), 4u);
    struct Case {
        const char* name;
        void (*prepare)(UnivariateFields&);
        int32_t status;
    };
    const Case cases[] = {
        {"nothing specified", [](UnivariateFields& u) { RemoveRegressionTrend(u); }, REGRESSION_NOT_SPECIFIED},
        {"non-causal model", [](UnivariateFields& u) { u.phi[1] = 1.5; }, REGRESSION_NOT_WHITENED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        UnivariateFields u = ReferenceProject(table, 2);
        ASSERT_EQ(FitLeastSquaresTrend(u), REGRESSION_DONE);  // a fit in place that must survive
        c.prepare(u);
        ComputeResiduals(u);
        const RegressionSnapshot before(u);
        EXPECT_EQ(FitGlsTrend(u), c.status);
        before.ExpectSame(u);
        EXPECT_TRUE(stops.empty());
    }
}

// GLS whitens with the model's residuals, which a series of fewer than 2 max(p, q) values does not
// have: refused with that reason (not as a model that gives no residuals), and fitted at the
// length the model needs.
TEST_F(RegressionFit, GlsRefusesASeriesTooShortForTheModel)
{
    const struct {
        int32_t n, p, q;
        int32_t status;
    } cases[] = {
        {12, 7, 0, REGRESSION_SHORT_SERIES}, {14, 7, 0, REGRESSION_DONE}, {12, 0, 7, REGRESSION_SHORT_SERIES},
        {12, 2, 6, REGRESSION_DONE},         {1, 0, 0, REGRESSION_SHORT_SERIES}, {2, 0, 0, REGRESSION_DONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " values, ARMA(" + std::to_string(c.p) + "," + std::to_string(c.q) + ")");
        std::vector<double> x(static_cast<size_t>(c.n));
        for (size_t t = 0; t < x.size(); ++t) x[t] = 5.0 + 0.25 * double(t) + std::sin(1.3 * double(t));
        UnivariateFields u = Project(x);
        u.p = c.p;
        u.q = c.q;
        u.intercept = 1;
        ASSERT_EQ(SpecifyRegressionDesign(u), 1);
        const RegressionSnapshot before(u);
        EXPECT_EQ(FitGlsTrend(u), c.status);
        if (c.status == REGRESSION_SHORT_SERIES) before.ExpectSame(u);
    }
    UnivariateFields u = Project(std::vector<double>(12, 1.0));
    u.p = 7;
    EXPECT_EQ(RegressionShortSeriesMessage(u), "The series has 12 values: too few for the ARMA(7,0) model, which needs "
                                               "at least 14, so the regression cannot be fitted with it.");
}

namespace {

// The project of a row of regression_designs.csv: y(t) = 3 + 0.5 t + 10 sin(0.3 t), t = 1..n, and
// the design the row names.
UnivariateFields DesignProject(const ReferenceTable& table, size_t row)
{
    std::vector<double> y(static_cast<size_t>(table.Integer(row, "n")));
    for (size_t i = 0; i < y.size(); ++i) {
        const double t = static_cast<double>(i + 1);
        y[i] = 3 + 0.5 * t + 10 * std::sin(0.3 * t);
    }
    UnivariateFields u = Project(y);
    SpecifyRowTrend(u, table, row);
    return u;
}

std::vector<int32_t> Columns(const std::vector<double>& list)
{
    std::vector<int32_t> columns;
    for (double j : list) columns.push_back(static_cast<int32_t>(j));
    return columns;
}

double Norm(std::vector<double>::const_iterator first, size_t count)
{
    double s = 0.0;
    for (size_t i = 0; i < count; ++i) s += first[static_cast<std::ptrdiff_t>(i)] * first[static_cast<std::ptrdiff_t>(i)];
    return std::sqrt(s);
}

}  // namespace

// One table of designs fitted by R's lm.fit: raw powers of t up to t^10 at n = 5000, where the
// columns span 37 orders of magnitude and every one is independent, and designs with a harmonic
// at Fourier index n or 0 or given twice, whose aliased columns are left out. Least Squares
// leaves out what lm.fit leaves out and fits what it fits. Generalized LS under a white-noise
// model whitens every column by one constant, so it must do the same, with the covariance of the
// kept coefficients wnVariance inverse(Z'Z) (lm.fit's unscaled standard errors, times
// sqrt(wnVariance) over the constant) and 0 in the rows and columns of those left out.
TEST_F(RegressionFit, DesignsAgreeWithLmFit)
{
    const ReferenceTable table = ReadReferenceTable("regression_designs.csv");
    ASSERT_EQ(table.rows.size(), 54u);
    for (size_t row = 0; row < table.rows.size(); ++row) {
        const UnivariateFields specified = DesignProject(table, row);
        const std::vector<double> coef = table.List(row, "coef"), se = table.List(row, "se");
        const std::vector<double> times = table.List(row, "times"), fitted = table.List(row, "fitted");
        for (const bool gls : {false, true}) {
            SCOPED_TRACE(table.Text(row, "id") + (gls ? " by generalized least squares" : " by least squares"));
            UnivariateFields u = specified;
            u.wnVariance = 2.0;
            std::vector<int32_t> leftOut = {99};
            ASSERT_EQ(gls ? FitGlsTrend(u, leftOut) : FitLeastSquaresTrend(u, leftOut), REGRESSION_DONE);
            EXPECT_EQ(leftOut, Columns(table.List(row, "left_out")));
            for (int32_t j : leftOut) EXPECT_EQ(u.trendCoefficients.at(static_cast<size_t>(j - 1)), 0.0) << j;

            // A coefficient is compared on the scale of its column's share of the fit.
            const double fitNorm = Norm(u.trendValues.begin(), u.trendValues.size());
            for (int32_t j = 1; j <= u.termCount; ++j) {
                const double columnNorm = Norm(specified.regressionDesign.values.begin() +
                                                   static_cast<std::ptrdiff_t>(j - 1) * u.n,
                                               static_cast<size_t>(u.n));
                EXPECT_NEAR(u.trendCoefficients[j - 1], coef[j - 1], 1e-6 * (std::fabs(coef[j - 1]) + fitNorm / columnNorm))
                    << "column " << j;
            }
            for (size_t k = 0; k < times.size(); ++k) {
                const double value = u.trendValues.at(static_cast<size_t>(times[k]) - 1);
                EXPECT_NEAR(value, fitted[k], 1e-6 * std::fabs(fitted[k])) << "t = " << times[k];
            }
            double rss = 0.0;
            for (double r : u.series) rss += r * r;
            EXPECT_NEAR(rss, table.Number(row, "rss"), 1e-9 * table.Number(row, "rss"));

            if (!gls) continue;
            // The white-noise filter's constant: the whitened value of a 1.
            UnivariateFields ones = Project(std::vector<double>(3, 1.0));
            ASSERT_EQ(ComputeResiduals(ones), 1);
            const double c = ones.residuals[0];
            for (int32_t j = 1; j <= u.termCount; ++j) {
                const bool out = std::find(leftOut.begin(), leftOut.end(), j) != leftOut.end();
                for (int32_t i = 1; out && i <= u.termCount; ++i) {
                    EXPECT_EQ(Cell(u.coefficientCovariance, i, j), 0.0) << i << ", " << j;
                    EXPECT_EQ(Cell(u.coefficientCovariance, j, i), 0.0) << j << ", " << i;
                }
                // From the triangular factor, as lm.fit's chol2inv of R: the error grows with the
                // condition number of the kept columns, not with its square.
                const double ours = std::sqrt(Cell(u.coefficientCovariance, j, j)) * c / std::sqrt(2.0);
                EXPECT_NEAR(ours, se[j - 1], 1e-14 * table.Number(row, "kappa") * se[j - 1]) << "column " << j;
            }
        }
    }
    EXPECT_TRUE(stops.empty());
}

// The command's designs (scripts/reference/regression.R) through both fits: harmonics at Fourier
// indices f and n - f, at n/2 and at n, beside a constant and without one, an index given twice,
// a constant alone under AR(1) (one column kept: its variance is sigma2 / Z'Z = 0.1905, not
// sigma2 Z'Z = 21) and degree 10. Least squares against lm.fit on the exact design, generalized
// least squares under the row's AR(1) against lm.fit on the design whitened by the Cholesky factor
// of the model's autocovariance matrix, with standard errors from chol2inv of its R. Both leave
// out the same columns as R, the later of each aliased pair, and neither stops.
TEST_F(RegressionFit, CommandDesignsAgreeWithR)
{
    const ReferenceTable table = ReadReferenceTable("regression_commands.csv");
    ASSERT_EQ(table.rows.size(), 11u);
    for (size_t row = 0; row < table.rows.size(); ++row) {
        UnivariateFields specified = Project(Series(table.Text(row, "series")));
        specified.p = 1;
        specified.phi[1] = table.Number(row, "phi");
        specified.wnVariance = table.Number(row, "sigma2");
        SpecifyRowTrend(specified, table, row);
        const std::vector<double> data = specified.series, times = table.List(row, "times");
        for (const bool gls : {false, true}) {
            SCOPED_TRACE(table.Text(row, "id") + (gls ? " by generalized least squares" : " by least squares"));
            const std::string fit = gls ? "gls_" : "ls_";
            UnivariateFields u = specified;
            std::vector<int32_t> leftOut = {99};
            Clear();
            ASSERT_EQ(gls ? FitGlsTrend(u, leftOut) : FitLeastSquaresTrend(u, leftOut), REGRESSION_DONE) << output;
            EXPECT_TRUE(stops.empty() && warnings.empty()) << output;
            EXPECT_EQ(leftOut, Columns(table.List(row, fit + "left_out")));
            ExpectClose(u.trendCoefficients, table.List(row, fit + "coef"), 1e-7);
            const std::vector<double> trend = table.List(row, gls ? "gls_trend" : "ls_fitted");
            for (size_t k = 0; k < times.size(); ++k) {
                const auto t = static_cast<size_t>(times[k]) - 1;
                EXPECT_NEAR(u.trendValues.at(t), trend[k], 1e-9 * std::fabs(trend[k])) << "t = " << times[k];
                EXPECT_NEAR(u.series[t] + u.trendValues[t], data[t], 1e-12 * std::fabs(data[t]));
            }
            if (!gls) {
                double rss = 0.0;
                for (double r : u.series) rss += r * r;
                EXPECT_NEAR(rss, table.Number(row, "ls_rss"), 1e-9 * table.Number(row, "ls_rss"));
                continue;
            }
            const std::vector<double> se = table.List(row, "gls_se"), covariance = table.List(row, "gls_covariance");
            ASSERT_EQ(u.coefficientCovariance.values.size(), covariance.size());
            for (int32_t j = 1; j <= u.termCount; ++j) {
                const auto sj = se[static_cast<size_t>(j - 1)];
                EXPECT_NEAR(std::sqrt(Cell(u.coefficientCovariance, j, j)), sj, 1e-8 * sj) << "column " << j;
                for (int32_t i = 1; i <= u.termCount; ++i)
                    EXPECT_NEAR(Cell(u.coefficientCovariance, i, j),
                                covariance[static_cast<size_t>(j - 1) * static_cast<size_t>(u.termCount) + (i - 1)],
                                1e-8 * se[static_cast<size_t>(i - 1)] * sj)
                        << i << ", " << j;
            }
        }
    }
}

// The box after a fit names each term left out with its reason. Index arithmetic on n (40 unless
// the row says otherwise) decides the aliased harmonics, and both fits leave out just those (the data are a line with a
// wiggle, independent of every term kept); a term the rank rule left out is named as such.
TEST_F(RegressionFit, LeftOutTermsAreNamedWithTheirReasons)
{
    const char* const cos40 = "Cos(2*pi*t40/N)";
    const char* const sin40 = "Sin(2*pi*t40/N)";
    struct Case {
        const char* name;
        int32_t intercept, degree;
        std::vector<int32_t> index;
        bool fitted;  // leftOut is what the fits leave out; else a rank-rule drop given to the message
        std::vector<int32_t> leftOut;
        std::vector<std::string> lines;  // after the first; none for no message
        int32_t n = 40;
    };
    const Case cases[] = {
        {"nothing left out", 1, 1, {7}, true, {}, {}},
        {"the sine at n/2", 1, 0, {20}, true, {3}, {"Sin(2*pi*t20/N) is zero at every t."}},
        {"index n, n/2 and n - f beside a constant",
         1,
         1,
         {40, 20, 7, 33},
         true,
         {3, 4, 6, 9, 10},
         {std::string(cos40) + " repeats the earlier term t^0 (the constant).", std::string(sin40) + " is zero at every t.",
          "Sin(2*pi*t20/N) is zero at every t.", "Cos(2*pi*t33/N) repeats the earlier term Cos(2*pi*t7/N).",
          "Sin(2*pi*t33/N) repeats the earlier term Sin(2*pi*t7/N) with the sign changed."}},
        {"index n twice without a constant: the first cosine is kept as the constant",
         0,
         0,
         {40, 40, 20, 20},
         true,
         {2, 3, 4, 6, 7, 8},
         {std::string(sin40) + " is zero at every t.", std::string(cos40) + " repeats the earlier term " + cos40 + ".",
          std::string(sin40) + " is zero at every t.", "Sin(2*pi*t20/N) is zero at every t.",
          "Cos(2*pi*t20/N) repeats the earlier term Cos(2*pi*t20/N).", "Sin(2*pi*t20/N) is zero at every t."}},
        {"an index given twice", 1, 0, {7, 7}, true, {4, 5},
         {"Cos(2*pi*t7/N) repeats the earlier term Cos(2*pi*t7/N).", "Sin(2*pi*t7/N) repeats the earlier term Sin(2*pi*t7/N)."}},
        {"each repeat names the first of its harmonic", 1, 0, {7, 33, 7}, true, {4, 5, 6, 7},
         {"Cos(2*pi*t33/N) repeats the earlier term Cos(2*pi*t7/N).", "Sin(2*pi*t33/N) repeats the earlier term Sin(2*pi*t7/N) with the sign changed.",
          "Cos(2*pi*t7/N) repeats the earlier term Cos(2*pi*t7/N).", "Sin(2*pi*t7/N) repeats the earlier term Sin(2*pi*t7/N)."}},
        {"t^2 by the rank rule", 0, 2, {}, false, {2},
         {"t^2 is a combination of the terms before it, to within 1e-7 of its size."}},
        {"the constant and a sine by the rank rule", 1, 0, {7, 9}, false, {1, 3},
         {"t^0 (the constant) is a combination of the terms before it, to within 1e-7 of its size.",
          "Sin(2*pi*t7/N) is a combination of the terms before it, to within 1e-7 of its size."}},
        // Three observations: index 3 aliases, and of the five columns left the last two are
        // beyond the three rows; the box names all four in column order.
        {"aliases before the columns beyond the rows", 1, 2, {3, 1}, true, {4, 5, 6, 7},
         {"Cos(2*pi*t3/N) repeats the earlier term t^0 (the constant).", "Sin(2*pi*t3/N) is zero at every t.",
          "Cos(2*pi*t1/N) is a combination of the terms before it, to within 1e-7 of its size.",
          "Sin(2*pi*t1/N) is a combination of the terms before it, to within 1e-7 of its size."},
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> data(static_cast<size_t>(c.n));
        for (size_t t = 0; t < data.size(); ++t) data[t] = 2.0 + 0.5 * double(t + 1) + 0.3 * std::sin(1.7 * double(t + 1));
        UnivariateFields u = Project(data);
        u.intercept = c.intercept;
        u.polynomialDegree = c.degree;
        u.harmonicCount = static_cast<int32_t>(c.index.size());
        for (size_t h = 0; h < c.index.size(); ++h) u.fourierIndex[h + 1] = c.index[h];
        ASSERT_EQ(SpecifyRegressionDesign(u), 1);
        u.p = 1;
        u.phi[1] = 0.4;
        for (const bool gls : {false, true}) {
            if (!c.fitted) break;
            UnivariateFields v = u;
            std::vector<int32_t> leftOut;
            ASSERT_EQ(gls ? FitGlsTrend(v, leftOut) : FitLeastSquaresTrend(v, leftOut), REGRESSION_DONE);
            EXPECT_EQ(leftOut, c.leftOut) << (gls ? "generalized least squares" : "least squares");
        }
        std::string expected;
        if (!c.lines.empty())
            expected = c.leftOut.size() == 1 ? "The trend was fitted without this term, whose coefficient is set to 0:"
                                             : "The trend was fitted without these terms, whose coefficients are set to 0:";
        for (const std::string& line : c.lines) expected += "\n" + line;
        EXPECT_EQ(LeftOutTermsMessage(u, c.leftOut), expected);
    }
    EXPECT_TRUE(stops.empty());
}

TEST(ModelCriteria, Table)
{
    struct Case {
        const char* name;
        int32_t p, q, k, n;
        double sigma2, seriesValue, bic, fpe;
    };
    const double nan = std::nan("");
    const double keep = -7.0;  // fpe before the call
    const Case cases[] = {
        {"AR(2): fpe 102/98", 2, 0, 2, 100, 1.0, 3.0, -1.0, 102.0 / 98.0},
        {"ARMA(1,1): fpe kept", 1, 1, 2, 100, 1.0, 3.0, -1.0, keep},
        {"every coefficient fixed", 2, 0, 0, 100, 1.0, 3.0, 0.0, 1.0},
        {"variance at the mean square", 1, 0, 1, 50, 9.0, 3.0, 0.0, 9.0 * 51 / 49},
        {"as many coefficients as data", 3, 0, 3, 3, 1.0, 3.0, 0.0, 0.0},
        {"more coefficients than data", 5, 0, 5, 3, 1.0, 3.0, 0.0, 0.0},
        {"zero variance", 1, 0, 1, 50, 0.0, 3.0, 0.0, 0.0},
        {"NaN variance", 1, 0, 1, 50, nan, 3.0, 0.0, 0.0},
        {"infinite variance", 1, 0, 1, 50, HUGE_VAL, 3.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u = Project(std::vector<double>(static_cast<size_t>(c.n), c.seriesValue));
        u.p = c.p;
        u.q = c.q;
        u.numFree = c.k;
        u.wnVariance = c.sigma2;
        u.fpe = keep;
        u.bic = 123.0;
        EXPECT_EQ(ModelCriteria(u), 1);
        if (c.bic < 0) {
            // The closed form of the Part's steps with the literal 6.28318.
            const double n = c.n, k = c.k, s = c.seriesValue * c.seriesValue;
            const double bic = (n - k) * std::log(n * c.sigma2 / (n - k)) + n * (1 + std::log(6.28318)) +
                               k * std::log((n * s - n * c.sigma2) / k);
            EXPECT_NEAR(u.bic, bic, 1e-10 * std::fabs(bic));
        } else {
            EXPECT_EQ(u.bic, c.bic);
        }
        EXPECT_DOUBLE_EQ(u.fpe, c.fpe);
    }
}

TEST(ModelCriteria, MatchesR)
{
    const ReferenceTable t = ReadReferenceTable("regression_criteria.csv");
    ASSERT_EQ(t.rows.size(), 1u);
    std::vector<double> x = Series("LakeHuron");
    double mean = 0;
    for (double v : x) mean += v / static_cast<double>(x.size());
    for (double& v : x) v -= mean;
    UnivariateFields u = Project(x);
    u.p = t.Integer(0, "p");
    u.q = t.Integer(0, "q");
    u.numFree = t.Integer(0, "k");
    u.wnVariance = t.Number(0, "sigma2");
    ModelCriteria(u);
    EXPECT_NEAR(u.bic, t.Number(0, "bic"), 1e-10 * std::fabs(t.Number(0, "bic")));
    EXPECT_NEAR(u.fpe, t.Number(0, "fpe"), 1e-12);
}
