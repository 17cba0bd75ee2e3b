#include "univariate/data_report.h"
#include "univariate/estimation_reports.h"
#include "univariate/forecast_reports.h"
#include "univariate/model_text.h"
#include "univariate/residual_reports.h"
#include "univariate/residuals.h"
#include "univariate/statistics_reports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <functional>
#include <string>
#include <vector>

#include "tests/unit/reference_table.h"

namespace {

// The window text of report lines: each ends with CR LF.
std::string Text(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A weight row: lag in 15 characters, then two 15-character cells.
std::string Row(int lag, const char* ma, const char* ar)
{
    char row[64];
    std::snprintf(row, sizeof row, "%15d%15s%15s", lag, ma, ar);
    std::string text = row;
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

void SetSeries(UnivariateProject& u, std::vector<double> x)
{
    u.n = static_cast<int32_t>(x.size());
    u.firstIndex = x.empty() ? 0 : 1;
    u.lastIndex = u.n;
    u.series = std::move(x);
}

void Push(UnivariateProject& u, TransformNode* node)
{
    node->next = u.transforms;
    u.transforms = node;
}

TransformNode* Node(int32_t kind)
{
    auto* node = new TransformNode;
    InitTransformNode(*node);
    node->kind = kind;
    return node;
}

void Arma(UnivariateProject& u, std::vector<double> phi, std::vector<double> theta)
{
    u.p = static_cast<int32_t>(phi.size());
    u.q = static_cast<int32_t>(theta.size());
    for (size_t i = 0; i < phi.size(); ++i) u.phi[i + 1] = phi[i];
    for (size_t j = 0; j < theta.size(); ++j) u.theta[j + 1] = theta[j];
}

const std::vector<std::string> kWhiteNoise = {"  ", "ARMA Model:", "X(t) = Z(t)"};

struct ReportCase {
    const char* name;
    std::function<void(UnivariateProject&)> setup;
    std::function<InfoCalls(UnivariateProject&)> report;
    std::vector<std::string> lines;
};

// Each report clears what its window held, then writes its lines.
void RunCases(const std::vector<ReportCase>& cases)
{
    for (const ReportCase& c : cases) {
        UnivariateProject u;
        VeskInit(u);
        c.setup(u);
        EXPECT_EQ(ReportWindowText(c.report(u), "an older report\r\n"), Text(c.lines)) << c.name;
    }
}

const std::vector<std::string> kDataHeading = {"==========", "KELO::Vesk", "=========="};

}  // namespace

TEST(DataReport, GoldenTexts)
{
    const auto data = [](UnivariateProject& u) { return DataReport(u); };
    const std::vector<std::string> model = Join(Join({"MODEL:"}, kWhiteNoise), {"  ", "WN Variance = 1.000000"});
    const std::string rule = "(square root of (1/n)SUM{(1-|h|/r)acvf(h)}, |h|<r=[sqrt(n)])";
    RunCases({
        {"1..4", [](UnivariateProject& u) { SetSeries(u, {1, 2, 3, 4}); }, data,
         Join(Join(kDataHeading, {"# of Data Points =        4", "  ", "Sample Mean = 2.5000",
                                  "Sample Variance = 1.250000", "Std.Error(Sample Mean) =  0.625000", rule, "  "}),
              model)},
        {"1..9", [](UnivariateProject& u) { SetSeries(u, {1, 2, 3, 4, 5, 6, 7, 8, 9}); }, data,
         Join(Join(kDataHeading, {"# of Data Points =        9", "  ", "Sample Mean = 5.0000",
                                  "Sample Variance = 6.666667", "Std.Error(Sample Mean) =  1.253801", rule, "  "}),
              model)},
        {"constant", [](UnivariateProject& u) { SetSeries(u, {3, 3, 3}); }, data,
         Join(Join(kDataHeading, {"# of Data Points =        3", "  ", "Sample Mean = 3.0000",
                                  "Sample Variance = 0.000000", "Std.Error(Sample Mean) =  0.000000", rule, "  "}),
              model)},
        {"subtracted mean under a subsequence",
         [](UnivariateProject& u) {
             SetSeries(u, {-1.5, -0.5, 0.5, 1.5});
             TransformNode* mean = Node(TRANSFORM_SUBTRACT_MEAN);
             mean->mean = 2.5;
             Push(u, mean);
             Push(u, Node(TRANSFORM_SUBSEQUENCE));
             u.wnVariance = 0.125;
         },
         data,
         Join(Join(kDataHeading, {"# of Data Points =        4", "  ", "Subtracted Mean = 2.5000",
                                  "Sample Variance = 1.250000", "Std.Error(Sample Mean) =  0.625000", rule, "  "}),
              Join(Join({"MODEL:"}, kWhiteNoise), {"  ", "WN Variance = 0.125000"}))},
        {"no data", [](UnivariateProject&) {}, data,
         Join(Join(kDataHeading, {"# of Data Points =        0", "  "}), model)},
        // Values near the largest double once gave Infinity for the mean and the variance, and
        // then asterisks: the finite ones are written in significant-digit form, the variance
        // beyond the doubles is said.
        {"a constant series of 1e308", [](UnivariateProject& u) { SetSeries(u, std::vector<double>(5, 1e308)); }, data,
         Join(Join(kDataHeading, {"# of Data Points =        5", "  ", "Sample Mean = 1.00000000E+308",
                                  "Sample Variance = 0.000000", "Std.Error(Sample Mean) =  0.000000", rule, "  "}),
              model)},
        {"1.7e308 of both signs",
         [](UnivariateProject& u) { SetSeries(u, {1.7e308, -1.7e308, 1.7e308, -1.7e308}); }, data,
         Join(Join(kDataHeading, {"# of Data Points =        4", "  ", "Sample Mean = 0.0000",
                                  "Sample Variance: the values are too large for it",
                                  "Std.Error(Sample Mean) =  4.25000000E+307", rule, "  "}),
              model)},
        // A series in currency units: F15.4 cannot hold its mean, nor F15.6 its variance and
        // standard error, nor the white-noise variance.
        {"values near 2e10",
         [](UnivariateProject& u) {
             SetSeries(u, {2.0e10, 2.1e10, 2.3e10, 2.2e10});
             u.wnVariance = 1.5e9;
         },
         data,
         Join(Join(kDataHeading, {"# of Data Points =        4", "  ", "Sample Mean = 21500000000.000",
                                  "Sample Variance = 1.25000000E+018", "Std.Error(Sample Mean) =  599478940.41409",
                                  rule, "  "}),
              Join(Join({"MODEL:"}, kWhiteNoise), {"  ", "WN Variance = 1500000000.0000"}))},
        {"the subtracted mean of such values",
         [](UnivariateProject& u) {
             SetSeries(u, {-1.5e9, -0.5e9, 0.5e9, 1.5e9});
             TransformNode* mean = Node(TRANSFORM_SUBTRACT_MEAN);
             mean->mean = 2.15e10;
             Push(u, mean);
         },
         data,
         Join(Join(kDataHeading, {"# of Data Points =        4", "  ", "Subtracted Mean = 21500000000.000",
                                  "Sample Variance = 1.25000000E+018", "Std.Error(Sample Mean) =  625000000.00000",
                                  rule, "  "}),
              model)},
    });
}

TEST(DataReport, StatisticsOfValuesNearTheEndsOfTheDoubleRange)
{
    const double largest = std::numeric_limits<double>::max();
    std::vector<double> fourHuge;  // four values of 1.7e308 among 96 ordinary ones
    double ordinarySum = 0.0;
    for (int t = 1; t <= 100; ++t) {
        fourHuge.push_back(t % 25 == 0 ? 1.7e308 : 100.0 + t);
        if (t % 25 != 0) ordinarySum += 100.0 + t;
    }
    struct Case {
        std::string name;
        std::vector<double> x;
        double mean;
        double variance;  // Infinity: beyond the doubles
        bool rounded = false;  // the mean is R's, correctly rounded: equal
    };
    std::vector<Case> cases = {
        {"a constant series of 1e308", std::vector<double>(7, 1e308), 1e308, 0.0},
        {"a constant series of the largest double", std::vector<double>(3, largest), largest, 0.0},
        {"a constant series of 0.1", std::vector<double>(10, 0.1), 0.1, 0.0},
        {"four values of 1.7e308 among ordinary ones", fourHuge, (4 * 1.7e308 + ordinarySum) / 100,
         std::numeric_limits<double>::infinity()},
        {"two values near the largest", {1.6e308, 1.7e308}, 1.65e308, std::numeric_limits<double>::infinity()},
        // Below the normal doubles; the variance, 2/3 of 2^-2060, underflows.
        {"tiny values", {std::ldexp(3.0, -1030), std::ldexp(1.0, -1030), std::ldexp(2.0, -1030)}, std::ldexp(2.0, -1030),
         0.0},
        {"ordinary values", {1, 2, 3, 4}, 2.5, 1.25},
    };
    // Means of R's datasets and a simulated series: the correction by the mean of the deviations,
    // each formed and summed in long double, makes them correctly rounded (280.29861111111109 for
    // AirPassengers, where a correction summed in double gives a mean three units of the last
    // place away).
    const ReferenceTable means = ReadReferenceTable("series_means_reference.csv");
    ASSERT_EQ(means.rows.size(), 6u);
    for (size_t r = 0; r < means.rows.size(); ++r)
        cases.push_back({means.Text(r, "series"), ReferenceSeries(means.Text(r, "series"), "series_means.csv"),
                         means.Number(r, "mean"), means.Number(r, "variance"), true});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DataSummary s = SummariseData(c.x);
        if (c.rounded) {
            EXPECT_EQ(s.mean, c.mean);
        } else {
            EXPECT_NEAR(s.mean, c.mean, 1e-14 * std::fabs(c.mean));
        }
        if (std::isinf(c.variance)) {
            EXPECT_EQ(s.variance, c.variance);
        } else {
            EXPECT_NEAR(s.variance, c.variance, 1e-14 * c.variance);
        }
        EXPECT_TRUE(std::isfinite(s.standardError));
        EXPECT_GE(s.standardError, 0.0);
        EXPECT_LE(s.standardError, *std::max_element(c.x.begin(), c.x.end(), [](double a, double b) {
            return std::fabs(a) < std::fabs(b);
        }));
    }
    // A constant series keeps its value exactly.
    EXPECT_EQ(SummariseData(std::vector<double>(7, 1e308)).mean, 1e308);
    EXPECT_EQ(SummariseData(std::vector<double>(10, 0.1)).mean, 0.1);
}

TEST(DataReport, StandardErrorOfShortSeriesIsThePlainOne)
{
    // n = 1..3: r = 1, so only the variance enters.
    for (const std::vector<double>& x : {std::vector<double>{4}, {1, 3}, {1, 2, 6}}) {
        const DataSummary s = SummariseData(x);
        EXPECT_NEAR(s.standardError, std::sqrt(s.variance / static_cast<double>(x.size())), 1e-15) << x.size();
    }
}

TEST(ModelText, Layouts)
{
    struct Case {
        const char* name;
        std::function<void(UnivariateProject&)> setup;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"white noise", [](UnivariateProject&) {}, {"  ", "ARMA Model:", "X(t) = Z(t)"}},
        {"AR(2)", [](UnivariateProject& u) { Arma(u, {0.5, -0.3}, {}); },
         {"  ", "ARMA Model:", "X(t) =   0.5000 X(t-1) - 0.3000 X(t-2)", "     + Z(t)"}},
        {"MA(2)", [](UnivariateProject& u) { Arma(u, {}, {0.4, -0.2}); },
         {"  ", "ARMA Model:", "X(t) = Z(t) + 0.4000 Z(t-1) - 0.2000 Z(t-2)"}},
        {"ARMA(1,1), negative first AR", [](UnivariateProject& u) { Arma(u, {-0.7}, {0.4}); },
         {"  ", "ARMA Model:", "X(t) = - 0.7000 X(t-1)", "     + Z(t) + 0.4000 Z(t-1)"}},
        {"AR(6)", [](UnivariateProject& u) { Arma(u, {0.1, 0.2, 0.3, 0.4, -0.5, 12.5}, {}); },
         {"  ", "ARMA Model:", "X(t) =   0.1000 X(t-1) + 0.2000 X(t-2) + 0.3000 X(t-3) + 0.4000 X(t-4)",
          "       - 0.5000 X(t-5) + 12.50 X(t-6)", "     + Z(t)"}},
        {"MA(5)", [](UnivariateProject& u) { Arma(u, {}, {0.1, 0.2, 0.3, 1.25, -0.5}); },
         {"  ", "ARMA Model:", "X(t) = Z(t) + 0.1000 Z(t-1) + 0.2000 Z(t-2) + 0.3000 Z(t-3)",
          "     + 1.250 Z(t-4) - 0.5000 Z(t-5)"}},
        {"ARMA(1,4): Z(t) counts as a term", [](UnivariateProject& u) { Arma(u, {0.9}, {0.1, 0.2, 0.3, 0.4}); },
         {"  ", "ARMA Model:", "X(t) =   0.9000 X(t-1)", "     + Z(t) + 0.1000 Z(t-1) + 0.2000 Z(t-2) + 0.3000 Z(t-3)",
          "     + 0.4000 Z(t-4)"}},
        {"fractional, p = 0",
         [](UnivariateProject& u) {
             Arma(u, {}, {0.3});
             u.fracIntegrated = 1;
             u.d = 0.2;
         },
         {"  ", "ARMA Model:", "(1-B)^0.2000 X(t)", "     = Z(t) + 0.3000 Z(t-1)"}},
        {"fractional, p > 0",
         [](UnivariateProject& u) {
             Arma(u, {0.5}, {-0.25});
             u.fracIntegrated = 1;
             u.d = -0.3;
         },
         {"  ", "ARMA Model:", "(1-B)^-0.3000 X(t)", "     =   0.5000 X(t-1)", "     + Z(t) - 0.2500 Z(t-1)"}},
        {"trend: degree 1, one harmonic, no auxiliary variable",
         [](UnivariateProject& u) {
             u.regressionPresent = 1;
             u.polynomialDegree = 1;
             u.harmonicCount = 1;
             u.fourierIndex[1] = 12;
             u.trendCoefficients = {2.5, -0.125, 1.5, -0.75};
         },
         {" Y(t) = M(t) + X(t)", "  ", "Trend Function:", "M(t) =   2.5000000 t^0 - 0.12500000 t^1",
          "     + 1.5000000 Cos(2*pi*t12/N) - 0.75000000 Sin(2*pi*t12/N)", "", "  ", "ARMA Model:", "X(t) = Z(t)"}},
        {"trend: degree 0 without intercept",
         [](UnivariateProject& u) {
             u.regressionPresent = 2;
             u.intercept = 0;
         },
         {" Y(t) = M(t) + X(t)", "  ", "Trend Function:", "M(t) =", "", "  ", "ARMA Model:", "X(t) = Z(t)"}},
        {"trend: five polynomial terms, auxiliary variable",
         [](UnivariateProject& u) {
             u.regressionPresent = 1;
             u.intercept = 0;
             u.polynomialDegree = 5;
             u.auxPresent = 1;
             u.trendCoefficients = {-1, 2, 3, 4, 5, 0.25};
         },
         {" Y(t) = M(t) + X(t)", "  ", "Trend Function:",
          "M(t) = - 1.0000000 t^1 + 2.0000000 t^2 + 3.0000000 t^3 + 4.0000000 t^4",
          "       + 5.0000000 t^5", "     + 0.25000000 x(1)", "  ", "ARMA Model:", "X(t) = Z(t)"}},
    };
    for (const Case& c : cases) {
        UnivariateProject u;
        VeskInit(u);
        c.setup(u);
        ReportWriter out;
        AppendModelText(out, u);
        EXPECT_EQ(ReportWindowText(out.Calls()), Text(c.lines)) << c.name;
    }
}

