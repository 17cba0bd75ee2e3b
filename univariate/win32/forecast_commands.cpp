#include "univariate/win32/forecast_commands.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/dialog_values.h"
#include "platform/win32/dialog_layer.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/number_format.h"
#include "shell/plot_record.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "univariate/forecasting.h"
#include "univariate/refresh.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/univariate_reports.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

void ShowMessage(const std::string& text, const std::string& caption)
{
    MessageBoxW(MessageBoxOwner(), WideText(text).c_str(), WideText(caption).c_str(), MB_OK);
}

std::wstring DataWindowTitle(const UnivariateProject& u)
{
    wchar_t title[236] = {};
    if (u.dataView.window) GetWindowTextW(Handle(u.dataView.window), title, 236);
    std::wstring text = title;
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

// Draws the data and the forecasts (filled markers) into a view, created when it is not open.
void DrawForecastView(UnivariateProject& u, int32_t viewIndex, const char* prefix, const ForecastCurves& c)
{
    PlotRecord& view = u.views[viewIndex];
    if (!view.window) {
        if (!CreatePlotWindow(view, 1)) return;
        SetWindowTextW(Handle(view.window), (WideText(prefix) + DataWindowTitle(u)).c_str());
    }
    view.slot = u.dataView.slot;
    const int32_t first = static_cast<int32_t>(c.dataFirst);
    const int32_t firstForecast = static_cast<int32_t>(c.forecastFirst);
    SetCurveY(view, 1, c.data, first, first + static_cast<int32_t>(c.data.size()) - 1);
    SetCurveY(view, 2, c.forecasts, firstForecast, firstForecast + static_cast<int32_t>(c.forecasts.size()) - 1);
    SetCurveStyle(view, 2, -1, 1, -1);
    InvalidateRect(Handle(view.window), nullptr, TRUE);
}

// An open view whose forecasts are gone shows nothing rather than a failed run.
void ClearForecastView(UnivariateProject& u, int32_t viewIndex)
{
    PlotRecord& view = u.views[viewIndex];
    if (!view.window) return;
    ResetCurve(view, 1);
    ClearCurveData(view, 2);
    InvalidateRect(Handle(view.window), nullptr, TRUE);
}

std::string Text(const DialogRecord& dialog, int id)
{
    std::string text;
    DialogGetText(dialog, id, text);
    return text;
}

bool Checked(const DialogRecord& dialog, int id)
{
    int value = 0;
    DialogGetLogical(dialog, id, value);
    return value != 0;
}

void Enable(DialogRecord& dialog, std::initializer_list<int> ids, bool on)
{
    for (int id : ids) DialogSetLogical(dialog, id, on ? 1 : 0, DIALOG_SELECT_ENABLED);
}

void FocusAndSelect(const DialogRecord& dialog, int id)
{
    if (!dialog.window || !id) return;
    SetFocus(GetDlgItem(dialog.window, id));
    SendDlgItemMessageW(dialog.window, id, EM_SETSEL, 0, -1);
}


std::string RangeLabel(int32_t T)
{
    return "Enter index of last observation in subset  (total number of observations is " + IntText(T) + ")";
}

std::string StepsPrompt(const std::string& last) { return "Enter number of predicted values past observation " + last + ":"; }

// ---- The range part shared by dialogs 102, 104 and 103

struct RangeIds {
    int all, subset, firstLabel, lastLabel, first, last;
};
const RangeIds kArarIds = {IDC_ARAR_ALL, IDC_ARAR_SUBSET, IDC_ARAR_FIRST_LABEL, IDC_ARAR_LAST_LABEL, IDC_ARAR_FIRST, IDC_ARAR_LAST};
const RangeIds kHwIds = {IDC_HW_ALL, IDC_HW_SUBSET, IDC_HW_FIRST_LABEL, IDC_HW_LAST_LABEL, IDC_HW_FIRST, IDC_HW_LAST};
const RangeIds kShwIds = {IDC_SHW_ALL, IDC_SHW_SUBSET, IDC_SHW_FIRST_LABEL, IDC_SHW_LAST_LABEL, IDC_SHW_FIRST, IDC_SHW_LAST};

int32_t HiddenCount(const DialogRecord& dialog, int id)
{
    int value = 0;
    return ParseDialogInteger(Text(dialog, id), value) ? value : 0;
}

// The number of an entry the dialog's check has accepted.
double EntryValue(const DialogRecord& dialog, int id)
{
    double value = 0.0;
    return ParseDialogReal(Text(dialog, id), value) ? value : 0.0;
}

void ShowRangeChoice(DialogRecord& dialog, const RangeIds& ids, bool subset, int32_t first, int32_t last, int32_t T)
{
    DialogSetLogical(dialog, ids.all, subset ? 0 : 1);
    DialogSetLogical(dialog, ids.subset, subset ? 1 : 0);
    Enable(dialog, {ids.firstLabel, ids.lastLabel, ids.first, ids.last}, subset);
    DialogSetText(dialog, ids.lastLabel, RangeLabel(T));
    DialogSetText(dialog, ids.first, IntText(first));
    DialogSetText(dialog, ids.last, IntText(last));
}

// The range controls' reaction to a click on a range choice or the untransformed box, to the
// last index, and to OK with the check's outcome.
void RangeCallback(DialogRecord& dialog, int controlId, const RangeIds& ids,
                   ForecastCheck (*check)(const DialogRecord&))
{
    const int32_t n = HiddenCount(dialog, IDC_FC_N), g = HiddenCount(dialog, IDC_FC_G);
    const bool untransformed = Checked(dialog, IDC_FC_UNTRANSFORMED);
    int32_t first = 0, last = 0;
    DefaultForecastRange(untransformed, n, g, first, last);
    if (controlId == ids.all || controlId == ids.subset || controlId == IDC_FC_UNTRANSFORMED) {
        const bool subset = Checked(dialog, ids.subset);
        ShowRangeChoice(dialog, ids, subset, first, last, n + g);
        if (subset) FocusAndSelect(dialog, ids.first);
    } else if (controlId == IDOK) {
        const ForecastCheck result = check(dialog);
        for (const std::string& message : result.messages) ShowMessage(message, result.caption);
        if (!result.messages.empty()) FocusAndSelect(dialog, result.focusControl);
        if (result.completeSet) {
            DialogSetLogical(dialog, ids.all, 1);
            DialogSetLogical(dialog, ids.subset, 0);
        }
        if (result.accepted) DialogExit(dialog);
    }
    const std::string lastText = Checked(dialog, ids.subset) ? Text(dialog, ids.last) : IntText(last);
    DialogSetText(dialog, IDC_FC_STEPS_PROMPT, StepsPrompt(lastText));
}

// Stages the range part of a dialog from the stored settings; a complete set is reset to the
// default range (also kept when the dialog is then cancelled).
void StageRange(DialogRecord& dialog, const RangeIds& ids, const TransformSummary& s, int32_t n, int32_t& subset,
                int32_t& first, int32_t& last)
{
    const int32_t T = n + s.totalLag;
    DialogSetText(dialog, IDC_FC_N, IntText(n));
    DialogSetText(dialog, IDC_FC_G, IntText(s.totalLag));
    DialogSetLogical(dialog, IDC_FC_UNTRANSFORMED, 1);
    DialogSetLogical(dialog, IDC_FC_UNTRANSFORMED, s.any ? 1 : 0, DIALOG_SELECT_ENABLED);
    if (!subset) {
        first = 1;
        last = T;
    }
    ShowRangeChoice(dialog, ids, subset != 0, first, last, T);
    DialogSetText(dialog, IDC_FC_STEPS_PROMPT, StepsPrompt(IntText(last)));
}

// The range after OK, in the untransformed numbering.
void ReadRange(const DialogRecord& dialog, const RangeIds& ids, int32_t n, int32_t g, bool untransformed,
               int32_t& subset, int32_t& first, int32_t& last)
{
    subset = Checked(dialog, ids.subset) ? 1 : 0;
    DefaultForecastRange(untransformed, n, g, first, last);
    if (subset) {
        int a = 0, b = 0;
        if (ParseDialogInteger(Text(dialog, ids.first), a)) first = a;
        if (ParseDialogInteger(Text(dialog, ids.last), b)) last = b;
    }
}

// Attaches `check` to the range controls, to `extra` (when not 0), to the untransformed box and
// to OK, and runs the staged dialog; OK ends it only once `check` has accepted the entries, the
// number of forecasts among them, which is then stored. 0: cancelled (the dialog released);
// 1: accepted, the dialog still bound for reading.
int RunRangeDialog(DialogRecord& dialog, UnivariateProject& u, const RangeIds& ids, int extra, DialogCallback check)
{
    for (int id : {ids.all, ids.subset, ids.last, extra, static_cast<int>(IDC_FC_UNTRANSFORMED), static_cast<int>(IDOK)})
        if (id) DialogSetCallback(dialog, id, check);
    if (DialogRunModal(dialog) != 1) {
        DialogRelease(dialog);
        return 0;
    }
    int steps = 0;
    if (ParseDialogInteger(Text(dialog, IDC_FC_STEPS), steps)) u.forecastSteps = steps;
    return 1;
}

// ---- ARAR

ForecastCheck ArarCheck(const DialogRecord& dialog)
{
    ArarEntries e;
    e.steps = Text(dialog, IDC_FC_STEPS);
    e.first = Text(dialog, IDC_ARAR_FIRST);
    e.last = Text(dialog, IDC_ARAR_LAST);
    e.subset = Checked(dialog, IDC_ARAR_SUBSET);
    e.untransformed = Checked(dialog, IDC_FC_UNTRANSFORMED);
    e.n = HiddenCount(dialog, IDC_FC_N);
    e.g = HiddenCount(dialog, IDC_FC_G);
    return CheckArarEntries(e);
}

void ArarDlgCheck(DialogRecord& dialog, int controlId, int) { RangeCallback(dialog, controlId, kArarIds, ArarCheck); }

// ---- Holt-Winters

ForecastCheck HoltWintersCheck(const DialogRecord& dialog, bool seasonal)
{
    const RangeIds& ids = seasonal ? kShwIds : kHwIds;
    HoltWintersEntries e;
    e.seasonal = seasonal;
    e.steps = Text(dialog, IDC_FC_STEPS);
    e.alpha = Text(dialog, seasonal ? IDC_SHW_ALPHA : IDC_HW_ALPHA);
    e.beta = Text(dialog, seasonal ? IDC_SHW_BETA : IDC_HW_BETA);
    if (seasonal) {
        e.gamma = Text(dialog, IDC_SHW_GAMMA);
        e.period = Text(dialog, IDC_SHW_PERIOD);
    }
    e.first = Text(dialog, ids.first);
    e.last = Text(dialog, ids.last);
    e.subset = Checked(dialog, ids.subset);
    e.untransformed = Checked(dialog, IDC_FC_UNTRANSFORMED);
    e.n = HiddenCount(dialog, IDC_FC_N);
    e.g = HiddenCount(dialog, IDC_FC_G);
    return CheckHoltWintersEntries(e);
}

ForecastCheck PlainCheck(const DialogRecord& dialog) { return HoltWintersCheck(dialog, false); }
ForecastCheck SeasonalCheck(const DialogRecord& dialog) { return HoltWintersCheck(dialog, true); }

void EnableConstants(DialogRecord& dialog, bool seasonal, bool on)
{
    if (seasonal)
        Enable(dialog, {IDC_SHW_ALPHA_LABEL, IDC_SHW_BETA_LABEL, IDC_SHW_GAMMA_LABEL, IDC_SHW_ALPHA, IDC_SHW_BETA, IDC_SHW_GAMMA},
               on);
    else
        Enable(dialog, {IDC_HW_ALPHA_LABEL, IDC_HW_BETA_LABEL, IDC_HW_ALPHA, IDC_HW_BETA}, on);
}

void HoltWintersDlgCheck(DialogRecord& dialog, int controlId, int)
{
    if (controlId == IDC_HW_OPTIMISE) EnableConstants(dialog, false, !Checked(dialog, IDC_HW_OPTIMISE));
    RangeCallback(dialog, controlId, kHwIds, PlainCheck);
}

void SeasonalHoltWintersDlgCheck(DialogRecord& dialog, int controlId, int)
{
    if (controlId == IDC_SHW_OPTIMISE) EnableConstants(dialog, true, !Checked(dialog, IDC_SHW_OPTIMISE));
    RangeCallback(dialog, controlId, kShwIds, SeasonalCheck);
}

int32_t HoltWintersCommand(UnivariateProject& u, bool seasonal)
{
    if (!u.hasData()) return 0;
    const TransformSummary s = SummariseTransforms(u.transforms);
    const RangeIds& ids = seasonal ? kShwIds : kHwIds;
    HoltWintersSettings a;
    if (u.forecastSteps <= 0) u.forecastSteps = 10;
    if (seasonal && u.shwPeriod == 0) u.shwPeriod = 12;
    int32_t& subset = seasonal ? u.shwSubset : u.hwSubset;
    int32_t& first = seasonal ? u.shwFirst : u.hwFirst;
    int32_t& last = seasonal ? u.shwLast : u.hwLast;
    const int32_t optimise = seasonal ? u.shwOptimise : u.hwOptimise;
    DialogRecord dialog;
    if (!DialogInit(dialog, seasonal ? IDD_SHW_FORECAST : IDD_HW_FORECAST)) return 0;
    DialogSetText(dialog, IDC_FC_STEPS, IntText(u.forecastSteps));
    StageRange(dialog, ids, s, u.n, subset, first, last);
    DialogSetLogical(dialog, seasonal ? IDC_SHW_OPTIMISE : IDC_HW_OPTIMISE, optimise ? 1 : 0);
    EnableConstants(dialog, seasonal, optimise == 0);
    DialogSetText(dialog, seasonal ? IDC_SHW_ALPHA : IDC_HW_ALPHA, SmoothingConstantText(seasonal ? u.shwAlpha : u.hwAlpha));
    DialogSetText(dialog, seasonal ? IDC_SHW_BETA : IDC_HW_BETA, SmoothingConstantText(seasonal ? u.shwBeta : u.hwBeta));
    if (seasonal) {
        DialogSetText(dialog, IDC_SHW_GAMMA, SmoothingConstantText(u.shwGamma));
        DialogSetText(dialog, IDC_SHW_PERIOD, IntText(u.shwPeriod));
    }
    const int outcome = RunRangeDialog(dialog, u, ids, seasonal ? IDC_SHW_OPTIMISE : IDC_HW_OPTIMISE,
                                       seasonal ? SeasonalHoltWintersDlgCheck : HoltWintersDlgCheck);
    if (outcome == 0) return 0;
    a.count = u.forecastSteps;
    a.optimise = Checked(dialog, seasonal ? IDC_SHW_OPTIMISE : IDC_HW_OPTIMISE) ? 1 : 0;
    // The check has accepted every entry: each reads as its number.
    a.alpha = EntryValue(dialog, seasonal ? IDC_SHW_ALPHA : IDC_HW_ALPHA);
    a.beta = EntryValue(dialog, seasonal ? IDC_SHW_BETA : IDC_HW_BETA);
    if (seasonal) {
        a.gamma = EntryValue(dialog, IDC_SHW_GAMMA);
        a.period = static_cast<int32_t>(EntryValue(dialog, IDC_SHW_PERIOD));
    }
    a.untransformed = Checked(dialog, IDC_FC_UNTRANSFORMED);
    ReadRange(dialog, ids, u.n, s.totalLag, a.untransformed, a.subset, a.first, a.last);
    DialogRelease(dialog);
    ForecastCurves curves;
    const int32_t status = HoltWintersRun(u, a, curves);
    if (status != FORECAST_DONE) {
        ShowMessage(ForecastFailureMessage(status), "ERROR");
        return 0;
    }
    if (seasonal) {
        DrawForecastView(u, VIEW_SHW_FORECAST, "Seasonal Holt-Winters Forecast: ", curves);
        InfoSeasonalHoltWinters(u);
    } else {
        DrawForecastView(u, VIEW_HW_FORECAST, "Holt-Winters Forecast: ", curves);
        InfoHoltWinters(u);
    }
    return 1;
}

}  // namespace

