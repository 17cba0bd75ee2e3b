#include "shell/series_transfer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Series i at position t holds 10 i + t, so every value tells where it came from.
SeriesTable Table(int32_t n, int32_t m, int32_t offset = 0)
{
    SeriesTable t;
    t.n = n;
    t.m = m;
    for (int32_t pos = 1; pos <= n; ++pos)
        for (int32_t i = 1; i <= m; ++i) t.values.push_back(offset + 10.0 * i + pos);
    return t;
}

std::vector<double> Column(const SeriesTable& t, int32_t i)
{
    std::vector<double> c;
    for (int32_t pos = 1; pos <= t.n; ++pos) c.push_back(t.values[static_cast<size_t>(pos - 1) * t.m + (i - 1)]);
    return c;
}

}  // namespace

// Every pair of kinds: a univariate project is a table of one column; the target's kind decides
// between replacing and widening.
TEST(PlanSeriesTransfer, EveryPairOfProjectKinds)
{
    struct Case {
        const char* name;
        SeriesTable source;
        int32_t s;
        SeriesTable target;
        int32_t targetMultivariate;
        int32_t restM, targetN, targetM, replaced, cutMoved, cutTarget;
    };
    const Case cases[] = {
        {"uni to uni", Table(5, 1), 1, Table(8, 1, 100), 0, 0, 5, 1, 1, 0, 0},
        {"uni to empty uni", Table(5, 1), 1, SeriesTable{}, 0, 0, 5, 1, 1, 0, 0},
        {"uni to multi, shorter target", Table(5, 1), 1, Table(3, 2, 100), 1, 0, 3, 3, 0, 2, 0},
        {"uni to empty multi", Table(5, 1), 1, SeriesTable{}, 1, 0, 5, 1, 1, 0, 0},
        {"multi to uni", Table(4, 3), 2, Table(9, 1, 100), 0, 2, 4, 1, 1, 0, 0},
        {"multi to multi, longer target", Table(4, 3), 3, Table(6, 2, 100), 1, 2, 4, 3, 0, 0, 2},
        {"multi to multi, equal length", Table(4, 3), 1, Table(4, 1, 100), 1, 2, 4, 2, 0, 0, 0},
        {"only series of a multi", Table(4, 1), 1, Table(4, 2, 100), 1, 0, 4, 3, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeriesTransfer plan;
        ASSERT_EQ(PlanSeriesTransfer(c.source, c.s, c.target, c.targetMultivariate, plan), 1);
        EXPECT_EQ(plan.moved, Column(c.source, c.s));
        EXPECT_EQ(plan.sourceRest.m, c.restM);
        EXPECT_EQ(plan.sourceRest.values.size(), static_cast<size_t>(plan.sourceRest.n) * plan.sourceRest.m);
        if (c.restM == 0) {
            EXPECT_EQ(plan.sourceRest.n, 0);  // no data left
        }
        // The rest keeps the other series in order.
        for (int32_t i = 1, kept = 1; i <= c.source.m; ++i) {
            if (i != c.s) {
                EXPECT_EQ(Column(plan.sourceRest, kept++), Column(c.source, i));
            }
        }
        EXPECT_EQ(plan.target.n, c.targetN);
        EXPECT_EQ(plan.target.m, c.targetM);
        EXPECT_EQ(plan.targetReplaced, c.replaced);
        EXPECT_EQ(plan.cutMoved, c.cutMoved);
        EXPECT_EQ(plan.cutTarget, c.cutTarget);
        // The moved series is the target's last column, cut to the target's rows.
        std::vector<double> last = Column(plan.target, plan.target.m);
        std::vector<double> expected = plan.moved;
        expected.resize(static_cast<size_t>(plan.target.n));
        EXPECT_EQ(last, expected);
        for (int32_t i = 1; !c.replaced && i < plan.target.m; ++i) {
            std::vector<double> own = Column(c.target, i);
            own.resize(static_cast<size_t>(plan.target.n));
            EXPECT_EQ(Column(plan.target, i), own);
        }
    }
}

TEST(PlanSeriesTransfer, RefusesBadSeriesNumbersAndTables)
{
    SeriesTransfer plan;
    EXPECT_EQ(PlanSeriesTransfer(Table(4, 2), 0, Table(4, 1), 1, plan), 0);
    EXPECT_EQ(PlanSeriesTransfer(Table(4, 2), 3, Table(4, 1), 1, plan), 0);
    EXPECT_EQ(PlanSeriesTransfer(SeriesTable{}, 1, Table(4, 1), 1, plan), 0);
    SeriesTable broken = Table(4, 2);
    broken.values.pop_back();
    EXPECT_EQ(PlanSeriesTransfer(broken, 1, Table(4, 1), 1, plan), 0);
}

TEST(TransferQuestion, SaysHowManyRowsAreCutAndOnlyThen)
{
    SeriesTransfer plan;
    EXPECT_EQ(TransferQuestion(plan), "Confirm data transfer");
    plan.cutMoved = 2;
    EXPECT_EQ(TransferQuestion(plan), "Confirm data transfer\n2 rows of the moved series will be cut");
    plan.cutMoved = 0;
    plan.cutTarget = 7;
    EXPECT_EQ(TransferQuestion(plan), "Confirm data transfer\n7 rows of the target's series will be cut");
}
