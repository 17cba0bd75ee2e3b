#include "shell/win32/help_viewer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/help_file.h"
#include "shell/help_layout.h"
#include "shell/win32/frame.h"
#include "shell/win32/gdi_guards.h"

namespace {

constexpr const wchar_t* kViewerClass = L"VeskHelp";
constexpr const wchar_t* kPaneClass = L"VeskHelpText";
constexpr const wchar_t* kViewerCaption = L"KELO::Vesk Help";

// Pane messages: show a topic (wParam the vertical scroll position, lParam the topic or null),
// and the vertical scroll position now.
constexpr UINT HPM_SETTOPIC = WM_USER + 1;
constexpr UINT HPM_GETSCROLL = WM_USER + 2;
// Pane to viewer: follow a link (wParam the topic's index).
constexpr UINT HVM_FOLLOW = WM_APP + 1;

constexpr size_t kMaxHistory = 100;

HWND viewerWindow = nullptr;

// The text pane: one topic laid out for the pane's width, drawn with its fonts.
struct PaneState {
    const HelpTopic* topic = nullptr;
    HFONT fonts[HELP_FONT_COUNT] = {};
    int32_t lineHeight[HELP_FONT_COUNT] = {};
    HelpLayout layout;
    int32_t laidOutWidth = -1;
    int32_t scrollX = 0, scrollY = 0;
    int32_t focusLink = -1;
};

struct Visit {
    int32_t topic = 0;
    int32_t scroll = 0;
};

struct ViewerState {
    HelpFile file;
    int32_t current = -1;
    std::vector<Visit> history;
    bool lastFromList = false;   // the topic shown was chosen in the list
    std::vector<int32_t> listed;  // topics in the list, in its order
    HWND back = nullptr, searchLabel = nullptr, search = nullptr, listLabel = nullptr, list = nullptr,
         pane = nullptr, lastFocus = nullptr;
    HFONT font = nullptr;
    int32_t fontHeight = 16;
};

// Handed to CreateWindowExW: the state, and whether the window took it.
struct ViewerCreation {
    ViewerState* state = nullptr;
    bool taken = false;
};

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

LOGFONTW MessageFont()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return metrics.lfMessageFont;
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

int32_t FontLineHeight(HDC dc, HFONT font)
{
    SelectGuard select(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight + metrics.tmExternalLeading + 1;
}

// ---- the text pane ----

PaneState* Pane(HWND pane) { return reinterpret_cast<PaneState*>(GetWindowLongPtrW(pane, GWLP_USERDATA)); }

void CreatePaneFonts(HWND pane, PaneState& s)
{
    const LOGFONTW base = MessageFont();
    LOGFONTW f = base;
    f.lfHeight = base.lfHeight * 3 / 2;
    f.lfWeight = FW_BOLD;
    s.fonts[HELP_FONT_TITLE] = CreateFontIndirectW(&f);
    f = base;
    f.lfHeight = base.lfHeight * 6 / 5;
    f.lfWeight = FW_BOLD;
    s.fonts[HELP_FONT_HEADING] = CreateFontIndirectW(&f);
    s.fonts[HELP_FONT_TEXT] = CreateFontIndirectW(&base);
    f = base;
    f.lfUnderline = TRUE;
    s.fonts[HELP_FONT_LINK] = CreateFontIndirectW(&f);
    f = base;
    f.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(f.lfFaceName, L"Courier New", LF_FACESIZE);
    s.fonts[HELP_FONT_FIXED] = CreateFontIndirectW(&f);
    HDC dc = GetDC(pane);
    for (int k = 0; k < HELP_FONT_COUNT; ++k) s.lineHeight[k] = FontLineHeight(dc, s.fonts[k]);
    ReleaseDC(pane, dc);
}

SIZE ClientSize(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

void UpdateScrollBars(HWND pane, PaneState& s)
{
    const SIZE client = ClientSize(pane);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    // The horizontal bar comes and goes with lines kept as typed that are wider than the pane; it
    // changes only the pane's height, so the text never needs laying out again for it.
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    s.scrollX = std::max(0, std::min(s.scrollX, s.layout.width - static_cast<int32_t>(client.cx)));
    info.nMax = std::max(0, s.layout.width - 1);
    info.nPage = static_cast<UINT>(std::max<LONG>(client.cx, 0));
    info.nPos = s.scrollX;
    SetScrollInfo(pane, SB_HORZ, &info, TRUE);
    const SIZE now = ClientSize(pane);
    s.scrollY = std::max(0, std::min(s.scrollY, s.layout.height - static_cast<int32_t>(now.cy)));
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMax = std::max(0, s.layout.height - 1);
    info.nPage = static_cast<UINT>(std::max<LONG>(now.cy, 0));
    info.nPos = s.scrollY;
    SetScrollInfo(pane, SB_VERT, &info, TRUE);
}

void Relayout(HWND pane, PaneState& s)
{
    const int32_t width = std::max<int32_t>(ClientSize(pane).cx, 1);
    s.laidOutWidth = width;
    s.layout = HelpLayout{};
    if (s.topic) {
        // Measured on a memory device like the one Paint draws on, so that the widths are those
        // drawn.
        HDC screen = GetDC(pane);
        HDC dc = CreateCompatibleDC(screen);
        HelpMetrics metrics;
        metrics.width = [&](int32_t font, std::string_view text) {
            SelectGuard select(dc, s.fonts[font]);
            const std::wstring wide = WideText(text);
            SIZE size{};
            GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
            return static_cast<int32_t>(size.cx);
        };
        std::copy(std::begin(s.lineHeight), std::end(s.lineHeight), metrics.lineHeight);
        metrics.margin = s.lineHeight[HELP_FONT_TEXT] / 2 + 4;
        metrics.indent = s.lineHeight[HELP_FONT_TEXT] * 3 / 2;
        s.layout = LayoutHelpTopic(*s.topic, width, metrics);
        DeleteDC(dc);
        ReleaseDC(pane, screen);
    }
    UpdateScrollBars(pane, s);
    InvalidateRect(pane, nullptr, FALSE);
}

void ScrollTo(HWND pane, PaneState& s, int32_t x, int32_t y)
{
    s.scrollX = x;
    s.scrollY = y;
    UpdateScrollBars(pane, s);
    InvalidateRect(pane, nullptr, FALSE);
}

void ShowFocusLink(HWND pane, PaneState& s)
{
    const HelpRect r = HelpLinkBounds(s.layout, s.focusLink);
    const SIZE client = ClientSize(pane);
    int32_t y = s.scrollY;
    if (r.top < y) y = r.top;
    if (r.bottom > y + client.cy) y = r.bottom - client.cy;
    ScrollTo(pane, s, s.scrollX, y);
}

// Draws `text` with each character at the place that the font's measured extents give it. Some
// systems draw a plain TextOut narrower than GetTextExtentPoint32 measures, which would leave
// gaps before the runs that follow and underlines longer than their links.
void DrawRunText(HDC dc, int32_t x, int32_t y, const std::wstring& text)
{
    const int count = static_cast<int>(text.size());
    std::vector<int> extents(text.size()), advances(text.size());
    int fit = 0;
    SIZE size{};
    if (count == 0 || !GetTextExtentExPointW(dc, text.c_str(), count, INT_MAX, &fit, extents.data(), &size)) {
        TextOutW(dc, x, y, text.c_str(), count);
        return;
    }
    for (size_t k = 0; k < text.size(); ++k) advances[k] = extents[k] - (k > 0 ? extents[k - 1] : 0);
    ExtTextOutW(dc, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(count), advances.data());
}

int32_t Brightness(COLORREF c) { return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000; }

// The colour of links: the system's hot-track colour when it stands out from the window colour
// (some systems set it close to the background), else a plain blue or, on dark windows, a light one.
COLORREF LinkColor()
{
    const COLORREF hot = GetSysColor(COLOR_HOTLIGHT);
    const int32_t background = Brightness(GetSysColor(COLOR_WINDOW));
    if (std::abs(Brightness(hot) - background) >= 100) return hot;
    return background >= 128 ? RGB(0, 0, 192) : RGB(128, 192, 255);
}

void Paint(HWND pane, const PaneState& s)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(pane, &paint);
    const SIZE client = ClientSize(pane);
    HDC memory = CreateCompatibleDC(dc);
    GdiObject bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(client.cx, 1), std::max<LONG>(client.cy, 1)));
    {
        SelectGuard selectBitmap(memory, bitmap.get());
        const RECT all{0, 0, client.cx, client.cy};
        FillRect(memory, &all, GetSysColorBrush(COLOR_WINDOW));
        SetBkMode(memory, TRANSPARENT);
        for (const HelpRun& run : s.layout.runs) {
            const int32_t top = run.y - s.scrollY;
            if (top + run.height < 0 || top > client.cy) continue;
            SelectGuard selectFont(memory, s.fonts[run.font]);
            SetTextColor(memory, run.link >= 0 ? LinkColor() : GetSysColor(COLOR_WINDOWTEXT));
            DrawRunText(memory, run.x - s.scrollX, top, WideText(run.text));
        }
        if (GetFocus() == pane && s.focusLink >= 0)
            for (const HelpRun& run : s.layout.runs)
                if (run.link >= 0 && run.linkNumber == s.focusLink) {
                    RECT r{run.x - s.scrollX - 1, run.y - s.scrollY, run.x + run.width - s.scrollX + 1,
                           run.y + run.height - s.scrollY};
                    DrawFocusRect(memory, &r);
                }
        BitBlt(dc, 0, 0, client.cx, client.cy, memory, 0, 0, SRCCOPY);
    }
    DeleteDC(memory);
    EndPaint(pane, &paint);
}

