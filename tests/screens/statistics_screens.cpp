// Opens a univariate project of a simulated AR(2) series with its model, and shows the ACF/PACF,
// histogram, spectrum and cumulative spectrum views tiled, so that scripts/statistics-screenshot.sh
// can photograph them. VESK_SCREEN=log draws the spectrum on the log scale with Fisher's dialog
// open over it. Runs until it is ended.
#include <windows.h>

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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (!StartProgram(instance, nullptr)) return 1;
    UnivariateProject record;
    VeskInit(record);
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
    const char* screen = std::getenv("VESK_SCREEN");
    const bool log = screen && std::strcmp(screen, "log") == 0;
    if (log) Command(IDM_LOG_SPECTRUM);
    SendMessageW(MdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0);
    if (log) SetTimer(nullptr, 0, 500, OpenFisher);
    return RunMessageLoop();
}
