#include "univariate/win32/residual_commands.h"

#include <windows.h>

#include <string>

#include "platform/typed_entry.h"
#include "platform/win32/dialog_layer.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"
#include "univariate/refresh.h"
#include "univariate/report_cells.h"
#include "univariate/residual_reports.h"
#include "univariate/residuals.h"
#include "univariate/statistics.h"
#include "univariate/switch_invertible.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/statistics_views.h"
#include "univariate/win32/univariate_reports.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

void Repaint(const PlotRecord& view)
{
    if (view.window) InvalidateRect(Handle(view.window), nullptr, TRUE);
}

std::wstring DataWindowTitle(const UnivariateProject& u)
{
    wchar_t title[236] = {};
    if (u.dataView.window) GetWindowTextW(Handle(u.dataView.window), title, 236);
    return title;
}

void ShowMessage(const char* text, const char* caption)
{
    MessageBoxW(MessageBoxOwner(), WideText(text).c_str(), WideText(caption).c_str(), MB_OK);
}

// A residual command on a project with data whose model could not be evaluated says so.
bool ResidualsOrMessage(const UnivariateProject& u)
{
    if (!u.residuals.empty()) return true;
    if (u.hasData()) ShowMessage(kResidualsUnavailable, kVeskErrorCaption);
    return false;
}

void ResidualPlotCommand(UnivariateProject& u)
{
    if (ResidualsOrMessage(u)) ResidualPlot(u);
}

void ResidualHistogramCommand(UnivariateProject& u)
{
    int32_t bins = 0;
    if (ResidualsOrMessage(u)) ResidualHistogram(u, bins);
}

// On the open view the command cycles its panels and rewrites its report; it recomputes nothing.
void ResidualAcfCommand(UnivariateProject& u)
{
    if (u.residualAcfView.window) {
        ToggleCurves(u.residualAcfView, u.residualAcfViewFlags);
        InfoResidualAcf(u);
        return;
    }
    if (ResidualsOrMessage(u)) ResidualAcf(u);
}

void TestsCommand(UnivariateProject& u) { TestsOfRandomness(u, 1); }

void SwitchCommand(UnivariateProject& u) { SwitchToInvertible(u); }

}  // namespace

int32_t ResidualPlot(UnivariateProject& u)
{
    PlotRecord& view = u.views[VIEW_RESIDUAL];
    if (u.residuals.empty()) {
        if (view.window) {
            DrawResidualPlot(view, u);
            Repaint(view);
        }
        return 0;
    }
    if (!OpenProjectView(u, view, L"Residuals: ")) return 0;
    DrawResidualPlot(view, u);
    Repaint(view);
    return 1;
}

int32_t ResidualAcf(UnivariateProject& u)
{
    PlotRecord& view = u.residualAcfView;
    // The panels keep the cycle's place; a record with neither panel shows both.
    if (!(u.residualAcfViewFlags & (ACF_PANEL | PACF_PANEL))) u.residualAcfViewFlags |= ACF_PANEL | PACF_PANEL;
    if (!ComputeResidualAcf(u)) {
        if (view.window) DrawAcfView(u, view, L"Residuals:ACF/PACF: ", 1, false, {}, {}, 0, u.residualAcfViewFlags);
        return 0;
    }
    const int32_t n = static_cast<int32_t>(u.residuals.size());
    return DrawAcfView(u, view, L"Residuals:ACF/PACF: ", 1, true, u.residualAcf, u.residualPacf, n,
                       u.residualAcfViewFlags)
               ? 1
               : 0;
}

int32_t ResidualHistogram(UnivariateProject& u, int32_t& bins)
{
    PlotRecord& view = u.views[VIEW_RESIDUAL_HISTOGRAM];
    if (u.residuals.empty()) {
        if (view.window) {
            DrawResidualHistogram(view, u, bins);
            Repaint(view);
        }
        return 0;
    }
    if (!OpenProjectView(u, view, L"Residual:HISTOGRAM: ")) return 0;
    const int32_t drawn = DrawResidualHistogram(view, u, bins);
    Repaint(view);
    return drawn;
}

