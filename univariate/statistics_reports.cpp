#include "univariate/statistics_reports.h"

#include <algorithm>

#include "univariate/report_cells.h"
#include "univariate/statistics.h"

namespace {

void Section(ReportWriter& out, const char* title, const std::vector<double>& values, int32_t lags,
             const std::string& scaleLine = "")
{
    out.Blank();
    out.Line(title);
    out.Blank();
    if (!scaleLine.empty()) {
        out.Line(scaleLine);
        out.Blank();
    }
    out.Array(values, std::max(lags, 0), 5, 4, NumberScale::Fixed);
    out.Blank();
}

bool SmoothedShown(const UnivariateFields& u)
{
    return u.showSmoothedPeriodogram && u.ordinateCount > 0 &&
           u.smoothedPeriodogram.size() == static_cast<size_t>(u.ordinateCount) + 1;
}

}  // namespace

InfoCalls AcfReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(15, "KELO::Vesk(ACF/PACF)");
    out.Line(FormattedLine("('# of Lags = ',I8)", {u.acfLags}));
    out.Blank();
    const bool sample = (u.acfViewFlags & ACF_SAMPLE) && !u.sampleAcf.empty() && !u.samplePacf.empty();
    const bool model = (u.acfViewFlags & ACF_MODEL) && !u.modelAcf.empty() && !u.modelPacf.empty();
    // FracArmaAcvf keeps the unit-variance value for its other callers; the report gives the model's.
    const double gamma0 = u.fracIntegrated ? u.wnVariance * u.modelGamma0 : u.modelGamma0;
    if (sample)
        Section(out, "Sample Autocorrelations:", u.sampleAcf, u.acfLags,
                "Sample Variance = " + FittedText(u.sampleGamma0, 8));
    if (model)
        Section(out, "Model Autocorrelations:", u.modelAcf, u.modelAcfLags, "Gamma(0) = " + FittedText(gamma0, 8));
    if (sample) Section(out, "Sample Partial Autocorrelations:", u.samplePacf, u.acfLags);
    if (model) Section(out, "Model Partial Autocorrelations:", u.modelPacf, u.modelAcfLags);
    return out.Take();
}

InfoCalls BinCountReport(int32_t rowLength, const std::string& heading, int32_t bins)
{
    ReportWriter out;
    out.Begin(rowLength, heading);
    out.Line(FormattedLine("('# of Bins = ',I8)", {bins}));
    return out.Take();
}

InfoCalls HistogramReport(const UnivariateFields& u) { return BinCountReport(21, "KELO::Vesk(Histogram)", u.histogramBins); }

InfoCalls SpectrumReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(15, "KELO::Vesk(SPECTRUM)");
    out.Blank();
    out.Line("Number of frequencies in periodogram = " + IntText(u.ordinateCount));
    out.Blank();
    if (SmoothedShown(u) && !u.daniellWeights.empty()) {
        out.Line("Smoothing coefficients:");
        double squares = 0.0;
        for (size_t i = 0; i < u.daniellWeights.size(); ++i) {
            const double w = u.daniellWeights[i];
            out.Line("W[" + IntText(static_cast<int32_t>(i)) + "] = " + FittedSignificant(w, 5, 15, NumberScale::Fixed));
            squares += (i == 0 ? 1.0 : 2.0) * w * w;
        }
        out.Line(" ");
        out.Line("Smooth coefficient sum of squares = " + FittedSignificant(squares, 5, 15, NumberScale::Fixed));
    } else {
        out.Line("No smoothing done.");
    }
    out.Blank();
    out.Line("Fisher's test:");
    if (u.fisherCount > 0) {
        out.Line("Ratio of maximum periodogram ordinate to average = " + SignificantText(u.fisherStatistic, 5));
        out.Line("Probability (under H0) of seeing this or larger = " + FittedSignificant(u.fisherProbability, 5, 15, NumberScale::Fixed));
    } else {
        out.Line("No ratio: fewer than 3 observations, or no variation in the series.");
    }
    out.Blank();
    return out.Take();
}

InfoCalls CumulativeSpectrumReport(const UnivariateFields&)
{
    ReportWriter out;
    out.Begin(15, "KELO::Vesk(CUMULATIVE SPECTRUM)");
    out.Blank();
    return out.Take();
}
