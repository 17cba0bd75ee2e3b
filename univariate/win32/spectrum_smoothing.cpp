#include "univariate/win32/spectrum_smoothing.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/number_format.h"
#include "shell/win32/frame.h"
#include "univariate/periodogram_smoothing.h"
#include "univariate/smoothing_commands.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/dialog_controls.h"
#include "univariate/win32/statistics_views.h"

namespace {

constexpr const char* kSpectrumErrorCaption = "KELO::Error";

struct DaniellDialog {
    UnivariateProject* project = nullptr;
    DialogTexts texts;
};

DaniellDialog* StateOf(HWND dialog) { return DialogStateOf<DaniellDialog>(dialog); }

void WriteInt(DaniellDialog& s, HWND dialog, int id, int32_t value) { s.texts.Write(dialog, id, IntText(value)); }

// The filter whose order the order edit shows: 1..count.
int32_t SelectedFilter(HWND dialog)
{
    const LRESULT selected = SendDlgItemMessageW(dialog, IDC_DANIELL_LIST, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? 1 : static_cast<int32_t>(selected) + 1;
}

void Redraw(HWND dialog, UnivariateProject& u)
{
    (void)DaniellWeights(u);
    (void)DrawFilterWeights(dialog, u);
}

// A count typed since the dialog last showed one is applied, with the weights and the picture.
void CommitCount(HWND dialog, DaniellDialog& s)
{
    if (!s.texts.Edited(dialog, IDC_DANIELL_COUNT)) return;
    (void)SetDaniellCount(dialog, *s.project);
    Redraw(dialog, *s.project);
}

// Smooths the periodogram with the present filters and shows it as the spectrum view's curve 1.
// Returns false after a message when the settings do not fit the series.
bool Apply(HWND dialog, DaniellDialog& s)
{
    UnivariateProject& u = *s.project;
    const std::string message = ApplyDaniellSmoothing(u);
    (void)DrawFilterWeights(dialog, u);
    if (!message.empty()) {
        ShowDialogMessage(dialog, message, kSpectrumErrorCaption);
        return false;
    }
    // The view draws S as curve 1 while the flag is set, on its own scale (log or not); only OK
    // keeps the flag.
    const int32_t shown = u.showSmoothedPeriodogram;
    u.showSmoothedPeriodogram = 1;
    (void)PlotSpectrum(u);
    u.showSmoothedPeriodogram = shown;
    return true;
}

// Enter in the count edit applies the count; elsewhere but on OK it does nothing, and OK itself
// applies the filters and closes, unless they were refused.
void Ok(HWND dialog, DaniellDialog& s)
{
    HWND focus = GetFocus();
    if (focus == GetDlgItem(dialog, IDOK)) {
        CommitCount(dialog, s);
        if (Apply(dialog, s)) s.texts.End(dialog, 1);
    } else if (focus == GetDlgItem(dialog, IDC_DANIELL_COUNT)) {
        CommitCount(dialog, s);
        SendDlgItemMessageW(dialog, IDC_DANIELL_COUNT, EM_SETSEL, 0, -1);
    }
}

void Command(HWND dialog, DaniellDialog& s, int id, int code)
{
    UnivariateProject& u = *s.project;
    switch (id) {
    case IDC_DANIELL_APPLY:
        if (code == BN_CLICKED) {
            CommitCount(dialog, s);
            (void)Apply(dialog, s);
        }
        break;
    case IDOK:
        Ok(dialog, s);
        break;
    case IDCANCEL:
        s.texts.End(dialog, 0);
        break;
    case IDC_DANIELL_COUNT:
        // The count is taken as a whole when the edit is left: typing "12" over "10" passes
        // through "1", which would clear the orders of filters 2 to 10.
        if (code == EN_KILLFOCUS && !s.texts.ending && GetFocus() != GetDlgItem(dialog, IDCANCEL))
            CommitCount(dialog, s);
        break;
    case IDC_DANIELL_ORDER:
        // Only what the user types: the dialog's own writes come without the focus.
        if (code == EN_CHANGE && !s.texts.writing && GetFocus() == GetDlgItem(dialog, IDC_DANIELL_ORDER)) {
            (void)SetDaniellOrder(dialog, u);
            Redraw(dialog, u);
        }
        break;
    case IDC_DANIELL_LIST:
        if (code == CBN_SELCHANGE) {
            const int32_t k = SelectedFilter(dialog);
            if (k >= 1 && k <= kMaxDaniellFilters) WriteInt(s, dialog, IDC_DANIELL_ORDER, u.daniellOrders[k]);
        }
        break;
    default:
        break;
    }
}

// Deletes the picture the static control holds.
void ReleasePicture(HWND dialog)
{
    const LRESULT old = SendDlgItemMessageW(dialog, IDC_DANIELL_PICTURE, STM_SETIMAGE, IMAGE_ENHMETAFILE, 0);
    if (old) DeleteEnhMetaFile(reinterpret_cast<HENHMETAFILE>(old));
}

INT_PTR Message(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        if (!lParam) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        auto* s = new DaniellDialog;
        s->project = reinterpret_cast<UnivariateProject*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
        s->texts.Write(dialog, IDC_DANIELL_COUNT, IntText(s->project->daniellCount));
        (void)SetDaniellCount(dialog, *s->project);
        Redraw(dialog, *s->project);
        return TRUE;
    }
    DaniellDialog* s = StateOf(dialog);
    if (!s) return FALSE;
    switch (message) {
    case WM_COMMAND:
        Command(dialog, *s, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        s->texts.End(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        ReleasePicture(dialog);
        return FALSE;
    case WM_NCDESTROY:
        return ReleaseDialogState(dialog, s);
    default:
        return FALSE;
    }
}

// The spectrum view's curve 1 as the show flags say, after the settings were put back.
void RedrawSpectrum(UnivariateProject& u)
{
    if (u.spectrumView.window) (void)PlotSpectrum(u);
}

}  // namespace

int32_t SetDaniellCount(HWND dialog, UnivariateProject& u)
{
    DaniellDialog* s = StateOf(dialog);
    if (!s) return 0;
    int32_t count = u.daniellCount;
    const std::string refusal = ReadDaniellCount(Utf8Text(DialogItemText(dialog, IDC_DANIELL_COUNT)), count);
    if (!refusal.empty()) {
        s->texts.Show(dialog, IDC_DANIELL_COUNT, IntText(u.daniellCount));
        ShowDialogMessage(dialog, refusal, kSpectrumErrorCaption);
        return 0;
    }
    HWND list = GetDlgItem(dialog, IDC_DANIELL_LIST);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    if (count == 0) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"None"));
    } else {
        for (int32_t k = 1; k <= count; ++k)
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(IntText(k)).c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    EnableDialogControls(dialog, {IDC_DANIELL_LIST, IDC_DANIELL_ORDER}, count > 0);
    AcceptDaniellCount(u, count);
    WriteInt(*s, dialog, IDC_DANIELL_ORDER, u.daniellOrders[1]);
    s->texts.Accept(dialog, IDC_DANIELL_COUNT);
    return 1;
}

