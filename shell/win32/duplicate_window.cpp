#include "shell/win32/duplicate_window.h"

#include <string>

#include "resources/resource.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/printing.h"

namespace {

constexpr size_t kSourceTitleLimit = 240;

std::wstring WindowTitle(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

// Title "(DUPLICATE) " and the source's title (at most 240 characters, trailing blanks
// removed); the source's outer size at the duplicate's own position, moved back inside the MDI
// client where it would reach past its edge.
void TakeTitleAndSize(HWND duplicate, HWND source)
{
    std::wstring title = WindowTitle(source).substr(0, kSourceTitleLimit);
    title.erase(title.find_last_not_of(L' ') + 1);
    SetWindowTextW(duplicate, (L"(DUPLICATE) " + title).c_str());
    RECT outer;
    GetWindowRect(source, &outer);
    SetWindowPos(duplicate, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // At its own position a source's size can reach past the client's edge.
    KeepInsideClient(duplicate);
    ShowWindow(duplicate, SW_SHOW);
}

RECT InnerRect(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    InflateRect(&r, -10, -10);
    return r;
}

void SetPicture(HWND window, HENHMETAFILE picture)
{
    HENHMETAFILE old = DupPicture(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
    if (old && old != picture) DeleteEnhMetaFile(old);
}

LRESULT OnPaintPicture(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HENHMETAFILE picture = DupPicture(window);
    const RECT target = InnerRect(window);
    ENHMETAHEADER header{};
    // A picture or a target of no size is not stretched: nothing to scale by.
    if (picture && GetEnhMetaFileHeader(picture, sizeof(header), &header) &&
        header.rclFrame.right > header.rclFrame.left && header.rclFrame.bottom > header.rclFrame.top &&
        target.right > target.left && target.bottom > target.top)
        PlayEnhMetaFile(dc, picture, &target);
    EndPaint(window, &ps);
    return 0;
}

void CloseView(HWND window)
{
    SendMessageW(ViewClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    SendMessageW(ViewClient(), WM_MDINEXT, 0, 0);
}

}  // namespace

HENHMETAFILE DupPicture(HWND duplicate)
{
    return duplicate ? reinterpret_cast<HENHMETAFILE>(GetWindowLongPtrW(duplicate, GWLP_USERDATA)) : nullptr;
}

HWND CreateDupPlotWindow()
{
    HWND window = CreateViewChild(kDupPlotWinClass, L"DUPLICATE", 0);
    if (!window) return nullptr;
    static const UINT commands[] = {SC_PRINTVIEW, SC_COPYVIEW};
    AddViewCommands(window, commands, 2);
    SetFocus(window);
    return window;
}

void FillDupPlot(HWND duplicate, PlotRecord& source)
{
    if (!duplicate || !source.window || !IsWindow(source.window)) return;
    TakeTitleAndSize(duplicate, source.window);
    SetPicture(duplicate, RecordPlotPicture(source, InnerRect(duplicate)));
    InvalidateRect(duplicate, nullptr, TRUE);
}

HWND CreateDupTextWindow()
{
    HWND window = CreateViewChild(kDupTextWinClass, L"DUPLICATE", 0);
    if (!window) return nullptr;
    static const UINT commands[] = {SC_PRINTVIEW};
    AddViewCommands(window, commands, 1);
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
    return window;
}

void FillDupText(HWND duplicate, HWND source)
{
    if (!duplicate || !source || !IsWindow(source)) return;
    TakeTitleAndSize(duplicate, source);
    HWND from = ReportEditOf(source), to = ReportEditOf(duplicate);
    if (from && to) SetWindowTextW(to, WindowTitle(from).c_str());
}

LRESULT CALLBACK DupPlotWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAINT:
        return OnPaintPicture(window);
    case WM_CLOSE:
        SetPicture(window, nullptr);
        CloseView(window);
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_COPYVIEW) {
            HENHMETAFILE picture = DupPicture(window);
            if (CopyPictureToClipboard(window, [picture]() { return picture ? CopyEnhMetaFileW(picture, nullptr) : nullptr; }))
                return 0;
        }
        if (wParam == SC_PRINTVIEW) {
            PrintMetafile(window, DupPicture(window));
            return 0;
        }
        break;
    case UM_QUERYVIEWTYPE:
        return VIEW_DUPPLOT;
    case WM_NCDESTROY:
        SetPicture(window, nullptr);  // also when the frame closes without WM_CLOSE
        break;
    default:
        break;
    }
    return DefMDIChildProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK DupTextWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND edit = ReportEditOf(window);
    switch (message) {
    case WM_CREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(CreateReportEdit(window)));
        return 0;
    case WM_SIZE:
        if (edit) MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        break;
    case WM_CLOSE:
        CloseView(window);
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_PRINTVIEW) {
            PrintTextWindow(window);
            return 0;
        }
        break;
    case UM_QUERYVIEWTYPE:
        return VIEW_DUPTEXT;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefMDIChildProcW(window, message, wParam, lParam);
}
