#pragma once
// Long curves drawn with a few points per pixel column. A solid one-pixel polyline through many
// points that share a column only draws that column from its lowest to its highest point, so
// those points can be replaced by the first, the lowest, the highest and the last of them without
// changing a single pixel; runs of points outside the visible columns draw nothing and keep only
// their ends. Drawing then costs the panel's width instead of the series' length.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "shell/plot_layout.h"

struct PixelPoint {
    int32_t x = 0, y = 0;
};

// The pixel points of a polyline that draws the same pixels as the one through
// (map.X(x[i]), map.Y(y[i])), i = 0..n-1, with a solid one-pixel pen clipped to columns
// xLo..xHi. In each run of consecutive points in one visible column: the first, the lowest and
// the highest (in their order), and the last; in each run left of xLo or right of xHi: the first
// and the last. The curve's last run keeps all its points when it is visible, since the pen
// leaves out the end point of the whole line and the pixels it draws there depend on the order.
//   map     (in)      the panel's data-to-pixel mapping
//   x, y    (in, n)   the curve's points
//   xLo/xHi (in)      the visible columns, inclusive
std::vector<PixelPoint> ThinPolyline(const PanelMapping& map, const double* x, const double* y, size_t n,
                                     int32_t xLo, int32_t xHi);
