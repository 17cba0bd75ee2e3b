// Model > Estimation under Wine: Preliminary (dialogs 141, 122, 125), Max likelihood (dialogs
// 127, 129, 147, 170), driven through the frame's commands with the dialogs answered by control id.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

// R's lh: 48 luteinizing hormone levels.
const std::vector<double> kLh = {2.4, 2.4, 2.4, 2.2, 2.1, 1.5, 2.3, 2.3, 2.5, 2,   1.9, 1.7, 2.2, 1.8, 3.2, 3.2,
                                 2.7, 2.2, 2.2, 1.9, 1.9, 1.8, 2.7, 3,   2.3, 2,   2,   2.9, 2.9, 2.7, 2.7, 2.3,
                                 2.6, 2.4, 1.8, 1.7, 1.5, 1.4, 2.1, 3.3, 3.5, 3.5, 3.1, 2.6, 2.1, 3.4, 3,   2.9};

class EstimationCommandsTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ASSERT_EQ(NewProjectOfKind(1), 1);
        project_ = ProjectTable[1].univariate;
        ASSERT_NE(project_, nullptr);
        ASSERT_EQ(VeskImportData(*project_, kLh), 1);
        PumpMessages();
        TakeSeenDialogs();
    }

    std::vector<SeenDialog> Command(UINT id)
    {
        SendCommand(id);
        PumpMessages();
        return TakeSeenDialogs();
    }

    std::wstring Report(int which) const
    {
        HWND__* window = project_->textWindows[which];
        return window && IsWindow(Handle(window)) ? WindowText(ReportEditOf(Handle(window))) : L"";
    }

    // Answers "Subtract Mean?" with Yes the first time a command asks.
    void SubtractMean() { AnswerNextDialog(Press(IDOK)); }

    UnivariateProject* project_ = nullptr;
};

std::vector<std::wstring> Captions(const std::vector<SeenDialog>& seen)
{
    std::vector<std::wstring> captions;
    for (const SeenDialog& s : seen) captions.push_back(s.caption + (s.message.empty() ? L"" : L": " + s.message));
    return captions;
}

}  // namespace

// OK fits an AR(2) by Yule-Walker on the mean-corrected series and reports it; Subtract Mean is
// then not asked again; Cancel leaves the model.
TEST_F(EstimationCommandsTest, PreliminaryOkAndCancel)
{
    UnivariateProject& u = *project_;
    SubtractMean();
    AnswerNextDialog(Press(IDOK, {{IDC_PRELIM_P, L"2"}, {IDC_PRELIM_Q, L"0"}}));
    EXPECT_EQ(Captions(Command(IDM_PRELIMINARY)),
              (std::vector<std::wstring>{L"Subtract Mean?", L"Preliminary Estimation"}));
    ASSERT_NE(u.transforms, nullptr);
    EXPECT_EQ(u.transforms->kind, 16);
    EXPECT_EQ(u.p, 2);
    EXPECT_EQ(u.prelimMethod, 3);
    // ar.yw(lh - mean(lh), order.max = 2, demean = FALSE)
    EXPECT_NEAR(u.phi[1], 0.704102, 1e-5);
    EXPECT_NEAR(u.phi[2], -0.223410, 1e-5);
    EXPECT_NE(Report(TEXT_PRELIMINARY).find(L"Method: Yule-Walker"), std::wstring::npos);

    const double phi1 = u.phi[1];
    AnswerNextDialog(Press(IDCANCEL, {{IDC_PRELIM_P, L"5"}}));
    EXPECT_EQ(Captions(Command(IDM_PRELIMINARY)), (std::vector<std::wstring>{L"Preliminary Estimation"}));
    EXPECT_EQ(u.p, 2);
    EXPECT_EQ(u.phi[1], phi1);
}

// "No" keeps the mean; an order past 26 is refused with the dialog kept, which then accepts.
TEST_F(EstimationCommandsTest, PreliminaryRefusesAnOrderPast26)
{
    UnivariateProject& u = *project_;
    AnswerWith(IDCANCEL);
    AnswerNextDialog(Press(IDOK, {{IDC_PRELIM_P, L"27"}}));
    AnswerWith(IDOK);  // said when the order edit is left
    AnswerWith(IDOK);  // said again at OK
    AnswerNextDialog(Press(IDOK, {{IDC_PRELIM_P, L"1"}}));
    const std::vector<SeenDialog> seen = Command(IDM_PRELIMINARY);
    EXPECT_EQ(u.transforms, nullptr);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[2].caption, L"ERROR");
    EXPECT_EQ(seen[2].message, L" p must be between 0 and 26");
    EXPECT_EQ(seen[3].message, L" p must be between 0 and 26");
    EXPECT_NE(seen[3].owner, FrameWindow);  // the dialog owns it
    EXPECT_EQ(u.p, 1);
}

