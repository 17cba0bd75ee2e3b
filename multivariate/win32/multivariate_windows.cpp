#include "multivariate/win32/multivariate_windows.h"

#include <windows.h>

#include <string>

#include "multivariate/multivariate_project.h"
#include "multivariate/win32/mv_transform_commands.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/toolbar.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

std::string WindowTitle(HWND__* window, int limit)
{
    std::wstring text(static_cast<size_t>(limit) + 1, L'\0');
    if (window) GetWindowTextW(Handle(window), text.data(), limit + 1);
    return Utf8Text(text.c_str());
}

void Print(HWND window, const std::string& line)
{
    InfoPrint(window, line, static_cast<int32_t>(line.size()) + 1);
}

void CreateSeriesWindow(MultivariateProject& project, int32_t slot, const char* title)
{
    CreatePlotWindow(project.seriesView, 0);
    project.seriesView.slot = slot;
    if (project.seriesView.window) SetWindowTextW(Handle(project.seriesView.window), WideText(title).c_str());
}

void SeriesViewChanged(MultivariateProject& project)
{
    InvalidateRect(Handle(project.seriesView.window), nullptr, TRUE);
    if (project.seriesView.infoWindow && IsWindow(Handle(project.seriesView.infoWindow)))
        InfoMultivariate(project);
}

}  // namespace

HWND SeriesWindow(const MultivariateProject& project) { return Handle(project.seriesView.window); }

bool IsCurrentMultivariate(const MultivariateProject& project)
{
    return CurrentProject >= 1 && CurrentProject <= kMaxProjects &&
           ProjectTable[CurrentProject].kind == PROJECT_MULTIVARIATE && ProjectTable[CurrentProject].multivariate == &project;
}

void ShowMvMessage(HWND owner, const std::string& text, const char* caption)
{
    MessageBoxW(owner ? owner : FrameWindow, WideText(text).c_str(), WideText(caption).c_str(), MB_OK);
}

int32_t MultivarStatusBar(MultivariateProject& project)
{
    const MultivariateStatusTexts texts = MultivarStatusTexts(project, WindowTitle(project.seriesView.window, 127));
    for (int part = 0; part < 3; ++part) SetStatusText(part, WideText(texts.parts[part]).c_str());
    InvalidateRect(StatusBar, nullptr, TRUE);
    ShowWindow(StatusBar, SW_SHOW);
    return 1;
}

int32_t SetupMultivariateToolbar(MultivariateProject&)
{
    ClearProjectButtons();
    const struct { int image; UINT command; } buttons[] = {
        {-1, 0}, {11, IDM_ZOOM_RANGE}, {12, IDM_ZOOM_REGION}, {13, IDM_ZOOM_OUT},
        {-1, 0}, {14, IDM_INFO}, {15, IDM_DUPLICATE},
    };
    for (const auto& b : buttons) AppendToolbarButton(b.image, b.command);
    return 1;
}

int32_t MultivarInfoRefresh(MultivariateProject& project, PlotRecord& view)
{
    if (!view.infoWindow || !IsWindow(Handle(view.infoWindow)))
        view.infoWindow = reinterpret_cast<HWND__*>(CreateInfoWindow(view.slot));
    if (&view == &project.seriesView) InfoMultivariate(project);
    return 1;
}

int32_t InfoMultivariate(MultivariateProject& project)
{
    HWND info = Handle(project.seriesView.infoWindow);
    if (!info || !IsWindow(info)) return 1;
    const std::string title = "INFO: " + WindowTitle(project.seriesView.window, 234);
    SetWindowTextW(info, WideText(title).c_str());
    InfoPrint(info, "", 0);
    for (const std::string& line : MultivariateInfoLines(project)) Print(info, line);
    return 1;
}

void InstallMultivariateWindowOps()
{
    MultivariateWindows.destroyPlotWindow = DestroyPlotWindow;
    MultivariateWindows.closeTextWindow = [](HWND__* window) {
        if (IsWindow(Handle(window))) SendMessageW(Handle(window), WM_CLOSE, 0, 0);
    };
    MultivariateWindows.createSeriesWindow = CreateSeriesWindow;
    MultivariateWindows.seriesViewChanged = SeriesViewChanged;
    // The shared Undo item shows the current project's stack only.
    MultivariateWindows.transformsCleared = [](MultivariateProject& project) {
        if (IsCurrentMultivariate(project)) MvUpdateUndoMenu(project);
    };
}
