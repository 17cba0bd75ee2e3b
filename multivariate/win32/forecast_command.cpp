#include "multivariate/win32/forecast_command.h"

#include <windows.h>

#include <new>
#include <string>

#include "multivariate/multivariate_project.h"
#include "multivariate/var_forecast.h"
#include "multivariate/win32/multivariate_windows.h"
#include "platform/dialog_values.h"
#include "platform/win32/dialog_layer.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/plot_window.h"

namespace {

int32_t IntegerIn(const DialogRecord& dialog, int id, int32_t fallback)
{
    std::string text;
    int value = 0;
    return DialogGetText(dialog, id, text) && ParseDialogInteger(text, value) ? value : fallback;
}

// The origin edit and its label follow the option buttons; the edit shows N either way.
void ShowOriginChoice(DialogRecord& dialog, bool subset, int32_t N)
{
    DialogSetLogical(dialog, IDC_MV_FORECAST_ALL, subset ? 0 : 1);
    DialogSetLogical(dialog, IDC_MV_FORECAST_SUBSET, subset ? 1 : 0);
    DialogSetText(dialog, IDC_MV_FORECAST_SUBSET_LABEL, MvForecastSubsetLabel(N));
    DialogSetLogical(dialog, IDC_MV_FORECAST_SUBSET_LABEL, subset ? 1 : 0, DIALOG_SELECT_ENABLED);
    DialogSetText(dialog, IDC_MV_FORECAST_LAST, IntText(N));
    DialogSetLogical(dialog, IDC_MV_FORECAST_LAST, subset ? 1 : 0, DIALOG_SELECT_ENABLED);
}

bool SubsetChosen(const DialogRecord& dialog)
{
    int subset = 0;
    DialogGetLogical(dialog, IDC_MV_FORECAST_SUBSET, subset);
    return subset != 0;
}

void Refuse(DialogRecord& dialog, const MvForecastCheck& check)
{
    ShowMvMessage(dialog.window, check.message, kMvForecastCaption);
    if (HWND edit = GetDlgItem(dialog.window, check.focusControl)) {
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
    }
}

void ForecastCommand(MultivariateProject& project) { MultivarForecast(project); }

}  // namespace

void MvForecastDlgCallback(DialogRecord& dialog, int controlId, int)
{
    const int32_t N = IntegerIn(dialog, IDC_MV_FORECAST_N, 0);
    const int32_t P = IntegerIn(dialog, IDC_MV_FORECAST_P, 0);
    int32_t last = N;
    switch (controlId) {
    case IDC_MV_FORECAST_ALL:
    case IDC_MV_FORECAST_SUBSET:
        ShowOriginChoice(dialog, SubsetChosen(dialog), N);
        break;
    case IDC_MV_FORECAST_LAST:
        // A text that is not an integer leaves the prompt as it was.
        last = IntegerIn(dialog, IDC_MV_FORECAST_LAST, -1);
        if (last == -1) return;
        break;
    case IDOK: {
        std::string count, origin;
        DialogGetText(dialog, IDC_MV_FORECAST_COUNT, count);
        DialogGetText(dialog, IDC_MV_FORECAST_LAST, origin);
        const MvForecastCheck check = MvCheckForecastEntries(count, SubsetChosen(dialog), origin, N, P);
        last = check.last;
        DialogSetText(dialog, IDC_MV_FORECAST_PROMPT, MvForecastPrompt(last));
        if (check.accepted)
            DialogExit(dialog);
        else
            Refuse(dialog, check);
        return;
    }
    default:
        return;
    }
    DialogSetText(dialog, IDC_MV_FORECAST_PROMPT, MvForecastPrompt(last));
}

int32_t MultivarForecast(MultivariateProject& project)
{
    const std::string refusal = MvForecastRefusal(project);
    if (!refusal.empty()) {
        ShowMvMessage(nullptr, refusal, kMvForecastCaption);
        return 0;
    }
    const MultivariateData& data = *project.data;
    MultivariateModel& model = *project.model;
    if (model.forecastCount < 1) model.forecastCount = 10;
    const bool subset = model.useSubset != 0;
    const int32_t origin = subset ? model.forecastOrigin : data.n;

    DialogRecord dialog;
    if (!DialogInit(dialog, IDD_MV_FORECAST)) return 0;
    DialogSetText(dialog, IDC_MV_FORECAST_COUNT, IntText(model.forecastCount));
    ShowOriginChoice(dialog, subset, data.n);
    DialogSetText(dialog, IDC_MV_FORECAST_LAST, IntText(origin));
    DialogSetText(dialog, IDC_MV_FORECAST_N, IntText(data.n));
    DialogSetText(dialog, IDC_MV_FORECAST_P, IntText(model.p));
    DialogSetText(dialog, IDC_MV_FORECAST_PROMPT, MvForecastPrompt(origin));
    for (int id : {IDC_MV_FORECAST_ALL, IDC_MV_FORECAST_SUBSET, IDC_MV_FORECAST_LAST, IDOK})
        DialogSetCallback(dialog, id, MvForecastDlgCallback);
    const int result = DialogRunModal(dialog);
    std::string count, last;
    DialogGetText(dialog, IDC_MV_FORECAST_COUNT, count);
    DialogGetText(dialog, IDC_MV_FORECAST_LAST, last);
    const bool useSubset = SubsetChosen(dialog);
    DialogRelease(dialog);
    if (result != 1) return 0;

    const MvForecastCheck check = MvCheckForecastEntries(count, useSubset, last, data.n, model.p);
    if (!check.accepted) return 0;
    try {
        if (!MvForecast(project, check.h, check.last, useSubset ? 1 : 0)) {
            ShowMvMessage(nullptr, "The forecasts would be out of range", kMvForecastCaption);
            return 0;
        }
    } catch (const std::bad_alloc&) {
        ShowMvMessage(nullptr, "Not enough memory for the forecasts", kMvForecastCaption);
        return 0;
    }
    MvForecastPlot(project);
    return 1;
}

int32_t MvForecastPlot(MultivariateProject& project)
{
    PlotRecord& view = project.forecastView;
    if (!view.window || !IsWindow(reinterpret_cast<HWND>(view.window))) {
        view.window = nullptr;
        if (!CreatePlotWindow(view, 1) || !view.window) return 0;
        view.slot = project.seriesView.slot;
        SetWindowTextW(reinterpret_cast<HWND>(view.window), L"AR Forecast");
    }
    MvForecastCurves(project);
    InvalidateRect(reinterpret_cast<HWND>(view.window), nullptr, TRUE);
    return 0;
}

void RegisterMvForecastCommand() { RegisterMultivariateCommand(IDM_MV_FORECAST_AR, ForecastCommand); }
