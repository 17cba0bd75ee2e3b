#include "shell/plot_record.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

uint32_t PlotColors[kPlotColorCount + 1];

namespace {

// Smallest and largest of a vector's first `count` values; an empty search gives lo > hi.
struct Range {
    double lo = DBL_MAX;
    double hi = -DBL_MAX;
    bool Empty() const { return lo > hi; }
};

Range RangeOf(const std::vector<double>& v, size_t count)
{
    Range r;
    for (size_t i = 0; i < count && i < v.size(); ++i) {
        r.lo = std::min(r.lo, v[i]);
        r.hi = std::max(r.hi, v[i]);
    }
    return r;
}

bool ValidNumber(int32_t n) { return n >= 1 && n <= 10; }

// The limits lo - d, hi + d of the extent lo..hi (lo <= hi) with the margin d = factor (hi - lo).
// Beyond 2^53 the unit widening of an empty extent changes nothing, and near the largest double
// the extent or its margins overflow: an empty extent then widens by a quarter of its value, the
// margin is taken from half the extent, and the limits stop at the largest double, so that they
// stay finite and apart. Ordinary extents get exactly lo - d, hi + d.
void Margins(double lo, double hi, double factor, double& min, double& max)
{
    if (hi == lo) {
        const double d = std::fabs(lo) / 4;
        lo = std::max(lo - d, -DBL_MAX);
        hi = std::min(hi + d, DBL_MAX);
    }
    const double span = hi - lo;
    const double d = std::isfinite(span) ? span * factor : (hi / 2 - lo / 2) * (2 * factor);
    min = std::max(lo - d, -DBL_MAX);
    max = std::min(hi + d, DBL_MAX);
}

void SetExtent(PlotCurve& c, Range x, Range y)
{
    if (x.Empty() || y.Empty()) x = y = Range{};
    c.xMin = x.lo;
    c.xMax = x.hi;
    c.yMin = y.lo;
    c.yMax = y.hi;
}

bool HasExtent(const PlotCurve& c) { return c.xMin <= c.xMax && c.yMin <= c.yMax; }

// Shared body of SetCurveY and SetCurveYInPanel; p is 0 to keep the curve's panel.
int32_t SetCurveIndexed(PlotRecord& plot, int32_t k, const std::vector<double>& y, int32_t first,
                        int32_t last, int32_t p)
{
    PlotCurve& c = plot.curves[k];
    const int64_t n = static_cast<int64_t>(last) - first + 1;
    c.shown = 1;
    // The y extent covers all of y, also values beyond the plotted n.
    SetExtent(c, n >= 1 ? Range{static_cast<double>(first), static_cast<double>(last)} : Range{},
              RangeOf(y, y.size()));
    if (p != 0) {
        c.panel = p;
        plot.panels[p].inUse = 1;
    }
    AutoscalePlot(plot);
    if (n > static_cast<int64_t>(y.size())) {
        c.shown = 0;
        return 0;
    }
    const size_t count = n >= 1 ? static_cast<size_t>(n) : 0;
    c.x.assign(count, 0.0);
    for (size_t i = 0; i < count; ++i) c.x[i] = static_cast<double>(first) + static_cast<double>(i);
    c.y.assign(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(count));
    c.style = CURVE_LINES_INDEX;
    return 1;
}

}  // namespace

void SetDefaultPlotColors()
{
    static const uint32_t defaults[kPlotColorCount + 1] = {
        0,        0x80A000, 0x3F23DC, 0x80A000, 0x3F23DC, 0x822A92, 0x40AE6E, 0x822A92,
        0x40AE6E, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x0F0000, 0x800000, 0x000000, 0xA000F0};
    std::copy(defaults, defaults + kPlotColorCount + 1, PlotColors);
}

uint32_t MarkerColor(int32_t k)
{
    if (!ValidNumber(k)) return 0;
    return (PlotColors[k] + PlotColors[12]) & 0xFFFFFFu;
}

void InitPlotRecord(PlotRecord& plot)
{
    plot.isView = 0;
    plot.metafile = nullptr;
    plot.infoWindow = nullptr;
    plot.slot = 0;
    for (int32_t k = 1; k <= kPlotCurveCount; ++k) plot.curves[k] = PlotCurve{};
    for (int32_t p = 1; p <= kPlotPanelCount; ++p) plot.panels[p] = PlotPanel{};
    plot.panels[1].inUse = 1;
}

int32_t ClearCurveData(PlotRecord& plot, int32_t k)
{
    if (!ValidNumber(k)) return 0;
    plot.curves[k] = PlotCurve{};
    return 1;
}

void AutoscalePlot(PlotRecord& plot)
{
    for (int32_t p = 1; p <= kPlotPanelCount; ++p) {
        PlotPanel& panel = plot.panels[p];
        if (panel.inUse != 1) continue;
        bool found = false;
        double x0 = -1, x1 = 1, y0 = -1, y1 = 1;
        for (int32_t k = 1; k <= kPlotCurveCount; ++k) {
            const PlotCurve& c = plot.curves[k];
            if (c.shown != 1 || c.panel != p || !HasExtent(c)) continue;
            if (!found) {
                x0 = c.xMin, x1 = c.xMax, y0 = c.yMin, y1 = c.yMax;
                found = true;
            }
            x0 = std::min(x0, c.xMin);
            x1 = std::max(x1, c.xMax);
            y0 = std::min(y0, c.yMin);
            y1 = std::max(y1, c.yMax);
            if (x1 == x0) x1 += 1, x0 -= 1;
            if (y1 == y0) y1 += 1, y0 -= 1;
        }
        // Single-precision margin factors, as the limits have always been computed.
        Margins(x0, x1, static_cast<double>(0.025f), panel.xMin, panel.xMax);
        Margins(y0, y1, static_cast<double>(0.1f), panel.yMin, panel.yMax);
    }
}