// A non-causal innovations estimate: dialog 125 says so; "Try another model/method" shows
// dialog 122 again, "Continue" ends with the coefficients at 0.001.
TEST_F(EstimationCommandsTest, PreliminaryNonCausalDialogBothAnswers)
{
    UnivariateProject& u = *project_;
    std::vector<double> z, x;
    for (int t = 1; t <= 62; ++t) z.push_back(std::sin(2.3 * t) + std::cos(5.1 * t * t));
    for (int t = 2; t < 62; ++t) x.push_back(z[t] + 0.95 * z[t - 2]);
    ASSERT_EQ(VeskImportData(u, x), 1);
    PumpMessages();
    TakeSeenDialogs();
    const DialogAnswer innovations =
        Press(IDOK, {{IDC_PRELIM_P, L"1"}, {IDC_PRELIM_Q, L"1"}}, {{IDC_PRELIM_INNOVATIONS, true}});
    bool said = false;
    DialogAnswer again = Press(IDC_PRELIM_TRY_AGAIN);
    again.inspect = [&said](HWND dialog) {
        said = ItemText(dialog, IDC_PRELIM_NONCAUSAL_TEXT) == L"Model noncausal--all coeffs have been set to .001";
    };
    AnswerWith(IDCANCEL);  // keep the mean
    AnswerNextDialog(innovations);
    AnswerNextDialog(again);
    AnswerNextDialog(innovations);
    AnswerNextDialog(Press(IDOK));  // Continue
    EXPECT_EQ(Captions(Command(IDM_PRELIMINARY)),
              (std::vector<std::wstring>{L"Subtract Mean?", L"Preliminary Estimation", L" Preliminary estimation",
                                         L"Preliminary Estimation", L" Preliminary estimation"}));
    EXPECT_TRUE(said);
    EXPECT_EQ(u.phi[1], 0.001);
    EXPECT_EQ(u.theta[1], 0.001);
}

// End to end: ML of an AR(1) on lh gives R's arima estimate, the report and "Iteration  k".
TEST_F(EstimationCommandsTest, MaxLikelihoodOnLh)
{
    UnivariateProject& u = *project_;
    u.p = 1;
    u.phi[1] = 0.001;
    u.numFree = 1;
    u.freeIndex[1] = 1;
    SubtractMean();
    bool defaults = false;
    DialogAnswer ok = Press(IDOK);
    ok.inspect = [&defaults](HWND dialog) {
        defaults = ItemText(dialog, IDC_MLE_ITERATIONS) == L"50" && ItemText(dialog, IDC_MLE_ACCURACY) == L"0.00002" &&
                   IsDlgButtonChecked(dialog, IDC_MLE_MAXIMUM_LIKELIHOOD) == BST_CHECKED;
    };
    AnswerNextDialog(ok);
    EXPECT_EQ(Captions(Command(IDM_MAX_LIKELIHOOD)),
              (std::vector<std::wstring>{L"Subtract Mean?", L"Maximum Likelihood Estimation"}));
    EXPECT_TRUE(defaults);
    EXPECT_NEAR(u.phi[1], 0.573741, 1e-3);  // arima(lh, c(1,0,0), method = "ML")
    const std::wstring report = Report(TEXT_MLE);
    EXPECT_NE(report.find(L"Method: Maximum Likelihood"), std::wstring::npos);
    EXPECT_NE(report.find(L"Number of iterations = " + std::to_wstring(u.iterationsDone)), std::wstring::npos);
    EXPECT_GE(u.iterationsDone, 1);
    EXPECT_EQ(StatusText(2), L"Iteration  " + std::to_wstring(u.iterationsDone));
}

