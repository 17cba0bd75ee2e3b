// Opens a univariate project of a simulated AR(2) series with its model, and shows the ACF/PACF,
// histogram, spectrum and cumulative spectrum views tiled, so that scripts/statistics-screenshot.sh
// can photograph them. VESK_SCREEN=log draws the spectrum on the log scale with Fisher's dialog
// open over it; VESK_SCREEN=huge takes a series of values near both ends of the doubles instead,
// shows its data and histogram tiled and asks for its periodogram, whose message stays open.
// Runs until it is ended.
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "app/win32/program_start.h"
#include "resources/resource.h"
#include "shell/win32/frame.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"

namespace {

void Command(UINT id) { SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void CALLBACK OpenFisher(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    Command(IDM_FISHER_TEST);
}

void CALLBACK AskPeriodogram(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    Command(IDM_SPECTRUM_PERIODOGRAM);
}

bool Screen(const char* name)
{
    const char* screen = std::getenv("VESK_SCREEN");
    return screen && std::strcmp(screen, name) == 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (!StartProgram(instance, nullptr)) return 1;
    UnivariateProject record;
    VeskInit(record);
    if (Screen("huge")) {
        for (int t = 0; t < 60; ++t)
            record.series.push_back(t % 3 == 0 ? 1.797e308 : t % 3 == 1 ? -1.797e308 : 1.0e308 * std::sin(t));
        record.originalSeries = record.series;
        record.n = record.lastIndex = 60;
        record.firstIndex = 1;
        if (!NewProjectFromData(record)) return 1;
        Command(IDM_HISTOGRAM);
        SendMessageW(MdiClient, WM_MDITILE, MDITILE_VERTICAL, 0);
        SetTimer(nullptr, 0, 500, AskPeriodogram);
        return RunMessageLoop();
    }
    std::mt19937_64 generator(20240611);
    std::normal_distribution<double> noise(0.0, 1.0);
    double x1 = 0.0, x2 = 0.0;
    for (int t = -200; t < 200; ++t) {
        const double x = 1.2 * x1 - 0.6 * x2 + noise(generator);
        x2 = x1;
        x1 = x;
        if (t >= 0) record.series.push_back(x);
    }
    record.originalSeries = record.series;
    record.n = record.lastIndex = 200;
    record.firstIndex = 1;
    record.p = 2;
    record.phi[1] = 1.2;
    record.phi[2] = -0.6;
    if (!NewProjectFromData(record)) return 1;
    Command(IDM_ACF_SAMPLE_MODEL);
    Command(IDM_HISTOGRAM);
    Command(IDM_SPECTRUM_BOTH);
    Command(IDM_CUMULATIVE_BOTH);
    const bool log = Screen("log");
    if (log) Command(IDM_LOG_SPECTRUM);
    SendMessageW(MdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0);
    if (log) SetTimer(nullptr, 0, 500, OpenFisher);
    return RunMessageLoop();
}
