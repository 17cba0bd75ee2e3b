#include "shell/win32/info_window.h"

#include <cstddef>
#include <string>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/report_text.h"
#include "shell/win32/duplicate_window.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/printing.h"

namespace {

int32_t SlotOf(HWND edit) { return edit ? static_cast<int32_t>(GetWindowLongPtrW(edit, GWLP_USERDATA)) : 0; }

void AppendText(HWND edit, const std::wstring& text)
{
    const LRESULT end = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool OnSysCommand(HWND window, WPARAM command)
{
    if (command == SC_PRINTVIEW) {
        PrintTextWindow(window);
        return true;
    }
    if (command != SC_DUPLICATEVIEW) return false;
    HWND duplicate = CreateDupTextWindow();
    if (duplicate) FillDupText(duplicate, window);
    return true;
}

}  // namespace

HWND CreateReportEdit(HWND parent)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                0, 0, 0, 0, parent, nullptr, ViewInstance(), nullptr);
    if (!edit) return nullptr;
    SetWindowLongPtrW(edit, GWLP_USERDATA, 0);
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(10, 10));
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), TRUE);
    // Reports of any length: lift the default limit of about 30,000 characters.
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    return edit;
}

HWND ReportEditOf(HWND window)
{
    return window ? reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

HWND CreateInfoWindow(int32_t slot)
{
    HWND window = CreateViewChild(kPlotTxtWinClass, L"INFO", 0);
    if (!window) return nullptr;
    SetWindowLongPtrW(ReportEditOf(window), GWLP_USERDATA, slot);
    static const UINT commands[] = {SC_PRINTVIEW, SC_DUPLICATEVIEW};
    AddViewCommands(window, commands, 2);
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
    return window;
}

int32_t InfoPrint(HWND window, std::string_view text, int32_t length)
{
    HWND edit = window && IsWindow(window) ? ReportEditOf(window) : nullptr;
    if (!edit || !IsWindow(edit)) return 1;
    const std::wstring line = WideText(InfoPrintText(text));
    if (InfoPrintClears(text, length))
        SetWindowTextW(edit, line.c_str());
    else
        AppendText(edit, line + L"\r\n");
    return 1;
}

int32_t InfoPrintArray(HWND window, const std::vector<double>& values, int32_t n, int32_t perLine,
                       int32_t decimals, NumberScale scale)
{
    HWND edit = window && IsWindow(window) ? ReportEditOf(window) : nullptr;
    if (!edit || !IsWindow(edit)) return 1;
    AppendText(edit, WideText(InfoArrayText(values, n, perLine, decimals, scale)));
    return 1;
}

int32_t InfoReplay(HWND window, const InfoCalls& calls)
{
    HWND edit = window && IsWindow(window) ? ReportEditOf(window) : nullptr;
    if (!edit || !IsWindow(edit)) return 1;
    // The report goes in as one insertion: an edit control that repaints and rescrolls for each
    // line takes seconds for a report of a few dozen lines.
    size_t start = calls.size();
    while (start > 0 && (calls[start - 1].array || !InfoPrintClears(calls[start - 1].text, calls[start - 1].length)))
        --start;
    if (start == 0) {
        AppendText(edit, WideText(ReportWindowText(calls)));
        return 1;
    }
    const InfoCall& clear = calls[start - 1];
    const InfoCalls rest(calls.begin() + static_cast<std::ptrdiff_t>(start), calls.end());
    SetWindowTextW(edit, WideText(ReportWindowText(rest, std::string(InfoPrintText(clear.text)))).c_str());
    const LRESULT end = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    return 1;
}

LRESULT CALLBACK InfoWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND edit = ReportEditOf(window);
    switch (message) {
    case WM_CREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(CreateReportEdit(window)));
        return 0;
    case WM_SIZE:
        if (edit) MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        break;
    case WM_SETFOCUS:
    case WM_NCACTIVATE:
        SendMessageW(FrameWindow, UM_TEXTACTIVATED, static_cast<WPARAM>(SlotOf(edit)),
                     reinterpret_cast<LPARAM>(window));
        break;
    case WM_KILLFOCUS:
        SendMessageW(FrameWindow, UM_TEXTDEACTIVATED, 0, reinterpret_cast<LPARAM>(window));
        return 0;
    case WM_CLOSE:
        SendMessageW(ViewClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
        SendMessageW(ViewClient(), WM_MDINEXT, 0, 0);
        return 0;
    case WM_SYSCOMMAND:
        if (OnSysCommand(window, wParam)) return 0;
        break;
    case UM_QUERYVIEWTYPE:
        return VIEW_TEXT;
    case UM_QUERYVIEWINFO:
        return SlotOf(edit);
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefMDIChildProcW(window, message, wParam, lParam);
}
