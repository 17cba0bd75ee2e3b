#include "univariate/win32/estimation_commands.h"

#include <windows.h>

#include <string>

#include "platform/dialog_values.h"
#include "platform/win32/dialog_layer.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/number_format.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "univariate/constraints.h"
#include "univariate/max_likelihood.h"
#include "univariate/preliminary_estimation.h"
#include "univariate/refresh.h"
#include "univariate/specify_model.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/transform_commands.h"
#include "univariate/win32/univariate_reports.h"
#include "univariate/win32/univariate_windows.h"

namespace {

void Say(HWND owner, const std::string& text, const char* caption)
{
    MessageBoxW(owner ? owner : MessageBoxOwner(), WideText(text).c_str(), WideText(caption).c_str(), MB_OK);
}

void FocusAndSelect(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    SetFocus(control);
    SendMessageW(control, EM_SETSEL, 0, -1);
}

std::string Text(const DialogRecord& d, int id)
{
    std::string text;
    DialogGetText(d, id, text);
    return text;
}

bool Checked(const DialogRecord& d, int id)
{
    int value = 0;
    DialogGetLogical(d, id, value);
    return value != 0;
}

void Enable(DialogRecord& d, int id, bool on) { DialogSetLogical(d, id, on ? 1 : 0, DIALOG_SELECT_ENABLED); }
void Check(DialogRecord& d, int id, bool on) { DialogSetLogical(d, id, on ? 1 : 0); }

// Estimation works on a series without its mean: offer to subtract it, unless a regression
// trend (with its intercept) takes its place or the mean is already off.
void OfferSubtractMean(UnivariateProject& u)
{
    if (u.regressionPresent > 0) {
        if (u.intercept == 0) Say(nullptr, "No intercept included in regression function ", "ERROR");
        return;
    }
    for (const TransformNode* node = u.transforms; node; node = node->next)
        if (node->kind == 16) return;
    DialogRecord d;
    if (!DialogInit(d, IDD_SUBTRACT_MEAN_ASK)) return;
    const int answer = DialogRunModal(d);
    DialogRelease(d);
    if (answer == 1) VeskTransform(u, 16);
}

// ---- Preliminary estimation

// The series length the OK check of dialog 122 needs; set only while the dialog runs.
int32_t prelimLength = 0;

PrelimChoice ReadPrelimChoice(const DialogRecord& d)
{
    PrelimChoice c;
    c.pText = Text(d, IDC_PRELIM_P);
    c.qText = Text(d, IDC_PRELIM_Q);
    c.acvfText = Text(d, IDC_PRELIM_ACVF_COUNT);
    c.yuleWalker = Checked(d, IDC_PRELIM_YULE_WALKER);
    c.burg = Checked(d, IDC_PRELIM_BURG);
    c.minAicc = Checked(d, IDC_PRELIM_MIN_AICC);
    c.innovations = Checked(d, IDC_PRELIM_INNOVATIONS);
    c.hannanRissanen = Checked(d, IDC_PRELIM_HANNAN_RISSANEN);
    return c;
}

void PrelimDlgCallback(DialogRecord& d, int id, int)
{
    switch (id) {
    case IDC_PRELIM_P:
    case IDC_PRELIM_Q:
    case IDC_PRELIM_INNOVATIONS: {
        const bool innovations = Checked(d, IDC_PRELIM_INNOVATIONS);
        Enable(d, IDC_PRELIM_ACVF_COUNT, innovations);
        Enable(d, IDC_PRELIM_ACVF_LABEL, innovations);
        int32_t p = 0, q = 0;
        const auto readOrder = [&d](const char* name, int control, int32_t& order) {
            const std::string refusal = ReadPrelimOrder(name, Text(d, control), order);
            if (refusal.empty()) return true;
            Say(d.window, refusal, "ERROR");
            FocusAndSelect(d.window, control);
            return false;
        };
        if (!readOrder("p", IDC_PRELIM_P, p) || !readOrder("q", IDC_PRELIM_Q, q)) return;
        if (q == 0) {
            if (!Checked(d, IDC_PRELIM_BURG)) Check(d, IDC_PRELIM_YULE_WALKER, true);
        } else if (p == 0) {
            Check(d, IDC_PRELIM_MIN_AICC, false);
            Check(d, IDC_PRELIM_YULE_WALKER, false);
            Check(d, IDC_PRELIM_BURG, false);
            if (!Checked(d, IDC_PRELIM_HANNAN_RISSANEN)) {
                Check(d, IDC_PRELIM_INNOVATIONS, true);
                Enable(d, IDC_PRELIM_ACVF_LABEL, true);
                Enable(d, IDC_PRELIM_ACVF_COUNT, true);
                DialogSetText(d, IDC_PRELIM_ACVF_COUNT, "0");
            }
        }
        return;
    }
    case IDC_PRELIM_MIN_AICC:
        if (!Checked(d, IDC_PRELIM_MIN_AICC)) return;
        if (!Checked(d, IDC_PRELIM_BURG)) Check(d, IDC_PRELIM_YULE_WALKER, true);
        Check(d, IDC_PRELIM_HANNAN_RISSANEN, false);
        Check(d, IDC_PRELIM_INNOVATIONS, false);
        return;
    case IDC_PRELIM_HANNAN_RISSANEN:
        if (!Checked(d, IDC_PRELIM_HANNAN_RISSANEN)) return;
        Enable(d, IDC_PRELIM_ACVF_LABEL, false);
        Enable(d, IDC_PRELIM_ACVF_COUNT, false);
        return;
    case IDOK: {
        const PrelimRequest r = CheckPrelimChoice(ReadPrelimChoice(d), prelimLength);
        if (r.refusal.empty()) {
            DialogExit(d);
            return;
        }
        Say(d.window, r.refusal, "ERROR");
        if (r.focus) FocusAndSelect(d.window, r.focus);
        return;
    }
    default:
        return;
    }
}

// Dialog 122: false on Cancel; otherwise the accepted request.
bool PrelimDialog(const UnivariateProject& u, PrelimRequest& request)
{
    DialogRecord d;
    if (!DialogInit(d, IDD_PRELIMINARY)) return false;
    DialogSetText(d, IDC_PRELIM_P, IntText(u.p));
    DialogSetText(d, IDC_PRELIM_Q, IntText(u.q));
    DialogSetText(d, IDC_PRELIM_ACVF_COUNT, "0");
    for (int id : {IDC_PRELIM_YULE_WALKER, IDC_PRELIM_BURG, IDC_PRELIM_MIN_AICC, IDC_PRELIM_HANNAN_RISSANEN,
                   IDC_PRELIM_INNOVATIONS, IDC_PRELIM_ACVF_COUNT, IDC_PRELIM_ACVF_LABEL})
        Enable(d, id, true);
    Check(d, IDC_PRELIM_MIN_AICC, false);
    if (u.q == 0) {
        Check(d, IDC_PRELIM_YULE_WALKER, true);
    } else {
        Check(d, IDC_PRELIM_INNOVATIONS, true);
    }
    for (int id : {IDC_PRELIM_P, IDC_PRELIM_Q, IDC_PRELIM_MIN_AICC, IDC_PRELIM_INNOVATIONS,
                   IDC_PRELIM_HANNAN_RISSANEN, IDOK})
        DialogSetCallback(d, id, PrelimDlgCallback);
    prelimLength = u.n;
    const int result = DialogRunModal(d);
    prelimLength = 0;
    if (result == 1) request = CheckPrelimChoice(ReadPrelimChoice(d), u.n);
    DialogRelease(d);
    return result == 1 && request.refusal.empty();
}

// Set by the "Try another model/method" and "Return to MLE dialog" buttons.
bool askAgain = false;

void AskAgain(DialogRecord& d, int, int)
{
    askAgain = true;
    DialogExit(d);
}

// Dialogs 125 and 147: true when the user asks for the estimation dialog again.
bool ClosingDialog(int templateId, int textId, int againId, const char* text)
{
    DialogRecord d;
    if (!DialogInit(d, templateId)) return false;
    DialogSetText(d, textId, text);
    DialogSetCallback(d, againId, AskAgain);
    askAgain = false;
    (void)DialogRunModal(d);
    DialogRelease(d);
    const bool again = askAgain;
    askAgain = false;
    return again;
}

// ---- Maximum likelihood

void MaxLikelihoodCheck(DialogRecord& d, int, int)
{
    int32_t iterations = 0;
    double accuracy = 0.0;
    std::string message = ReadMleIterations(Text(d, IDC_MLE_ITERATIONS), iterations);
    if (message.empty()) message = ReadMleAccuracy(Text(d, IDC_MLE_ACCURACY), accuracy);
    if (!message.empty()) Say(d.window, message, "ERROR");
}

void ConstrainButton(DialogRecord& d, int, int)
{
    HWND owner = GetFocus() ? GetFocus() : d.window;
    if (!EstimatedProject) return;
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONSTRAIN), d.window ? d.window : owner,
                    ConstrainDlgProc, reinterpret_cast<LPARAM>(EstimatedProject));
}

