#include "shell/plot_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

PlotRecord NewRecord()
{
    PlotRecord plot;
    InitPlotRecord(plot);
    return plot;
}

// Everything a setter may change, compared field by field.
void ExpectSameContent(const PlotRecord& a, const PlotRecord& b, const std::string& what)
{
    for (int p = 1; p <= kPlotPanelCount; ++p) {
        const PlotPanel &x = a.panels[p], &y = b.panels[p];
        EXPECT_EQ(x.inUse, y.inUse) << what << " panel " << p;
        EXPECT_EQ(x.xMin, y.xMin) << what << " panel " << p;
        EXPECT_EQ(x.xMax, y.xMax) << what << " panel " << p;
        EXPECT_EQ(x.yMin, y.yMin) << what << " panel " << p;
        EXPECT_EQ(x.yMax, y.yMax) << what << " panel " << p;
        EXPECT_EQ(x.hasTitle, y.hasTitle) << what << " panel " << p;
        EXPECT_EQ(x.title, y.title) << what << " panel " << p;
    }
    for (int k = 1; k <= kPlotCurveCount; ++k) {
        const PlotCurve &x = a.curves[k], &y = b.curves[k];
        EXPECT_EQ(x.style, y.style) << what << " curve " << k;
        EXPECT_EQ(x.shown, y.shown) << what << " curve " << k;
        EXPECT_EQ(x.panel, y.panel) << what << " curve " << k;
        EXPECT_EQ(x.x, y.x) << what << " curve " << k;
        EXPECT_EQ(x.y, y.y) << what << " curve " << k;
        EXPECT_EQ(x.penStyle, y.penStyle) << what << " curve " << k;
        EXPECT_EQ(x.showMarkers, y.showMarkers) << what << " curve " << k;
        EXPECT_EQ(x.xMin, y.xMin) << what << " curve " << k;
        EXPECT_EQ(x.yMax, y.yMax) << what << " curve " << k;
    }
}

void ExpectFinitePanel(const PlotPanel& panel, const std::string& what)
{
    EXPECT_TRUE(std::isfinite(panel.xMin) && std::isfinite(panel.xMax)) << what;
    EXPECT_TRUE(std::isfinite(panel.yMin) && std::isfinite(panel.yMax)) << what;
}

// The margins are single-precision factors, so the Part's decimal results hold to about 1e-8.
constexpr double kMarginTolerance = 1e-7;

}  // namespace

TEST(PlotRecord, InitGivesDefaultsAndKeepsTheWindow)
{
    PlotRecord plot;
    plot.window = reinterpret_cast<HWND__*>(0x1234);
    plot.isView = 1;
    plot.slot = 3;
    ASSERT_EQ(SetCurveSeries(plot, 4, {1, 2, 3}, 50, 6), 1);
    ASSERT_EQ(SetPanelTitle(plot, 6, "ACF", 3), 1);
    InitPlotRecord(plot);
    EXPECT_EQ(plot.window, reinterpret_cast<HWND__*>(0x1234));
    EXPECT_EQ(plot.isView, 0);
    EXPECT_EQ(plot.slot, 0);
    EXPECT_EQ(plot.panels[1].inUse, 1);
    for (int p = 2; p <= kPlotPanelCount; ++p) EXPECT_EQ(plot.panels[p].inUse, 0) << p;
    EXPECT_EQ(plot.panels[6].hasTitle, 0);
    EXPECT_EQ(plot.panels[6].title, std::string(128, ' '));
    for (int k = 1; k <= kPlotCurveCount; ++k) {
        EXPECT_EQ(plot.curves[k].shown, 0) << k;
        EXPECT_EQ(plot.curves[k].style, CURVE_NO_DATA) << k;
        EXPECT_TRUE(plot.curves[k].x.empty()) << k;
        EXPECT_EQ(plot.curves[k].panel, 1) << k;
    }
}

TEST(PlotRecord, ConstantSeriesWidensToPlusMinusOneThenMargins)
{
    PlotRecord plot = NewRecord();
    ASSERT_EQ(SetCurveY(plot, 1, {5, 5, 5, 5, 5}, 1, 5), 1);
    const PlotPanel& p = plot.panels[1];
    EXPECT_NEAR(p.yMin, 3.8, kMarginTolerance);
    EXPECT_NEAR(p.yMax, 6.2, kMarginTolerance);
    EXPECT_NEAR(p.xMin, 0.9, kMarginTolerance);
    EXPECT_NEAR(p.xMax, 5.1, kMarginTolerance);
    const PlotCurve& c = plot.curves[1];
    EXPECT_EQ(c.style, CURVE_LINES_INDEX);
    EXPECT_EQ(c.x, (std::vector<double>{1, 2, 3, 4, 5}));
}