TEST(ArmaInfinityReport, GoldenTexts)
{
    const std::vector<std::string> heading = {"==========================", "KELO::Vesk(AR/MA Infinity)",
                                              "==========================", "  ", "ARMA Model:"};
    // AR(1) with phi 0.2: psi(j) = 0.2^j, and the AR-infinity weights stop after lag 1.
    std::vector<std::string> ar1 = Join(heading, {"  ", "ARMA Model:", "X(t) =   0.2000 X(t-1)", "     + Z(t)", "  ",
                                                  "AR/MA Infinity:", "                   MA-Infinity    AR-Infinity"});
    const char* psi[] = {"1.00000", "0.20000", "0.04000", "0.00800", "0.00160", "0.00032", "0.00006", "0.00001"};
    for (int j = 0; j < 50; ++j)
        ar1.push_back(Row(j, j < 8 ? psi[j] : "0.00000", j == 0 ? "1.00000" : (j == 1 ? "-0.20000" : "0.00000")));
    ar1.push_back("  ");
    // MA(1) with theta 2: not invertible.
    std::vector<std::string> ma1 = Join(heading, {"  ", "ARMA Model:", "X(t) = Z(t) + 2.000 Z(t-1)", "  ",
                                                  "AR/MA Infinity:", "                   MA-Infinity Non-Invertible"});
    // The last cell is "       *       ": a star in the middle of 15 characters.
    for (int j = 0; j < 50; ++j)
        ma1.push_back(Row(j, j == 0 ? "1.00000" : (j == 1 ? "2.00000" : "0.00000"), "") + "       *");
    ma1.push_back("  ");
    RunCases({
        {"AR(1)", [](UnivariateProject& u) { Arma(u, {0.2}, {}); }, [](UnivariateProject& u) { return ArmaInfinityReport(u); },
         ar1},
        {"MA(1) not invertible", [](UnivariateProject& u) { Arma(u, {}, {2.0}); },
         [](UnivariateProject& u) { return ArmaInfinityReport(u); }, ma1},
    });
}

