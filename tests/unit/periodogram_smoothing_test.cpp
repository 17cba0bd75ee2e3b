#include "univariate/periodogram_smoothing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/reference_table.h"
#include "univariate/univariate_project.h"

namespace {

// Orders "2 0 1" into orders[1..] of a 51-entry array; returns the count.
int32_t Orders(const std::string& text, int32_t (&orders)[51])
{
    std::fill(std::begin(orders), std::end(orders), 0);
    std::istringstream in(text);
    int32_t count = 0;
    for (int32_t m; in >> m;) orders[++count] = m;
    return count;
}

// A project with n observations and K = n / 2 ordinates (their values do not matter here).
void WithOrdinates(UnivariateProject& u, int32_t n)
{
    u.n = n;
    u.periodogram.assign(static_cast<size_t>(n / 2), 1.0);
}

}  // namespace

TEST(DaniellFilters, CountsAndTheOrdersAboveThem)
{
    struct Case {
        const char* text;
        std::string message;
        int32_t count;
    };
    const std::string range = kDaniellCountMessage;
    const Case cases[] = {{"3", "", 3},
                          {"0", "", 0},
                          {"50", "", 50},
                          {"51", range, 7},
                          {"-1", range, 7},
                          {"99999999999", range, 7},
                          {"x", "Number of filters \"x\" is not a number.", 7},
                          {"2,5", "Number of filters \"2,5\" has a decimal comma: type a decimal point.", 7},
                          {"1.5", "Number of filters \"1.5\" is not a whole number.", 7},
                          {"", "", 0}};
    for (const Case& c : cases) {
        int32_t count = 7;
        EXPECT_EQ(ReadDaniellCount(c.text, count), c.message) << c.text;
        EXPECT_EQ(count, c.count) << c.text;
    }

    // Going 3, 1, 3 shows zeros for filters 2 and 3; a count of 0 clears nothing.
    UnivariateProject u;
    AcceptDaniellCount(u, 3);
    u.daniellOrders[1] = 2;
    u.daniellOrders[2] = 4;
    u.daniellOrders[3] = 1;
    AcceptDaniellCount(u, 0);
    EXPECT_EQ(u.daniellCount, 0);
    EXPECT_EQ(u.daniellOrders[3], 1);
    AcceptDaniellCount(u, 1);
    AcceptDaniellCount(u, 3);
    EXPECT_EQ(u.daniellCount, 3);
    EXPECT_EQ(u.daniellOrders[1], 2);
    EXPECT_EQ(u.daniellOrders[2], 0);
    EXPECT_EQ(u.daniellOrders[3], 0);
    EXPECT_EQ(DaniellHalfWidth(u), 2);
}

// An order is bounded by n, and the orders together by K - 1, the most the smoother can reflect.
TEST(DaniellFilters, OrderEntries)
{
    UnivariateProject u;
    WithOrdinates(u, 21);  // K = 10: M may reach 9
    AcceptDaniellCount(u, 2);
    u.daniellOrders[1] = 3;
    struct Case {
        int32_t k;
        const char* text;
        std::string message;
        int32_t stored;
    };
    const Case cases[] = {
        {2, "6", "", 6},
        {2, "7", "The orders of the filters must add up to at most 9", 0},
        {2, "22", "Order of filter must be from 0 to 21", 0},
        {2, "-1", "Order of filter must be from 0 to 21", 0},
        {2, "abc", "Order of filter \"abc\" is not a number.", 0},
        {2, "3 4", "Order of filter \"3 4\" holds more than one number: type one number.", 0},
        {2, "", "", 0},
        {1, "10", "The orders of the filters must add up to at most 9", 3},
    };
    for (const Case& c : cases) {
        u.daniellOrders[2] = 0;
        EXPECT_EQ(AcceptDaniellOrder(u, c.k, c.text), c.message) << c.text;
        EXPECT_EQ(u.daniellOrders[c.k], c.stored) << c.text;
    }

    // Settings from a longer series: every lowering is taken, every raising refused.
    u.daniellOrders[1] = 8;
    u.daniellOrders[2] = 8;
    EXPECT_EQ(AcceptDaniellOrder(u, 2, "5"), "");
    EXPECT_EQ(u.daniellOrders[2], 5);
    EXPECT_NE(AcceptDaniellOrder(u, 2, "6"), "");
    EXPECT_EQ(u.daniellOrders[2], 5);
}

