// Times the program on long series under Wine, driving the real frame in process as the GUI
// tests do: opening a series from a file, the refresh of every open view after a transform, and
// one region zoom in the data window. Views whose commands this build does not have are listed
// as missing and skipped. Prints one table per series length; run by scripts/bench/views_under_wine.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "numerics/simulation.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/project_commands.h"
#include "shell/win32/zoom.h"
#include "univariate/refresh.h"
#include "univariate/univariate_project.h"

namespace {

constexpr double kStallSeconds = 1.0;

double Now()
{
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

// Paints whatever is invalid and handles what is queued, without the harness's idle sleeps.
void Settle()
{
    RedrawWindow(FrameWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// An AR(1) path with a period-12 swing around 100, from the program's own normal generator.
std::vector<double> Series(int n, int seed)
{
    std::vector<double> z(static_cast<size_t>(n));
    NormalDeviate(n, z.data(), seed);
    std::vector<double> x(z.size());
    double v = 0.0;
    for (int t = 0; t < n; ++t) {
        v = 0.7 * v + z[t];
        x[t] = 100.0 + 5.0 * std::sin(2.0 * 3.14159265358979 * t / 12.0) + v;
    }
    return x;
}

std::wstring WriteSeriesFile(const std::vector<double>& x)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"vesk-bench-" + std::to_wstring(x.size()) + L".dat";
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return L"";
    for (double v : x) std::fprintf(f, "%.10g\n", v);
    std::fclose(f);
    return path;
}

struct Figure {
    std::string name;
    double seconds = -1.0;  // negative: not measured
    std::string note;
};

std::vector<Figure> figures;

void Record(const std::string& name, double seconds, const std::string& note = "")
{
    figures.push_back({name, seconds, seconds > kStallSeconds && note.empty() ? "over 1 s" : note});
}

// The refresh's routines wrapped, so each view's recomputation is timed on its own.
struct TimedRoutine {
    const char* name;
    ProjectRoutine RefreshRoutines::*plain;
    ProjectModeRoutine RefreshRoutines::*mode;
};

constexpr TimedRoutine kRoutines[] = {
    {"  data report", &RefreshRoutines::infoData, nullptr},
    {"  sample ACF/PACF", &RefreshRoutines::plotSampleAcf, nullptr},
    {"  ACF report", &RefreshRoutines::infoAcf, nullptr},
    {"  histogram", &RefreshRoutines::plotHistogram, nullptr},
    {"  histogram report", &RefreshRoutines::infoHistogram, nullptr},
    {"  model ACF/PACF", &RefreshRoutines::plotModelAcf, nullptr},
    {"  ARMA forecast", nullptr, &RefreshRoutines::armaForecast},
    {"  ARMA forecast report", &RefreshRoutines::infoArmaForecast, nullptr},
    {"  residuals computed", &RefreshRoutines::computeResiduals, nullptr},
    {"  tests of randomness", nullptr, &RefreshRoutines::testsOfRandomness},
    {"  residual plot", &RefreshRoutines::residualPlot, nullptr},
    {"  residual report", &RefreshRoutines::infoResiduals, nullptr},
    {"  residual ACF", &RefreshRoutines::residualAcf, nullptr},
    {"  residual ACF report", &RefreshRoutines::infoResidualAcf, nullptr},
    {"  residual histogram", nullptr, &RefreshRoutines::residualHistogram},
    {"  residual histogram report", &RefreshRoutines::infoResidualHistogram, nullptr},
    {"  spectra computed", &RefreshRoutines::computeSpectra, nullptr},
    {"  spectrum", &RefreshRoutines::plotSpectrum, nullptr},
    {"  spectrum report", &RefreshRoutines::infoSpectrum, nullptr},
    {"  cumulative spectrum", nullptr, &RefreshRoutines::plotCumulativeSpectrum},
};
constexpr size_t kRoutineCount = sizeof kRoutines / sizeof kRoutines[0];

RefreshRoutines original;
double routineSeconds[kRoutineCount];
int routineCalls[kRoutineCount];

template <size_t I>
void TimedPlain(UnivariateProject& u)
{
    const double t = Now();
    (original.*kRoutines[I].plain)(u);
    routineSeconds[I] += Now() - t;
    ++routineCalls[I];
}

template <size_t I>
void TimedMode(UnivariateProject& u, int32_t mode)
{
    const double t = Now();
    (original.*kRoutines[I].mode)(u, mode);
    routineSeconds[I] += Now() - t;
    ++routineCalls[I];
}

template <size_t I>
void WrapOne()
{
    if constexpr (I < kRoutineCount) {
        if (kRoutines[I].plain && original.*kRoutines[I].plain) UnivariateRefresh.*kRoutines[I].plain = TimedPlain<I>;
        if (kRoutines[I].mode && original.*kRoutines[I].mode) UnivariateRefresh.*kRoutines[I].mode = TimedMode<I>;
        WrapOne<I + 1>();
    }
}

void WrapRefresh()
{
    original = UnivariateRefresh;
    for (size_t i = 0; i < kRoutineCount; ++i) routineSeconds[i] = 0.0, routineCalls[i] = 0;
    WrapOne<0>();
}

void UnwrapRefresh() { UnivariateRefresh = original; }

// A view as the user opens it: its command, and the dialogs that command asks.
struct ViewCommand {
    const char* name;
    UINT command;
    int view;
    int dialogs;  // dialogs answered with OK and their defaults
};

constexpr ViewCommand kViews[] = {
    {"ACF/PACF", IDM_ACF_SAMPLE, VIEW_ACF, 0},
    {"spectrum", IDM_SPECTRUM_PERIODOGRAM, VIEW_SPECTRUM, 0},
    {"histogram", IDM_HISTOGRAM, VIEW_HISTOGRAM, 0},
    {"residual plot", IDM_RESIDUAL_PLOT, VIEW_RESIDUAL, 0},
    {"residual ACF", IDM_RESIDUAL_ACF, VIEW_RESIDUAL_ACF, 0},
    {"residual histogram", IDM_RESIDUAL_HISTOGRAM, VIEW_RESIDUAL_HISTOGRAM, 0},
    {"ARMA forecast", IDM_FORECAST_ARMA, VIEW_ARMA_FORECAST, 1},
    {"ARAR forecast", IDM_FORECAST_ARAR, VIEW_ARAR_FORECAST, 1},
    {"Holt-Winters forecast", IDM_FORECAST_HOLT_WINTERS, VIEW_HW_FORECAST, 1},
    {"seasonal Holt-Winters forecast", IDM_FORECAST_SEASONAL_HW, VIEW_SHW_FORECAST, 1},
};

void ReportDialogs(const std::string& step)
{
    for (const SeenDialog& seen : TakeSeenDialogs())
        if (!seen.message.empty() || !seen.expected) {
            std::string text(seen.message.begin(), seen.message.end());
            std::string caption(seen.caption.begin(), seen.caption.end());
            std::printf("    (%s showed \"%s\": %s)\n", step.c_str(), caption.c_str(), text.c_str());
        }
}

double TimedCommand(UINT id)
{
    const double t = Now();
    SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Settle();
    return Now() - t;
}

// One pass over a series of n values; fills `figures`.
void RunSeries(int n)
{
    const std::string size = "n = " + std::to_string(n);
    const std::wstring path = WriteSeriesFile(Series(n, 12345));
    if (path.empty()) {
        std::printf("%s: the series file could not be written\n", size.c_str());
        return;
    }
    if (!CreateTestFrame()) return;
    ShowWindow(FrameWindow, SW_MAXIMIZE);
    NewProjectOfKind(1);
    TakeSeenDialogs();
    UnivariateProject* u = CurrentUnivariate();
    if (!u) {
        std::printf("%s: no project\n", size.c_str());
        DestroyTestFrame();
        return;
    }

    // Opening: from OK in the file dialog to the data window painted.
    double answered = 0.0;
    DialogAnswer open;
    open.inspect = [&answered, path](HWND dialog) {
        for (int id : {0x47C, 0x480})
            if (HWND field = GetDlgItem(dialog, id)) SetWindowTextW(field, path.c_str());
        answered = Now();
    };
    AnswerNextDialog(open);
    SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(IDM_IMPORT_FILE, 0), 0);
    Settle();
    const double opened = Now();
    ReportDialogs("open");
    if (u->n != n) {
        std::printf("%s: the import read %d values\n", size.c_str(), u->n);
        DestroyTestFrame();
        return;
    }
    figures.clear();
    Record("open (read, data window drawn)", opened - answered);

    // A model, so that the residual and forecast views have something to show.
    u->p = 1;
    u->phi[1] = 0.7;
    u->wnVariance = 1.0;
    VeskRefresh(*u, 0, 1);
    Settle();

    for (const ViewCommand& v : kViews) {
        if (!IsCommandRegistered(v.command)) {
            Record(std::string("open view: ") + v.name, -1.0, "command not in this build");
            continue;
        }
        for (int k = 0; k < v.dialogs; ++k) AnswerWith(IDOK);
        const double t = TimedCommand(v.command);
        DropUnusedAnswers();
        ReportDialogs(v.name);
        Record(std::string("open view: ") + v.name, t, u->views[v.view].window ? "" : "no window opened");
    }
    SendCommand(IDM_TILE);
    Settle();

    // The refresh after Subtract Mean: recomputation per routine, then each window's paint.
    WrapRefresh();
    const double t0 = Now();
    SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(IDM_SUBTRACT_MEAN, 0), 0);
    const double t1 = Now();
    UnwrapRefresh();
    double painted = 0.0;
    std::vector<Figure> paints;
    for (int k = 0; k < kViewCount; ++k) {
        HWND window = Handle(u->views[k].window);
        if (!window) continue;
        wchar_t title[64] = {};
        GetWindowTextW(window, title, 64);
        const double t = Now();
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
        const double dt = Now() - t;
        painted += dt;
        std::wstring w(title);
        paints.push_back({"  paint " + std::string(w.begin(), w.end()).substr(0, 40), dt, ""});
    }
    Settle();
    const double t2 = Now();
    ReportDialogs("refresh");
    Record("refresh after Subtract Mean (total)", t2 - t0);
    Record(" recomputation", t1 - t0);
    for (size_t i = 0; i < kRoutineCount; ++i)
        if (routineCalls[i]) figures.push_back({kRoutines[i].name, routineSeconds[i], ""});
    Record(" painting", painted);
    for (const Figure& f : paints) figures.push_back(f);
    Record("open + refresh", (opened - answered) + (t2 - t0));

    // One region zoom over a tenth of the data window, from button-up to the window painted.
    HWND data = Handle(u->dataView.window);
    SendMessageW(data, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Settle();
    const PlotPanel& panel = u->dataView.panels[1];
    auto pixelX = [&](double x) { return static_cast<int>(panel.xOrigin + x / panel.xPerPixel); };
    auto pixelY = [&](double y) { return static_cast<int>(panel.yOrigin - y / panel.yPerPixel); };
    const double xMid = 0.5 * (panel.xMin + panel.xMax), xSpan = panel.xMax - panel.xMin;
    const int x0 = pixelX(xMid - 0.05 * xSpan), x1 = pixelX(xMid + 0.05 * xSpan);
    const int y0 = pixelY(panel.yMax - 0.1 * (panel.yMax - panel.yMin));
    const int y1 = pixelY(panel.yMin + 0.1 * (panel.yMax - panel.yMin));
    SendCommand(IDM_ZOOM_REGION);
    SendMessageW(data, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y0));
    SendMessageW(data, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1, y1));
    Settle();
    const double tz = Now();
    SendMessageW(data, WM_LBUTTONUP, 0, MAKELPARAM(x1, y1));
    Settle();
    const double zoomed = Now() - tz;
    const bool narrowed = u->dataView.panels[1].xMax - u->dataView.panels[1].xMin < 0.5 * xSpan;
    Record("region zoom in the data window", zoomed, narrowed ? "" : "limits unchanged");
    ZoomMode = 0;

