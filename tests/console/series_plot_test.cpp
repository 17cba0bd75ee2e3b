// The series plot on the scripted PC: the plot page (frame, zero line, labels, markers, the pause
// before the second series), the menu page, the subset and bounds dialogues, the programs' variants
// of the one dialogue, and the refusals of bad counts and values.
#include "scripted_pc.h"

#include "console/menu.h"
#include "console/series_plot.h"
#include "platform/pc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Screen pixels of the plot frame's corners.
constexpr int kLeftX = 50, kRightX = 550, kTopY = 24, kBottomY = 274;
constexpr int kMagenta = 5;
constexpr double kTwoPi = 6.283185307179586;

std::string Spaces(int n)
{
    return std::string(static_cast<size_t>(n), ' ');
}

// The horizontal labels' row: first (I7 from column 6), 60 blanks, last (I5).
std::string AxisRow(const std::string& firstI7, const std::string& lastI5)
{
    return Spaces(6) + firstI7 + Spaces(60) + lastI5;
}

std::string ScaleRow(const std::string& unit)
{
    return Spaces(13) + " Vertical scale: 1 unit = " + Spaces(22 - static_cast<int>(unit.size())) + unit;
}

std::string BoundRow(const char* which, const std::string& value)
{
    return std::string(" ") + which + " on vertical axis  = " + Spaces(22 - static_cast<int>(value.size())) + value;
}

const std::string kIndices = " Indices i,j of first and last values required";

struct RowCheck {
    int wait;  // -1: the screen at the end
    int row;
    std::string text;
};

struct PlotCase {
    const char* name;
    int n;
    int h;
    float (*value)(int i);  // v(i), i = 1..n + h: the observations, then the further values
    bool shared;            // PlotSeries over the shared buffers, else the caller's arrays
    bool secondSeries;      // with the caller's arrays: a second series at all
    SeriesPlotStyle style;
    std::string script;
    std::vector<int> plotPages;  // waits that show a finished plot
    int pause;                   // the wait before the second series, or -1
    int zeroY;                   // the zero line's screen row on the plot pages
    std::vector<RowCheck> rows;
    const char* picture;  // a PNG of the first plot page for a person, or null
};

SeriesPlotStyle Lags()
{
    SeriesPlotStyle style;
    style.lagAxis = true;
    return style;
}

SeriesPlotStyle OspeData()
{
    SeriesPlotStyle style;
    style.continueId = 1;
    style.subsetId = 2;
    style.rescaleId = 3;
    style.clearRefusedSubset = false;
    return style;
}

SeriesPlotStyle OspeForecasts()
{
    SeriesPlotStyle style = OspeData();
    style.windowAlways = true;
    style.pauseAlways = true;
    return style;
}

float Steps(int i)
{
    return static_cast<float>(i % 7);
}

float WaveThenForecasts(int i)
{
    // Observations inside (-2.5, 2.5); the twelve further values reach 7 and -3 inside the window,
    // so that no marker lies on a corner of the frame.
    const float further[] = {1, 4, 7, 5, 2, 0, -1, -3, -1, 0, 1, 2};
    if (i <= 1500)
        return static_cast<float>(2 * std::sin(kTwoPi * i / 250) + 0.45 * std::sin(i * 1.0));
    return further[(i - 1501) % 12];
}

float ShortWave(int i)
{
    return static_cast<float>(3 + 2 * std::sin(kTwoPi * i / 40) + 0.3 * std::sin(1.7 * i));
}

float SmallValues(int i)
{
    return static_cast<float>(0.02 + 0.03 * (i - 1) / 19);
}

float IndexButLast(int i)
{
    return static_cast<float>(i == 10 ? 5 : i);
}

float MinusOneToTwo(int i)
{
    const float v[] = {-1, 0, 2, 1};
    return v[(i - 1) % 4];
}

float DampedWave(int i)
{
    return static_cast<float>(1 + std::sin(i / 7.0) * std::pow(0.99, i));
}

// -3..6, with neither extreme at the ends of the plots below.
float Zigzag(int i)
{
    return static_cast<float>((i + 5) % 10 - 3);
}

