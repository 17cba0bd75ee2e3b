#include "univariate/win32/transform_dialogs.h"

#include <commctrl.h>

#include <cmath>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "platform/dialog_values.h"
#include "platform/typed_entry.h"
#include "platform/win32/dialog_layer.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/number_format.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "univariate/refresh.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/dialog_controls.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

std::string Trimmed(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string ControlText(HWND dialog, int id)
{
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, id, text, 64);
    return Utf8Text(text);
}

void SetControlText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextW(dialog, id, WideText(text).c_str());
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// ---- Box-Cox

struct BoxCoxState {
    UnivariateProject* project = nullptr;
    HWND trackbar = nullptr;
    bool zeroAllowed = false;
    int32_t appliedPosition = -1;  // trackbar position of the preview on the stack; -1 none
    double appliedLambda = 1.0;    // its parameter
    bool writing = false;          // the dialog itself is writing the edit
    bool edited = false;           // the user changed the edit since the dialog last wrote it
};

// Replaces the dialog's preview by the transform with `lambda`; the views follow. Returns 1; 0
// after a message when the transform is refused (the earlier preview then stays).
int32_t Preview(HWND dialog, BoxCoxState& s, double lambda)
{
    UnivariateProject& project = *s.project;
    const bool had = s.appliedPosition != -1 && UndoBoxCox(project);
    const char* why = kTransformRangeMessage;
    const int32_t applied = ApplyBoxCox(project, lambda, &why);
    if (applied)
        s.appliedLambda = lambda;
    else if (had && !ApplyBoxCox(project, s.appliedLambda))
        s.appliedPosition = -1;
    VeskRefresh(project, 1, 0);
    if (!applied) ShowTransformMessage(dialog, why);
    return applied;
}

void Withdraw(BoxCoxState& s)
{
    if (s.appliedPosition != -1 && UndoBoxCox(*s.project)) VeskRefresh(*s.project, 1, 0);
    s.appliedPosition = -1;
}

void WriteParameter(HWND dialog, BoxCoxState& s, const std::string& text)
{
    s.writing = true;
    SetControlText(dialog, IDC_BOXCOX_PARAMETER, text);
    s.writing = false;
    s.edited = false;
}

// Returns whether the focus was set (the dialog then gives none itself).
bool BoxCoxStart(HWND dialog, UnivariateProject& project)
{
    auto* s = new BoxCoxState;
    s->project = &project;
    s->trackbar = GetDlgItem(dialog, IDC_BOXCOX_TRACKBAR);
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    const int32_t sign = BoxCoxSign(project.series);
    if (sign == BOXCOX_NEGATIVES) {
        ShowTransformMessage(nullptr, "Data must be nonnegative to implement Box-Cox");
        EndDialog(dialog, 0);
        return false;
    }
    s->zeroAllowed = sign == BOXCOX_POSITIVE;
    SendMessageW(s->trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(s->zeroAllowed ? 0 : 1, 15));
    SendMessageW(s->trackbar, TBM_SETPOS, TRUE, 10);
    WriteParameter(dialog, *s, "1.00");
    SetControlText(dialog, IDC_BOXCOX_LOW_LABEL, s->zeroAllowed ? "0.0" : "0.1");
    // Nothing is applied on opening: the keyboard starts on the trackbar, not in the edit.
    SetFocus(s->trackbar);
    return true;
}

// The edit lost the focus: a typed parameter in range replaces the preview. An entry the user did
// not change (the opening "1.00", or a value the trackbar wrote) applies nothing.
void BoxCoxTyped(HWND dialog, BoxCoxState& s)
{
    if (!s.edited) return;
    s.edited = false;
    double lambda = std::numeric_limits<double>::quiet_NaN();
    const std::string message = ReadBoxCoxEntry(s.zeroAllowed, ControlText(dialog, IDC_BOXCOX_PARAMETER), lambda);
    if (message.empty() && std::isnan(lambda)) return;  // a blank entry applies nothing
    if (!message.empty()) {
        ShowTransformMessage(dialog, message);
        KeepFocusIn(dialog);
        return;
    }
    if (Preview(dialog, s, lambda)) {
        s.appliedPosition = BoxCoxPosition(lambda);
        SendMessageW(s.trackbar, TBM_SETPOS, TRUE, s.appliedPosition);
    }
    KeepFocusIn(dialog);
}

