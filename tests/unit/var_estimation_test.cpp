#include "multivariate/var_estimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "multivariate/multivariate_transforms.h"
#include "multivariate/var_fit_support.h"
#include "multivariate/var_forecast.h"
#include "numerics/status.h"
#include "tests/unit/mv_command_fixtures.h"

namespace {

constexpr int32_t kSearch = -1;

// A golden report of tests/data with the window's CR LF line ends.
std::string GoldenReport(const std::string& name)
{
    std::ifstream in(std::string(VESK_TEST_DATA) + "/" + name, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

// The fits write their diagnostics here instead of the standard output.
class VarEstimationTest : public testing::Test {
protected:
    void SetUp() override { SetVarDiagnosticCapture(&diagnostics_); }
    void TearDown() override { SetVarDiagnosticCapture(nullptr); }
    std::string diagnostics_;
};

}  // namespace

TEST(MvOrderCheckTest, OrderLimitsOfTheDialog)
{
    struct Case {
        bool search;
        const char* text;
        int32_t n, m;
        int32_t order;        // the order accepted
        const char* message;  // or the message
    };
    const char* negative = " p must be non-negative.";
    const char* large = " p is too large, try a smaller value.";
    const Case cases[] = {
        {false, "0", 100, 2, 0, ""},      {false, "20", 100, 2, 20, ""},   {false, "21", 100, 2, 0, large},
        {false, "5", 20, 3, 5, ""},       {false, "6", 20, 3, 0, large},   {false, "7", 10, 1, 7, ""},
        {false, "8", 10, 1, 0, large},    {false, "-1", 100, 2, 0, negative}, {false, "50", 100, 2, 0, large},
        {false, "2.5", 100, 2, 0, " p \"2.5\" is not a whole number."},
        {false, "two", 100, 2, 0, " p \"two\" is not a number."},
        {false, "", 100, 2, 0, " p is empty: type one number."},
        {false, "1,5", 100, 2, 0, " p \"1,5\" has a decimal comma: type a decimal point."},
        {true, "two", 100, 2, kSearch, ""},  // the text is not read for the search
        {true, "", 5, 2, kSearch, ""},       // L = 8 / 4 = 2
        {true, "1", 2, 2, 0, large},         // L = 2 / 4 = 0: too short for any order
        {true, "1", 3, 3, 0, large},         // L = 7 / 9 = 0
        {false, "0", 2, 2, 0, large},
        {false, "0", 1, 1, 0, large},        // m n - 2 < 0
    };
    for (const Case& c : cases) {
        int32_t order = 99;
        const std::string message = MvOrderMessage(c.search, c.text, c.n, c.m, order);
        const std::string where = std::string(c.search ? "search " : "order ") + c.text + " n=" + std::to_string(c.n) +
                                  " m=" + std::to_string(c.m);
        EXPECT_EQ(message, c.message) << where;
        EXPECT_EQ(order, *c.message ? 99 : c.order) << where;
    }
    EXPECT_EQ(MvOrderLimit(100, 2), 21);
    EXPECT_EQ(MvOrderLimit(20, 3), 6);
    EXPECT_EQ(MvOrderLimit(10, 1), 8);
}

// The whole report of each command, byte for byte, against the text R made from its own fits.
TEST_F(VarEstimationTest, GoldenReportsOfBothMethods)
{
    struct Case {
        int32_t method, order;
        const char* golden;
        int32_t p;
    };
    const Case cases[] = {
        {MV_FIT_YULE_WALKER, 2, "mvar_report_yw_p2.txt", 2},
        {MV_FIT_YULE_WALKER, kSearch, "mvar_report_yw_search.txt", 4},
        {MV_FIT_BURG, 2, "mvar_report_burg_p2.txt", 2},
        {MV_FIT_BURG, kSearch, "mvar_report_burg_search.txt", 4},
    };
    for (const Case& c : cases) {
        MvTestProject project;
        LoadDeaths(project);
        MvFitOutcome outcome;
        ASSERT_EQ(MvFitModel(*project, c.method, c.order, outcome), 1) << c.golden;
        EXPECT_EQ(outcome.status, kStatusDone) << c.golden;
        EXPECT_EQ(MvFitMessage(outcome), "") << c.golden;
        EXPECT_EQ(project.model().p, c.p) << c.golden;
        const std::string golden = GoldenReport(c.golden);
        ASSERT_GT(golden.size(), 300u) << c.golden;
        EXPECT_EQ(MvReportText(MvEstimatesReport(*project, c.method)), golden) << c.golden;
    }
}

TEST_F(VarEstimationTest, ReportCallsPrintTwoBlanksWithTheirNul)
{
    MvTestProject project;
    LoadDeaths(project);
    MvFitOutcome outcome;
    ASSERT_EQ(MvFitModel(*project, MV_FIT_YULE_WALKER, 1, outcome), 1);
    const std::vector<MvReportCall> calls = MvEstimatesReport(*project, MV_FIT_YULE_WALKER);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().length, 0);  // the clearing call
    int blanks = 0, blocks = 0;
    for (const MvReportCall& call : calls) {
        if (call.perLine > 0) {
            ++blocks;
            continue;
        }
        EXPECT_EQ(call.length, call.text.empty() ? 0 : static_cast<int32_t>(call.text.size()) + 1) << call.text;
        if (call.text == "  ") ++blanks;
    }
    EXPECT_EQ(blanks, 5);
    EXPECT_EQ(blocks, 3);  // PHI(0), PHI(1) and V, each one call
    EXPECT_EQ(MvReportTitle(MV_FIT_BURG, "tables.txt"), "Multivariate Burg estimates: tables.txt");
    EXPECT_EQ(MvReportTitle(MV_FIT_YULE_WALKER, std::string(300, 'x')).size(), 230u);
}

// Order 0: the constant terms are the means and the report has the lag-0 block only.
TEST_F(VarEstimationTest, OrderZeroReportsTheMeans)
{
    MvTestProject project;
    LoadDeaths(project);
    MvFitOutcome outcome;
    ASSERT_EQ(MvFitModel(*project, MV_FIT_BURG, 0, outcome), 1);
    EXPECT_NEAR(project.model().constant[0], 1495.9444444444443, 1e-9);
    EXPECT_NEAR(project.model().constant[1], 560.68055555555554, 1e-9);
    const std::string text = MvReportText(MvEstimatesReport(*project, MV_FIT_BURG));
    EXPECT_NE(text.find(" PHI(0)\r\n   1495.944444\r\n    560.680556\r\n\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find(" PHI(1)"), std::string::npos);
    EXPECT_EQ(text.find("Optimal value"), std::string::npos);
}

// After a fit the residuals are ar.yw's: E(t) = X(t) - sum PHI(k) X(t-k), t = p+1..n, centred.
TEST_F(VarEstimationTest, ResidualsAgreeWithR)
{
    const ReferenceTable t = ReadReferenceTable("mvar_residual_reference.csv");
    ASSERT_GT(t.rows.size(), 200u);
    for (int32_t p = 1; p <= 3; ++p) {
        MvTestProject project;
        LoadDeaths(project);
        MvFitOutcome outcome;
        ASSERT_EQ(MvFitModel(*project, MV_FIT_YULE_WALKER, p, outcome), 1);
        const std::vector<double>& E = project.model().residuals;
        ASSERT_EQ(E.size(), static_cast<size_t>(2 * (72 - p))) << p;
        size_t checked = 0;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.Integer(r, "p") != p) continue;
            const int32_t time = t.Integer(r, "t");
            const std::vector<double> e = t.List(r, "values");
            for (int32_t i = 0; i < 2; ++i)
                EXPECT_NEAR(E[static_cast<size_t>(time - p - 1) * 2 + i], e[i], 1e-6) << p << " " << time;
            ++checked;
        }
        EXPECT_EQ(checked, static_cast<size_t>(72 - p));
    }
}

// The Burg residuals are the one-step errors of its model: the observation less the forecast made
// one step before it.
TEST_F(VarEstimationTest, BurgResidualsAreOneStepErrors)
{
    MvTestProject project;
    LoadDeaths(project);
    MvFitOutcome outcome;
    ASSERT_EQ(MvFitModel(*project, MV_FIT_BURG, 3, outcome), 1);
    const std::vector<double> E = project.model().residuals;
    ASSERT_EQ(E.size(), 2u * 69);
    for (int32_t t : {5, 30, 72}) {
        ASSERT_EQ(MvForecast(*project, 1, t - 1, 1), 1);
        for (int32_t i = 1; i <= 2; ++i) {
            const double error = project.data().at(i, t) - project.model().forecasts[static_cast<size_t>(t - 1) * 2 + (i - 1)];
            EXPECT_NEAR(E[static_cast<size_t>(t - 4) * 2 + (i - 1)], error, 1e-9) << t << " " << i;
        }
    }
}

TEST_F(VarEstimationTest, TheTableIsNeverCentredInPlace)
{
    MvTestProject project;
    LoadDeaths(project);
    const std::vector<double> before = project.data().values;
    for (int32_t method : {MV_FIT_YULE_WALKER, MV_FIT_BURG}) {
        MvFitOutcome outcome;
        ASSERT_EQ(MvFitModel(*project, method, kSearch, outcome), 1);
        EXPECT_EQ(project.data().values, before);  // bit for bit
        EXPECT_EQ(project.data().means.size(), 2u);
        EXPECT_EQ(project.model().fitted, 1);
    }
    EXPECT_EQ(project.model().minAiccBurg, 1);
    EXPECT_EQ(project.model().minAiccYuleWalker, 1);
}

// Refusals and failures keep the old model: the report, the order and the residuals stay.
TEST_F(VarEstimationTest, FailedFitsKeepTheOldModel)
{
    int32_t m = 0, n = 0;
    const std::vector<double> deaths = RawVarSeries("mf", m, n);
    auto withSecond = [&](auto value) {
        std::vector<double> x = deaths;
        for (int32_t t = 0; t < n; ++t) x[static_cast<size_t>(t) * 2 + 1] = value(x[static_cast<size_t>(t) * 2]);
        return x;
    };
    struct Case {
        const char* name;
        std::vector<double> table;
        int32_t method;
        const char* message;
    };
    const Case cases[] = {
        {"constant 0.1", withSecond([](double) { return 0.1; }), MV_FIT_YULE_WALKER,
         "Series 2 is constant: no AR model can be fitted."},
        {"constant 7, Burg", withSecond([](double) { return 7.0; }), MV_FIT_BURG,
         "Series 2 is constant: no AR model can be fitted."},
        {"collinear, Yule-Walker", withSecond([](double v) { return 2.0 * v + 1.0; }), MV_FIT_YULE_WALKER,
         "Numerical difficulties"},
    };
    for (const Case& c : cases) {
        MvTestProject project;
        LoadDeaths(project);
        MvFitOutcome outcome;
        ASSERT_EQ(MvFitModel(*project, c.method, 2, outcome), 1) << c.name;
        // The old model belongs to other data; it stays as it was, report and all.
        project.data().values = c.table;
        const std::string report = MvReportText(MvEstimatesReport(*project, c.method));
        const std::vector<double> residuals = project.model().residuals;
        EXPECT_EQ(MvFitModel(*project, c.method, 1, outcome), 0) << c.name;
        EXPECT_EQ(MvFitMessage(outcome), c.message) << c.name;
        EXPECT_EQ(project.model().p, 2) << c.name;
        EXPECT_EQ(project.model().residuals, residuals) << c.name;
        EXPECT_EQ(MvReportText(MvEstimatesReport(*project, c.method)), report) << c.name;
        EXPECT_EQ(project.data().values, c.table) << c.name;
    }
}

// Sixty rows of a two-series AR table multiplied by c = 10^e, e = -300, -290, .., 300, and by the
// factors that bring its largest value to 4.25e307 and to 1.7e308, where sums over the table
// overflow. Wherever the noise covariance fits the doubles (e from -150 to 150 here) both fits
// give the model of the table itself: the same order and coefficients, constants and residuals
// times c, V times c^2 and AICC moved by 2 n m ln c. Beyond, each fit is refused as out of range
// and says so.
TEST_F(VarEstimationTest, FitsDoNotDependOnTheScaleOfTheTable)
{
    int32_t m = 0, n = 0;
    std::vector<double> base = RawVarSeries("var2", m, n);
    n = 60;
    base.resize(static_cast<size_t>(n) * m);
    double top = 0.0;
    for (double x : base) top = std::max(top, std::fabs(x));
    std::vector<double> scales;
    for (int e = -300; e <= 300; e += 10) scales.push_back(std::pow(10.0, e));
    scales.push_back(4.25e307 / top);
    scales.push_back(1.7e308 / top);
    for (int32_t method : {MV_FIT_YULE_WALKER, MV_FIT_BURG}) {
        for (int32_t order : {2, kSearch}) {
            MvTestProject reference(base, m, n);
            MvFitOutcome expected;
            ASSERT_EQ(MvFitModel(*reference, method, order, expected), 1);
            const MultivariateModel& model = reference.model();
            double lowest = HUGE_VAL, highest = 0.0;
            for (int32_t i = 0; i < m; ++i) {
                const double v = model.noiseCovariance[static_cast<size_t>(i) * (m + 1)];
                lowest = std::min(lowest, std::log10(v));
                highest = std::max(highest, std::log10(v));
            }
            for (const double c : scales) {
                const double e = std::log10(c);
                const std::string where = std::string(method == MV_FIT_BURG ? "Burg" : "Yule-Walker") + " order " +
                                          std::to_string(order) + " at " + std::to_string(e);
                std::vector<double> table = base;
                for (double& x : table) x *= c;
                MvTestProject project(table, m, n);
                MvFitOutcome outcome;
                if (lowest + 2 * e < -307 || highest + 2 * e > 308) {
                    EXPECT_EQ(MvFitModel(*project, method, order, outcome), 0) << where;
                    EXPECT_EQ(outcome.status, kStatusOutOfRange) << where;
                    EXPECT_EQ(MvFitMessage(outcome), "The values are out of the range the fit handles: the noise "
                                                     "covariance would leave the range of numbers.")
                        << where;
                    EXPECT_EQ(project.model().fitted, 0) << where;
                    continue;
                }
                ASSERT_EQ(MvFitModel(*project, method, order, outcome), 1) << where;
                EXPECT_EQ(outcome.status, expected.status) << where;
                const MultivariateModel& scaled = project.model();
                ASSERT_EQ(scaled.p, model.p) << where;
                for (size_t i = 0; i < model.phi.size(); ++i)
                    EXPECT_NEAR(scaled.phi[i], model.phi[i], 1e-9) << where << " phi " << i;
                for (size_t i = 0; i < model.constant.size(); ++i)
                    EXPECT_NEAR(scaled.constant[i] / c, model.constant[i], 1e-9) << where << " constant " << i;
                for (size_t i = 0; i < model.noiseCovariance.size(); ++i)
                    EXPECT_NEAR(scaled.noiseCovariance[i] / c / c, model.noiseCovariance[i],
                                1e-9 * model.noiseCovariance[0])
                        << where << " V " << i;
                ASSERT_EQ(scaled.residuals.size(), model.residuals.size()) << where;
                for (size_t i = 0; i < model.residuals.size(); ++i)
                    EXPECT_NEAR(scaled.residuals[i] / c, model.residuals[i], 1e-9) << where << " residual " << i;
                const double shift = 2.0 * n * m * e * std::log(10.0);
                EXPECT_NEAR(scaled.aicc, model.aicc + shift, 1e-9 * (std::fabs(model.aicc) + std::fabs(shift)))
                    << where;
            }
        }
    }
}

TEST(MvFitMessageTest, LowerOrdersAreSaid)
{
    MvFitOutcome outcome;
    outcome.status = kStatusLowerOrder;
    outcome.orderAsked = 3;
    outcome.orderFitted = 1;
    EXPECT_EQ(MvFitMessage(outcome), "Numerical difficulties: the model fitted has order 1, lower than the order 3 asked.");
    outcome.orderAsked = kSearch;
    EXPECT_EQ(MvFitMessage(outcome), "Numerical difficulties ended the order search: the model fitted has order 1.");
    outcome.status = kStatusNoMemory;
    EXPECT_EQ(MvFitMessage(outcome), "Not enough memory for the fit");
}

// A Burg recursion that meets a singular order keeps the lower order, and says so.
TEST_F(VarEstimationTest, BurgAtALowerOrderIsKept)
{
    // An alternating series is predicted exactly at order 1 (partial correlation -1, computed
    // exactly for these numbers), so the recursion cannot go past order 0.
    const int32_t n = 10;
    std::vector<double> x;
    for (int32_t t = 0; t < n; ++t) x.push_back(t % 2 ? 1.0 : 3.0);
    MvTestProject project(x, 1, n);
    MvFitOutcome outcome;
    ASSERT_EQ(MvFitModel(*project, MV_FIT_BURG, 2, outcome), 1);
    EXPECT_EQ(outcome.status, kStatusLowerOrder);
    EXPECT_EQ(outcome.orderFitted, 0);
    EXPECT_EQ(project.model().p, 0);
    EXPECT_EQ(project.model().constant, std::vector<double>{2.0});
    EXPECT_EQ(project.model().residuals.size(), static_cast<size_t>(n));
    EXPECT_NE(MvFitMessage(outcome).find("lower than the order 2 asked"), std::string::npos);
}

TEST(MvFitModelTest, NoDataIsRefused)
{
    MvTestProject project;
    MvFitOutcome outcome;
    EXPECT_EQ(MvFitModel(*project, MV_FIT_YULE_WALKER, 1, outcome), 0);
    EXPECT_EQ(project.model().fitted, 0);
}
