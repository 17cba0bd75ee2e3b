#include "multivariate/var_forecast.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "platform/typed_entry.h"
#include "resources/resource.h"

const char* const kMvForecastCaption = "ERROR";

namespace {

size_t Count(int32_t columns, int32_t m) { return static_cast<size_t>(columns) * static_cast<size_t>(m); }

// A model whose arrays fit the table it was fitted to.
bool ModelFitsData(const MultivariateProject& project)
{
    const MultivariateData& data = *project.data;
    const MultivariateModel& model = *project.model;
    const size_t mm = Count(data.m, data.m);
    return model.fitted && model.p >= 0 && model.p <= kMaxVarOrder && model.phi.size() == mm * kMaxVarOrder &&
           model.constant.size() == static_cast<size_t>(data.m);
}

}  // namespace

std::string MvForecastRefusal(const MultivariateProject& project)
{
    if (!project.data || !project.model || !project.data->hasData() ||
        project.data->values.size() != Count(project.data->n, project.data->m))
        return "There are no data to forecast.";
    if (!ModelFitsData(project))
        return "Fit an AR model to the data as they are now (Model > Estimation) before forecasting.";
    if (project.data->m > kMvMaxForecastSeries)
        return "AR forecasts can be shown for at most " + IntText(kMvMaxForecastSeries) + " series.";
    return "";
}

std::string MvForecastPrompt(int32_t last)
{
    return "Enter number of predicted values past observation " + IntText(last) + ":";
}

std::string MvForecastSubsetLabel(int32_t n)
{
    return "Enter index of last observation in subset  (total number of observations is " + IntText(n) + ")";
}

MvForecastCheck MvCheckForecastEntries(std::string_view countText, bool useSubset, std::string_view lastText,
                                       int32_t N, int32_t P)
{
    MvForecastCheck check;
    check.last = N;
    const EntryFault countFault = ReadEntryInteger(countText, check.h);
    std::string lastRefusal;
    if (countFault == EntryFault::None && useSubset) {
        const EntryFault lastFault = ReadEntryInteger(lastText, check.last);
        if (lastFault != EntryFault::None) {
            check.last = -1;
            lastRefusal = EntryRefusal("Last index", lastText, lastFault);
        }
    }
    if (countFault != EntryFault::None) {
        check.h = 0;
        check.message = EntryRefusal("Number of forecasts", countText, countFault);
        check.focusControl = IDC_MV_FORECAST_COUNT;
    } else if (check.h < 1) {
        check.message = "Number of predictors MUST be greater than 0";
        check.focusControl = IDC_MV_FORECAST_COUNT;
    } else if (check.h > kMvMaxForecasts) {
        check.message = "Number of predictors must be at most " + IntText(kMvMaxForecasts);
        check.focusControl = IDC_MV_FORECAST_COUNT;
    } else if (!lastRefusal.empty()) {
        check.message = lastRefusal;
        check.focusControl = IDC_MV_FORECAST_LAST;
    } else if (check.last <= P) {
        check.message = "Need number of observations to > p.";
        check.focusControl = IDC_MV_FORECAST_LAST;
    } else if (check.last > N) {
        check.message = "Final point must be less than number of obs.";
        check.focusControl = IDC_MV_FORECAST_LAST;
    } else {
        check.accepted = true;
    }
    return check;
}

int32_t MvForecast(MultivariateProject& project, int32_t h, int32_t origin, int32_t useSubset)
{
    if (!MvForecastRefusal(project).empty()) return 0;
    const MultivariateData& data = *project.data;
    MultivariateModel& model = *project.model;
    const int32_t m = data.m, n = data.n, p = model.p;
    if (h < 1 || h > kMvMaxForecasts || origin <= p || origin > n) return 0;
    const int32_t end = origin + h;
    const int32_t T = std::max(end, n);
    std::vector<double> table(Count(T, m));
    std::copy(data.values.begin(), data.values.end(), table.begin());
    for (int32_t t = origin + 1; t <= end; ++t) {
        for (int32_t i = 1; i <= m; ++i) {
            double sum = model.constant[static_cast<size_t>(i - 1)];
            for (int32_t k = 1; k <= p; ++k)
                for (int32_t j = 1; j <= m; ++j)
                    sum += model.phi[static_cast<size_t>(k - 1) + kMaxVarOrder * (Count(j - 1, m) + (i - 1))] *
                           table[Count(t - k - 1, m) + (j - 1)];
            table[Count(t - 1, m) + (i - 1)] = sum;
        }
    }
    if (!std::all_of(table.begin(), table.end(), [](double v) { return std::isfinite(v); })) return 0;
    model.forecasts.swap(table);
    model.forecastCount = h;
    model.forecastOrigin = origin;
    model.forecastEnd = end;
    model.useSubset = useSubset ? 1 : 0;
    return 1;
}

int32_t MvForecastCurves(MultivariateProject& project)
{
    const MultivariateData& data = *project.data;
    const MultivariateModel& model = *project.model;
    PlotRecord& view = project.forecastView;
    HWND__* window = view.window;
    HWND__* info = view.infoWindow;
    const int32_t slot = view.slot;
    InitPlotRecord(view);
    view.window = window;
    view.infoWindow = info;
    view.slot = slot;
    view.isView = 1;
    const int32_t m = data.m, n = data.n, h = model.forecastCount, origin = model.forecastOrigin;
    const size_t columns = static_cast<size_t>(std::max(model.forecastEnd, n));
    if (model.forecasts.empty() || m < 1 || m > kMvMaxForecastSeries || model.forecasts.size() != columns * m ||
        h < 1 || origin + h != model.forecastEnd || origin > n)
        return 0;
    std::vector<double> observed(static_cast<size_t>(n)), predicted(static_cast<size_t>(h));
    for (int32_t k = 1; k <= m; ++k) {
        for (int32_t t = 1; t <= n; ++t) observed[static_cast<size_t>(t - 1)] = model.forecasts[Count(t - 1, m) + (k - 1)];
        for (int32_t t = 1; t <= h; ++t)
            predicted[static_cast<size_t>(t - 1)] = model.forecasts[Count(origin + t - 1, m) + (k - 1)];
        SetCurveYInPanel(view, k, observed, data.firstIndex, data.lastIndex, k);
        // The forecasts follow the origin's time index, not its position.
        const int32_t first = data.firstIndex + origin;
        SetCurveYInPanel(view, m + k, predicted, first, first + h - 1, k);
        const std::string title = "Series " + IntText(k);
        SetPanelTitle(view, k, title, static_cast<int32_t>(title.size()));
    }
    return 1;
}
