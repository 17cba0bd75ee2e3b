#include "shell/plot_zoom.h"

#include <gtest/gtest.h>

#include "plot_fixtures.h"
#include "platform/dialog_values.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr PlotRect kArea{0, 0, 600, 400};

PlotLayout LaidOut(PlotRecord& plot)
{
    PlotLayout layout;
    EXPECT_EQ(LayOutPlot(plot, kArea, 0, layout), 1);
    StorePanelMappings(plot, layout);
    return layout;
}

const LaidOutPanel& CellOf(const PlotLayout& layout, int32_t p)
{
    for (const LaidOutPanel& cell : layout.panels)
        if (cell.panel == p) return cell;
    ADD_FAILURE() << "panel " << p << " not laid out";
    return layout.panels.front();
}

}  // namespace

// Three panels on a 2 x 2 grid of 600 x 400: cells are 300 x 200; the fourth cell is empty.
TEST(ZoomPanelAt, MapsCellsAndOutsidePointsToDrawnPanels)
{
    PlotRecord plot = RecordWithPanels({1, 2, 3});
    const PlotLayout layout = LaidOut(plot);
    struct Case {
        int32_t x, y, panel;
    };
    const Case cases[] = {
        {10, 10, 1},       {299, 199, 1},   {300, 10, 2},   {599, 199, 2}, {10, 200, 3},
        {-500, -500, 1},   {5000, -20, 2},  {-5, 5000, 3},  // captured mouse outside the area
        {450, 350, 3},     // empty fourth cell: the nearest drawn panel
    };
    for (const Case& c : cases) EXPECT_EQ(ZoomPanelAt(layout, kArea, c.x, c.y), c.panel) << c.x << "," << c.y;
}

TEST(ZoomPanelAt, NeverGivesAPanelThatIsNotDrawn)
{
    // Panel 2 is in use (it takes a grid cell) but has no curve, so it is not drawn.
    PlotRecord plot = RecordWithPanels({1}, {2});
    const PlotLayout layout = LaidOut(plot);
    for (int32_t x : {-100, 10, 350, 599, 2000})
        for (int32_t y : {-100, 10, 399, 2000}) EXPECT_EQ(ZoomPanelAt(layout, kArea, x, y), 1);
    EXPECT_EQ(ZoomPanelAt(PlotLayout{}, kArea, 10, 10), 0);
}

TEST(ZoomRect, WholePanelReproducesItsLimitsWithinAPixel)
{
    PlotRecord plot = RecordWithPanels({1, 2});
    const PlotLayout layout = LaidOut(plot);
    const PlotRect r = CellOf(layout, 2).rect;
    const PlotPanel before = plot.panels[2];
    ASSERT_EQ(ApplyZoomRect(plot, 2, ZOOM_REGION, PlotRect{r.right, r.bottom, r.left, r.top}), 1);
    const PlotPanel& after = plot.panels[2];
    EXPECT_NEAR(after.xMin, before.xMin, before.xPerPixel);
    EXPECT_NEAR(after.xMax, before.xMax, before.xPerPixel);
    EXPECT_NEAR(after.yMin, before.yMin, before.yPerPixel);
    EXPECT_NEAR(after.yMax, before.yMax, before.yPerPixel);
    EXPECT_EQ(plot.panels[1].xMin, RecordWithPanels({1, 2}).panels[1].xMin);  // other panel untouched
}

