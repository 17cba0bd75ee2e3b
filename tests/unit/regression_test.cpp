// Regression trend: design columns, least squares and generalised least squares against R
// (scripts/reference/regression.R), round trips, failures that must leave the project alone, and
// the model selection criteria.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
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

// The project of a reference row, specified as that row says.
UnivariateFields ReferenceProject(const ReferenceTable& table, size_t row)
{
    UnivariateFields u = Project(Series(table.Text(row, "series")));
    u.intercept = table.Integer(row, "intercept");
    u.polynomialDegree = table.Integer(row, "degree");
    const std::vector<double> index = table.List(row, "index");
    u.harmonicCount = static_cast<int32_t>(index.size());
    for (size_t h = 0; h < index.size(); ++h) u.fourierIndex[h + 1] = static_cast<int32_t>(index[h]);
    u.p = table.Integer(row, "p");
    u.q = table.Integer(row, "q");
    const std::vector<double> coef = table.List(row, "coef_model");
    for (int32_t i = 1; i <= u.p; ++i) u.phi[i] = coef.at(static_cast<size_t>(i - 1));
    for (int32_t j = 1; j <= u.q; ++j) u.theta[j] = coef.at(static_cast<size_t>(u.p + j - 1));
    u.wnVariance = table.Number(row, "sigma2");
    EXPECT_EQ(SpecifyRegressionDesign(u), 1);
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
        bool stops;
    };
    const Case cases[] = {
        {"nothing specified", [](UnivariateFields& u) { RemoveRegressionTrend(u); }, REGRESSION_NOT_SPECIFIED, false},
        {"non-causal model", [](UnivariateFields& u) { u.phi[1] = 1.5; }, REGRESSION_NOT_WHITENED, false},
        // Index 0: a cosine column equal to the constant and a zero sine column, so Z'Z is
        // exactly singular and the inverse stops.
        {"exactly singular design",
         [](UnivariateFields& u) {
             u.fourierIndex[1] = 0;
             SpecifyRegressionDesign(u);
         },
         REGRESSION_ABANDONED, true},
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
        EXPECT_EQ(stops.size(), c.stops ? 1u : 0u);
        if (c.stops) {
            ASSERT_EQ(stops.size(), 1u);
            EXPECT_NE(stops[0].find("DL"), std::string::npos) << stops[0];
        }
    }
}

// Columns dependent on the others to within rounding: a harmonic at Fourier index n (its cosine
// is the constant to the last bit, its sine a ramp of 4e-13 t) and at index 0 (cosine 1, sine 0).
// The fit leaves them out with coefficient 0 and its fitted values are R's. Beside a power of t the
// constant and the cosine are equal columns and which one the pivoting takes first rests on the
// BLAS kernel's rounding: one of the two is left out.
TEST_F(RegressionFit, DependentColumnsAreLeftOut)
{
    struct Case {
        const char* id;
        std::vector<int32_t> leftOut;  // always left out
        std::vector<int32_t> oneOf;    // exactly one of these also
    };
    const Case cases[] = {
        {"sunspot_n", {2}, {}},
        {"lh_line_n", {4}, {1, 3}},
        {"lh_line_0", {4}, {1, 3}},
    };
    const ReferenceTable table = ReadReferenceTable("regression_dependent.csv");
    ASSERT_EQ(table.rows.size(), std::size(cases));
    for (size_t row = 0; row < table.rows.size(); ++row) {
        const Case& c = cases[row];
        ASSERT_EQ(table.Text(row, "id"), c.id);
        SCOPED_TRACE(c.id);
        UnivariateFields u = Project(Series(table.Text(row, "series")));
        u.polynomialDegree = table.Integer(row, "degree");
        u.harmonicCount = 1;
        u.fourierIndex[1] = table.Integer(row, "index");
        ASSERT_EQ(SpecifyRegressionDesign(u), 1);
        const std::vector<double> data = u.series;
        std::vector<int32_t> leftOut = {99};
        ASSERT_EQ(FitLeastSquaresTrend(u, leftOut), REGRESSION_DONE);
        EXPECT_EQ(leftOut.size(), static_cast<size_t>(u.termCount - table.Integer(row, "rank")));
        for (int32_t j : c.leftOut) EXPECT_NE(std::find(leftOut.begin(), leftOut.end(), j), leftOut.end()) << j;
        const auto inOneOf = [&](int32_t j) { return std::find(c.oneOf.begin(), c.oneOf.end(), j) != c.oneOf.end(); };
        if (!c.oneOf.empty()) {
            EXPECT_EQ(std::count_if(leftOut.begin(), leftOut.end(), inOneOf), 1);
        }
        for (int32_t j : leftOut) EXPECT_EQ(u.trendCoefficients.at(static_cast<size_t>(j - 1)), 0.0) << j;
        for (double b : u.trendCoefficients) EXPECT_TRUE(std::isfinite(b));
        const std::vector<double> fitted = table.List(row, "fitted");
        ExpectClose(u.trendValues, fitted, 1e-9);
        for (size_t t = 0; t < data.size(); ++t)
            EXPECT_NEAR(u.series[t] + u.trendValues[t], data[t], 1e-9 * (1 + std::fabs(data[t])));
        if (c.oneOf.empty()) {
            EXPECT_EQ(LeftOutTermsMessage(u, leftOut),
                      "The trend was fitted without Cos(2*pi*t289/N): this term depends on the others to within "
                      "rounding, so its coefficient is set to 0.");
        }
    }
    EXPECT_TRUE(stops.empty());
}

TEST(RegressionTerms, NamesInTheMessage)
{
    struct Case {
        const char* name;
        int32_t intercept, degree, harmonics;
        std::vector<int32_t> leftOut;
        const char* text;  // the names, or "" for no message
    };
    const Case cases[] = {
        {"nothing left out", 1, 1, 1, {}, ""},
        {"the constant", 1, 2, 0, {1}, "t^0 (the constant)"},
        {"t^2 without an intercept", 0, 2, 0, {2}, "t^2"},
        {"cosine and sine of different harmonics", 1, 0, 2, {2, 5}, "Cos(2*pi*t40/N) and Sin(2*pi*t7/N)"},
        {"three terms", 0, 1, 2, {1, 3, 4}, "t^1, Sin(2*pi*t40/N) and Cos(2*pi*t7/N)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u = Project(std::vector<double>(40, 1.0));
        u.intercept = c.intercept;
        u.polynomialDegree = c.degree;
        u.harmonicCount = c.harmonics;
        u.fourierIndex[1] = 40;
        u.fourierIndex[2] = 7;
        const std::string text = LeftOutTermsMessage(u, c.leftOut);
        if (c.leftOut.empty()) {
            EXPECT_EQ(text, "");
        } else {
            const std::string ending =
                c.leftOut.size() == 1
                    ? ": this term depends on the others to within rounding, so its coefficient is set to 0."
                    : ": these terms depend on the others to within rounding, so their coefficients are set to 0.";
            EXPECT_EQ(text, std::string("The trend was fitted without ") + c.text + ending);
        }
    }
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