void FollowLink(HWND pane, const PaneState& s, int32_t linkNumber)
{
    const int32_t target = HelpLinkTarget(s.layout, linkNumber);
    // The viewer shows the target in this pane at once; nothing of the old layout is used after.
    if (target >= 0) SendMessageW(GetParent(pane), HVM_FOLLOW, static_cast<WPARAM>(target), 0);
}

int32_t ScrollPosition(HWND pane, int bar, WPARAM request, int32_t now, int32_t line, int32_t page)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(pane, bar, &info);
    switch (LOWORD(request)) {
    case SB_LINEUP: return now - line;
    case SB_LINEDOWN: return now + line;
    case SB_PAGEUP: return now - page;
    case SB_PAGEDOWN: return now + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return info.nTrackPos;
    case SB_TOP: return 0;
    case SB_BOTTOM: return info.nMax;
    default: return now;
    }
}

bool OnPaneKey(HWND pane, PaneState& s, WPARAM key)
{
    const SIZE client = ClientSize(pane);
    const int32_t line = s.lineHeight[HELP_FONT_TEXT];
    switch (key) {
    case VK_UP: ScrollTo(pane, s, s.scrollX, s.scrollY - line); return true;
    case VK_DOWN: ScrollTo(pane, s, s.scrollX, s.scrollY + line); return true;
    case VK_LEFT: ScrollTo(pane, s, s.scrollX - line, s.scrollY); return true;
    case VK_RIGHT: ScrollTo(pane, s, s.scrollX + line, s.scrollY); return true;
    case VK_PRIOR: ScrollTo(pane, s, s.scrollX, s.scrollY - std::max<int32_t>(client.cy - line, line)); return true;
    case VK_NEXT: ScrollTo(pane, s, s.scrollX, s.scrollY + std::max<int32_t>(client.cy - line, line)); return true;
    case VK_HOME: ScrollTo(pane, s, 0, 0); return true;
    case VK_END: ScrollTo(pane, s, 0, s.layout.height); return true;
    case VK_TAB: {
        const bool backwards = GetKeyState(VK_SHIFT) < 0;
        const int32_t next = backwards ? s.focusLink - 1 : s.focusLink + 1;
        if (next < 0 || next >= s.layout.linkCount) return false;
        s.focusLink = next;
        ShowFocusLink(pane, s);
        return true;
    }
    case VK_RETURN:
    case VK_SPACE:
        if (s.focusLink < 0) return false;
        FollowLink(pane, s, s.focusLink);
        return true;
    case VK_BACK:
        SendMessageW(GetParent(pane), WM_COMMAND, MAKEWPARAM(IDC_HELP_BACK, BN_CLICKED), 0);
        return true;
    default: return false;
    }
}