TEST(ZoomRect, RangeChangesOnlyXAndRegionBoth)
{
    PlotRecord plot = RecordWithPanels({1});
    const PlotLayout layout = LaidOut(plot);
    const PlotRect r = CellOf(layout, 1).rect;
    const PlotPanel before = plot.panels[1];

    // The range band spans the panel's height, one pixel inside each edge.
    const PlotRect band = ZoomStartRect(before, ZOOM_RANGE, r.left + 20, r.top + 5);
    EXPECT_NEAR(band.top, r.bottom - 1, 1);
    EXPECT_NEAR(band.bottom, r.top + 1, 1);
    EXPECT_EQ(band.left, r.left + 20);
    EXPECT_EQ(band.right, r.left + 20);
    const PlotRect start = ZoomStartRect(before, ZOOM_REGION, 7, 9);
    EXPECT_EQ(start.left, 7);
    EXPECT_EQ(start.bottom, 9);

    PlotRect range = band;
    range.right = r.left + 120;
    ASSERT_EQ(ApplyZoomRect(plot, 1, ZOOM_RANGE, range), 1);
    EXPECT_NEAR(plot.panels[1].xMin, before.xMin + 20 * before.xPerPixel, before.xPerPixel);
    EXPECT_NEAR(plot.panels[1].xMax, before.xMin + 120 * before.xPerPixel, before.xPerPixel);
    EXPECT_EQ(plot.panels[1].yMin, before.yMin);
    EXPECT_EQ(plot.panels[1].yMax, before.yMax);

    ASSERT_EQ(ApplyZoomRect(plot, 1, ZOOM_REGION, PlotRect{r.left + 10, r.top + 10, r.left + 50, r.top + 40}), 1);
    EXPECT_NEAR(plot.panels[1].yMax, before.yMax - 10 * before.yPerPixel, before.yPerPixel);
    EXPECT_NEAR(plot.panels[1].yMin, before.yMax - 40 * before.yPerPixel, before.yPerPixel);
}

TEST(ZoomRect, RefusedBandsChangeNothing)
{
    PlotRecord plot = RecordWithPanels({1}, {3});
    LaidOut(plot);
    const PlotPanel before = plot.panels[1];
    struct Case {
        int32_t panel, mode;
        PlotRect band;
    };
    const Case cases[] = {
        {1, ZOOM_REGION, {50, 50, 50, 90}},   // no width
        {1, ZOOM_REGION, {50, 50, 90, 50}},   // no height
        {1, ZOOM_OUT, {50, 50, 90, 90}},      // not a drag mode
        {0, ZOOM_REGION, {50, 50, 90, 90}},   // out of range
        {11, ZOOM_REGION, {50, 50, 90, 90}},
        {4, ZOOM_REGION, {50, 50, 90, 90}},   // not in use
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApplyZoomRect(plot, c.panel, c.mode, c.band), 0) << c.panel << " " << c.mode;
        EXPECT_EQ(plot.panels[1].xMin, before.xMin);
        EXPECT_EQ(plot.panels[1].yMax, before.yMax);
    }
}

TEST(PlotCoordinates, ShowsDataUnitsToFiveDigits)
{
    PlotPanel panel;
    panel.xOrigin = 100, panel.xPerPixel = 0.5;
    panel.yOrigin = 300, panel.yPerPixel = 0.25;
    EXPECT_EQ(PlotCoordinatesText(panel, 150, 100), "( 25.000, 50.000 )");
    EXPECT_EQ(PlotCoordinatesText(panel, 80, 304), "( -10.000, -1.0000 )");
    const DataPoint d = PixelToData(panel, 101, 299);
    EXPECT_DOUBLE_EQ(d.x, 0.5);
    EXPECT_DOUBLE_EQ(d.y, 0.25);
}

// Over a plot of values near both ends of the doubles the span of the limits overflows; the mouse
// position stays finite and is written as a number, not as asterisks or "-Infinity".
TEST(PlotCoordinates, PlotOfTheWholeDoubleRange)
{
    const double top = 1.7e308;
    PlotRecord plot = RecordWithPanels({1});
    plot.panels[1].xMin = -top, plot.panels[1].xMax = top;
    plot.panels[1].yMin = -top, plot.panels[1].yMax = top;
    const LaidOutPanel cell = CellOf(LaidOut(plot), 1);
    const PlotPanel& panel = plot.panels[1];
    EXPECT_NEAR(panel.xPerPixel, top / cell.rect.Width() * 2, 1e-12 * panel.xPerPixel);
    EXPECT_NEAR(panel.yPerPixel, top / cell.rect.Height() * 2, 1e-12 * panel.yPerPixel);
    const DataPoint leftTop = PixelToData(panel, cell.rect.left, cell.rect.top);
    EXPECT_NEAR(leftTop.x, -top, 0.01 * top);
    EXPECT_NEAR(leftTop.y, top, 0.01 * top);
    const std::string text = PlotCoordinatesText(panel, cell.rect.left, cell.rect.top);
    EXPECT_EQ(text.find_first_of("*I"), std::string::npos) << text;
    EXPECT_EQ(text.substr(0, 4), "( -1") << text;
    EXPECT_NE(text.find("E+308, 1."), std::string::npos) << text;
}

