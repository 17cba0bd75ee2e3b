#include "shell/win32/plot_window.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "resources/resource.h"
#include "shell/plot_layout.h"
#include "shell/plot_zoom.h"
#include "shell/window_layout.h"
#include "shell/win32/duplicate_window.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_colors.h"
#include "shell/win32/plot_draw.h"
#include "shell/win32/printing.h"
#include "shell/win32/project_commands.h"
#include "shell/win32/zoom.h"

namespace {

// Program-wide, set once by RegisterPlotClasses.
HINSTANCE viewInstance = nullptr;
HWND viewClient = nullptr;

PlotRecord* RecordOf(HWND window) { return reinterpret_cast<PlotRecord*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

bool RegisterViewClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, int icon)
{
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(icon));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT OnPaint(HWND window, PlotRecord* plot)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    if (plot) DrawPlot(*plot, dc, PlotPaintRect(window), 0, 1, &client);
    EndPaint(window, &ps);
    return 0;
}

// Right-click offers the frame's Plot menu (the one before Window in both bars); its commands
// reach the frame as ordinary menu commands.
void OnRightButton(HWND window, LPARAM lParam)
{
    HMENU bar = GetMenu(FrameWindow);
    const int count = bar ? GetMenuItemCount(bar) : 0;
    HMENU plotMenu = count >= 3 ? GetSubMenu(bar, count - 3) : nullptr;
    if (!plotMenu) return;
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &at);
    TrackPopupMenu(plotMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, FrameWindow, nullptr);
}

void OnCopy(HWND window, PlotRecord& plot)
{
    CopyPictureToClipboard(window, [&]() {
        RECT client;
        GetClientRect(window, &client);
        return RecordPlotPicture(plot, client);
    });
}

void OnDuplicate(PlotRecord& plot)
{
    HWND duplicate = CreateDupPlotWindow();
    if (duplicate) FillDupPlot(duplicate, plot);
}

void OnLeftButtonDown(PlotRecord& plot, LPARAM lParam)
{
    if (ZoomMode == ZOOM_REGION || ZoomMode == ZOOM_RANGE)
        StartZoom(plot, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    else if (ZoomMode == ZOOM_OUT)
        ZoomOut(plot);
}

void OnMouseMove(PlotRecord& plot, LPARAM lParam)
{
    const int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    if (ZoomDragging == 1) TrackZoom(plot, x, y);
    ShowPlotCoordinates(plot, x, y);
}

LRESULT OnClose(HWND window, PlotRecord* plot)
{
    if (plot && plot->isView != 0) {
        DestroyPlotWindow(*plot);
        SendMessageW(viewClient, WM_MDINEXT, 0, 0);
    } else if (plot) {
        CloseProjectOfView(plot->slot);
    } else {
        SendMessageW(viewClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    }
    return 0;
}

bool OnSysCommand(HWND window, PlotRecord& plot, WPARAM command)
{
    switch (command) {
    case SC_COPYVIEW:
        OnCopy(window, plot);
        return true;
    case SC_INFOVIEW:
        SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(IDM_INFO, 0), 0);
        return true;
    case SC_DUPLICATEVIEW:
        OnDuplicate(plot);
        return true;
    case SC_PRINTVIEW:
        PrintPlot(plot);
        return true;
    default:
        return false;
    }
}

}  // namespace

HINSTANCE ViewInstance() { return viewInstance; }
HWND ViewClient() { return viewClient; }

