// Every routine that writes a number into a field of a report, a report array, the status bar or
// the clipboard, given the same values: no asterisks, a quantity of no fixed scale never shown as
// zero when it is not, a blank before every cell, and the cells keeping their columns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "multivariate/multivariate_project.h"
#include "multivariate/var_estimation.h"
#include "shell/clipboard_text.h"
#include "shell/number_format.h"
#include "shell/plot_zoom.h"
#include "shell/report_text.h"
#include "univariate/estimation_reports.h"
#include "univariate/forecast_reports.h"
#include "univariate/model_text.h"
#include "univariate/report_cells.h"
#include "univariate/residual_reports.h"
#include "univariate/statistics_reports.h"
#include "univariate/univariate_project.h"

namespace {

const double kValues[] = {0.0,      1e-300,  -1e-300,         7.39e-10,        -7.39e-10, 2.15e-7, -2.15e-7,
                          0.5,      280298.61111111, 123456789.12345, 1e8,  1e15,    -2.06e7,
                          9.9e18,   1.5e308, -1.5e308,        1.797e308,       -1.797e308};

// Where a member writes its number.
enum class Place {
    Text,  // running text: the number alone
    Cell,  // a right-justified cell of `width` characters in a row: a blank before the number
    Field, // a left-justified field of `width` characters that a label follows: a blank after it
};

struct Member {
    const char* name;
    std::function<std::string(double)> write;
    Place place;
    size_t width;       // of the cell, or the most characters the running text may take
    bool fixedScale;    // an autocorrelation, a probability, a fraction: may read as zero
    bool magnitude;     // written without its sign
    std::function<double(double)> value = [](double x) { return x; };  // the value written for x
};

// The number in a line that ends with it: the text after `label`.
std::string After(const std::string& line, const std::string& label)
{
    const size_t at = line.find(label);
    return at == std::string::npos ? "<no " + label + ">" : line.substr(at + label.size());
}

// The text a report writes, with LF line ends.
std::string Report(const InfoCalls& calls)
{
    std::string text;
    for (char c : ReportWindowText(calls))
        if (c != '\r') text += c;
    return text;
}

std::string LineWith(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    if (at == std::string::npos) return "<no " + label + ">";
    const size_t start = text.rfind('\n', at) + 1;
    return text.substr(start, text.find('\n', at) - start);
}

// The trend line of a degree-1 polynomial without intercept whose coefficient is x: "M(t) = ...".
std::string TrendTerm(double x)
{
    UnivariateProject u;
    VeskInit(u);
    u.regressionPresent = 1;
    u.intercept = 0;
    u.polynomialDegree = 1;
    u.trendCoefficients = {x};
    ReportWriter out;
    AppendModelText(out, u);
    const std::string line = LineWith(Report(out.Calls()), "M(t) =");
    const std::string term = After(line, "M(t) = ");
    // "  c t^1", " - c t^1"
    return term.substr(2, term.rfind(" t^1") - 2);
}

// The "(Corrected for regression)" AICC field: 15 characters before the label.
void CorrectedAiccProject(UnivariateProject& u, double x)
{
    VeskInit(u);
    u.n = 100;
    u.regressionPresent = 1;
    u.termCount = 1;
    u.minus2LogLikelihood = x;
}

double CorrectedAiccOf(double x)
{
    UnivariateProject u;
    CorrectedAiccProject(u, x);
    double value = 0.0;
    EXPECT_TRUE(CorrectedAicc(u, value));
    return value;
}

std::string CorrectedAiccField(double x)
{
    UnivariateProject u;
    CorrectedAiccProject(u, x);
    const std::string line = LineWith(Report(MaxLikelihoodReport(u)), "(Corrected for regression)");
    return After(line, "AICC = ").substr(0, 15);
}

// Row 1 of the ARMA forecast table: step, prediction, sqrt(MSE); the prediction's cell.
std::string ForecastCell(double x)
{
    UnivariateProject u;
    VeskInit(u);
    u.forecastSteps = 1;
    u.armaForecasts = {x};
    u.armaForecastMse = {1.0};
    const std::string row = LineWith(Report(ArmaForecastReport(u)), "\n              1");
    return row.substr(15, 15);
}

// The ARAR subset coefficients line: "   Coefs:  c  c  c  c"; the first coefficient.
std::string ArarCoefficient(double x)
{
    UnivariateProject u;
    VeskInit(u);
    u.ararSubsetCoef[0] = x;
    const std::string line = LineWith(Report(ArarForecastReport(u)), "Coefs:");
    const std::string rest = After(line, "Coefs:  ");
    return rest.substr(0, rest.find(' '));
}

std::string VarAicc(double x)
{
    MultivariateData data;
    MultivariateModel model;
    data.m = 1;
    model.aicc = x;
    MultivariateProject project;
    project.data = &data;
    project.model = &model;
    const std::vector<MvReportCall> calls = MvEstimatesReport(project, MV_FIT_BURG);
    return After(calls.back().text, "AICC = ");
}

const std::vector<Member>& Members()
{
    static const std::vector<Member> members = {
        {"WN variance, criteria, sample variance (F15.6)", [](double x) { return FittedText(x, 6); }, Place::Text, 15, false, false},
        {"means, root MSE (F15.4)", [](double x) { return FittedText(x, 4); }, Place::Text, 15, false, false},
        {"residual variance (F15.8)", [](double x) { return FittedText(x, 8); }, Place::Text, 15, false, false},
        {"(Residual SS)/N (6 digits)", [](double x) { return SignificantText(x, 6); }, Place::Text, 15, false, false},
        {"trend polynomial term", TrendTerm, Place::Text, 15, false, true},
        {"AICC corrected for regression", CorrectedAiccField, Place::Field, 15, false, false, CorrectedAiccOf},
        {"multivariate AICC", VarAicc, Place::Text, 15, false, false},
        {"ARAR coefficient", ArarCoefficient, Place::Text, 15, false, false},
        {"regression coefficient cell (F15.8)", [](double x) { return FixedCell(x, 8); }, Place::Cell, 15, false, false},
        {"forecast table cell", ForecastCell, Place::Cell, 15, false, false},
        {"harmonic coefficient cell", [](double x) { return SignificantCell(x, 5); }, Place::Cell, 30, false, false},
        {"vector of estimates (array, 6 decimals)",
         [](double x) { return InfoArrayText({x}, 1, 1, 6).substr(0, 14); }, Place::Cell, 14, false, false},
        {"autocorrelations (array, 4 decimals)",
         [](double x) { return InfoArrayText({x}, 1, 1, 4, NumberScale::Fixed).substr(0, 14); }, Place::Cell, 14, true,
         false},
        {"AR/MA infinity weight cell", [](double x) { return FixedCell(x, 5, NumberScale::Fixed); }, Place::Cell, 15, true,
         false},
        {"probability (5 digits)", [](double x) { return FittedSignificant(x, 5, 15, NumberScale::Fixed); }, Place::Text,
         15, true, false},
        {"status bar coordinate", ShortSignificant, Place::Text, 15, false, false},
        {"clipboard", ClipboardNumberText, Place::Text, 15, false, false},
    };
    return members;
}

}  // namespace

