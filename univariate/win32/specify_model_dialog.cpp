#include "univariate/win32/specify_model_dialog.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/win32/frame.h"
#include "univariate/refresh.h"
#include "univariate/specify_model.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/dialog_controls.h"

namespace {

// The controls of one side of the model.
struct Side {
    bool ar;
    int order, label, value, list;
};
constexpr Side kAr{true, IDC_SPECIFY_AR_ORDER, IDC_SPECIFY_AR_LABEL, IDC_SPECIFY_AR_VALUE, IDC_SPECIFY_AR_LIST};
constexpr Side kMa{false, IDC_SPECIFY_MA_ORDER, IDC_SPECIFY_MA_LABEL, IDC_SPECIFY_MA_VALUE, IDC_SPECIFY_MA_LIST};

// The edits whose values are kept exactly until the user changes their text.
enum KeptEdit { KEPT_AR, KEPT_MA, KEPT_D, KEPT_VARIANCE, KEPT_COUNT };

struct SpecifyDialog {
    UnivariateProject* project = nullptr;
    SpecifyModelWork work;
    // The text the dialog last put into each kept edit, until the user changes it: a value shown
    // rounded is read back only when edited.
    std::optional<std::wstring> untouched[KEPT_COUNT];
    int writing = 0;      // > 0 while the dialog writes into its own controls
    bool ending = false;  // the dialog is ending: leaving an edit checks nothing
};

SpecifyDialog* StateOf(HWND dialog) { return reinterpret_cast<SpecifyDialog*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

int32_t& Order(SpecifyDialog& s, const Side& side) { return side.ar ? s.work.p : s.work.q; }
int32_t& Row(SpecifyDialog& s, const Side& side) { return side.ar ? s.work.arRow : s.work.maRow; }
double* Coefficients(SpecifyDialog& s, const Side& side) { return side.ar ? s.work.phi : s.work.theta; }
KeptEdit KeptOf(const Side& side) { return side.ar ? KEPT_AR : KEPT_MA; }

void SetText(SpecifyDialog& s, HWND dialog, int id, const std::string& text)
{
    ++s.writing;
    SetDlgItemTextW(dialog, id, WideText(text).c_str());
    --s.writing;
}

void SetKept(SpecifyDialog& s, HWND dialog, int id, KeptEdit kept, const std::string& text)
{
    SetText(s, dialog, id, text);
    s.untouched[kept] = DialogItemText(dialog, id);
}

// The text of a kept edit when the user changed it; nothing while it shows what the dialog put.
std::optional<std::string> Edited(SpecifyDialog& s, HWND dialog, int id, KeptEdit kept)
{
    const std::wstring text = DialogItemText(dialog, id);
    if (s.untouched[kept] && *s.untouched[kept] == text) return std::nullopt;
    s.untouched[kept].reset();
    return Utf8Text(text);
}

void Enable(HWND dialog, int id, bool enabled) { EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE); }

void Message(HWND dialog, const std::string& text, const wchar_t* caption)
{
    MessageBoxW(dialog, WideText(text).c_str(), caption, MB_OK);
}

void ShowCoefficient(SpecifyDialog& s, HWND dialog, const Side& side)
{
    int32_t& row = Row(s, side);
    if (row < 1 || row > Order(s, side)) row = 1;
    SetText(s, dialog, side.label, CoefficientLabel(side.ar, row));
    SetKept(s, dialog, side.value, KeptOf(side), CoefficientText(Coefficients(s, side)[row]));
}

void ReadCoefficient(SpecifyDialog& s, HWND dialog, const Side& side)
{
    if (const std::optional<std::string> text = Edited(s, dialog, side.value, KeptOf(side)))
        ReadCoefficientEntry(*text, Coefficients(s, side)[Row(s, side)]);
    HWND list = GetDlgItem(dialog, side.list);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : CoefficientList(side.ar, Coefficients(s, side), Order(s, side)))
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(line).c_str()));
}

// Says why the text of the coefficient edit is refused, and gives the edit the focus again; true
// when it was refused. Commands that the message box causes (the edit losing the focus) are not
// handled meanwhile.
bool RefuseCoefficient(SpecifyDialog& s, HWND dialog, const Side& side)
{
    // A coefficient only shown is the dialog's own text: only what the user typed is checked.
    const std::optional<std::string> text = Edited(s, dialog, side.value, KeptOf(side));
    const std::string why = text ? CoefficientRefusal(side.ar, Row(s, side), *text) : "";
    if (why.empty()) return false;
    ++s.writing;
    Message(dialog, why, L"KELO Error");
    --s.writing;
    FocusSelected(dialog, side.value);
    return true;
}

