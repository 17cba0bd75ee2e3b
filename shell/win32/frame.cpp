#include "shell/win32/frame.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame_commands.h"
#include "shell/win32/help_viewer.h"
#include "shell/win32/library_messages.h"
#include "shell/win32/project_commands.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/toolbar.h"

HWND FrameWindow = nullptr;
HWND MdiClient = nullptr;
HMENU UnivariateMenu = nullptr;
HMENU MultivariateMenu = nullptr;
int32_t MenuInUse = 1;
HWND StatusBar = nullptr;
HWND ToolbarHandle = nullptr;
HWND ModelessDialog = nullptr;
HWND CommandTarget = nullptr;
int32_t ZoomMode = 0;

namespace {

constexpr UINT kTbnQueryInsert = static_cast<UINT>(-706);
constexpr UINT kTbnQueryDelete = static_cast<UINT>(-707);

HMENU LastSubMenu(HMENU bar, int fromEnd)
{
    const int count = GetMenuItemCount(bar);
    return count > fromEnd ? GetSubMenu(bar, count - 1 - fromEnd) : nullptr;
}

LRESULT OnCreate(HWND frame)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE));

    CLIENTCREATESTRUCT client{};
    client.hWindowMenu = WindowMenuOf(UnivariateMenu);
    client.idFirstChild = IDM_FIRSTCHILD;
    MdiClient = CreateWindowExW(0, L"MDICLIENT", L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                0, 0, 0, 0, frame, nullptr, instance, &client);
    ShowWindow(MdiClient, SW_SHOW);
    RegisterPlotClasses(instance, MdiClient);

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    StatusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"NONE", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUSBAR)),
                                instance, nullptr);
    ToolbarHandle = CreateToolbar(frame);
    // Both bars take their natural heights now, so the first layout measures them.
    SendMessageW(StatusBar, WM_SIZE, 0, 0);
    SendMessageW(ToolbarHandle, TB_AUTOSIZE, 0, 0);
    return 0;
}

int WindowHeight(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

LRESULT OnSize(int width, int height)
{
    const int hs = WindowHeight(StatusBar);
    const int ht = WindowHeight(ToolbarHandle);
    MoveWindow(StatusBar, 0, height - hs - ht, width, hs, FALSE);
    ShowWindow(StatusBar, SW_SHOWNA);
    MoveWindow(ToolbarHandle, 0, height - hs - ht, width, ht, FALSE);
    ShowWindow(ToolbarHandle, SW_SHOWNA);
    // A move that keeps a bar's size brings it no WM_SIZE, and only that makes it align itself
    // to its edge of the frame; so ask both to align.
    SendMessageW(StatusBar, WM_SIZE, SIZE_RESTORED, 0);
    SendMessageW(ToolbarHandle, TB_AUTOSIZE, 0, 0);
    // The client overlaps the toolbar's last pixel row.
    SetWindowPos(MdiClient, HWND_BOTTOM, 0, ht - 1, width, height - hs - ht, SWP_SHOWWINDOW);
    const int edges[3] = {width / 3, 2 * width / 3, -1};
    SendMessageW(StatusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    return 0;
}

LRESULT OnNotify(NMHDR* header)
{
    if (!header) return 0;
    if (header->hwndFrom == ToolbarHandle &&
        (header->code == kTbnQueryInsert || header->code == kTbnQueryDelete))
        return 1;
    if (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW) {
        ToolbarTipText(header);
        return 0;
    }
    return 0;
}

}  // namespace

HWND MessageBoxOwner()
{
    HWND active = GetActiveWindow();
    wchar_t cls[16] = {};
    if (active && active != FrameWindow && IsWindowEnabled(active) && GetClassNameW(active, cls, 16) &&
        wcscmp(cls, L"#32770") == 0)
        return active;
    return FrameWindow;
}

HMENU WindowMenuOf(HMENU bar)
{
    // Both bars end with Window, Help.
    return LastSubMenu(bar, 1);
}

LRESULT CALLBACK FrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_SIZE:
        return OnSize(LOWORD(lParam), HIWORD(lParam));
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (FrameCommand(LOWORD(wParam))) return 0;
        break;
    case UM_PLOTACTIVATED:
    case UM_TEXTACTIVATED:
        ProjectActivated(static_cast<int32_t>(wParam));
        return 0;
    case UM_REDRAWALL:
        RedrawAllProjects();
        return 0;
    case WM_CLOSE:
        // Exit and the close box: projects with changes are asked about first.
        if (!ConfirmExit()) return 0;
        break;
    case WM_DESTROY:
        DestroyMenu(UnivariateMenu);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefFrameProcW(window, MdiClient, message, wParam, lParam);
}

HWND StartFrame(HINSTANCE instance, HINSTANCE previousInstance)
{
    if (!previousInstance) {
        WNDCLASSW frameClass{};
        frameClass.style = CS_HREDRAW | CS_VREDRAW;
        frameClass.lpfnWndProc = FrameWndProc;
        frameClass.hInstance = instance;
        frameClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VESK));
        frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        frameClass.lpszClassName = kFrameClass;
        RegisterClassW(&frameClass);
    }
    UnivariateMenu = LoadMenuW(instance, L"VESK_MENU");
    MultivariateMenu = LoadMenuW(instance, L"MV_MENU");
    MenuInUse = 1;
    FrameWindow = CreateWindowExW(0, kFrameClass, kFrameCaption, 0x07CF0000, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                  UnivariateMenu, instance, nullptr);
    InitProjects();
    RegisterShellCommands();
    InstallLibraryMessageHook();
    if (FrameWindow) ShowWindow(FrameWindow, SW_SHOWMAXIMIZED);
    return FrameWindow;
}

int RunMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (ModelessDialog && IsDialogMessageW(ModelessDialog, &message)) continue;
        if (HelpViewerMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