int32_t SetCurveY(PlotRecord& plot, int32_t k, const std::vector<double>& y, int32_t first, int32_t last)
{
    if (!ValidNumber(k)) return 0;
    return SetCurveIndexed(plot, k, y, first, last, 0);
}

int32_t SetCurveYInPanel(PlotRecord& plot, int32_t k, const std::vector<double>& y, int32_t first,
                         int32_t last, int32_t p)
{
    if (!ValidNumber(k) || !ValidNumber(p)) return 0;
    return SetCurveIndexed(plot, k, y, first, last, p);
}

int32_t SetCurveSeries(PlotRecord& plot, int32_t k, const std::vector<double>& y, int32_t nObs, int32_t p)
{
    if (!ValidNumber(k) || !ValidNumber(p)) return 0;
    PlotCurve& c = plot.curves[k];
    const size_t n = y.size();
    c.shown = 1;
    Range yr = RangeOf(y, n);
    if (!yr.Empty()) yr = Range{std::min(0.0, yr.lo), std::max(0.0, yr.hi)};
    SetExtent(c, n ? Range{0.0, static_cast<double>(n)} : Range{}, yr);
    c.nObs = static_cast<double>(nObs);
    c.panel = p;
    plot.panels[p].inUse = 1;
    AutoscalePlot(plot);
    c.x.assign(n, 0.0);
    for (size_t i = 0; i < n; ++i) c.x[i] = static_cast<double>(i);
    c.y = y;
    c.style = CURVE_STICKS;
    return 1;
}

int32_t SetCurveXY(PlotRecord& plot, int32_t k, const std::vector<double>& x, const std::vector<double>& y)
{
    if (!ValidNumber(k) || y.size() < x.size()) return 0;
    PlotCurve& c = plot.curves[k];
    const size_t n = x.size();
    c.shown = 1;
    SetExtent(c, RangeOf(x, n), RangeOf(y, y.size()));
    AutoscalePlot(plot);
    c.x = x;
    c.y.assign(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(n));
    c.style = CURVE_LINES_XY;
    return 1;
}

int32_t SetCurveHistogram(PlotRecord& plot, int32_t k, const std::vector<double>& edges,
                          const std::vector<double>& counts)
{
    if (!ValidNumber(k) || edges.size() != counts.size() + 1) return 0;
    PlotCurve& c = plot.curves[k];
    c.shown = 1;
    Range yr = RangeOf(counts, counts.size());
    if (!yr.Empty()) yr.lo = 0.0;
    SetExtent(c, RangeOf(edges, edges.size()), yr);
    AutoscalePlot(plot);
    plot.panels[c.panel].yMin = 0.0;  // bars stand on the bottom edge
    c.x = edges;
    c.y = counts;
    c.style = CURVE_BARS;
    return 1;
}

int32_t ResetCurve(PlotRecord& plot, int32_t k)
{
    if (!ValidNumber(k)) return 0;
    PlotCurve& c = plot.curves[k];
    c.shown = 1;
    c.x.clear();
    c.x.shrink_to_fit();
    c.y.clear();
    c.y.shrink_to_fit();
    c.xMin = c.xMax = c.yMin = c.yMax = 0.0;
    c.style = CURVE_NO_DATA;
    return 1;
}

int32_t SetPanelTitle(PlotRecord& plot, int32_t p, std::string_view text, int32_t length)
{
    if (!ValidNumber(p)) return 0;
    size_t n = std::min<size_t>(text.size(), static_cast<size_t>(std::clamp(length, 0, kPanelTitleLength)));
    while (n > 0 && text[n - 1] == ' ') --n;
    PlotPanel& panel = plot.panels[p];
    panel.hasTitle = 1;
    panel.title.assign(text.substr(0, n));
    panel.title.resize(kPanelTitleLength, ' ');
    return 1;
}

int32_t SetCurveStyle(PlotRecord& plot, int32_t k, int32_t penStyle, int32_t filledMarkers,
                      int32_t showMarkers)
{
    if (!ValidNumber(k)) return 0;
    PlotCurve& c = plot.curves[k];
    if (penStyle != -1) c.penStyle = penStyle;
    if (filledMarkers != -1) c.filledMarkers = filledMarkers;
    if (showMarkers != -1) c.showMarkers = showMarkers;
    return 1;
}

std::string PanelTitleText(const PlotRecord& plot, int32_t p)
{
    if (!ValidNumber(p)) return "";
    const std::string& t = plot.panels[p].title;
    const size_t end = t.find_last_not_of(' ');
    return end == std::string::npos ? "" : t.substr(0, end + 1);
}
