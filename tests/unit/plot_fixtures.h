#pragma once
// Plot records for the layout and zoom tests.
#include "shell/plot_record.h"

#include <gtest/gtest.h>

#include <vector>

// Curves in `panelsWithData`; `panelsInUse` are in use without a curve (counted, not drawn).
inline PlotRecord RecordWithPanels(std::vector<int32_t> panelsWithData, std::vector<int32_t> panelsInUse = {})
{
    PlotRecord plot;
    InitPlotRecord(plot);
    int32_t k = 1;
    for (int32_t p : panelsWithData) EXPECT_EQ(SetCurveYInPanel(plot, k++, {1, 3, 2}, 1, 3, p), 1);
    for (int32_t p : panelsInUse) plot.panels[p].inUse = 1;
    AutoscalePlot(plot);
    return plot;
}