// Cancel keeps the model; an accuracy above 1 is refused with the dialog kept; the iteration
// limit reached shows dialog 147, whose "Return to MLE dialog" shows dialog 127 again.
TEST_F(EstimationCommandsTest, MaxLikelihoodDialogAndIterationLimit)
{
    UnivariateProject& u = *project_;
    u.p = 2;
    u.phi[1] = 0.001;
    u.phi[2] = 0.001;
    u.numFree = 2;
    u.freeIndex[1] = 1;
    u.freeIndex[2] = 2;
    SubtractMean();
    AnswerWith(IDCANCEL);
    EXPECT_EQ(Captions(Command(IDM_MAX_LIKELIHOOD)).size(), 2u);
    EXPECT_EQ(u.phi[1], 0.001);

    AnswerNextDialog(Press(IDOK, {{IDC_MLE_ACCURACY, L"2"}}));
    AnswerWith(IDOK);
    AnswerNextDialog(Press(IDOK, {{IDC_MLE_ACCURACY, L"0.00001"}, {IDC_MLE_ITERATIONS, L"1"}}));
    bool limit = false;
    DialogAnswer back = Press(IDC_MLE_RETURN);
    back.inspect = [&limit](HWND dialog) { limit = ItemText(dialog, IDC_MLE_END_TEXT) == L"Iteration limit exceeded."; };
    AnswerNextDialog(back);
    bool reopened = false;
    DialogAnswer cancel = Press(IDCANCEL);
    cancel.inspect = [&reopened](HWND dialog) { reopened = ItemText(dialog, IDC_MLE_ITERATIONS) == L"1"; };
    AnswerNextDialog(cancel);
    const std::vector<SeenDialog> seen = Command(IDM_MAX_LIKELIHOOD);
    EXPECT_EQ(Captions(seen), (std::vector<std::wstring>{
                                  L"Maximum Likelihood Estimation",
                                  L"ERROR:  Choose accuracy parameter between 0 and 1.",
                                  L"Maximum Likelihood Estimation", L" Maximum likelihood estimation",
                                  L"Maximum Likelihood Estimation"}));
    EXPECT_TRUE(limit);
    EXPECT_TRUE(reopened);
    EXPECT_EQ(u.stopReason, 4);
    EXPECT_NE(u.phi[1], 0.001);

    // Continue ends the command.
    AnswerNextDialog(Press(IDOK, {{IDC_MLE_ITERATIONS, L"1"}}));
    AnswerNextDialog(Press(IDOK));
    EXPECT_EQ(Captions(Command(IDM_MAX_LIKELIHOOD)).size(), 2u);
}

// Dialog 129 from dialog 127's Constrain button: Cancel changes nothing; a relation count of 7 is
// refused and reset; OK with phi2 fixed leaves phi1 alone free; with everything fixed the
// command refuses to optimise.
TEST_F(EstimationCommandsTest, ConstrainOptimizationDialog)
{
    UnivariateProject& u = *project_;
    u.p = 2;
    u.phi[1] = 0.3;
    u.phi[2] = 0.2;
    u.numFree = 2;
    u.freeIndex[1] = 1;
    u.freeIndex[2] = 2;
    SubtractMean();
    AnswerNextDialog(Press(IDC_MLE_CONSTRAIN));
    bool shown = false;
    DialogAnswer cancel = Press(IDCANCEL);
    cancel.inspect = [&shown](HWND dialog) {
        shown = ItemText(dialog, IDC_CONSTRAIN_AR_ORDER) == L"AR Order = 2" &&
                SendDlgItemMessageW(dialog, IDC_CONSTRAIN_AR_LIST, LB_GETCOUNT, 0, 0) == 2 &&
                SendDlgItemMessageW(dialog, IDC_CONSTRAIN_AR_LIST, LB_GETSELCOUNT, 0, 0) == 0 &&
                !IsWindowEnabled(GetDlgItem(dialog, IDC_CONSTRAIN_MA_LIST));
    };
    AnswerNextDialog(cancel);
    AnswerNextDialog(Press(IDCANCEL));
    Command(IDM_MAX_LIKELIHOOD);
    EXPECT_TRUE(shown);
    EXPECT_EQ(u.numFree, 2);

    AnswerNextDialog(Press(IDC_MLE_CONSTRAIN));
    bool reset = false;
    DialogAnswer seven = Press(IDOK);
    seven.inspect = [&reset](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_CONSTRAIN_AR_LIST, LB_SETSEL, TRUE, 1);
        SetDlgItemTextW(dialog, IDC_CONSTRAIN_COUNT, L"7");  // said at once, and reset
        reset = ItemText(dialog, IDC_CONSTRAIN_COUNT) == L"0" && !IsWindowEnabled(GetDlgItem(dialog, IDC_CONSTRAIN_A));
    };
    AnswerNextDialog(seven);
    AnswerWith(IDOK);  // the count message
    AnswerNextDialog(Press(IDCANCEL));
    const std::vector<SeenDialog> seen = Command(IDM_MAX_LIKELIHOOD);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[2].caption, L"KELO::Error");
    EXPECT_EQ(seen[2].message, L"Number of multiplicative relations must be from 0 to 6");
    EXPECT_NE(seen[2].owner, FrameWindow);  // the dialog owns it
    EXPECT_TRUE(reset);
    EXPECT_EQ(u.numFree, 1);
    EXPECT_EQ(u.freeIndex[1], 1);

    AnswerNextDialog(Press(IDC_MLE_CONSTRAIN));
    DialogAnswer all = Press(IDOK);
    all.inspect = [](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONSTRAIN_ALL_NONZERO, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CONSTRAIN_ALL_NONZERO)));
    };
    AnswerNextDialog(all);
    AnswerNextDialog(Press(IDOK));
    AnswerWith(IDOK);  // "No parameters to optimize."
    AnswerNextDialog(Press(IDCANCEL));
    const std::vector<SeenDialog> none = Command(IDM_MAX_LIKELIHOOD);
    ASSERT_EQ(none.size(), 5u);
    EXPECT_EQ(none[3].caption, L"Error");
    EXPECT_EQ(none[3].message, L"No parameters to optimize.  Unconstrain parameters or respecify model.");
    EXPECT_EQ(u.numFree, 0);
}

