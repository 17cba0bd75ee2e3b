#include "shell/window_layout.h"

#include <algorithm>

std::vector<PlotRect> CascadePlacement(int32_t count, int32_t width, int32_t height, int32_t step)
{
    std::vector<PlotRect> placed;
    if (count <= 0 || width <= 0 || height <= 0) return placed;
    const int32_t steps = std::max(count - 1, kMinCascadeSteps);
    const int32_t d = std::max(0, std::min({step, (width / 2) / steps, (height / 2) / steps}));
    const int32_t w = width - steps * d, h = height - steps * d;
    placed.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) placed.push_back(PlotRect{i * d, i * d, i * d + w, i * d + h});
    return placed;
}

void PlaceSideBySide(const PlotRect& window, int32_t width, int32_t height, PlotRect& left, PlotRect& right)
{
    int32_t x = std::max(0, window.left);
    if (width - x < 2 * kMinSideWidth) x = 0;
    const int32_t top = std::clamp(window.top, 0, std::max(0, height - 1));
    const int32_t bottom = std::min(height, top + std::max(1, window.Height()));
    const int32_t middle = x + (width - x) / 2;
    left = PlotRect{x, top, middle, bottom};
    right = PlotRect{middle, top, width, bottom};
}

PlotRect CentreInside(const PlotRect& box, const PlotRect& area)
{
    const int32_t w = box.Width(), h = box.Height();
    const int32_t left = w >= area.Width() ? area.left : area.left + (area.Width() - w) / 2;
    const int32_t top = h >= area.Height() ? area.top : area.top + (area.Height() - h) / 2;
    return PlotRect{left, top, left + w, top + h};
}
