#include "app/win32/program_start.h"

#include "multivariate/win32/multivariate_module.h"
#include "shell/win32/frame.h"
#include "univariate/win32/univariate_module.h"

HWND StartProgram(HINSTANCE instance, HINSTANCE previousInstance)
{
    HWND frame = StartFrame(instance, previousInstance);
    if (!frame) return nullptr;
    // After the shell's own commands, so a module's entry is the one that stands.
    RegisterUnivariateModule();
    RegisterMultivariateModule();
    return frame;
}