void BoxCoxMoved(HWND dialog, BoxCoxState& s)
{
    const int32_t position = static_cast<int32_t>(SendMessageW(s.trackbar, TBM_GETPOS, 0, 0));
    const double lambda = 0.1 * position;
    WriteParameter(dialog, s, Trimmed(FormatFixed(lambda, 2)));
    if (position != s.appliedPosition) {
        if (!Preview(dialog, s, lambda)) return;
    }
    // Recorded before the focus moves: the edit's losing it must see this preview as applied.
    s.appliedPosition = position;
    SetFocus(s.trackbar);
}

// ---- Classical decomposition

struct ClassicalState {
    UnivariateProject* project = nullptr;
    const TransformNode* base = nullptr;  // the stack's top when the dialog opened
    ClassicalChoice applied;              // the entries of the dialog's transform on the stack (kind 0: none)
};

constexpr int kHarmonicControls[] = {IDC_CLASSICAL_HARMONICS_LABEL, IDC_CLASSICAL_HARMONICS,
                                     IDC_CLASSICAL_INDEX_1_LABEL,   IDC_CLASSICAL_INDEX_1,
                                     IDC_CLASSICAL_INDEX_2_LABEL,   IDC_CLASSICAL_INDEX_2,
                                     IDC_CLASSICAL_INDEX_3_LABEL,   IDC_CLASSICAL_INDEX_3,
                                     IDC_CLASSICAL_INDEX_4_LABEL,   IDC_CLASSICAL_INDEX_4};

void EnableSeasonal(HWND dialog, bool enabled)
{
    EnableDialogControls(dialog, {IDC_CLASSICAL_PERIOD_LABEL, IDC_CLASSICAL_PERIOD}, enabled);
}

