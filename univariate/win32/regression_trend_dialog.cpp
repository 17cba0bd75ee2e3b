#include "univariate/win32/regression_trend_dialog.h"

#include <string>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/number_format.h"
#include "shell/win32/frame.h"
#include "univariate/regression_trend_entries.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/dialog_controls.h"

namespace {

// Per-dialog state, behind DWLP_USER from WM_INITDIALOG to WM_NCDESTROY.
struct TrendDialogState {
    UnivariateProject* project = nullptr;
    bool ending = false;  // no edit is read once the dialog is ending
};

HWND DataWindow(const UnivariateProject& u) { return reinterpret_cast<HWND>(u.dataView.window); }

void SetInt(HWND dialog, int id, int32_t value) { SetDlgItemTextW(dialog, id, WideText(IntText(value)).c_str()); }

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void EnableHarmonics(HWND dialog, bool enable)
{
    EnableDialogControls(dialog, {IDC_TREND_HARMONICS, IDC_TREND_INDEX_1, IDC_TREND_INDEX_2, IDC_TREND_INDEX_3,
                                  IDC_TREND_INDEX_4},
                         enable);
}

void ShowRefusal(HWND dialog, const std::string& text, int id)
{
    ShowDialogMessage(dialog, text, "KELO Error");
    FocusSelected(dialog, id);
}

// The record's field behind edit `id`.
int32_t* Field(UnivariateProject& u, int id)
{
    switch (id) {
    case IDC_TREND_ORDER: return &u.polynomialDegree;
    case IDC_TREND_HARMONICS: return &u.harmonicCount;
    case IDC_TREND_INDEX_1: return &u.fourierIndex[1];
    case IDC_TREND_INDEX_2: return &u.fourierIndex[2];
    case IDC_TREND_INDEX_3: return &u.fourierIndex[3];
    case IDC_TREND_INDEX_4: return &u.fourierIndex[4];
    default: return nullptr;
    }
}

// An edit was left: an accepted entry goes into the record, a refused one is reported and the
// focus goes back to it, the record keeping its last accepted value.
void ReadEdit(HWND dialog, TrendDialogState& state, int id)
{
    int32_t* field = Field(*state.project, id);
    if (!field || state.ending || !IsWindowEnabled(GetDlgItem(dialog, id))) return;
    int32_t value = 0;
    const std::string refusal = ReadRegressionTrendEntry(id, Utf8Text(DialogItemText(dialog, id)), state.project->n, value);
    if (refusal.empty()) *field = value;
    else ShowRefusal(dialog, refusal, id);
}

void InitDialog(HWND dialog, TrendDialogState& state)
{
    const UnivariateProject& u = *state.project;
    CheckDlgButton(dialog, IDC_TREND_INTERCEPT, u.intercept ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_TREND_POLYNOMIAL, BST_CHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_TREND_ORDER), TRUE);
    SetInt(dialog, IDC_TREND_ORDER, u.polynomialDegree);
    CheckDlgButton(dialog, IDC_TREND_HARMONIC, BST_UNCHECKED);
    SetInt(dialog, IDC_TREND_HARMONICS, 0);
    for (int k = 1; k <= 4; ++k) SetInt(dialog, FourierIndexControl(k), u.fourierIndex[k]);
    EnableHarmonics(dialog, false);
    CheckDlgButton(dialog, IDC_TREND_AUXILIARY, BST_UNCHECKED);
}

void End(HWND dialog, TrendDialogState& state, INT_PTR result)
{
    state.ending = true;
    EndDialog(dialog, result);
}

