#include "multivariate/multivariate_project.h"

#include <algorithm>
#include <string>

#include "platform/fortran_format.h"
#include "shell/number_format.h"

MultivariateWindowOps MultivariateWindows;

MultivariateData* NewMvSeries() { return new MultivariateData; }

int32_t ClearMvSeries(MultivariateData& data)
{
    data.values.clear();
    data.means.clear();
    data.n = data.m = data.firstIndex = data.lastIndex = 0;
    return 1;
}

MultivariateModel* NewMvModel() { return new MultivariateModel; }

int32_t ClearMvModel(MultivariateModel& model)
{
    model = MultivariateModel{};
    return 1;
}

int32_t InitMvTransformNode(MultivariateTransformNode& node)
{
    node = MultivariateTransformNode{};
    return 1;
}

int32_t FreeMvTransformNode(MultivariateTransformNode*& node)
{
    if (!node) return 0;
    delete node;
    node = nullptr;
    return 1;
}

MultivariateProject* MultivarNew(int32_t slot)
{
    auto* project = new MultivariateProject;
    InitPlotRecord(project->forecastView);
    project->data = NewMvSeries();
    project->model = NewMvModel();
    InitPlotRecord(project->seriesView);
    if (MultivariateWindows.createSeriesWindow)
        MultivariateWindows.createSeriesWindow(*project, slot, "New Multivariate Project");
    project->seriesView.slot = slot;
    return project;
}

int32_t MultivarFree(MultivariateProject& project)
{
    for (HWND__** report : {&project.yuleWalkerReport, &project.burgReport}) {
        if (*report && MultivariateWindows.closeTextWindow) MultivariateWindows.closeTextWindow(*report);
        *report = nullptr;
    }
    if (MultivariateWindows.destroyPlotWindow) {
        MultivariateWindows.destroyPlotWindow(project.seriesView);
        MultivariateWindows.destroyPlotWindow(project.forecastView);
    }
    if (project.data) ClearMvSeries(*project.data);
    delete project.data;
    project.data = nullptr;
    if (project.model) ClearMvModel(*project.model);
    delete project.model;
    project.model = nullptr;
    FreeMvTransforms(project);
    return 1;
}

int32_t FreeMvTransforms(MultivariateProject& project)
{
    while (project.transforms) {
        MultivariateTransformNode* older = project.transforms->next;
        FreeMvTransformNode(project.transforms);
        project.transforms = older;
    }
    return 1;
}

int32_t MultivarSetData(MultivariateProject& project, const std::vector<double>& table, int32_t k,
                        int32_t L, int32_t replace)
{
    MultivariateData& data = *project.data;
    // The new table is complete before anything of the old project is given up.
    int32_t series = k, positions = L;
    std::vector<double> values;
    if (replace) {
        values.assign(table.begin(), table.begin() + static_cast<size_t>(k) * L);
    } else {
        positions = std::min(data.n, L);
        series = data.m + k;
        values.resize(static_cast<size_t>(series) * positions);
        for (int32_t t = 1; t <= positions; ++t) {
            for (int32_t i = 1; i <= data.m; ++i)
                values[static_cast<size_t>(t - 1) * series + (i - 1)] = data.at(i, t);
            for (int32_t i = 1; i <= k; ++i)
                values[static_cast<size_t>(t - 1) * series + data.m + (i - 1)] =
                    table[static_cast<size_t>(t - 1) * k + (i - 1)];
        }
    }
    ClearMvModel(*project.model);
    ClearMvSeries(data);
    data.values.swap(values);
    data.m = series;
    data.n = positions;
    data.firstIndex = 1;
    data.lastIndex = data.n;
    if (project.transforms) {
        FreeMvTransforms(project);
        if (MultivariateWindows.transformsCleared) MultivariateWindows.transformsCleared(project);
    }
    MultivarRefresh(project, 1, 1);
    return 1;
}

int32_t MultivarPlotSeries(MultivariateProject& project)
{
    const MultivariateData& data = *project.data;
    const int32_t shown = std::min(data.m, kPlotPanelCount);
    std::vector<double> y(static_cast<size_t>(data.n));
    for (int32_t k = 1; k <= shown; ++k) {
        for (int32_t t = 1; t <= data.n; ++t) y[static_cast<size_t>(t - 1)] = data.at(k, t);
        SetCurveYInPanel(project.seriesView, k, y, data.firstIndex, data.lastIndex, k);
        const std::string title = "Series " + IntText(k);
        SetPanelTitle(project.seriesView, k, title, static_cast<int32_t>(title.size()));
    }
    return shown;
}

int32_t MultivarRefresh(MultivariateProject& project, int32_t, int32_t)
{
    // A table emptied (its last series moved away) leaves an empty view, not the old curves.
    if (!project.seriesView.window || !project.data) return 1;
    const int32_t slot = project.seriesView.slot;
    HWND__* info = project.seriesView.infoWindow;
    HWND__* window = project.seriesView.window;
    InitPlotRecord(project.seriesView);
    project.seriesView.window = window;
    project.seriesView.slot = slot;
    project.seriesView.infoWindow = info;
    if (project.data->hasData()) MultivarPlotSeries(project);
    if (MultivariateWindows.seriesViewChanged) MultivariateWindows.seriesViewChanged(project);
    return 1;
}

MultivariateStatusTexts MultivarStatusTexts(const MultivariateProject& project, const std::string& title)
{
    MultivariateStatusTexts texts;
    texts.parts[0] = title.substr(0, 127);
    texts.parts[1] = "# of series = " + IntText(project.data ? project.data->m : 0);
    texts.parts[2] = "Length of series = " + IntText(project.data ? project.data->n : 0);
    return texts;
}

std::vector<std::string> MultivariateInfoLines(const MultivariateProject& project)
{
    const int32_t m = project.data ? project.data->m : 0;
    const int32_t n = project.data ? project.data->n : 0;
    std::vector<std::string> lines = {"==================",
                                      "KELO::Multivariate",
                                      "==================",
                                      "# of Series = " + Formatted("(I8)", {m}).substr(0, 8),
                                      "# of Data Points = " + Formatted("(I8)", {n}).substr(0, 8),
                                      "  "};
    // A view has ten panels; the rest of the series stay in the table for fitting and export.
    if (m > kPlotPanelCount) lines.push_back("Only the first 10 series are plotted.");
    return lines;
}
