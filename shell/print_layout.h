#pragma once
// Where printed plots, pictures and report lines go on the printer's page: portable, so the page
// arithmetic is tested without a printer. All sizes are in printer pixels unless named inches.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/plot_layout.h"

// A live plot of wIn by hIn inches on a printable area of pw by ph inches (dpiX, dpiY pixels per
// inch): shrunk by 0.9 at a time until it fits, keeping its proportions (its screen size when it
// fits at once), then placed m = (pw - wIn) / 2 inches from the left and from the top; when the
// top margin would push it past the page's bottom, it is centred vertically instead. Returns 1
// with `out` in printer pixels; 0 when any size or resolution is not positive and finite.
[[nodiscard]] int32_t PlacePlotOnPage(double wIn, double hIn, double pw, double ph, int32_t dpiX, int32_t dpiY,
                                      PlotRect& out);

// A recorded picture of w by h device units on a printable area of pageW by pageH pixels: the
// integer scale s = pageW / w while s >= 1 and the scaled picture, placed m = (pageW - s w) / 2
// from the left and the top, fits the page; otherwise the real factor that fits both the width
// and the height, centred across and placed at m from the top (centred vertically when that
// does not fit). Returns 1 with `out`; 0 when a size is not positive.
[[nodiscard]] int32_t PlacePictureOnPage(int32_t w, int32_t h, int32_t pageW, int32_t pageH, PlotRect& out);

// Where to play a picture so that its drawing lands on `area`. Playing stretches the picture's
// frame, not its drawing, onto the target, and the two differ (labels reach past the frame, the
// margins inside it are blank); `frame` and `bounds` are both in the recording device's pixels.
// Returns 1 with `target`; 0 when the bounds or the area have no size.
[[nodiscard]] int32_t PictureTarget(const PlotRect& frame, const PlotRect& bounds, const PlotRect& area,
                                    PlotRect& target);

// A report line on a page: its index among the report's lines and its top in printer pixels.
struct PrintedLine {
    size_t line = 0;
    int32_t y = 0;
};
// The pages of a report: on each page the first line is written one line height from the top,
// each further line one line height below the last; a line that would reach past pageHeight
// starts a new page. Empty lines are skipped and take no space. Returns 1 with `pages` (no page
// for a report without text); 0 when lineHeight is not positive or a page cannot hold one line
// below its top line height.
[[nodiscard]] int32_t PaginateReport(const std::vector<std::string>& lines, int32_t lineHeight, int32_t pageHeight,
                                     std::vector<std::vector<PrintedLine>>& pages);