TEST(ArmaInfinityReport, FractionalModelShowsBothColumns)
{
    UnivariateProject u;
    VeskInit(u);
    u.fracIntegrated = 1;
    u.d = 0.2;
    u.theta[1] = 2.0;  // not invertible as an ARMA model; a fractional model counts as invertible
    u.q = 1;
    const std::string text = ReportWindowText(ArmaInfinityReport(u));
    // (1-B)^-0.2 (1 + 2B): 1, 2.2, 0.52, 0.328; (1-B)^0.2 / (1 + 2B) starts 1, -2.2.
    const std::string head = Text({"==========================", "KELO::Vesk(AR/MA Infinity)", "==========================",
                                   "  ", "ARMA Model:", "  ", "ARMA Model:", "(1-B)^0.2000 X(t)",
                                   "     = Z(t) + 2.000 Z(t-1)", "  ", "AR/MA Infinity:",
                                   "                   MA-Infinity    AR-Infinity", Row(0, "1.00000", "1.00000"),
                                   Row(1, "2.20000", "-2.20000"), Row(2, "0.52000", "4.32000"),
                                   Row(3, "0.32800", "-8.68800")});
    EXPECT_EQ(text.substr(0, head.size()), head);
    size_t lines = 0;
    for (char ch : text) lines += ch == '\n';
    EXPECT_EQ(lines, 12u + 50u + 1u);
    EXPECT_EQ(text.substr(text.size() - 4), "  \r\n");
}

// Against R's ARMAtoMA: MA-infinity of (phi, theta), AR-infinity as ARMAtoMA(-theta, -phi).
TEST(ArmaInfinityTable, MatchesR)
{
    const ReferenceTable t = ReadReferenceTable("arma_infinity_reference.csv");
    ASSERT_EQ(t.rows.size(), 6u * 50u);
    for (size_t first = 0; first < t.rows.size(); first += 50) {
        UnivariateProject u;
        VeskInit(u);
        Arma(u, t.List(first, "ar"), t.List(first, "ma"));
        const InfinityWeights w = ArmaInfinityTable(u);
        ASSERT_TRUE(w.invertible) << t.Text(first, "id");
        for (int j = 0; j < 50; ++j) {
            const size_t row = first + static_cast<size_t>(j);
            ASSERT_EQ(t.Integer(row, "lag"), j);
            EXPECT_NEAR(w.ma[j], t.Number(row, "ma_inf"), 1e-12) << t.Text(row, "id") << " lag " << j;
            EXPECT_NEAR(w.ar[j], t.Number(row, "ar_inf"), 1e-12) << t.Text(row, "id") << " lag " << j;
        }
    }
}

namespace {

const std::vector<std::string> kFitHeading = {"===============", "KELO::Vesk(Fit)", "==============="};

TransformNode* Classical(int32_t degree, double c0, double c1, double c2)
{
    TransformNode* node = Node(TRANSFORM_CLASSICAL);
    node->degree = degree;
    node->polyCoef[0] = c0;
    node->polyCoef[1] = c1;
    node->polyCoef[2] = c2;
    return node;
}

}  // namespace

TEST(FitReport, GoldenTexts)
{
    const auto fit = [](UnivariateProject& u) { return FitReport(u); };
    const std::vector<std::string> start = Join(kFitHeading, {"  ", "  ", "Polynomial Fit:"});
    RunCases({
        {"no decomposition", [](UnivariateProject& u) { Push(u, Node(TRANSFORM_DIFFERENCE)); }, fit,
         Join(kFitHeading, {"  "})},
        {"degree 0, trend only", [](UnivariateProject& u) { Push(u, Classical(0, 0, 0, 0)); }, fit,
         Join(start, {"No regression", "  ", "  "})},
        {"degree 1 with a zero constant", [](UnivariateProject& u) { Push(u, Classical(1, 0, 0.5, 0)); }, fit,
         Join(start, {"X(t) = 0.50000 * t - 0.0000", "  ", "  "})},
        {"degree 2, the newest decomposition below a difference",
         [](UnivariateProject& u) {
             Push(u, Classical(1, 9, 9, 9));
             Push(u, Classical(2, 1.5, -0.2, 0.01));
             Push(u, Node(TRANSFORM_DIFFERENCE));
         },
         fit, Join(start, {"X(t) = 0.010000 * (t^2) - 0.20000 * t + 1.5000", "  ", "  "})},
        {"seasonal components",
         [](UnivariateProject& u) {
             TransformNode* node = Classical(1, 2, -0.5, 0);
             node->period = 4;
             node->seasonal = {0.5, -0.25, 1.0, -1.25};
             Push(u, node);
         },
         fit,
         Join(start, {"X(t) = -0.50000 * t + 2.0000", "  ", "Seasonal fit of period = 4", "Seasonal components:",
                      "              1)  0.50000", "              2)  -0.25000", "              3)  1.0000",
                      "              4)  -1.2500", "  ", "  "})},
        {"harmonic regression",
         [](UnivariateProject& u) {
             TransformNode* node = Node(TRANSFORM_HARMONIC);
             node->degree = 0;
             node->harmonics = 2;
             node->fourierIndex[0] = 3;
             node->fourierIndex[1] = 6;
             node->cosCoef[0] = 1.5;
             node->cosCoef[1] = -0.5;
             node->sinCoef[0] = 0.25;
             node->sinCoef[1] = 2;
             node->level = 10;
             Push(u, node);
         },
         fit,
         Join(start, {"No regression", "  ", "  ", "Harmonic regression with 2 Fourier frequencies.",
                      "      frequency          alpha           beta",
                      "              0                        10.000                        0.0000",
                      "              3                        1.5000                       0.25000",
                      "              6                      -0.50000                        2.0000", "  "})},
    });
}