// Series near the largest double, or constant beyond 2^53, where the unit widening and the
// margins once gave equal or infinite limits and an empty plot: the limits hold the values, finite
// and apart.
TEST(PlotRecord, LimitsOfValuesNearTheLargestDoubleAreFiniteAndApart)
{
    const double top = std::numeric_limits<double>::max();
    std::vector<double> fourHuge;
    for (int t = 1; t <= 100; ++t) fourHuge.push_back(t % 25 == 0 ? 1.7e308 : 100.0 + t);
    const struct {
        const char* name;
        std::vector<double> y;
    } cases[] = {
        {"constant 1e308", std::vector<double>(5, 1e308)},
        {"constant at the largest double", std::vector<double>(3, top)},
        {"constant at its negative", std::vector<double>(3, -top)},
        {"constant 1e20", std::vector<double>(4, 1e20)},
        {"four values of 1.7e308 among ordinary ones", fourHuge},
        {"1.7e308 of both signs", {1.7e308, -1.7e308, 1.7e308}},
    };
    for (const auto& c : cases) {
        PlotRecord plot = NewRecord();
        ASSERT_EQ(SetCurveY(plot, 1, c.y, 1, static_cast<int32_t>(c.y.size())), 1) << c.name;
        const PlotPanel& p = plot.panels[1];
        ExpectFinitePanel(p, c.name);
        EXPECT_LT(p.yMin, p.yMax) << c.name;
        for (double v : c.y) EXPECT_TRUE(p.yMin <= v && v <= p.yMax) << c.name << " " << v;
    }
}

