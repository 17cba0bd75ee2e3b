#include "console/series_plot.h"

#include "console/menu.h"
#include "console/screen.h"
#include "console/screen_io.h"

#include <climits>
#include <cmath>
#include <new>
#include <string>
#include <vector>

float PlotBufferA[kPlotBufferLength + 1];
float PlotBufferB[kPlotBufferLength + 1];

namespace {

constexpr int kLeft = 50;
constexpr int kRight = 550;
constexpr int kTop = 10;
constexpr int kBottom = 260;
constexpr int kHeight = kBottom - kTop;
constexpr int kWidth = kRight - kLeft;
// Observations start this many indices before the last one when further values follow.
constexpr int kWindow = 1000;
// Marker sizes fall with the number of points.
constexpr int kSmallMarkersAbove = 1000;
constexpr int kPointsAbove = 5000;

int Nint(double x)
{
    return static_cast<int>(std::lround(x));
}

bool HasValue(float v)
{
    return v <= kPlotNoValueAbove;
}

// Line ends only: a blank written at the cursor would wipe a cell of the menu's frame beside it.
void EmptyLines(int count)
{
    for (int i = 0; i < count; ++i)
        ScreenWrite("()", {});
}

float ReadBound(const char* prompt)
{
    for (;;) {
        ScreenWrite(std::string("('") + prompt + "',\\)", {});
        float value = 0.0f;
        if (ScreenReadSingles(1, &value) == 1)
            return value;
    }
}

// A hollow square of PlotPixel points around (x, y): its border of half-width `half`, or the point.
void HollowMarker(int x, int y, int half)
{
    for (int dx = -half; dx <= half; ++dx) {
        for (int dy = -half; dy <= half; ++dy) {
            if (half == 0 || dx == -half || dx == half || dy == -half || dy == half)
                PlotPixel(x + dx, y + dy);
        }
    }
}

void FilledMarker(int x, int y, int half)
{
    for (int dx = -half; dx <= half; ++dx) {
        for (int dy = -half; dy <= half; ++dy)
            PlotPixel(x + dx, y + dy);
    }
}

struct Plot {
    int n = 0;
    int h = 0;
    int total = 0;  // n + h
    const float* a = nullptr;
    const float* b = nullptr;
    const SeriesPlotStyle* style = nullptr;
    int first = 1;
    int last = 1;
    bool rescale = false;
    bool drawn = false;  // a drawing was made in this call
};

// One drawing of the plotted range first..last, up to the scale line and its pause.
void Draw(Plot& plot)
{
    const int count = plot.last - plot.first + 1;
    std::vector<float> values(static_cast<size_t>(count));
    std::vector<float> second(static_cast<size_t>(count));
    float ymax = plot.a[plot.first - 1];
    float ymin = ymax;
    for (int i = 0; i < count; ++i) {
        const int index = plot.first + i;
        values[static_cast<size_t>(i)] = plot.a[index - 1];
        second[static_cast<size_t>(i)] = plot.b ? plot.b[index - 1] : kPlotNoValue;
        ymax = std::fmax(ymax, values[static_cast<size_t>(i)]);
        ymin = std::fmin(ymin, values[static_cast<size_t>(i)]);
        if (HasValue(second[static_cast<size_t>(i)])) {
            ymax = std::fmax(ymax, second[static_cast<size_t>(i)]);
            ymin = std::fmin(ymin, second[static_cast<size_t>(i)]);
        }
    }
    const int shown = plot.last <= plot.n ? count : plot.n - plot.first + 1;
    // A constant range cannot be scaled: bounds are asked first. Before the first drawing the
    // caller's page still shows, with the menu that led here: the prompt gets a page of its own.
    if (!plot.rescale && ymin == ymax && !plot.drawn) {
        SetGraphicsMode(16);
        SetDrawColor(9);
        ScreenWrite("(/,' All the values to be plotted are equal: give the vertical scale.')", {});
    }
    if (plot.rescale || ymin == ymax)
        plot.style->askBounds(ymax, ymin);
    while (!(ymin < ymax) || !std::isfinite(ymin) || !std::isfinite(ymax))
        plot.style->askBounds(ymax, ymin);
    plot.rescale = false;
    plot.drawn = true;
    const double range = static_cast<double>(ymax) - ymin;

    SetGraphicsMode(16);
    SetDrawColor(15);
    // The labels go first: a text cell is drawn whole, blanks too, and the lower labels share
    // their rows with the frame's bottom, which is drawn over them.
    const int k = static_cast<int>(std::trunc(std::log10(std::fmax(ymax, -ymin))));
    const double perUnit = std::pow(10.0, 2 - k);  // labels in units of 10^(k - 2): three digits
    SetTextCursor(1, 0);
    ScreenWrite("(I6)", {Nint(perUnit * ymax)});
    SetTextCursor(1, 18);
    ScreenWrite("(I6)", {Nint(perUnit * ymin)});
    const int labelShift = plot.style->lagAxis ? 1 : 0;
    SetTextCursor(6, 19);
    ScreenWrite("(I7,60X,I5)", {plot.first - 1 - labelShift, plot.last - labelShift});

    DrawPlotLine(kLeft, kTop, kLeft, kBottom);
    int yzero = kBottom;
    if (ymin < 0 && 0 <= ymax)
        yzero = Nint(kBottom + ymin * kHeight / range);
    DrawPlotLine(kLeft, yzero, kRight, yzero);
    DrawPlotLine(kRight, kTop, kRight, kBottom);
    DrawPlotLine(kLeft, kBottom, kRight, kBottom);
    DrawPlotLine(kLeft, kTop, kRight, kTop);
    for (int y = kTop; y <= kBottom; y += kHeight / 10) {
        DrawPlotLine(kLeft - 1, y, kLeft + 1, y);
        DrawPlotLine(kRight - 1, y, kRight + 1, y);
    }
    for (int x = kLeft; x <= kRight; x += kWidth / 10) {
        DrawPlotLine(x, yzero - 1, x, yzero + 1);
        DrawPlotLine(x, kBottom - 1, x, kBottom + 1);
        DrawPlotLine(x, kTop - 1, x, kTop + 1);
    }

    auto px = [&](int i) { return Nint(kLeft + static_cast<double>(i) * kWidth / count); };
    auto py = [&](float v) { return Nint(kBottom - (static_cast<double>(v) - ymin) * kHeight / range); };
    SetDrawColor(9);
    const int hollowHalf = shown <= kSmallMarkersAbove ? 2 : shown <= kPointsAbove ? 1 : 0;
    for (int i = 1; i <= shown; ++i)
        HollowMarker(px(i), py(values[static_cast<size_t>(i - 1)]), hollowHalf);
    for (int i = 1; i < shown; ++i)
        DrawPlotLine(px(i), py(values[static_cast<size_t>(i - 1)]), px(i + 1), py(values[static_cast<size_t>(i)]));
    if (plot.h > 0 || plot.style->pauseAlways)
        WaitKey();
    const int filledHalf =
        count <= kSmallMarkersAbove || count == kPointsAbove ? 2 : count < kPointsAbove ? 1 : 0;
    for (int i = 1; i <= count; ++i) {
        if (HasValue(second[static_cast<size_t>(i - 1)]))
            FilledMarker(px(i), py(second[static_cast<size_t>(i - 1)]), filledHalf);
    }
    SetDrawColor(5);
    for (int i = 1; i < count; ++i) {
        const float from = second[static_cast<size_t>(i - 1)];
        const float to = second[static_cast<size_t>(i)];
        if (HasValue(from) && HasValue(to))
            DrawPlotLine(px(i), py(from), px(i + 1), py(to));
    }
    SetDrawColor(9);
    ScreenWrite("(13X,' Vertical scale: 1 unit = ',F22.6)", {static_cast<float>(std::pow(10.0, k - 2))});
    WaitKey();

    SetGraphicsMode(16);
    SetDrawColor(9);
    EmptyLines(1);
    ScreenWrite("(' Max. on vertical axis  = ',F22.6)", {ymax});
    ScreenWrite("(' Min. on vertical axis  = ',F22.6)", {ymin});
    EmptyLines(2);
}

// Asks for the indices (or lags) to plot until an accepted pair is given.
void AskSubset(Plot& plot)
{
    const bool lags = plot.style->lagAxis;
    const int total = plot.total;
    for (;;) {
        EmptyLines(2);
        if (lags)
            ScreenWrite("(' Maximum lag = ',I5)", {total - 1});
        else
            ScreenWrite("(' Total number of data values = ',I5)", {total});
        int32_t pair[2] = {0, 0};
        do {
            if (lags)
                ScreenWrite("(' Indices i,j of first and last lags required',/,33X,'(-1<i<j<',I5,') :',\\)", {total});
            else
                ScreenWrite("(' Indices i,j of first and last values required',/,33X,'(0<i<j<',I5,') :',\\)",
                            {total + 1});
        } while (ScreenReadInts(2, pair) != 1);
        const int32_t i = pair[0];
        const int32_t j = pair[1];
        if (lags && i > -1 && j < total && i <= j) {
            plot.first = i + 1;
            plot.last = j + 1;
            return;
        }
        if (!lags && i > 0 && j <= total && i <= j) {
            plot.first = i;
            plot.last = j;
            return;
        }
        if (plot.style->clearRefusedSubset) {
            SetGraphicsMode(16);
            SetDrawColor(9);
        }
    }
}

void Dialogue(Plot& plot)
{
    const SeriesPlotStyle& style = *plot.style;
    const std::string mark(1, kMenuHotKeyMark);
    for (;;) {
        Draw(plot);
        MenuClear();
        MenuAdd(style.continueId, mark + "Continue~");
        MenuAdd(style.subsetId, mark + "Plot a subset of the data~");
        MenuAdd(style.rescaleId, mark + "Rescale the vertical axis~");
        int choice = 0, column = kMenuAtCursor, row = 0;
        MenuChoose(choice, column, row);
        if (choice == style.continueId)
            return;
        if (choice == style.rescaleId)
            plot.rescale = true;
        else if (choice == style.subsetId)
            AskSubset(plot);
    }
}

}  // namespace

