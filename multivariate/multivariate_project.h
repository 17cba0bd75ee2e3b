#pragma once
// The records of one open multivariate project: its observation table, its vector AR model,
// its transform stack and its two views.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/number_format.h"
#include "shell/plot_record.h"

// m series observed at n time points. Element (i, t) — series i at position t — lies at
// values[(t - 1) * m + (i - 1)]: the m values of one time point are next to each other.
struct MultivariateData {
    std::vector<double> values;  // empty: the project has no data
    int32_t n = 0;
    int32_t m = 0;
    int32_t firstIndex = 0;
    int32_t lastIndex = 0;
    std::vector<double> means;
    bool hasData() const { return !values.empty(); }
    double& at(int32_t i, int32_t t) { return values[static_cast<size_t>(t - 1) * m + (i - 1)]; }
    double at(int32_t i, int32_t t) const { return values[static_cast<size_t>(t - 1) * m + (i - 1)]; }
};

constexpr int32_t kMaxVarOrder = 20;

struct MultivariateModel {
    std::vector<double> phi;              // 20 by m by m; (k, i, j) at (k-1) + 20*((i-1) + m*(j-1))
    std::vector<double> constant;         // m
    std::vector<double> noiseCovariance;  // m by m, column by column
    std::vector<double> residuals;        // m by (n - p): the columns of times p+1..n of the fit
    std::vector<double> forecasts;        // m by T
    int32_t forecastCount = 0;
    int32_t forecastEnd = 0;
    int32_t forecastOrigin = 0;
    double aicc = 0.0;
    int32_t p = 0;
    int32_t minAiccYuleWalker = 0;
    int32_t minAiccBurg = 0;
    int32_t useSubset = 0;
    // 1 from a fit until the data change (new data, a transform or an undo): only then do the
    // coefficients belong to the table and may forecast it.
    int32_t fitted = 0;
};

struct MultivariateTransformNode {
    int32_t kind = 0;  // 1 difference, 16 subtract means, 32 trim
    int32_t lag = 1;
    std::vector<double> removed;  // m by h
    std::vector<double> means;    // m
    std::vector<double> head;     // m by (a - old first index)
    std::vector<double> tail;     // m by (old last index - b)
    int32_t oldFirst = 0;
    int32_t oldLast = 0;
    MultivariateTransformNode* next = nullptr;
};

struct MultivariateProject {
    HWND__* yuleWalkerReport = nullptr;
    HWND__* burgReport = nullptr;
    MultivariateData* data = nullptr;
    MultivariateModel* model = nullptr;
    MultivariateTransformNode* transforms = nullptr;
    PlotRecord seriesView;
    PlotRecord forecastView;
};

// What the lifecycle needs of the windows; the program installs the real operations, tests
// install fakes. A null member skips its step.
struct MultivariateWindowOps {
    int32_t (*destroyPlotWindow)(PlotRecord& view) = nullptr;
    void (*closeTextWindow)(HWND__* window) = nullptr;
    void (*createSeriesWindow)(MultivariateProject& project, int32_t slot, const char* title) = nullptr;
    // Repaints a view's window and rewrites its report when that is open.
    void (*seriesViewChanged)(MultivariateProject& project) = nullptr;
    // The transform stack was emptied by new data: the Undo item follows.
    void (*transformsCleared)(MultivariateProject& project) = nullptr;
};
extern MultivariateWindowOps MultivariateWindows;

MultivariateData* NewMvSeries();
int32_t ClearMvSeries(MultivariateData& data);
MultivariateModel* NewMvModel();
int32_t ClearMvModel(MultivariateModel& model);
int32_t InitMvTransformNode(MultivariateTransformNode& node);
int32_t FreeMvTransformNode(MultivariateTransformNode*& node);
// Frees every transform node, newest first; the stack is then empty. Returns 1.
int32_t FreeMvTransforms(MultivariateProject& project);

MultivariateProject* MultivarNew(int32_t slot);
// Releases everything the project owns, its report windows included (a report left open
// would still name the freed slot).
int32_t MultivarFree(MultivariateProject& project);
// Replaces (replace != 0) or widens the table with `table` of k series by L positions, stored
// as `values` is; empties the model and the transform stack (whose nodes belong to the old
// table) and refreshes.
int32_t MultivarSetData(MultivariateProject& project, const std::vector<double>& table, int32_t k,
                        int32_t L, int32_t replace);
// Fills the series view: series k in panel k titled "Series k", x from firstIndex to lastIndex.
// A view has ten panels, so at most the first ten series are shown; returns the number shown.
int32_t MultivarPlotSeries(MultivariateProject& project);
int32_t MultivarRefresh(MultivariateProject& project, int32_t dataChanged, int32_t modelChanged);

// The three status-bar texts of the project, given its series window's title.
struct MultivariateStatusTexts { std::string parts[3]; };
MultivariateStatusTexts MultivarStatusTexts(const MultivariateProject& project, const std::string& title);
// The lines of the series view's report (after the window title and the clearing).
std::vector<std::string> MultivariateInfoLines(const MultivariateProject& project);