// Which keys the pane handles itself when the viewer's keyboard handling sees them: the arrows,
// Tab while there is another link that way, Enter and Space on a link.
LRESULT PaneDialogCode(const PaneState& s, const MSG* message)
{
    LRESULT code = DLGC_WANTARROWS;
    if (!message || message->message != WM_KEYDOWN) return code;
    if (message->wParam == VK_TAB) {
        const bool backwards = GetKeyState(VK_SHIFT) < 0;
        if (backwards ? s.focusLink > 0 : s.focusLink + 1 < s.layout.linkCount) code |= DLGC_WANTTAB;
    } else if ((message->wParam == VK_RETURN || message->wParam == VK_SPACE) && s.focusLink >= 0) {
        code |= DLGC_WANTMESSAGE;
    }
    return code;
}

POINT CursorIn(HWND window)
{
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return p;
}

LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    PaneState* s = Pane(pane);
    switch (message) {
    case WM_NCCREATE: {
        auto* state = new (std::nothrow) PaneState;
        if (!state) return FALSE;
        SetWindowLongPtrW(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        break;
    }
    case WM_CREATE:
        if (s) CreatePaneFonts(pane, *s);
        return 0;
    case WM_NCDESTROY:
        if (s) {
            for (HFONT font : s->fonts)
                if (font) DeleteObject(font);
            delete s;
            SetWindowLongPtrW(pane, GWLP_USERDATA, 0);
        }
        break;
    case HPM_SETTOPIC:
        if (!s) return 0;
        s->topic = reinterpret_cast<const HelpTopic*>(lParam);
        s->focusLink = -1;
        s->scrollX = 0;
        s->scrollY = static_cast<int32_t>(wParam);
        SetWindowTextW(pane, s->topic ? WideText(s->topic->title).c_str() : L"");
        Relayout(pane, *s);
        return 0;
    case HPM_GETSCROLL: return s ? s->scrollY : 0;
    case WM_SIZE:
        if (!s) break;
        if (LOWORD(lParam) != s->laidOutWidth)
            Relayout(pane, *s);
        else
            UpdateScrollBars(pane, *s);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
        if (!s) break;
        Paint(pane, *s);
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        if (!s) break;
        const SIZE client = ClientSize(pane);
        const int32_t line = s->lineHeight[HELP_FONT_TEXT];
        if (message == WM_VSCROLL)
            ScrollTo(pane, *s, s->scrollX, ScrollPosition(pane, SB_VERT, wParam, s->scrollY, line, client.cy - line));
        else
            ScrollTo(pane, *s, ScrollPosition(pane, SB_HORZ, wParam, s->scrollX, line, client.cx - line), s->scrollY);
        return 0;
    }
    case WM_MOUSEWHEEL:
        if (!s) break;
        ScrollTo(pane, *s, s->scrollX,
                 s->scrollY - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * s->lineHeight[HELP_FONT_TEXT] / WHEEL_DELTA);
        return 0;
    case WM_SETCURSOR:
        if (s && LOWORD(lParam) == HTCLIENT) {
            const POINT p = CursorIn(pane);
            const bool onLink = HelpLinkAt(s->layout, p.x + s->scrollX, p.y + s->scrollY) >= 0;
            SetCursor(LoadCursorW(nullptr, onLink ? IDC_HAND : IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN: {
        SetFocus(pane);
        if (!s) return 0;
        const int32_t link = HelpLinkAt(s->layout, static_cast<short>(LOWORD(lParam)) + s->scrollX,
                                        static_cast<short>(HIWORD(lParam)) + s->scrollY);
        if (link >= 0) FollowLink(pane, *s, link);
        return 0;
    }
    case WM_GETDLGCODE: return s ? PaneDialogCode(*s, reinterpret_cast<const MSG*>(lParam)) : DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (s && OnPaneKey(pane, *s, wParam)) return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (s && message == WM_KILLFOCUS) s->focusLink = -1;
        InvalidateRect(pane, nullptr, FALSE);
        return 0;
    default: break;
    }
    return DefWindowProcW(pane, message, wParam, lParam);
}

// ---- the viewer window ----

ViewerState* Viewer(HWND window) { return reinterpret_cast<ViewerState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void SelectCurrentInList(ViewerState& v)
{
    const auto at = std::find(v.listed.begin(), v.listed.end(), v.current);
    SendMessageW(v.list, LB_SETCURSEL, at == v.listed.end() ? static_cast<WPARAM>(-1) : at - v.listed.begin(), 0);
}

void Filter(ViewerState& v)
{
    const std::string query = WindowTextUtf8(v.search);
    v.listed = SearchHelpTopics(v.file, query);
    SendMessageW(v.list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(v.list, LB_RESETCONTENT, 0, 0);
    for (int32_t k : v.listed)
        SendMessageW(v.list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WideText(v.file.topics[static_cast<size_t>(k)].title).c_str()));
    SendMessageW(v.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(v.list, nullptr, TRUE);
    std::wstring label;
    if (query.find_first_not_of(" \t") == std::string::npos)
        label = L"All topics";
    else if (v.listed.empty())
        label = L"No topic holds every word";
    else
        label = std::to_wstring(v.listed.size()) + (v.listed.size() == 1 ? L" topic found" : L" topics found");
    SetWindowTextW(v.listLabel, label.c_str());
    SelectCurrentInList(v);
}

void EnableBack(ViewerState& v)
{
    const bool any = !v.history.empty();
    if (!any && GetFocus() == v.back) SetFocus(v.pane);
    EnableWindow(v.back, any);
}

// Shows topic `topic` scrolled to `scroll`. `remember`: the topic shown before goes into the
// history, except that a row of choices in the list counts as one step.
void ShowTopic(ViewerState& v, int32_t topic, int32_t scroll, bool remember, bool fromList)
{
    if (topic < 0 || static_cast<size_t>(topic) >= v.file.topics.size()) return;
    if (remember && v.current >= 0 && topic != v.current && !(fromList && v.lastFromList)) {
        if (v.history.size() >= kMaxHistory) v.history.erase(v.history.begin());
        v.history.push_back({v.current, static_cast<int32_t>(SendMessageW(v.pane, HPM_GETSCROLL, 0, 0))});
    }
    v.lastFromList = fromList;
    v.current = topic;
    SendMessageW(v.pane, HPM_SETTOPIC, static_cast<WPARAM>(scroll),
                 reinterpret_cast<LPARAM>(&v.file.topics[static_cast<size_t>(topic)]));
    if (!fromList) SelectCurrentInList(v);
    EnableBack(v);
}

void GoBack(ViewerState& v)
{
    if (v.history.empty()) return;
    const Visit last = v.history.back();
    v.history.pop_back();
    ShowTopic(v, last.topic, last.scroll, false, false);
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id, HFONT font)
{
    HWND child = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

bool CreateControls(HWND window, ViewerState& v)
{
    const LOGFONTW base = MessageFont();
    v.font = CreateFontIndirectW(&base);
    HDC dc = GetDC(window);
    v.fontHeight = FontLineHeight(dc, v.font);
    ReleaseDC(window, dc);
    v.back = Child(window, L"BUTTON", L"&Back", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0, IDC_HELP_BACK, v.font);
    v.searchLabel = Child(window, L"STATIC", L"&Search:", SS_LEFT, 0, IDC_HELP_SEARCH_LABEL, v.font);
    v.search = Child(window, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_HELP_SEARCH, v.font);
    v.listLabel = Child(window, L"STATIC", L"All topics", SS_LEFT | SS_NOPREFIX, 0, IDC_HELP_LIST_LABEL, v.font);
    v.list = Child(window, L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                   WS_EX_CLIENTEDGE, IDC_HELP_LIST, v.font);
    v.pane = Child(window, kPaneClass, L"", WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, IDC_HELP_TEXT,
                   nullptr);
    return v.back && v.searchLabel && v.search && v.listLabel && v.list && v.pane;
}

void LayOut(ViewerState& v, int width, int height)
{
    const int pad = 8;
    const int row = v.fontHeight + 10;
    const int text = v.fontHeight + 2;
    const int listWidth = std::clamp(width / 4, 160, 300);
    MoveWindow(v.back, pad, pad, std::max(80, 5 * v.fontHeight), row, TRUE);
    int y = pad + row + pad;
    const int top = y;
    MoveWindow(v.searchLabel, pad, y, listWidth, text, TRUE);
    y += text;
    MoveWindow(v.search, pad, y, listWidth, row, TRUE);
    y += row + pad;
    MoveWindow(v.listLabel, pad, y, listWidth, text, TRUE);
    y += text;
    MoveWindow(v.list, pad, y, listWidth, std::max(height - y - pad, 0), TRUE);
    const int paneLeft = pad + listWidth + pad;
    MoveWindow(v.pane, paneLeft, top, std::max(width - paneLeft - pad, 0), std::max(height - top - pad, 0), TRUE);
}

void OnCommand(HWND window, ViewerState& v, int id, int code)
{
    switch (id) {
    case IDC_HELP_BACK:
        if (code == BN_CLICKED) GoBack(v);
        break;
    case IDC_HELP_SEARCH:
        if (code == EN_CHANGE) Filter(v);
        break;
    case IDC_HELP_LIST: {
        const LRESULT row = SendMessageW(v.list, LB_GETCURSEL, 0, 0);
        if (row < 0 || static_cast<size_t>(row) >= v.listed.size()) break;
        if (code == LBN_SELCHANGE) ShowTopic(v, v.listed[static_cast<size_t>(row)], 0, true, true);
        if (code == LBN_DBLCLK) SetFocus(v.pane);
        break;
    }
    case IDOK:  // Enter: from the search box to the first topic found, from the list to the text
        if (GetFocus() == v.search && !v.listed.empty()) {
            ShowTopic(v, v.listed.front(), 0, true, false);
            SetFocus(v.list);
        } else if (GetFocus() == v.list) {
            SetFocus(v.pane);
        }
        break;
    case IDCANCEL: DestroyWindow(window); break;
    default: break;
    }
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        // From here on the window owns the state: its WM_NCDESTROY frees it.
        auto* params = static_cast<ViewerCreation*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(params->state));
        params->taken = true;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ViewerState* v = Viewer(window);
    if (!v) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: return CreateControls(window, *v) ? 0 : -1;
    case WM_SIZE: LayOut(*v, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {480, 320};
        return 0;
    }
    case WM_COMMAND: OnCommand(window, *v, LOWORD(wParam), HIWORD(wParam)); return 0;
    case HVM_FOLLOW: ShowTopic(*v, static_cast<int32_t>(wParam), 0, true, false); return 0;
    case WM_ACTIVATE:
        // The focus a control had when the viewer lost the activation comes back with it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window, focus)) v->lastFocus = focus;
        } else {
            SetFocus(v->lastFocus && IsWindow(v->lastFocus) ? v->lastFocus : v->pane);
        }
        return 0;
    case WM_SETFOCUS: SetFocus(v->lastFocus && IsWindow(v->lastFocus) ? v->lastFocus : v->pane); return 0;
    case WM_DESTROY:
        if (viewerWindow == window) viewerWindow = nullptr;
        return 0;
    case WM_NCDESTROY:
        if (v->font) DeleteObject(v->font);
        delete v;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterClasses()
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(Instance(), kViewerClass, &existing)) {
        WNDCLASSEXW viewer{};
        viewer.cbSize = sizeof viewer;
        viewer.lpfnWndProc = ViewerProc;
        viewer.hInstance = Instance();
        viewer.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_VESK));
        viewer.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        viewer.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        viewer.lpszClassName = kViewerClass;
        if (!RegisterClassExW(&viewer)) return false;
    }
    if (!GetClassInfoExW(Instance(), kPaneClass, &existing)) {
        WNDCLASSEXW pane{};
        pane.cbSize = sizeof pane;
        pane.style = CS_DBLCLKS;
        pane.lpfnWndProc = PaneProc;
        pane.hInstance = Instance();
        pane.lpszClassName = kPaneClass;
        if (!RegisterClassExW(&pane)) return false;
    }
    return true;
}

