#include "univariate/win32/smoothing_dialogs.h"

#include <commctrl.h>

#include <new>
#include <optional>
#include <string>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/number_format.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "univariate/smoothing_commands.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/dialog_controls.h"
#include "univariate/win32/univariate_reports.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

constexpr const char* kMaErrorCaption = "KELO::ERROR";

// Curve 1 the imported series, curve 2 its smoothed version, both over 1..n; the view repaints.
void DrawSmoothing(UnivariateProject& u, SmoothingKind kind)
{
    PlotRecord& view = u.views[SmoothingView(kind)];
    const int32_t n = static_cast<int32_t>(u.originalSeries.size());
    SetCurveY(view, 1, u.originalSeries, 1, n);
    SetCurveY(view, 2, SmoothedSeries(u, kind), 1, n);
    if (view.window) InvalidateRect(Handle(view.window), nullptr, TRUE);
}

// Opens the kind's view titled after the data window; the series dotted, the smoothed series a
// plain line. Returns 0 when the window could not be created.
int32_t OpenSmoothingView(UnivariateProject& u, SmoothingKind kind)
{
    PlotRecord& view = u.views[SmoothingView(kind)];
    if (!CreatePlotWindow(view, 1)) return 0;
    view.slot = u.dataView.slot;
    wchar_t title[235] = {};
    if (u.dataView.window) GetWindowTextW(Handle(u.dataView.window), title, 235);
    std::wstring name(title);
    name.erase(name.find_last_not_of(L' ') + 1);
    SetWindowTextW(Handle(view.window), (WideText(SmoothingViewTitlePrefix(kind)) + name).c_str());
    return 1;
}

void InfoOfKind(UnivariateProject& u, SmoothingKind kind)
{
    switch (kind) {
    case SMOOTH_EXPONENTIAL: InfoExpSmoothing(u); break;
    case SMOOTH_FFT: InfoFftSmoothing(u); break;
    default: InfoMaSmoothing(u); break;
    }
}

// ---- The slider dialogs (154 and 153)

struct SliderDialog {
    UnivariateProject* project = nullptr;
    SmoothingKind kind = SMOOTH_EXPONENTIAL;
    int edit = 0;
    HWND trackbar = nullptr;
    int32_t applied = 0;  // the last applied slider position
    DialogTexts texts;
};

void SliderStart(HWND dialog, UnivariateProject& project, SmoothingKind kind)
{
    auto* s = new SliderDialog;
    s->project = &project;
    s->kind = kind;
    s->edit = kind == SMOOTH_EXPONENTIAL ? IDC_EXP_ALPHA : IDC_FFT_FRACTION;
    s->trackbar = GetDlgItem(dialog, kind == SMOOTH_EXPONENTIAL ? IDC_EXP_TRACKBAR : IDC_FFT_TRACKBAR);
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    const double v = *SmoothingParameter(project, kind);
    SendMessageW(s->trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(kSmoothSliderFirst, kSmoothSliderLast));
    s->applied = SmoothingSliderStart(kind, v);
    SendMessageW(s->trackbar, TBM_SETPOS, TRUE, s->applied);
    s->texts.Show(dialog, s->edit, SmoothingParameterText(v));
}

// Smooths with a parameter the user chose: the project keeps `v`, the smoother runs on a working
// copy (an exponential -1 is replaced there by the constant the search picks). Returns the copy.
double Recompute(SliderDialog& s, double v)
{
    UnivariateProject& u = *s.project;
    *SmoothingParameter(u, s.kind) = v;
    double working = v;
    (void)SmoothOriginal(u, s.kind, working);
    DrawSmoothing(u, s.kind);
    return working;
}

void SliderMoved(HWND dialog, SliderDialog& s)
{
    const int32_t position = static_cast<int32_t>(SendMessageW(s.trackbar, TBM_GETPOS, 0, 0));
    const double v = SmoothingSliderValue(position);
    s.texts.Show(dialog, s.edit, SmoothingParameterText(v));
    if (position != s.applied) (void)Recompute(s, v);
    s.applied = position;
    SetFocus(s.trackbar);
}

