#include "univariate/win32/model_commands.h"

#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/plot_window.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/specify_model_dialog.h"
#include "univariate/win32/univariate_reports.h"

void RegisterModelCommands()
{
    RegisterUnivariateCommand(IDM_SPECIFY_MODEL, [](UnivariateProject& u) { SpecifyModel(u); });
    RegisterUnivariateCommand(IDM_AR_MA_INFINITY, [](UnivariateProject& u) {
        InfoArmaInfinity(u);
        BringViewForward(reinterpret_cast<HWND>(u.textWindows[TEXT_INFINITY]));
    });
}
