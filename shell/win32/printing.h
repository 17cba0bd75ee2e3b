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

// Where a print job's pages go: the printer chosen in the print dialog, or any other target that
// hands out a device context per page (tests record the pages as pictures).
class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    // The printable area in device pixels and the device's pixels per inch; a device with any of
    // them not positive cannot be printed on.
    virtual int32_t Width() = 0;
    virtual int32_t Height() = 0;
    virtual int32_t DpiX() = 0;
    virtual int32_t DpiY() = 0;
    // A context in the device's default font, for measuring text before the job starts.
    virtual HDC MeasureDc() = 0;
    // Starts the job named "KELO"; false when the device refuses it.
    virtual bool StartJob() = 0;
    // The context of a new page, null when the device refuses it; EndPage finishes that page.
    virtual HDC StartPage() = 0;
    virtual void EndPage() = 0;
    // Ends the job; the device's result of ending it.
    virtual int32_t EndJob() = 0;
};

// The routines below, drawing onto `device`: the same results, without the print dialog.
int32_t PrintPlotOn(PlotRecord& plot, PrintDevice& device);
int32_t PrintTextWindowOn(HWND window, PrintDevice& device);
int32_t PrintMetafileOn(HENHMETAFILE picture, PrintDevice& device);

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