void AskVerticalBoundsWith(float& max, float& min, const BoundsPromptStyle& style)
{
    const float dataMax = max;
    const float dataMin = min;
    EmptyLines(style.emptyLinesFirst);
    for (;;) {
        const float newMax = ReadBound("  Enter maximum for vertical scale : ");
        if (newMax < dataMax) {
            ScreenWriteList({style.outsideMessage});
            continue;
        }
        const float newMin = ReadBound("  Enter minimum for vertical scale : ");
        if (newMin > dataMin) {
            ScreenWriteList({style.outsideMessage});
            continue;
        }
        if (!(newMin < newMax)) {
            ScreenWriteList({"Min must be less than max.  Respecify."});
            if (style.emptyLineAfterOrderMessage)
                EmptyLines(1);
            continue;
        }
        max = newMax;
        min = newMin;
        EmptyLines(1);
        return;
    }
}

void AskVerticalBounds(float& max, float& min)
{
    AskVerticalBoundsWith(max, min, BoundsPromptStyle());
}

int PlotSeriesWith(int n, int h, float* a, const float* b, const SeriesPlotStyle& style)
{
    if (n < 1 || h < 0 || h > INT_MAX - n || a == nullptr || (h > 0 && b == nullptr))
        return 0;
    const int total = n + h;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(a[i]))
            return 0;
    }
    if (b) {
        for (int i = 0; i < total; ++i) {
            const bool further = i >= n;
            if (std::isnan(b[i]) || (further ? !std::isfinite(b[i]) : b[i] == -INFINITY))
                return 0;
        }
    }
    for (int i = n; i < total; ++i)
        a[i] = b[i];
    Plot plot;
    plot.n = n;
    plot.h = h;
    plot.total = total;
    plot.a = a;
    plot.b = b;
    plot.style = &style;
    plot.first = 1;
    plot.last = total;
    if ((h > 0 || style.windowAlways) && n > kWindow)
        plot.first = n - kWindow;
    try {
        Dialogue(plot);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int PlotSeries(int n, int h)
{
    if (n < 1 || h < 0 || n > kPlotBufferLength || h > kPlotBufferLength - n)
        return 0;
    return PlotSeriesWith(n, h, PlotBufferA + 1, PlotBufferB + 1, SeriesPlotStyle());
}