// The edit lost the focus: a value the user typed is applied, and the slider shows its nearest
// tenth. Leaving for Cancel checks nothing.
void SliderTyped(HWND dialog, SliderDialog& s)
{
    if (s.texts.ending || GetFocus() == GetDlgItem(dialog, IDCANCEL)) return;
    const std::optional<std::string> text = s.texts.Edited(dialog, s.edit);
    if (!text) return;
    s.texts.Accept(dialog, s.edit);
    double v = 0.0;
    std::string message;
    switch (ReadSmoothingEntry(s.kind, *text, v, message)) {
    case SMOOTHING_ENTRY_IGNORED:
        return;
    case SMOOTHING_ENTRY_REFUSED:
        ShowDialogMessage(dialog, message, kVeskErrorCaption);
        break;
    case SMOOTHING_ENTRY_ACCEPTED:
        s.applied = SmoothingSliderPosition(Recompute(s, v));
        SendMessageW(s.trackbar, TBM_SETPOS, TRUE, s.applied);
        break;
    }
    KeepFocusIn(dialog);
}

INT_PTR SliderMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, SmoothingKind kind)
{
    if (message == WM_INITDIALOG) {
        if (!lParam) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        SliderStart(dialog, *reinterpret_cast<UnivariateProject*>(lParam), kind);
        return TRUE;
    }
    SliderDialog* s = DialogStateOf<SliderDialog>(dialog);
    if (!s) return FALSE;
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == s->edit) {
            if (code == EN_KILLFOCUS) SliderTyped(dialog, *s);
            return TRUE;
        }
        if (id == IDOK) {
            // Enter in the edit applies the typed value by moving on to OK; OK itself closes.
            if (GetFocus() == GetDlgItem(dialog, s->edit))
                SetFocus(GetDlgItem(dialog, IDOK));
            else
                s->texts.End(dialog, 1);
            return TRUE;
        }
        if (id == IDCANCEL) {
            s->texts.End(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        s->texts.End(dialog, 0);
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == s->trackbar) SliderMoved(dialog, *s);
        return TRUE;
    case WM_NCDESTROY:
        return ReleaseDialogState(dialog, s);
    default:
        return FALSE;
    }
}

INT_PTR ExpMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SliderMessage(dialog, message, wParam, lParam, SMOOTH_EXPONENTIAL);
}

INT_PTR FftMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SliderMessage(dialog, message, wParam, lParam, SMOOTH_FFT);
}

// ---- The weight dialog (151)

struct MaDialog {
    UnivariateProject* project = nullptr;
    SmoothingRun* run = nullptr;
    int32_t current = 1;  // the weight shown: theta(current - 1)
    DialogTexts texts;
    bool refusing = false;  // a refused weight's message is up: the box losing the focus checks nothing
};

// Says why the weight box's text is refused and gives the box the focus again; true when it was
// refused.
bool RefuseMaWeight(HWND dialog, MaDialog& s)
{
    if (s.refusing) return true;
    // A weight only shown is the dialog's own text: only what the user typed is checked.
    const std::optional<std::string> text = s.texts.Edited(dialog, IDC_MA_WEIGHT);
    const std::string why = text ? MaWeightRefusal(s.current - 1, *text) : "";
    if (why.empty()) return false;
    s.refusing = true;
    ShowDialogMessage(dialog, why, kMaErrorCaption);
    s.refusing = false;
    FocusSelected(dialog, IDC_MA_WEIGHT);
    return true;
}

void SelectMaWeight(HWND dialog, MaDialog& s)
{
    UnivariateProject& u = *s.project;
    if (s.current < 1 || s.current > u.maOrder + 1) s.current = 1;
    s.texts.Write(dialog, IDC_MA_LABEL, MaWeightLabel(s.current - 1));
    s.texts.Show(dialog, IDC_MA_WEIGHT, MaWeightText(u.maWeights[static_cast<size_t>(s.current - 1)]));
}

// Stores a weight the user typed into the current weight (a weight only shown keeps its full
// value) and refills the list, whose selection follows the current weight.
void StoreMaWeight(HWND dialog, MaDialog& s)
{
    UnivariateProject& u = *s.project;
    if (const std::optional<std::string> text = s.texts.Edited(dialog, IDC_MA_WEIGHT))
        (void)ReadMaWeightEntry(*text, u.maWeights[static_cast<size_t>(s.current - 1)]);
    HWND list = GetDlgItem(dialog, IDC_MA_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : MaWeightLines(u.maWeights))
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(line).c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(s.current - 1), 0);
}

