#include "shell/plot_layout.h"

#include <gtest/gtest.h>

#include "plot_fixtures.h"
#include "platform/fortran_format.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

PlotPanel PanelWithLimits(double xMin, double xMax, double yMin, double yMax)
{
    PlotPanel p;
    p.inUse = 1;
    p.xMin = xMin, p.xMax = xMax, p.yMin = yMin, p.yMax = yMax;
    return p;
}

constexpr PlotRect kRect{0, 0, 600, 400};

}  // namespace

// W = 600, H = 400 by hand: a = 16, b = 26, gap = 42, left margin = 26 + 8*8 = 90.
TEST(PanelGrid, MatchesTheGridFormulas)
{
    struct Case {
        int32_t n, cols, rows, plotW, plotH;
    };
    const Case cases[] = {
        {1, 1, 1, 510, 332},  // 600 - 90, 400 - 42 - 26
        {2, 2, 1, 210, 332},  // 300 - 90
        {3, 2, 2, 210, 132},  // 200 - 42 - 26
        {10, 2, 5, 210, 12},  // 80 - 42 - 26
    };
    for (const Case& c : cases) {
        const PanelGrid g = ComputePanelGrid(600, 400, c.n);
        EXPECT_EQ(g.a, 16);
        EXPECT_EQ(g.b, 26);
        EXPECT_EQ(g.gap, 42);
        EXPECT_EQ(g.leftMargin, 90);
        EXPECT_EQ(g.cols, c.cols) << c.n;
        EXPECT_EQ(g.rows, c.rows) << c.n;
        EXPECT_EQ(g.plotW, c.plotW) << c.n;
        EXPECT_EQ(g.plotH, c.plotH) << c.n;
    }
    const PanelGrid tiny = ComputePanelGrid(30, 20, 4);
    EXPECT_EQ(tiny.plotW, 1);
    EXPECT_EQ(tiny.plotH, 1);
}

TEST(PlotLayoutTest, NothingToDraw)
{
    PlotLayout layout;
    PlotRecord hidden;
    InitPlotRecord(hidden);
    EXPECT_EQ(LayOutPlot(hidden, kRect, 0, layout), 0);

    const PlotRecord plot = RecordWithPanels({1});
    EXPECT_EQ(LayOutPlot(plot, PlotRect{10, 10, 10, 300}, 0, layout), 0);
    EXPECT_EQ(LayOutPlot(plot, PlotRect{10, 10, 300, 5}, 0, layout), 0);
    EXPECT_EQ(LayOutPlot(plot, kRect, 11, layout), 0);
    EXPECT_EQ(LayOutPlot(plot, kRect, 4, layout), 0);  // panel 4 not in use
    EXPECT_TRUE(layout.panels.empty());
}

TEST(PlotLayoutTest, ThreePanelsFillTwoColumnsAndLeaveTheFourthCellEmpty)
{
    const PlotRecord plot = RecordWithPanels({1, 2, 3});
    PlotLayout layout;
    ASSERT_EQ(LayOutPlot(plot, PlotRect{5, 7, 605, 407}, 0, layout), 1);
    ASSERT_EQ(layout.panels.size(), 3u);
    const int32_t left[] = {95, 395, 95}, top[] = {33, 33, 233};  // rows: 7 + 26, + 132 + 42 + 26
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(layout.panels[m].panel, m + 1);
        EXPECT_EQ(layout.panels[m].rect.left, left[m]) << m;
        EXPECT_EQ(layout.panels[m].rect.top, top[m]) << m;
        EXPECT_EQ(layout.panels[m].rect.Width(), 210) << m;
        EXPECT_EQ(layout.panels[m].rect.Height(), 132) << m;
    }
    EXPECT_EQ(PanelAt(layout, 400, 40), 2);
    EXPECT_EQ(PanelAt(layout, 400, 240), 0);  // the empty fourth cell
}

// A title stands 2 units above its panel in a font of h / 20 + 6: in a drawing tall against its
// width (two series side by side in a window of the default shape, one series in a tall tile)
// that passed the top of the drawing, and the first row's titles were cut. They stay inside.
TEST(PlotLayoutTest, FirstRowTitlesStayInsideTheDrawing)
{
    const struct {
        PlotRect rect;
        std::vector<int32_t> panels;
        int32_t fontHeight;  // of the titles
    } cases[] = {
        {PlotRect{0, 0, 600, 400}, {1}, 22},            // 332 / 20 + 6, below b - 2 = 24
        {PlotRect{-15, 0, 489, 344}, {1, 2}, 20},       // b = 22: 286 / 20 + 6 = 20 just fits,
        {PlotRect{-15, 0, 489, 420}, {1, 2}, 20},       // and 362 / 20 + 6 = 24 is held to 20
        {PlotRect{5, 7, 205, 807}, {1}, 10},            // a tall tile: 44 held to 10
        {PlotRect{0, 0, 600, 1000}, {1, 2, 3, 4}, 24},  // 432 / 20 + 6 = 27 held to 24
    };
    for (const auto& c : cases) {
        const PlotRecord plot = RecordWithPanels(c.panels);
        PlotLayout layout;
        ASSERT_EQ(LayOutPlot(plot, c.rect, 0, layout), 1);
        for (const LaidOutPanel& cell : layout.panels) {
            const int32_t height = TitleFontHeight(layout.grid, cell.rect.Height());
            EXPECT_GE(cell.rect.top - 2 - height, c.rect.top) << c.rect.Height() << " " << cell.panel;
            EXPECT_EQ(height, c.fontHeight) << c.rect.Height() << " " << cell.panel;
        }
    }
}