int32_t RegisterPlotClasses(HINSTANCE instance, HWND mdiClient)
{
    viewInstance = instance;
    viewClient = mdiClient;
    if (!RegisterViewClass(instance, kPlotWinClass, PlotWinProc, IDI_PLOTVIEW)) {
        MessageBoxW(GetParent(mdiClient), L"Window creation error", L"Forecast", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    RegisterViewClass(instance, kPlotTxtWinClass, InfoWinProc, IDI_TEXTVIEW);
    RegisterViewClass(instance, kDupPlotWinClass, DupPlotWinProc, IDI_PLOTVIEW);
    RegisterViewClass(instance, kDupTextWinClass, DupTextWinProc, IDI_TEXTVIEW);
    SetDefaultPlotColors();
    return 1;
}

HWND CreateViewChild(const wchar_t* className, const wchar_t* title, LPARAM param)
{
    MDICREATESTRUCTW create{};
    create.szClass = className;
    create.szTitle = title;
    create.hOwner = viewInstance;
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    create.lParam = param;
    HWND child = reinterpret_cast<HWND>(SendMessageW(viewClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    KeepInsideClient(child);
    return child;
}

void KeepInsideClient(HWND child)
{
    HWND client = child ? GetParent(child) : nullptr;
    if (!client || IsZoomed(child) || IsIconic(child)) return;
    RECT area{}, outer{};
    GetClientRect(client, &area);
    GetWindowRect(child, &outer);
    MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&outer), 2);
    const PlotRect placed =
        PlaceInsideClient(PlotRect{outer.left, outer.top, outer.right, outer.bottom}, area.right, area.bottom);
    if (placed.left != outer.left || placed.top != outer.top || placed.right != outer.right ||
        placed.bottom != outer.bottom)
        SetWindowPos(child, nullptr, placed.left, placed.top, placed.Width(), placed.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

PlotRect ClientPlace(HWND child)
{
    RECT outer{};
    GetWindowRect(child, &outer);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&outer), 2);
    return PlotRect{outer.left, outer.top, outer.right, outer.bottom};
}

void MoveTo(HWND child, const PlotRect& r)
{
    SetWindowPos(child, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void CascadeViews()
{
    HWND client = viewClient;
    if (!client) return;
    BOOL maximised = FALSE;
    HWND active = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised)));
    if (active && maximised) SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(active), 0);
    // The children from the front to the back; minimised ones keep their places as icons.
    std::vector<HWND> front;
    bool icons = false;
    for (HWND child = GetWindow(client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || GetWindow(child, GW_OWNER)) continue;
        if (IsIconic(child)) {
            icons = true;
            continue;
        }
        front.push_back(child);
    }
    RECT area{};
    GetClientRect(client, &area);
    if (icons) area.bottom = std::max<LONG>(area.top + 1, area.bottom - GetSystemMetrics(SM_CYMINSPACING));
    const int32_t step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME);
    const std::vector<PlotRect> places =
        CascadePlacement(static_cast<int32_t>(front.size()), area.right, area.bottom, step);
    for (size_t i = 0; i < places.size(); ++i) MoveTo(front[front.size() - 1 - i], places[i]);
    if (icons) SendMessageW(client, WM_MDIICONARRANGE, 0, 0);
}

void ShowReportBeside(HWND window, HWND report)
{
    HWND client = window ? GetParent(window) : nullptr;
    if (!client || !report || GetParent(report) != client || IsZoomed(window)) return;
    for (HWND child : {window, report})
        if (IsIconic(child)) SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    RECT area{};
    GetClientRect(client, &area);
    PlotRect left, right;
    PlaceSideBySide(ClientPlace(window), area.right, area.bottom, left, right);
    MoveTo(window, left);
    MoveTo(report, right);
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
    SetFocus(window);
}

void BringViewForward(HWND window)
{
    HWND client = window && IsWindow(window) ? GetParent(window) : nullptr;
    if (!client) return;
    if (IsIconic(window)) SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0);
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
}

void AddViewCommands(HWND window, const UINT* commands, int count)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return;
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < count; ++i) {
        const wchar_t* text = commands[i] == SC_COPYVIEW    ? L"Copy"
                              : commands[i] == SC_PRINTVIEW ? L"Print"
                              : commands[i] == SC_INFOVIEW  ? L"Info"
                                                            : L"Duplicate";
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, commands[i], text);
    }
}

LPARAM MdiCreateParam(LPARAM createLParam)
{
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(createLParam);
    const auto* mdi = create ? static_cast<const MDICREATESTRUCTW*>(create->lpCreateParams) : nullptr;
    return mdi ? mdi->lParam : 0;
}

HENHMETAFILE RecordPlotPicture(PlotRecord& plot, const RECT& rect, int32_t selector)
{
    // The picture's frame in 0.01 mm, from the screen's size in millimetres and pixels.
    HDC screen = GetDC(nullptr);
    const int mmW = GetDeviceCaps(screen, HORZSIZE), mmH = GetDeviceCaps(screen, VERTSIZE);
    const int pxW = GetDeviceCaps(screen, HORZRES), pxH = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    RECT frame{};
    const bool sized = rect.right > rect.left && rect.bottom > rect.top && pxW > 0 && pxH > 0;
    if (sized) {
        frame.left = MulDiv(rect.left, mmW * 100, pxW);
        frame.top = MulDiv(rect.top, mmH * 100, pxH);
        frame.right = MulDiv(rect.right, mmW * 100, pxW);
        frame.bottom = MulDiv(rect.bottom, mmH * 100, pxH);
    }
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, sized ? &frame : nullptr, nullptr);
    if (!dc) return nullptr;
    SetMapMode(dc, MM_TEXT);
    DrawPlot(plot, dc, rect, selector, 0);
    return CloseEnhMetaFile(dc);
}

int32_t CopyPictureToClipboard(HWND owner, const std::function<HENHMETAFILE()>& make)
{
    if (!OpenClipboard(owner)) return 0;
    int32_t placed = 0;
    if (HENHMETAFILE picture = make()) {
        EmptyClipboard();
        if (SetClipboardData(CF_ENHMETAFILE, picture))
            placed = 1;
        else
            DeleteEnhMetaFile(picture);
    }
    CloseClipboard();
    return placed;
}