// Applies the order box's text. Returns false when it was refused (the box then shows the order
// again, selected, with the focus).
bool SetMaOrder(HWND dialog, MaDialog& s)
{
    UnivariateProject& u = *s.project;
    EnableDialogControls(dialog, {IDC_MA_LABEL, IDC_MA_WEIGHT, IDC_MA_LIST}, true);
    int32_t order = u.maOrder;
    std::string message;
    const bool accepted = ReadMaOrderEntry(Utf8Text(DialogItemText(dialog, IDC_MA_ORDER)), order, message);
    if (accepted) ChangeMaOrder(u, order);
    else if (!message.empty()) ShowDialogMessage(dialog, message, kMaErrorCaption);
    s.texts.Show(dialog, IDC_MA_ORDER, IntText(u.maOrder));
    if (!accepted) FocusSelected(dialog, IDC_MA_ORDER);
    SelectMaWeight(dialog, s);
    StoreMaWeight(dialog, s);
    // theta(0) alone is not edited: Apply scales it to 1.
    if (u.maOrder == 0) EnableDialogControls(dialog, {IDC_MA_LABEL, IDC_MA_WEIGHT, IDC_MA_LIST}, false);
    return accepted;
}

// An order typed since the dialog last showed one is applied; true when there is none or it
// was accepted.
bool CommitMaOrder(HWND dialog, MaDialog& s)
{
    if (s.texts.Edited(dialog, IDC_MA_ORDER)) return SetMaOrder(dialog, s);
    return true;
}

bool ApplyMa(HWND dialog, MaDialog& s)
{
    if (!CommitMaOrder(dialog, s) || RefuseMaWeight(dialog, s)) return false;
    StoreMaWeight(dialog, s);
    const std::string message = ApplyMaWeights(*s.project, *s.run);
    if (!message.empty()) {
        ShowDialogMessage(dialog, message, kMaErrorCaption);
        FocusSelected(dialog, IDC_MA_WEIGHT);
        return false;
    }
    DrawSmoothing(*s.project, SMOOTH_MOVING_AVERAGE);
    SelectMaWeight(dialog, s);
    StoreMaWeight(dialog, s);
    return true;
}

// Enter and OK act by where the focus is: the order box moves on to the weights, the weight box
// steps through theta(0)..theta(q) in a ring, and only the OK button ends the dialog, after an
// Apply that was accepted.
void MaOk(HWND dialog, MaDialog& s)
{
    HWND focus = GetFocus();
    const auto at = [&](int id) { return focus == GetDlgItem(dialog, id); };
    if (at(IDOK)) {
        if (ApplyMa(dialog, s)) s.texts.End(dialog, 1);
    } else if (at(IDC_MA_ORDER)) {
        if (CommitMaOrder(dialog, s)) FocusSelected(dialog, IDC_MA_WEIGHT);
    } else if (at(IDC_MA_WEIGHT)) {
        if (RefuseMaWeight(dialog, s)) return;
        StoreMaWeight(dialog, s);
        s.current = NextMaWeight(s.current, s.project->maOrder);
        SelectMaWeight(dialog, s);
        StoreMaWeight(dialog, s);
        SendDlgItemMessageW(dialog, IDC_MA_WEIGHT, EM_SETSEL, 0, -1);
    } else if (at(IDCANCEL)) {
        s.texts.End(dialog, 0);
    } else {
        FocusSelected(dialog, IDC_MA_WEIGHT);
        StoreMaWeight(dialog, s);
    }
}

void MaStart(HWND dialog, const MaSmoothRequest& request)
{
    auto* s = new MaDialog;
    s->project = request.project;
    s->run = request.run;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    s->texts.Write(dialog, IDC_MA_ORDER, IntText(s->project->maOrder));
    (void)SetMaOrder(dialog, *s);
}