TEST(PlotLayoutTest, PanelWithoutShownCurveCountsInGridButTakesNoCell)
{
    // Panel 2 is in use but empty: a 2 x 2 grid whose second cell goes to panel 3.
    const PlotRecord plot = RecordWithPanels({1, 3, 4}, {2});
    PlotLayout layout;
    ASSERT_EQ(LayOutPlot(plot, kRect, 0, layout), 1);
    EXPECT_EQ(layout.grid.rows, 2);
    ASSERT_EQ(layout.panels.size(), 3u);
    EXPECT_EQ(layout.panels[1].panel, 3);
    EXPECT_EQ(layout.panels[1].rect.left, 90 + 210 + 90);

    ASSERT_EQ(LayOutPlot(plot, kRect, 3, layout), 1);  // one selected panel fills the rectangle
    ASSERT_EQ(layout.panels.size(), 1u);
    EXPECT_EQ(layout.panels[0].panel, 3);
    EXPECT_EQ(layout.panels[0].rect.Width(), 510);
}

TEST(PlotLayoutTest, StoredMappingMapsDataWhereTheCurvesAreDrawn)
{
    // Panels 1 and 3 in use: panel 3 is drawn in the second cell and its mapping must say so.
    PlotRecord plot = RecordWithPanels({1, 3});
    PlotLayout layout;
    ASSERT_EQ(LayOutPlot(plot, kRect, 0, layout), 1);
    StorePanelMappings(plot, layout);
    // Both forms truncate once, in opposite directions, so they may differ by up to 2 pixels.
    for (const LaidOutPanel& cell : layout.panels) {
        const PlotPanel& panel = plot.panels[cell.panel];
        const PanelMapping map = MapPanel(panel, cell.rect);
        for (double x : {1.0, 2.0, 3.0}) {
            const double px = panel.xOrigin + x / panel.xPerPixel;
            EXPECT_NEAR(px, map.X(x), 2.01) << cell.panel << " x " << x;
        }
        for (double y : {1.0, 2.5, 3.0}) {
            const double py = panel.yOrigin - y / panel.yPerPixel;
            EXPECT_NEAR(py, map.Y(y), 2.01) << cell.panel << " y " << y;
        }
    }
}

TEST(PixelMapping, HugeAndNonFiniteValuesAreClamped)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double v;
        int32_t expected;
    };
    const Case cases[] = {{12.7, 12},        {-12.7, -12},         {1e300, kPixelLimit},
                          {-1e300, -kPixelLimit}, {inf, kPixelLimit}, {-inf, -kPixelLimit},
                          {std::nan(""), 0}};
    for (const Case& c : cases) EXPECT_EQ(ClampPixel(c.v), c.expected) << c.v;

    const PanelMapping map = MapPanel(PanelWithLimits(0, 1, 0, 1), PlotRect{100, 100, 300, 200});
    EXPECT_EQ(map.X(0.5), 200);
    EXPECT_EQ(map.Y(0.5), 150);
    EXPECT_EQ(map.X(1e300), kPixelLimit);
    EXPECT_EQ(map.Y(1e300), -kPixelLimit);
    EXPECT_EQ(map.ZeroRow(), 200);

    // Equal limits map as min..min + 1.
    const PanelMapping flat = MapPanel(PanelWithLimits(2, 2, 5, 5), PlotRect{0, 0, 100, 100});
    EXPECT_EQ(flat.X(2.5), 50);
    EXPECT_EQ(flat.Y(5.25), 75);
    // Limits whose span leaves the doubles still map their values across the rectangle (the
    // data of a series near the largest double were once all drawn at one edge).
    const double top = std::numeric_limits<double>::max();
    const PanelMapping wide = MapPanel(PanelWithLimits(-top, top, -top, top), PlotRect{0, 0, 100, 100});
    EXPECT_EQ(wide.X(-top), 0);
    EXPECT_EQ(wide.X(0), 50);
    EXPECT_EQ(wide.X(top), 100);
    EXPECT_EQ(wide.Y(top), 0);
    EXPECT_EQ(wide.Y(0.5 * top), 25);
    EXPECT_EQ(wide.Y(-top), 100);
}

