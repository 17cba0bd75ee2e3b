// Opens the frame with a plot window of four panels and a report window, tiled, so that
// scripts/plot-screenshot.sh can photograph what a user sees. With the argument "tile N" it opens
// N one-panel data windows instead (series of several ranges) and tiles them, as Window > Tile
// does with many windows. Runs until it is ended.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
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

constexpr int kMaxTiles = 120;
PlotRecord tiles[kMaxTiles];

// The k-th tile's series: values near 110, thousands, negative fractions or tiny numbers.
std::vector<double> TileSeries(int k)
{
    std::vector<double> y(70);
    for (size_t t = 0; t < y.size(); ++t) {
        const double u = static_cast<double>(t);
        switch (k % 4) {
        case 0: y[t] = 103.7 + 0.25 * u + 3 * std::sin(0.5 * u); break;
        case 1: y[t] = 12000 * (0.5 + 0.4 * std::sin(0.2 * u)); break;
        case 2: y[t] = -0.2 + 0.3 * (0.5 + 0.5 * std::cos(0.3 * u)); break;
        default: y[t] = 1e-6 * (1 + std::sin(0.4 * u)); break;
        }
    }
    return y;
}

int OpenTiles(int count)
{
    count = std::max(1, std::min(count, kMaxTiles));
    for (int k = 0; k < count; ++k) {
        if (!CreatePlotWindow(tiles[k], 1)) return 0;
        const std::vector<double> y = TileSeries(k);
        SetCurveY(tiles[k], 1, y, 1, static_cast<int32_t>(y.size()));
        SetWindowTextW(tiles[k].window, (L"Series " + std::to_wstring(k + 1)).c_str());
    }
    SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(IDM_TILE, 0), 0);
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    if (!StartProgram(instance, nullptr)) return 1;
    int count = 0;
    if (commandLine && std::swscanf(commandLine, L"tile %d", &count) == 1) {
        if (!OpenTiles(count)) return 1;
        return RunMessageLoop();
    }
    if (!CreatePlotWindow(plot, 1)) return 1;
    FillPlot();
    HWND report = CreateInfoWindow(1);
    FillReport(report);
    SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(IDM_TILE, 0), 0);
    SendMessageW(MdiClient, WM_MDITILE, MDITILE_VERTICAL, 0);
    return RunMessageLoop();
}