void MaxLikelihoodOk(DialogRecord& d, int, int)
{
    MleChoice c;
    c.maximumLikelihood = Checked(d, IDC_MLE_MAXIMUM_LIKELIHOOD);
    c.noOptimisation = Checked(d, IDC_MLE_NO_OPTIMISATION);
    c.iterationsText = Text(d, IDC_MLE_ITERATIONS);
    c.accuracyText = Text(d, IDC_MLE_ACCURACY);
    const std::string refusal = AcceptMaxLikelihoodChoice(c, *EstimatedProject);
    if (refusal.empty()) {
        DialogExit(d);
        return;
    }
    Say(d.window, refusal, "ERROR");
    FocusAndSelect(d.window, refusal.find("iterations") != std::string::npos ? IDC_MLE_ITERATIONS : IDC_MLE_ACCURACY);
}

bool MaxLikelihoodDialog(UnivariateProject& u)
{
    DialogRecord d;
    if (!DialogInit(d, IDD_MAX_LIKELIHOOD)) return false;
    u.accuracy = DefaultAccuracy(u);
    Check(d, IDC_MLE_MAXIMUM_LIKELIHOOD, u.mleMethod == -1);
    Check(d, IDC_MLE_LEAST_SQUARES, u.mleMethod != -1);
    DialogSetText(d, IDC_MLE_ITERATIONS, IntText(u.maxIterations));
    Check(d, IDC_MLE_NO_OPTIMISATION, u.noOptimisation != 0);
    DialogSetText(d, IDC_MLE_ACCURACY, AccuracyText(u.accuracy));
    DialogSetCallback(d, IDC_MLE_ITERATIONS, MaxLikelihoodCheck);
    DialogSetCallback(d, IDC_MLE_CONSTRAIN, ConstrainButton);
    DialogSetCallback(d, IDOK, MaxLikelihoodOk);
    EstimatedProject = &u;
    const int result = DialogRunModal(d);
    EstimatedProject = nullptr;
    DialogRelease(d);
    return result == 1;
}