void MaCommand(HWND dialog, MaDialog& s, int id, int code)
{
    switch (id) {
    case IDC_MA_ORDER:
        // The order is taken as a whole when the box is left: typing "12" over "10" passes
        // through "1", which would drop theta(2)..theta(10).
        if (code == EN_KILLFOCUS && !s.texts.ending && GetFocus() != GetDlgItem(dialog, IDCANCEL))
            (void)CommitMaOrder(dialog, s);
        if (code == EN_SETFOCUS) SendDlgItemMessageW(dialog, IDC_MA_ORDER, EM_SETSEL, 0, -1);
        break;
    case IDC_MA_WEIGHT:
        if (code == EN_CHANGE && !s.texts.writing) StoreMaWeight(dialog, s);
        // Leaving the box with a text that is no number says why; moving to Cancel keeps nothing.
        if (code == EN_KILLFOCUS && !s.texts.ending && GetFocus() != GetDlgItem(dialog, IDCANCEL))
            (void)RefuseMaWeight(dialog, s);
        break;
    case IDC_MA_LIST: {
        if (code != LBN_SELCHANGE) break;
        const LRESULT selected = SendDlgItemMessageW(dialog, IDC_MA_LIST, LB_GETCURSEL, 0, 0);
        if (selected == LB_ERR) break;
        s.current = static_cast<int32_t>(selected) + 1;
        SelectMaWeight(dialog, s);
        StoreMaWeight(dialog, s);
        FocusSelected(dialog, IDC_MA_WEIGHT);
        break;
    }
    case IDC_MA_APPLY:
        if (code == BN_CLICKED) (void)ApplyMa(dialog, s);
        break;
    case IDOK:
        MaOk(dialog, s);
        break;
    case IDCANCEL:
        s.texts.End(dialog, 0);
        break;
    default:
        break;
    }
}

INT_PTR MaMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* request = reinterpret_cast<const MaSmoothRequest*>(lParam);
        if (!request || !request->project || !request->run) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        MaStart(dialog, *request);
        return TRUE;
    }
    MaDialog* s = DialogStateOf<MaDialog>(dialog);
    if (!s) return FALSE;
    switch (message) {
    case WM_COMMAND:
        MaCommand(dialog, *s, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        s->texts.End(dialog, 0);
        return TRUE;
    case WM_NCDESTROY:
        return ReleaseDialogState(dialog, s);
    default:
        return FALSE;
    }
}

// ---- The commands

struct DialogOf {
    int resource;
    DLGPROC procedure;
};

int32_t RunSmoothing(UnivariateProject& u, SmoothingKind kind, const DialogOf& dialog)
{
    SmoothingRun run;
    if (!BeginSmoothing(u, kind, run)) return 0;
    PlotRecord& view = u.views[SmoothingView(kind)];
    const bool existed = view.window && IsWindow(Handle(view.window));
    if (!existed && !OpenSmoothingView(u, kind)) {
        EndSmoothing(u, run, 0, true);
        return 0;
    }
    DrawSmoothing(u, kind);
    SetCurveStyle(view, 1, 2, 0, -1);
    SetCurveStyle(view, 2, -1, 0, 0);

    MaSmoothRequest request{&u, &run};
    const LPARAM parameter =
        kind == SMOOTH_MOVING_AVERAGE ? reinterpret_cast<LPARAM>(&request) : reinterpret_cast<LPARAM>(&u);
    // Owned by the top-level window that has the keyboard focus.
    HWND owner = GetFocus() ? GetAncestor(GetFocus(), GA_ROOT) : nullptr;
    if (!owner) owner = FrameWindow;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    if (!instance) instance = GetModuleHandleW(nullptr);
    const INT_PTR result =
        DialogBoxParamW(instance, MAKEINTRESOURCEW(dialog.resource), owner, dialog.procedure, parameter);
    const int32_t accepted = result == 1 ? 1 : 0;
    if (!accepted && !existed) DestroyPlotWindow(view);
    EndSmoothing(u, run, accepted, existed);
    if (!accepted && existed) DrawSmoothing(u, kind);
    InfoOfKind(u, kind);
    return 1;
}

// No exception may leave a dialog procedure through the system's code; every step commits only
// a whole result, so running out of memory leaves the project as it was.
template <INT_PTR (*Handler)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK Guarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return Handler(dialog, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        ShowDialogMessage(dialog, kSmoothingMemoryMessage, kVeskErrorCaption);
        return TRUE;
    }
}

}  // namespace

INT_PTR CALLBACK ExpSmoothDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded<ExpMessage>(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK FftSmoothDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded<FftMessage>(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK MaSmoothDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded<MaMessage>(dialog, message, wParam, lParam);
}

int32_t ExpSmooth(UnivariateProject& project)
{
    return RunSmoothing(project, SMOOTH_EXPONENTIAL, {IDD_EXP_SMOOTH, ExpSmoothDlgProc});
}

int32_t FftSmooth(UnivariateProject& project)
{
    return RunSmoothing(project, SMOOTH_FFT, {IDD_FFT_SMOOTH, FftSmoothDlgProc});
}

int32_t MaSmooth(UnivariateProject& project)
{
    return RunSmoothing(project, SMOOTH_MOVING_AVERAGE, {IDD_MA_SMOOTH, MaSmoothDlgProc});
}