TEST(RegressionReport, LeastSquaresAndGeneralised)
{
    const auto setup = [](UnivariateProject& u, int32_t method) {
        u.regressionPresent = method;
        u.polynomialDegree = 1;
        u.termCount = 2;
        u.trendCoefficients = {3.25, -0.5};
        u.wnVariance = 2;
        u.coefficientCovariance.rows = u.coefficientCovariance.cols = 2;
        u.coefficientCovariance.values = {0.04, 0.001, 0.001, 0.0025};
    };
    const auto regression = [](UnivariateProject& u) { return RegressionReport(u); };
    const std::vector<std::string> heading = {"========================================",
                                              "KELO::Vesk(Regression estimates)",
                                              "========================================", "  "};
    const std::vector<std::string> model = {"  ", " Y(t) = M(t) + X(t)", "  ", "Trend Function:",
                                            "M(t) =   3.2500000 t^0 - 0.50000000 t^1", "", "  ", "ARMA Model:",
                                            "X(t) = Z(t)", "  ", "WN Variance = 2.000000", "  ", "  "};
    RunCases({
        {"least squares", [&](UnivariateProject& u) { setup(u, 1); }, regression,
         Join(Join(Join(heading, {"Method: Least Squares"}), model),
              {"           Coeff     Value", "              0     3.25000000", "              1    -0.50000000", "  "})},
        {"generalized least squares, no intercept", [&](UnivariateProject& u) {
             setup(u, 2);
             u.intercept = 0;
             u.polynomialDegree = 2;
         },
         regression,
         Join(Join(Join(heading, {"Method: Generalized Least Squares"}),
                   {"  ", " Y(t) = M(t) + X(t)", "  ", "Trend Function:", "M(t) =   3.2500000 t^1 - 0.50000000 t^2", "",
                    "  ", "ARMA Model:", "X(t) = Z(t)", "  ", "WN Variance = 2.000000", "  ", "  "}),
              {"           Coeff     Value          Std Error", "              1     3.25000000     0.20000000",
               "              2    -0.50000000     0.05000000", "  "})},
    });
}

namespace {

const std::vector<std::string> kPrelimHeading = {"=================================", "KELO::Vesk(Preliminary estimates)",
                                                 "=================================", "  "};

// A fitted AR(1) or MA(1) of a preliminary method.
void Preliminary(UnivariateProject& u, int32_t method, bool ar)
{
    u.prelimMethod = method;
    if (ar)
        Arma(u, {0.5}, {});
    else
        Arma(u, {}, {0.5});
    u.standardErrors[1] = 2.5;
    u.wnVariance = 1.5;
    u.prelimWnVariance = 1.25;
    u.minus2LogLikelihood = 250.5;
    u.aicc = 254.6;
    u.n = 100;
}

std::vector<std::string> PrelimTail(const char* wnLine)
{
    std::vector<std::string> tail = {"(Residual SS)/N = 1.50000", "  "};
    if (wnLine) tail = Join(tail, {wnLine, "  "});
    return Join(tail, {"-2Log(Like) = 250.500000", "AICC = 254.600000"});
}

const std::vector<std::string> kAr1Body = {"  ", "  ", "ARMA Model:", "X(t) =   0.5000 X(t-1)", "     + Z(t)", "  ",
                                           "WN Variance = 1.500000", "  ", "AR Coefficients", "      0.500000", "  ",
                                           "  ", "Ratio of AR coeff. to 1.96 * (standard error)", "      2.500000", "  "};
const std::vector<std::string> kMa1Body = {"  ", "  ", "ARMA Model:", "X(t) = Z(t) + 0.5000 Z(t-1)", "  ",
                                           "WN Variance = 1.500000", "  ", "  ", "MA Coefficients", "      0.500000",
                                           "  ", "Ratio of MA coeff. to 1.96 * (standard error)", "      2.500000", "  "};

}  // namespace

TEST(PreliminaryReport, Methods)
{
    const auto prelim = [](UnivariateProject& u) { return PreliminaryReport(u); };
    const auto method = [](int32_t m, bool ar) { return [m, ar](UnivariateProject& u) { Preliminary(u, m, ar); }; };
    const auto lines = [](const char* methodLine, const std::vector<std::string>& body, const char* wnLine) {
        return Join(Join(Join(Join(kPrelimHeading, {methodLine}), body), PrelimTail(wnLine)), {"  "});
    };
    RunCases({
        {"1", method(1, true), prelim,
         lines("Method: Yule-Walker (Minimum AICC)", kAr1Body, "WN variance estimate (Yule Walker): 1.25000")},
        {"2", method(2, true), prelim, lines("Method: Burg (Minimum AICC)", kAr1Body, "WN variance estimate (Burg): 1.25000")},
        {"3", method(3, true), prelim, lines("Method: Yule-Walker", kAr1Body, "WN variance estimate (Yule Walker): 1.25000")},
        {"4", method(4, true), prelim, lines("Method: Burg", kAr1Body, "WN variance estimate (Burg): 1.25000")},
        {"5, MA", method(5, false), prelim,
         Join(Join(Join(kPrelimHeading, {"Method: Innovations", "(Number of ACVF's used is 0.)"}), kMa1Body),
              Join(PrelimTail("WN variance estimate (Innovations): 1.25000"), {"  "}))},
        {"6, MA", method(6, false), prelim,
         lines("Method: Hannan-Rissanen", kMa1Body, "WN variance estimate (Hannan-Rissanen): 1.25000")},
        {"6, AR: no variance estimate line", method(6, true), prelim, lines("Method: Hannan-Rissanen", kAr1Body, nullptr)},
        {"5 with p = 1, q = 2: no ratios",
         [](UnivariateProject& u) {
             Preliminary(u, 5, true);
             Arma(u, {0.5}, {0.25, -0.125});
             u.prelimAcvfCount = 17;
         },
         prelim,
         Join(Join(kPrelimHeading, {"Method: Innovations", "(Number of ACVF's used is 17.)", "  ", "  ", "ARMA Model:",
                                    "X(t) =   0.5000 X(t-1)", "     + Z(t) + 0.2500 Z(t-1) - 0.1250 Z(t-2)", "  ",
                                    "WN Variance = 1.500000", "  ", "AR Coefficients", "      0.500000", "  ",
                                    "MA Coefficients", "      0.250000     -0.125000", "  "}),
              Join(PrelimTail(nullptr), {"  "}))},
        {"5 with p = q = 1: ratios",
         [](UnivariateProject& u) {
             Preliminary(u, 5, true);
             Arma(u, {0.5}, {0.25});
             u.standardErrors[2] = -3;
         },
         prelim,
         Join(Join(kPrelimHeading, {"Method: Innovations", "(Number of ACVF's used is 0.)", "  ", "  ", "ARMA Model:",
                                    "X(t) =   0.5000 X(t-1)", "     + Z(t) + 0.2500 Z(t-1)", "  ", "WN Variance = 1.500000",
                                    "  ", "AR Coefficients", "      0.500000", "  ", "MA Coefficients", "      0.250000",
                                    "  ", "Ratio of AR coeff. to 1.96 * (standard error)", "      2.500000", "  ",
                                    "Ratio of MA coeff. to 1.96 * (standard error)", "     -3.000000", "  "}),
              Join(PrelimTail(nullptr), {"  "}))},
    });
}

