#include "shell/window_layout.h"

#include <gtest/gtest.h>

namespace {

bool Inside(const PlotRect& r, int32_t width, int32_t height)
{
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.Width() > 0 && r.Height() > 0;
}

bool Overlap(const PlotRect& a, const PlotRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

// Every cascaded window lies whole inside the area, all share one size, and each lies one step
// right of and below the one behind it, so the strip of that step along the top of every window
// behind stays uncovered. Many windows get a smaller step rather than run off the area.
TEST(CascadePlacement, KeepsEveryWindowInsideWithItsTopStripShown)
{
    struct Case {
        const char* name;
        int32_t count, width, height, step;
        int32_t d;  // the step expected
    } const cases[] = {
        {"one window", 1, 1280, 936, 22, 22},
        {"six windows", 6, 1280, 936, 22, 22},
        {"twenty windows: more than fit at full step before wrapping", 20, 1280, 936, 22, 22},
        {"forty windows: a smaller step", 40, 1280, 936, 22, 468 / 39},
        {"a small area", 8, 400, 300, 22, 150 / 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<PlotRect> placed = CascadePlacement(c.count, c.width, c.height, c.step);
        ASSERT_EQ(placed.size(), static_cast<size_t>(c.count));
        for (size_t i = 0; i < placed.size(); ++i) {
            EXPECT_TRUE(Inside(placed[i], c.width, c.height)) << i;
            EXPECT_EQ(placed[i].Width(), placed[0].Width()) << i;
            EXPECT_EQ(placed[i].Height(), placed[0].Height()) << i;
            EXPECT_GE(placed[i].Width(), c.width / 2) << i;
            EXPECT_GE(placed[i].Height(), c.height / 2) << i;
            EXPECT_EQ(placed[i].left, static_cast<int32_t>(i) * c.d) << i;
            EXPECT_EQ(placed[i].top, static_cast<int32_t>(i) * c.d) << i;
        }
    }
    EXPECT_TRUE(CascadePlacement(0, 1280, 936, 22).empty());
    EXPECT_TRUE(CascadePlacement(3, 0, 936, 22).empty());
}

// The window keeps its top-left corner and height; the report takes the rest of the width beside
// it; neither covers the other and both lie inside the area.
TEST(PlaceSideBySide, PutsTheReportBesideTheWindow)
{
    struct Case {
        const char* name;
        PlotRect window;
        PlotRect left, right;
    } const cases[] = {
        {"a new project's first window", {0, 0, 972, 628}, {0, 0, 640, 628}, {640, 0, 1280, 628}},
        {"a later project's window, cascaded", {44, 44, 1016, 672}, {44, 44, 662, 672}, {662, 44, 1280, 672}},
        {"too far right: back to the left edge", {1000, 20, 1200, 300}, {0, 20, 640, 300}, {640, 20, 1280, 300}},
        {"taller than the area below its top", {0, 500, 900, 1500}, {0, 500, 640, 936}, {640, 500, 1280, 936}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlotRect left, right;
        PlaceSideBySide(c.window, 1280, 936, left, right);
        EXPECT_EQ(left.left, c.left.left);
        EXPECT_EQ(left.top, c.left.top);
        EXPECT_EQ(left.right, c.left.right);
        EXPECT_EQ(left.bottom, c.left.bottom);
        EXPECT_EQ(right.left, c.right.left);
        EXPECT_EQ(right.top, c.right.top);
        EXPECT_EQ(right.right, c.right.right);
        EXPECT_EQ(right.bottom, c.right.bottom);
        EXPECT_FALSE(Overlap(left, right));
        EXPECT_TRUE(Inside(left, 1280, 936));
        EXPECT_TRUE(Inside(right, 1280, 936));
    }
}

TEST(CentreInside, CentresOrAlignsWithTheArea)
{
    const PlotRect area{-4, -4, 1284, 1028};
    struct Case {
        const char* name;
        PlotRect box;
        PlotRect expected;
    } const cases[] = {
        {"a dialog near the bottom right", {901, 767, 1327, 1031}, {427, 380, 853, 644}},
        {"already centred", {427, 380, 853, 644}, {427, 380, 853, 644}},
        {"wider than the area", {100, 100, 1400, 300}, {-4, 412, 1296, 612}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PlotRect r = CentreInside(c.box, area);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}