TEST(NumberFields, EveryMemberShowsEveryValue)
{
    for (const Member& m : Members()) {
        for (double x : kValues) {
            char value[32];
            std::snprintf(value, sizeof value, "%.6g", x);
            SCOPED_TRACE(std::string(m.name) + " of " + value);
            const std::string field = m.write(x);
            EXPECT_EQ(field.find('*'), std::string::npos) << '"' << field << '"';
            std::string number = field;
            if (m.place == Place::Cell) {
                EXPECT_EQ(field.size(), m.width) << '"' << field << '"';
                ASSERT_FALSE(field.empty());
                // The cell begins with a blank; the number ends it, or is followed by blanks only.
                EXPECT_EQ(field.front(), ' ') << '"' << field << '"';
                number = field.substr(field.find_first_not_of(' '));
                number = number.substr(0, number.find(' '));
            } else if (m.place == Place::Field) {
                EXPECT_EQ(field.size(), m.width) << '"' << field << '"';
                EXPECT_EQ(field.back(), ' ') << '"' << field << '"';
                number = field.substr(0, field.find(' '));
            } else {
                EXPECT_LE(field.size(), m.width) << field;
                EXPECT_EQ(field.find(' '), std::string::npos) << field;
            }
            const double shown = ParseReal(number);
            const double wanted = m.magnitude ? std::fabs(m.value(x)) : m.value(x);
            if (!m.fixedScale && wanted != 0.0) {
                // A value that is not zero never reads as zero, and keeps its sign and its first
                // digits (the running text of eight decimals shows 2.15e-7 as 0.00000022).
                EXPECT_NE(shown, 0.0) << field;
                EXPECT_NEAR(shown / wanted, 1.0, 0.05) << field;
            } else if (std::fabs(wanted) >= 1e-4 && std::fabs(wanted) <= 1e8) {
                EXPECT_NEAR(shown, wanted, 1e-3 * std::fabs(wanted)) << field;
            }
        }
    }
}

