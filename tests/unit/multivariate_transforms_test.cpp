#include "multivariate/multivariate_transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

// A project of m series over n points at indices 1..n, without windows: series i at position t
// holds a wiggly, non-linear value so that no transform leaves it unchanged.
struct Project {
    std::unique_ptr<MultivariateProject> record{MultivarNew(1)};
    Project(int32_t m, int32_t n)
    {
        std::vector<double> table;
        for (int32_t t = 1; t <= n; ++t)
            for (int32_t i = 1; i <= m; ++i) table.push_back(100.0 * i + t * t * 0.5 + std::sin(3.0 * t + i));
        MultivarSetData(*record, table, m, n, 1);
    }
    ~Project() { MultivarFree(*record); }
    MultivariateProject& operator*() { return *record; }
    MultivariateData& data() { return *record->data; }
};

void ExpectTablesNear(const std::vector<double>& a, const std::vector<double>& b, double tolerance)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k) EXPECT_NEAR(a[k], b[k], tolerance) << k;
}

}  // namespace

TEST(MultivariateTransformsTest, LagMessagesForTenPoints)
{
    for (int32_t h = 1; h <= 8; ++h) EXPECT_EQ(MvDifferenceLagMessage(10, h), "") << h;
    EXPECT_EQ(MvDifferenceLagMessage(10, 9), "Lag too large for data set.");
    EXPECT_EQ(MvDifferenceLagMessage(10, 0), "Lag must be positive");
    EXPECT_EQ(MvDifferenceLagMessage(10, -4), "Lag must be positive");
    EXPECT_EQ(MvTrimMessage(3, 10), "Select a subsequence in [3,10]");
}

// Each transform and its undo, with the index range and the Undo item in between; the undo
// gives the table back.
TEST(MultivariateTransformsTest, ApplyThenUndoGivesTheTableBack)
{
    struct Case {
        const char* name;
        int32_t (*apply)(MultivariateProject&);
        int32_t n, first, last;
        const char* undoText;
    };
    const Case cases[] = {
        {"difference at lag 2", [](MultivariateProject& p) { return MvDifference(p, 2); }, 8, 3, 10,
         "Undo Differencing (2)"},
        {"subtract means", MvSubtractMeans, 10, 1, 10, "Undo Subtract Mean"},
        {"trim 3..7", [](MultivariateProject& p) { return MvTrim(p, 3, 7); }, 5, 3, 7, "Undo Trimming"},
        {"trim 1..10 keeps all", [](MultivariateProject& p) { return MvTrim(p, 1, 10); }, 10, 1, 10, "Undo Trimming"},
        {"trim 1..9", [](MultivariateProject& p) { return MvTrim(p, 1, 9); }, 9, 1, 9, "Undo Trimming"},
    };
    for (const Case& c : cases) {
        Project project(3, 10);
        const std::vector<double> before = project.data().values;
        project.record->model->fitted = 1;
        ASSERT_EQ(c.apply(*project), 1) << c.name;
        EXPECT_EQ(project.data().n, c.n) << c.name;
        EXPECT_EQ(project.data().firstIndex, c.first) << c.name;
        EXPECT_EQ(project.data().lastIndex, c.last) << c.name;
        EXPECT_EQ(project.data().values.size(), 3u * c.n) << c.name;
        EXPECT_EQ(project.record->model->fitted, 0) << c.name;  // the model no longer fits the data
        const MvUndoItem item = MvUndoMenuItem(*project);
        EXPECT_EQ(item.text, c.undoText) << c.name;
        EXPECT_TRUE(item.enabled) << c.name;
        ASSERT_EQ(MvUndoNewest(*project), 1) << c.name;
        EXPECT_EQ(project.data().n, 10) << c.name;
        EXPECT_EQ(project.data().firstIndex, 1) << c.name;
        EXPECT_EQ(project.data().lastIndex, 10) << c.name;
        ExpectTablesNear(project.data().values, before, 1e-12);
        EXPECT_EQ(project.record->transforms, nullptr) << c.name;
        EXPECT_EQ(MvUndoMenuItem(*project).text, "Undo") << c.name;
        EXPECT_FALSE(MvUndoMenuItem(*project).enabled) << c.name;
    }
}

TEST(MultivariateTransformsTest, ValuesOfDifferenceMeansAndTrim)
{
    Project project(2, 6);
    const MultivariateData& data = project.data();
    const std::vector<double> x = data.values;
    ASSERT_EQ(MvDifference(*project, 2), 1);
    for (int32_t t = 1; t <= 4; ++t)
        for (int32_t i = 1; i <= 2; ++i)
            EXPECT_EQ(data.at(i, t), x[(t + 1) * 2 + (i - 1)] - x[(t - 1) * 2 + (i - 1)]) << i << " " << t;
    EXPECT_EQ(project.record->transforms->removed, std::vector<double>(x.begin(), x.begin() + 4));

    ASSERT_EQ(MvSubtractMeans(*project), 1);
    for (int32_t i = 1; i <= 2; ++i) {
        double sum = 0;
        for (int32_t t = 1; t <= 4; ++t) sum += data.at(i, t);
        EXPECT_NEAR(sum, 0.0, 1e-10);
    }
    // Applied again it pushes another node with means near 0.
    ASSERT_EQ(MvSubtractMeans(*project), 1);
    EXPECT_NEAR(project.record->transforms->means[0], 0.0, 1e-12);

    ASSERT_EQ(MvTrim(*project, 4, 5), 1);  // indices 3..6 after the difference
    EXPECT_EQ(data.n, 2);
    EXPECT_EQ(project.record->transforms->head.size(), 2u);
    EXPECT_EQ(project.record->transforms->tail.size(), 2u);
}