TEST(PlotRecord, SetCurveYPlotsTheFirstNButScalesToAllOfY)
{
    PlotRecord plot = NewRecord();
    ASSERT_EQ(SetCurveY(plot, 2, {1, 2, 3, 40}, 11, 13), 1);
    EXPECT_EQ(plot.curves[2].x, (std::vector<double>{11, 12, 13}));
    EXPECT_EQ(plot.curves[2].y, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(plot.curves[2].yMax, 40);
}

TEST(PlotRecord, InUsePanelWithoutCurvesFallsBackToUnitLimits)
{
    PlotRecord plot = NewRecord();
    ASSERT_EQ(SetCurveYInPanel(plot, 1, {1, 2}, 1, 2, 2), 1);
    EXPECT_EQ(plot.panels[2].inUse, 1);
    const PlotPanel& empty = plot.panels[1];
    EXPECT_NEAR(empty.xMin, -1.05, kMarginTolerance);
    EXPECT_NEAR(empty.xMax, 1.05, kMarginTolerance);
    EXPECT_NEAR(empty.yMin, -1.2, kMarginTolerance);
    EXPECT_NEAR(empty.yMax, 1.2, kMarginTolerance);
}

TEST(PlotRecord, SeriesSticksSpanZeroToNAndIncludeZero)
{
    PlotRecord plot = NewRecord();
    std::vector<double> acf(40);
    for (int h = 0; h < 40; ++h) acf[h] = 0.5 + 0.01 * h;
    ASSERT_EQ(SetCurveSeries(plot, 3, acf, 200, 4), 1);
    const PlotCurve& c = plot.curves[3];
    EXPECT_EQ(c.style, CURVE_STICKS);
    EXPECT_EQ(c.nObs, 200.0);
    EXPECT_EQ(c.x.front(), 0);
    EXPECT_EQ(c.x.back(), 39);
    EXPECT_EQ(c.xMin, 0);
    EXPECT_EQ(c.xMax, 40);
    EXPECT_EQ(c.yMin, 0);
    EXPECT_EQ(plot.panels[4].inUse, 1);
    EXPECT_LT(plot.panels[4].yMin, 0);
}

TEST(PlotRecord, ResetCurveCountsTheOriginAtTheNextRescale)
{
    PlotRecord plot = NewRecord();
    ASSERT_EQ(SetCurveY(plot, 1, {10, 20}, 5, 6), 1);
    ASSERT_EQ(ResetCurve(plot, 2), 1);
    const PlotCurve& c = plot.curves[2];
    EXPECT_EQ(c.style, CURVE_NO_DATA);
    EXPECT_EQ(c.shown, 1);
    EXPECT_EQ(c.xMin, 0);
    EXPECT_EQ(c.xMax, 0);
    EXPECT_EQ(c.yMin, 0);
    EXPECT_EQ(c.yMax, 0);
    EXPECT_GT(plot.panels[1].yMin, 0);  // not recomputed yet
    AutoscalePlot(plot);
    EXPECT_LT(plot.panels[1].xMin, 0);
    EXPECT_LT(plot.panels[1].yMin, 0);
}

TEST(PlotRecord, SetCurveStyleKeepsFieldsGivenMinusOne)
{
    PlotRecord plot = NewRecord();
    ASSERT_EQ(SetCurveStyle(plot, 5, 2, 1, 1), 1);
    ASSERT_EQ(SetCurveStyle(plot, 5, -1, -1, 0), 1);
    EXPECT_EQ(plot.curves[5].penStyle, 2);
    EXPECT_EQ(plot.curves[5].filledMarkers, 1);
    EXPECT_EQ(plot.curves[5].showMarkers, 0);
}

TEST(PlotRecord, HistogramStandsOnZero)
{
    PlotRecord plot = NewRecord();
    std::vector<double> edges(11), counts(10);
    for (int i = 0; i <= 10; ++i) edges[i] = -2.5 + 0.5 * i;
    for (int i = 0; i < 10; ++i) counts[i] = (i * 7) % 5 + 1;
    ASSERT_EQ(SetCurveHistogram(plot, 1, edges, counts), 1);
    EXPECT_EQ(plot.curves[1].style, CURVE_BARS);
    EXPECT_EQ(plot.curves[1].x.size(), 11u);
    EXPECT_EQ(plot.curves[1].y.size(), 10u);
    EXPECT_EQ(plot.panels[1].yMin, 0.0);
    EXPECT_LT(plot.panels[1].xMin, -2.5);
    EXPECT_GT(plot.panels[1].xMax, 2.5);
}

TEST(PlotRecord, ShortLengthsAreRefused)
{
    // SetCurveY hides the curve and keeps its old points, as callers expect.
    PlotRecord plot = NewRecord();
    ASSERT_EQ(SetCurveY(plot, 1, {1, 2, 3}, 1, 3), 1);
    EXPECT_EQ(SetCurveY(plot, 1, {7, 8}, 1, 3), 0);
    EXPECT_EQ(plot.curves[1].shown, 0);
    EXPECT_EQ(plot.curves[1].y, (std::vector<double>{1, 2, 3}));

    // SetCurveXY and SetCurveHistogram change nothing at all.
    ASSERT_EQ(SetCurveXY(plot, 2, {1, 2}, {3, 4}), 1);
    const PlotRecord before = plot;
    EXPECT_EQ(SetCurveXY(plot, 2, {1, 2, 3}, {9, 9}), 0);
    EXPECT_EQ(SetCurveHistogram(plot, 2, {0, 1, 2}, {5, 5, 5}), 0);
    EXPECT_EQ(SetCurveHistogram(plot, 2, {0, 1, 2, 3, 4}, {5, 5}), 0);
    ExpectSameContent(before, plot, "short vectors");
}

TEST(PlotRecord, CurveAndPanelNumbersOutOfRangeChangeNothing)
{
    PlotRecord plot = NewRecord();
    ASSERT_EQ(SetCurveY(plot, 1, {1, 2, 3}, 1, 3), 1);
    const PlotRecord before = plot;
    const std::vector<double> y{1, 2};
    struct Case {
        const char* name;
        std::function<int32_t(PlotRecord&)> call;
    };
    const Case cases[] = {
        {"SetCurveY k=0", [&](PlotRecord& r) { return SetCurveY(r, 0, y, 1, 2); }},
        {"SetCurveY k=11", [&](PlotRecord& r) { return SetCurveY(r, 11, y, 1, 2); }},
        {"SetCurveYInPanel p=0", [&](PlotRecord& r) { return SetCurveYInPanel(r, 1, y, 1, 2, 0); }},
        {"SetCurveYInPanel p=11", [&](PlotRecord& r) { return SetCurveYInPanel(r, 1, y, 1, 2, 11); }},
        {"SetCurveSeries k=-1", [&](PlotRecord& r) { return SetCurveSeries(r, -1, y, 10, 1); }},
        {"SetCurveSeries p=11", [&](PlotRecord& r) { return SetCurveSeries(r, 1, y, 10, 11); }},
        {"SetCurveXY k=11", [&](PlotRecord& r) { return SetCurveXY(r, 11, y, y); }},
        {"SetCurveHistogram k=0", [&](PlotRecord& r) { return SetCurveHistogram(r, 0, {0, 1, 2}, y); }},
        {"ResetCurve k=11", [&](PlotRecord& r) { return ResetCurve(r, 11); }},
        {"ClearCurveData k=0", [&](PlotRecord& r) { return ClearCurveData(r, 0); }},
        {"SetPanelTitle p=11", [&](PlotRecord& r) { return SetPanelTitle(r, 11, "T", 1); }},
        {"SetCurveStyle k=11", [&](PlotRecord& r) { return SetCurveStyle(r, 11, 1, 1, 1); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(plot), 0) << c.name;
        ExpectSameContent(before, plot, c.name);
    }
}

TEST(PlotRecord, EmptyVectorsAddNoExtent)
{
    struct Case {
        const char* name;
        std::function<int32_t(PlotRecord&)> call;
    };
    const Case cases[] = {
        {"SetCurveY empty y", [](PlotRecord& r) { return SetCurveY(r, 1, {}, 1, 0); }},
        {"SetCurveY no points", [](PlotRecord& r) { return SetCurveY(r, 1, {4, 5}, 3, 2); }},
        {"SetCurveSeries empty", [](PlotRecord& r) { return SetCurveSeries(r, 1, {}, 10, 1); }},
        {"SetCurveXY empty", [](PlotRecord& r) { return SetCurveXY(r, 1, {}, {}); }},
        {"SetCurveHistogram no bins", [](PlotRecord& r) { return SetCurveHistogram(r, 1, {3}, {}); }},
    };
    for (const Case& c : cases) {
        PlotRecord alone = NewRecord();
        EXPECT_EQ(c.call(alone), 1) << c.name;
        ExpectFinitePanel(alone.panels[1], c.name);
        EXPECT_NEAR(alone.panels[1].xMax, 1.05, kMarginTolerance) << c.name;

        // Beside a curve with data, the empty one leaves the limits to that curve.
        PlotRecord beside = NewRecord();
        ASSERT_EQ(SetCurveXY(beside, 2, {10, 20}, {30, 40}), 1);
        EXPECT_EQ(c.call(beside), 1) << c.name;
        AutoscalePlot(beside);
        EXPECT_NEAR(beside.panels[1].xMin, 9.75, kMarginTolerance) << c.name;
        EXPECT_NEAR(beside.panels[1].yMax, 41.0, kMarginTolerance) << c.name;
    }
}

TEST(PlotRecord, PanelTitleIsTrimmedAndPadded)
{
    PlotRecord plot = NewRecord();
    struct Case {
        std::string text;
        int32_t length;
        std::string expected;
    };
    const Case cases[] = {
        {"Sample ACF   ", 13, "Sample ACF"},
        {"Sample ACF", 6, "Sample"},
        {"Short", 40, "Short"},  // length beyond the text stops at the text
        {std::string(200, 'x'), 200, std::string(128, 'x')},
        {"ignored", 0, ""},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(SetPanelTitle(plot, 3, c.text, c.length), 1);
        EXPECT_EQ(plot.panels[3].hasTitle, 1);
        EXPECT_EQ(plot.panels[3].title.size(), 128u);
        EXPECT_EQ(PanelTitleText(plot, 3), c.expected);
    }
}

TEST(PlotColorsTable, DefaultsAndMarkerColourWrapsTo24Bits)
{
    SetDefaultPlotColors();
    EXPECT_EQ(PlotColors[1], 0x80A000u);
    EXPECT_EQ(PlotColors[10], 0xFFFFFFu);
    EXPECT_EQ(PlotColors[15], 0xA000F0u);
    EXPECT_EQ(MarkerColor(1), 0x8FA000u);
    EXPECT_EQ(MarkerColor(10), 0x0EFFFFu);
}
