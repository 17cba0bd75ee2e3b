#include "univariate/forecast_reports.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "univariate/report_cells.h"

namespace {

// A smoothing constant or a cutoff: a fraction of one, shown with 5 decimals.
std::string Fraction(double x) { return FittedFixed(x, 5, 15, NumberScale::Fixed); }

// The count, range and root mean squared error lines of a forecast method.
void SummaryLines(ReportWriter& out, int32_t count, int32_t first, int32_t last, double rootMse)
{
    out.Line(Composed("Number of points forecasted: " + IntText(count)));
    out.Line(Composed("Time points used in forecast: ( " + IntText(first) + " - " + IntText(last) + " )"));
    out.Line(Composed("Root mean-squared error = " + FittedText(rootMse, 4)));
}

// Rows of time last + i and forecast i, read at engineLast + i of the vector.
void ForecastTable(ReportWriter& out, const std::vector<double>& forecasts, int32_t count, int32_t last,
                   int32_t engineLast)
{
    out.Line("           Time     Prediction      ");
    for (int32_t i = 1; i <= count; ++i) {
        const long long position = static_cast<long long>(engineLast) + i;
        if (position < 1 || position > static_cast<long long>(forecasts.size())) break;
        out.Line(IntCell(last + i) + FixedCell(forecasts[static_cast<size_t>(position - 1)], 5));
    }
    out.Blank();
}

// Values five to a line: each line one blank, then the values separated by three blanks.
void CoefficientLines(ReportWriter& out, const double* values, int32_t count)
{
    std::string line;
    for (int32_t k = 0; k < count; ++k) {
        line = Composed(Trimmed(line) + "   " + FittedText(values[k], 4));
        if ((k + 1) % 5 == 0) {
            out.Line(line);
            line.clear();
        }
    }
    if (!line.empty()) out.Line(line);
}

void OptimisationLine(ReportWriter& out, int32_t optimise)
{
    out.Line(optimise == 1 ? " (Coefficients were optimized.)" : " (No optimization.)");
    out.Blank();
    out.Blank();
}

double Root(double meanSquare) { return std::sqrt(meanSquare); }

// A smoothing report: its parameter line (none when empty) and the root of the mean squared error.
InfoCalls SmoothingReport(const std::string& heading, const std::string& parameter, double meanSquare)
{
    ReportWriter out;
    out.Begin(29, heading);
    out.Blank();
    if (!parameter.empty()) out.Line(Composed(parameter));
    out.Line(Composed(" SQRT(MSE) =  " + FittedText(Root(meanSquare), 5)));
    return out.Take();
}

}  // namespace

InfoCalls ArmaForecastReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(20, "KELO::(ARMA Forecast)");
    out.Blank();
    out.Line("           Step     Prediction      sqrt(MSE)");
    const size_t rows = std::min(u.armaForecasts.size(), u.armaForecastMse.size());
    for (size_t k = 0; k < rows; ++k)
        out.Line(IntCell(static_cast<int32_t>(k + 1)) + FixedCell(u.armaForecasts[k], 5) +
                 FixedCell(Root(u.armaForecastMse[k]), 5));
    out.Blank();
    return out.Take();
}

InfoCalls ArarForecastReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(20, "KELO::(ARAR Forecast)");
    out.Blank();
    SummaryLines(out, u.ararCount, u.ararFirst, u.ararLast, u.ararRootMse);
    out.Blank();
    const int32_t degree = std::clamp(u.ararDegree, 0, 49);
    if (u.ararOption == 1) {
        out.Line("Memory shortening not requested.");
    } else if (degree == 0) {
        out.Line("Memory shortening not required.");
    } else {
        out.Line("Memory Shortening:");
        out.Line(" Coeff of B**j in memory shortening poly, j=0,1,...");
        CoefficientLines(out, u.ararShortening, degree + 1);
    }
    out.Blank();
    out.Line("Subset AR Model:   ");
    if (u.ararCriterion == 1) out.Line(" Method: minimize WN variance (max lag=13).");
    if (u.ararCriterion == 2) out.Line(" Method: minimize WN variance (max lag=26).");
    if (u.ararCriterion == 3) out.Line(" Method: maximize Gaussian like (max lag=13).");
    std::string lags = "   LAGS:", coefs = "   Coefs:";
    for (int32_t k = 0; k < 4; ++k) {
        lags += "     " + IntText(u.ararLags[k]);
        coefs += "  " + FittedText(u.ararSubsetCoef[k], 4);
    }
    out.Line(lags);
    out.Line(coefs);
    out.Blank();
    out.Line("COEFFICIENTS OF OVERALL WHITENING FILTER:");
    const int32_t filterLength = static_cast<int32_t>(sizeof u.ararFilter / sizeof u.ararFilter[0]);
    // A run without shortening leaves the degree of an earlier one in the record; its own filter
    // is the subset AR alone.
    const int32_t filterDegree = u.ararOption == 1 ? 0 : u.ararDegree;
    const long long filterCount = static_cast<long long>(u.ararLags[3]) + filterDegree + 1;
    CoefficientLines(out, u.ararFilter, static_cast<int32_t>(std::clamp<long long>(filterCount, 0, filterLength)));
    out.Blank();
    ForecastTable(out, u.ararForecasts, u.ararCount, u.ararLast, u.ararForecastEnd - u.ararCount);
    return out.Take();
}

InfoCalls HoltWintersReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(29, "KELO::(Holt-Winters Forecast)");
    out.Blank();
    SummaryLines(out, u.hwCount, u.hwFirst, u.hwLast, u.hwRootMse);
    out.Blank();
    SummaryLines(out, u.hwForecastEnd - u.hwLast, u.hwFirst, u.hwLast, u.hwRootMse);
    out.Blank();
    out.Line(Composed(" ALPHA = " + Fraction(u.hwAlpha)));
    out.Line(Composed(" BETA  = " + Fraction(u.hwBeta)));
    OptimisationLine(out, u.hwOptimise);
    ForecastTable(out, u.hwForecasts, u.hwCount, u.hwLast, u.hwEngineLast);
    return out.Take();
}

InfoCalls SeasonalHoltWintersReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(29, "KELO::(Seasonal H-W Forecast)");
    out.Blank();
    SummaryLines(out, u.shwCount, u.shwFirst, u.shwLast, u.shwRootMse);
    out.Blank();
    out.Line(Composed(" ALPHA = " + Fraction(u.shwAlpha)));
    out.Line(Composed(" BETA  = " + Fraction(u.shwBeta)));
    out.Line(Composed(" GAMMA = " + Fraction(u.shwGamma)));
    OptimisationLine(out, u.shwOptimise);
    ForecastTable(out, u.shwForecasts, u.shwCount, u.shwLast, u.shwEngineLast);
    return out.Take();
}

InfoCalls ExpSmoothingReport(const UnivariateFields& u)
{
    return SmoothingReport("KELO::(Exponential Smoothing)", " Value of Alpha =  " + Fraction(u.expAlpha), u.expRootMse);
}

InfoCalls FftSmoothingReport(const UnivariateFields& u)
{
    return SmoothingReport("KELO::(FFT Smoothing)", " Value of cutoff =  " + Fraction(u.fftFraction), u.fftRootMse);
}

InfoCalls MaSmoothingReport(const UnivariateFields& u)
{
    return SmoothingReport("KELO::(Moving Average Smoothing)", "", u.maRootMse);
}
