#include "console/halvire_plot.h"

#include "console/series_plot.h"

#include <climits>
#include <cstddef>
#include <new>
#include <vector>

int HalvirePlot(const float* y, int n, int h, const float* v, bool lagMode)
{
    if (n < 1 || h < 0 || h > INT_MAX - n) return 0;
    try {
        // The plot appends the further values to its own copy of the series.
        std::vector<float> a(y, y + n);
        a.resize(static_cast<size_t>(n) + h);
        SeriesPlotStyle style;
        style.lagAxis = lagMode;
        return PlotSeriesWith(n, h, a.data(), v, style);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