// The limits dialog proposes what OK can take back: 5 significant digits, more where the limits
// of a zoomed axis would otherwise read back equal, exponent form beyond the fixed field.
TEST(TypedLimits, ProposedLimitsReadBackDrawable)
{
    struct Case {
        double min, max;
        const char *minText, *maxText;
    };
    const Case cases[] = {
        {-0.5, 39.5, "-0.50000", "39.500"},
        {1000.0001, 1000.0009, "1000.0001", "1000.0009"},  // 5 digits: both 1000.0
        {1e9, 1e9 + 0.01, "1000000000.00", "1000000000.01"},
        {1000000.3, 1000040.7, "1000000.30", "1000040.70"},  // 5 digits: 1000000., 0.7 % of the span off
        {-1.797e308, 1.797e308, "-1.7970E+308", "1.7970E+308"},
        {1e-20, 3e-20, "1.0000E-020", "3.0000E-020"},
        {5, 5, "5.0000", "5.0000"},  // not drawable as it stands: the usual texts
    };
    for (const Case& c : cases) {
        const AxisLimitTexts texts = ProposedAxisLimits(c.min, c.max);
        EXPECT_EQ(texts.min, c.minText) << c.min;
        EXPECT_EQ(texts.max, c.maxText) << c.max;
        double a = 0, b = 0;
        ASSERT_EQ(ParseDialogReal(texts.min, a), 1) << texts.min;
        ASSERT_EQ(ParseDialogReal(texts.max, b), 1) << texts.max;
        EXPECT_EQ(AxisLimitsDrawable(a, b), AxisLimitsDrawable(c.min, c.max)) << texts.min << " " << texts.max;
    }
}

TEST(PanelsInUse, FirstAndNextCycle)
{
    PlotRecord plot;
    InitPlotRecord(plot);  // panel 1 only
    EXPECT_EQ(FirstPanelInUse(plot), 1);
    EXPECT_EQ(NextPanelInUse(plot, 1), 1);  // one panel: stays
    plot.panels[4].inUse = plot.panels[10].inUse = 1;
    EXPECT_EQ(NextPanelInUse(plot, 1), 4);
    EXPECT_EQ(NextPanelInUse(plot, 4), 10);
    EXPECT_EQ(NextPanelInUse(plot, 10), 1);
    plot.panels[1].inUse = 0;
    EXPECT_EQ(FirstPanelInUse(plot), 4);
    plot.panels[4].inUse = plot.panels[10].inUse = 0;
    EXPECT_EQ(FirstPanelInUse(plot), 0);
    EXPECT_EQ(NextPanelInUse(plot, 3), 0);
}

TEST(TypedLimits, RefusesWhatCannotBeDrawnAndOrdersTheRest)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double a, b;
        int32_t drawable;
    };
    const Case cases[] = {
        {0, 1, 1},          {2, -1, 1},        {5, 5, 0},          {nan, 1, 0},
        {0, inf, 0},        {-1e308, 1e308, 0},  // span overflows
        {1e6, 1e6 + 1e-7, 0},                    // too close for its magnitude
        {1e6, 1e6 + 1e-5, 1}, {0, 1e-300, 1},  {0, 1e-305, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(AxisLimitsDrawable(c.a, c.b), c.drawable) << c.a << " " << c.b;

    PlotRecord plot;
    InitPlotRecord(plot);
    ASSERT_EQ(SetPanelLimits(plot, 1, 10, -2, 7, 3), 1);
    EXPECT_EQ(plot.panels[1].xMin, -2);
    EXPECT_EQ(plot.panels[1].xMax, 10);
    EXPECT_EQ(plot.panels[1].yMin, 3);
    EXPECT_EQ(plot.panels[1].yMax, 7);
    EXPECT_EQ(SetPanelLimits(plot, 1, 0, 1, 4, 4), 0);
    EXPECT_EQ(SetPanelLimits(plot, 11, 0, 1, 0, 1), 0);
    EXPECT_EQ(plot.panels[1].xMax, 10);
    EXPECT_EQ(plot.panels[1].yMax, 7);
}
