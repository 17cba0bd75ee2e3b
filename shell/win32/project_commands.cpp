#include "shell/win32/project_commands.h"

#include <string>

#include "platform/win32/wide_text.h"
#include "shell/menu_states.h"
#include "shell/project_kinds.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/frame_commands.h"
#include "shell/win32/project_dialogs.h"
#include "shell/win32/toolbar.h"

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
    case MenuChange::CHECK:
        CheckMenuItem(bar, change.command, MF_BYCOMMAND | (change.enabled ? MF_CHECKED : MF_UNCHECKED));
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
    MessageBoxW(MessageBoxOwner(), L"Maximum allowable projects exceeded", L"KELO::Error", MB_OK);
    return 0;
}

int32_t NewProject()
{
    const int32_t slot = FindFreeProjectSlot();
    if (slot == 0) return 0;
    const int32_t kind = AskProjectType();
    ProjectTable[slot].kind = kind;
    if (kind == PROJECT_FREE) return 0;
    const ProjectKindOperations* ops = KindOperations(kind);
    // A kind's create fails only for want of memory.
    const bool created = ops && ops->create && ops->create(slot);
    if (!created) {
        ProjectTable[slot].kind = PROJECT_FREE;
        if (ops && ops->create) ShowOutOfMemory();
        return 0;
    }
    SelectProject(slot);
    return slot;
}