RECT PlotPaintRect(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    const PlotRect area{client.left, client.top, client.right, client.bottom};
    const PlotRecord* plot = RecordOf(window);
    PlotRect r{area.left + 10 - 25, area.top, area.right - 10 - 25, area.bottom};
    if (HDC dc = plot ? GetDC(window) : nullptr) {
        r = PlotWindowDrawRect(*plot, area, [dc](const std::string& text, int32_t fontHeight) {
            return MeasureAxisLabel(dc, text, fontHeight);
        });
        ReleaseDC(window, dc);
    }
    return RECT{r.left, r.top, r.right, r.bottom};
}

int32_t LayOutPlotWindow(HWND window, const PlotRecord& plot, PlotLayout& out)
{
    const RECT r = PlotPaintRect(window);
    return LayOutPlot(plot, PlotRect{r.left, r.top, r.right, r.bottom}, 0, out);
}

int32_t CreatePlotWindow(PlotRecord& plot, int32_t isView)
{
    InitPlotRecord(plot);
    plot.isView = isView;
    HWND window = CreateViewChild(kPlotWinClass, L"Plot", reinterpret_cast<LPARAM>(&plot));
    if (!window) return 0;
    plot.window = window;
    static const UINT commands[] = {SC_COPYVIEW, SC_PRINTVIEW, SC_INFOVIEW, SC_DUPLICATEVIEW};
    AddViewCommands(window, commands, 4);
    ShowWindow(window, SW_SHOW);
    return 1;
}

int32_t ActivatePlotWindow(PlotRecord& plot)
{
    if (!plot.window || !IsWindow(plot.window)) return 0;
    ShowWindow(plot.window, SW_RESTORE);
    SetFocus(plot.window);
    return 1;
}

int32_t DestroyPlotWindow(PlotRecord& plot)
{
    if (!plot.window || !IsWindow(plot.window)) return 0;
    SendMessageW(viewClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(plot.window), 0);
    FreePlotRecord(plot);
    return 1;
}

void FreePlotRecord(PlotRecord& plot)
{
    if (plot.metafile) {
        DeleteEnhMetaFile(plot.metafile);
        plot.metafile = nullptr;
    }
    if (plot.infoWindow && IsWindow(plot.infoWindow))
        SendMessageW(GetParent(plot.infoWindow), WM_MDIDESTROY, reinterpret_cast<WPARAM>(plot.infoWindow), 0);
    plot.infoWindow = nullptr;
    for (int32_t k = 1; k <= kPlotCurveCount; ++k) ClearCurveData(plot, k);
}

LRESULT CALLBACK PlotWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlotRecord* plot = RecordOf(window);
    switch (message) {
    case WM_NCCREATE:
        // The record arrives through the MDICREATESTRUCT; keep it before any other message.
        plot = reinterpret_cast<PlotRecord*>(MdiCreateParam(lParam));
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(plot));
        if (plot) plot->window = window;
        break;
    case WM_CREATE:
        return 0;
    case WM_PAINT:
        return OnPaint(window, plot);
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, ZoomMode != 0 ? IDC_CROSS : IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_RBUTTONDOWN:
        OnRightButton(window, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        if (plot) OnLeftButtonDown(*plot, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (plot) OnMouseMove(*plot, lParam);
        return 0;
    case WM_LBUTTONUP:
        if (plot && ZoomDragging == 1) FinishZoom(*plot);
        return 0;
    case WM_CAPTURECHANGED:
        // A drag whose capture another window took would otherwise never end.
        if (plot && ZoomDragging == 1 && reinterpret_cast<HWND>(lParam) != window) AbandonZoom(*plot);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_ZOOM_MANUAL) {
            if (plot) ManualZoom(*plot);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if (plot && OnSysCommand(window, *plot, wParam)) return 0;
        break;
    case UM_CUSTOMIZECOLORS:
        CustomizeColors();
        return 0;
    case UM_QUERYVIEWTYPE:
        return VIEW_PLOT;
    case UM_QUERYVIEWINFO:
        return reinterpret_cast<LRESULT>(window);
    case WM_SETFOCUS:
    case WM_NCACTIVATE:
        if (plot) SendMessageW(FrameWindow, UM_PLOTACTIVATED, static_cast<WPARAM>(plot->slot),
                               reinterpret_cast<LPARAM>(window));
        break;
    case WM_KILLFOCUS:
        if (plot) SendMessageW(FrameWindow, UM_PLOTDEACTIVATED, plot->isView != 0 ? 1 : 0,
                               reinterpret_cast<LPARAM>(window));
        return 0;
    case WM_CLOSE:
        return OnClose(window, plot);
    case WM_NCDESTROY:
        // The record outlives its window; forget the handle so it is never reused by mistake.
        if (plot && plot->window == window) plot->window = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefMDIChildProcW(window, message, wParam, lParam);
}