// OK ends only from the OK button itself (leaving an edit for it checks that edit first), and
// only when the record holds a trend the regression can use. Values of the record the user has
// not touched are checked too: harmonics not chosen in this dialog are dropped, any other fault
// is reported at its edit.
void OnOk(HWND dialog, TrendDialogState& state)
{
    HWND ok = GetDlgItem(dialog, IDOK);
    if (GetFocus() != ok) {
        SetFocus(ok);
        return;
    }
    UnivariateProject& u = *state.project;
    std::string message;
    for (int id; (id = RegressionTrendFault(u, message)) != 0;) {
        if (id != IDC_TREND_ORDER && !IsChecked(dialog, IDC_TREND_HARMONIC)) {
            u.harmonicCount = 0;
            continue;
        }
        if (id == IDC_TREND_ORDER && !IsChecked(dialog, IDC_TREND_POLYNOMIAL)) {
            u.polynomialDegree = 0;
            continue;
        }
        ShowRefusal(dialog, message, id);
        return;
    }
    End(dialog, state, 1);
}

void OnCancel(HWND dialog, TrendDialogState& state)
{
    UnivariateProject& u = *state.project;
    u.termCount = u.harmonicCount = u.polynomialDegree = u.auxPresent = 0;
    End(dialog, state, 0);
}

// The close box keeps every field, except what the regression could not use: harmonics with an
// index outside 1..n go as unchecking them does, a degree out of range as unchecking it does.
void OnClose(HWND dialog, TrendDialogState& state)
{
    UnivariateProject& u = *state.project;
    std::string message;
    for (int id; (id = RegressionTrendFault(u, message)) != 0;) {
        if (id == IDC_TREND_ORDER) u.polynomialDegree = 0;
        else u.harmonicCount = 0;
    }
    End(dialog, state, 2);
}

void OnCommand(HWND dialog, TrendDialogState& state, int id, int code)
{
    UnivariateProject& u = *state.project;
    if (code == EN_KILLFOCUS) {
        ReadEdit(dialog, state, id);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
    case IDC_TREND_INTERCEPT: u.intercept = IsChecked(dialog, id) ? 1 : 0; break;
    case IDC_TREND_AUXILIARY: u.auxPresent = IsChecked(dialog, id) ? 1 : 0; break;
    case IDC_TREND_POLYNOMIAL:
        if (IsChecked(dialog, id)) {
            EnableWindow(GetDlgItem(dialog, IDC_TREND_ORDER), TRUE);
            FocusSelected(dialog, IDC_TREND_ORDER);
        } else {
            u.polynomialDegree = 0;
            EnableWindow(GetDlgItem(dialog, IDC_TREND_ORDER), FALSE);
        }
        break;
    case IDC_TREND_HARMONIC:
        if (IsChecked(dialog, id)) {
            EnableHarmonics(dialog, true);
            FocusSelected(dialog, IDC_TREND_HARMONICS);
        } else {
            u.harmonicCount = 0;
            EnableHarmonics(dialog, false);
        }
        break;
    case IDOK: OnOk(dialog, state); break;
    case IDCANCEL: OnCancel(dialog, state); break;
    default: break;
    }
}

}  // namespace

INT_PTR CALLBACK RegressionTrendDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* state = new TrendDialogState;
        state->project = reinterpret_cast<UnivariateProject*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        InitDialog(dialog, *state);
        return TRUE;
    }
    auto* state = DialogStateOf<TrendDialogState>(dialog);
    if (!state) return FALSE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(dialog, *state, LOWORD(wParam), HIWORD(wParam));
        return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL ? TRUE : FALSE;
    case WM_CLOSE:
        OnClose(dialog, *state);
        return TRUE;
    case WM_DESTROY:
        if (HWND window = DataWindow(*state->project)) SetFocus(window);
        return FALSE;
    case WM_NCDESTROY:
        return ReleaseDialogState(dialog, state);
    default:
        return FALSE;
    }
}

int32_t RunRegressionTrendDialog(UnivariateProject& project)
{
    HWND owner = DataWindow(project);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_REGRESSION_TREND),
                                           owner ? owner : FrameWindow, RegressionTrendDlgProc,
                                           reinterpret_cast<LPARAM>(&project));
    return static_cast<int32_t>(result);
}