void FracMleOk(DialogRecord& d, int, int)
{
    const std::string refusal = AcceptFractionalChoice(Checked(d, IDC_MLE_NO_OPTIMISATION), Checked(d, IDC_FRAC_KEEP_D),
                                                       Text(d, IDC_MLE_ACCURACY), *EstimatedProject);
    if (refusal.empty()) {
        DialogExit(d);
        return;
    }
    Say(d.window, refusal, "ERROR");
}

bool FracMleDialog(UnivariateProject& u)
{
    DialogRecord d;
    if (!DialogInit(d, IDD_FRAC_MLE)) return false;
    if (u.fiStep <= 1e-12) u.fiStep = 0.1;
    Check(d, IDC_MLE_NO_OPTIMISATION, u.noOptimisation != 0);
    Check(d, IDC_FRAC_KEEP_D, u.optimiseD == 0);
    DialogSetText(d, IDC_MLE_ACCURACY, AccuracyText(u.fiStep));
    DialogSetCallback(d, IDOK, FracMleOk);
    EstimatedProject = &u;
    const int result = DialogRunModal(d);
    EstimatedProject = nullptr;
    DialogRelease(d);
    return result == 1;
}

void ShowMaxLikelihood(UnivariateProject& u)
{
    OpenProjectTextWindow(u, TEXT_MLE);
    VeskRefresh(u, 0, 1);
    InfoMaxLikelihood(u);
    VeskStatusBar(u);
    BringViewForward(reinterpret_cast<HWND>(u.textWindows[TEXT_MLE]));
}