// A fractionally integrated model: dialog 170 refuses a step of 0 and a search with nothing to
// optimise, and Cancel keeps the model.
TEST_F(EstimationCommandsTest, FractionalDialog)
{
    UnivariateProject& u = *project_;
    u.fracIntegrated = 1;
    u.d = 0.1;
    u.fiStep = 0.0;
    bool step = false;
    DialogAnswer zero = Press(IDOK, {{IDC_MLE_ACCURACY, L"0"}});
    zero.inspect = [&step](HWND dialog) { step = ItemText(dialog, IDC_MLE_ACCURACY) == L"0.10000"; };
    AnswerNextDialog(zero);
    AnswerWith(IDOK);
    AnswerNextDialog(Press(IDOK, {{IDC_MLE_ACCURACY, L"0.1"}}, {{IDC_FRAC_KEEP_D, true}}));
    AnswerWith(IDOK);
    AnswerNextDialog(Press(IDCANCEL));
    const std::vector<SeenDialog> seen = Command(IDM_MAX_LIKELIHOOD);
    EXPECT_EQ(Captions(seen), (std::vector<std::wstring>{
                                  L"ML Estimation (Fractionally Integrated ARMA)",
                                  L"ERROR:  Choose accuracy parameter between 0 and 1.",
                                  L"ML Estimation (Fractionally Integrated ARMA)", L"ERROR:  No parameters to optimize.",
                                  L"ML Estimation (Fractionally Integrated ARMA)"}));
    EXPECT_TRUE(step);
    EXPECT_EQ(u.d, 0.1);

    AnswerNextDialog(Press(IDOK));
    EXPECT_EQ(Captions(Command(IDM_MAX_LIKELIHOOD)).size(), 1u);
    EXPECT_NE(u.d, 0.1);
    EXPECT_LT(std::fabs(u.d), 0.5);
    EXPECT_NE(Report(TEXT_MLE).find(L"-2Log(Likelihood) (Whittle)"), std::wstring::npos);
}

// A periodogram the library cannot compute (ordinates beyond the doubles) stops the fractional
// fit with the library's own message, once: no second message about the fit follows, and the
// model stays as it was.
TEST_F(EstimationCommandsTest, FractionalFitStoppedByTheLibraryIsSaidOnce)
{
    UnivariateProject& u = *project_;
    std::vector<double> huge;
    for (int t = 0; t < 48; ++t) huge.push_back(t % 2 == 0 ? 1e200 : -1e200);
    ASSERT_EQ(VeskImportData(u, huge), 1);
    PumpMessages();
    TakeSeenDialogs();
    u.fracIntegrated = 1;
    u.d = 0.1;
    AnswerNextDialog(Press(IDOK));  // dialog 170
    AnswerWith(IDOK);               // the library's message
    const std::vector<SeenDialog> seen = Command(IDM_MAX_LIKELIHOOD);
    ASSERT_EQ(seen.size(), 2u) << testing::PrintToString(Captions(seen));
    EXPECT_EQ(seen[0].caption, L"ML Estimation (Fractionally Integrated ARMA)");
    EXPECT_FALSE(seen[1].message.empty());
    EXPECT_EQ(u.d, 0.1);
    EXPECT_FALSE(IsWindow(Handle(project_->textWindows[TEXT_MLE])));
}
