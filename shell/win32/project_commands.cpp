#include "shell/win32/project_commands.h"

#include <new>
#include <string>
#include <vector>

#include "multivariate/multivariate_project.h"
#include "multivariate/win32/multivariate_windows.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/menu_states.h"
#include "shell/project_table.h"
#include "shell/win32/clipboard_transfer.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/project_dialogs.h"
#include "shell/win32/toolbar.h"
#include "univariate/refresh.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/univariate_windows.h"

namespace {

// The slot being closed; its windows' activations are ignored while they go.
int32_t closingSlot = 0;

bool ValidSlot(int32_t slot) { return slot >= 1 && slot <= kMaxProjects; }

HMENU FindTopLevel(HMENU bar, const std::string& name, int* position)
{
    for (int k = 0; k < GetMenuItemCount(bar); ++k) {
        wchar_t text[64] = {};
        GetMenuStringW(bar, k, text, 64, MF_BYPOSITION);
        if (MenuTextWithoutMarks(Utf8Text(text)) == name) {
            *position = k;
            return GetSubMenu(bar, k);
        }
    }
    *position = -1;
    return nullptr;
}

void ApplyMenuChange(HMENU bar, const MenuChange& change)
{
    const UINT state = change.enabled ? MF_ENABLED : MF_GRAYED;
    int position = -1;
    switch (change.target) {
    case MenuChange::COMMAND:
        EnableMenuItem(bar, change.command, MF_BYCOMMAND | state);
        break;
    case MenuChange::TOP_LEVEL:
        FindTopLevel(bar, change.menu, &position);
        if (position >= 0) EnableMenuItem(bar, static_cast<UINT>(position), MF_BYPOSITION | state);
        break;
    case MenuChange::SUBMENU:
        if (HMENU menu = FindTopLevel(bar, change.menu, &position)) {
            int inner = -1;
            FindTopLevel(menu, change.submenu, &inner);
            if (inner >= 0) EnableMenuItem(menu, static_cast<UINT>(inner), MF_BYPOSITION | state);
        }
        break;
    }
}

void PutBarOnFrame(int32_t bar)
{
    HMENU menu = bar == 1 ? UnivariateMenu : MultivariateMenu;
    SendMessageW(MdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu),
                 reinterpret_cast<LPARAM>(WindowMenuOf(menu)));
    MenuInUse = bar;
}

}  // namespace

UnivariateProject* CurrentUnivariate()
{
    if (!ValidSlot(CurrentProject)) return nullptr;
    const ProjectSlot& slot = ProjectTable[CurrentProject];
    return slot.kind == PROJECT_UNIVARIATE ? slot.univariate : nullptr;
}

MultivariateProject* CurrentMultivariate()
{
    if (!ValidSlot(CurrentProject)) return nullptr;
    const ProjectSlot& slot = ProjectTable[CurrentProject];
    return slot.kind == PROJECT_MULTIVARIATE ? slot.multivariate : nullptr;
}

int32_t FindFreeProjectSlot()
{
    for (int32_t k = 1; k <= kMaxProjects; ++k)
        if (ProjectTable[k].kind == PROJECT_FREE) return k;
    MessageBoxW(FrameWindow, L"Maximum allowable projects exceeded", L"KELO::Error", MB_OK);
    return 0;
}

int32_t NewProject()
{
    const int32_t slot = FindFreeProjectSlot();
    if (slot == 0) return 0;
    const int32_t kind = AskProjectType();
    ProjectTable[slot].kind = kind;
    if (kind == PROJECT_FREE) return 0;
    if (kind == PROJECT_UNIVARIATE)
        ProjectTable[slot].univariate = VeskNew(slot);
    else
        ProjectTable[slot].multivariate = MultivarNew(slot);
    SelectProject(slot);
    return slot;
}

int32_t NewProjectFromData(const UnivariateProject& record)
{
    const int32_t slot = FindFreeProjectSlot();
    if (slot == 0) return 0;
    ProjectTable[slot].kind = PROJECT_UNIVARIATE;
    UnivariateProject* u = VeskNew(slot);
    ProjectTable[slot].univariate = u;
    VeskCopy(record, *u);
    SetCurveY(u->dataView, 1, u->series, u->firstIndex, u->lastIndex);
    if (u->dataView.window) InvalidateRect(reinterpret_cast<HWND>(u->dataView.window), nullptr, TRUE);
    SelectProject(slot);
    return slot;
}