TEST(Ticks, StepRule)
{
    struct Case {
        double range, step;
    };
    const Case cases[] = {{1.32, 0.2}, {12, 2}, {50, 10}, {100, 20}, {7.5, 1}, {0.004, 0.0005}, {3e6, 5e5}};
    for (const Case& c : cases) {
        EXPECT_NEAR(TickStep(0.0, c.range), c.step, c.step * 1e-12) << c.range;
        EXPECT_NEAR(TickStep(-0.25 * c.range, 0.75 * c.range), c.step, c.step * 1e-12) << c.range;
    }
    // Spans beyond the doubles: 3.594e308 takes 5e307 (7 steps), 2e308 takes 2e307 (10 steps).
    EXPECT_NEAR(TickStep(-1.797e308, 1.797e308), 5e307, 5e307 * 1e-12);
    EXPECT_NEAR(TickStep(-1e308, 1e308), 2e307, 2e307 * 1e-12);
    EXPECT_NEAR(TickStep(-0.95e308, 0.95e308), 2e307, 2e307 * 1e-12);  // its half is below 1e308
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& bad : std::vector<std::pair<double, double>>{{0, 0}, {1, -1}, {0, inf}, {-inf, 0}, {std::nan(""), 1}})
        EXPECT_EQ(TickStep(bad.first, bad.second), 0.0) << bad.first << " " << bad.second;
}

TEST(Ticks, ValuesRunFromFirstMultipleBelowMax)
{
    const std::vector<double> t = TickValues(-0.12, 1.2, TickStep(-0.12, 1.2));
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0], 0.0);
    EXPECT_FALSE(std::signbit(t[0]));
    EXPECT_NEAR(t[5], 1.0, 1e-15);

    EXPECT_EQ(TickValues(0.0, 9.0, 2.0).front(), 0.0);  // a histogram's yMin of 0 is a tick
    EXPECT_EQ(TickValues(0.5, 9.0, 2.0).front(), 2.0);
}

TEST(Ticks, LoopEndsForStepsBelowTheRoundingUnitAndBadInput)
{
    EXPECT_LE(TickValues(1e20, 2e20, 1e-3).size(), static_cast<size_t>(kMaxTicks));
    EXPECT_LE(TickValues(-1e300, 1e300, 1e-300).size(), static_cast<size_t>(kMaxTicks));
    EXPECT_TRUE(TickValues(0, 1, 0).empty());
    EXPECT_TRUE(TickValues(0, std::numeric_limits<double>::infinity(), 1).empty());
    EXPECT_TRUE(TickValues(std::nan(""), 1, 1).empty());
}

