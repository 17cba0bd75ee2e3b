#include "console/ospe.h"

#include "console/series_plot.h"

namespace {

SeriesPlotStyle DataStyle()
{
    SeriesPlotStyle style;
    style.continueId = 1;
    style.subsetId = 2;
    style.rescaleId = 3;
    style.clearRefusedSubset = false;
    style.askBounds = OspeBoundsPrompt;
    return style;
}

}  // namespace

int OspePlotData(int n, float* X)
{
    return PlotSeriesWith(n, 0, X, nullptr, DataStyle());
}

int OspePlotForecasts(int n, int h, float* X, const float* B)
{
    SeriesPlotStyle style = DataStyle();
    style.windowAlways = true;
    style.pauseAlways = true;
    return PlotSeriesWith(n, h, X, B, style);
}

void OspeBoundsPrompt(float& max, float& min)
{
    BoundsPromptStyle style;
    style.emptyLinesFirst = 2;
    style.emptyLineAfterOrderMessage = true;
    style.outsideMessage = "Data outside given bounds. - Respecify bounds.";
    AskVerticalBoundsWith(max, min, style);
}
