// Every text the program's dialog templates show is whole in its control, in the dialog's own
// font: a label in the lines its height holds (wrapping at blanks, as a label does), a check box,
// radio button or push button on its one line beside its box or inside its border, a group
// box's title inside its frame.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_harness.h"

namespace {

class DialogLabelsTest : public FrameFixture {};

INT_PTR CALLBACK InertDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

BOOL CALLBACK CollectDialogId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<WORD>*>(param)->push_back(LOWORD(name));
    return TRUE;
}

// The extent of `text` in the control's font, wrapped at blanks to `width` when `wrap`.
SIZE TextExtent(HWND control, const std::wstring& text, int width, bool wrap, bool prefix)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, width, 0};
    const UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : DT_SINGLELINE) | (prefix ? 0 : DT_NOPREFIX);
    DrawTextW(dc, text.c_str(), -1, &r, flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Why the text of `control` is not whole, or "" when it is (or the control shows no text of its
// own template).
std::string CutText(HWND control)
{
    const std::wstring text = WindowText(control);
    if (text.empty() || (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) == 0) return "";
    RECT client{};
    GetClientRect(control, &client);
    const int width = client.right, height = client.bottom;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring kind = ClassOf(control);
    SIZE size{};
    int room = width;
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
            return "";
        const bool wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
        size = TextExtent(control, text, width, wrap, (style & SS_NOPREFIX) == 0);
    } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        const LONG type = style & BS_TYPEMASK;
        const bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                         type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
        // The box and the gap after it; the frame's corners and a blank on each side of a title;
        // a push button's border.
        if (box) room = width - GetSystemMetrics(SM_CXMENUCHECK) - 4;
        else if (type == BS_GROUPBOX) room = width - 16;
        else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) room = width - 4;
        else return "";
        size = TextExtent(control, text, room, (style & BS_MULTILINE) != 0, true);
    } else {
        return "";
    }
    if (size.cx <= room && size.cy <= height) return "";
    return std::string(text.begin(), text.end()) + " needs " + std::to_string(size.cx) + " x " +
           std::to_string(size.cy) + " pixels and has " + std::to_string(room) + " x " + std::to_string(height);
}

}  // namespace

TEST_F(DialogLabelsTest, EveryTemplateTextIsWhole)
{
    std::vector<WORD> ids;
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(5), CollectDialogId, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_GT(ids.size(), 30u);
    for (WORD id : ids) {
        HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, InertDialog, 0);
        ASSERT_NE(dialog, nullptr) << "dialog " << id;
        const std::wstring caption = WindowText(dialog);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const std::string cut = CutText(child);
            EXPECT_EQ(cut, "") << "dialog " << id << " \"" << std::string(caption.begin(), caption.end()) << "\"";
        }
        DestroyWindow(dialog);
    }
}
