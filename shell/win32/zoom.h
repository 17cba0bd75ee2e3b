#pragma once
// Zooming a plot window with the mouse (region, range, out), the mouse position in data units on
// the status bar, and the "Set plot limits" dialog.
#include <windows.h>

#include <cstdint>

#include "shell/plot_layout.h"
#include "shell/plot_record.h"

// Shared by all plot windows: one drag at a time. ZoomMode itself belongs to the frame.
extern int32_t ZoomDragging;  // 1 between button-down and button-up of a region or range drag
extern int32_t ZoomPanel;     // panel of the current drag; 1 when idle
extern PlotRect ZoomRect;     // the rubber band, client coordinates

// Each returns 1, or 0 when the plot has no window. x and y are client coordinates.
// Button-down in mode 1 or 2: captures the mouse and starts the band over the panel under it.
int32_t StartZoom(PlotRecord& plot, int32_t x, int32_t y);
// Mouse move during a drag: the band (drawn with XOR) follows the mouse.
int32_t TrackZoom(PlotRecord& plot, int32_t x, int32_t y);
// Button-up during a drag: applies the band's limits when it has a width and a height, repaints,
// releases the capture and ends the zoom mode.
int32_t FinishZoom(PlotRecord& plot);
// The capture was taken away during a drag: the band is erased and the drag and the zoom mode
// end without changing any limits.
int32_t AbandonZoom(PlotRecord& plot);
// Button-down in mode 3: automatic limits again, repaint, and the zoom mode ends.
int32_t ZoomOut(PlotRecord& plot);
// Every mouse move: "( x, y )" of the panel under the mouse in part 2 of the status bar. When no
// panel is drawn the status bar is left as it is.
int32_t ShowPlotCoordinates(PlotRecord& plot, int32_t x, int32_t y);
// Dialog 110 for the panels in use; OK stores the limits and repaints. Returns 1 for OK, 0 for
// Cancel, for no panel in use and without a window.
int32_t ManualZoom(PlotRecord& plot);
