#include "univariate/win32/regression_commands.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "univariate/estimation_reports.h"
#include "univariate/refresh.h"
#include "univariate/regression.h"
#include "univariate/transform_menu.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/regression_trend_dialog.h"
#include "univariate/win32/transform_commands.h"
#include "univariate/win32/transform_dialogs.h"
#include "univariate/win32/univariate_reports.h"
#include "univariate/win32/univariate_windows.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

bool Open(HWND__* window) { return window && IsWindow(Handle(window)); }

void ShowError(const char* text)
{
    MessageBoxW(MessageBoxOwner(), WideText(text).c_str(), WideText(kVeskErrorCaption).c_str(), MB_OK);
}

bool Enabled(const UnivariateProject& u, uint32_t command)
{
    return u.hasData() && TransformItemEnabled(ComputeTransformMenu(u), command);
}

// A fit's outcome: success updates every window of the project, then names the terms the fit
// left out, in a box captioned by the command; a refusal says why; a call the library abandoned
// has shown its own message. Only success changes anything.
void AfterFit(UnivariateProject& u, int32_t status, const std::vector<int32_t>& leftOut, const wchar_t* command)
{
    switch (status) {
    case REGRESSION_DONE: break;
    case REGRESSION_NOT_WHITENED:
        ShowError("The model gives no residuals for the data or a column of the trend, so the regression "
                  "cannot be fitted with it.");
        return;
    case REGRESSION_SHORT_SERIES: ShowError(RegressionShortSeriesMessage(u).c_str()); return;
    case REGRESSION_NOT_FINITE: ShowError("The regression trend cannot be fitted: its values are not finite."); return;
    default: return;
    }
    VeskRefresh(u, 1, 0);
    InfoRegression(u);
    if (Open(u.views[VIEW_REGRESSION].window)) ShowRegressionFit(u);
    VeskTransformMenu(u);
    VeskStatusBar(u);
    // The estimates just written come to the front, even when their window was behind others.
    BringViewForward(Handle(u.textWindows[TEXT_REGRESSION]));
    const std::string text = LeftOutTermsMessage(u, leftOut);
    if (!text.empty()) MessageBoxW(MessageBoxOwner(), WideText(text).c_str(), command, MB_OK | MB_ICONINFORMATION);
}

void SpecifyCommand(UnivariateProject& u)
{
    if (Enabled(u, IDM_REGRESSION_SPECIFY)) SpecifyRegression(u);
}

void LeastSquaresCommand(UnivariateProject& u)
{
    if (Enabled(u, IDM_REGRESSION_LS)) LeastSquaresRegression(u);
}

void GlsCommand(UnivariateProject& u) { GlsRegression(u); }

void RemoveCommand(UnivariateProject& u)
{
    if (Enabled(u, IDM_REGRESSION_REMOVE)) RemoveRegression(u);
}

void ShowFitCommand(UnivariateProject& u)
{
    if (Enabled(u, IDM_REGRESSION_SHOW_FIT)) ShowRegressionFit(u);
}

}  // namespace

int32_t SpecifyRegression(UnivariateProject& u)
{
    const int32_t result = RunRegressionTrendDialog(u);
    if (result == 1 || result == 2) SpecifyRegressionDesign(u);
    VeskTransformMenu(u);
    return 1;
}

int32_t LeastSquaresRegression(UnivariateProject& u)
{
    std::vector<int32_t> leftOut;
    const int32_t status = FitLeastSquaresTrend(u, leftOut);
    AfterFit(u, status, leftOut, L"Least Squares");
    return 1;
}

int32_t GlsRegression(UnivariateProject& u)
{
    if (!u.regressionSpecified) {
        MessageBoxW(MessageBoxOwner(), L"Must specify regression function before estimation.", L"KELO::Error", MB_OK);
        return 1;
    }
    std::vector<int32_t> leftOut;
    const int32_t status = FitGlsTrend(u, leftOut);
    AfterFit(u, status, leftOut, L"Generalized LS");
    return 1;
}

int32_t RemoveRegression(UnivariateProject& u)
{
    RemoveRegressionTrend(u);
    VeskRefresh(u, 1, 0);
    VeskTransformMenu(u);
    if (Open(u.views[VIEW_REGRESSION].window)) DestroyPlotWindow(u.views[VIEW_REGRESSION]);
    HWND__*& report = u.textWindows[TEXT_REGRESSION];
    if (Open(report))
        SendMessageW(GetParent(Handle(report)), WM_MDIDESTROY, reinterpret_cast<WPARAM>(Handle(report)), 0);
    report = nullptr;
    return 1;
}

int32_t ShowRegressionFit(UnivariateProject& u)
{
    if (u.trendValues.size() != u.series.size()) return 1;
    std::vector<double> data(u.series.size());
    for (size_t t = 0; t < data.size(); ++t) data[t] = u.series[t] + u.trendValues[t];
    ShowDataAndFitView(u, VIEW_REGRESSION, L"Regression Trend Function: ", data, u.trendValues, u.firstIndex,
                       u.lastIndex);
    return 1;
}

void RegisterRegressionCommands()
{
    RegisterUnivariateCommand(IDM_REGRESSION_SPECIFY, SpecifyCommand);
    RegisterUnivariateCommand(IDM_REGRESSION_LS, LeastSquaresCommand);
    RegisterUnivariateCommand(IDM_REGRESSION_GLS, GlsCommand);
    RegisterUnivariateCommand(IDM_REGRESSION_REMOVE, RemoveCommand);
    RegisterUnivariateCommand(IDM_REGRESSION_SHOW_FIT, ShowFitCommand);
}
