#include "shell/plot_zoom.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "platform/dialog_values.h"
#include "platform/fortran_format.h"
#include "shell/number_format.h"

namespace {

bool PanelUsable(const PlotRecord& plot, int32_t p)
{
    return p >= 1 && p <= kPlotPanelCount && plot.panels[p].inUse == 1;
}

// Squared distance from (x, y) to the rectangle; 0 inside.
double DistanceSquared(const PlotRect& r, int32_t x, int32_t y)
{
    const double dx = x < r.left ? r.left - x : (x >= r.right ? x - r.right + 1 : 0);
    const double dy = y < r.top ? r.top - y : (y >= r.bottom ? y - r.bottom + 1 : 0);
    return dx * dx + dy * dy;
}

// Whole cell index of `offset` in `extent` split into `count` cells, clamped to the cells.
int32_t CellIndex(int32_t offset, int32_t extent, int32_t count)
{
    if (extent <= 0 || count <= 0) return 0;
    const int64_t cell = static_cast<int64_t>(count) * offset / extent;
    return static_cast<int32_t>(std::clamp<int64_t>(offset < 0 ? -1 : cell, 0, count - 1));
}

}  // namespace

int32_t ZoomPanelAt(const PlotLayout& layout, PlotRect area, int32_t x, int32_t y)
{
    if (layout.panels.empty()) return 0;
    const int32_t col = CellIndex(x - area.left, area.Width(), layout.grid.cols);
    const int32_t row = CellIndex(y - area.top, area.Height(), layout.grid.rows);
    const size_t m = static_cast<size_t>(row) * 2 + static_cast<size_t>(col);
    if (m < layout.panels.size()) return layout.panels[m].panel;
    const LaidOutPanel* nearest = &layout.panels.front();
    for (const LaidOutPanel& cell : layout.panels)
        if (DistanceSquared(cell.rect, x, y) < DistanceSquared(nearest->rect, x, y)) nearest = &cell;
    return nearest->panel;
}

PlotRect ZoomStartRect(const PlotPanel& panel, int32_t mode, int32_t x, int32_t y)
{
    PlotRect r{x, y, x, y};
    if (mode == ZOOM_RANGE) {
        r.top = ClampPixel(panel.yOrigin - std::trunc(panel.yMin / panel.yPerPixel) - 1);
        r.bottom = ClampPixel(panel.yOrigin - std::trunc(panel.yMax / panel.yPerPixel) + 1);
    }
    return r;
}

PlotRect NormalisedRect(PlotRect r)
{
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

int32_t ApplyZoomRect(PlotRecord& plot, int32_t p, int32_t mode, PlotRect band)
{
    if (!PanelUsable(plot, p) || (mode != ZOOM_REGION && mode != ZOOM_RANGE)) return 0;
    const PlotRect r = NormalisedRect(band);
    if (r.Width() == 0 || r.Height() == 0) return 0;
    PlotPanel& panel = plot.panels[p];
    const double xMin = (r.left - static_cast<double>(panel.xOrigin)) * panel.xPerPixel;
    const double xMax = (r.right - static_cast<double>(panel.xOrigin)) * panel.xPerPixel;
    const double yMin = (panel.yOrigin - static_cast<double>(r.bottom)) * panel.yPerPixel;
    const double yMax = (panel.yOrigin - static_cast<double>(r.top)) * panel.yPerPixel;
    if (!AxisLimitsDrawable(xMin, xMax)) return 0;
    if (mode == ZOOM_REGION && !AxisLimitsDrawable(yMin, yMax)) return 0;
    panel.xMin = xMin;
    panel.xMax = xMax;
    if (mode == ZOOM_REGION) {
        panel.yMin = yMin;
        panel.yMax = yMax;
    }
    return 1;
}

DataPoint PixelToData(const PlotPanel& panel, int32_t x, int32_t y)
{
    return DataPoint{(x - static_cast<double>(panel.xOrigin)) * panel.xPerPixel,
                     (panel.yOrigin - static_cast<double>(y)) * panel.yPerPixel};
}

std::string ShortSignificant(double v)
{
    return SignificantText(v, 5);
}

AxisLimitTexts ProposedAxisLimits(double min, double max)
{
    for (int32_t digits = 5; digits <= 18; ++digits) {
        // Past what 15 characters hold, the shortest texts that read back exactly.
        const auto text = [digits](double v) { return digits <= 17 ? SignificantText(v, digits) : FreeFormatReal(v); };
        AxisLimitTexts texts{text(min), text(max)};
        // Within a thousandth of the span of the limits, so that OK keeps the panel as it is.
        const double close = (max / 2 - min / 2) * 2e-3;
        double a = 0, b = 0;
        if (ParseDialogReal(texts.min, a) == 1 && ParseDialogReal(texts.max, b) == 1 && AxisLimitsDrawable(a, b) &&
            std::fabs(a / 2 - min / 2) <= close && std::fabs(b / 2 - max / 2) <= close)
            return texts;
    }
    return AxisLimitTexts{ShortSignificant(min), ShortSignificant(max)};
}

std::string PlotCoordinatesText(const PlotPanel& panel, int32_t x, int32_t y)
{
    const DataPoint d = PixelToData(panel, x, y);
    return "( " + ShortSignificant(d.x) + ", " + ShortSignificant(d.y) + " )";
}

int32_t FirstPanelInUse(const PlotRecord& plot)
{
    for (int32_t p = 1; p <= kPlotPanelCount; ++p)
        if (plot.panels[p].inUse == 1) return p;
    return 0;
}

int32_t NextPanelInUse(const PlotRecord& plot, int32_t p)
{
    const int32_t start = std::clamp(p, 1, kPlotPanelCount);
    for (int32_t step = 1; step <= kPlotPanelCount; ++step) {
        const int32_t q = (start - 1 + step) % kPlotPanelCount + 1;
        if (plot.panels[q].inUse == 1) return q;
    }
    return 0;
}

int32_t AxisLimitsDrawable(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b)) return 0;
    const double span = std::fabs(b - a);
    const double magnitude = std::max(std::fabs(a), std::fabs(b));
    // A pixel's share of the span must stay a normal number, and ticks must differ from the
    // limits at the precision of a double.
    return std::isfinite(span) && span >= DBL_MIN * 1e6 && span >= 1e-12 * magnitude ? 1 : 0;
}

int32_t SetPanelLimits(PlotRecord& plot, int32_t p, double x1, double x2, double y1, double y2)
{
    if (p < 1 || p > kPlotPanelCount || !AxisLimitsDrawable(x1, x2) || !AxisLimitsDrawable(y1, y2)) return 0;
    PlotPanel& panel = plot.panels[p];
    panel.xMin = std::min(x1, x2);
    panel.xMax = std::max(x1, x2);
    panel.yMin = std::min(y1, y2);
    panel.yMax = std::max(y1, y2);
    return 1;
}
