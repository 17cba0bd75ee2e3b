#include "shell/polyline_thinning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace {

struct ThinCase {
    const char* name;
    std::vector<double> x, y;
    double xMin, xMax, yMin, yMax;  // the panel's limits
};

std::vector<double> Index(size_t n)
{
    std::vector<double> x(n);
    for (size_t i = 0; i < n; ++i) x[i] = static_cast<double>(i + 1);
    return x;
}

std::vector<double> Wave(size_t n)
{
    std::vector<double> y(n);
    for (size_t i = 0; i < n; ++i) y[i] = std::sin(0.37 * i) * (1.0 + 0.001 * i) + ((i % 97) == 0 ? 5.0 : 0.0);
    return y;
}

// Lowest and highest row of each visible column, over the given pixel points.
std::map<int32_t, std::pair<int32_t, int32_t>> Envelope(const std::vector<PixelPoint>& points, int32_t lo, int32_t hi)
{
    std::map<int32_t, std::pair<int32_t, int32_t>> out;
    for (const PixelPoint& p : points) {
        if (p.x < lo || p.x > hi) continue;
        auto [it, added] = out.try_emplace(p.x, p.y, p.y);
        if (!added) it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
    }
    return out;
}

}  // namespace

TEST(PolylineThinning, KeepsEachColumnsEnvelopeInOrderWithAFewPointsPerColumn)
{
    const std::vector<ThinCase> cases = {
        {"long wave", Index(50000), Wave(50000), 0.0, 50001.0, -10.0, 10.0},
        {"zoomed into the middle", Index(50000), Wave(50000), 20000.0, 21000.0, -10.0, 10.0},
        {"short", Index(30), Wave(30), 0.0, 31.0, -10.0, 10.0},
        {"one point", {1.0}, {2.0}, 0.0, 2.0, -10.0, 10.0},
        {"x back and forth", Wave(20000), Index(20000), -7.0, 7.0, 0.0, 20001.0},
    };
    PanelMapping map;
    map.rect = PlotRect{50, 10, 450, 310};
    const int32_t lo = map.rect.left, hi = map.rect.right;
    for (const ThinCase& c : cases) {
        map.xMin = c.xMin, map.xMax = c.xMax, map.yMin = c.yMin, map.yMax = c.yMax;
        const std::vector<double>& y = c.y;
        std::vector<PixelPoint> all;
        for (size_t i = 0; i < c.x.size(); ++i) all.push_back({map.X(c.x[i]), map.Y(y[i])});
        const std::vector<PixelPoint> thin = ThinPolyline(map, c.x.data(), y.data(), c.x.size(), lo, hi);

        ASSERT_FALSE(thin.empty()) << c.name;
        EXPECT_EQ(thin.front().x, all.front().x) << c.name;
        EXPECT_EQ(thin.front().y, all.front().y) << c.name;
        EXPECT_EQ(thin.back().x, all.back().x) << c.name;
        EXPECT_EQ(thin.back().y, all.back().y) << c.name;
        EXPECT_EQ(Envelope(thin, lo, hi), Envelope(all, lo, hi)) << c.name;
        // In the order of the line: every thinned point is one of the line's, found further on.
        size_t at = 0;
        for (const PixelPoint& p : thin) {
            while (at < all.size() && (all[at].x != p.x || all[at].y != p.y)) ++at;
            ASSERT_LT(at, all.size()) << c.name << ": a point out of order or not on the line";
            ++at;
        }
        // Runs: at most four points per visible column, two per stretch outside, and the last
        // visible run whole.
        size_t runs = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            auto column = [&](int32_t x) { return x < lo ? lo - 1 : (x > hi ? hi + 1 : x); };
            if (i == 0 || column(all[i].x) != column(all[i - 1].x)) ++runs;
        }
        size_t lastRun = 1;
        while (lastRun < all.size() && all[all.size() - 1 - lastRun].x == all.back().x) ++lastRun;
        EXPECT_LE(thin.size(), 4 * runs + lastRun) << c.name;
    }
}