// Fills the shared buffers or the caller's arrays from v, runs the plot and checks what is common
// to every case.
void RunCase(const PlotCase& c)
{
    const int total = c.n + c.h;
    std::vector<float> a(static_cast<size_t>(total), -77.0f);
    std::vector<float> b(static_cast<size_t>(total), kPlotNoValue);
    for (int i = 1; i <= total; ++i)
        (i <= c.n ? a : b)[static_cast<size_t>(i - 1)] = c.value(i);
    if (c.shared) {
        std::copy(a.begin(), a.end(), PlotBufferA + 1);
        std::copy(b.begin(), b.end(), PlotBufferB + 1);
    }
    int status = -1;
    const ScriptedRun run = RunScripted(c.script, [&] {
        status = c.shared ? PlotSeries(c.n, c.h)
                          : PlotSeriesWith(c.n, c.h, a.data(), c.secondSeries ? b.data() : nullptr, c.style);
    });
    ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
    EXPECT_EQ(status, 1) << c.name;
    EXPECT_EQ(run.inputsLeft, 0) << c.name;
    // The further values stand after the observations on return.
    const float* after = c.shared ? PlotBufferA + 1 : a.data();
    for (int i = c.n + 1; i <= total; ++i)
        EXPECT_EQ(after[i - 1], c.value(i)) << c.name << " " << i;

    for (const RowCheck& check : c.rows) {
        const ScreenPicture& shown = check.wait < 0 ? run.end : run.waits.at(static_cast<size_t>(check.wait));
        EXPECT_EQ(shown.Row(check.row), check.text) << c.name << ", wait " << check.wait << ", row " << check.row;
    }
    for (int page : c.plotPages) {
        // The frame and the zero line are whole: curves may cross them, nothing erases them.
        const ScreenPicture& shown = run.waits.at(static_cast<size_t>(page));
        EXPECT_EQ(shown.Count(kLeftX, kTopY, kRightX, kTopY, 0), 0) << c.name << " top";
        EXPECT_EQ(shown.Count(kLeftX, kBottomY, kRightX, kBottomY, 0), 0) << c.name << " bottom";
        EXPECT_EQ(shown.Count(kLeftX, kTopY, kLeftX, kBottomY, 0), 0) << c.name << " left";
        EXPECT_EQ(shown.Count(kRightX, kTopY, kRightX, kBottomY, 0), 0) << c.name << " right";
        EXPECT_EQ(shown.Count(kLeftX, c.zeroY, kRightX, c.zeroY, 0), 0) << c.name << " zero line";
        EXPECT_GT(shown.Count(kLeftX, c.zeroY, kRightX, c.zeroY, 15), 0) << c.name << " zero line";
        // Nothing is drawn right of the frame but ticks, half markers and text.
        EXPECT_EQ(shown.Count(kRightX + 3, kTopY - 1, kRightX + 20, kBottomY + 1, 9), 0) << c.name;
        if (c.picture && page == c.plotPages.front()) {
            EXPECT_NE(DumpPicture(shown, c.picture), "") << c.name;
        }
    }
    if (c.pause >= 0) {
        // Observations drawn, nothing of the second series yet; it follows the key.
        const ScreenPicture& paused = run.waits.at(static_cast<size_t>(c.pause));
        EXPECT_GT(paused.Count(kLeftX, kTopY, kRightX, kBottomY, 9), 0) << c.name;
        EXPECT_EQ(paused.Count(0, 0, kPcWidth - 1, kPcHeight - 1, kMagenta), 0) << c.name;
        if (c.h > 1) {
            const ScreenPicture& next = run.waits.at(static_cast<size_t>(c.pause + 1));
            EXPECT_GT(next.Count(kLeftX, kTopY, kRightX, kBottomY, kMagenta), 0) << c.name;
        }
    }
}

