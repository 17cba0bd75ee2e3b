// Opens the frame with a plot window of four panels and a report window, tiled, so that
// scripts/plot-screenshot.sh can photograph what a user sees. Runs until it is ended.
#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/win32/program_start.h"
#include "resources/resource.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"

namespace {

PlotRecord plot;

void FillPlot()
{
    std::vector<double> series(120), acf(40), model(40);
    for (size_t t = 0; t < series.size(); ++t)
        series[t] = 1000 + 5 * std::sin(0.3 * static_cast<double>(t)) + 0.02 * static_cast<double>(t);
    for (size_t h = 0; h < acf.size(); ++h) {
        acf[h] = std::pow(0.8, static_cast<double>(h)) * std::cos(0.5 * static_cast<double>(h));
        model[h] = std::pow(0.75, static_cast<double>(h)) * std::cos(0.5 * static_cast<double>(h));
    }
    SetCurveYInPanel(plot, 1, series, 1, 120, 1);
    SetPanelTitle(plot, 1, "Series", 6);
    SetCurveSeries(plot, 2, acf, 120, 2);
    SetCurveStyle(plot, 2, 1, -1, -1);
    SetCurveSeries(plot, 3, model, 0, 2);
    SetCurveStyle(plot, 3, 2, -1, -1);
    SetPanelTitle(plot, 2, "Sample and model ACF", 20);
    SetCurveSeries(plot, 5, {}, 0, 4);
    ResetCurve(plot, 5);
    SetPanelTitle(plot, 4, "Residuals", 9);
    // Last, since every setter rescales all panels and the bars must stand on y = 0.
    std::vector<double> edges(11), counts{2, 5, 9, 14, 21, 18, 12, 6, 3, 1};
    for (size_t i = 0; i < edges.size(); ++i) edges[i] = -2.5 + 0.5 * static_cast<double>(i);
    SetCurveSeries(plot, 4, {}, 0, 3);
    SetCurveHistogram(plot, 4, edges, counts);
    SetPanelTitle(plot, 3, "Histogram", 9);
    SetWindowTextW(plot.window, L"SERIES.TSM");
}

void FillReport(HWND report)
{
    InfoPrint(report, "", 0);
    InfoPrint(report, "Sample autocorrelations", 24);
    InfoPrint(report, " ", 2);
    std::vector<double> values(12);
    for (size_t i = 0; i < values.size(); ++i) values[i] = std::pow(0.8, static_cast<double>(i)) * 1000.0 / 7.0;
    values[11] = 1234567890.12345;  // 15 characters: wider than its cell
    InfoPrintArray(report, values, 12, 5, 4);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (!StartProgram(instance, nullptr)) return 1;
    if (!CreatePlotWindow(plot, 1)) return 1;
    FillPlot();
    HWND report = CreateInfoWindow(1);
    FillReport(report);
    SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(IDM_TILE, 0), 0);
    SendMessageW(MdiClient, WM_MDITILE, MDITILE_VERTICAL, 0);
    return RunMessageLoop();
}
