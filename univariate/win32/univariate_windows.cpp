#include "univariate/win32/univariate_windows.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/toolbar.h"
#include "univariate/refresh.h"
#include "univariate/univariate_project.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

struct ToolButton {
    int image;  // -1 for a separator
    UINT command;
};

// Five groups behind the fixed buttons, each led by a separator.
constexpr ToolButton kUnivariateButtons[] = {
    {-1, 0},
    {0, IDM_IMPORT_FILE}, {1, IDM_ACF_SAMPLE}, {2, IDM_ACF_SAMPLE_MODEL}, {16, IDM_SPECTRUM_PERIODOGRAM},
    {18, IDM_SPECTRUM_BOTH}, {3, IDM_HISTOGRAM},
    {-1, 0},
    {4, IDM_SPECIFY_MODEL}, {19, IDM_REGRESSION_GLS}, {5, IDM_PRELIMINARY}, {6, IDM_MAX_LIKELIHOOD},
    {7, IDM_ACF_MODEL}, {17, IDM_SPECTRUM_MODEL},
    {-1, 0},
    {8, IDM_RESIDUAL_PLOT}, {9, IDM_RESIDUAL_ACF}, {10, IDM_RESIDUAL_HISTOGRAM},
    {-1, 0},
    {11, IDM_ZOOM_RANGE}, {12, IDM_ZOOM_REGION}, {13, IDM_ZOOM_OUT},
    {-1, 0},
    {14, IDM_INFO}, {15, IDM_DUPLICATE},
};

void EndTextWindow(HWND__* window, bool close)
{
    if (!IsWindow(Handle(window))) return;
    if (close)
        SendMessageW(Handle(window), WM_CLOSE, 0, 0);
    else
        SendMessageW(MdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(Handle(window)), 0);
}

void CreateDataWindow(UnivariateProject& project, int32_t slot, const char* title)
{
    CreatePlotWindow(project.dataView, 0);
    project.dataView.slot = slot;
    if (project.dataView.window) SetWindowTextW(Handle(project.dataView.window), WideText(title).c_str());
}

}  // namespace

void ShowBusy(const wchar_t* message)
{
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SetStatusText(2, message);
    if (StatusBar) UpdateWindow(StatusBar);
}

void EndBusy()
{
    // The pointer's own window sets its cursor again on the next mouse move.
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    UpdateStatusBar(CurrentProject);
}

int32_t VeskStatusBar(UnivariateProject& project)
{
    wchar_t title[128] = {};
    if (project.dataView.window) GetWindowTextW(Handle(project.dataView.window), title, 128);
    SetStatusText(0, title);
    std::string transforms = "None";
    if (project.transforms) {
        transforms = project.transformText;
        transforms.erase(transforms.find_last_not_of(' ') + 1);
    }
    SetStatusText(1, WideText(transforms).c_str());
    const std::wstring iterations =
        project.iterationsDone >= 1 ? L"Iteration  " + std::to_wstring(project.iterationsDone) : L" ";
    SetStatusText(2, iterations.c_str());
    InvalidateRect(StatusBar, nullptr, TRUE);
    ShowWindow(StatusBar, SW_SHOW);
    return 1;
}

int32_t SetupUnivariateToolbar(UnivariateProject&)
{
    ClearProjectButtons();
    for (const ToolButton& b : kUnivariateButtons) AppendToolbarButton(b.image, b.command);
    ShowWindow(ToolbarHandle, SW_SHOW);
    return 1;
}

void InstallUnivariateWindowOps()
{
    UnivariateWindows.destroyPlotWindow = DestroyPlotWindow;
    UnivariateWindows.endTextWindow = EndTextWindow;
    UnivariateWindows.createDataWindow = CreateDataWindow;
    UnivariateRefresh.invalidate = [](HWND__* window) { InvalidateRect(Handle(window), nullptr, TRUE); };
    UnivariateRefresh.busy = [](UnivariateProject&, int32_t on) {
        if (on)
            ShowBusy(L"Updating the views...");
        else
            EndBusy();
    };
    UnivariateRefresh.windowExists = [](HWND__* window) { return IsWindow(Handle(window)) != FALSE; };
}
