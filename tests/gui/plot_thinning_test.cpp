// A long curve is drawn with a few points per pixel column; the picture must be the one drawing
// every point gives.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "shell/plot_layout.h"
#include "shell/plot_record.h"
#include "shell/win32/plot_draw.h"

namespace {

constexpr int kWidth = 360, kHeight = 240;

// A device-independent bitmap to draw into and read back.
class Canvas {
public:
    Canvas()
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    std::vector<uint32_t> Pixels() const
    {
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits_);
        return std::vector<uint32_t>(p, p + static_cast<size_t>(kWidth) * kHeight);
    }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// What DrawPlot would draw if it went through every point: the plot with a one-point curve (the
// frame, axes and labels, no line), then the whole line through the same mapping and clip.
std::vector<uint32_t> EveryPoint(const PlotRecord& plot, const RECT& rect)
{
    PlotRecord frameOnly = plot;
    PlotCurve& c = frameOnly.curves[1];
    c.x.resize(1);
    c.y.resize(1);
    c.showMarkers = 0;
    Canvas canvas;
    EXPECT_EQ(DrawPlot(frameOnly, canvas.dc(), rect, 0, 0), 1);
    PlotLayout layout;
    EXPECT_EQ(LayOutPlot(plot, PlotRect{rect.left, rect.top, rect.right, rect.bottom}, 0, layout), 1);
    const PlotRect r = layout.panels.at(0).rect;
    const PanelMapping map = MapPanel(plot.panels[1], r);
    HRGN clip = CreateRectRgn(r.left, r.top, r.right + 1, r.bottom + 1);
    SelectClipRgn(canvas.dc(), clip);
    HPEN pen = CreatePen(PS_SOLID, 0, PlotColors[1]);
    HGDIOBJ oldPen = SelectObject(canvas.dc(), pen);
    const PlotCurve& full = plot.curves[1];
    MoveToEx(canvas.dc(), map.X(full.x[0]), map.Y(full.y[0]), nullptr);
    for (size_t i = 0; i < full.y.size(); ++i) LineTo(canvas.dc(), map.X(full.x[i]), map.Y(full.y[i]));
    SelectObject(canvas.dc(), oldPen);
    DeleteObject(pen);
    SelectClipRgn(canvas.dc(), nullptr);
    DeleteObject(clip);
    return canvas.Pixels();
}

struct ThinningCase {
    const char* name;
    std::vector<double> x, y;   // x empty: the observation index
    double zoomFrom, zoomTo;    // x limits as fractions of the extent; 0 and 1 for all of it
};

std::vector<double> RandomWalk(int n)
{
    std::vector<double> y(n);
    uint32_t state = 2463534242u;
    double v = 0.0;
    for (int t = 0; t < n; ++t) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        v += static_cast<double>(state % 2001) / 1000.0 - 1.0;
        y[t] = v;
    }
    return y;
}

std::vector<ThinningCase> Cases()
{
    std::vector<ThinningCase> cases;
    cases.push_back({"random walk", {}, RandomWalk(20000), 0.0, 1.0});
    std::vector<double> spikes(5003);
    for (size_t t = 0; t < spikes.size(); ++t) spikes[t] = (t % 7 == 0) ? 50.0 * std::sin(0.01 * t) : std::cos(0.3 * t);
    // The last column: its lowest point, then its highest, and the line ends on that row again.
    const size_t n = spikes.size();
    spikes[n - 4] = -60.0, spikes[n - 3] = 60.0, spikes[n - 2] = 0.0, spikes[n - 1] = 60.0;
    cases.push_back({"spikes ending on a maximum", {}, spikes, 0.0, 1.0});
    cases.push_back({"zoomed into the middle", {}, RandomWalk(30000), 0.4, 0.45});
    cases.push_back({"zoomed onto the start", {}, RandomWalk(30000), 0.01, 0.1});
    std::vector<double> x(8000), y(8000);
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = std::sin(0.013 * i) * 100.0;  // back and forth across the panel
        y[i] = std::cos(0.0021 * i) * 10.0 + 0.001 * i;
    }
    cases.push_back({"x going back and forth", x, y, 0.0, 1.0});
    cases.push_back({"fewer points than columns", {}, RandomWalk(50), 0.0, 1.0});
    cases.push_back({"a constant", {}, std::vector<double>(9000, 3.0), 0.0, 1.0});
    return cases;
}

}  // namespace

TEST(PlotThinning, LongCurvesDrawTheSamePixelsAsEveryPoint)
{
    SetDefaultPlotColors();
    const RECT rect{0, 0, kWidth, kHeight};
    for (const ThinningCase& t : Cases()) {
        PlotRecord plot;
        InitPlotRecord(plot);
        const int32_t n = static_cast<int32_t>(t.y.size());
        if (t.x.empty())
            ASSERT_EQ(SetCurveY(plot, 1, t.y, 1, n), 1) << t.name;
        else
            ASSERT_EQ(SetCurveXY(plot, 1, t.x, t.y), 1) << t.name;
        SetCurveStyle(plot, 1, -1, -1, 0);  // markers are drawn below 1000 points only
        AutoscalePlot(plot);
        PlotPanel& panel = plot.panels[1];
        const double span = panel.xMax - panel.xMin, from = panel.xMin;
        panel.xMin = from + t.zoomFrom * span;
        panel.xMax = from + t.zoomTo * span;

        Canvas drawn;
        ASSERT_EQ(DrawPlot(plot, drawn.dc(), rect, 0, 0), 1) << t.name;
        const std::vector<uint32_t> thin = drawn.Pixels(), full = EveryPoint(plot, rect);
        // Inside the panel, where the line is clipped: the labels' text is no part of the question.
        PlotLayout layout;
        ASSERT_EQ(LayOutPlot(plot, PlotRect{0, 0, kWidth, kHeight}, 0, layout), 1);
        const PlotRect r = layout.panels.at(0).rect;
        // The bitmap holds 0x00RRGGBB, a COLORREF 0x00BBGGRR.
        const uint32_t colour = PlotColors[1];
        const uint32_t curve = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
        size_t differing = 0, curvePixels = 0;
        for (size_t i = 0; i < full.size(); ++i) {
            const int32_t px = static_cast<int32_t>(i % kWidth), py = static_cast<int32_t>(i / kWidth);
            if (px < r.left || px > r.right || py < r.top || py > r.bottom) continue;
            differing += thin[i] != full[i];
            curvePixels += (full[i] & 0xFFFFFF) == curve;
        }
        EXPECT_EQ(differing, 0u) << t.name;

        EXPECT_GT(curvePixels, 20u) << t.name << ": the curve must show for the comparison to mean anything";
    }
}