TEST(AxisLabels, FormatsByStep)
{
    struct Case {
        double t, s;
        const char *y, *x;
    };
    const Case cases[] = {
        {0.2, 0.2, "  0.20", "  0.2"},          // F6.2 / F5.1
        {-0.4, 0.2, " -0.40", " -0.4"},
        {0.0, 0.2, "  0.00", "  0.0"},
        {0.001, 0.0005, "  0.00100", "  0.0010"},  // F9.5 / F8.4
        {20, 2, " 20.", "20"},                   // F4.0 / I2
        {-5, 1, " -5.", " -5"},                  // I3: one digit plus 2 for the sign
        {0, 5, "  0.", "0"},                     // (I1) at zero
        {300, 50, " 300.", "300"},               // F5.0 / I3
        {3e-5, 1e-5, "  3.0E-05", "     0.3E-04"},
        {2e5, 1e5, "  2.0E+05", "     0.2E+06"},
        // Three-digit exponents keep their E.
        {-1.5e308, 5e307, " -1.5E+308", "    -0.15E+309"},  // E12.1 would give -0.2E+309
        {2e-300, 1e-300, "  2.0E-300", "     0.2E-299"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(YAxisLabel(c.t, c.s), c.y) << c.t << " step " << c.s;
        EXPECT_EQ(XAxisLabel(c.t, c.s), c.x) << c.t << " step " << c.s;
    }
    // An x tick beyond the whole numbers keeps its real form, with its E.
    EXPECT_EQ(XAxisLabel(-2e150, 1000), "    -0.2E+151");
}

// A label names its tick: it reads back within a thousandth of a step of it, where the usual
// descriptor would round it to another value (1.5e308 under E12.1 is 0.2E+309, a third off).
// Ticks at and beyond 1e18 on a whole-number axis are written in exponent form: a long long
// holds whole numbers only up to 9.2e18.
TEST(AxisLabels, LabelsReadBackAsTheirTicks)
{
    struct Case {
        double t, s;
        const char *y, *x;  // nullptr: only the read-back is checked
    };
    const Case cases[] = {
        {1.5e308, 5e307, "  1.5E+308", "     0.15E+309"},
        {1e308, 5e307, "  1.0E+308", "     0.1E+309"},
        {5e307, 5e307, "  5.0E+307", "     0.5E+308"},
        {1.25e6, 5e4, "  1.25E+06", "     0.125E+07"},
        {-2.5e-6, 5e-7, " -2.5E-06", "    -0.25E-05"},
        {1e18, 1000, nullptr, "     0.1E+19"},
        {5e18, 1000, nullptr, "     0.5E+19"},
        {9.9e18, 1000, nullptr, "     0.99E+19"},
        {-9.9e18, 1000, nullptr, "    -0.99E+19"},
        {1e19, 2000, nullptr, "     0.1E+20"},
        {9.2233720368547758e18, 1000, nullptr, nullptr},
        {1e18 + 2048, 1000, nullptr, nullptr},
        {9.99e17, 1000, nullptr, "999000000000000000"},
        {-9.99e17, 1000, nullptr, " -999000000000000000"},
    };
    for (const Case& c : cases) {
        for (const bool yAxis : {true, false}) {
            const std::string label = yAxis ? YAxisLabel(c.t, c.s) : XAxisLabel(c.t, c.s);
            const char* expected = yAxis ? c.y : c.x;
            SCOPED_TRACE(std::string(yAxis ? "y " : "x ") + label);
            if (expected) {
                EXPECT_EQ(label, expected);
            }
            double back = 0;
            ASSERT_EQ(ReadFreeReals(label, 1, &back), 1);
            EXPECT_LE(std::fabs(back - c.t), 1e-3 * c.s);
            EXPECT_EQ(label.find('*'), std::string::npos);
        }
    }
}

TEST(AxisLabels, TooNarrowFieldsWidenInsteadOfAsterisks)
{
    struct Case {
        double t, s;
        const char *y, *x;
    };
    const Case cases[] = {
        {1002, 2, "1002.", "1002"},          // F4.0 would need 5 places
        {-100, 5, "-100.", " -100"},         // F4.0 for a negative label; I5
        {1000.5, 0.1, "1000.500", "1000.50"},  // F7.3 / F6.2 too narrow
        {-12.5, 0.5, "-12.50", "-12.5"},
        {999.6, 200, " 1000.", "1000"},      // rounds up past the width of floor(log10 t) + 1
    };
    for (const Case& c : cases) {
        const std::string y = YAxisLabel(c.t, c.s), x = XAxisLabel(c.t, c.s);
        EXPECT_EQ(y.find('*'), std::string::npos) << y;
        EXPECT_EQ(x.find('*'), std::string::npos) << x;
        EXPECT_EQ(y, c.y) << c.t;
        EXPECT_EQ(x, c.x) << c.t;
    }
}

TEST(AxisLabels, NoAsterisksOnRealisticPanels)
{
    const double ranges[][2] = {{1000, 1010}, {-1e6, -1e6 + 50}, {-0.12, 1.2}, {0, 1e7}, {99990, 100010},
                                {-3e-6, 2e-6}, {1e20, 1e21}, {-950, -900}};
    for (const auto& r : ranges) {
        PlotPanel panel = PanelWithLimits(r[0], r[1], r[0], r[1]);
        PanelAxes axes;
        ASSERT_EQ(LayOutPanelAxes(panel, PlotRect{0, 0, 400, 300}, axes), 1) << r[0];
        EXPECT_FALSE(axes.x.empty()) << r[0];
        EXPECT_FALSE(axes.y.empty()) << r[0];
        for (const auto* list : {&axes.x, &axes.y})
            for (const AxisTick& tick : *list)
                EXPECT_EQ(tick.label.find('*'), std::string::npos) << tick.label << " in " << r[0] << ".." << r[1];
    }
}

TEST(PanelAxesTest, TicksPixelsAndEveryOtherLabel)
{
    const PlotPanel panel = PanelWithLimits(-0.5, 39.5, -0.12, 1.2);
    PanelAxes axes;
    ASSERT_EQ(LayOutPanelAxes(panel, PlotRect{100, 50, 500, 250}, axes), 1);
    EXPECT_EQ(axes.yTickLength, 10);
    EXPECT_EQ(axes.xTickLength, 5);
    EXPECT_EQ(axes.fontHeight, 11);
    ASSERT_EQ(axes.y.size(), 6u);
    EXPECT_EQ(axes.y[0].pixel, 50 + static_cast<int>(1.2 / 1.32 * 200));
    // 7 * floor(1.32 / 0.2) = 42 < 100: every y tick is labelled.
    for (const AxisTick& t : axes.y) EXPECT_FALSE(t.label.empty());
    EXPECT_EQ(axes.y[5].label, "  1.00");
    // x: step 5 gives (0 + 1) * 8 = 8 < 20, so all labelled: 0 5 ... 35.
    ASSERT_EQ(axes.x.size(), 8u);
    EXPECT_EQ(axes.x[1].label, "5");
    EXPECT_EQ(axes.x[1].pixel, 100 + static_cast<int>(5.5 / 40 * 400));

    // A low panel labels only the first, third, ... y tick.
    ASSERT_EQ(LayOutPanelAxes(panel, PlotRect{0, 0, 400, 60}, axes), 1);
    for (size_t i = 0; i < axes.y.size(); ++i) EXPECT_EQ(axes.y[i].label.empty(), i % 2 == 1) << i;

    // Limits near both ends of the doubles (a series of values such as 1.797e308 and -1.797e308):
    // the y axis still has its ticks and labels.
    ASSERT_EQ(LayOutPanelAxes(PanelWithLimits(1, 70, -1.797e308, 1.797e308), PlotRect{0, 0, 400, 300}, axes), 1);
    ASSERT_EQ(axes.y.size(), 7u);
    EXPECT_NEAR(axes.y.front().value, -1.5e308, 1e296);
    EXPECT_EQ(axes.y.front().label, " -1.5E+308");
    EXPECT_EQ(axes.y[3].label, "  0.0E+00");
    EXPECT_EQ(axes.y.back().label, "  1.5E+308");

    // x with many ticks: step 200 over 0..2000 gives 3 * 10 >= 20.
    ASSERT_EQ(LayOutPanelAxes(PanelWithLimits(0, 2000, 0, 1), PlotRect{0, 0, 400, 300}, axes), 1);
    for (size_t i = 0; i < axes.x.size(); ++i) EXPECT_EQ(axes.x[i].label.empty(), i % 2 == 1) << i;
}

// Every other tick is labelled on the y axis when 7 * floor(R / s) >= h / 2 and on the x axis
// when the digits of a label times floor(R / s) reach 20; a label in exponent form counts the
// digits of its mantissa, not those of the whole number.
TEST(PanelAxesTest, EveryOtherLabelAtTheBounds)
{
    struct Case {
        const char* name;
        double xMin, xMax, yMin, yMax;
        PlotRect rect;
        bool everyOtherX, everyOtherY;
    };
    const Case cases[] = {
        {"y 0..10 in a panel 70 high: 7 * 5 = 35 >= 35", 0, 1, 0, 10, {0, 0, 300, 70}, false, true},
        {"y 0..10 in a panel 71 high: 35 < 35.5", 0, 1, 0, 10, {0, 0, 300, 71}, false, false},
        {"x 0..14000: step 2000, 4 * 7 = 28", 0, 14000, 0, 1, {0, 0, 400, 300}, true, false},
        {"x 0..5000: step 1000, 4 * 5 = 20", 0, 5000, 0, 1, {0, 0, 400, 300}, true, false},
        {"x 0..99: step 10, 2 * 9 = 18", 0, 99, 0, 1, {0, 0, 400, 300}, false, false},
        {"x of a histogram near both ends of the doubles: 2 digits * 7", -1.797e308, 1.797e308, 0, 1,
         {0, 0, 400, 300}, false, false},
        {"x from 0 to 1e6: step 1e5, 1 digit * 10", 0, 1e6, 0, 1, {0, 0, 400, 300}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PanelAxes axes;
        ASSERT_EQ(LayOutPanelAxes(PanelWithLimits(c.xMin, c.xMax, c.yMin, c.yMax), c.rect, axes), 1);
        ASSERT_GE(axes.x.size(), 5u);
        ASSERT_GE(axes.y.size(), 5u);
        for (size_t i = 0; i < axes.x.size(); ++i) EXPECT_EQ(axes.x[i].label.empty(), c.everyOtherX && i % 2 == 1) << i;
        for (size_t i = 0; i < axes.y.size(); ++i) EXPECT_EQ(axes.y[i].label.empty(), c.everyOtherY && i % 2 == 1) << i;
    }
    // The histogram's ticks, each labelled with its own value.
    PanelAxes axes;
    ASSERT_EQ(LayOutPanelAxes(PanelWithLimits(-1.797e308, 1.797e308, 0, 1), PlotRect{0, 0, 400, 300}, axes), 1);
    ASSERT_EQ(axes.x.size(), 7u);
    const char* labels[] = {"    -0.15E+309", "    -0.1E+309", "    -0.5E+308", "     0.0E+00",
                            "     0.5E+308",  "     0.1E+309", "     0.15E+309"};
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(axes.x[i].label, labels[i]) << i;
}

TEST(PanelAxesTest, NoAxesForUnusedOrFlatPanels)
{
    PanelAxes axes;
    PlotPanel unused = PanelWithLimits(0, 1, 0, 1);
    unused.inUse = 0;
    EXPECT_EQ(LayOutPanelAxes(unused, kRect, axes), 0);
    EXPECT_EQ(LayOutPanelAxes(PanelWithLimits(1, 1, 0, 1), kRect, axes), 0);
    EXPECT_EQ(LayOutPanelAxes(PanelWithLimits(0, 1, 2, 2), kRect, axes), 0);
    EXPECT_TRUE(axes.x.empty());
}

TEST(AxisLabels, LabelFitsOnlyInsideTheBoundsAndClearOfTheLastOne)
{
    const PlotRect bounds{0, 0, 100, 50};
    const PlotRect last{40, 30, 60, 40};
    struct Case {
        const char* name;
        PlotRect box;
        const PlotRect* previous;
        bool fits;
    } const cases[] = {
        {"inside, first of its axis", {10, 10, 30, 20}, nullptr, true},
        {"touching the bounds", {0, 40, 20, 50}, nullptr, true},
        {"past the right edge", {90, 10, 101, 20}, nullptr, false},
        {"above the top", {10, -1, 30, 9}, nullptr, false},
        {"left of the bounds", {-5, 10, 15, 20}, nullptr, false},
        {"below the bottom", {10, 45, 30, 51}, nullptr, false},
        {"a gap right of the last label", {63, 30, 83, 40}, &last, true},
        {"a gap left of the last label", {17, 30, 37, 40}, &last, true},
        {"touching the last label at its right", {60, 30, 80, 40}, &last, false},
        {"less than a gap left of it", {18, 30, 38, 40}, &last, false},
        {"overlapping the last label", {55, 30, 75, 40}, &last, false},
        {"below the last label", {40, 40, 60, 50}, &last, true},
        {"overlapping it from above", {45, 25, 55, 31}, &last, false},
    };
    for (const Case& c : cases) EXPECT_EQ(LabelFits(c.box, bounds, c.previous, 3), c.fits) << c.name;
}

namespace {

// Text as a font of height h draws it: digits and signs 6h/11 wide, blanks h/4, and h + 2 high.
LabelSize MeasureAt(const std::string& text, int32_t h)
{
    int32_t width = 0;
    for (char c : text) width += c == ' ' ? h / 4 : 6 * h / 11;
    return LabelSize{width, h + 2};
}

}  // namespace

// A plot window draws from 15 units left of its client area, which in a narrow window (Window >
// Tile of many) left no room for the y labels. Down to the narrowest tiles, and in tall narrow
// ones, the drawing now moves right (once it only narrowed) or narrows until the end labels of
// every axis lie whole inside the window, so each axis keeps its first and last label; every label drawn is whole inside the
// window, and neighbours on the x axis keep a blank between them. A wide window keeps the usual
// rectangle and every label.
TEST(AxisLabels, PlotWindowsKeepTheEndLabelsOfEveryAxis)
{
    struct Labels {
        const char* name;
        double xMin, xMax, yMin, yMax;
    };
    const Labels sets[] = {
        {"values near 110", 1, 70, 102, 123},
        {"thousands", 1, 70, 0, 12000},
        {"negative thousands", 1, 70, -12000, 0},
        {"negative fractions", 1, 70, -0.2, 0.1},
        {"millionths", 1, 70, 0, 2e-6},
        {"x in thousands", 1, 4000, -3, 3},
        {"a last x label at the right edge", 0, 10000.5, 0, 12000},
    };
    struct Size {
        int32_t width, height;
        bool wide;  // wide enough for the usual rectangle
    };
    // Tiles of 12 to 200 windows, and one of a tall narrow window; a view of two panels side by
    // side needs twice the width.
    const Size sizes[] = {{900, 500, true}, {420, 200, false}, {312, 112, false}, {256, 180, false},
                          {213, 160, false}, {160, 120, false}, {120, 90, false}, {90, 60, false},
                          {200, 800, false}};
    for (const std::vector<int32_t>& panels : {std::vector<int32_t>{1}, std::vector<int32_t>{1, 2}}) {
        for (const Labels& set : sets) {
            for (const Size& size : sizes) {
                if (size.width < 80 * static_cast<int32_t>(panels.size())) continue;
                SCOPED_TRACE(std::string(set.name) + " in " + std::to_string(size.width) + " x " +
                             std::to_string(size.height) + ", panels: " + std::to_string(panels.size()));
                PlotRecord plot = RecordWithPanels(panels);
                for (int32_t p : panels) {
                    plot.panels[p].xMin = set.xMin, plot.panels[p].xMax = set.xMax;
                    plot.panels[p].yMin = set.yMin, plot.panels[p].yMax = set.yMax;
                }
                const PlotRect client{0, 0, size.width, size.height};
                const PlotRect drawn = PlotWindowDrawRect(plot, client, MeasureAt);
                if (size.wide) {
                    EXPECT_EQ(drawn.left, -15);
                    EXPECT_EQ(drawn.right, size.width - 35);
                    EXPECT_EQ(drawn.top, 0);
                    EXPECT_EQ(drawn.bottom, size.height);
                }
                if (drawn.left > -15) {
                    // Moved right before it narrowed: its right edge gives up the usual 35 units
                    // down to 10.
                    EXPECT_GT(drawn.right, size.width - 35);
                    EXPECT_LE(drawn.right, size.width - 10);
                }
                EXPECT_LE(drawn.Width(), size.width - 20);  // never wider than the usual rectangle
                PlotLayout layout;
                ASSERT_EQ(LayOutPlot(plot, drawn, 0, layout), 1);
                ASSERT_EQ(layout.panels.size(), panels.size());
                for (const LaidOutPanel& cell : layout.panels) {
                    PanelAxes axes;
                    ASSERT_EQ(LayOutPanelAxes(plot.panels[cell.panel], cell.rect, axes), 1);
                    const int32_t height = LabelFontHeight(axes, cell.rect, client, MeasureAt);
                    if (size.width >= 213 * static_cast<int32_t>(panels.size())) {
                        EXPECT_EQ(height, axes.fontHeight);  // room is enough: no smaller font
                    }
                    const auto measure = [height](const std::string& text) { return MeasureAt(text, height); };
                    const std::vector<PlacedLabel> placed = PlaceAxisLabels(axes, cell.rect, client, measure);
                    for (const PlacedLabel& label : placed) {
                        EXPECT_GE(label.box.left, client.left) << label.text;
                        EXPECT_LE(label.box.right, client.right) << label.text;
                        EXPECT_GE(label.box.top, client.top) << label.text;
                        EXPECT_LE(label.box.bottom, client.bottom) << label.text;
                    }
                    // A y label is drawn without its leading blanks.
                    const auto isPlaced = [&placed](const std::string& label, int32_t top) {
                        const std::string text = top < 0 ? label : label.substr(label.find_first_not_of(' '));
                        for (const PlacedLabel& drawn : placed)
                            if (drawn.text == text && (top < 0 || drawn.box.top == top)) return true;
                        return false;
                    };
                    size_t labelled = 0;
                    for (const std::vector<AxisTick>* ticks : {&axes.y, &axes.x}) {
                        std::vector<const AxisTick*> ends;
                        for (const AxisTick& tick : *ticks)
                            if (!tick.label.empty()) ends.push_back(&tick), ++labelled;
                        ASSERT_GE(ends.size(), 2u);
                        const bool yAxis = ticks == &axes.y;
                        for (const AxisTick* end : {ends.front(), ends.back()}) {
                            const int32_t top = yAxis ? end->pixel - MeasureAt(end->label, height).height / 2 : -1;
                            EXPECT_TRUE(isPlaced(end->label, top)) << (yAxis ? "y " : "x ") << end->label;
                        }
                    }
                    // Along the x axis, a blank at least between neighbours.
                    const PlacedLabel* previous = nullptr;
                    for (const PlacedLabel& label : placed) {
                        if (label.box.top != cell.rect.bottom + axes.xTickLength) continue;
                        if (previous) {
                            EXPECT_GE(label.box.left - previous->box.right, height / 4) << label.text;
                        }
                        previous = &label;
                    }
                    if (size.wide) {
                        EXPECT_EQ(placed.size(), labelled);
                    }
                }
            }
        }
    }
    // A plot without a label (its only panel has a flat x range, so no axes) keeps the usual
    // rectangle.
    PlotRecord flat = RecordWithPanels({1});
    flat.panels[1].xMin = flat.panels[1].xMax = 3.0;
    const PlotRect none = PlotWindowDrawRect(flat, PlotRect{0, 0, 160, 120}, MeasureAt);
    EXPECT_EQ(none.left, -15);
    EXPECT_EQ(none.right, 125);
    EXPECT_EQ(none.top, 0);
    EXPECT_EQ(none.bottom, 120);
}

// The label font of a panel: its own height where the end labels of both axes fit, else the
// largest smaller one with which they fit, else its own. A lone label on an axis is its first and
// last at once and clears itself; the last x label must clear the first.
TEST(AxisLabels, LabelFontHeightIsTheLargestWithWhichTheEndLabelsFit)
{
    const PlotRect rect{50, 10, 250, 110};
    struct Case {
        const char* name;
        std::vector<AxisTick> y, x;
        int32_t boundsRight;
        int32_t height;
    } const cases[] = {
        {"everything fits at 16", {{0.5, 60, "0.5"}}, {{0, 60, "0"}, {1e4, 200, "10000"}}, 300, 16},
        // "10000" centred on 240 is 35 wide at 13 (right edge 258) and 30 at 12 (255).
        {"one y label, x end labels fit at 12, not 16", {{0.5, 60, "0.5"}}, {{0, 60, "0"}, {1e4, 240, "10000"}}, 255,
         12},
        {"two y labels, the same", {{0.5, 60, "0.5"}, {1.0, 20, "1.0"}}, {{0, 60, "0"}, {1e4, 240, "10000"}}, 255, 12},
        // At 13 the boxes 86..114 and 116..144 are less than a blank (3) apart; at 12 they are 6.
        {"the last x label clears the first at 12", {{0.5, 60, "0.5"}}, {{1e3, 100, "1000"}, {2e3, 130, "2000"}}, 300,
         12},
        {"nothing fits: the panel's own height", {{0.5, 60, "0.5"}}, {{1e3, 100, "1000"}, {2e3, 104, "2000"}}, 300, 16},
    };
    for (const Case& c : cases) {
        PanelAxes axes;
        axes.yTickLength = 5;
        axes.xTickLength = 4;
        axes.fontHeight = 16;
        axes.y = c.y;
        axes.x = c.x;
        EXPECT_EQ(LabelFontHeight(axes, rect, PlotRect{0, 0, c.boundsRight, 200}, MeasureAt), c.height) << c.name;
    }
}

// Labels are placed where they are drawn: a y label ends a tick length left of the frame, centred
// on its tick; an x label is centred below its tick. Bounds and overlap follow LabelFits.
TEST(AxisLabels, PlacesYLabelsLeftOfTheFrameAndXLabelsBelowIt)
{
    PanelAxes axes;
    axes.yTickLength = 5;
    axes.xTickLength = 4;
    axes.y = {{0.0, 100, "0.0"}, {1.0, 60, ""}, {2.0, 20, "2.0"}};
    axes.x = {{1.0, 120, "1"}, {1.5, 126, "1.5"}, {2.0, 200, "2"}};
    const PlotRect r{50, 10, 250, 110};
    const auto measure = [](const std::string& text) { return LabelSize{10 * static_cast<int32_t>(text.size()), 12}; };
    const std::vector<PlacedLabel> placed = PlaceAxisLabels(axes, r, PlotRect{0, 0, 300, 200}, measure);
    ASSERT_EQ(placed.size(), 4u);  // the unlabelled tick has none; "1.5" would overlap "1"
    const struct {
        const char* text;
        PlotRect box;
    } expected[] = {
        {"0.0", {15, 94, 45, 106}}, {"2.0", {15, 14, 45, 26}}, {"1", {115, 114, 125, 126}}, {"2", {195, 114, 205, 126}}};
    for (size_t k = 0; k < placed.size(); ++k) {
        EXPECT_EQ(placed[k].text, expected[k].text);
        EXPECT_EQ(placed[k].box.left, expected[k].box.left) << k;
        EXPECT_EQ(placed[k].box.top, expected[k].box.top) << k;
        EXPECT_EQ(placed[k].box.right, expected[k].box.right) << k;
        EXPECT_EQ(placed[k].box.bottom, expected[k].box.bottom) << k;
    }

    // Two x labels only: the last one must clear the first, or it is left out.
    axes.x = {{1.0, 120, "1"}, {2.0, 126, "2"}};
    const std::vector<PlacedLabel> crowded = PlaceAxisLabels(axes, r, PlotRect{0, 0, 300, 200}, measure);
    ASSERT_EQ(crowded.size(), 3u);
    EXPECT_EQ(crowded[2].text, "1");
}

TEST(PlaceInsideClient, MovesAndShrinksOnlyAsFarAsNeeded)
{
    struct Case {
        const char* name;
        PlotRect window;
        PlotRect expected;
    } const cases[] = {
        {"inside stays", {10, 20, 310, 220}, {10, 20, 310, 220}},
        {"past the right edge moves left", {110, 30, 1110, 330}, {0, 30, 1000, 330}},
        {"past the bottom moves up", {50, 600, 350, 900}, {50, 500, 350, 800}},
        {"wider than the client shrinks to it", {40, 10, 1240, 210}, {0, 10, 1000, 210}},
        {"above and left of the client comes in", {-30, -5, 170, 95}, {0, 0, 200, 100}},
    };
    for (const Case& c : cases) {
        const PlotRect r = PlaceInsideClient(c.window, 1000, 800);
        EXPECT_EQ(r.left, c.expected.left) << c.name;
        EXPECT_EQ(r.top, c.expected.top) << c.name;
        EXPECT_EQ(r.right, c.expected.right) << c.name;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.name;
    }
}
