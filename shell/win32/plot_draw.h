#pragma once
// Drawing of a plot record into any device context: the panels' frames, axes, ticks, labels and
// titles, and the curves in their styles, in the colours of PlotColors.
#include <windows.h>

#include <cstdint>

#include "shell/plot_record.h"

// Draws `plot` into `rect` of `dc`. selector 0 draws every panel in use, 1..10 only that panel.
// When computeMapping is not 0 the panels' pixel mappings are stored for the mouse (only the
// window's own repaint passes 1). `visible`, when given, is the part of the device that is shown
// (a window's client area, which `rect` may overrun): axis labels go only where they are shown
// whole. Returns 1 when something was drawn, 0 otherwise (empty rectangle, selector above 10, no
// shown curve, no panel in use).
int32_t DrawPlot(PlotRecord& plot, HDC dc, const RECT& rect, int32_t selector, int32_t computeMapping,
                 const RECT* visible = nullptr);
