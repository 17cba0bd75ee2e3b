#pragma once
// Geometry of a drawn plot: the panel grid, the rectangle of every drawn panel, the mapping from
// data to device units, tick positions and axis label texts. The drawing code only draws what
// these compute; zoom and the mouse read the same list of laid-out panels.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/plot_record.h"

struct PlotRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

// Where a window of `window`'s size and place goes inside a client area of clientW by clientH
// (an MDI client): its size where that fits, else the client's, moved left and up only as far as
// needed to keep it whole inside, never past the client's left or top edge.
PlotRect PlaceInsideClient(const PlotRect& window, int32_t clientW, int32_t clientH);

// Grid of at most two columns for n panels in a rectangle of width W and height H (integer
// arithmetic): a = W/60 + 6, b = W/30 + 6, gap = a + b, left margin = b + (a/2)*8,
// plotW = W/cols - left margin, plotH = H/rows - gap - b, both at least 1.
struct PanelGrid {
    int32_t cols = 0, rows = 0;
    int32_t a = 0, b = 0, gap = 0, leftMargin = 0;
    int32_t plotW = 1, plotH = 1;
};
PanelGrid ComputePanelGrid(int32_t width, int32_t height, int32_t n);

struct LaidOutPanel {
    int32_t panel = 0;  // panel number 1..10
    PlotRect rect;
};

struct PlotLayout {
    PanelGrid grid;
    std::vector<LaidOutPanel> panels;  // in drawing order
};

// Lays out `plot` in `rect`. selector 0 takes every panel in use, 1..10 only that panel. The grid
// counts the panels in use (or the selected one); the m-th panel that has a shown curve takes
// the m-th cell in row-major order. Returns 0, with `out` emptied, when nothing is to be drawn:
// an empty rectangle, a selector above 10, no shown curve (selector 0) or no panel in use.
[[nodiscard]] int32_t LayOutPlot(const PlotRecord& plot, PlotRect rect, int32_t selector, PlotLayout& out);

// Stores in each laid-out panel its data units per pixel and the device coordinates of data 0,
// so that mouse positions on screen map back to data.
void StorePanelMappings(PlotRecord& plot, const PlotLayout& layout);

// The panel laid out under device point (x, y), or 0.
int32_t PanelAt(const PlotLayout& layout, int32_t x, int32_t y);

// A double turned into a device coordinate: truncated toward zero and clamped to
// +-kPixelLimit; NaN gives 0.
constexpr int32_t kPixelLimit = 1 << 26;
int32_t ClampPixel(double v);

// Mapping of a panel's limits onto its rectangle, as the curve routines use it: an empty
// x (or y) range is widened to min..min + 1.
struct PanelMapping {
    PlotRect rect;
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    int32_t X(double x) const;
    int32_t Y(double y) const;
    int32_t ZeroRow() const;  // Y of y = 0
};
PanelMapping MapPanel(const PlotPanel& panel, PlotRect rect);

// Tick step for an axis of range R: the power of ten below R, halved while fewer than 5 steps
// fit, then times 0.4 while still fewer than 5 fit. 0 when R is not positive and finite.
double TickStep(double range);
// Ticks k*s strictly inside (min, max) from the first multiple above min (min itself when it
// is a multiple), at most kMaxTicks of them.
constexpr int32_t kMaxTicks = 1000;
std::vector<double> TickValues(double min, double max, double step);

// Label texts of tick t for step s, trailing blanks removed (leading blanks kept). The field
// width is the step's usual one, widened only as far as the value needs.
std::string YAxisLabel(double t, double s);
std::string XAxisLabel(double t, double s);

struct AxisTick {
    double value = 0;
    int32_t pixel = 0;   // Y(t) on the y axis, X(t) on the x axis
    std::string label;   // empty when this tick carries no label
};

constexpr int32_t kMinLabelFontHeight = 11;

struct PanelAxes {
    std::vector<AxisTick> x, y;
    int32_t yTickLength = 0;  // w / 40, leftwards from the frame
    int32_t xTickLength = 0;  // h / 40, downwards from the frame
    int32_t fontHeight = 6;   // h / 40 + 6, at least kMinLabelFontHeight
};
// Ticks and labels of a panel drawn in `rect`. Returns 0 when the panel is not in use or one
// of its ranges is empty (no axes are drawn then).
[[nodiscard]] int32_t LayOutPanelAxes(const PlotPanel& panel, PlotRect rect, PanelAxes& out);

// Whether an axis label with the text box `box` is drawn: only inside `bounds`, the part of the
// drawing that its device shows (ShownPart), and clear of `previous`, the box of the label drawn
// before it on the same axis (null for the first).
bool LabelFits(const PlotRect& box, const PlotRect& bounds, const PlotRect* previous);

// The rectangle a plot window draws into, for its client area `client`: 10 units in at both
// sides, then 25 units to the left. Its left end lies outside the window, which does not show it.
PlotRect PlotWindowDrawRect(const PlotRect& client);

// The part of a drawing into `drawn` that a device showing only `visible` shows: their
// intersection (empty, at drawn's top left, when they do not meet).
PlotRect ShownPart(const PlotRect& drawn, const PlotRect& visible);

struct LabelSize {
    int32_t width = 0, height = 0;
};

struct PlacedLabel {
    std::string text;
    PlotRect box;  // where the text goes, its top-left corner first
};

// The axis labels of a panel drawn in `rect`, as they are drawn: a y label ends yTickLength left
// of the frame, centred on its tick; an x label is centred on its tick, xTickLength below the
// frame. `measure` gives the size of a text on the device. A label is placed only where its whole
// box lies inside `bounds` and clear of the label placed before it on its axis (LabelFits): a
// label that does not fit is left out, never cut to a different number.
std::vector<PlacedLabel> PlaceAxisLabels(const PanelAxes& axes, const PlotRect& rect, const PlotRect& bounds,
                                         const std::function<LabelSize(const std::string&)>& measure);

// Font height of a panel title in a rectangle of height h.
inline int32_t TitleFontHeight(int32_t h) { return h / 20 + 6; }