void SetOrder(SpecifyDialog& s, HWND dialog, const Side& side)
{
    for (int id : {side.label, side.value, side.list}) Enable(dialog, id, true);
    std::string message;
    if (!ReadOrderEntry(Utf8Text(DialogItemText(dialog, side.order)), side.ar, Order(s, side), message)) {
        if (!message.empty()) Message(dialog, message, L"KELO::ERROR");
        SetText(s, dialog, side.order, std::to_string(Order(s, side)));
        FocusSelected(dialog, side.order);
    }
    if (Order(s, side) > 0) {
        ShowCoefficient(s, dialog, side);
        ReadCoefficient(s, dialog, side);
    } else {
        for (int id : {side.label, side.value, side.list}) Enable(dialog, id, false);
        SendDlgItemMessageW(dialog, side.list, LB_RESETCONTENT, 0, 0);
    }
}

void OnStart(HWND dialog, UnivariateProject& project)
{
    auto* s = new SpecifyDialog;
    s->project = &project;
    s->work = StartSpecifyModel(project);
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    const bool fractional = s->work.fracIntegrated != 0;
    CheckDlgButton(dialog, IDC_SPECIFY_FRACTIONAL, fractional ? BST_CHECKED : BST_UNCHECKED);
    Enable(dialog, IDC_SPECIFY_D, fractional);
    Enable(dialog, IDC_SPECIFY_M, fractional);
    if (fractional) {
        SetKept(*s, dialog, IDC_SPECIFY_D, KEPT_D, DText(s->work.d));
        SetText(*s, dialog, IDC_SPECIFY_M, std::to_string(s->work.M));
    }
    SetText(*s, dialog, IDC_SPECIFY_AR_ORDER, std::to_string(s->work.p));
    SetText(*s, dialog, IDC_SPECIFY_MA_ORDER, std::to_string(s->work.q));
    SetOrder(*s, dialog, kAr);
    SetOrder(*s, dialog, kMa);
    SetKept(*s, dialog, IDC_SPECIFY_VARIANCE, KEPT_VARIANCE, VarianceText(s->work.wnVariance));
}

void OnFractional(SpecifyDialog& s, HWND dialog)
{
    const bool checked = IsDlgButtonChecked(dialog, IDC_SPECIFY_FRACTIONAL) == BST_CHECKED;
    s.work.fracIntegrated = checked ? 1 : 0;
    if (!checked) s.work.d = 0.0;
    SetKept(s, dialog, IDC_SPECIFY_D, KEPT_D, DText(s.work.d));
    Enable(dialog, IDC_SPECIFY_D, checked);
    Enable(dialog, IDC_SPECIFY_M, checked);
    if (checked) {
        SetText(s, dialog, IDC_SPECIFY_M, std::to_string(s.work.M));
        FocusSelected(dialog, IDC_SPECIFY_D);
    }
}

void OnTestRoots(SpecifyDialog& s, HWND dialog)
{
    const ModelRoots roots = TestWorkingModel(s.work);
    SetText(s, dialog, IDC_SPECIFY_INVERTIBLE, roots.invertible ? "Invertible" : "Non - Invertible");
    SetText(s, dialog, IDC_SPECIFY_CAUSAL, roots.causal ? "Causal" : "Non - Causal");
}

// An entry of the d, variance or M box, checked as the box loses the focus; a refused entry
// keeps the focus. Moving to Cancel checks nothing: Cancel keeps nothing.
void OnLeaveEntry(SpecifyDialog& s, HWND dialog, int id)
{
    if (s.ending || GetFocus() == GetDlgItem(dialog, IDCANCEL)) return;
    std::string message;
    if (id == IDC_SPECIFY_M) {
        message = ReadMEntry(Utf8Text(DialogItemText(dialog, id)), s.work.M);
    } else {
        const KeptEdit kept = id == IDC_SPECIFY_D ? KEPT_D : KEPT_VARIANCE;
        if (const std::optional<std::string> text = Edited(s, dialog, id, kept))
            message = id == IDC_SPECIFY_D ? ReadDEntry(*text, s.work.d) : ReadVarianceEntry(*text, s.work.wnVariance);
    }
    if (message.empty()) return;
    Message(dialog, message, L"KELO Error");
    FocusSelected(dialog, id);
}

void End(SpecifyDialog& s, HWND dialog, int result)
{
    s.ending = true;
    EndDialog(dialog, result);
}

void NextRow(SpecifyDialog& s, HWND dialog, const Side& side)
{
    int32_t& row = Row(s, side);
    row = row >= Order(s, side) ? 1 : row + 1;
    ShowCoefficient(s, dialog, side);
    ReadCoefficient(s, dialog, side);
    SendDlgItemMessageW(dialog, side.value, EM_SETSEL, 0, -1);
}

