#include "shell/win32/frame_commands.h"

#include "platform/win32/dialog_layer.h"
#include "resources/resource.h"
#include "shell/plot_record.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
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

}  // namespace

bool FrameCommand(HWND frame, UINT id)
{
    CommandTarget = FindCommandTarget();
    switch (id) {
    case IDM_PRINT:
        SendToTarget(WM_SYSCOMMAND, SC_PRINTVIEW, 0);
        return true;
    case IDM_EXIT:
        SendMessageW(frame, WM_CLOSE, 0, 0);
        return true;
    case IDM_COPY_TO_CLIPBOARD:
        SendToTarget(WM_SYSCOMMAND, SC_COPYVIEW, 0);
        return true;
    case IDM_ABOUT:
        ShowAbout();
        return true;
    case IDM_ZOOM_RANGE:
        ZoomMode = 2;
        return true;
    case IDM_ZOOM_OUT:
        ZoomMode = 3;
        SendToTarget(WM_LBUTTONDOWN, MK_LBUTTON, 0);
        return true;
    case IDM_ZOOM_REGION:
        ZoomMode = 1;
        return true;
    case IDM_DUPLICATE:
        SendToTarget(WM_SYSCOMMAND, SC_DUPLICATEVIEW, 0);
        return true;
    case IDM_INFO:
        ShowInfo();
        return true;
    case IDM_ZOOM_MANUAL:
        SendToTarget(WM_COMMAND, IDM_ZOOM_MANUAL, 0);
        return true;
    case IDM_PROJECT_CLOSE:
        if (CurrentProject != 0) CloseProjectCommand(CurrentProject);
        return true;
    case IDM_CLOSE_ALL:
        CloseAllProjects();
        return true;
    case IDM_TILE:
        SendMessageW(MdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0);
        return true;
    case IDM_CASCADE:
        SendMessageW(MdiClient, WM_MDICASCADE, 0, 0);
        return true;
    case IDM_PROJECT_NEW:
        NewRule();
        return true;
    case IDM_PROJECT_OPEN:
        OpenProject();
        if (CurrentProject != 0) UpdateMenus(CurrentProject);
        return true;
    case IDM_PROJECT_SAVE:
        if (CurrentProject != 0) SaveProject(CurrentProject);
        return true;
    case IDM_PROJECT_SAVE_AS:
        if (CurrentProject != 0) SaveProjectAs(CurrentProject);
        return true;
    case IDM_PROJECT_MINIMIZE:
        if (CurrentProject != 0) MinimizeProject(CurrentProject);
        return true;
    case IDM_PROJECT_RESTORE:
        if (CurrentProject != 0) RestoreProject(CurrentProject);
        return true;
    case IDM_PROJECT_RENAME:
        if (CurrentProject != 0) RenameProject(CurrentProject, 1);
        return true;
    case IDM_EXPORT:
        if (CurrentProject != 0) ExportProject(CurrentProject);
        return true;
    case IDM_IMPORT_FILE:
        if (CurrentProject != 0 && ImportFile(CurrentProject)) UpdateMenus(CurrentProject);
        return true;
    case IDM_IMPORT_CLIPBOARD:
        if (CurrentProject != 0 && ImportClipboard(CurrentProject)) UpdateMenus(CurrentProject);
        return true;
    case IDM_PROJECT_EDITOR:
        if (CurrentProject != 0) ProjectEditor();
        return true;
    case IDM_CUSTOMIZE_COLORS:
        SendToTarget(UM_CUSTOMIZECOLORS, reinterpret_cast<WPARAM>(FrameWindow), 0);
        return true;
    default:
        return false;
    }
}
