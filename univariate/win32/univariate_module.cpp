#include "univariate/win32/univariate_module.h"

#include "univariate/win32/estimation_commands.h"
#include "univariate/win32/forecast_commands.h"
#include "univariate/win32/model_commands.h"
#include "univariate/win32/regression_commands.h"
#include "univariate/win32/residual_commands.h"
#include "univariate/win32/smoothing_menu.h"
#include "univariate/win32/simulate_command.h"
#include "univariate/win32/statistics_commands.h"
#include "univariate/win32/transform_commands.h"
#include "univariate/win32/univariate_kind.h"
#include "univariate/win32/univariate_reports.h"
#include "univariate/win32/univariate_windows.h"

// Each command group registers its commands from its own file, one line here.
void RegisterUnivariateModule()
{
    InstallUnivariateWindowOps();
    RegisterUnivariateProjectKind();
    InstallUnivariateReports();
    RegisterModelCommands();
    RegisterEstimationCommands();
    RegisterTransformCommands();
    RegisterResidualCommands();
    RegisterSmoothingCommands();
    RegisterStatisticsCommands();
    RegisterSimulateCommand();
    RegisterRegressionCommands();
    RegisterForecastCommands();
}