void FractionalCommand(UnivariateProject& u)
{
    u.mleMethod = -1;
    if (!FracMleDialog(u)) return;
    std::string refusal;
    switch (FractionalMaxLikelihood(u, refusal)) {
    case FRACTIONAL_FIT_DONE: ShowMaxLikelihood(u); return;
    case FRACTIONAL_FIT_REFUSED: Say(nullptr, refusal, "ERROR"); return;
    default: return;
    }
}

// ---- Constrain Optimization dialog

struct ConstrainState {
    UnivariateFields* project = nullptr;
    ConstrainWork work;
    bool filling = false;  // the dialog itself is writing its controls
};

ConstrainState* State(HWND dialog) { return reinterpret_cast<ConstrainState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA)); }

void SetItemText(HWND dialog, ConstrainState& s, int id, const std::string& text)
{
    s.filling = true;
    SetDlgItemTextW(dialog, id, WideText(text).c_str());
    s.filling = false;
}

std::string ItemText(HWND dialog, int id)
{
    wchar_t buffer[64] = {};
    GetDlgItemTextW(dialog, id, buffer, 64);
    std::string text;
    for (const wchar_t* c = buffer; *c; ++c) text += static_cast<char>(*c < 128 ? *c : '?');
    return text;
}

void ShowLists(HWND dialog, const ConstrainState& s)
{
    const ConstrainWork& w = s.work;
    for (int part = 0; part < 2; ++part) {
        HWND list = GetDlgItem(dialog, part == 0 ? IDC_CONSTRAIN_AR_LIST : IDC_CONSTRAIN_MA_LIST);
        const int32_t order = part == 0 ? w.p : w.q;
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (int32_t i = 1; i <= order; ++i) {
            const double value = part == 0 ? w.phi[i] : w.theta[i];
            const std::string line = CoefficientLabel(part == 0, i) + CoefficientText(value);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(line).c_str()));
            const bool fixed = part == 0 ? w.fixedAr[i] : w.fixedMa[i];
            SendMessageW(list, LB_SETSEL, fixed ? TRUE : FALSE, i - 1);
        }
        EnableWindow(list, order > 0);
    }
}

void ReadSelections(HWND dialog, ConstrainState& s)
{
    for (int32_t i = 1; i <= s.work.p; ++i)
        s.work.fixedAr[i] = SendDlgItemMessageW(dialog, IDC_CONSTRAIN_AR_LIST, LB_GETSEL, i - 1, 0) > 0;
    for (int32_t j = 1; j <= s.work.q; ++j)
        s.work.fixedMa[j] = SendDlgItemMessageW(dialog, IDC_CONSTRAIN_MA_LIST, LB_GETSEL, j - 1, 0) > 0;
}

int32_t SelectedRelation(HWND dialog)
{
    const LRESULT index = SendDlgItemMessageW(dialog, IDC_CONSTRAIN_RELATION, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<int32_t>(index) + 1;
}

void ShowRelation(HWND dialog, ConstrainState& s)
{
    const int32_t r = SelectedRelation(dialog);
    if (r < 1 || r > kMaxRelations) return;
    const ConstrainRelation& row = s.work.rows[r];
    CheckRadioButton(dialog, IDC_CONSTRAIN_AR, IDC_CONSTRAIN_MA, row.ma ? IDC_CONSTRAIN_MA : IDC_CONSTRAIN_AR);
    SetItemText(dialog, s, IDC_CONSTRAIN_B, IntText(row.b));
    SetItemText(dialog, s, IDC_CONSTRAIN_D, IntText(row.d));
    SetItemText(dialog, s, IDC_CONSTRAIN_A, IntText(row.a));
}

void RelationCount(HWND dialog, ConstrainState& s)
{
    const std::string text = ItemText(dialog, IDC_CONSTRAIN_COUNT);
    int32_t count = 0;
    const std::string refusal = text.find_first_not_of(' ') != std::string::npos ? ReadRelationCount(text, count) : "";
    if (!refusal.empty()) {
        SetItemText(dialog, s, IDC_CONSTRAIN_COUNT, "0");
        Say(dialog, refusal, "KELO::Error");
        count = 0;
    }
    s.work.relationCount = count;
    for (int id : {IDC_CONSTRAIN_RELATION, IDC_CONSTRAIN_A, IDC_CONSTRAIN_B, IDC_CONSTRAIN_D, IDC_CONSTRAIN_AR,
                   IDC_CONSTRAIN_MA})
        EnableWindow(GetDlgItem(dialog, id), count > 0);
    HWND combo = GetDlgItem(dialog, IDC_CONSTRAIN_RELATION);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int32_t r = 1; r <= count; ++r)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(IntText(r)).c_str()));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void CheckRelationIndex(HWND dialog, ConstrainState& s, int id)
{
    const int32_t r = SelectedRelation(dialog);
    if (r < 1 || r > kMaxRelations) return;
    int32_t value = 0;
    const bool ma = IsDlgButtonChecked(dialog, IDC_CONSTRAIN_MA) == BST_CHECKED;
    const std::string message = ReadRelationIndex(s.work, ma, ItemText(dialog, id), value);
    if (!message.empty()) {
        Say(dialog, message, "KELO::Error");
        SetItemText(dialog, s, id, "0");
        FocusAndSelect(dialog, id);
        return;
    }
    ConstrainRelation& row = s.work.rows[r];
    (id == IDC_CONSTRAIN_A ? row.a : id == IDC_CONSTRAIN_B ? row.b : row.d) = value;
    row.ma = ma;
}

