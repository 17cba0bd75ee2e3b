#include "platform/pc_view.h"

#include <gtest/gtest.h>

namespace {

TEST(PcView, TheScreenKeepsItsFourToThreeShapeCentred)
{
    struct Case {
        int clientWidth, clientHeight;
        int left, top, width, height;
    };
    const Case cases[] = {
        {960, 720, 0, 0, 960, 720},
        {1000, 720, 20, 0, 960, 720},
        {640, 600, 0, 60, 640, 480},
        {1, 1, 0, 0, 1, 0},
        {0, 480, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const PcViewRect view = PcFitView(c.clientWidth, c.clientHeight);
        EXPECT_EQ(view.left, c.left) << c.clientWidth << "x" << c.clientHeight;
        EXPECT_EQ(view.top, c.top) << c.clientWidth << "x" << c.clientHeight;
        EXPECT_EQ(view.width, c.width) << c.clientWidth << "x" << c.clientHeight;
        EXPECT_EQ(view.height, c.height) << c.clientWidth << "x" << c.clientHeight;
    }
}

TEST(PcView, ClientPointsMapToScreenPixels)
{
    const PcViewRect view = PcFitView(1000, 720);  // 960 x 720 from x = 20
    struct Case {
        int cx, cy;
        bool inside;
        int x, y;
    };
    const Case cases[] = {
        {20, 0, true, 0, 0},          {979, 719, true, 639, 349},  {20 + 150, 360, true, 100, 175},
        {19, 100, false, 0, 0},       {980, 100, false, 0, 0},     {500, 720, false, 0, 0},
        {-5, -5, false, 0, 0},
    };
    for (const Case& c : cases) {
        int x = -1, y = -1;
        EXPECT_EQ(PcViewPixel(view, c.cx, c.cy, x, y), c.inside) << c.cx << "," << c.cy;
        if (c.inside) {
            EXPECT_EQ(x, c.x) << c.cx << "," << c.cy;
            EXPECT_EQ(y, c.y) << c.cx << "," << c.cy;
        }
    }
    // Every screen pixel's centre maps back to it.
    for (int x = 0; x < kPcWidth; x += 7) {
        for (int y = 0; y < kPcHeight; y += 5) {
            int px = -1, py = -1;
            const int cx = view.left + (2 * x + 1) * view.width / (2 * kPcWidth);
            const int cy = view.top + (2 * y + 1) * view.height / (2 * kPcHeight);
            ASSERT_TRUE(PcViewPixel(view, cx, cy, px, py));
            ASSERT_EQ(px, x);
            ASSERT_EQ(py, y);
        }
    }
}

}  // namespace