void EnableHarmonic(HWND dialog, bool enabled)
{
    for (int id : kHarmonicControls) EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

// Withdraws the classical transform the dialog applied, if it is still the newest.
void WithdrawClassical(ClassicalState& s)
{
    UnivariateProject& project = *s.project;
    s.applied = ClassicalChoice{};
    if (project.transforms == s.base || !project.transforms) return;
    if (project.transforms->kind == TRANSFORM_CLASSICAL) (void)UndoClassicalSeasonal(project);
    else if (project.transforms->kind == TRANSFORM_HARMONIC) (void)UndoClassicalHarmonic(project);
}

// Applies the dialog's entries in place of its earlier transform; with showFit the fit view shows
// the result, or goes when the entries ask for no transform. Returns 1 when a transform was
// applied, 0 when the entries ask for none, -1 when they were refused (the focus is then on the
// entry to mend) or the transform could not be made: the earlier transform and its fit view then
// stay as they were.
int32_t ApplyClassical(HWND dialog, ClassicalState& s, bool showFit)
{
    UnivariateProject& project = *s.project;
    ClassicalEntries entries;
    entries.seasonal = Checked(dialog, IDC_CLASSICAL_SEASONAL);
    entries.harmonic = Checked(dialog, IDC_CLASSICAL_HARMONIC);
    entries.polynomial = Checked(dialog, IDC_CLASSICAL_POLYNOMIAL);
    entries.quadratic = Checked(dialog, IDC_CLASSICAL_QUADRATIC);
    entries.period = ControlText(dialog, IDC_CLASSICAL_PERIOD);
    entries.harmonics = ControlText(dialog, IDC_CLASSICAL_HARMONICS);
    const int indexIds[4] = {IDC_CLASSICAL_INDEX_1, IDC_CLASSICAL_INDEX_2, IDC_CLASSICAL_INDEX_3, IDC_CLASSICAL_INDEX_4};
    for (int i = 0; i < 4; ++i) entries.index[i] = ControlText(dialog, indexIds[i]);

    // A classical transform keeps the series' length, so the entries are checked against it
    // before the earlier transform is withdrawn.
    const ClassicalChoice choice = CheckClassicalEntries(entries, project.n);
    if (choice.kind < 0) {
        ShowTransformMessage(dialog, choice.message);
        SetFocus(GetDlgItem(dialog, choice.focusControl));
        return -1;
    }
    const ClassicalChoice earlier = s.applied;
    WithdrawClassical(s);
    const std::vector<double> data = project.series;
    const int32_t first = project.firstIndex, last = project.lastIndex;
    std::vector<double> fit;
    if (choice.kind > 0) {
        const char* why = kTransformRangeMessage;
        if (!ApplyClassicalChoice(project, choice, fit, &why)) {
            std::vector<double> unused;
            if (earlier.kind > 0 && ApplyClassicalChoice(project, earlier, unused)) s.applied = earlier;
            ShowTransformMessage(dialog, why);
            return -1;
        }
        s.applied = choice;
    }
    if (showFit) {
        if (choice.kind > 0)
            (void)ShowFitView(project, data, fit, first, last);
        else if (UnivariateWindows.destroyPlotWindow)
            UnivariateWindows.destroyPlotWindow(project.views[VIEW_FIT]);
    }
    return choice.kind > 0 ? 1 : 0;
}

void ClassicalStart(HWND dialog, UnivariateProject& project)
{
    auto* s = new ClassicalState;
    s->project = &project;
    s->base = project.transforms;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    CheckDlgButton(dialog, IDC_CLASSICAL_POLYNOMIAL, BST_CHECKED);
    CheckDlgButton(dialog, IDC_CLASSICAL_LINEAR, BST_CHECKED);
    CheckDlgButton(dialog, IDC_CLASSICAL_SEASONAL, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CLASSICAL_HARMONIC, BST_UNCHECKED);
    EnableSeasonal(dialog, false);
    EnableHarmonic(dialog, false);
}

// Seasonal Fit and Harmonic Regression exclude each other; each box enables its own entries.
void ChooseFit(HWND dialog, int box, void (*enable)(HWND, bool), int otherBox, void (*enableOther)(HWND, bool))
{
    const bool checked = Checked(dialog, box);
    if (checked) {
        CheckDlgButton(dialog, otherBox, BST_UNCHECKED);
        enableOther(dialog, false);
    }
    enable(dialog, checked);
}

void ClassicalCommand(HWND dialog, ClassicalState& s, int id)
{
    switch (id) {
    case IDC_CLASSICAL_SEASONAL:
        ChooseFit(dialog, IDC_CLASSICAL_SEASONAL, EnableSeasonal, IDC_CLASSICAL_HARMONIC, EnableHarmonic);
        break;
    case IDC_CLASSICAL_HARMONIC:
        ChooseFit(dialog, IDC_CLASSICAL_HARMONIC, EnableHarmonic, IDC_CLASSICAL_SEASONAL, EnableSeasonal);
        break;
    case IDC_CLASSICAL_POLYNOMIAL:
        EnableDialogControls(dialog, {IDC_CLASSICAL_LINEAR, IDC_CLASSICAL_QUADRATIC}, Checked(dialog, IDC_CLASSICAL_POLYNOMIAL));
        break;
    case IDC_CLASSICAL_SHOW_FIT:
        ApplyClassical(dialog, s, true);
        break;
    case IDOK: {
        const int32_t applied = ApplyClassical(dialog, s, false);
        // Enter in an edit applies and stays; the OK button itself closes. A refused entry keeps
        // the focus for its correction.
        if (GetFocus() == GetDlgItem(dialog, IDOK))
            EndDialog(dialog, 1);
        else if (applied >= 0)
            SetFocus(GetDlgItem(dialog, IDOK));
        break;
    }
    case IDCANCEL:
        WithdrawClassical(s);
        if (UnivariateWindows.destroyPlotWindow) UnivariateWindows.destroyPlotWindow(s.project->views[VIEW_FIT]);
        EndDialog(dialog, 0);
        break;
    case IDC_CLASSICAL_TILE:
        if (HWND fit = Handle(s.project->views[VIEW_FIT].window))
            SendMessageW(GetParent(fit), WM_MDITILE, MDITILE_HORIZONTAL, 0);
        break;
    default:
        break;
    }
}

std::string Int(int32_t value) { return Trimmed(FormatInt(value)); }

}  // namespace

const char* const kTransformMemoryMessage = "Not enough memory for the transform";

void ShowTransformMessage(HWND owner, const std::string& text)
{
    MessageBoxW(owner ? owner : MessageBoxOwner(), WideText(text).c_str(), WideText(kVeskErrorCaption).c_str(), MB_OK);
}

int32_t DifferenceDialog(UnivariateProject& project)
{
    for (;;) {
        std::vector<std::string> texts;
        if (DialogRunEntries(IDD_DIFFERENCE, {{IDC_DIFFERENCE_LAG, "1"}}, texts) != 1) return 0;
        int32_t h = 0;
        const std::string message = ReadDifferenceLag(project.n, texts[0], h);
        if (!message.empty()) {
            ShowTransformMessage(nullptr, message);
            continue;
        }
        const char* why = kTransformRangeMessage;
        if (ApplyDifference(project, h, &why)) return 1;
        ShowTransformMessage(nullptr, why);
        return 0;
    }
}