TEST(SeriesPlot, PagesDialoguesAndVariants)
{
    const std::string menuAfterPlot = "key enter";  // "Continue" is barred first
    const std::string prompt11 = Spaces(33) + "(0<i<j<   11) :";
    const PlotCase cases[] = {
        {"h = 0 shows 1..n without a pause", 50, 0, Steps, true, true, SeriesPlotStyle(), "key x\n" + menuAfterPlot,
         {0}, -1, kBottomY,
         {{0, 0, "    600"},
          {0, 18, "      0"},
          {0, 19, AxisRow("      0", "   50")},
          {0, 20, ScaleRow("0.010000")},
          {1, 0, ""},
          {1, 1, BoundRow("Max.", "6.000000")},
          {1, 2, BoundRow("Min.", "0.000000")},
          {1, 3, ""},
          {1, 5, " Continue"},
          {1, 6, " Plot a subset of the data"},
          {1, 7, " Rescale the vertical axis"},
          {-1, 5, " Continue"}},
         nullptr},
        {"n = 1500, h = 12 starts at 500 and waits before the further values; -3..7 puts zero at 185", 1500, 12,
         WaveThenForecasts, true, true, SeriesPlotStyle(), "key a\nkey b\n" + menuAfterPlot, {1}, 0, 185 + 14,
         {{1, 0, "    700"},
          {1, 18, "   -300"},
          {1, 19, AxisRow("    499", " 1512")},
          {2, 1, BoundRow("Max.", "7.000000")},
          {2, 2, BoundRow("Min.", "-3.000000")}},
         nullptr},
        {"a forecast plot for a person to look at", 150, 12, ShortWave, true, true, SeriesPlotStyle(),
         "key x\nkey x\n" + menuAfterPlot, {1}, 0, kBottomY, {{1, 19, AxisRow("      0", "  162")}}, "plot-page"},
        {"values in 0.02..0.05 give labels 50 and 20 and the unit 0.001", 20, 0, SmallValues, true, true,
         SeriesPlotStyle(), "key x\n" + menuAfterPlot, {0}, -1, kBottomY,
         {{0, 0, "     50"}, {0, 18, "     20"}, {0, 20, ScaleRow("0.001000")}, {1, 1, BoundRow("Max.", "0.050000")}},
         nullptr},
        {"subsets: unreadable asked again; 0,5, 5,4 and j > N refused on a cleared screen; 5,5 taken", 10, 0, IndexButLast,
         true, true, SeriesPlotStyle(),
         "key x\nkey p\nline abc\nline 0 5\nline 5 4\nline 1 11\nline 5 5\nline 6\nline 4\nkey x\nkey c", {0, 9}, -1,
         kBottomY,
         {{2, 9, " Total number of data values =    10"},
          {2, 10, kIndices},
          {2, 11, prompt11},
          {3, 11, prompt11 + "abc"},
          {3, 12, " Entry \"abc\" is not a number."},
          {3, 13, kIndices},
          {3, 14, prompt11},
          {4, 2, " Total number of data values =    10"},
          {4, 4, prompt11},
          {4, 9, ""},
          {6, 4, prompt11},
          // One index is a constant range: bounds first.
          {7, 4, prompt11 + "5 5"},
          {7, 6, "  Enter maximum for vertical scale :"},
          {9, 0, "    600"},
          {9, 18, "    400"},
          {9, 19, AxisRow("      4", "    5")},
          {10, 1, BoundRow("Max.", "6.000000")},
          {10, 2, BoundRow("Min.", "4.000000")}},
         nullptr},
        {"rescale: bounds inside the data refused, then taken for one drawing", 4, 0, MinusOneToTwo, true, true,
         SeriesPlotStyle(), "key x\nkey r\nline 1.5\nline 3\nline 3\nline 4\nline -2\nkey x\nkey c", {0, 7}, -1,
         177 + 14,
         {{5, 8, "  Enter maximum for vertical scale : 1.5"},
          {5, 9, "   Data outside given bounds. - Respecify bounds."},
          {5, 10, "  Enter maximum for vertical scale : 3"},
          {5, 11, "  Enter minimum for vertical scale : 3"},
          {5, 12, "   Data outside given bounds. - Respecify bounds."},
          {5, 13, "  Enter maximum for vertical scale :"},
          {7, 0, "    400"},
          {7, 18, "   -200"},
          {8, 1, BoundRow("Max.", "4.000000")},
          {8, 2, BoundRow("Min.", "-2.000000")}},
         nullptr},
        {"lags: labels -1..299; -1,5 and 3,300 refused; 0,9 plots lags 0..9", 300, 0, DampedWave, false, true,
         Lags(), "key x\nkey p\nline -1 5\nline 3 300\nline 0 9\nkey x\nkey c", {0, 5}, -1, kBottomY,
         {{0, 19, AxisRow("     -1", "  299")},
          {2, 9, " Maximum lag =   299"},
          {2, 10, " Indices i,j of first and last lags required"},
          {2, 11, Spaces(33) + "(-1<i<j<  300) :"},
          {3, 9, ""},
          {4, 2, " Maximum lag =   299"},
          {5, 19, AxisRow("     -1", "    9")}},
         nullptr},
        {"halvire's prediction plot, n = 500 and h = 20, shows all 520 values", 500, 20, Zigzag, false, true,
         SeriesPlotStyle(), "key x\nkey x\nkey c", {1}, 0, 177 + 14,
         {{1, 19, AxisRow("      0", "  520")}}, nullptr},
        {"halvire's longest plot, 20,000 values and 100 predictions, past the shared buffers' size", 20000, 100,
         Zigzag, false, true, SeriesPlotStyle(), "key x\nkey x\nkey c", {1}, 0, 177 + 14,
         {{1, 19, AxisRow("  18999", "20100")}}, nullptr},
        {"ospe's data plot: 1500 values, menu 1, 2, 3, a refused subset asked again below", 1500, 0, Zigzag, false,
         false, OspeData(), "key x\nkey p\nline 0 5\nline 2 8\nkey x\nkey c", {0, 4}, -1, 177 + 14,
         {{0, 19, AxisRow("      0", " 1500")},
          {3, 9, " Total number of data values =  1500"},
          {3, 11, Spaces(33) + "(0<i<j< 1501) :0 5"},
          {3, 14, " Total number of data values =  1500"},
          {3, 16, Spaces(33) + "(0<i<j< 1501) :"},
          {4, 19, AxisRow("      1", "    8")}},
         nullptr},
        {"ospe's forecast plot with h = 0 starts at 500 and pauses once", 1500, 0, Zigzag, false, true, OspeForecasts(),
         "key x\nkey x\nkey c", {1}, 0, 177 + 14, {{1, 19, AxisRow("    499", " 1500")}}, nullptr},
    };
    for (const PlotCase& c : cases)
        RunCase(c);
    // The last menu was ospe's, with its identifiers.
    EXPECT_EQ(MenuItems.identifiers[1], 1);
    EXPECT_EQ(MenuItems.identifiers[2], 2);
    EXPECT_EQ(MenuItems.identifiers[3], 3);
}