// The combined weights against R's kernel("daniell", orders) at lags 0..M.
TEST(DaniellFilters, WeightsMatchR)
{
    const ReferenceTable t = ReadReferenceTable("daniell_weights_reference.csv");
    ASSERT_EQ(t.rows.size(), 7u);
    for (size_t row = 0; row < t.rows.size(); ++row) {
        int32_t orders[51];
        const int32_t count = Orders(t.Text(row, "orders"), orders);
        const std::vector<double> expected = t.List(row, "weights");
        const std::vector<double> w = ConvolveDaniell(count, orders);
        ASSERT_EQ(w.size(), expected.size()) << t.Text(row, "orders");
        double sum = w[0];
        for (size_t k = 0; k < w.size(); ++k) {
            EXPECT_NEAR(w[k], expected[k], 1e-15) << t.Text(row, "orders") << " lag " << k;
            if (k > 0) sum += 2.0 * w[k];
        }
        EXPECT_NEAR(sum, 1.0, 1e-14);
        // The order of the filters does not matter.
        std::reverse(orders + 1, orders + count + 1);
        const std::vector<double> reversed = ConvolveDaniell(count, orders);
        for (size_t k = 0; k < w.size(); ++k) EXPECT_NEAR(reversed[k], w[k], 1e-15);
    }

    int32_t none[51] = {};
    EXPECT_EQ(ConvolveDaniell(0, none), std::vector<double>{1.0});
    UnivariateProject u;
    AcceptDaniellCount(u, 2);
    u.daniellOrders[1] = 1;
    u.daniellOrders[3] = 5;  // above the count: not used
    EXPECT_EQ(DaniellWeights(u), 1);
    EXPECT_EQ(u.daniellWeights.size(), 2u);
}

TEST(DaniellFilters, StickPicture)
{
    struct Case {
        const char* name;
        std::vector<double> weights;
        std::vector<int32_t> x, top;
        const char* maxText;
    };
    const Case cases[] = {
        {"one filter of order 1", {1.0 / 3, 1.0 / 3}, {25, 50, 75}, {20, 20, 20}, "0.33333"},
        {"two filters of order 1", {3.0 / 9, 2.0 / 9, 1.0 / 9}, {16, 33, 50, 66, 83}, {86, 53, 20, 53, 86}, "0.33333"},
        {"no filter", {1.0}, {50}, {20}, "1.0000"},
    };
    for (const Case& c : cases) {
        const FilterWeightPicture picture = LayOutFilterWeights(c.weights);
        EXPECT_EQ(picture.M, static_cast<int32_t>(c.weights.size()) - 1) << c.name;
        std::vector<int32_t> x, top;
        for (const FilterStick& s : picture.sticks) {
            x.push_back(s.x);
            top.push_back(s.top);
        }
        EXPECT_EQ(x, c.x) << c.name;
        EXPECT_EQ(top, c.top) << c.name;
        EXPECT_EQ(FilterWeightMaxText(picture.wmax), c.maxText) << c.name;
    }
}

// Smoothing the raw periodogram of lh and sunspot.year: the interior ordinates, where no
// reflection is needed, equal R's kernapply of the ordinates.
TEST(DaniellFilters, SmoothedPeriodogramMatchesKernapply)
{
    const ReferenceTable t = ReadReferenceTable("smoothed_periodogram_reference.csv");
    ASSERT_EQ(t.rows.size(), 336u);
    size_t row = 0;
    int cases = 0;
    while (row < t.rows.size()) {
        const std::string key = t.Text(row, "series") + " " + t.Text(row, "orders");
        UnivariateProject u;
        u.n = t.Integer(row, "n");
        std::vector<double> interior;
        for (; row < t.rows.size() && t.Text(row, "series") + " " + t.Text(row, "orders") == key; ++row) {
            u.periodogram.push_back(t.Number(row, "I"));
            interior.push_back(t.Text(row, "interior") == "NA" ? NAN : t.Number(row, "interior"));
        }
        const int32_t K = static_cast<int32_t>(u.periodogram.size());
        ASSERT_EQ(K, u.n / 2) << key;
        int32_t orders[51];
        u.daniellCount = Orders(t.Text(row - 1, "orders"), orders);
        std::copy(std::begin(orders), std::end(orders), u.daniellOrders);
        ASSERT_EQ(ApplyDaniellSmoothing(u), "") << key;
        ASSERT_EQ(u.smoothedPeriodogram.size(), static_cast<size_t>(K) + 1);
        int compared = 0;
        for (int32_t j = 1; j <= K; ++j) {
            const double expected = interior[static_cast<size_t>(j - 1)];
            if (std::isnan(expected)) continue;
            EXPECT_NEAR(u.smoothedPeriodogram[static_cast<size_t>(j)], expected, 1e-12 * std::fabs(expected))
                << key << " j " << j;
            ++compared;
        }
        EXPECT_EQ(compared, K - 2 * static_cast<int>(DaniellHalfWidth(u))) << key;
        ++cases;
    }
    EXPECT_EQ(cases, 4);
}

// Apply refuses settings that reach K (kept from a longer series) and leaves S as it was.
TEST(DaniellFilters, ApplyRefusesAHalfWidthOfKOrMore)
{
    UnivariateProject u;
    WithOrdinates(u, 9);  // K = 4
    AcceptDaniellCount(u, 2);
    u.daniellOrders[1] = 2;
    u.daniellOrders[2] = 2;
    u.smoothedPeriodogram = {5.0};
    EXPECT_EQ(ApplyDaniellSmoothing(u), "The orders of the filters must add up to at most 3");
    EXPECT_EQ(u.smoothedPeriodogram, std::vector<double>{5.0});
    u.daniellOrders[2] = 1;
    EXPECT_EQ(ApplyDaniellSmoothing(u), "");
    EXPECT_EQ(u.smoothedPeriodogram.size(), 5u);

    UnivariateProject empty;
    EXPECT_NE(ApplyDaniellSmoothing(empty), "");
    EXPECT_TRUE(empty.smoothedPeriodogram.empty());
}
