#pragma once
// Printing of the views from their system menus: a live plot drawn again for the printer, a
// report's lines, a duplicate's picture. The user chooses the printer in the print dialog.
#include <windows.h>

#include <cstdint>

#include "shell/plot_record.h"

// The print dialog, returning a device context: the printer's context when the user confirms
// (the caller deletes it), null when cancelled or when the dialog fails (no printer), without a
// message.
HDC GetPrinterDC(HWND owner);

// One job named "KELO" of one page: the plot at its screen size in inches, shrunk to fit. Returns
// 0 when the plot has no window, no printer was chosen or the page cannot be laid out; otherwise
// the result of ending the job.
int32_t PrintPlot(PlotRecord& plot);
// The lines of a report (or duplicate report) window's edit control, on as many pages as they
// need; blank lines take no space. Returns 0 when the window does not exist, no printer was
// chosen or the printer's page cannot hold a line; otherwise the result of ending the job.
int32_t PrintTextWindow(HWND window);
// A duplicate's picture, scaled to the page's width (an integer scale while it fits). As PrintPlot;
// a picture without size is refused with 0.
int32_t PrintMetafile(HWND window, HENHMETAFILE picture);