int32_t RandomnessLagDialog(UnivariateProject& u)
{
    for (;;) {
        const RandomnessLagRange range = RandomnessLags(u);
        DialogRecord dialog;
        if (!DialogInit(dialog, IDD_RANDOMNESS_LAG)) return -1;
        DialogSetText(dialog, IDC_RANDOMNESS_RANGE, RandomnessLagPrompt(range));
        DialogSetText(dialog, IDC_RANDOMNESS_SUGGESTION, RandomnessLagSuggestion(range));
        DialogSetText(dialog, IDC_RANDOMNESS_H, IntText(range.suggested));
        const int result = DialogRunModal(dialog);
        std::string text;
        DialogGetText(dialog, IDC_RANDOMNESS_H, text);
        DialogRelease(dialog);
        if (result != 1) return -1;
        double h = 0;
        const std::string refusal = ReadFieldEntry("h", text, EntryKind::Integer, h);
        if (refusal.empty() && RandomnessLagAccepted(range, static_cast<int32_t>(h))) return static_cast<int32_t>(h);
        const std::string message = refusal.empty() ? " h out of range. Try again." : " " + refusal;
        ShowMessage(message.c_str(), "ERROR");
    }
}

int32_t TestsOfRandomness(UnivariateProject& u, int32_t ask)
{
    if (!u.hasData()) return 0;
    HWND__*& window = u.textWindows[TEXT_TESTS];
    const bool open = window && IsWindow(Handle(window));
    if (u.residuals.empty()) {
        // An open report must not go on showing the tests of residuals that are gone.
        if (open) InfoReplay(Handle(window), TestsOfRandomnessReport(u, 0));
        if (ask) ShowMessage(kResidualsUnavailable, kVeskErrorCaption);
        return 0;
    }
    const RandomnessLagRange range = RandomnessLags(u);
    int32_t h = range.suggested;
    // No lag to ask for on a series this short: the report says so.
    if (ask && AnyRandomnessLag(range)) {
        h = RandomnessLagDialog(u);
        if (h < 0) return 0;
    }
    if (!open) {
        if (!ask || !OpenProjectTextWindow(u, TEXT_TESTS)) return 0;
        SetWindowTextW(Handle(window), (L"Tests of randomness: " + DataWindowTitle(u)).c_str());
    }
    InfoReplay(Handle(window), TestsOfRandomnessReport(u, h));
    return 1;
}

int32_t SwitchToInvertible(UnivariateProject& u)
{
    switch (SwitchModelToInvertible(u)) {
    case SWITCH_ALREADY_INVERTIBLE:
        ShowMessage(" Model is invertible", "Message box");
        return 1;
    case SWITCH_NOT_CAUSAL:
        ShowMessage("The AR part of the model is not causal: the MA part was not changed.", kVeskErrorCaption);
        return 1;
    case SWITCH_FAILED:
        ShowMessage("The invertible MA part could not be computed: the model was not changed.", kVeskErrorCaption);
        return 1;
    case SWITCH_UNIT_ROOT:
        ShowMessage("The MA part has a root on the unit circle: no invertible model has the same autocovariances. "
                    "The model was not changed.",
                    kVeskErrorCaption);
        return 1;
    default:
        VeskRefresh(u, 0, 1);
        return 1;
    }
}

void RegisterResidualCommands()
{
    RegisterUnivariateCommand(IDM_RESIDUAL_PLOT, ResidualPlotCommand);
    RegisterUnivariateCommand(IDM_RESIDUAL_HISTOGRAM, ResidualHistogramCommand);
    RegisterUnivariateCommand(IDM_RESIDUAL_ACF, ResidualAcfCommand);
    RegisterUnivariateCommand(IDM_RESIDUAL_TESTS, TestsCommand);
    RegisterUnivariateCommand(IDM_SWITCH_INVERTIBLE, SwitchCommand);

    RefreshRoutines& r = UnivariateRefresh;
    r.computeResiduals = [](UnivariateProject& u) { ComputeResiduals(u); };
    r.testsOfRandomness = [](UnivariateProject& u, int32_t ask) { TestsOfRandomness(u, ask); };
    r.residualPlot = [](UnivariateProject& u) { ResidualPlot(u); };
    r.residualAcf = [](UnivariateProject& u) { ResidualAcf(u); };
    r.residualHistogram = [](UnivariateProject& u, int32_t bins) { ResidualHistogram(u, bins); };
}