int32_t OpenProject()
{
    const int32_t slot = NewProject();
    if (slot == 0) return 0;
    ProjectSlot& entry = ProjectTable[slot];
    if (entry.kind == PROJECT_UNIVARIATE && entry.univariate) {
        UnivariateProject& u = *entry.univariate;
        if (VeskImportFile(u)) {
            ShowProjectInfo(slot, u.dataView);
            if (u.dataView.window) SetFocus(reinterpret_cast<HWND>(u.dataView.window));
            return 1;
        }
    }
    // The multivariate table reader arrives with the multivariate commands.
    return 0;
}

namespace {

UnivariateProject* UnivariateIn(int32_t slot)
{
    if (!ValidSlot(slot) || ProjectTable[slot].kind != PROJECT_UNIVARIATE) return nullptr;
    return ProjectTable[slot].univariate;
}

MultivariateProject* MultivariateIn(int32_t slot)
{
    if (!ValidSlot(slot) || ProjectTable[slot].kind != PROJECT_MULTIVARIATE) return nullptr;
    return ProjectTable[slot].multivariate;
}

}  // namespace

int32_t SaveProject(int32_t slot)
{
    UnivariateProject* u = UnivariateIn(slot);
    return u ? VeskSave(*u) : 0;
}

int32_t SaveProjectAs(int32_t slot)
{
    UnivariateProject* u = UnivariateIn(slot);
    return u ? VeskSaveAs(*u) : 0;
}

int32_t MinimizeProject(int32_t slot)
{
    UnivariateProject* u = UnivariateIn(slot);
    return u ? VeskMinimize(*u) : 0;
}

int32_t RestoreProject(int32_t slot)
{
    UnivariateProject* u = UnivariateIn(slot);
    return u ? VeskRestore(*u) : 0;
}

int32_t RenameProject(int32_t slot, int32_t mode)
{
    UnivariateProject* u = UnivariateIn(slot);
    return u ? VeskRename(*u, mode) : 0;
}

int32_t ImportFile(int32_t slot)
{
    int32_t status = 0;
    if (UnivariateProject* u = UnivariateIn(slot)) status = VeskImportFile(*u);
    UpdateMenus(slot);
    UpdateToolbar(slot);
    UpdateStatusBar(slot);
    return status;
}

int32_t ImportClipboard(int32_t slot)
{
    int32_t status = 0;
    int32_t read = 0;
    if (UnivariateProject* u = UnivariateIn(slot)) {
        std::vector<double> values;
        ReadClipboardSeries(values, read);
        if (read == 1) status = VeskImportData(*u, values);
    } else if (MultivariateProject* m = MultivariateIn(slot)) {
        std::vector<double> table;
        int32_t columns = 0, rows = 0;
        ReadClipboardTable(table, columns, rows, read);
        try {
            if (read == 1) status = MultivarSetData(*m, table, columns, rows, 1);
        } catch (const std::bad_alloc&) {
            MessageBoxW(FrameWindow, L"Memory allocation error.", L"ERROR", MB_OK);
        }
    }
    // A refused line has had its own message already.
    if (read == 0) MessageBoxW(FrameWindow, L"Clipboard empty", L"Import from clipboard", MB_OK);
    UpdateMenus(slot);
    UpdateToolbar(slot);
    // The counts of a multivariate project's status bar change with its data.
    UpdateStatusBar(slot);
    return status;
}

int32_t ExportProject(int32_t slot)
{
    UnivariateProject* u = UnivariateIn(slot);
    return u ? VeskExport(*u) : 0;
}

int32_t CloseProject(int32_t slot)
{
    if (!ValidSlot(slot)) return 0;
    ProjectSlot& entry = ProjectTable[slot];
    int32_t status = 1;
    closingSlot = slot;
    if (entry.kind == PROJECT_UNIVARIATE && entry.univariate) {
        status = VeskFree(*entry.univariate);
        delete entry.univariate;
        entry.univariate = nullptr;
    } else if (entry.kind == PROJECT_MULTIVARIATE && entry.multivariate) {
        status = MultivarFree(*entry.multivariate);
        delete entry.multivariate;
        entry.multivariate = nullptr;
    }
    entry.kind = PROJECT_FREE;
    closingSlot = 0;
    return status;
}