TEST(SeriesPlot, FrameTicksAndZeroLine)
{
    const float v[] = {-3, 7, 2};  // zero at 185 of the plot frame
    std::copy(std::begin(v), std::end(v), PlotBufferA + 1);
    std::fill(PlotBufferB + 1, PlotBufferB + 4, kPlotNoValue);
    const ScriptedRun run = RunScripted("key x\nkey c", [] { (void)PlotSeries(3, 0); });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    const ScreenPicture& shown = run.waits.at(0);
    const int zeroY = 185 + 14;
    for (auto [x, y] : {std::pair{kLeftX, kTopY}, {kRightX, kTopY}, {kLeftX, kBottomY}, {kRightX, kBottomY}})
        EXPECT_EQ(shown.Pixel(x, y), 15) << "corner " << x << "," << y;
    EXPECT_EQ(shown.Count(kLeftX, kTopY, kLeftX, kBottomY, 15), kBottomY - kTopY + 1);
    // The markers at (383, 24), (217, 274) and (550, 149) and the lines cross a few pixels only.
    EXPECT_GE(shown.Count(kLeftX, kTopY, kRightX, kTopY, 15), 495);
    EXPECT_GE(shown.Count(kLeftX, kBottomY, kRightX, kBottomY, 15), 495);
    EXPECT_GE(shown.Count(kRightX, kTopY, kRightX, kBottomY, 15), 245);
    EXPECT_GE(shown.Count(kLeftX, zeroY, kRightX, zeroY, 15), 498);
    EXPECT_EQ(shown.Pixel(kLeftX - 1, zeroY + 1), 0);
    EXPECT_EQ(shown.Pixel(kRightX + 1, zeroY + 1), 0);
    for (int k = 0; k <= 10; ++k) {
        const int y = kTopY + 25 * k;
        EXPECT_EQ(shown.Pixel(kLeftX - 1, y), 15) << "left tick " << k;
        EXPECT_EQ(shown.Pixel(kRightX + 1, y), 15) << "right tick " << k;
        EXPECT_EQ(shown.Pixel(kLeftX - 2, y), 0) << "left tick " << k;
        const int x = kLeftX + 50 * k;
        for (int edge : {kTopY, kBottomY, zeroY}) {
            EXPECT_EQ(shown.Pixel(x, edge - 1), 15) << "tick " << k << " at " << edge;
            EXPECT_EQ(shown.Pixel(x, edge + 1), 15) << "tick " << k << " at " << edge;
            if (k < 10) {
                EXPECT_EQ(shown.Pixel(x + 25, edge - 1), 0) << "between ticks " << k << " at " << edge;
            }
        }
    }
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(shown.Pixel(kRightX + 1, kTopY + 25 * k + 12), 0) << "between right ticks " << k;
}

