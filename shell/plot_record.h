#pragma once
// The content of one plot window: up to 10 panels (sub-plots with limits and a title) and up to
// 10 curves assigned to them, and the one table of plot colours. Project commands fill a record
// through the setters below and never draw; the window code reads it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The system's handle types, declared opaquely so this header builds without the Windows
// headers (they are pointers to these structs under the system's strict handle typing).
struct HWND__;
struct HENHMETAFILE__;

constexpr int32_t kPlotPanelCount = 10;
constexpr int32_t kPlotCurveCount = 10;
constexpr int32_t kPlotColorCount = 15;
constexpr int32_t kPanelTitleLength = 128;

enum CurveStyle : int32_t {
    CURVE_LINES_INDEX = 1,  // lines, x = observation index
    CURVE_LINES_XY = 2,     // lines, x given
    CURVE_STICKS = 3,
    CURVE_BARS = 4,
    CURVE_NO_DATA = 5,      // shows "<NO DATA PRESENT>"
};

struct PlotPanel {
    int32_t inUse = 0;
    double xMax = 0, xMin = 0, yMax = 0, yMin = 0;
    // Mapping of the last repaint on screen: pixel x = xOrigin + x / xPerPixel,
    // pixel y = yOrigin - y / yPerPixel.
    double xPerPixel = 1.0, yPerPixel = 1.0;
    int32_t xOrigin = 0, yOrigin = 0;
    int32_t hasTitle = 0;
    std::string title = std::string(kPanelTitleLength, ' ');  // blank-padded
};

struct PlotCurve {
    int32_t style = CURVE_NO_DATA;
    int32_t penStyle = 0;  // lines and bars: device pen style; sticks: width mode
    int32_t filledMarkers = 0;
    int32_t showMarkers = 1;
    // Extent used for the panel limits. An empty extent (min above max) adds nothing.
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    std::vector<double> x, y;  // point i is x[i - 1], y[i - 1]; bars have one x more than y
    double nObs = 0;           // sticks: bound lines at +-1.96/sqrt(nObs) when not 0
    int32_t shown = 0;
    int32_t panel = 1;
};

struct PlotRecord {
    HWND__* window = nullptr;
    int32_t isView = 0;  // 0 the project's data window, 1 a derived view
    HENHMETAFILE__* metafile = nullptr;
    HWND__* infoWindow = nullptr;
    PlotPanel panels[kPlotPanelCount + 1];  // panel p at panels[p], p = 1..10; [0] unused
    PlotCurve curves[kPlotCurveCount + 1];  // curve k at curves[k], k = 1..10; [0] unused
    int32_t slot = 0;
};

// COLORREF values 0x00BBGGRR at indices 1..15 (element 0 unused): 1-10 curve colours,
// 11 panel background, 12 marker offset, 13 frame/ticks/zero and bound lines, 14 labels and
// titles, 15 zoom band.
extern uint32_t PlotColors[kPlotColorCount + 1];
void SetDefaultPlotColors();
// Colour of curve k's markers: its colour plus the marker offset, masked to 24 bits.
uint32_t MarkerColor(int32_t k);

// Setters. Curve k and panel p are 1..10; a number outside that range gives 0 and changes
// nothing. All return 1 unless stated.

// isView, metafile, infoWindow, slot := 0; every curve and panel to its defaults; panel 1 in use.
// The window is left as it is.
void InitPlotRecord(PlotRecord& plot);
// Releases curve k's vectors and restores all its fields to the defaults.
int32_t ClearCurveData(PlotRecord& plot, int32_t k);
// Recomputes the limits of every panel in use from its shown curves, with margins of 2.5% in x
// and 10% in y; a panel with nothing to show gets -1..1 before the margins. The limits are finite
// and apart for any finite values, also near the largest double.
void AutoscalePlot(PlotRecord& plot);
// Curve k gets points (first + i - 1, y[i - 1]), i = 1..last - first + 1; style 1. When y holds
// fewer values, the curve is hidden, its old points are kept and the result is 0.
int32_t SetCurveY(PlotRecord& plot, int32_t k, const std::vector<double>& y, int32_t first, int32_t last);
// As SetCurveY, and the curve moves to panel p, which is put in use.
int32_t SetCurveYInPanel(PlotRecord& plot, int32_t k, const std::vector<double>& y, int32_t first,
                         int32_t last, int32_t p);
// Sticks at x = 0, 1, ..., size - 1 in panel p (put in use); nObs > 0 adds the +-1.96/sqrt(nObs)
// bounds. Its extent spans x 0..size and always includes y = 0.
int32_t SetCurveSeries(PlotRecord& plot, int32_t k, const std::vector<double>& y, int32_t nObs, int32_t p);
// Lines through (x[i], y[i]) for every x; style 2. Returns 0 and changes nothing when y is
// shorter than x.
int32_t SetCurveXY(PlotRecord& plot, int32_t k, const std::vector<double>& x, const std::vector<double>& y);
// Bars between consecutive edges with the given heights; the curve's panel starts at y = 0.
// Returns 0 and changes nothing unless edges hold exactly one value more than counts.
int32_t SetCurveHistogram(PlotRecord& plot, int32_t k, const std::vector<double>& edges,
                          const std::vector<double>& counts);
// Curve k shows "<NO DATA PRESENT>": shown, no points, extent the point (0, 0); limits are not
// recomputed.
int32_t ResetCurve(PlotRecord& plot, int32_t k);
// Title of panel p: the first `length` characters of text (at most 128) without trailing
// blanks, blank-padded to 128.
int32_t SetPanelTitle(PlotRecord& plot, int32_t p, std::string_view text, int32_t length);
// Sets each of the three fields unless its argument is -1.
int32_t SetCurveStyle(PlotRecord& plot, int32_t k, int32_t penStyle, int32_t filledMarkers,
                      int32_t showMarkers);

// The title of panel p without its trailing blanks ("" when p is out of range).
std::string PanelTitleText(const PlotRecord& plot, int32_t p);
