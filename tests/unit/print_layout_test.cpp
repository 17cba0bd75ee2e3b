#include "shell/print_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

void ExpectRect(const PlotRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_NEAR(r.left, left, 1);
    EXPECT_NEAR(r.top, top, 1);
    EXPECT_NEAR(r.right, right, 1);
    EXPECT_NEAR(r.bottom, bottom, 1);
}

}  // namespace

// A letter page's printable area at 600 pixels per inch: 8 by 10.5 inches.
TEST(PlacePlotOnPage, KeepsScreenSizeShrinksWhatDoesNotFitAndStaysOnThePage)
{
    PlotRect r;
    ASSERT_EQ(PlacePlotOnPage(5, 3, 8, 10.5, 600, 600, r), 1);
    ExpectRect(r, 900, 900, 3900, 2700);  // m = 1.5 inches from the left and the top

    ASSERT_EQ(PlacePlotOnPage(10, 5, 8, 10.5, 600, 300, r), 1);  // 0.9^3: 7.29 by 3.645 inches
    ExpectRect(r, 213, 106, 4587, 1200);
    EXPECT_NEAR(static_cast<double>(r.Width()) / 600 / (static_cast<double>(r.Height()) / 300), 2.0, 0.01);

    // Narrow and tall: m = 3 inches would push it off the bottom, so it is centred vertically.
    ASSERT_EQ(PlacePlotOnPage(2, 10, 8, 10.5, 600, 600, r), 1);
    ExpectRect(r, 1800, 150, 3000, 6150);
}

TEST(PlacePlotOnPage, RefusesSizesThatAreNotPositive)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double wIn, hIn, pw, ph;
        int32_t dpiX, dpiY;
    };
    const Case cases[] = {{0, 3, 8, 10, 600, 600},  {5, -1, 8, 10, 600, 600}, {5, 3, 0, 10, 600, 600},
                          {5, 3, 8, -2, 600, 600},  {nan, 3, 8, 10, 600, 600}, {5, 3, 8, 10, 0, 600},
                          {5, 3, 8, 10, 600, -600}};
    for (const Case& c : cases) {
        PlotRect r{1, 2, 3, 4};
        EXPECT_EQ(PlacePlotOnPage(c.wIn, c.hIn, c.pw, c.ph, c.dpiX, c.dpiY, r), 0) << c.wIn << " " << c.pw;
    }
}

TEST(PlacePictureOnPage, IntegerScaleWhileItFitsElseARealFactor)
{
    struct Case {
        int32_t w, h, pageW, pageH;
        PlotRect expected;
    };
    const Case cases[] = {
        {1000, 700, 4800, 6600, {400, 400, 4400, 3200}},   // s = 4
        {4800, 100, 4800, 6600, {0, 0, 4800, 100}},        // s = 1 exactly
        {6000, 3000, 4800, 6600, {0, 0, 4800, 2400}},      // wider than the page: factor 0.8
        {1000, 1600, 4800, 6600, {337, 0, 4462, 6600}},    // s = 4 would run off the bottom
        {100, 5000, 4800, 6600, {2334, 0, 2466, 6600}},    // s = 48 far too tall: factor 1.32
    };
    for (const Case& c : cases) {
        PlotRect r;
        ASSERT_EQ(PlacePictureOnPage(c.w, c.h, c.pageW, c.pageH, r), 1) << c.w << "x" << c.h;
        ExpectRect(r, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom);
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, c.pageW);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.bottom, c.pageH);
    }
    PlotRect r;
    for (const auto& [w, h, pw, ph] : {std::tuple{0, 10, 100, 100}, std::tuple{10, -3, 100, 100},
                                       std::tuple{10, 10, 0, 100}, std::tuple{10, 10, 100, -1}})
        EXPECT_EQ(PlacePictureOnPage(w, h, pw, ph, r), 0) << w << " " << h << " " << pw << " " << ph;
}

TEST(PictureTarget, TheDrawingLandsOnTheAreaWhateverTheFrame)
{
    struct Case {
        const char* name;
        PlotRect frame, bounds, area, expected;
    };
    const Case cases[] = {
        {"frame equals bounds", {10, 10, 110, 60}, {10, 10, 110, 60}, {0, 0, 300, 150}, {0, 0, 300, 150}},
        {"blank margins inside the frame", {0, 0, 200, 100}, {50, 25, 150, 75}, {100, 100, 300, 200},
         {0, 50, 400, 250}},
        {"labels reaching past the frame", {0, 0, 100, 100}, {-10, 0, 110, 100}, {0, 0, 240, 200},
         {20, 0, 220, 200}},
    };
    for (const Case& c : cases) {
        PlotRect r;
        ASSERT_EQ(PictureTarget(c.frame, c.bounds, c.area, r), 1) << c.name;
        ExpectRect(r, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom);
    }
    PlotRect r;
    EXPECT_EQ(PictureTarget({0, 0, 10, 10}, {5, 5, 5, 9}, {0, 0, 10, 10}, r), 0);
    EXPECT_EQ(PictureTarget({0, 0, 10, 10}, {0, 0, 10, 10}, {3, 3, 3, 9}, r), 0);
}

TEST(PaginateReport, LongReportsGoOnToMorePagesAndBlankLinesCloseUp)
{
    const std::vector<std::string> lines = {"first", "", "second", "third", "", "", "fourth", "fifth"};
    std::vector<std::vector<PrintedLine>> pages;
    ASSERT_EQ(PaginateReport(lines, 10, 35, pages), 1);  // two lines per page: at 10 and 20
    ASSERT_EQ(pages.size(), 3u);
    const std::vector<std::vector<std::pair<size_t, int32_t>>> expected = {
        {{0, 10}, {2, 20}}, {{3, 10}, {6, 20}}, {{7, 10}}};
    for (size_t p = 0; p < pages.size(); ++p) {
        ASSERT_EQ(pages[p].size(), expected[p].size()) << "page " << p;
        for (size_t k = 0; k < pages[p].size(); ++k) {
            EXPECT_EQ(pages[p][k].line, expected[p][k].first);
            EXPECT_EQ(pages[p][k].y, expected[p][k].second);
        }
    }

    ASSERT_EQ(PaginateReport(lines, 10, 1000, pages), 1);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].size(), 5u);
    EXPECT_EQ(pages[0].back().y, 50);

    ASSERT_EQ(PaginateReport({"", ""}, 10, 100, pages), 1);
    EXPECT_TRUE(pages.empty());
    EXPECT_EQ(PaginateReport(lines, 0, 100, pages), 0);
    EXPECT_EQ(PaginateReport(lines, 60, 100, pages), 0);  // no room for a line below the top gap
}