TEST(SeriesPlot, TheSubsetDialogueLeavesTheMenuFrameWhole)
{
    const float v[] = {1, 3, 2};
    std::copy(std::begin(v), std::end(v), PlotBufferA + 1);
    std::fill(PlotBufferB + 1, PlotBufferB + 4, kPlotNoValue);
    const ScriptedRun run = RunScripted("key x\nkey p\nline 1 2\nkey x\nkey c", [] { (void)PlotSeries(3, 0); });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    // The menu at column 1, row 5, 27 cells wide: its right side at x = 226 from y = 68 to 114.
    const ScreenPicture& asking = run.waits.at(2);
    EXPECT_EQ(asking.Count(226, 68, 226, 114, 7), 114 - 68 + 1);
    EXPECT_EQ(asking.Count(6, 114, 226, 114, 7), 226 - 6 + 1);
}

// The marker of the index in the middle of a plot whose values are 0 but for 1 at the first index,
// -1 at the last and 0.5 in the middle, so that nothing else touches it.
float Isolated(int i, int total)
{
    return i == 1 ? 1.0f : i == total ? -1.0f : i == total / 2 ? 0.5f : 0.0f;
}

TEST(SeriesPlot, MarkersShrinkWithTheNumberOfPoints)
{
    struct Case {
        int n;
        int h;
        int half;  // 2: 5 x 5, 1: 3 x 3, 0: one point
    };
    // Hollow markers of observations by their number; filled ones of the second series by the
    // plotted count, where exactly 5000 keeps the large marker.
    const Case cases[] = {{1000, 0, 2}, {1001, 0, 1}, {5000, 0, 1}, {5001, 0, 0},
                          {10, 990, 2}, {10, 991, 1}, {10, 4990, 2}, {10, 4991, 0}};
    for (const Case& c : cases) {
        const int total = c.n + c.h;
        for (int i = 1; i <= total; ++i) {
            (i <= c.n ? PlotBufferA : PlotBufferB)[i] = Isolated(i, total);
            if (i <= c.n)
                PlotBufferB[i] = kPlotNoValue;
        }
        const ScriptedRun run =
            RunScripted(c.h > 0 ? "key x\nkey x\nkey c" : "key x\nkey c", [&] { (void)PlotSeries(c.n, c.h); });
        ASSERT_EQ(run.ending, "returned") << c.n << "+" << c.h;
        const ScreenPicture& shown = run.waits.at(c.h > 0 ? 1 : 0);
        const int m = total / 2;
        const int x = static_cast<int>(std::lround(50 + m * 500.0 / total));
        const int y = static_cast<int>(std::lround(260 - 1.5 * 250 / 2)) + 14;  // 0.5 in -1..1
        const bool filled = m > c.n;
        const int half = c.half;
        const std::string name = std::to_string(c.n) + "+" + std::to_string(c.h);
        if (half == 0) {
            // One point, where the curve's lines end.
            EXPECT_NE(shown.Pixel(x, y), 0) << name;
            EXPECT_EQ(shown.Pixel(x - 1, y - 1), 0) << name;
            EXPECT_EQ(shown.Pixel(x, y - 1), 0) << name;
            continue;
        }
        // The marker's top row and left column, and nothing just outside them.
        for (int d = -half; d <= half; ++d) {
            EXPECT_EQ(shown.Pixel(x + d, y - half), 9) << name << " top " << d;
            EXPECT_EQ(shown.Pixel(x - half, y + d), 9) << name << " left " << d;
        }
        EXPECT_EQ(shown.Pixel(x - half - 1, y - half), 0) << name;
        EXPECT_EQ(shown.Pixel(x - half, y - half - 1), 0) << name;
        if (half == 2) {
            EXPECT_EQ(shown.Pixel(x - 1, y - 1), filled ? 9 : 0) << name << " inside";
        }
    }
}