void ConstrainOk(HWND dialog, ConstrainState& s)
{
    ReadSelections(dialog, s);
    int32_t count = 0;
    // The count was checked as it was typed: a refused one stands as 0.
    if (!ReadRelationCount(ItemText(dialog, IDC_CONSTRAIN_COUNT), count).empty()) count = 0;
    const ConstrainOutcome out = CommitConstraints(s.work, count, *s.project);
    if (out.accepted) {
        EndDialog(dialog, 1);
        return;
    }
    Say(dialog, out.message, "KELO::ERROR");
    if (out.relation > 0) {
        SetFocus(GetDlgItem(dialog, IDC_CONSTRAIN_RELATION));
        SendDlgItemMessageW(dialog, IDC_CONSTRAIN_RELATION, CB_SETCURSEL, out.relation - 1, 0);
        ShowRelation(dialog, s);
    }
}

void ConstrainCommand(HWND dialog, ConstrainState& s, int id, int code)
{
    switch (id) {
    case IDC_CONSTRAIN_NONE:
    case IDC_CONSTRAIN_ALL_ZERO:
    case IDC_CONSTRAIN_ALL_NONZERO:
    case IDC_CONSTRAIN_SET_ZERO:
        if (code != BN_CLICKED) return;
        ReadSelections(dialog, s);
        if (id == IDC_CONSTRAIN_NONE) FixNone(s.work);
        if (id == IDC_CONSTRAIN_ALL_ZERO) FixZero(s.work);
        if (id == IDC_CONSTRAIN_ALL_NONZERO) FixNonZero(s.work);
        if (id == IDC_CONSTRAIN_SET_ZERO) SetFixedToZero(s.work);
        ShowLists(dialog, s);
        return;
    case IDC_CONSTRAIN_A:
    case IDC_CONSTRAIN_B:
    case IDC_CONSTRAIN_D:
        if (code == EN_CHANGE && !s.filling && GetFocus() == GetDlgItem(dialog, id)) CheckRelationIndex(dialog, s, id);
        return;
    case IDC_CONSTRAIN_COUNT:
        if (code != EN_CHANGE || s.filling) return;
        RelationCount(dialog, s);
        ShowRelation(dialog, s);
        return;
    case IDC_CONSTRAIN_RELATION:
        if (code == CBN_SELCHANGE) ShowRelation(dialog, s);
        return;
    case IDC_CONSTRAIN_AR:
    case IDC_CONSTRAIN_MA:
        if (code == BN_CLICKED) {
            const int32_t r = SelectedRelation(dialog);
            if (r >= 1 && r <= kMaxRelations) s.work.rows[r].ma = id == IDC_CONSTRAIN_MA;
        }
        return;
    case IDOK:
        ConstrainOk(dialog, s);
        return;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return;
    default:
        return;
    }
}

