#include "multivariate/win32/multivariate_module.h"

#include "multivariate/win32/multivariate_kind.h"
#include "multivariate/win32/multivariate_windows.h"

// Each command group registers its commands from its own file, one line here.
void RegisterMultivariateModule()
{
    InstallMultivariateWindowOps();
    RegisterMultivariateProjectKind();
}
