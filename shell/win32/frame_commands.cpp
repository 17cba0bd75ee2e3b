#include "shell/win32/frame_commands.h"

#include "platform/win32/dialog_layer.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/plot_record.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/help_viewer.h"
#include "shell/win32/library_messages.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/project_commands.h"
#include "shell/win32/project_editor.h"

namespace {

// The About box's record lives for the whole run and is bound anew on every call.
void ShowAbout()
{
    static DialogRecord about;
    if (!DialogInit(about, IDD_ABOUT)) return;
    (void)DialogRunModal(about);
    DialogRelease(about);
}

int32_t ViewType(HWND window)
{
    return window ? static_cast<int32_t>(SendMessageW(window, UM_QUERYVIEWTYPE, 0, 0)) : 0;
}

// The view that has the focus, or the text view whose edit control has it; null otherwise.
HWND FindCommandTarget()
{
    HWND focus = GetFocus();
    const int32_t type = ViewType(focus);
    if (type >= VIEW_PLOT && type <= VIEW_DUPTEXT) return focus;
    HWND parent = focus ? GetParent(focus) : nullptr;
    const int32_t parentType = ViewType(parent);
    if (parentType == VIEW_TEXT || parentType == VIEW_DUPTEXT) return parent;
    return nullptr;
}

void SendToTarget(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (CommandTarget) SendMessageW(CommandTarget, message, wParam, lParam);
}

void ShowInfo()
{
    if (!CommandTarget) return;
    auto* record = reinterpret_cast<PlotRecord*>(GetWindowLongPtrW(CommandTarget, GWLP_USERDATA));
    if (!record || ViewType(CommandTarget) != VIEW_PLOT) return;
    HWND info = reinterpret_cast<HWND>(record->infoWindow);
    if (info && IsWindow(info)) {
        SendMessageW(MdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(info), 0);
        SetFocus(info);
        return;
    }
    if (CurrentProject != 0) ShowProjectInfo(CurrentProject, *record);
}

void NewRule()
{
    const int32_t slot = NewProject();
    if (slot != 0) UpdateMenus(slot);
}

void OpenRule()
{
    OpenProject();
    if (CurrentProject != 0) UpdateMenus(CurrentProject);
}

void Print() { SendToTarget(WM_SYSCOMMAND, SC_PRINTVIEW, 0); }
void Exit() { SendMessageW(FrameWindow, WM_CLOSE, 0, 0); }
void CopyToClipboard() { SendToTarget(WM_SYSCOMMAND, SC_COPYVIEW, 0); }
void ZoomRange() { ZoomMode = 2; }
void ZoomRegion() { ZoomMode = 1; }
void ZoomOut()
{
    ZoomMode = 3;
    SendToTarget(WM_LBUTTONDOWN, MK_LBUTTON, 0);
}
void ZoomManual() { SendToTarget(WM_COMMAND, IDM_ZOOM_MANUAL, 0); }
void Duplicate() { SendToTarget(WM_SYSCOMMAND, SC_DUPLICATEVIEW, 0); }
void CustomizeColors() { SendToTarget(UM_CUSTOMIZECOLORS, reinterpret_cast<WPARAM>(FrameWindow), 0); }
void Tile() { SendMessageW(MdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0); }
void Cascade() { CascadeViews(); }
void CloseAll() { CloseAllProjects(); }

// The project commands below run under GUARD_CURRENT, so CurrentProject names a project.
void Close() { CloseProjectCommand(CurrentProject); }
void Save() { SaveProject(CurrentProject); }
void SaveAs() { SaveProjectAs(CurrentProject); }
void Minimize() { MinimizeProject(CurrentProject); }
void Restore() { RestoreProject(CurrentProject); }
void Rename() { RenameProject(CurrentProject, 1); }
void Export() { ExportProject(CurrentProject); }
void Import()
{
    if (ImportFile(CurrentProject)) UpdateMenus(CurrentProject);
}
void ImportFromClipboard()
{
    if (ImportClipboard(CurrentProject)) UpdateMenus(CurrentProject);
}
void Editor() { ProjectEditor(); }

struct ShellCommand {
    UINT id;
    CommandGuard guard;
    PlainCommand handler;
};

constexpr ShellCommand kShellCommands[] = {
    {IDM_PRINT, GUARD_NONE, Print},
    {IDM_EXPORT, GUARD_CURRENT, Export},
    {IDM_EXIT, GUARD_NONE, Exit},
    {IDM_COPY_TO_CLIPBOARD, GUARD_NONE, CopyToClipboard},
    {IDM_HELP_CONTENTS, GUARD_NONE, ShowHelpContents},
    {IDM_HELP_ON_HELP, GUARD_NONE, ShowHelpOnHelp},
    {IDM_ABOUT, GUARD_NONE, ShowAbout},
    {IDM_ZOOM_RANGE, GUARD_NONE, ZoomRange},
    {IDM_ZOOM_OUT, GUARD_NONE, ZoomOut},
    {IDM_ZOOM_REGION, GUARD_NONE, ZoomRegion},
    {IDM_DUPLICATE, GUARD_NONE, Duplicate},
    {IDM_INFO, GUARD_NONE, ShowInfo},
    {IDM_ZOOM_MANUAL, GUARD_NONE, ZoomManual},
    {IDM_PROJECT_MINIMIZE, GUARD_CURRENT, Minimize},
    {IDM_PROJECT_CLOSE, GUARD_CURRENT, Close},
    {IDM_PROJECT_RESTORE, GUARD_CURRENT, Restore},
    {IDM_CLOSE_ALL, GUARD_NONE, CloseAll},
    {IDM_PROJECT_RENAME, GUARD_CURRENT, Rename},
    {IDM_TILE, GUARD_NONE, Tile},
    {IDM_CASCADE, GUARD_NONE, Cascade},
    {IDM_PROJECT_NEW, GUARD_NONE, NewRule},
    {IDM_PROJECT_OPEN, GUARD_NONE, OpenRule},
    {IDM_PROJECT_SAVE, GUARD_CURRENT, Save},
    {IDM_PROJECT_SAVE_AS, GUARD_CURRENT, SaveAs},
    {IDM_IMPORT_FILE, GUARD_CURRENT, Import},
    {IDM_CUSTOMIZE_COLORS, GUARD_NONE, CustomizeColors},
    {IDM_PROJECT_EDITOR, GUARD_CURRENT, Editor},
    {IDM_IMPORT_CLIPBOARD, GUARD_CURRENT, ImportFromClipboard},
};

void ReportOutOfMemory(uint32_t) { ShowOutOfMemory(); }

}  // namespace

void ShowOutOfMemory()
{
    MessageBoxW(MessageBoxOwner(), L"Not enough memory to complete the command.", L"KELO::Error", MB_OK | MB_ICONERROR);
}

void RegisterShellCommands()
{
    for (const ShellCommand& command : kShellCommands) RegisterCommand(command.id, command.guard, command.handler);
    SetCommandFailureReporter(ReportOutOfMemory);
}

bool FrameCommand(UINT id)
{
    CommandTarget = FindCommandTarget();
    const LibraryWarningScope oneWarningBox;
    return DispatchCommand(id);
}