// The AICC corrected for regression, k = termCount + p + q = 2: 250.5 + 2·3·n/(n - 4); undefined
// (15 asterisks) once n - k - 2 is no longer positive.
TEST(PreliminaryReport, CorrectedAicc)
{
    struct Case {
        int32_t n;
        const char* line;
    };
    for (const Case& c : {Case{100, "AICC = 256.750000     (Corrected for regression)"},
                          Case{5, "AICC = 280.500000     (Corrected for regression)"},
                          Case{4, "AICC = ***************(Corrected for regression)"},
                          Case{1, "AICC = ***************(Corrected for regression)"}}) {
        UnivariateProject u;
        VeskInit(u);
        Preliminary(u, 3, true);
        u.n = c.n;
        u.regressionPresent = 1;
        u.termCount = 1;
        u.trendCoefficients = {0.75};
        const std::string text = ReportWindowText(PreliminaryReport(u));
        EXPECT_NE(text.find("AICC = 254.600000\r\n" + std::string(c.line) + "\r\n  \r\n"), std::string::npos) << c.n;
    }
}

namespace {

int criteriaCalls = 0;

int32_t FakeCriteria(UnivariateProject& u)
{
    ++criteriaCalls;
    u.bic = 285.5;
    u.fpe = 1.0196;
    return 1;
}

const std::vector<std::string> kMleHeading = {"========================================",
                                              "KELO::Vesk(Maximum likelihood estimates)",
                                              "========================================", "  "};

void Fitted(UnivariateProject& u)
{
    u.mleMethod = -1;
    u.wnVariance = u.residualSsPerN = 0.98;
    u.aicc = 280.25;
    u.minus2LogLikelihood = 276.125;
    u.accuracy = 1e-4;
    u.iterationsDone = 7;
    u.evaluationCount = 23;
    u.stopReason = 1;
    u.n = 100;
}

const std::vector<std::string> kIterationLines = {"Accuracy parameter = 0.000100000", "  ", "Number of iterations = 7", "  ",
                                                  "Number of function evaluations = 23", "  "};

}  // namespace

TEST(MaxLikelihoodReport, GoldenTexts)
{
    const auto mle = [](UnivariateProject& u) { return MaxLikelihoodReport(u); };
    const std::vector<std::string> ar1 = {"Method: Maximum Likelihood", "  ", "  ", "ARMA Model:", "X(t) =   0.5000 X(t-1)",
                                          "     + Z(t)", "  ", "WN Variance = 0.980000", "  ", "AR Coefficients",
                                          "      0.500000", "  "};
    int32_t (*const kept)(UnivariateProject&) = ModelCriteriaRoutine;
    ModelCriteriaRoutine = FakeCriteria;
    criteriaCalls = 0;
    RunCases({
        {"pure AR, optimised: BIC and FPE",
         [](UnivariateProject& u) {
             Fitted(u);
             Arma(u, {0.5}, {});
             u.standardErrors[1] = 0.08;
         },
         mle,
         Join(Join(Join(kMleHeading, ar1),
                   {"Standard Error of AR Coefficients", "      0.080000", "  ", "(Residual SS)/N = 0.980000", "  ",
                    "AICC = 280.250000", "BIC  = 285.500000", "FPE  = 1.019600", "  ", "-2Log(Likelihood) = 276.125000", "  "}),
              Join(kIterationLines, {"Optimization stopped with gradient near zero."}))},
        {"fractional: AIC and the Whittle likelihood",
         [](UnivariateProject& u) {
             Fitted(u);
             Arma(u, {}, {0.2});
             u.fracIntegrated = 1;
             u.d = 0.3;
             u.standardErrors[1] = 0.05;
         },
         mle,
         Join(kMleHeading, {"Method: Maximum Likelihood", "  ", "  ", "ARMA Model:", "(1-B)^0.3000 X(t)",
                            "     = Z(t) + 0.2000 Z(t-1)", "  ", "WN Variance = 0.980000", "  ", "MA Coefficients",
                            "      0.200000", "  ", "Standard Error of MA Coefficients", "      0.050000", "  ",
                            "(Residual SS)/N = 0.980000", "  ", "AIC  = 280.250000", "  ",
                            "-2Log(Likelihood) (Whittle) = 276.125000", "  "})},
        {"fractional without optimisation: no criteria",
         [](UnivariateProject& u) {
             Fitted(u);
             u.fracIntegrated = 1;
             u.d = 0.3;
             u.noOptimisation = 1;
             u.regressionPresent = 1;
         },
         mle,
         Join(kMleHeading, {"Method: Maximum Likelihood", "  ", " Y(t) = M(t) + X(t)", "  ", "Trend Function:",
                            "M(t) =   0.0000000 t^0", "", "  ", "ARMA Model:", "(1-B)^0.3000 X(t)", "     = Z(t)", "  ",
                            "WN Variance = 0.980000", "  ", "(Residual SS)/N = 0.980000", "  ", "  ",
                            "-2Log(Likelihood) (Whittle) = 276.125000", "  "})},
        {"no optimisation: no standard errors, BIC or iterations",
         [](UnivariateProject& u) {
             Fitted(u);
             Arma(u, {0.5}, {});
             u.noOptimisation = 1;
             u.standardErrors[1] = -1;
         },
         mle,
         Join(Join(kMleHeading, ar1), {"(Residual SS)/N = 0.980000", "  ", "AICC = 280.250000", "  ",
                                       "-2Log(Likelihood) = 276.125000", "  "})},
        {"least squares ARMA whose standard errors failed",
         [](UnivariateProject& u) {
             Fitted(u);
             u.mleMethod = 0;
             Arma(u, {0.5}, {-0.25});
             u.standardErrors[1] = -1;
             u.stopReason = 4;
         },
         mle,
         Join(Join(kMleHeading, {"Method: Least Squares", "  ", "  ", "ARMA Model:", "X(t) =   0.5000 X(t-1)",
                                 "     + Z(t) - 0.2500 Z(t-1)", "  ", "WN Variance = 0.980000", "  ", "AR Coefficients",
                                 "      0.500000", "  ", "MA Coefficients", "     -0.250000", "  ",
                                 "Numerical difficulties computing standard errors", "  ", "(Residual SS)/N = 0.980000",
                                 "  ", "AICC = 280.250000", "BIC  = 285.500000", "  ", "-2Log(Likelihood) = 276.125000",
                                 "  "}),
              Join(kIterationLines, {"Iteration limit exceeded."}))},
    });
    // Only the two optimised fits that are not fractionally integrated ask for the criteria.
    EXPECT_EQ(criteriaCalls, 2);
    ModelCriteriaRoutine = kept;
}