namespace {

// After the current project went: `slot` (0 for none) becomes current, and its window is made
// the active one, so that the window with the focus is the project the commands act on.
void MakeCurrentAfterClose(int32_t slot)
{
    CurrentProject = slot;
    UpdateMenus(slot);
    UpdateStatusBar(slot);
    UpdateToolbar(slot);
    const ProjectKindOperations* ops = ProjectOperations(slot);
    HWND window = ops && ops->captionWindow ? reinterpret_cast<HWND>(ops->captionWindow(slot)) : nullptr;
    if (window && IsWindow(window)) SendMessageW(MdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
}

bool HasChanges(int32_t slot)
{
    const ProjectKindOperations* ops = ProjectOperations(slot);
    return ops && ops->save && ops->facts && ops->facts(slot).changed;
}

std::wstring ProjectTitle(int32_t slot)
{
    const ProjectKindOperations* ops = ProjectOperations(slot);
    HWND window = ops && ops->captionWindow ? reinterpret_cast<HWND>(ops->captionWindow(slot)) : nullptr;
    if (!window) return L"";
    std::wstring title(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(static_cast<size_t>(GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
    return title;
}

// For a project with changes: "Save changes to <title>?" with Yes, No and Cancel. Returns true
// when the project may close: nothing to save, No, or Yes and the save succeeded.
bool ChangesSavedOrDropped(int32_t slot)
{
    if (!HasChanges(slot)) return true;
    const std::wstring question = L"Save changes to " + ProjectTitle(slot) + L"?";
    const int answer = MessageBoxW(MessageBoxOwner(), question.c_str(), L"KELO", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO) return true;
    if (answer != IDYES) return false;
    return ProjectOperations(slot)->save(slot) == 1 && !HasChanges(slot);
}

}  // namespace

int32_t OpenProject()
{
    const int32_t before = CurrentProject;
    const int32_t slot = NewProject();
    if (slot == 0) return 0;
    const ProjectKindOperations* ops = ProjectOperations(slot);
    const int32_t status = ops && ops->open ? ops->open(slot) : 0;
    if (status >= 0) return status;
    // A file that gave nothing leaves no new empty project behind.
    CloseProject(slot);
    MakeCurrentAfterClose(ProjectTable[before].kind != PROJECT_FREE ? before : LastProjectSlot());
    return 0;
}

bool ConfirmExit()
{
    for (int32_t k = 1; k <= kMaxProjects; ++k)
        if (!ChangesSavedOrDropped(k)) return false;
    return true;
}

namespace {

// Runs a project operation of `slot`'s kind; 0 when the kind has none.
int32_t Run(int32_t slot, int32_t (*ProjectKindOperations::*operation)(int32_t))
{
    const ProjectKindOperations* ops = ProjectOperations(slot);
    return ops && ops->*operation ? (ops->*operation)(slot) : 0;
}

}  // namespace

int32_t SaveProject(int32_t slot) { return Run(slot, &ProjectKindOperations::save); }

int32_t SaveProjectAs(int32_t slot) { return Run(slot, &ProjectKindOperations::saveAs); }

int32_t MinimizeProject(int32_t slot) { return Run(slot, &ProjectKindOperations::minimize); }

int32_t RestoreProject(int32_t slot) { return Run(slot, &ProjectKindOperations::restore); }

int32_t RenameProject(int32_t slot, int32_t mode)
{
    const ProjectKindOperations* ops = ProjectOperations(slot);
    return ops && ops->rename ? ops->rename(slot, mode) : 0;
}

int32_t ImportFile(int32_t slot)
{
    const int32_t status = Run(slot, &ProjectKindOperations::importFile);
    UpdateMenus(slot);
    UpdateToolbar(slot);
    UpdateStatusBar(slot);
    return status;
}

int32_t ImportClipboard(int32_t slot)
{
    int32_t status = 0;
    int32_t read = 0;
    const ProjectKindOperations* ops = ProjectOperations(slot);
    if (ops && ops->importClipboard) status = ops->importClipboard(slot, read);
    // A refused line has had its own message already.
    if (read == 0) MessageBoxW(MessageBoxOwner(), L"Clipboard empty", L"Import from clipboard", MB_OK);
    UpdateMenus(slot);
    UpdateToolbar(slot);
    // The counts of a multivariate project's status bar change with its data.
    UpdateStatusBar(slot);
    return status;
}

int32_t ExportProject(int32_t slot) { return Run(slot, &ProjectKindOperations::exportData); }

int32_t CloseProject(int32_t slot)
{
    if (!ValidSlot(slot)) return 0;
    ProjectSlot& entry = ProjectTable[slot];
    int32_t status = 1;
    closingSlot = slot;
    const ProjectKindOperations* ops = ProjectOperations(slot);
    if (ops && ops->free) status = ops->free(slot);
    entry = ProjectSlot{};
    closingSlot = 0;
    return status;
}

int32_t CloseAllProjects()
{
    if (MessageBoxW(MessageBoxOwner(), L"Close all projects ?", L"KELO", MB_YESNO) != IDYES) return 0;
    // Every question first: Cancel, or a save that did not happen, closes nothing.
    for (int32_t k = 1; k <= kMaxProjects; ++k)
        if (!ChangesSavedOrDropped(k)) return 0;
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
    // A project with changes is asked about them instead; one without is asked to close.
    if (HasChanges(slot)) {
        if (!ChangesSavedOrDropped(slot)) return 0;
    } else if (MessageBoxW(MessageBoxOwner(), L"Close current project ?", L"KELO", MB_YESNO) != IDYES) {
        return 0;
    }
    CloseProject(slot);
    MakeCurrentAfterClose(LastProjectSlot());
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
    ProjectFacts facts;
    const ProjectKindOperations* ops = ProjectOperations(slot);
    if (ops) {
        kind = ProjectTable[slot].kind;
        if (ops->facts) facts = ops->facts(slot);
    }
    const MenuState state = ComputeMenuState(kind, facts.hasData, facts.spectrumWindowOpen, facts.logSpectrum);
    if (state.bar != 0 && state.bar != MenuInUse) PutBarOnFrame(state.bar);
    HMENU bar = state.target == 1 ? UnivariateMenu : MultivariateMenu;
    for (const MenuChange& change : state.changes) ApplyMenuChange(bar, change);
    if (state.transformMenu && ops && ops->menus) ops->menus(slot);
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
    for (int32_t k = 1; k <= kMaxProjects; ++k) Run(k, &ProjectKindOperations::redraw);
    return 1;
}

void NoteColorsChanged()
{
    for (int32_t k = 1; k <= kMaxProjects; ++k)
        if (const ProjectKindOperations* ops = ProjectOperations(k))
            if (ops->colorsChanged) ops->colorsChanged(k);
}

int32_t ShowProjectInfo(int32_t slot, PlotRecord& view)
{
    const ProjectKindOperations* ops = ProjectOperations(slot);
    return ops && ops->showInfo ? ops->showInfo(slot, view) : 0;
}

void ProjectActivated(int32_t slot)
{
    if (CurrentProject == 0 || !ValidSlot(slot) || slot == CurrentProject) return;
    if (slot == closingSlot || ProjectTable[slot].kind == PROJECT_FREE) return;
    SelectProject(slot);
}
