#pragma once
// The console programs' series plot: a series, optionally followed by a second series (forecasts
// or any values a caller marks), in a frame with ticks, scaled labels and markers, then a menu to
// go on, plot a subset of the indices or rescale the vertical axis. One dialogue serves every
// program; SeriesPlotStyle holds what differs between them:
//   molda, drav     PlotSeries (the shared buffers), the default style;
//   halvire         PlotSeriesWith over its own series and second series, lagAxis for its
//                   autocovariance plots (restoring what it keeps after its series itself);
//   ospe            PlotSeriesWith over its series (no second series for the data plot), menu
//                   identifiers 1, 2, 3, no clearing before a refused subset is asked again,
//                   windowAlways and pauseAlways for the forecast plot, and its own bounds prompt
//                   (AskVerticalBoundsWith with two empty lines first, an empty line after the
//                   order message and the message without its indent).
//
// Plot frame (screen pixels 14 lower): x 50..550, y 10..260. The value v is drawn at
// y = NINT(260 - (v - ymin) 250 / (ymax - ymin)) and the plotted index with relative number i
// (1 = the first plotted index) at x = NINT(50 + i 500 / count), NINT rounding half away from 0.
#include <cstdint>

// The size of the shared plot buffers.
constexpr int kPlotBufferLength = 10020;
// A second-series value above kPlotNoValueAbove means "no value"; callers store kPlotNoValue.
constexpr float kPlotNoValueAbove = 1e29f;
constexpr float kPlotNoValue = 1.5e29f;

// The shared plot buffers of PlotSeries, indexed 1..kPlotBufferLength (element 0 is not used):
// A holds the series at 1..n, B the second series at 1..n + h, the further values at n + 1 .. n + h.
extern float PlotBufferA[kPlotBufferLength + 1];
extern float PlotBufferB[kPlotBufferLength + 1];

// Asks for new vertical bounds: "  Enter maximum for vertical scale : ", then the minimum, again
// while a number cannot be read, while the bounds do not enclose the data's max and min as given
// on entry (a "Data outside" line) or while min is not below max ("Min must be less than max.
// Respecify."). On return max and min hold the new bounds, finite with min < max.
void AskVerticalBounds(float& max, float& min);

// How a bounds prompt differs between the programs.
struct BoundsPromptStyle {
    int emptyLinesFirst = 1;
    bool emptyLineAfterOrderMessage = false;  // after "Min must be less than max.  Respecify."
    const char* outsideMessage = "  Data outside given bounds. - Respecify bounds.";
};
void AskVerticalBoundsWith(float& max, float& min, const BoundsPromptStyle& style);

struct SeriesPlotStyle {
    // The menu identifiers of "Continue", "Plot a subset of the data", "Rescale the vertical axis".
    int continueId = 3;
    int subsetId = 1;
    int rescaleId = 2;
    // Index i stands for lag i - 1: the axis is labelled first - 2 .. last - 1 and the subset is
    // asked as lags.
    bool lagAxis = false;
    // With n > 1000 the plot starts at index n - 1000 also when there are no further values.
    bool windowAlways = false;
    // The pause for a key after the observations also when there are no further values.
    bool pauseAlways = false;
    // A refused subset clears the screen before it is asked again (else it is asked below).
    bool clearRefusedSubset = true;
    void (*askBounds)(float& max, float& min) = AskVerticalBounds;
};

// Plots a(1..n), the observations, followed by the h further values b(n + 1 .. n + h), which are
// first copied into a(n + 1 .. n + h); the second series is b(1..n + h), a value above 1e29 there
// meaning none. b may be null when there is no second series (then h must be 0). Arrays are passed
// from their first element: a[i - 1] holds a(i). With h > 0 and n > 1000 the plot starts at index
// n - 1000; after the observations it waits for a key before the second series. A range of equal
// values asks for the vertical bounds first, on a page of its own (saying why) when nothing was
// drawn yet, so that the prompt never stands under the caller's menu. Then it shows the
// scale line, waits for a key, and offers the menu until "Continue" is chosen (the menu page stays
// on the screen). Returns 1; 0 without drawing when n < 1, h < 0, b is missing for h > 0, a value
// of a(1..n) or of the further values is not finite, or a second-series value is NaN or -Inf.
int PlotSeriesWith(int n, int h, float* a, const float* b, const SeriesPlotStyle& style);

// PlotSeriesWith over the shared buffers with the default style; also 0 when n + h exceeds them.
int PlotSeries(int n, int h);
