#pragma once
// Drawing of a plot record into any device context: the panels' frames, axes, ticks, labels and
// titles, and the curves in their styles, in the colours of PlotColors.
#include <windows.h>

#include <cstdint>
#include <string>

#include "shell/plot_layout.h"
#include "shell/plot_record.h"

// Draws `plot` into `rect` of `dc`. selector 0 draws every panel in use, 1..10 only that panel.
// When computeMapping is not 0 the panels' pixel mappings are stored for the mouse (only the
// window's own repaint passes 1). `visible`, when given, is the part of the device that is shown
// (a window's client area, which `rect` may overrun): axis labels go anywhere in it where they are
// shown whole; without it, only inside `rect`. Returns 1 when something was drawn, 0 otherwise (empty rectangle, selector above 10, no
// shown curve, no panel in use).
int32_t DrawPlot(PlotRecord& plot, HDC dc, const RECT& rect, int32_t selector, int32_t computeMapping,
                 const RECT* visible = nullptr);

// The size of `text` on `dc` in the axis-label font of height `fontHeight`, as DrawPlot draws it.
LabelSize MeasureAxisLabel(HDC dc, const std::string& text, int32_t fontHeight);
