#pragma once
// Where the frame puts its windows inside the MDI client or on the screen, computed apart from
// the window code so the rules are tested natively.
#include <cstdint>
#include <vector>

#include "shell/plot_layout.h"

// The fewest steps a cascade makes room for: a few windows are not stretched over the whole area.
constexpr int32_t kMinCascadeSteps = 4;

// A cascade of `count` windows in an area of `width` by `height`, from the back window (first) to
// the front one (last). Window i lies i*d right and down of the area's top-left corner, and all
// share one size, so every window lies whole inside the area and each shows a strip d high of
// its top edge (its title, when d is at least the title's height) above the windows in front
// of it. d is `step`, made smaller only when `count` windows would otherwise be squeezed below
// half the area. With s = max(count - 1, kMinCascadeSteps): d = min(step, (width / 2) / s,
// (height / 2) / s) and the size is width - s*d by height - s*d.
std::vector<PlotRect> CascadePlacement(int32_t count, int32_t width, int32_t height, int32_t step);

// A window and its report side by side in an area of `width` by `height`: the window keeps its
// top-left corner (moved to the area's left edge when less than 2 * kMinSideWidth would remain
// right of it) and its height (cut to the area), and takes half of the width right of its left
// edge; the report takes the other half, at the same top and height. Neither covers the other.
constexpr int32_t kMinSideWidth = 200;
void PlaceSideBySide(const PlotRect& window, int32_t width, int32_t height, PlotRect& left, PlotRect& right);

// `box` moved, keeping its size, to the centre of `area`; a box wider or taller than the area is
// aligned with the area's left or top edge instead.
PlotRect CentreInside(const PlotRect& box, const PlotRect& area);