int32_t SetDaniellOrder(HWND dialog, UnivariateProject& u)
{
    DaniellDialog* s = StateOf(dialog);
    if (!s) return 1;
    const int32_t k = SelectedFilter(dialog);
    const std::string message = AcceptDaniellOrder(u, k, Utf8Text(DialogItemText(dialog, IDC_DANIELL_ORDER)));
    if (!message.empty()) {
        ShowDialogMessage(dialog, message, kSpectrumErrorCaption);
        if (k >= 1 && k <= kMaxDaniellFilters) WriteInt(*s, dialog, IDC_DANIELL_ORDER, u.daniellOrders[k]);
        FocusSelected(dialog, IDC_DANIELL_ORDER);
    }
    return 1;
}

int32_t DrawFilterWeights(HWND dialog, UnivariateProject& u)
{
    const FilterWeightPicture picture = LayOutFilterWeights(u.daniellWeights);
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (dc) {
        HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
        HGDIOBJ brush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        Rectangle(dc, 0, 0, 100, 120);
        for (const FilterStick& stick : picture.sticks) {
            MoveToEx(dc, stick.x, 120, nullptr);
            LineTo(dc, stick.x, stick.top);
        }
        SelectObject(dc, brush);
        SelectObject(dc, pen);
        if (HENHMETAFILE drawn = CloseEnhMetaFile(dc)) {
            const LRESULT old = SendDlgItemMessageW(dialog, IDC_DANIELL_PICTURE, STM_SETIMAGE, IMAGE_ENHMETAFILE,
                                                    reinterpret_cast<LPARAM>(drawn));
            if (old) DeleteEnhMetaFile(reinterpret_cast<HENHMETAFILE>(old));
        }
    }
    SetDlgItemTextW(dialog, IDC_DANIELL_MAX, WideText(FilterWeightMaxText(picture.wmax)).c_str());
    SetDlgItemInt(dialog, IDC_DANIELL_LEFT, static_cast<UINT>(-(picture.M + 1)), TRUE);
    SetDlgItemInt(dialog, IDC_DANIELL_RIGHT, static_cast<UINT>(picture.M + 1), TRUE);
    return 1;
}

INT_PTR CALLBACK SpectrumSmoothDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may leave a dialog procedure through the system's code.
    try {
        return Message(dialog, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        ShowDialogMessage(dialog, kSmoothingMemoryMessage, kSpectrumErrorCaption);
        return TRUE;
    }
}

int32_t SmoothPeriodogram(UnivariateProject& u)
{
    // A periodogram needs two observations; without them there is nothing to smooth or show.
    if (u.n < 2) {
        MessageBoxW(MessageBoxOwner(), WideText(kNoPeriodogramMessage).c_str(),
                    WideText(kSpectrumErrorCaption).c_str(), MB_OK);
        return 0;
    }
    if (!u.spectrumView.window) {
        u.showModelSpectrum = 0;
        u.showPeriodogram = 1;
        (void)ComputeSpectra(u);
        (void)PlotSpectrum(u);
    }
    if (u.periodogram.empty()) return 0;

    const int32_t count = u.daniellCount;
    int32_t orders[kMaxDaniellFilters + 1];
    std::copy(std::begin(u.daniellOrders), std::end(u.daniellOrders), orders);
    const std::vector<double> smoothed = u.smoothedPeriodogram;

    HWND owner = GetFocus() ? GetAncestor(GetFocus(), GA_ROOT) : nullptr;
    if (!owner) owner = FrameWindow;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SPECTRUM_SMOOTH), owner,
                                           SpectrumSmoothDlgProc, reinterpret_cast<LPARAM>(&u));
    if (result == 1) {
        u.showSmoothedPeriodogram = 1;
    } else {
        u.daniellCount = count;
        std::copy(std::begin(orders), std::end(orders), u.daniellOrders);
        u.smoothedPeriodogram = smoothed;
        // The weights, the view and its report follow the settings put back.
        (void)DaniellWeights(u);
        RedrawSpectrum(u);
    }
    (void)InfoSpectrum(u);
    return 1;
}
