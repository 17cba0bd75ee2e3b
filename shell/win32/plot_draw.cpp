#include "shell/win32/plot_draw.h"

#include <cmath>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "shell/plot_layout.h"
#include "shell/polyline_thinning.h"
#include "shell/win32/gdi_guards.h"

namespace {

constexpr wchar_t kLabelFace[] = L"MS Serif";
constexpr wchar_t kNoDataText[] = L"<NO DATA PRESENT>";
constexpr size_t kMarkerLimit = 1000;

PlotRect ToPlotRect(const RECT& r) { return PlotRect{r.left, r.top, r.right, r.bottom}; }

HFONT CreateLabelFont(int32_t height)
{
    return CreateFontW(height, height / 2, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                       kLabelFace);
}

// Limits the curve routines' drawing to the panel widened by one unit to the right and below.
class PanelClip {
public:
    PanelClip(HDC dc, const PlotRect& r) : state_(dc)
    {
        POINT corners[2] = {{r.left, r.top}, {r.right + 1, r.bottom + 1}};
        LPtoDP(dc, corners, 2);
        GdiObject region(CreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y));
        SelectClipRgn(dc, static_cast<HRGN>(region.get()));
    }

private:
    DcStateGuard state_;
};

void Line(HDC dc, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

SIZE TextSize(HDC dc, const std::wstring& text)
{
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

size_t PointCount(const PlotCurve& c) { return std::min(c.x.size(), c.y.size()); }

// The frame, ticks and labels of panel p in r; labels only where they fit whole into `bounds`. In a
// window (`window`), a panel too narrow for the end labels of its axes gets a smaller font; other
// drawings (a preview in a dialog, a copy, a page) keep the usual one.
int32_t DrawPanelAxes(const PlotRecord& plot, int32_t p, HDC dc, const PlotRect& r, const PlotRect& bounds,
                      bool window)
{
    PanelAxes axes;
    if (!LayOutPanelAxes(plot.panels[p], r, axes)) return 0;
    const int32_t fontHeight =
        window ? LabelFontHeight(axes, r, bounds,
                                 [dc](const std::string& text, int32_t height) { return MeasureAxisLabel(dc, text, height); })
               : axes.fontHeight;
    GdiObject pen(CreatePen(PS_SOLID, 0, PlotColors[13]));
    GdiObject brush(CreateSolidBrush(PlotColors[11]));
    GdiObject font(CreateLabelFont(fontHeight));
    SelectGuard usePen(dc, pen.get()), useBrush(dc, brush.get()), useFont(dc, font.get());
    Rectangle(dc, r.left, r.top, r.right, r.bottom);

    for (const AxisTick& tick : axes.y) Line(dc, r.left, tick.pixel, r.left - axes.yTickLength, tick.pixel);
    for (const AxisTick& tick : axes.x) Line(dc, tick.pixel, r.bottom, tick.pixel, r.bottom + axes.xTickLength);
    const auto measure = [dc](const std::string& text) {
        const SIZE size = TextSize(dc, WideText(text));
        return LabelSize{size.cx, size.cy};
    };
    for (const PlacedLabel& label : PlaceAxisLabels(axes, r, bounds, measure)) {
        const std::wstring text = WideText(label.text);
        TextOutW(dc, label.box.left, label.box.top, text.c_str(), static_cast<int>(text.size()));
    }
    return 1;
}

int32_t DrawPanelTitle(const PlotRecord& plot, int32_t p, HDC dc, const PlotRect& r, const PanelGrid& grid)
{
    if (!plot.panels[p].hasTitle) return 0;
    const std::wstring title = WideText(PanelTitleText(plot, p));
    GdiObject font(CreateLabelFont(TitleFontHeight(grid, r.Height())));
    SelectGuard useFont(dc, font.get());
    const UINT align = SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
    TextOutW(dc, r.left + r.Width() / 2, r.top - 2, title.c_str(), static_cast<int>(title.size()));
    SetTextAlign(dc, align);
    return 1;
}

bool PanelInUse(const PlotRecord& plot, const PlotCurve& c)
{
    return c.panel >= 1 && c.panel <= kPlotPanelCount && plot.panels[c.panel].inUse == 1;
}

int32_t DrawCurveLines(const PlotRecord& plot, int32_t k, HDC dc, const PlotRect& r)
{
    const PlotCurve& c = plot.curves[k];
    const size_t n = PointCount(c);
    if (!PanelInUse(plot, c) || n == 0) return 0;
    const PanelMapping map = MapPanel(plot.panels[c.panel], r);
    PanelClip clip(dc, r);
    GdiObject pen(CreatePen(c.penStyle, 0, PlotColors[k]));
    SelectGuard usePen(dc, pen.get());
    // A solid line on a device drawn in its own pixels gets a few points per column, the same
    // pixels; a dashed pattern runs along the whole line, and a metafile may be played back larger.
    if (c.penStyle == PS_SOLID && GetMapMode(dc) == MM_TEXT && GetObjectType(dc) != OBJ_ENHMETADC) {
        const std::vector<PixelPoint> thin = ThinPolyline(map, c.x.data(), c.y.data(), n, r.left, r.right);
        MoveToEx(dc, thin[0].x, thin[0].y, nullptr);
        for (const PixelPoint& p : thin) LineTo(dc, p.x, p.y);
        return 1;
    }
    MoveToEx(dc, map.X(c.x[0]), map.Y(c.y[0]), nullptr);
    for (size_t i = 0; i < n; ++i) LineTo(dc, map.X(c.x[i]), map.Y(c.y[i]));
    return 1;
}

int32_t DrawCurveMarkers(const PlotRecord& plot, int32_t k, HDC dc, const PlotRect& r)
{
    const PlotCurve& c = plot.curves[k];
    const size_t n = PointCount(c);
    if (!PanelInUse(plot, c) || n >= kMarkerLimit) return 0;
    const PanelMapping map = MapPanel(plot.panels[c.panel], r);
    const COLORREF colour = MarkerColor(k);
    PanelClip clip(dc, r);
    GdiObject pen(CreatePen(PS_SOLID, 0, colour));
    GdiObject brush(c.filledMarkers ? CreateSolidBrush(colour) : nullptr);
    SelectGuard usePen(dc, pen.get());
    SelectGuard useBrush(dc, brush.get() ? brush.get() : GetStockObject(WHITE_BRUSH));
    for (size_t i = 0; i < n; ++i) {
        const int32_t x = map.X(c.x[i]), y = map.Y(c.y[i]);
        Rectangle(dc, x - 2, y - 2, x + 2, y + 2);
    }
    return 1;
}

int32_t DrawCurveSticks(const PlotRecord& plot, int32_t k, HDC dc, const PlotRect& r)
{
    const PlotCurve& c = plot.curves[k];
    const size_t n = PointCount(c);
    if (!PanelInUse(plot, c) || n < 2) return 0;
    const PanelMapping map = MapPanel(plot.panels[c.panel], r);
    const int32_t y0 = map.ZeroRow();
    // Width modes: 1 columns X and X - 1, 2 columns X + 1 and X + 2 (beside mode 1), else X +- 2.
    int32_t lo = -2, hi = 2;
    if (c.penStyle == 1) lo = 0, hi = 1;
    if (c.penStyle == 2) lo = -2, hi = -1;
    PanelClip clip(dc, r);
    GdiObject stickPen(CreatePen(PS_SOLID, 0, PlotColors[k]));
    GdiObject boundPen(CreatePen(PS_DOT, 0, PlotColors[13]));
    GdiObject zeroPen(CreatePen(PS_SOLID, 0, PlotColors[13]));
    {
        SelectGuard usePen(dc, stickPen.get());
        for (size_t i = 0; i < n; ++i) {
            const int32_t x = map.X(c.x[i]), y = map.Y(c.y[i]);
            for (int32_t o = lo; o <= hi; ++o) Line(dc, x - o, y0, x - o, y);
        }
    }
    if (c.nObs > 0) {
        SelectGuard usePen(dc, boundPen.get());
        const double bound = 1.96 / std::sqrt(c.nObs);
        for (double b : {bound, -bound}) Line(dc, r.left, map.Y(b), r.right, map.Y(b));
    }
    SelectGuard usePen(dc, zeroPen.get());
    Line(dc, r.left, y0, r.right, y0);
    return 1;
}

int32_t DrawCurveBars(const PlotRecord& plot, int32_t k, HDC dc, const PlotRect& r)
{
    const PlotCurve& c = plot.curves[k];
    if (!PanelInUse(plot, c)) return 0;
    const size_t n = c.x.empty() ? 0 : std::min(c.y.size(), c.x.size() - 1);
    const PanelMapping map = MapPanel(plot.panels[c.panel], r);
    const int32_t y0 = map.ZeroRow();
    PanelClip clip(dc, r);
    GdiObject fillPen(CreatePen(c.penStyle, 0, PlotColors[k]));
    GdiObject outlinePen(CreatePen(c.penStyle, 0, RGB(0, 0, 0)));
    GdiObject zeroPen(CreatePen(c.penStyle, 0, PlotColors[13]));
    GdiObject brush(CreateSolidBrush(PlotColors[k]));
    {
        SelectGuard usePen(dc, fillPen.get()), useBrush(dc, brush.get());
        for (size_t i = 0; i < n; ++i)
            Rectangle(dc, map.X(c.x[i]), map.Y(c.y[i]), map.X(c.x[i + 1]), y0);
    }
    if (n > 0) {
        std::vector<POINT> outline;
        outline.reserve(4 * n);
        for (size_t i = 0; i < n; ++i) {
            const int32_t left = map.X(c.x[i]), right = map.X(c.x[i + 1]), top = map.Y(c.y[i]);
            outline.push_back({left, y0});
            outline.push_back({left, top});
            outline.push_back({right, top});
            outline.push_back({right, y0});
        }
        SelectGuard usePen(dc, outlinePen.get());
        Polyline(dc, outline.data(), static_cast<int>(outline.size()));
    }
    SelectGuard usePen(dc, zeroPen.get());
    Line(dc, r.left, y0, r.right, y0);
    return 1;
}

int32_t DrawNoData(const PlotRecord& plot, int32_t k, HDC dc, const PlotRect& r)
{
    const PlotCurve& c = plot.curves[k];
    if (!PanelInUse(plot, c) || !plot.window || !IsWindow(plot.window)) return 0;
    PanelClip clip(dc, r);
    const UINT align = SetTextAlign(dc, TA_CENTER | TA_TOP);
    TextOutW(dc, r.left + r.Width() / 2, r.top + r.Height() / 2, kNoDataText,
             static_cast<int>(wcslen(kNoDataText)));
    SetTextAlign(dc, align);
    return 1;
}

void DrawCurve(const PlotRecord& plot, int32_t k, HDC dc, const PlotRect& r)
{
    const PlotCurve& c = plot.curves[k];
    switch (c.style) {
    case CURVE_LINES_INDEX:
    case CURVE_LINES_XY:
        if (DrawCurveLines(plot, k, dc, r) == 1 && c.showMarkers == 1) DrawCurveMarkers(plot, k, dc, r);
        break;
    case CURVE_STICKS:
        DrawCurveSticks(plot, k, dc, r);
        break;
    case CURVE_BARS:
        DrawCurveBars(plot, k, dc, r);
        break;
    case CURVE_NO_DATA:
        DrawNoData(plot, k, dc, r);
        break;
    default:
        break;
    }
}

}  // namespace

int32_t DrawPlot(PlotRecord& plot, HDC dc, const RECT& rect, int32_t selector, int32_t computeMapping,
                 const RECT* visible)
{
    PlotLayout layout;
    if (!LayOutPlot(plot, ToPlotRect(rect), selector, layout)) return 0;
    if (computeMapping) StorePanelMappings(plot, layout);
    // A window's labels may stand anywhere in its client area, beyond the margins of the drawing too.
    const PlotRect bounds = ToPlotRect(visible ? *visible : rect);
    DcStateGuard state(dc);
    SetTextColor(dc, PlotColors[14]);
    SetBkMode(dc, TRANSPARENT);
    for (const LaidOutPanel& cell : layout.panels) {
        DrawPanelAxes(plot, cell.panel, dc, cell.rect, bounds, visible != nullptr);
        DrawPanelTitle(plot, cell.panel, dc, cell.rect, layout.grid);
        for (int32_t k = 1; k <= kPlotCurveCount; ++k)
            if (plot.curves[k].panel == cell.panel && plot.curves[k].shown == 1) DrawCurve(plot, k, dc, cell.rect);
    }
    return 1;
}

LabelSize MeasureAxisLabel(HDC dc, const std::string& text, int32_t fontHeight)
{
    GdiObject font(CreateLabelFont(fontHeight));
    SelectGuard useFont(dc, font.get());
    const SIZE size = TextSize(dc, WideText(text));
    return LabelSize{size.cx, size.cy};
}
