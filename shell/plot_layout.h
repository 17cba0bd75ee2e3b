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

// Tick step for an axis from min to max, of range R = max - min: the power of ten below R, halved
// while fewer than 5 steps fit, then times 0.4 while still fewer than 5 fit. R may lie beyond the
// doubles (limits near both ends of their range): it is then worked with in halves. 0 when a limit
// is not finite or max <= min.
double TickStep(double min, double max);
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

// Label fonts are at least kMinLabelFontHeight high; in a plot window smaller (down to
// kSmallestLabelFontHeight) only where the end labels of an axis would not fit otherwise.
constexpr int32_t kMinLabelFontHeight = 11;
constexpr int32_t kSmallestLabelFontHeight = 8;

struct PanelAxes {
    std::vector<AxisTick> x, y;
    int32_t yTickLength = 0;  // w / 40, leftwards from the frame
    int32_t xTickLength = 0;  // h / 40, downwards from the frame
    int32_t fontHeight = 6;   // h / 40 + 6, at least kMinLabelFontHeight
};
// Ticks and labels of a panel drawn in `rect`. Returns 0 when the panel is not in use or one
// of its ranges is empty (no axes are drawn then).
[[nodiscard]] int32_t LayOutPanelAxes(const PlotPanel& panel, PlotRect rect, PanelAxes& out);

// Whether an axis label with the text box `box` is drawn: only inside `bounds` (the part of the
// device that is shown: a window's client area, else the drawing's rectangle), and clear of
// `previous`, the box of a label drawn on the same axis (null for none): above or below it, or
// beside it with at least `gap` units between them, so that neighbouring numbers never run into
// one another. (A text box carries its own leading above and below, but nothing at its sides.)
bool LabelFits(const PlotRect& box, const PlotRect& bounds, const PlotRect* previous, int32_t gap);

struct LabelSize {
    int32_t width = 0, height = 0;
};

struct PlacedLabel {
    std::string text;
    PlotRect box;  // where the text goes, its top-left corner first
};

// The axis labels of a panel drawn in `rect`, as they are drawn: a y label, without its leading
// blanks, ends yTickLength left of the frame, centred on its tick; an x label is centred on its
// tick, xTickLength below the frame. `measure` gives the size of a text on the device. A label is placed only where its whole
// box lies inside `bounds` and clear of the labels placed beside it on its axis (LabelFits, with
// the width of a blank as the gap): a label that does not fit is left out, never cut to a
// different number. The two end labels of each axis (its first and last labelled ticks) are
// placed first, so that a crowded axis still shows its range; the others go between them where
// they fit. Returned in the order of the ticks, y axis first.
std::vector<PlacedLabel> PlaceAxisLabels(const PanelAxes& axes, const PlotRect& rect, const PlotRect& bounds,
                                         const std::function<LabelSize(const std::string&)>& measure);

// The size of a label text in the label font of the given height, on the device drawn on.
using LabelMeasure = std::function<LabelSize(const std::string& text, int32_t fontHeight)>;

// The height of the label font of a panel whose axes are laid out in `rect`: axes.fontHeight when
// the end labels of both axes fit with it, whole inside `bounds` and clear of each other as
// PlaceAxisLabels places them; else the largest smaller height, down to kSmallestLabelFontHeight,
// with which they fit, so that a plot window's panel too narrow for its labels still shows the
// range of each axis; axes.fontHeight when none does.
int32_t LabelFontHeight(const PanelAxes& axes, const PlotRect& rect, const PlotRect& bounds, const LabelMeasure& measure);

// The rectangle a plot window draws `plot` into, for its client area `client`. As a rule 10 units
// in at both sides, then 25 units to the left, so that a wide window spends little of its width
// on the left margin, whose left end lies outside the window. In a narrow window (a tile of many)
// that would leave the y labels no room: the rectangle then moves right, as far as its right edge
// stays 10 units inside the client area and the labels at its right stay inside it, and where
// even that is not enough it narrows (from the left, or from the right for the last x label, or
// from the bottom for the x labels), until the end labels of every axis (PlaceAxisLabels) lie
// whole inside the client area, in the font their panel gets. `measure` measures as the window's
// device does.
// Zoom maps the mouse through the same rectangle.
PlotRect PlotWindowDrawRect(const PlotRecord& plot, const PlotRect& client, const LabelMeasure& measure);

// Font height of the title of a panel of height h laid out in `grid`: h / 20 + 6, at most the
// grid's top margin b less the 2 units the title stands above its panel, so that a panel tall
// against the drawing's width (a window of two series side by side) keeps its title inside.
int32_t TitleFontHeight(const PanelGrid& grid, int32_t h);
