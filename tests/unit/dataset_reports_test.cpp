// The reports of R's datasets (scripts/reference/report_datasets.R) against the committed texts
// under tests/data/dataset_reports, written once by the program before numbers too wide or too
// small for their fields had their own forms. Every line must read as it did, except the lines
// listed in tests/data/dataset_reports/changed.txt, each of which showed asterisks, a value that
// is not zero as zero, or two cells run together.
// VESK_WRITE_DATASET_REPORTS=folder writes the texts into that folder instead of comparing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/reference_table.h"
#include "univariate/data_report.h"
#include "univariate/estimation_reports.h"
#include "univariate/forecast_reports.h"
#include "univariate/forecasting.h"
#include "univariate/max_likelihood.h"
#include "univariate/model_text.h"
#include "univariate/preliminary_estimation.h"
#include "univariate/regression.h"
#include "univariate/residual_reports.h"
#include "univariate/residuals.h"
#include "univariate/smoothing_commands.h"
#include "univariate/statistics.h"
#include "univariate/statistics_reports.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"

namespace {

const char* const kDatasets[] = {"LakeHuron", "Nile", "co2", "AirPassengers", "USAccDeaths", "sunspot.month", "lynx"};

// The report text with LF line ends.
std::string Lines(const InfoCalls& calls)
{
    std::string text = ReportWindowText(calls);
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

void Load(UnivariateProject& u, const std::vector<double>& x)
{
    VeskInit(u);
    u.series = x;
    u.originalSeries = x;
    u.n = static_cast<int32_t>(x.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
}

using Reports = std::vector<std::pair<std::string, std::string>>;

void Add(Reports& reports, const std::string& name, const InfoCalls& calls) { reports.emplace_back(name, Lines(calls)); }

void Statistics(Reports& r, UnivariateProject& u)
{
    Add(r, "data", DataReport(u));
    if (ComputeSampleAcf(u)) Add(r, "acf", AcfReport(u));
    Add(r, "histogram", HistogramReport(u));
    if (ComputeSpectrumValues(u) >= 0) Add(r, "spectrum", SpectrumReport(u));
}

void Smoothing(Reports& r, UnivariateProject& u)
{
    double alpha = -1.0;
    if (SmoothOriginal(u, SMOOTH_EXPONENTIAL, alpha)) {
        u.expAlpha = alpha;
        Add(r, "exponential smoothing", ExpSmoothingReport(u));
    }
    double cutoff = 0.2;
    if (SmoothOriginal(u, SMOOTH_FFT, cutoff)) {
        u.fftFraction = cutoff;
        Add(r, "FFT smoothing", FftSmoothingReport(u));
    }
    u.maOrder = 2;
    u.maWeights = {0.2, 0.2, 0.2};
    double unused = 0.0;
    if (SmoothOriginal(u, SMOOTH_MOVING_AVERAGE, unused)) Add(r, "moving average smoothing", MaSmoothingReport(u));
}

void Forecasts(Reports& r, UnivariateProject& u, int32_t period)
{
    ForecastCurves curves;
    ArarSettings arar;
    arar.count = 12;
    arar.first = 1;
    arar.last = u.n;
    if (ArarForecastRun(u, arar, curves) == FORECAST_DONE) Add(r, "ARAR forecast", ArarForecastReport(u));
    HoltWintersSettings hw;
    hw.count = 12;
    hw.first = 1;
    hw.last = u.n;
    if (HoltWintersRun(u, hw, curves) == FORECAST_DONE) Add(r, "Holt-Winters forecast", HoltWintersReport(u));
    if (period > 0) {
        hw.period = period;
        if (HoltWintersRun(u, hw, curves) == FORECAST_DONE)
            Add(r, "seasonal Holt-Winters forecast", SeasonalHoltWintersReport(u));
    }
}

void Trends(Reports& r, const std::vector<double>& x, const std::vector<int32_t>& degrees)
{
    for (int32_t degree : degrees) {
        UnivariateProject u;
        Load(u, x);
        u.intercept = 1;
        u.polynomialDegree = degree;
        if (SpecifyRegressionDesign(u) != 1) continue;
        if (FitLeastSquaresTrend(u) == REGRESSION_DONE)
            Add(r, "least squares trend of degree " + std::to_string(degree), RegressionReport(u));
        u.p = 1;
        u.phi[1] = 0.5;
        u.wnVariance = 1.0;
        if (FitGlsTrend(u) == REGRESSION_DONE)
            Add(r, "generalized least squares trend of degree " + std::to_string(degree), RegressionReport(u));
        VeskFree(u);
    }
}

void Arma(Reports& r, UnivariateProject& u, int32_t p, int32_t q, int32_t method, const std::string& name)
{
    u.p = p;
    u.q = q;
    u.likelihoodTolerance = 5e-5;
    u.residualsValid = 0;
    int32_t m = 0;
    if (PrelimEstimate(u, m, method).outcome != PRELIM_DONE) return;
    u.prelimMethod = method;
    u.prelimAcvfCount = -1;
    Add(r, name + " preliminary", PreliminaryReport(u));
    u.maxIterations = 50;
    u.mleMethod = -1;
    u.accuracy = DefaultAccuracy(u);
    u.likelihoodTolerance = 5e-5;
    (void)MaxLikelihoodFit(u);
    Add(r, name + " maximum likelihood", MaxLikelihoodReport(u));
    Add(r, name + " AR/MA infinity", ArmaInfinityReport(u));
    (void)ComputeResiduals(u);
    Add(r, name + " residuals", ResidualsReport(u));
    if (ComputeResidualAcf(u)) Add(r, name + " residual ACF", ResidualAcfReport(u));
    u.forecastSteps = 12;
    ForecastCurves curves;
    if (ArmaForecastRun(u, false, 0.0, curves) == FORECAST_DONE) Add(r, name + " ARMA forecast", ArmaForecastReport(u));
    Add(r, name + " data", DataReport(u));
}

Reports DatasetReports(const std::string& name)
{
    const std::vector<double> x = ReferenceSeries(name, "report_datasets.csv");
    const int32_t period = name == "co2" || name == "AirPassengers" || name == "USAccDeaths" ? 12 : 0;
    Reports r;
    UnivariateProject u;
    Load(u, x);
    Statistics(r, u);
    Smoothing(r, u);
    Forecasts(r, u, period);
    VeskFree(u);
    Trends(r, x, name == "LakeHuron" ? std::vector<int32_t>{1, 2, 6, 10} : std::vector<int32_t>{1, 2});
    Load(u, x);
    if (ApplySubtractMean(u) == 1) {
        Arma(r, u, 2, 0, PRELIM_YW, "AR(2)");
        Arma(r, u, 1, 1, PRELIM_HANNAN_RISSANEN, "ARMA(1,1)");
    }
    VeskFree(u);
    return r;
}

std::string FileText(const Reports& reports)
{
    std::string text;
    for (const auto& [title, body] : reports) text += "### " + title + "\n" + body;
    return text;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// changed.txt: blocks of "dataset line-number" then the old line and the new line, each on a line
// of its own after "- " and "+ ".
struct ChangedLine {
    std::string before, after;
};
std::map<std::pair<std::string, size_t>, ChangedLine> ReadChanges(const std::string& path)
{
    std::map<std::pair<std::string, size_t>, ChangedLine> changes;
    const std::vector<std::string> lines = SplitLines(ReadFile(path));
    for (size_t i = 0; i + 2 < lines.size(); ++i) {
        if (lines[i].rfind("@ ", 0) != 0) continue;
        std::istringstream head(lines[i].substr(2));
        std::string dataset;
        size_t number = 0;
        head >> dataset >> number;
        changes[{dataset, number}] = {lines[i + 1].substr(2), lines[i + 2].substr(2)};
        i += 2;
    }
    return changes;
}

}  // namespace

TEST(DatasetReports, OrdinaryReportsReadAsBefore)
{
    const std::string folder = std::string(VESK_TEST_DATA) + "/dataset_reports/";
    if (const char* out = std::getenv("VESK_WRITE_DATASET_REPORTS")) {
        for (const char* name : kDatasets) std::ofstream(std::string(out) + "/" + name + ".txt", std::ios::binary) << FileText(DatasetReports(name));
        GTEST_SKIP() << "texts written to " << out;
    }
    const auto changes = ReadChanges(folder + "changed.txt");
    size_t changed = 0;
    for (const char* name : kDatasets) {
        SCOPED_TRACE(name);
        const std::vector<std::string> before = SplitLines(ReadFile(folder + name + ".txt"));
        const std::vector<std::string> now = SplitLines(FileText(DatasetReports(name)));
        ASSERT_FALSE(before.empty());
        ASSERT_EQ(now.size(), before.size());
        for (size_t i = 0; i < now.size(); ++i) {
            const auto change = changes.find({name, i + 1});
            if (change == changes.end()) {
                EXPECT_EQ(now[i], before[i]) << "line " << i + 1;
                continue;
            }
            ++changed;
            EXPECT_EQ(before[i], change->second.before) << "line " << i + 1;
            EXPECT_EQ(now[i], change->second.after) << "line " << i + 1;
        }
    }
    EXPECT_EQ(changed, changes.size());
}
