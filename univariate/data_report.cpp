#include "univariate/data_report.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "numerics/acf.h"
#include "numerics/series_scaling.h"
#include "univariate/model_text.h"
#include "univariate/report_cells.h"

DataSummary SummariseData(const std::vector<double>& x)
{
    DataSummary s;
    const size_t n = x.size();
    if (n == 0) return s;
    const int count = static_cast<int>(n);
    s.mean = FiniteSeriesMean(x.data(), count);
    // The deviations are formed on the values scaled by a power of two that brings the largest
    // near 1 (exact, so that ordinary data lose no digit by it), so that
    // neither they nor their products overflow; each statistic is scaled back at the end.
    const int k = SeriesScaleExponent(x.data(), count, 1);
    const double centre = std::ldexp(s.mean, k);
    std::vector<double> d(n);
    for (size_t t = 0; t < n; ++t) d[t] = std::ldexp(x[t], k) - centre;
    const auto acvf = [&](size_t h) {
        double total = 0.0;
        for (size_t t = 0; t + h < n; ++t) total += d[t + h] * d[t];
        return total / static_cast<double>(n);
    };
    const double variance = acvf(0);
    const size_t r = static_cast<size_t>(std::floor(std::sqrt(static_cast<double>(n))));
    double weighted = variance;
    for (size_t h = 1; h < r; ++h)
        weighted += 2.0 * (1.0 - static_cast<double>(h) / static_cast<double>(r)) * acvf(h);
    // The variance of values near the largest double may lie beyond it: it is then infinite.
    s.variance = std::ldexp(variance, -2 * k);
    // A Bartlett-weighted sum of sample autocovariances is not negative; rounding may say -0.
    // The standard error is at most the largest |x|, so it stays finite.
    s.standardError = std::ldexp(std::sqrt(std::max(weighted, 0.0) / static_cast<double>(n)), -k);
    return s;
}

InfoCalls DataReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(10, "KELO::Vesk");
    out.Line(FormattedLine("('# of Data Points = ',I8)", {u.n}));
    out.Blank();
    if (u.n > 0) {
        const DataSummary s = SummariseData(u.series);
        const TransformNode* meanNode = u.transforms;
        while (meanNode && meanNode->kind != TRANSFORM_SUBTRACT_MEAN) meanNode = meanNode->next;
        if (meanNode)
            out.Line("Subtracted Mean = " + FittedText(meanNode->mean, 4));
        else
            out.Line("Sample Mean = " + FittedText(s.mean, 4));
        if (std::isfinite(s.variance))
            out.Line("Sample Variance = " + FittedText(s.variance, 6));
        else
            out.Line("Sample Variance: the values are too large for it");
        out.Line("Std.Error(Sample Mean) =  " + FittedText(s.standardError, 6));
        out.Line("(square root of (1/n)SUM{(1-|h|/r)acvf(h)}, |h|<r=[sqrt(n)])");
        out.Blank();
    }
    out.Line("MODEL:");
    AppendModelText(out, u);
    out.Blank();
    out.Line("WN Variance = " + FittedText(u.wnVariance, 6));
    return out.Take();
}