TEST(MultivariateTransformsTest, TwoTransformsUndoInReverseOrder)
{
    Project project(2, 12);
    const std::vector<double> original = project.data().values;
    ASSERT_EQ(MvTrim(*project, 2, 11), 1);
    const std::vector<double> trimmed = project.data().values;
    ASSERT_EQ(MvDifference(*project, 1), 1);
    EXPECT_EQ(MvUndoMenuItem(*project).text, "Undo Differencing (1)");
    ASSERT_EQ(MvUndoNewest(*project), 1);
    ExpectTablesNear(project.data().values, trimmed, 1e-12);
    EXPECT_EQ(MvUndoMenuItem(*project).text, "Undo Trimming");
    ASSERT_EQ(MvUndoNewest(*project), 1);
    EXPECT_EQ(project.data().values, original);
    EXPECT_EQ(MvUndoMenuItem(*project).text, "Undo");
    EXPECT_EQ(MvUndoNewest(*project), 0);  // an empty stack does nothing
    EXPECT_EQ(project.data().values, original);
}

TEST(MultivariateTransformsTest, RefusedArgumentsChangeNothing)
{
    Project project(2, 10);
    const std::vector<double> before = project.data().values;
    const struct {
        const char* name;
        int32_t (*apply)(MultivariateProject&);
    } refused[] = {
        {"lag 0", [](MultivariateProject& p) { return MvDifference(p, 0); }},
        {"lag 9 of 10 points", [](MultivariateProject& p) { return MvDifference(p, 9); }},
        {"a = b", [](MultivariateProject& p) { return MvTrim(p, 4, 4); }},
        {"a below the first index", [](MultivariateProject& p) { return MvTrim(p, 0, 5); }},
        {"b above the last index", [](MultivariateProject& p) { return MvTrim(p, 2, 11); }},
        {"a above b", [](MultivariateProject& p) { return MvTrim(p, 6, 5); }},
        {"undo without a node", MvUndoDifference},
        {"undo of another kind", MvUndoTrim},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(r.apply(*project), 0) << r.name;
        EXPECT_EQ(project.data().values, before) << r.name;
        EXPECT_EQ(project.data().firstIndex, 1) << r.name;
        EXPECT_EQ(project.record->transforms, nullptr) << r.name;
    }
    // An undo of the wrong kind leaves the node on the stack.
    ASSERT_EQ(MvSubtractMeans(*project), 1);
    EXPECT_EQ(MvUndoDifference(*project), 0);
    EXPECT_EQ(MvUndoTrim(*project), 0);
    EXPECT_NE(project.record->transforms, nullptr);
}

TEST(MultivariateTransformsTest, ResultsOutOfRangeAreRefused)
{
    std::unique_ptr<MultivariateProject> project(MultivarNew(1));
    const double big = std::numeric_limits<double>::max();
    MultivarSetData(*project, {big, 1, -big, 2, big, 3}, 2, 3, 1);
    const std::vector<double> before = project->data->values;
    EXPECT_EQ(MvDifference(*project, 1), 0);
    EXPECT_EQ(MvSubtractMeans(*project), 0);  // the sum overflows
    EXPECT_EQ(project->data->values, before);
    EXPECT_EQ(project->transforms, nullptr);
    MultivarFree(*project);
}

TEST(MultivariateTransformsTest, NewDataEmptiesTheStack)
{
    Project project(2, 10);
    ASSERT_EQ(MvDifference(*project, 1), 1);
    ASSERT_EQ(MvTrim(*project, 3, 8), 1);
    int cleared = 0;
    static int* counter = nullptr;
    counter = &cleared;
    MultivariateWindows.transformsCleared = [](MultivariateProject&) { ++*counter; };
    MultivarSetData(*project, std::vector<double>(3 * 5, 1.0), 3, 5, 1);
    EXPECT_EQ(project.record->transforms, nullptr);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(MvUndoMenuItem(*project).text, "Undo");
    EXPECT_EQ(MvUndoNewest(*project), 0);
    // Widening does the same.
    ASSERT_EQ(MvSubtractMeans(*project), 1);
    MultivarSetData(*project, std::vector<double>(5, 2.0), 1, 5, 0);
    EXPECT_EQ(project.record->transforms, nullptr);
    EXPECT_EQ(cleared, 2);
    EXPECT_EQ(project.data().m, 4);
    MultivariateWindows = {};
}
