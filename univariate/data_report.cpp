#include "univariate/data_report.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "univariate/model_text.h"
#include "univariate/report_cells.h"

DataSummary SummariseData(const std::vector<double>& x)
{
    DataSummary s;
    const size_t n = x.size();
    if (n == 0) return s;
    double sum = 0.0;
    for (double v : x) sum += v;
    s.mean = sum / static_cast<double>(n);
    const auto acvf = [&](size_t h) {
        double total = 0.0;
        for (size_t t = 0; t + h < n; ++t) total += (x[t + h] - s.mean) * (x[t] - s.mean);
        return total / static_cast<double>(n);
    };
    s.variance = acvf(0);
    const size_t r = static_cast<size_t>(std::floor(std::sqrt(static_cast<double>(n))));
    double weighted = s.variance;
    for (size_t h = 1; h < r; ++h)
        weighted += 2.0 * (1.0 - static_cast<double>(h) / static_cast<double>(r)) * acvf(h);
    // A Bartlett-weighted sum of sample autocovariances is not negative; rounding may say -0.
    s.standardError = std::sqrt(std::max(weighted, 0.0) / static_cast<double>(n));
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
            out.Line("Subtracted Mean = " + FixedText(meanNode->mean, 4));
        else
            out.Line("Sample Mean = " + FixedText(s.mean, 4));
        out.Line("Sample Variance = " + FixedText(s.variance, 6));
        out.Line("Std.Error(Sample Mean) =  " + FixedText(s.standardError, 6));
        out.Line("(square root of (1/n)SUM{(1-|h|/r)acvf(h)}, |h|<r=[sqrt(n)])");
        out.Blank();
    }
    out.Line("MODEL:");
    AppendModelText(out, u);
    out.Blank();
    out.Line("WN Variance = " + FixedText(u.wnVariance, 6));
    return out.Take();
}