// The criteria come from the fit whatever modules a program registers (this one registers none):
// an AR(1) with sigma2 = 0.98 on 100 values of mean square 1.44 has FPE = 0.98 * 101 / 99 and
// BIC = n ln(6.28318 e sigma2) - (n - k) ln(1 - k/n) + k ln(n (s/sigma2 - 1)/k), k = 1, with the
// report's constant 6.28318 in place of 2 pi.
TEST(MaxLikelihoodReport, CriteriaNeedNoModuleToBeRegistered)
{
    UnivariateProject u;
    VeskInit(u);
    Fitted(u);
    Arma(u, {0.5}, {});
    u.numFree = 1;
    for (int32_t t = 0; t < u.n; ++t) u.series.push_back(t % 2 == 0 ? 1.2 : -1.2);
    const std::string text = ReportWindowText(MaxLikelihoodReport(u));
    EXPECT_NE(text.find("BIC  = 286.611179\r\nFPE  = 0.999798\r\n"), std::string::npos) << text;
}

namespace {

const std::vector<std::string> kArarHeading = {"====================", "KELO::(ARAR Forecast)", "====================", "  "};

// An ARAR run on 40 values with three forecasts after them in the engine's numbering.
void Arar(UnivariateProject& u, int32_t degree)
{
    u.ararCount = 3;
    u.ararFirst = 1;
    u.ararLast = 40;
    u.ararForecastEnd = 43;
    u.ararForecasts.assign(43, 99.0);
    u.ararForecasts[40] = 12.5;
    u.ararForecasts[41] = 13.25;
    u.ararForecasts[42] = -1;
    u.ararRootMse = 1.23456;
    u.ararDegree = degree;
    const double shortening[] = {1, -0.5, 0.25, -0.125, 0.0625, 2};
    for (int k = 0; k <= degree; ++k) u.ararShortening[k] = shortening[k];
    u.ararCriterion = 2;
    for (int k = 0; k < 4; ++k) u.ararLags[k] = k + 1;
    const double coef[] = {0.5, -0.125, 0.25, 0.0625};
    for (int k = 0; k < 4; ++k) u.ararSubsetCoef[k] = coef[k];
    for (int k = 0; k < 10; ++k) u.ararFilter[k] = 0.1 * k;
}

std::vector<std::string> ArarSummary(const char* range)
{
    return {" Number of points forecasted: 3", range, " Root mean-squared error = 1.2346", "  "};
}

const std::vector<std::string> kSubset = {"Subset AR Model:", " Method: minimize WN variance (max lag=26).",
                                          "   LAGS:     1     2     3     4",
                                          "   Coefs:  0.5000  -0.1250  0.2500  0.0625", "  ",
                                          "COEFFICIENTS OF OVERALL WHITENING FILTER:"};

const std::vector<std::string> kArarTable = {"           Time     Prediction", "             41       12.50000",
                                             "             42       13.25000", "             43       -1.00000", "  "};

void HoltWinters(UnivariateProject& u)
{
    u.hwCount = 2;
    u.hwFirst = 13;
    u.hwLast = 60;
    u.hwForecastEnd = 62;
    u.hwEngineLast = 48;
    u.hwForecasts.assign(50, 99.0);
    u.hwForecasts[48] = 7.5;
    u.hwForecasts[49] = 8.25;
    u.hwRootMse = 0.5;
    u.hwAlpha = 0.25;
    u.hwBeta = 0.125;
    u.hwOptimise = 1;
}

const std::vector<std::string> kHwHeading = {"=============================", "KELO::(Holt-Winters Forecast)",
                                             "=============================", "  "};
const std::vector<std::string> kHwSummary = {" Number of points forecasted: 2", " Time points used in forecast: ( 13 - 60 )",
                                             " Root mean-squared error = 0.5000", "  "};

}  // namespace

TEST(ForecastReports, ArmaTableHoldsTheRowsOfItsVectors)
{
    RunCases({
        {"steps raised by another dialog",
         [](UnivariateProject& u) {
             u.forecastSteps = 12;
             u.armaForecasts = {1.5, -0.25, 10};
             u.armaForecastMse = {1, 4, 2.25};
         },
         [](UnivariateProject& u) { return ArmaForecastReport(u); },
         {"====================", "KELO::(ARMA Forecast)", "====================", "  ",
          "           Step     Prediction      sqrt(MSE)", "              1        1.50000        1.00000",
          "              2       -0.25000        2.00000", "              3       10.00000        1.50000", "  "}},
        {"no forecasts yet", [](UnivariateProject& u) { u.forecastSteps = 10; },
         [](UnivariateProject& u) { return ArmaForecastReport(u); },
         {"====================", "KELO::(ARMA Forecast)", "====================", "  ",
          "           Step     Prediction      sqrt(MSE)", "  "}},
    });
}

TEST(ForecastReports, Arar)
{
    const auto arar = [](UnivariateProject& u) { return ArarForecastReport(u); };
    const char* range = " Time points used in forecast: ( 1 - 40 )";
    RunCases({
        {"degree 4: five coefficients on one line", [](UnivariateProject& u) { Arar(u, 4); }, arar,
         Join(Join(Join(Join(kArarHeading, ArarSummary(range)),
                        {"Memory Shortening:", " Coeff of B**j in memory shortening poly, j=0,1,...",
                         " 1.0000   -0.5000   0.2500   -0.1250   0.0625", "  "}),
                   Join(kSubset, {" 0.0000   0.1000   0.2000   0.3000   0.4000", " 0.5000   0.6000   0.7000   0.8000", "  "})),
              kArarTable)},
        {"degree 5: the sixth stands alone",
         [](UnivariateProject& u) {
             Arar(u, 5);
             u.ararFilter[9] = 0.95;
         },
         arar,
         Join(Join(Join(Join(kArarHeading, ArarSummary(range)),
                        {"Memory Shortening:", " Coeff of B**j in memory shortening poly, j=0,1,...",
                         " 1.0000   -0.5000   0.2500   -0.1250   0.0625", "    2.0000", "  "}),
                   Join(kSubset, {" 0.0000   0.1000   0.2000   0.3000   0.4000",
                                  " 0.5000   0.6000   0.7000   0.8000   0.9500", "  "})),
              kArarTable)},
        // The stored range is in the untransformed numbering (12 lags differenced), the vector in
        // the engine's: forecast i is read at 40 + i and labelled 52 + i. The degree 4 is an
        // earlier run's: this run's filter is the subset AR alone, lags(4) + 1 values.
        {"not requested, transformed numbering",
         [](UnivariateProject& u) {
             Arar(u, 4);
             u.ararOption = 1;
             u.ararFirst = 13;
             u.ararLast = 52;
         },
         arar,
         Join(Join(Join(kArarHeading, ArarSummary(" Time points used in forecast: ( 13 - 52 )")),
                   Join({"Memory shortening not requested.", "  "},
                        Join(kSubset, {" 0.0000   0.1000   0.2000   0.3000   0.4000", "  "}))),
              {"           Time     Prediction", "             53       12.50000", "             54       13.25000",
               "             55       -1.00000", "  "})},
        {"not required, count 0",
         [](UnivariateProject& u) {
             Arar(u, 0);
             u.ararCount = 0;
             u.ararForecastEnd = 40;
         },
         arar,
         Join(Join(Join(kArarHeading, {" Number of points forecasted: 0", range, " Root mean-squared error = 1.2346", "  "}),
                   Join({"Memory shortening not required.", "  "}, Join(kSubset, {" 0.0000   0.1000   0.2000   0.3000   0.4000", "  "}))),
              {"           Time     Prediction", "  "})},
    });
}