// OK and Enter act by where the focus is; only the OK button itself commits.
void OnOk(SpecifyDialog& s, HWND dialog)
{
    HWND focus = GetFocus();
    const auto at = [&](int id) { return focus == GetDlgItem(dialog, id); };
    if (at(IDC_SPECIFY_AR_ORDER)) return FocusSelected(dialog, IDC_SPECIFY_AR_VALUE);
    if (at(IDC_SPECIFY_MA_ORDER)) return FocusSelected(dialog, IDC_SPECIFY_MA_VALUE);
    for (const Side* side : {&kAr, &kMa}) {
        if (!at(side->value)) continue;
        if (!RefuseCoefficient(s, dialog, *side)) NextRow(s, dialog, *side);
        return;
    }
    if (at(IDCANCEL)) return End(s, dialog, 0);
    if (!at(IDOK)) {
        FocusSelected(dialog, IDC_SPECIFY_MA_VALUE);
        ReadCoefficient(s, dialog, kMa);
        return;
    }
    switch (CommitSpecifyModel(s.work, *s.project)) {
    case SPECIFY_NOT_INVERTIBLE:
        Message(dialog, "Model is not invertible", L"KELO Error");
        FocusSelected(dialog, IDC_SPECIFY_MA_VALUE);
        return;
    case SPECIFY_NOT_CAUSAL:
        Message(dialog, "Model is not causal", L"KELO Error");
        FocusSelected(dialog, IDC_SPECIFY_AR_VALUE);
        return;
    case SPECIFY_STORED:
        VeskRefresh(*s.project, 0, 1);
        return End(s, dialog, 1);
    }
}

void OnCommand(SpecifyDialog& s, HWND dialog, int id, int code)
{
    if (s.writing) return;
    switch (id) {
    case IDC_SPECIFY_AR_ORDER:
    case IDC_SPECIFY_MA_ORDER: {
        const Side& side = id == IDC_SPECIFY_AR_ORDER ? kAr : kMa;
        if (code == EN_CHANGE) SetOrder(s, dialog, side);
        if (code == EN_SETFOCUS) SendDlgItemMessageW(dialog, id, EM_SETSEL, 0, -1);
        break;
    }
    case IDC_SPECIFY_AR_VALUE:
    case IDC_SPECIFY_MA_VALUE:
        if (code == EN_CHANGE) ReadCoefficient(s, dialog, id == IDC_SPECIFY_AR_VALUE ? kAr : kMa);
        // Leaving the edit with a text that is no number says why; moving to Cancel keeps nothing.
        if (code == EN_KILLFOCUS && !s.ending && GetFocus() != GetDlgItem(dialog, IDCANCEL))
            RefuseCoefficient(s, dialog, id == IDC_SPECIFY_AR_VALUE ? kAr : kMa);
        break;
    case IDC_SPECIFY_AR_LIST:
    case IDC_SPECIFY_MA_LIST: {
        if (code != LBN_SELCHANGE) break;
        const Side& side = id == IDC_SPECIFY_AR_LIST ? kAr : kMa;
        const LRESULT selected = SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0);
        if (selected == LB_ERR) break;
        Row(s, side) = static_cast<int32_t>(selected) + 1;
        ShowCoefficient(s, dialog, side);
        ReadCoefficient(s, dialog, side);
        FocusSelected(dialog, side.value);
        break;
    }
    case IDC_SPECIFY_D:
    case IDC_SPECIFY_VARIANCE:
    case IDC_SPECIFY_M:
        if (code == EN_KILLFOCUS) OnLeaveEntry(s, dialog, id);
        break;
    case IDC_SPECIFY_FRACTIONAL:
        if (code == BN_CLICKED) OnFractional(s, dialog);
        break;
    case IDC_SPECIFY_ROOTS:
        if (code == BN_CLICKED) OnTestRoots(s, dialog);
        break;
    case IDOK:
        OnOk(s, dialog);
        break;
    case IDCANCEL:
        End(s, dialog, 0);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK SpecifyModelDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!lParam) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        OnStart(dialog, *reinterpret_cast<UnivariateProject*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (SpecifyDialog* s = StateOf(dialog)) OnCommand(*s, dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NCDESTROY:
        delete StateOf(dialog);
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

int32_t SpecifyModel(UnivariateProject& project)
{
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SPECIFY_MODEL), FrameWindow,
                                           SpecifyModelDlgProc, reinterpret_cast<LPARAM>(&project));
    return result == 1 ? 1 : 0;
}