int32_t ArmaForecast(UnivariateProject& u, int32_t noDialog)
{
    if (!u.hasData()) return 0;
    const TransformSummary s = SummariseTransforms(u.transforms);
    double v = u.residualSsPerN;
    if (!noDialog) {
        for (;;) {
            if (u.forecastSteps <= 0) u.forecastSteps = 10;
            DialogRecord dialog;
            if (!DialogInit(dialog, IDD_ARMA_FORECAST)) return 0;
            DialogSetText(dialog, IDC_FC_STEPS, IntText(u.forecastSteps));
            DialogSetText(dialog, IDC_FC_VARIANCE, ForecastVarianceText(u.residualSsPerN));
            const bool classical = s.classical != nullptr;
            const struct {
                int id;
                bool on;
            } boxes[] = {{IDC_FC_ADD_MEAN, s.mean != nullptr},
                         {IDC_FC_ADD_TREND, classical},
                         {IDC_FC_UNDIFFERENCE, !s.differences.empty()},
                         {IDC_FC_INVERT_BOXCOX, s.boxCox != nullptr},
                         {IDC_FC_REGRESSION, u.regressionPresent > 0}};
            for (const auto& box : boxes) {
                DialogSetLogical(dialog, box.id, box.on ? 1 : 0);
                DialogSetLogical(dialog, box.id, box.on ? 1 : 0, DIALOG_SELECT_ENABLED);
            }
            if (DialogRunModal(dialog) != 1) {
                DialogRelease(dialog);
                return 0;
            }
            int32_t steps = u.forecastSteps;
            const ForecastCheck check = CheckArmaForecastEntries(Text(dialog, IDC_FC_STEPS), Text(dialog, IDC_FC_VARIANCE),
                                                                 Checked(dialog, IDC_FC_REGRESSION), u.auxPresent, steps, v);
            if (!check.accepted) {
                DialogRelease(dialog);
                for (const std::string& message : check.messages) ShowMessage(message, check.caption);
                continue;
            }
            u.forecastSteps = steps;
            u.forecastAddMean = Checked(dialog, IDC_FC_ADD_MEAN);
            u.forecastUndifference = Checked(dialog, IDC_FC_UNDIFFERENCE);
            u.forecastAddTrend = Checked(dialog, IDC_FC_ADD_TREND);
            u.forecastInvertBoxCox = Checked(dialog, IDC_FC_INVERT_BOXCOX);
            u.forecastRegression = Checked(dialog, IDC_FC_REGRESSION);
            DialogRelease(dialog);
            break;
        }
    }
    ForecastCurves curves;
    const int32_t status = ArmaForecastRun(u, !noDialog, v, curves);
    if (status != FORECAST_DONE) {
        ClearForecastView(u, VIEW_ARMA_FORECAST);
        InfoArmaForecast(u);
        if (!noDialog && status != FORECAST_NO_DATA) ShowMessage(ForecastFailureMessage(status), "ERROR");
        return 0;
    }
    DrawForecastView(u, VIEW_ARMA_FORECAST, "ARMA Forecast: ", curves);
    InfoArmaForecast(u);
    return 1;
}