TEST(SeriesPlot, BadCountsAndValuesAreRefusedWithoutDrawing)
{
    struct Case {
        const char* name;
        int n;
        int h;
        float a1;
        float b2;
    };
    const Case cases[] = {
        {"no observations", 0, 0, 1, kPlotNoValue},
        {"negative h", 5, -1, 1, kPlotNoValue},
        {"more than the buffers hold", 10000, 21, 1, kPlotNoValue},
        {"h past the integer range", 5, 2147483647, 1, kPlotNoValue},
        {"a NaN observation", 5, 0, NAN, kPlotNoValue},
        {"an infinite observation", 5, 0, INFINITY, kPlotNoValue},
        {"a NaN in the second series", 5, 0, 1, NAN},
        {"-Inf in the second series", 5, 0, 1, -INFINITY},
    };
    for (const Case& c : cases) {
        for (int i = 1; i <= 10; ++i) {
            PlotBufferA[i] = static_cast<float>(i);
            PlotBufferB[i] = kPlotNoValue;
        }
        PlotBufferA[1] = c.a1;
        PlotBufferB[2] = c.b2;
        int status = -1;
        const ScriptedRun run = RunScripted("", [&] { status = PlotSeries(c.n, c.h); });
        EXPECT_EQ(run.ending, "returned") << c.name;
        EXPECT_EQ(status, 0) << c.name;
        EXPECT_EQ(run.end.Count(0, 0, kPcWidth - 1, kPcHeight - 1, 0), kPcWidth * kPcHeight) << c.name;
    }
    // +Inf in the second series is a value above 1e29: no value, plotted without it.
    for (int i = 1; i <= 5; ++i) {
        PlotBufferA[i] = static_cast<float>(i);
        PlotBufferB[i] = i == 3 ? INFINITY : kPlotNoValue;
    }
    int status = -1;
    const ScriptedRun run = RunScripted("key x\nkey c", [&] { status = PlotSeries(5, 0); });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(run.waits.at(0).Row(0), "    500");
}

TEST(SeriesPlot, BoundsPrompts)
{
    struct Case {
        const char* name;
        BoundsPromptStyle style;
        float max, min;  // the data's
        std::string script;
        float newMax, newMin;
        std::vector<std::string> rows;  // from row 0 of a cleared screen
    };
    BoundsPromptStyle ospe;
    ospe.emptyLinesFirst = 2;
    ospe.emptyLineAfterOrderMessage = true;
    ospe.outsideMessage = "Data outside given bounds. - Respecify bounds.";
    const std::string max = "  Enter maximum for vertical scale : ";
    const std::string min = "  Enter minimum for vertical scale : ";
    const Case cases[] = {
        {"data -1..2: 1.5 and then a minimum of 3 are outside; unreadable asked again",
         BoundsPromptStyle(),
         2,
         -1,
         "line 1.5\nline 3\nline 3\nline x\nline 3\nline -2",
         3,
         -2,
         {"", max + "1.5", "   Data outside given bounds. - Respecify bounds.", max + "3", min + "3",
          "   Data outside given bounds. - Respecify bounds.", max + "x", " Entry \"x\" is not a number.", max + "3",
          min + "-2", "", ""}},
        {"constant 3: 3 and 3 is not an order", BoundsPromptStyle(), 3, 3, "line 3\nline 3\nline 1e38\nline -1e38", 1e38f,
         -1e38f, {"", max + "3", min + "3", " Min must be less than max.  Respecify.", max + "1e38", min + "-1e38", ""}},
        {"ospe's prompt", ospe, 3, 3, "line 2\nline 3\nline 3\nline 4\nline 2", 4, 2,
         {"", "", max + "2", " Data outside given bounds. - Respecify bounds.", max + "3", min + "3",
          " Min must be less than max.  Respecify.", "", max + "4", min + "2", ""}},
        {"NaN and Inf are not numbers", BoundsPromptStyle(), 1, 0, "line nan\nline inf\nline 1\nline -inf\nline 0", 1, 0,
         {"", max + "nan", " Entry \"nan\" is not a finite number.", max + "inf",
          " Entry \"inf\" is not a finite number.", max + "1", min + "-inf", " Entry \"-inf\" is not a finite number.",
          min + "0", ""}},
    };
    for (const Case& c : cases) {
        float newMax = c.max, newMin = c.min;
        const ScriptedRun run = RunScripted(c.script, [&] { AskVerticalBoundsWith(newMax, newMin, c.style); });
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(newMax, c.newMax) << c.name;
        EXPECT_EQ(newMin, c.newMin) << c.name;
        for (size_t row = 0; row < c.rows.size(); ++row)
            EXPECT_EQ(run.end.Row(static_cast<int>(row)), c.rows[row]) << c.name << " row " << row;
    }
}

}  // namespace