TEST(ForecastReports, HoltWinters)
{
    RunCases({
        {"block twice, forecasts at the engine's last index",
         [](UnivariateProject& u) { HoltWinters(u); }, [](UnivariateProject& u) { return HoltWintersReport(u); },
         Join(Join(Join(kHwHeading, kHwSummary), kHwSummary),
              {"  ALPHA = 0.25000", "  BETA  = 0.12500", " (Coefficients were optimized.)", "  ", "  ",
               "           Time     Prediction", "             61        7.50000", "             62        8.25000", "  "})},
        {"count 0",
         [](UnivariateProject& u) {
             HoltWinters(u);
             u.hwCount = 0;
             u.hwForecastEnd = 60;
             u.hwOptimise = 0;
             u.hwForecasts.clear();
         },
         [](UnivariateProject& u) { return HoltWintersReport(u); },
         Join(Join(kHwHeading, {" Number of points forecasted: 0", " Time points used in forecast: ( 13 - 60 )",
                                " Root mean-squared error = 0.5000", "  ", " Number of points forecasted: 0",
                                " Time points used in forecast: ( 13 - 60 )", " Root mean-squared error = 0.5000", "  "}),
              {"  ALPHA = 0.25000", "  BETA  = 0.12500", " (No optimization.)", "  ", "  ", "           Time     Prediction", "  "})},
        {"seasonal: block once, three parameters",
         [](UnivariateProject& u) {
             u.shwCount = 2;
             u.shwFirst = 1;
             u.shwLast = 48;
             u.shwEngineLast = 48;
             u.shwForecasts.assign(50, 0.0);
             u.shwForecasts[48] = -3;
             u.shwForecasts[49] = 0.125;
             u.shwRootMse = 2;
             u.shwAlpha = 0.5;
             u.shwBeta = 0;
             u.shwGamma = 1;
             u.shwOptimise = 0;
         },
         [](UnivariateProject& u) { return SeasonalHoltWintersReport(u); },
         {"=============================", "KELO::(Seasonal H-W Forecast)", "=============================", "  ",
          " Number of points forecasted: 2", " Time points used in forecast: ( 1 - 48 )", " Root mean-squared error = 2.0000",
          "  ", "  ALPHA = 0.50000", "  BETA  = 0.00000", "  GAMMA = 1.00000", " (No optimization.)", "  ", "  ",
          "           Time     Prediction", "             49       -3.00000", "             50        0.12500", "  "}},
    });
}

TEST(ForecastReports, SmoothingShowsRootsOfTheStoredMeanSquares)
{
    const auto stored = [](UnivariateProject& u) {
        u.expAlpha = 0.3;
        u.expRootMse = u.fftRootMse = u.maRootMse = 4.0;
    };
    RunCases({
        {"exponential", stored, [](UnivariateProject& u) { return ExpSmoothingReport(u); },
         {"=============================", "KELO::(Exponential Smoothing)", "=============================", "  ",
          "  Value of Alpha =  0.30000", "  SQRT(MSE) =  2.00000"}},
        {"FFT", stored, [](UnivariateProject& u) { return FftSmoothingReport(u); },
         {"=============================", "KELO::(FFT Smoothing)", "=============================", "  ",
          "  Value of cutoff =  0.50000", "  SQRT(MSE) =  2.00000"}},
        {"moving average", stored, [](UnivariateProject& u) { return MaSmoothingReport(u); },
         {"=============================", "KELO::(Moving Average Smoothing)", "=============================", "  ",
          "  SQRT(MSE) =  2.00000"}},
    });
}

TEST(ResidualReports, GoldenTexts)
{
    const std::vector<std::string> acfHeading = {"=============================", "KELO::Vesk(Residual ACF/PACF)",
                                                 "=============================", "  "};
    const auto lagged = [](int32_t lags) {
        return [lags](UnivariateProject& u) {
            u.residualAcfLags = lags;
            u.residuals = {0.5, -0.25};
            u.residualSsPerN = 0.123456789;
            for (int k = 0; k <= 40; ++k) {
                u.residualAcf.push_back(k == 0 ? 1.0 : 0.01 * k);
                u.residualPacf.push_back(k == 0 ? 1.0 : -0.01 * k);
            }
        };
    };
    // 40 lags: eight full lines of five, then the empty line that ends a full block.
    std::vector<std::string> acf40 = {"  ", "Autocorrelations:", "  ", "        1.0000        0.0100        0.0200        0.0300        0.0400"};
    std::vector<std::string> pacf40 = {"  ", "Partial Autocorrelations:", "  ", "        1.0000       -0.0100       -0.0200       -0.0300       -0.0400"};
    for (int line = 1; line < 8; ++line) {
        std::string a, b;
        for (int k = 5 * line; k < 5 * line + 5; ++k) {
            char cell[32];
            std::snprintf(cell, sizeof cell, "%14.4f", 0.01 * k);
            a += cell;
            std::snprintf(cell, sizeof cell, "%14.4f", -0.01 * k);
            b += cell;
        }
        acf40.push_back(a);
        pacf40.push_back(b);
    }
    for (auto* block : {&acf40, &pacf40}) block->insert(block->end(), {"", "  "});
    const std::vector<std::string> head = {"# of Lags =       40", "  ", "Residual Variance = 0.12345679", "  "};
    RunCases({
        {"residual plot", lagged(40), [](UnivariateProject& u) { return ResidualsReport(u); },
         {"=========================", "KELO::Vesk(Residual Plot)", "=========================", "  ",
          "Residual Variance = 0.12345679", "  "}},
        {"40 lags", lagged(40), [](UnivariateProject& u) { return ResidualAcfReport(u); },
         Join(Join(Join(acfHeading, head), acf40), pacf40)},
        {"7 lags", lagged(7), [](UnivariateProject& u) { return ResidualAcfReport(u); },
         Join(acfHeading, {"# of Lags =        7", "  ", "Residual Variance = 0.12345679", "  ", "  ", "Autocorrelations:", "  ",
                           "        1.0000        0.0100        0.0200        0.0300        0.0400",
                           "        0.0500        0.0600", "  ", "  ", "Partial Autocorrelations:", "  ",
                           "        1.0000       -0.0100       -0.0200       -0.0300       -0.0400",
                           "       -0.0500       -0.0600", "  "})},
        {"no curve drawn",
         [&](UnivariateProject& u) {
             lagged(40)(u);
             u.residualAcfViewFlags = 0;
         },
         [](UnivariateProject& u) { return ResidualAcfReport(u); }, Join(acfHeading, head)},
        {"histogram",
         [](UnivariateProject& u) {
             u.residuals = {0.5, -0.25};
             u.residualHistogramBins = 13;
         },
         [](UnivariateProject& u) { return ResidualHistogramReport(u); },
         {"===============================", "KELO::Vesk(Residuals Histogram)", "===============================",
          "# of Bins =       13"}},
    });
}