HWND CreateViewer(std::unique_ptr<ViewerState> state)
{
    if (!RegisterClasses()) return nullptr;
    RECT work{0, 0, 1024, 768};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    const int width = std::min(workWidth, std::max(560, workWidth * 7 / 10));
    const int height = std::min(workHeight, std::max(400, workHeight * 3 / 4));
    ViewerCreation creation{state.get()};
    HWND window = CreateWindowExW(0, kViewerClass, kViewerCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  work.left + (workWidth - width) / 2, work.top + (workHeight - height) / 2, width,
                                  height, FrameWindow, nullptr, Instance(), &creation);
    if (creation.taken) state.release();
    return window;
}

}  // namespace

std::wstring HelpFilePath()
{
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        if (program.size() >= 32768) return L"VESK.HLP";
        program.resize(program.size() * 2);
    }
    const size_t slash = program.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : program.substr(0, slash + 1)) + L"VESK.HLP";
}

int32_t OpenHelpViewer(const std::wstring& path, std::string_view topicId)
{
    HelpFile file;
    std::string message;
    if (LoadHelpFile(Utf8Text(path), file, message) != 1) {
        MessageBoxW(MessageBoxOwner(), WideText(message).c_str(), kViewerCaption, MB_OK | MB_ICONERROR);
        return 0;
    }
    const int32_t topic = std::max(FindHelpTopic(file, topicId), FindHelpTopic(file, kHelpContentsTopic));
    if (!viewerWindow) {
        auto state = std::make_unique<ViewerState>();
        state->file = std::move(file);
        viewerWindow = CreateViewer(std::move(state));
        if (!viewerWindow) return 0;
        ViewerState& v = *Viewer(viewerWindow);
        Filter(v);
        ShowTopic(v, topic, 0, false, false);
        ShowWindow(viewerWindow, SW_SHOW);
    } else {
        ViewerState& v = *Viewer(viewerWindow);
        // The pane lets go of the old topics before they are replaced; the history named them by
        // position, which the new file may change.
        SendMessageW(v.pane, HPM_SETTOPIC, 0, 0);
        v.file = std::move(file);
        v.history.clear();
        v.current = -1;
        Filter(v);
        ShowTopic(v, topic, 0, false, false);
        if (IsIconic(viewerWindow)) ShowWindow(viewerWindow, SW_RESTORE);
    }
    SetForegroundWindow(viewerWindow);
    SetActiveWindow(viewerWindow);
    SetFocus(Viewer(viewerWindow)->pane);
    return 1;
}

HWND HelpViewerWindow() { return viewerWindow; }

bool HelpViewerMessage(MSG& message)
{
    if (!viewerWindow || (message.hwnd != viewerWindow && !IsChild(viewerWindow, message.hwnd))) return false;
    return IsDialogMessageW(viewerWindow, &message) != FALSE;
}

void ShowHelpContents() { OpenHelpViewer(HelpFilePath(), kHelpContentsTopic); }

void ShowHelpOnHelp() { OpenHelpViewer(HelpFilePath(), kHelpOnHelpTopic); }
