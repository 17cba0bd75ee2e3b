#include "multivariate/win32/multivariate_module.h"

#include "multivariate/win32/estimation_commands.h"
#include "multivariate/win32/forecast_command.h"
#include "multivariate/win32/multivariate_kind.h"
#include "multivariate/win32/multivariate_windows.h"
#include "multivariate/win32/mv_transform_commands.h"

// Each command group registers its commands from its own file, one line here.
void RegisterMultivariateModule()
{
    InstallMultivariateWindowOps();
    RegisterMultivariateProjectKind();
    RegisterMvTransformCommands();
    RegisterMvEstimationCommands();
    RegisterMvForecastCommand();
}