void ConstrainInit(HWND dialog, ConstrainState& s)
{
    s.work = LoadConstraints(*s.project);
    SetItemText(dialog, s, IDC_CONSTRAIN_AR_ORDER, "AR Order = " + IntText(s.work.p));
    SetItemText(dialog, s, IDC_CONSTRAIN_MA_ORDER, "MA Order = " + IntText(s.work.q));
    ShowLists(dialog, s);
    SetItemText(dialog, s, IDC_CONSTRAIN_COUNT, IntText(s.work.relationCount));
    RelationCount(dialog, s);
    ShowRelation(dialog, s);
}

// ---- Commands

void PreliminaryCommand(UnivariateProject& u) { VeskPreliminary(u); }
void MaxLikelihoodCommand(UnivariateProject& u) { VeskMaxLikelihood(u); }

}  // namespace

INT_PTR CALLBACK ConstrainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        if (!lParam) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        auto* s = new ConstrainState;
        s->project = reinterpret_cast<UnivariateFields*>(lParam);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
        ConstrainInit(dialog, *s);
        return TRUE;
    }
    case WM_COMMAND:
        if (ConstrainState* s = State(dialog)) ConstrainCommand(dialog, *s, LOWORD(wParam), HIWORD(wParam));
        else if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_NCDESTROY:
        delete State(dialog);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

int32_t VeskPreliminary(UnivariateProject& u)
{
    if (!u.hasData()) return 1;
    if (u.fracIntegrated) {
        Say(nullptr, "NA for fractionally integrated models.", "ERROR");
        return 1;
    }
    OfferSubtractMean(u);
    for (;;) {
        u.residualsValid = 0;
        PrelimRequest request;
        if (!PrelimDialog(u, request)) return 1;
        const int32_t p = u.p, q = u.q;
        u.p = request.p;
        u.q = request.q;
        u.likelihoodTolerance = 5e-5;
        int32_t m = request.m;
        const PrelimResult result = PrelimEstimate(u, m, request.method);
        if (result.outcome != PRELIM_DONE) {
            u.p = p;
            u.q = q;
            Say(nullptr, result.message, "ERROR");
            continue;
        }
        u.prelimMethod = request.method;
        u.prelimAcvfCount = request.method == PRELIM_INNOVATIONS ? m - 1 : -1;
        OpenProjectTextWindow(u, TEXT_PRELIMINARY);
        InfoPreliminary(u);
        VeskRefresh(u, 0, 1);
        BringViewForward(reinterpret_cast<HWND>(u.textWindows[TEXT_PRELIMINARY]));
        if (result.status != -1) return 1;
        if (!ClosingDialog(IDD_PRELIM_NONCAUSAL, IDC_PRELIM_NONCAUSAL_TEXT, IDC_PRELIM_TRY_AGAIN,
                           "Model noncausal--all coeffs have been set to .001"))
            return 1;
    }
}

int32_t VeskMaxLikelihood(UnivariateProject& u)
{
    if (!u.hasData()) return 1;
    if (u.fracIntegrated) {
        FractionalCommand(u);
        return 1;
    }
    OfferSubtractMean(u);
    u.residualsValid = 0;
    u.maxIterations = 50;
    u.mleMethod = -1;
    for (;;) {
        if (!MaxLikelihoodDialog(u)) return 1;
        const std::string refusal = MaxLikelihoodRefusal(u);
        if (!refusal.empty()) {
            Say(nullptr, refusal, refusal.rfind("No parameters", 0) == 0 ? "Error" : "ERROR");
            continue;
        }
        u.likelihoodTolerance = 5e-5;
        const int32_t status = MaxLikelihoodFit(u);
        ShowMaxLikelihood(u);
        if (status != -1 && u.stopReason != 4) return 1;
        const char* text = u.stopReason == 4 ? "Iteration limit exceeded."
                                             : "Model noncausal--all coeffs have been set to .001";
        const bool again = ClosingDialog(IDD_MLE_END, IDC_MLE_END_TEXT, IDC_MLE_RETURN, text);
        VeskStatusBar(u);
        if (!again) return 1;
    }
}

void RegisterEstimationCommands()
{
    RegisterUnivariateCommand(IDM_PRELIMINARY, PreliminaryCommand);
    RegisterUnivariateCommand(IDM_MAX_LIKELIHOOD, MaxLikelihoodCommand);
}
