#include "univariate/data_report.h"
#include "univariate/estimation_reports.h"
#include "univariate/forecast_reports.h"
#include "univariate/model_text.h"
#include "univariate/residual_reports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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
    });
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