// Every count a report reads from the record is bounded by what the record holds: orders, degrees,
// lags and forecast counts far beyond their vectors, and negative ones, give a report (run under
// the sanitizers) rather than a stray read.
TEST(UnivariateReports, HostileCounts)
{
    const std::vector<std::function<void(UnivariateProject&)>> mutations = {
        [](UnivariateProject& u) { u.p = 40, u.q = -3; },
        [](UnivariateProject& u) { u.p = -1, u.q = 1000, u.fracIntegrated = 1; },
        [](UnivariateProject& u) {
            u.regressionPresent = 2, u.polynomialDegree = 50, u.harmonicCount = 9, u.auxPresent = 1;
            u.termCount = 70, u.trendCoefficients = {1, 2};
            u.coefficientCovariance.rows = 70, u.coefficientCovariance.cols = 70, u.coefficientCovariance.values = {1, 2, 3};
        },
        [](UnivariateProject& u) { u.termCount = -5, u.regressionPresent = 1, u.polynomialDegree = -2, u.harmonicCount = -1; },
        [](UnivariateProject& u) {
            u.ararDegree = 1000, u.ararLags[3] = 100000, u.ararCount = 2000000000, u.ararForecastEnd = -7;
            u.ararForecasts = {1, 2};
        },
        [](UnivariateProject& u) { u.ararDegree = -4, u.ararLags[3] = -100, u.ararCount = -1; },
        [](UnivariateProject& u) {
            u.hwCount = 2000000000, u.hwEngineLast = 2000000000, u.hwForecasts = {1, 2, 3};
            u.shwCount = 5, u.shwEngineLast = -9, u.shwForecasts = {1};
        },
        [](UnivariateProject& u) {
            u.residualAcfLags = 1000000, u.residualAcf = {1, 0.5}, u.residualPacf = {1}, u.residuals = {1, 2};
        },
        [](UnivariateProject& u) { u.residualAcfLags = -40, u.residualHistogramBins = -1, u.residuals = {1}; },
        [](UnivariateProject& u) {
            u.n = 5;  // no series behind it
            TransformNode* seasonal = Node(TRANSFORM_CLASSICAL);
            seasonal->period = 1000;
            seasonal->seasonal = {1, 2, 3};
            seasonal->degree = 7;
            Push(u, seasonal);
        },
        [](UnivariateProject& u) {
            TransformNode* harmonic = Node(TRANSFORM_HARMONIC);
            harmonic->harmonics = 40;
            Push(u, harmonic);
        },
        [](UnivariateProject& u) { u.armaForecasts = {1, 2, 3}, u.armaForecastMse = {1}, u.forecastSteps = 1000000; },
        [](UnivariateProject& u) { u.numFree = 1000, u.n = 5000, u.residuals = {1, 2, 3, 4}; },
        [](UnivariateProject& u) { u.numFree = -7, u.residuals = {1, 2, 3, 4, 5, 6, 7}; },
    };
    using Report = std::function<InfoCalls(UnivariateProject&)>;
    const std::vector<Report> reports = {
        [](UnivariateProject& u) { return DataReport(u); },         [](UnivariateProject& u) { return ArmaInfinityReport(u); },
        [](UnivariateProject& u) { return FitReport(u); },          [](UnivariateProject& u) { return RegressionReport(u); },
        [](UnivariateProject& u) { return PreliminaryReport(u); },  [](UnivariateProject& u) { return MaxLikelihoodReport(u); },
        [](UnivariateProject& u) { return ArmaForecastReport(u); }, [](UnivariateProject& u) { return ArarForecastReport(u); },
        [](UnivariateProject& u) { return HoltWintersReport(u); },  [](UnivariateProject& u) { return SeasonalHoltWintersReport(u); },
        [](UnivariateProject& u) { return ResidualsReport(u); },    [](UnivariateProject& u) { return ResidualAcfReport(u); },
        [](UnivariateProject& u) { return ResidualHistogramReport(u); },
        [](UnivariateProject& u) { return TestsOfRandomnessReport(u, 20); },
        [](UnivariateProject& u) { return TestsOfRandomnessReport(u, RandomnessLags(u).suggested); },
    };
    for (size_t m = 0; m < mutations.size(); ++m) {
        UnivariateProject u;
        VeskInit(u);
        mutations[m](u);
        for (size_t r = 0; r < reports.size(); ++r) {
            const std::string text = ReportWindowText(reports[r](u));
            EXPECT_EQ(text.rfind("=====", 0), 0u) << "mutation " << m << ", report " << r;
            EXPECT_LT(text.size(), 200000u) << "mutation " << m << ", report " << r;
        }
    }
}

// A series in currency units: numbers that their fixed fields cannot hold are written in
// significant-digit form of the same width in every report, never as asterisks.
TEST(Reports, NumbersBeyondTheirFixedFieldsKeepTheirDigits)
{
    struct Case {
        const char* name;
        std::function<void(UnivariateProject&)> setup;
        std::function<InfoCalls(UnivariateProject&)> report;
        std::vector<std::string> lines;  // each a whole line of the report
    };
    const std::vector<Case> cases = {
        {"generalized least squares",
         [](UnivariateProject& u) {
             u.regressionPresent = 2;
             u.polynomialDegree = 1;
             u.termCount = 2;
             u.trendCoefficients = {2.15e10, -1.5e7};
             u.wnVariance = 1.5e9;
             u.coefficientCovariance.rows = u.coefficientCovariance.cols = 2;
             u.coefficientCovariance.values = {4e14, 0, 0, 2.5e9};
         },
         [](UnivariateProject& u) { return RegressionReport(u); },
         {"WN Variance = 1500000000.0000", "              0 21500000000.00 20000000.00000",
          "              1 -15000000.0000 50000.00000000"}},
        {"maximum likelihood",
         [](UnivariateProject& u) {
             Arma(u, {0.5}, {});
             Fitted(u);
             u.wnVariance = 2.5e12;
             u.minus2LogLikelihood = 1.25e16;
             u.aicc = 1.25e16;
         },
         [](UnivariateProject& u) { return MaxLikelihoodReport(u); },
         {"WN Variance = 2500000000000.", "-2Log(Likelihood) = 1.25000000E+016", "AICC = 1.25000000E+016"}},
        {"ARMA forecasts",
         [](UnivariateProject& u) {
             u.forecastSteps = 1;
             u.armaForecasts = {2.2e10};
             u.armaForecastMse = {1e18};
         },
         [](UnivariateProject& u) { return ArmaForecastReport(u); },
         {"              1 22000000000.00 1000000000.000"}},
        {"residual variance",
         [](UnivariateProject& u) {
             u.residuals = {1, -1};
             u.residualSsPerN = 1.25e18;
         },
         [](UnivariateProject& u) { return ResidualsReport(u); }, {"Residual Variance = 1.25000000E+018"}},
        {"Holt-Winters",
         [](UnivariateProject& u) {
             HoltWinters(u);
             u.hwRootMse = 2.5e11;
         },
         [](UnivariateProject& u) { return HoltWintersReport(u); }, {" Root mean-squared error = 250000000000.00"}},
        {"sample variance",
         [](UnivariateProject& u) {
             u.acfViewFlags = 25;
             u.acfLags = 1;
             u.sampleAcf = u.samplePacf = {1, 0.5};
             u.sampleGamma0 = 1.25e18;
         },
         [](UnivariateProject& u) { return AcfReport(u); }, {"Sample Variance = 1.25000000E+018"}},
    };
    int32_t (*const kept)(UnivariateProject&) = ModelCriteriaRoutine;
    ModelCriteriaRoutine = FakeCriteria;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateProject u;
        VeskInit(u);
        c.setup(u);
        const std::string text = ReportWindowText(c.report(u));
        EXPECT_EQ(text.find("**"), std::string::npos) << text;
        for (const std::string& line : c.lines) EXPECT_NE(text.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << text;
    }
    ModelCriteriaRoutine = kept;
}