// The quantities of a fixed scale keep the fixed form of their field where the others move on.
TEST(NumberFields, FixedScaleKeepsTheFixedForm)
{
    EXPECT_EQ(InfoArrayText({7.39e-10, -2.15e-7}, 2, 2, 4, NumberScale::Fixed), "        0.0000       -0.0000\r\n\r\n");
    EXPECT_EQ(FixedCell(1e-12, 5, NumberScale::Fixed), "        0.00000");
    EXPECT_EQ(FixedCell(1e-12, 5), " 1.0000000E-012");
    EXPECT_EQ(FittedSignificant(1e-20, 5, 15, NumberScale::Fixed), "0.0000");
    EXPECT_EQ(FittedSignificant(6.4331e-12, 5, 15, NumberScale::Fixed), "6.4331E-012");
    UnivariateProject u;
    VeskInit(u);
    u.fisherCount = 1;
    u.fisherStatistic = 40.0;
    u.fisherProbability = 1e-20;
    const std::string spectrum = Report(SpectrumReport(u));
    EXPECT_NE(spectrum.find("Probability (under H0) of seeing this or larger = 0.0000\n"), std::string::npos) << spectrum;
    // Sample and residual autocorrelations too small to show.
    u.acfViewFlags = 25;
    u.acfLags = 1;
    u.sampleAcf = u.samplePacf = {1e-7, 1e-7};
    u.sampleGamma0 = 1.0;
    u.residualAcfViewFlags = 8;
    u.residualAcfLags = 1;
    u.residualAcf = u.residualPacf = {-1e-7, -1e-7};
    u.residualSsPerN = 1.0;
    u.residuals = {1.0, -1.0};
    for (const std::string& text : {Report(AcfReport(u)), Report(ResidualAcfReport(u))}) {
        EXPECT_EQ(text.find("E-0"), std::string::npos) << text;
        EXPECT_NE(text.find("0.0000\n"), std::string::npos) << text;
    }
}

// The cases of a row: the step and the prediction never run together, nor a value and its
// standard error.
TEST(NumberFields, CellsOfARowStayApart)
{
    EXPECT_EQ(IntCell(1) + FixedCell(123456789.12345, 5), "              1 123456789.1235");
    EXPECT_EQ(IntCell(0) + FixedCell(280298.61111111, 8), "              0 280298.6111111");
    EXPECT_EQ(FixedCell(-126691837.0276, 8) + FixedCell(32077.63317818, 8), " -126691837.028 32077.63317818");
    EXPECT_EQ(FixedCell(580.97386279, 8), "   580.97386279");  // an ordinary cell as it always was
}