int32_t CloseAllProjects()
{
    if (MessageBoxW(nullptr, L"Close all projects ?", L"KELO", MB_YESNO) != IDYES) return 0;
    for (int32_t k = 1; k <= kMaxProjects; ++k) CloseProject(k);
    CurrentProject = 0;
    UpdateMenus(0);
    UpdateStatusBar(0);
    UpdateToolbar(0);
    return 1;
}

int32_t CloseProjectCommand(int32_t slot)
{
    if (!ValidSlot(slot) || ProjectTable[slot].kind == PROJECT_FREE) return 0;
    if (MessageBoxW(FrameWindow, L"Close current project ?", L"KELO", MB_YESNO) != IDYES) return 0;
    CloseProject(slot);
    CurrentProject = LastProjectSlot();
    UpdateMenus(CurrentProject);
    UpdateStatusBar(CurrentProject);
    UpdateToolbar(CurrentProject);
    return 1;
}

int32_t CloseProjectOfView(int32_t slot)
{
    if (!ValidSlot(slot) || ProjectTable[slot].kind == PROJECT_FREE || slot == closingSlot) return 0;
    SelectProject(slot);
    return CloseProjectCommand(slot);
}

int32_t SelectProject(int32_t slot)
{
    if (CurrentProject != 0 && CurrentProject == slot) {
        UpdateStatusBar(slot);
        return 1;
    }
    CurrentProject = slot;
    UpdateMenus(slot);
    UpdateToolbar(slot);
    UpdateStatusBar(slot);
    return 1;
}

int32_t UpdateMenus(int32_t slot)
{
    int32_t kind = PROJECT_FREE;
    bool hasData = false;
    bool spectrumOpen = false;
    if (ValidSlot(slot)) {
        const ProjectSlot& entry = ProjectTable[slot];
        if (entry.kind == PROJECT_UNIVARIATE && entry.univariate) {
            kind = PROJECT_UNIVARIATE;
            const UnivariateProject* u = entry.univariate;
            hasData = u->hasData();
            spectrumOpen = (u->spectrumView.window && IsWindow(reinterpret_cast<HWND>(u->spectrumView.window))) ||
                           (u->cumSpectrumView.window && IsWindow(reinterpret_cast<HWND>(u->cumSpectrumView.window)));
        } else if (entry.kind == PROJECT_MULTIVARIATE && entry.multivariate) {
            kind = PROJECT_MULTIVARIATE;
            hasData = entry.multivariate->data && entry.multivariate->data->hasData();
        }
    }
    const MenuState state = ComputeMenuState(kind, hasData, spectrumOpen);
    if (state.bar != 0 && state.bar != MenuInUse) PutBarOnFrame(state.bar);
    HMENU bar = state.target == 1 ? UnivariateMenu : MultivariateMenu;
    for (const MenuChange& change : state.changes) ApplyMenuChange(bar, change);
    DrawMenuBar(FrameWindow);
    SendMessageW(MdiClient, WM_MDIREFRESHMENU, 0, 0);
    return 1;
}

int32_t LastProjectSlot()
{
    for (int32_t k = kMaxProjects; k >= 1; --k)
        if (ProjectTable[k].kind != PROJECT_FREE) return k;
    return 0;
}

int32_t RedrawAllProjects()
{
    for (int32_t k = 1; k <= kMaxProjects; ++k)
        if (ProjectTable[k].kind == PROJECT_UNIVARIATE && ProjectTable[k].univariate)
            VeskInvalidate(*ProjectTable[k].univariate);
    return 1;
}

void InstallProjectWindowOps()
{
    InstallUnivariateWindowOps();
    InstallMultivariateWindowOps();
}

int32_t ShowProjectInfo(int32_t slot, PlotRecord& view)
{
    if (!ValidSlot(slot)) return 0;
    const ProjectSlot& entry = ProjectTable[slot];
    // The univariate reports arrive with the report writers.
    if (entry.kind == PROJECT_MULTIVARIATE && entry.multivariate)
        return MultivarInfoRefresh(*entry.multivariate, view);
    return 0;
}

void ProjectActivated(int32_t slot)
{
    if (CurrentProject == 0 || !ValidSlot(slot) || slot == CurrentProject) return;
    if (slot == closingSlot || ProjectTable[slot].kind == PROJECT_FREE) return;
    SelectProject(slot);
}
