#include "univariate/win32/simulate_command.h"

#include <windows.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/fortran_format.h"
#include "platform/win32/dialog_layer.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/project_commands.h"
#include "univariate/arma_simulation.h"
#include "univariate/refresh.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/transform_commands.h"

namespace {

HWND DataWindow(const UnivariateProject& u) { return reinterpret_cast<HWND>(u.dataView.window); }

void ShowError(const UnivariateProject& u, const std::string& text)
{
    HWND owner = DataWindow(u);
    MessageBoxW(owner ? owner : MessageBoxOwner(), WideText(text).c_str(), L"ERROR", MB_OK);
}

// A box checked and enabled when its component exists, else unchecked and disabled.
void StageComponentBox(DialogRecord& dialog, int id, bool present)
{
    DialogSetLogical(dialog, id, present ? 1 : 0);
    DialogSetLogical(dialog, id, present ? 1 : 0, DIALOG_SELECT_ENABLED);
}

bool Checked(const DialogRecord& dialog, int id)
{
    int value = 0;
    return DialogGetLogical(dialog, id, value) && value != 0;
}

// The series goes into the project as any load puts it there; then its window follows.
bool ImportIntoProject(UnivariateProject& u, const std::vector<double>& x)
{
    if (!ImportSimulatedSeries(u, x)) return false;
    u.changed = 1;
    SetCurveY(u.dataView, 1, u.series, u.firstIndex, u.lastIndex);
    if (HWND window = DataWindow(u)) SetWindowTextW(window, L"ARMA Simulation");
    VeskRename(u, 1);
    if (HWND window = DataWindow(u)) {
        InvalidateRect(window, nullptr, TRUE);
        SetFocus(window);
    }
    VeskRefresh(u, 1, 0);
    VeskTransformMenu(u);
    return true;
}

void SimulateCommand(UnivariateProject& u)
{
    std::unique_ptr<UnivariateProject> record(SimulateArma(u));
    if (record) {
        const int32_t slot = NewProjectFromData(*record);
        if (slot != 0) CurrentProject = slot;
        record.reset();
    }
    UpdateMenus(CurrentProject);
}

}  // namespace

UnivariateProject* SimulateArma(UnivariateProject& u)
{
    const SimulationComponents components = GatherSimulationComponents(u);
    for (;;) {
        DialogRecord dialog;
        if (!DialogInit(dialog, IDD_SIMULATE)) return nullptr;
        DialogSetText(dialog, IDC_SIMULATE_COUNT, FreeFormatInt(components.length));
        DialogSetText(dialog, IDC_SIMULATE_SEED, "1234");
        DialogSetText(dialog, IDC_SIMULATE_VARIANCE, FreeFormatReal(u.wnVariance));
        DialogSetText(dialog, IDC_SIMULATE_MEAN, FreeFormatReal(components.mean));
        StageComponentBox(dialog, IDC_SIMULATE_SEASONAL, components.harmonicNode || components.seasonalNode);
        StageComponentBox(dialog, IDC_SIMULATE_BOX_COX, components.boxCoxNode);
        StageComponentBox(dialog, IDC_SIMULATE_REGRESSION, components.regressionPresent != 0);
        DialogSetLogical(dialog, IDC_SIMULATE_IMPORT, u.hasData() ? 0 : 1);
        DialogSetLogical(dialog, IDC_SIMULATE_NEW, u.hasData() ? 1 : 0);
        const int result = DialogRunModal(dialog);
        std::string length, seed, variance, mean;
        DialogGetText(dialog, IDC_SIMULATE_COUNT, length);
        DialogGetText(dialog, IDC_SIMULATE_SEED, seed);
        DialogGetText(dialog, IDC_SIMULATE_VARIANCE, variance);
        DialogGetText(dialog, IDC_SIMULATE_MEAN, mean);
        SimulationChoice choice;
        choice.addSeasonal = Checked(dialog, IDC_SIMULATE_SEASONAL);
        choice.addBoxCox = Checked(dialog, IDC_SIMULATE_BOX_COX);
        choice.addRegression = Checked(dialog, IDC_SIMULATE_REGRESSION);
        choice.newProject = Checked(dialog, IDC_SIMULATE_NEW);
        DialogRelease(dialog);
        if (result != 1) return nullptr;

        std::string message = ReadSimulationChoice(u, length, seed, variance, mean, choice);
        std::vector<double> x;
        if (message.empty()) SimulateSeries(u, choice, x, message);
        if (!message.empty()) {
            ShowError(u, message);
            continue;
        }
        if (!choice.newProject) {
            if (ImportIntoProject(u, x)) return nullptr;
            ShowError(u, "Not enough memory to import " + std::to_string(choice.m) + " observations.");
            continue;
        }
        auto* record = new (std::nothrow) UnivariateProject;
        if (record && BuildSimulatedRecord(u, x, choice.sigma2, *record)) return record;
        delete record;
        ShowError(u, "Not enough memory for a new project of " + std::to_string(choice.m) + " observations.");
    }
}

void RegisterSimulateCommand() { RegisterUnivariateCommand(IDM_SIMULATE, SimulateCommand); }
