#pragma once
// Where the PC's screen stands in a window: the largest rectangle of the EGA monitor's 4:3 shape,
// centred in the client area, and the screen pixel under a client point. Portable, so the mapping
// of clicks is tested natively.
#include "platform/pc.h"

#include <cstdint>

struct PcViewRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline PcViewRect PcFitView(int clientWidth, int clientHeight)
{
    PcViewRect view;
    if (clientWidth <= 0 || clientHeight <= 0)
        return view;
    view.width = clientWidth;
    view.height = static_cast<int>(int64_t(clientWidth) * 3 / 4);
    if (view.height > clientHeight) {
        view.height = clientHeight;
        view.width = static_cast<int>(int64_t(clientHeight) * 4 / 3);
    }
    view.left = (clientWidth - view.width) / 2;
    view.top = (clientHeight - view.height) / 2;
    return view;
}

// The screen pixel (x, y) under the client point (cx, cy); false outside the view.
inline bool PcViewPixel(const PcViewRect& view, int cx, int cy, int& x, int& y)
{
    if (view.width <= 0 || view.height <= 0 || cx < view.left || cy < view.top || cx >= view.left + view.width ||
        cy >= view.top + view.height)
        return false;
    x = static_cast<int>(int64_t(cx - view.left) * kPcWidth / view.width);
    y = static_cast<int>(int64_t(cy - view.top) * kPcHeight / view.height);
    return true;
}
