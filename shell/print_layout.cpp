#include "shell/print_layout.h"

#include <algorithm>
#include <cmath>

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0; }

int32_t Pixel(double v) { return ClampPixel(v); }

}  // namespace

int32_t PlacePlotOnPage(double wIn, double hIn, double pw, double ph, int32_t dpiX, int32_t dpiY, PlotRect& out)
{
    if (!Positive(wIn) || !Positive(hIn) || !Positive(pw) || !Positive(ph) || dpiX <= 0 || dpiY <= 0) return 0;
    while (pw < wIn || ph < hIn) {
        wIn *= 0.9;
        hIn *= 0.9;
    }
    const double m = (pw - wIn) * 0.5;
    const double top = m + hIn <= ph ? m : (ph - hIn) * 0.5;
    out.left = Pixel(m * dpiX);
    out.top = Pixel(top * dpiY);
    out.right = Pixel((m + wIn) * dpiX);
    out.bottom = Pixel((top + hIn) * dpiY);
    return 1;
}

int32_t PlacePictureOnPage(int32_t w, int32_t h, int32_t pageW, int32_t pageH, PlotRect& out)
{
    if (w <= 0 || h <= 0 || pageW <= 0 || pageH <= 0) return 0;
    const int64_t s = pageW / w;
    int64_t W = s * w, H = s * h;
    int64_t m = (pageW - W) / 2;
    if (s < 1 || m + H > pageH) {
        const double f = std::min(static_cast<double>(pageW) / w, static_cast<double>(pageH) / h);
        W = std::clamp<int64_t>(static_cast<int64_t>(f * w), 1, pageW);
        H = std::clamp<int64_t>(static_cast<int64_t>(f * h), 1, pageH);
        m = (pageW - W) / 2;
    }
    const int64_t top = m + H <= pageH ? m : (pageH - H) / 2;
    out = PlotRect{static_cast<int32_t>(m), static_cast<int32_t>(top), static_cast<int32_t>(m + W),
                   static_cast<int32_t>(top + H)};
    return 1;
}

int32_t PictureTarget(const PlotRect& frame, const PlotRect& bounds, const PlotRect& area, PlotRect& target)
{
    if (bounds.Width() <= 0 || bounds.Height() <= 0 || area.Width() <= 0 || area.Height() <= 0) return 0;
    const double kx = static_cast<double>(area.Width()) / bounds.Width();
    const double ky = static_cast<double>(area.Height()) / bounds.Height();
    target.left = Pixel(std::round(area.left + (frame.left - bounds.left) * kx));
    target.top = Pixel(std::round(area.top + (frame.top - bounds.top) * ky));
    target.right = Pixel(std::round(area.left + (frame.right - bounds.left) * kx));
    target.bottom = Pixel(std::round(area.top + (frame.bottom - bounds.top) * ky));
    return 1;
}

int32_t PaginateReport(const std::vector<std::string>& lines, int32_t lineHeight, int32_t pageHeight,
                       std::vector<std::vector<PrintedLine>>& pages)
{
    pages.clear();
    if (lineHeight <= 0 || static_cast<int64_t>(lineHeight) * 2 > pageHeight) return 0;
    int64_t y = lineHeight;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        if (pages.empty() || y + lineHeight > pageHeight) {
            pages.emplace_back();
            y = lineHeight;
        }
        pages.back().push_back(PrintedLine{i, static_cast<int32_t>(y)});
        y += lineHeight;
    }
    return 1;
}
