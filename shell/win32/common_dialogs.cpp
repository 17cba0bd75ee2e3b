#include "shell/win32/common_dialogs.h"

#include <commdlg.h>

#include "platform/win32/wide_text.h"
#include "shell/window_layout.h"

namespace {

PlotRect ToPlotRect(const RECT& r) { return PlotRect{r.left, r.top, r.right, r.bottom}; }

// The system places a file dialog by its owner, which may be a view near the frame's edge, so
// the dialog could run off the frame and the screen: once it is built, it is centred on the part
// of the owner's top-level window that the screen shows.
UINT_PTR CALLBACK CentreOnOwner(HWND hook, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_NOTIFY) return 0;
    const auto* note = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (!note || note->hdr.code != CDN_INITDONE || !note->lpOFN) return 0;
    HWND dialog = GetParent(hook);
    HWND top = note->lpOFN->hwndOwner ? GetAncestor(note->lpOFN->hwndOwner, GA_ROOT) : nullptr;
    if (!dialog || !top) return 0;
    RECT frame{}, box{}, shown{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetWindowRect(top, &frame);
    GetWindowRect(dialog, &box);
    if (!GetMonitorInfoW(MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST), &monitor) ||
        !IntersectRect(&shown, &frame, &monitor.rcWork))
        shown = frame;
    const PlotRect placed = CentreInside(ToPlotRect(box), ToPlotRect(shown));
    SetWindowPos(dialog, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

}  // namespace

int GetProjectFileName(HWND owner, std::string& name, int mode)
{
    const bool open = mode == kOpenFileMode;
    wchar_t buffer[256] = L"*.kdx";
    // The filter's "|" separators become NULs, ending in the double NUL the dialog expects.
    std::wstring filter = L"KELO Files (*.KDX)|*.KDX|All Files (*.*)|*.*||";
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = buffer;
    request.nMaxFile = 256;
    request.lpstrTitle = open ? L"Open file" : L"Save KELO file";
    request.lpstrDefExt = L"KDX";
    request.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (open ? OFN_FILEMUSTEXIST : 0) |
                    OFN_EXPLORER | OFN_ENABLEHOOK;
    request.lpfnHook = CentreOnOwner;
    if (!(open ? GetOpenFileNameW(&request) : GetSaveFileNameW(&request))) return 0;
    name = Utf8Text(buffer);
    if (name.size() < 256) name.resize(256, ' ');
    return 1;
}

COLORREF ChoosePlotColor(HWND owner, COLORREF color)
{
    COLORREF custom[16];
    for (int k = 0; k < 16; ++k) custom[k] = RGB(16 * k, 16 * k, 16 * k);
    CHOOSECOLORW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.rgbResult = color;
    request.lpCustColors = custom;
    request.Flags = CC_RGBINIT;
    return ChooseColorW(&request) ? request.rgbResult : color;
}