    DestroyTestFrame();
    DeleteFileW(path.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::vector<int> sizes{100000, 1000000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) sizes.push_back(static_cast<int>(std::wcstol(argv[i], nullptr, 10)));
    }
    std::printf("Goals: open + refresh under 0.3 s at n = 100000 and under 3 s at n = 1000000;\n"
                "no step over 1 s without the hourglass and a status-bar message.\n");
    // Each series is run kRepeats times and each figure's fastest run kept: the machine may be
    // shared, and the fastest run is the one least disturbed.
    constexpr int kRepeats = 3;
    for (int n : sizes) {
        if (n < 16 || n > 10000000) continue;
        std::vector<Figure> best;
        for (int r = 0; r < kRepeats; ++r) {
            figures.clear();
            RunSeries(n);
            if (best.empty() || best.size() != figures.size()) {
                if (best.empty()) best = figures;
                continue;
            }
            for (size_t i = 0; i < best.size(); ++i)
                if (figures[i].seconds >= 0 && figures[i].seconds < best[i].seconds) best[i] = figures[i];
        }
        std::printf("\nn = %d (fastest of %d runs)\n", n, kRepeats);
        for (const Figure& f : best) {
            if (f.seconds < 0)
                std::printf("  %-44s %10s  %s\n", f.name.c_str(), "-", f.note.c_str());
            else
                std::printf("  %-44s %10.3f s  %s\n", f.name.c_str(), f.seconds, f.note.c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}
