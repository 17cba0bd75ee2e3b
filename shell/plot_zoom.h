#pragma once
// The arithmetic of zooming a plot with the mouse and of typed plot limits: which panel lies
// under the mouse, the rubber band's first rectangle, the limits a band selects, the data
// coordinates of a pixel and the checks on typed limits. The window code only tracks the mouse.
#include <cstdint>
#include <string>

#include "shell/plot_layout.h"
#include "shell/plot_record.h"

// Values of ZoomMode.
enum : int32_t { ZOOM_NONE = 0, ZOOM_REGION = 1, ZOOM_RANGE = 2, ZOOM_OUT = 3 };

// The laid-out panel under device point (x, y) of `area`, the rectangle `layout` was laid out in.
// The area is cut into the layout's grid cells (columns = cols * (x - left) / width, rows
// likewise); the m-th cell holds the m-th laid-out panel. A point outside the area (the mouse is
// captured during a drag) counts in the nearest cell, and a cell without a panel gives the
// laid-out panel nearest to the point, so the result is always a panel in use that is drawn.
// 0 only when nothing is laid out.
int32_t ZoomPanelAt(const PlotLayout& layout, PlotRect area, int32_t x, int32_t y);

// First rectangle of the rubber band of a drag starting at (x, y) over `panel`. Region: the point
// itself. Range: left = right = x, from one pixel above the panel's bottom edge (top) to one pixel
// below its top edge (bottom), from the panel's stored mapping.
PlotRect ZoomStartRect(const PlotPanel& panel, int32_t mode, int32_t x, int32_t y);

// The rectangle with left <= right and top <= bottom.
PlotRect NormalisedRect(PlotRect r);

// Applies a finished band to panel p through its stored mapping: x limits in both modes, y limits
// in region mode only; no margins. Returns 1 when limits changed; 0, changing nothing, when p is
// out of range or not in use, the mode is neither region nor range, the band has no width or no
// height, or the limits it selects could not be drawn (AxisLimitsDrawable).
int32_t ApplyZoomRect(PlotRecord& plot, int32_t p, int32_t mode, PlotRect band);

// Data coordinates of device point (x, y) through the panel's stored mapping.
struct DataPoint {
    double x = 0, y = 0;
};
DataPoint PixelToData(const PlotPanel& panel, int32_t x, int32_t y);

// A limit or coordinate as shown to the user: SignificantText with 5 digits.
std::string ShortSignificant(double v);

// The texts the plot-limits dialog proposes for the two limits of one axis: ShortSignificant's,
// or with as many more significant digits as it takes for the texts to read back as limits that
// can be drawn (AxisLimitsDrawable), each within a thousandth of the span of its limit, so that
// OK on a zoomed panel keeps it (5 digits make 1000.0001 and 1000.0009 both 1000.0). Limits that
// cannot be drawn keep ShortSignificant's texts.
struct AxisLimitTexts {
    std::string min, max;
};
AxisLimitTexts ProposedAxisLimits(double min, double max);

// The status-bar text of the mouse at (x, y) over the panel: "( x value, y value )".
std::string PlotCoordinatesText(const PlotPanel& panel, int32_t x, int32_t y);

// Panels in use for the limits dialog: the first one (0 when none is), and the next one after p,
// cyclically from 10 back to 1 (p itself when it is the only one; 0 when none is).
int32_t FirstPanelInUse(const PlotRecord& plot);
int32_t NextPanelInUse(const PlotRecord& plot, int32_t p);

// 1 when an axis with limits a and b (in either order) can be drawn: both finite and their span
// finite, positive and at least a millionth of a millionth of their magnitude, so that ticks and
// pixels stay distinct; 0 otherwise.
int32_t AxisLimitsDrawable(double a, double b);

// Sets panel p's limits from two values per axis in either order. Returns 1; 0, changing
// nothing, when p is out of range or an axis is not drawable.
int32_t SetPanelLimits(PlotRecord& plot, int32_t p, double x1, double x2, double y1, double y2);
