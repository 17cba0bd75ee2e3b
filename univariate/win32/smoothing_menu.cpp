#include "univariate/win32/smoothing_menu.h"

#include "resources/resource.h"
#include "shell/command_table.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/smoothing_dialogs.h"
#include "univariate/win32/spectrum_smoothing.h"

void RegisterSmoothingCommands()
{
    RegisterUnivariateCommand(IDM_SMOOTH_EXPONENTIAL, [](UnivariateProject& u) { ExpSmooth(u); });
    RegisterUnivariateCommand(IDM_SMOOTH_FFT, [](UnivariateProject& u) { FftSmooth(u); });
    RegisterUnivariateCommand(IDM_SMOOTH_MOVING_AVERAGE, [](UnivariateProject& u) { MaSmooth(u); });
    RegisterUnivariateCommand(IDM_SMOOTHED_PERIODOGRAM, [](UnivariateProject& u) {
        u.showPeriodogram = 1;
        SmoothPeriodogram(u);
    });
}
