#include "multivariate/multivariate_project.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> windowLog;

class MultivariateProjectTest : public testing::Test {
protected:
    void SetUp() override
    {
        windowLog.clear();
        MultivariateWindows.destroyPlotWindow = [](PlotRecord& view) -> int32_t {
            windowLog.push_back("destroy " + std::to_string(view.isView));
            view.window = nullptr;
            return 1;
        };
        MultivariateWindows.closeTextWindow = [](HWND__*) { windowLog.push_back("close report"); };
        MultivariateWindows.createSeriesWindow = [](MultivariateProject& project, int32_t slot, const char* title) {
            project.seriesView.window = reinterpret_cast<HWND__*>(uintptr_t{1});
            windowLog.push_back("create " + std::to_string(slot) + " " + title);
        };
        MultivariateWindows.seriesViewChanged = [](MultivariateProject&) { windowLog.push_back("changed"); };
    }
    void TearDown() override { MultivariateWindows = {}; }

    // k series by L positions, series i at position t holding 100 i + t.
    static std::vector<double> Table(int32_t k, int32_t L)
    {
        std::vector<double> table;
        for (int32_t t = 1; t <= L; ++t)
            for (int32_t i = 1; i <= k; ++i) table.push_back(100.0 * i + t);
        return table;
    }
};

}  // namespace

TEST_F(MultivariateProjectTest, NewProjectIsEmptyWithItsWindow)
{
    std::unique_ptr<MultivariateProject> project(MultivarNew(4));
    EXPECT_EQ(windowLog, std::vector<std::string>{"create 4 New Multivariate Project"});
    EXPECT_EQ(project->seriesView.slot, 4);
    EXPECT_FALSE(project->data->hasData());
    const MultivariateStatusTexts texts = MultivarStatusTexts(*project, "New Multivariate Project");
    EXPECT_EQ(texts.parts[1], "# of series = 0");
    EXPECT_EQ(texts.parts[2], "Length of series = 0");
    MultivarFree(*project);
}

TEST_F(MultivariateProjectTest, ReplaceThenWidenKeepsTheShorterLength)
{
    std::unique_ptr<MultivariateProject> project(MultivarNew(1));
    project->model->p = 3;
    MultivarSetData(*project, Table(2, 100), 2, 100, 1);
    EXPECT_EQ(project->data->m, 2);
    EXPECT_EQ(project->data->n, 100);
    EXPECT_EQ(project->model->p, 0);
    EXPECT_EQ(project->seriesView.panels[2].inUse, 1);
    EXPECT_EQ(PanelTitleText(project->seriesView, 2), "Series 2");
    EXPECT_EQ(project->seriesView.curves[1].x.front(), 1);
    EXPECT_EQ(project->seriesView.curves[1].x.back(), 100);

    project->model->p = 2;
    MultivarSetData(*project, Table(1, 80), 1, 80, 0);
    const MultivariateData& data = *project->data;
    EXPECT_EQ(data.m, 3);
    EXPECT_EQ(data.n, 80);
    EXPECT_EQ(data.lastIndex, 80);
    EXPECT_EQ(data.at(2, 80), 280);
    EXPECT_EQ(data.at(3, 5), 105);  // the widening series was series 1 of its own table
    EXPECT_EQ(project->model->p, 0);
    const std::vector<std::string> report = MultivariateInfoLines(*project);
    EXPECT_EQ(report[3], "# of Series =        3");
    EXPECT_EQ(report[4], "# of Data Points =       80");
    MultivarFree(*project);
}

TEST_F(MultivariateProjectTest, WideningAnEmptyProjectGivesNoPositions)
{
    std::unique_ptr<MultivariateProject> project(MultivarNew(1));
    MultivarSetData(*project, Table(2, 5), 2, 5, 0);
    EXPECT_EQ(project->data->n, 0);
    EXPECT_FALSE(project->data->hasData());
    MultivarFree(*project);
}

TEST_F(MultivariateProjectTest, SeriesViewShowsAtMostTenSeries)
{
    std::unique_ptr<MultivariateProject> project(MultivarNew(1));
    MultivarSetData(*project, Table(12, 6), 12, 6, 1);
    EXPECT_EQ(project->data->m, 12);  // all twelve stay available for fitting and export
    EXPECT_EQ(MultivarPlotSeries(*project), 10);
    EXPECT_EQ(PanelTitleText(project->seriesView, 10), "Series 10");
    EXPECT_EQ(MultivariateInfoLines(*project).back(), "Only the first 10 series are plotted.");
    MultivarFree(*project);
}

TEST_F(MultivariateProjectTest, FreeClosesReportsAndViews)
{
    std::unique_ptr<MultivariateProject> project(MultivarNew(1));
    project->burgReport = reinterpret_cast<HWND__*>(uintptr_t{9});
    auto* node = new MultivariateTransformNode;
    node->next = new MultivariateTransformNode;
    project->transforms = node;
    project->forecastView.isView = 1;
    windowLog.clear();
    MultivarFree(*project);
    EXPECT_EQ(windowLog, (std::vector<std::string>{"close report", "destroy 0", "destroy 1"}));
    EXPECT_EQ(project->transforms, nullptr);
    EXPECT_EQ(project->data, nullptr);
    EXPECT_EQ(project->burgReport, nullptr);
}