namespace {

INT_PTR BoxCoxMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return BoxCoxStart(dialog, *reinterpret_cast<UnivariateProject*>(lParam)) ? FALSE : TRUE;
    BoxCoxState* s = DialogStateOf<BoxCoxState>(dialog);
    if (!s) return FALSE;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BOXCOX_PARAMETER:
            if (HIWORD(wParam) == EN_CHANGE && !s->writing) s->edited = true;
            if (HIWORD(wParam) == EN_KILLFOCUS) BoxCoxTyped(dialog, *s);
            return TRUE;
        case IDOK:
            // Leaving the edit commits a typed parameter first; the next OK closes.
            if (GetFocus() == GetDlgItem(dialog, IDC_BOXCOX_PARAMETER)) {
                SetFocus(GetDlgItem(dialog, IDOK));
                return TRUE;
            }
            s->appliedPosition = -1;
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            Withdraw(*s);
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        Withdraw(*s);
        EndDialog(dialog, 0);
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == s->trackbar) BoxCoxMoved(dialog, *s);
        return TRUE;
    case WM_NCDESTROY:
        return ReleaseDialogState(dialog, s);
    default:
        return FALSE;
    }
}

INT_PTR ClassicalMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        ClassicalStart(dialog, *reinterpret_cast<UnivariateProject*>(lParam));
        return TRUE;
    }
    ClassicalState* s = DialogStateOf<ClassicalState>(dialog);
    if (!s) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        ClassicalCommand(dialog, *s, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        // The close box keeps what was applied and the fit view.
        EndDialog(dialog, 0);
        return TRUE;
    case WM_NCDESTROY:
        return ReleaseDialogState(dialog, s);
    default:
        return FALSE;
    }
}

}  // namespace

namespace {

// No exception may leave a dialog procedure through the system's code. Each apply and undo
// commits only a whole result, so running out of memory leaves the series as it was.
template <INT_PTR (*Handler)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR Guarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return Handler(dialog, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        ShowTransformMessage(dialog, kTransformMemoryMessage);
        return TRUE;
    }
}

}  // namespace

INT_PTR CALLBACK BoxCoxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded<BoxCoxMessage>(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK ClassicalDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded<ClassicalMessage>(dialog, message, wParam, lParam);
}

int32_t SubsequenceDialog(UnivariateProject& project)
{
    for (;;) {
        std::vector<std::string> texts;
        const int result = DialogRunEntries(
            IDD_SUBSEQUENCE,
            {{IDC_SUBSEQUENCE_MIN, Int(project.firstIndex)}, {IDC_SUBSEQUENCE_MAX, Int(project.lastIndex)}}, texts);
        if (result != 1) return 0;
        int32_t a = 0, b = 0;
        const std::string refusal = ReadIndexRange(texts[0], texts[1], a, b);
        if (refusal.empty() && ApplySubsequence(project, a, b)) return 1;
        ShowTransformMessage(nullptr, refusal.empty() ? SubsequenceMessage(project.firstIndex, project.lastIndex) : refusal);
    }
}

int32_t ShowFitView(UnivariateProject& project, const std::vector<double>& data, const std::vector<double>& fit,
                 int32_t first, int32_t last)
{
    const int32_t shown = ShowDataAndFitView(project, VIEW_FIT, L"Classical Decomposition: ", data, fit, first, last);
    // The fit just drawn comes to the front, even when its window was behind others.
    if (shown) BringViewForward(Handle(project.views[VIEW_FIT].window));
    return shown;
}

int32_t ShowDataAndFitView(UnivariateProject& project, int32_t which, const wchar_t* titlePrefix,
                           const std::vector<double>& data, const std::vector<double>& fit, int32_t first, int32_t last)
{
    PlotRecord& view = project.views[which];
    if (!view.window) {
        if (!CreatePlotWindow(view, 1)) return 0;
        view.slot = project.dataView.slot;
        wchar_t title[236] = {};
        if (project.dataView.window) GetWindowTextW(Handle(project.dataView.window), title, 236);
        std::wstring text = title;
        text.erase(text.find_last_not_of(L' ') + 1);
        SetWindowTextW(Handle(view.window), (titlePrefix + text).c_str());
        SetCurveStyle(view, 2, -1, -1, 0);
        SetCurveY(view, 1, data, first, last);
    }
    SetCurveY(view, 2, fit, first, last);
    ShowWindow(Handle(view.window), SW_SHOW);
    InvalidateRect(Handle(view.window), nullptr, TRUE);
    return 1;
}
