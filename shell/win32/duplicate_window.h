#pragma once
// Duplicates: frozen copies of a plot (a picture) or of a report (its text) in windows of their
// own that belong to no project. They outlive their source and send no activation messages.
#include <windows.h>

#include "shell/plot_record.h"

// Opens an empty plot duplicate titled "DUPLICATE" and gives it the focus.
HWND CreateDupPlotWindow();
// Freezes `source` into `duplicate`: title "(DUPLICATE) " and the source's title, the source's
// outer size, and the plot recorded as a picture at the duplicate's client size less 10 units on
// every side. Nothing is done when the source has no window.
void FillDupPlot(HWND duplicate, PlotRecord& source);
// Opens an empty report duplicate titled "DUPLICATE" and gives it the focus.
HWND CreateDupTextWindow();
// Copies the whole text of report window `source` into `duplicate`, with title and size as
// FillDupPlot. Nothing is done when the source no longer exists.
void FillDupText(HWND duplicate, HWND source);

// The picture a plot duplicate owns (null when none).
HENHMETAFILE DupPicture(HWND duplicate);

LRESULT CALLBACK DupPlotWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DupTextWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
