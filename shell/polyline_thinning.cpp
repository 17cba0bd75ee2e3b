#include "shell/polyline_thinning.h"

#include <utility>

std::vector<PixelPoint> ThinPolyline(const PanelMapping& map, const double* x, const double* y, size_t n,
                                     int32_t xLo, int32_t xHi)
{
    std::vector<PixelPoint> out;
    if (n == 0) return out;
    // The column a point counts in: every column left of the visible ones is one, and so is every
    // column right of them.
    auto column = [xLo, xHi](int32_t px) { return px < xLo ? xLo - 1 : (px > xHi ? xHi + 1 : px); };
    PixelPoint next{map.X(x[0]), map.Y(y[0])};
    size_t i = 0;
    while (i < n) {
        const PixelPoint first = next;
        const int32_t key = column(first.x);
        PixelPoint low = first, high = first, last = first;
        size_t lowAt = i, highAt = i, j = i + 1;
        bool finalRun = true;
        for (; j < n; ++j) {
            const PixelPoint p{map.X(x[j]), map.Y(y[j])};
            if (column(p.x) != key) {
                next = p;
                finalRun = false;
                break;
            }
            last = p;
            if (p.y < low.y) low = p, lowAt = j;
            if (p.y > high.y) high = p, highAt = j;
        }
        const size_t lastAt = j - 1;
        const bool visible = key >= xLo && key <= xHi;
        if (finalRun && visible) {
            out.reserve(out.size() + (j - i));
            for (size_t k = i; k < j; ++k) out.push_back({map.X(x[k]), map.Y(y[k])});
            break;
        }
        out.push_back(first);
        if (visible) {
            const bool lowFirst = lowAt < highAt;
            for (const auto& [p, at] : {lowFirst ? std::pair{low, lowAt} : std::pair{high, highAt},
                                        lowFirst ? std::pair{high, highAt} : std::pair{low, lowAt}})
                if (at != i && at != lastAt) out.push_back(p);
        }
        if (lastAt != i) out.push_back(last);
        i = j;
    }
    return out;
}
