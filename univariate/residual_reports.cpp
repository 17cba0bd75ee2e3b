#include "univariate/residual_reports.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "numerics/randomness_tests.h"
#include "univariate/report_cells.h"
#include "univariate/residuals.h"
#include "univariate/statistics_reports.h"

namespace {

void VarianceLine(ReportWriter& out, const UnivariateFields& u)
{
    out.Line("Residual Variance = " + FittedText(u.residualSsPerN, 8));
}

void CorrelationSection(ReportWriter& out, const char* title, const std::vector<double>& values, int32_t lags)
{
    out.Blank();
    out.Line(title);
    out.Blank();
    out.Array(values, std::max(lags, 0), 5, 4, NumberScale::Fixed);
    out.Blank();
}

// The report of a project without residuals: the message between blank lines.
InfoCalls Unavailable(ReportWriter& out)
{
    out.Blank();
    out.Line(kResidualsUnavailable);
    out.Blank();
    return out.Take();
}

// "count ~ AN( mean, sd = sd )" of a counting test.
std::string Normal(const double* triple)
{
    return SignificantText(triple[0], 5) + " ~ AN( " + SignificantText(triple[1], 5) + ", sd = " +
           SignificantText(triple[2], 5) + " )";
}

bool Finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

InfoCalls ResidualsReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(25, "KELO::Vesk(Residual Plot)");
    if (u.residuals.empty()) return Unavailable(out);
    out.Blank();
    VarianceLine(out, u);
    out.Blank();
    return out.Take();
}

InfoCalls ResidualAcfReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(29, "KELO::Vesk(Residual ACF/PACF)");
    if (u.residuals.empty()) return Unavailable(out);
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
    if (u.residuals.empty()) {
        ReportWriter out;
        out.Begin(31, "KELO::Vesk(Residuals Histogram)");
        return Unavailable(out);
    }
    return BinCountReport(31, "KELO::Vesk(Residuals Histogram)", u.residualHistogramBins);
}

InfoCalls TestsOfRandomnessReport(const UnivariateFields& u, int32_t h)
{
    ReportWriter out;
    out.Begin(44, "KELO::Vesk(Tests of randomness on residuals)");
    if (u.residuals.empty()) return Unavailable(out);
    out.Blank();
    const int32_t n = static_cast<int32_t>(std::min<size_t>(u.residuals.size(), INT32_MAX));
    const int32_t k = RandomnessLags(u).k;
    int order = 0;
    double qLB = 0.0, qML = 0.0, tp[3] = {}, ds[3] = {}, rk[3] = {};
    if (n >= 3 && k < h && h < n)
        (void)RandomnessTests(u.residuals.data(), n, h, order, qLB, qML, tp, ds, rk);
    if (!(n >= 3 && k < h && h < n) ||
        !Finite({qLB, qML, tp[0], tp[1], tp[2], ds[0], ds[1], ds[2], rk[0], rk[1], rk[2]})) {
        out.Line("Tests not available: they need at least 3 residuals and k < h < n (here n = " + IntText(n) +
                 ", k = " + IntText(k) + ", h = " + IntText(h) + ").");
        out.Blank();
        return out.Take();
    }
    out.Line("Ljung - Box statistic = " + SignificantText(qLB, 5) + " Chi-Square ( " + IntText(h - k) + " )");
    out.Blank();
    out.Line("McLeod - Li statistic = " + SignificantText(qML, 5) + " Chi-Square ( " + IntText(h) + " )");
    out.Blank();
    out.Line("# of Turning points = " + Normal(tp));
    out.Blank();
    out.Line("# of Difference sign points = " + Normal(ds));
    out.Blank();
    out.Line("# of Rank points = " + Normal(rk));
    out.Blank();
    out.Line("Order of Min AICC YW Model for Residuals = " + IntText(order));
    out.Blank();
    return out.Take();
}