int32_t ArarForecast(UnivariateProject& u)
{
    if (!u.hasData()) return 0;
    const TransformSummary s = SummariseTransforms(u.transforms);
    ArarSettings a;
    if (u.forecastSteps <= 0) u.forecastSteps = 10;
    DialogRecord dialog;
    if (!DialogInit(dialog, IDD_ARAR_FORECAST)) return 0;
    DialogSetText(dialog, IDC_FC_STEPS, IntText(u.forecastSteps));
    StageRange(dialog, kArarIds, s, u.n, u.ararSubset, u.ararFirst, u.ararLast);
    DialogSetLogical(dialog, IDC_ARAR_CRITERION_1, u.ararCriterion == 1);
    DialogSetLogical(dialog, IDC_ARAR_CRITERION_2, u.ararCriterion == 2);
    DialogSetLogical(dialog, IDC_ARAR_CRITERION_3, u.ararCriterion == 3);
    DialogSetLogical(dialog, IDC_ARAR_SHORTENING, u.ararOption == 0);
    const int outcome = RunRangeDialog(dialog, u, kArarIds, 0, ArarDlgCheck);
    if (outcome == 0) return 0;
    a.count = u.forecastSteps;
    a.untransformed = Checked(dialog, IDC_FC_UNTRANSFORMED);
    a.option = Checked(dialog, IDC_ARAR_SHORTENING) ? 0 : 1;
    a.criterion = Checked(dialog, IDC_ARAR_CRITERION_3) ? 3 : Checked(dialog, IDC_ARAR_CRITERION_2) ? 2 : 1;
    ReadRange(dialog, kArarIds, u.n, s.totalLag, a.untransformed, a.subset, a.first, a.last);
    DialogRelease(dialog);
    ForecastCurves curves;
    const int32_t status = ArarForecastRun(u, a, curves);
    if (status != FORECAST_DONE) {
        ShowMessage(ForecastFailureMessage(status), "ERROR");
        return 0;
    }
    DrawForecastView(u, VIEW_ARAR_FORECAST, "ARAR Forecast: ", curves);
    InfoArarForecast(u);
    return 1;
}

int32_t HoltWintersForecast(UnivariateProject& u) { return HoltWintersCommand(u, false); }
int32_t SeasonalHoltWintersForecast(UnivariateProject& u) { return HoltWintersCommand(u, true); }

void RegisterForecastCommands()
{
    RegisterUnivariateCommand(IDM_FORECAST_ARMA, [](UnivariateProject& u) { ArmaForecast(u, 0); });
    RegisterUnivariateCommand(IDM_FORECAST_ARAR, [](UnivariateProject& u) { ArarForecast(u); });
    RegisterUnivariateCommand(IDM_FORECAST_HOLT_WINTERS, [](UnivariateProject& u) { HoltWintersForecast(u); });
    RegisterUnivariateCommand(IDM_FORECAST_SEASONAL_HW, [](UnivariateProject& u) { SeasonalHoltWintersForecast(u); });
    UnivariateRefresh.armaForecast = [](UnivariateProject& u, int32_t mode) { ArmaForecast(u, mode); };
}
