#include "shell/win32/plot_colors.h"

#include "resources/resource.h"
#include "shell/plot_record.h"
#include "shell/win32/common_dialogs.h"
#include "shell/win32/frame.h"
#include "shell/win32/project_commands.h"
#include "shell/win32/gdi_guards.h"

namespace {

// The editable colours in the order "Choose Color" looks for a checked button.
struct EditableColor {
    int radio;
    int32_t index;  // into PlotColors
    int swatch;
};
constexpr EditableColor kEditable[] = {
    {IDC_COLOR_1, 1, IDC_SWATCH_1},
    {IDC_COLOR_2, 2, IDC_SWATCH_2},
    {IDC_COLOR_3, 3, IDC_SWATCH_3},
    {IDC_COLOR_4, 4, IDC_SWATCH_4},
    {IDC_COLOR_AXIS_TEXT, 14, IDC_SWATCH_AXIS_TEXT},
    {IDC_COLOR_BORDER, 13, IDC_SWATCH_BORDER},
    {IDC_COLOR_BACKGROUND, 11, IDC_SWATCH_BACKGROUND},
};
constexpr int kEditableCount = static_cast<int>(sizeof kEditable / sizeof kEditable[0]);

struct ColorsDialog {
    uint32_t saved[kEditableCount] = {};
};

void RedrawAll() { SendMessageW(FrameWindow, UM_REDRAWALL, 0, 0); }

void OnInit(HWND dialog, ColorsDialog& data)
{
    for (int k = 0; k < kEditableCount; ++k) {
        data.saved[k] = PlotColors[kEditable[k].index];
        ShowColorSwatch(dialog, kEditable[k].swatch, PlotColors[kEditable[k].index]);
    }
}

void OnChooseColor(HWND dialog)
{
    for (const EditableColor& c : kEditable) {
        if (IsDlgButtonChecked(dialog, c.radio) != BST_CHECKED) continue;
        PlotColors[c.index] = ChoosePlotColor(dialog, PlotColors[c.index]);
        ShowColorSwatch(dialog, c.swatch, PlotColors[c.index]);
        break;
    }
    RedrawAll();
}

void OnCancel(HWND dialog, const ColorsDialog& data)
{
    for (int k = 0; k < kEditableCount; ++k) PlotColors[kEditable[k].index] = data.saved[k];
    RedrawAll();
    EndDialog(dialog, 0);
}

void OnOk(HWND dialog)
{
    HWND ok = GetDlgItem(dialog, IDOK);
    // Enter on a radio button first moves to OK; OK itself accepts.
    if (GetFocus() != ok) {
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
        return;
    }
    EndDialog(dialog, 1);
}

// The swatches' pictures are the dialog's own; they go with it.
void DeleteSwatches(HWND dialog)
{
    for (const EditableColor& c : kEditable) {
        const LPARAM none = 0;
        auto old = reinterpret_cast<HENHMETAFILE>(
            SendDlgItemMessageW(dialog, c.swatch, STM_SETIMAGE, IMAGE_ENHMETAFILE, none));
        if (old) DeleteEnhMetaFile(old);
    }
}

}  // namespace

void ShowColorSwatch(HWND dialog, int controlId, COLORREF color)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return;
    RECT r{};
    GetClientRect(control, &r);
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!dc) return;
    {
        GdiObject brush(CreateSolidBrush(color));
        FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
    }
    HENHMETAFILE picture = CloseEnhMetaFile(dc);
    auto old = reinterpret_cast<HENHMETAFILE>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_ENHMETAFILE, reinterpret_cast<LPARAM>(picture)));
    if (old && old != picture) DeleteEnhMetaFile(old);
}

INT_PTR CALLBACK ColorsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        OnInit(dialog, *reinterpret_cast<ColorsDialog*>(lParam));
        return TRUE;
    }
    auto* data = reinterpret_cast<ColorsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!data) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_COLOR_CHOOSE:
            OnChooseColor(dialog);
            return TRUE;
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDCANCEL:
            OnCancel(dialog, *data);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        // The title bar's close keeps the colours chosen so far.
        EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        DeleteSwatches(dialog);
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

int32_t CustomizeColors()
{
    ColorsDialog data;
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(FrameWindow, GWLP_HINSTANCE));
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PLOT_COLORS), FrameWindow, ColorsDlgProc,
                                           reinterpret_cast<LPARAM>(&data));
    for (int k = 0; k < kEditableCount; ++k)
        if (PlotColors[kEditable[k].index] != data.saved[k]) {
            NoteColorsChanged();
            break;
        }
    if (result != 1) return 0;
    RedrawAll();
    return 1;
}
