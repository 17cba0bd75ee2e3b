#include "shell/win32/toolbar.h"

#include "resources/resource.h"
#include "shell/project_kinds.h"
#include "shell/win32/frame.h"

namespace {

struct Tip {
    UINT command;
    UINT stringId;
};

// Tooltip texts live in the string table under these ids.
constexpr Tip kTips[] = {
    {IDM_PROJECT_NEW, 1},       {IDM_PROJECT_OPEN, 2},     {IDM_PROJECT_CLOSE, 3},
    {IDM_PRINT, 4},             {IDM_IMPORT_FILE, 5},      {IDM_ACF_SAMPLE, 6},
    {IDM_HISTOGRAM, 7},         {IDM_SPECIFY_MODEL, 8},    {IDM_PRELIMINARY, 9},
    {IDM_MAX_LIKELIHOOD, 10},   {IDM_ACF_MODEL, 11},       {IDM_RESIDUAL_PLOT, 12},
    {IDM_RESIDUAL_ACF, 13},     {IDM_RESIDUAL_HISTOGRAM, 14}, {IDM_PROJECT_SAVE, 15},
    {IDM_INFO, 16},             {IDM_ZOOM_OUT, 17},        {IDM_ZOOM_RANGE, 18},
    {IDM_ZOOM_REGION, 19},      {IDM_ACF_SAMPLE_MODEL, 20}, {IDM_DUPLICATE, 21},
    {IDM_SPECTRUM_PERIODOGRAM, 22}, {IDM_SPECTRUM_BOTH, 23}, {IDM_SPECTRUM_MODEL, 24},
    {IDM_REGRESSION_GLS, 27},
};

TBBUTTON Button(int image, UINT command)
{
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = static_cast<int>(command);
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    return b;
}

TBBUTTON Separator()
{
    TBBUTTON b{};
    b.fsStyle = BTNS_SEP;
    return b;
}

HINSTANCE ProgramInstance()
{
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(FrameWindow, GWLP_HINSTANCE));
}

}  // namespace

HWND CreateToolbar(HWND frame)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE));
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", 0x54800120, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 16, 16, frame, nullptr, instance, nullptr);
    ToolbarHandle = toolbar;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    TBADDBITMAP program{instance, IDB_TOOLBAR};
    SendMessageW(toolbar, TB_ADDBITMAP, TOOLBAR_IMAGE_COUNT, reinterpret_cast<LPARAM>(&program));
    TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    const int base = static_cast<int>(
        SendMessageW(toolbar, TB_ADDBITMAP, 15, reinterpret_cast<LPARAM>(&standard)));

    const TBBUTTON fixed[kFixedToolbarButtons] = {
        Separator(),
        Button(base + STD_FILENEW, IDM_PROJECT_NEW),
        Button(base + STD_FILEOPEN, IDM_PROJECT_OPEN),
        Button(base + STD_FILESAVE, IDM_PROJECT_SAVE),
        Button(base + STD_DELETE, IDM_PROJECT_CLOSE),
        Button(base + STD_PRINT, IDM_PRINT),
    };
    for (const TBBUTTON& b : fixed)
        SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
    ShowWindow(toolbar, SW_SHOW);
    SetFocus(toolbar);
    return toolbar;
}

UINT TooltipStringId(UINT command)
{
    for (const Tip& tip : kTips)
        if (tip.command == command) return tip.stringId;
    return 0;
}

int ToolbarTipText(NMHDR* request)
{
    if (!request) return 0;
    // The command id of the hovered button arrives as the notification's idFrom.
    const UINT stringId = TooltipStringId(static_cast<UINT>(request->idFrom));
    if (stringId == 0) return 1;
    if (request->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(request);
        info->hinst = ProgramInstance();
        info->lpszText = MAKEINTRESOURCEW(stringId);
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(request);
        info->hinst = ProgramInstance();
        info->lpszText = MAKEINTRESOURCEA(stringId);
    }
    return 1;
}

void ClearProjectButtons()
{
    const int count = static_cast<int>(SendMessageW(ToolbarHandle, TB_BUTTONCOUNT, 0, 0));
    for (int k = count - 1; k >= kFixedToolbarButtons; --k) SendMessageW(ToolbarHandle, TB_DELETEBUTTON, k, 0);
}

void AppendToolbarButton(int image, UINT command)
{
    const TBBUTTON b = image < 0 ? Separator() : Button(image, command);
    SendMessageW(ToolbarHandle, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
}

void UpdateToolbar(int32_t slot)
{
    if (!ToolbarHandle) return;
    const ProjectKindOperations* ops = ProjectOperations(slot);
    if (!ops || !ops->setupToolbar || !ops->setupToolbar(slot)) ClearProjectButtons();
}

void SetStatusText(int part, const wchar_t* text)
{
    SendMessageW(StatusBar, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void UpdateStatusBar(int32_t slot)
{
    const ProjectKindOperations* ops = ProjectOperations(slot);
    if (ops && ops->statusBar && ops->statusBar(slot)) return;
    SetStatusText(0, L"No project open");
    SetStatusText(1, L" ");
    SetStatusText(2, L" ");
}
