#include "univariate/residual_reports.h"

#include <algorithm>

#include "univariate/report_cells.h"
#include "univariate/statistics_reports.h"

namespace {

void VarianceLine(ReportWriter& out, const UnivariateFields& u)
{
    out.Line("Residual Variance = " + FixedText(u.residualSsPerN, 8));
}

void CorrelationSection(ReportWriter& out, const char* title, const std::vector<double>& values, int32_t lags)
{
    out.Blank();
    out.Line(title);
    out.Blank();
    out.Array(values, std::max(lags, 0), 5, 4);
    out.Blank();
}

}  // namespace

InfoCalls ResidualsReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(25, "KELO::Vesk(Residual Plot)");
    out.Blank();
    VarianceLine(out, u);
    out.Blank();
    return out.Take();
}

InfoCalls ResidualAcfReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(29, "KELO::Vesk(Residual ACF/PACF)");
    out.Blank();
    out.Line(FormattedLine("('# of Lags = ',I8)", {u.residualAcfLags}));
    out.Blank();
    VarianceLine(out, u);
    out.Blank();
    if (u.residualAcfViewFlags & (8 | 16)) {
        CorrelationSection(out, "Autocorrelations:", u.residualAcf, u.residualAcfLags);
        CorrelationSection(out, "Partial Autocorrelations:", u.residualPacf, u.residualAcfLags);
    }
    return out.Take();
}

InfoCalls ResidualHistogramReport(const UnivariateFields& u)
{
    return BinCountReport(31, "KELO::Vesk(Residuals Histogram)", u.histogramBins);
}
