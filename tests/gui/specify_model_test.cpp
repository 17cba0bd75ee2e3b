#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/specify_model_dialog.h"

namespace {

class SpecifyModelTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        AnswerNextDialog(DialogAnswer{});
        SendCommand(IDM_PROJECT_NEW);
        ASSERT_EQ(ProjectTable[1].kind, PROJECT_UNIVARIATE);
        project_ = ProjectTable[1].univariate;
        ASSERT_NE(project_, nullptr);
        TakeSeenDialogs();
    }

    // Runs Model > Specify; every dialog and message box it shows must have been answered.
    int32_t Specify()
    {
        const int32_t result = SpecifyModel(*project_);
        PumpMessages();
        seen_ = TakeSeenDialogs();
        return result;
    }

    static DialogAnswer Typed(std::vector<std::pair<int, std::wstring>> texts, int button = IDOK)
    {
        DialogAnswer answer;
        answer.texts = std::move(texts);
        answer.button = button;
        return answer;
    }

    // Types into an edit the way the harness does: focus, then the text.
    static void Type(HWND dialog, int id, const wchar_t* text)
    {
        SetFocus(GetDlgItem(dialog, id));
        SetDlgItemTextW(dialog, id, text);
    }

    static std::wstring Item(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

    UnivariateProject* project_ = nullptr;
    std::vector<SeenDialog> seen_;
};

}  // namespace

TEST_F(SpecifyModelTest, OkStoresTheModelAndFreesItsNonZeroCoefficients)
{
    project_->relationCount = 2;
    project_->numFree = 5;
    AnswerNextDialog(Typed({{IDC_SPECIFY_AR_ORDER, L"2"}, {IDC_SPECIFY_AR_VALUE, L"0.5"},
                            {IDC_SPECIFY_MA_ORDER, L"1"}, {IDC_SPECIFY_MA_VALUE, L"0.3"}}));
    ASSERT_EQ(Specify(), 1);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].caption, L"Specify Model");
    EXPECT_TRUE(seen_[0].expected);
    EXPECT_EQ(project_->p, 2);
    EXPECT_EQ(project_->phi[1], 0.5);
    EXPECT_EQ(project_->phi[2], 0.0);
    EXPECT_EQ(project_->q, 1);
    EXPECT_EQ(project_->theta[1], 0.3);
    EXPECT_EQ(project_->numFree, 2);
    EXPECT_EQ(project_->freeIndex[1], 1);
    EXPECT_EQ(project_->freeIndex[2], 3);
    EXPECT_EQ(project_->relationCount, 0);
}

TEST_F(SpecifyModelTest, OkWithoutEditsKeepsEveryValueExactly)
{
    UnivariateProject& u = *project_;
    u.p = 2;
    u.phi[1] = 0.123456789;
    u.phi[2] = -0.3141592653;
    u.q = 1;
    u.theta[1] = 0.2718281828;
    u.wnVariance = 1.23456789e-7;
    u.fracIntegrated = 1;
    u.d = 0.1234567;
    u.M = 77;
    std::wstring variance, d;
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        variance = Item(dialog, IDC_SPECIFY_VARIANCE);
        d = Item(dialog, IDC_SPECIFY_D);
        EXPECT_EQ(Item(dialog, IDC_SPECIFY_AR_VALUE), L"0.12346");
        EXPECT_EQ(Item(dialog, IDC_SPECIFY_M), L"77");
    };
    AnswerNextDialog(answer);
    ASSERT_EQ(Specify(), 1);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(d, L"0.123");
    EXPECT_NE(variance.find(L"E-"), std::wstring::npos) << "a variance too small for 5 decimals: " << variance;
    EXPECT_EQ(u.phi[1], 0.123456789);
    EXPECT_EQ(u.phi[2], -0.3141592653);
    EXPECT_EQ(u.theta[1], 0.2718281828);
    EXPECT_EQ(u.wnVariance, 1.23456789e-7);
    EXPECT_EQ(u.d, 0.1234567);
    EXPECT_EQ(u.M, 77);
    EXPECT_EQ(u.fracIntegrated, 1);
}

TEST_F(SpecifyModelTest, CancelAfterTickingFractionalLeavesTheProject)
{
    project_->p = 1;
    project_->phi[1] = 0.25;
    project_->wnVariance = 2.0;
    DialogAnswer answer;
    bool ticked = false;
    answer.inspect = [&](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_SPECIFY_FRACTIONAL, BM_CLICK, 0, 0);
        ticked = IsWindowEnabled(GetDlgItem(dialog, IDC_SPECIFY_D)) != FALSE;
        Type(dialog, IDC_SPECIFY_D, L"0.3");
        Type(dialog, IDC_SPECIFY_M, L"60");
        Type(dialog, IDC_SPECIFY_AR_VALUE, L"0.75");
        Type(dialog, IDC_SPECIFY_VARIANCE, L"3");
    };
    answer.button = IDCANCEL;
    AnswerNextDialog(answer);
    ASSERT_EQ(Specify(), 0);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_TRUE(ticked);
    EXPECT_EQ(project_->fracIntegrated, 0);
    EXPECT_EQ(project_->d, 0.0);
    EXPECT_EQ(project_->M, 50);
    EXPECT_EQ(project_->phi[1], 0.25);
    EXPECT_EQ(project_->wnVariance, 2.0);
}

// An order of 27 is refused with its message and the box returns to the previous order; 26 is
// taken.
TEST_F(SpecifyModelTest, OrderLimits)
{
    std::wstring afterRefusal;
    bool enabledAt26 = false;
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        Type(dialog, IDC_SPECIFY_AR_ORDER, L"27");
        afterRefusal = Item(dialog, IDC_SPECIFY_AR_ORDER);
        Type(dialog, IDC_SPECIFY_MA_ORDER, L"26");
        enabledAt26 = IsWindowEnabled(GetDlgItem(dialog, IDC_SPECIFY_MA_VALUE)) != FALSE;
        Type(dialog, IDC_SPECIFY_MA_ORDER, L"0");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SPECIFY_MA_VALUE)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SPECIFY_MA_LIST)));
        Type(dialog, IDC_SPECIFY_MA_ORDER, L"26");
    };
    AnswerNextDialog(answer);
    AnswerNextDialog(DialogAnswer{});  // "AR Order must be < 27"
    ASSERT_EQ(Specify(), 1);
    ASSERT_EQ(seen_.size(), 2u);
    EXPECT_EQ(seen_[1].caption, L"KELO::ERROR");
    EXPECT_EQ(seen_[1].message, L"AR Order must be < 27");
    EXPECT_EQ(afterRefusal, L"0");
    EXPECT_TRUE(enabledAt26);
    EXPECT_EQ(project_->p, 0);
    EXPECT_EQ(project_->q, 26);
}

// Entries of d, M and the variance are checked as their box loses the focus: a refused one
// keeps the focus and the value before it.
TEST_F(SpecifyModelTest, RefusedEntries)
{
    struct Case {
        int id;
        const wchar_t* text;
        const wchar_t* message;
    };
    const Case cases[] = {
        {IDC_SPECIFY_D, L"0.5", L"d must be between -.5 and .5"},
        {IDC_SPECIFY_D, L"-0.5", L"d must be between -.5 and .5"},
        {IDC_SPECIFY_D, L"abc", L"d \"abc\" is not a number."},
        {IDC_SPECIFY_D, L"0,2", L"d \"0,2\" has a decimal comma: type a decimal point."},
        {IDC_SPECIFY_M, L"49", L"M must be at least 50."},
        {IDC_SPECIFY_M, L"2001", L"M must not exceed 2000."},
        {IDC_SPECIFY_VARIANCE, L"0", L"Variance must be positive"},
        {IDC_SPECIFY_VARIANCE, L"Inf", L"Variance \"Inf\" is not a finite number."},
        {IDC_SPECIFY_VARIANCE, L"NaN", L"Variance \"NaN\" is not a finite number."},
        {IDC_SPECIFY_MA_VALUE, L"0,7", L"Theta(1) \"0,7\" has a decimal comma: type a decimal point."},
    };
    for (const Case& c : cases) {
        bool focusKept = false;
        DialogAnswer answer;
        answer.inspect = [&](HWND dialog) {
            SendDlgItemMessageW(dialog, IDC_SPECIFY_FRACTIONAL, BM_CLICK, 0, 0);
            if (c.id == IDC_SPECIFY_MA_VALUE) Type(dialog, IDC_SPECIFY_MA_ORDER, L"1");
            Type(dialog, c.id, c.text);
            SetFocus(GetDlgItem(dialog, IDC_SPECIFY_ROOTS));
            focusKept = GetFocus() == GetDlgItem(dialog, c.id);
        };
        AnswerNextDialog(answer);
        AnswerNextDialog(DialogAnswer{});  // the message box
        // The refused text is still there when the harness presses OK, which moves the focus
        // again: the same message, then the dialog is cancelled.
        ASSERT_EQ(Specify(), 0) << c.text;
        ASSERT_GE(seen_.size(), 2u) << c.text;
        EXPECT_EQ(seen_[1].caption, L"KELO Error");
        EXPECT_EQ(seen_[1].message, c.message) << c.text;
        EXPECT_TRUE(focusKept) << c.text;
        EXPECT_EQ(project_->fracIntegrated, 0);
        EXPECT_EQ(project_->M, 50);
        EXPECT_EQ(project_->wnVariance, 1.0);
        EXPECT_EQ(project_->q, 0);
    }
}

TEST_F(SpecifyModelTest, CausalityAndInvertibilityOnOk)
{
    // phi(1) = 1.2 is refused; the dialog stays open until cancelled.
    AnswerNextDialog(Typed({{IDC_SPECIFY_AR_ORDER, L"1"}, {IDC_SPECIFY_AR_VALUE, L"1.2"}}));
    AnswerNextDialog(DialogAnswer{});
    AnswerNextDialog(Typed({}, IDCANCEL));
    ASSERT_EQ(Specify(), 0);
    ASSERT_EQ(seen_.size(), 3u);
    EXPECT_EQ(seen_[1].message, L"Model is not causal");
    EXPECT_EQ(seen_[1].caption, L"KELO Error");
    EXPECT_EQ(project_->p, 0);

    // theta(1) = 2 is taken for an ARMA model, refused for a fractionally integrated one.
    std::wstring causal, invertible;
    DialogAnswer fractional;
    fractional.inspect = [&](HWND dialog) {
        Type(dialog, IDC_SPECIFY_MA_ORDER, L"1");
        Type(dialog, IDC_SPECIFY_MA_VALUE, L"2");
        SendDlgItemMessageW(dialog, IDC_SPECIFY_ROOTS, BM_CLICK, 0, 0);
        causal = Item(dialog, IDC_SPECIFY_CAUSAL);
        invertible = Item(dialog, IDC_SPECIFY_INVERTIBLE);
        SendDlgItemMessageW(dialog, IDC_SPECIFY_FRACTIONAL, BM_CLICK, 0, 0);
    };
    AnswerNextDialog(fractional);
    AnswerNextDialog(DialogAnswer{});
    AnswerNextDialog(Typed({}, IDCANCEL));
    ASSERT_EQ(Specify(), 0);
    ASSERT_EQ(seen_.size(), 3u);
    EXPECT_EQ(causal, L"Causal");
    EXPECT_EQ(invertible, L"Non - Invertible");
    EXPECT_EQ(seen_[1].message, L"Model is not invertible");
    EXPECT_EQ(project_->q, 0);

    AnswerNextDialog(Typed({{IDC_SPECIFY_MA_ORDER, L"1"}, {IDC_SPECIFY_MA_VALUE, L"2"}}));
    ASSERT_EQ(Specify(), 1);
    EXPECT_EQ(project_->q, 1);
    EXPECT_EQ(project_->theta[1], 2.0);
}

// A fractionally integrated model with its d and M, and a coefficient typed as Inf (refused:
// the coefficient keeps its value).
TEST_F(SpecifyModelTest, FractionalModelAndNonFiniteCoefficient)
{
    std::wstring listRow;
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_SPECIFY_FRACTIONAL, BM_CLICK, 0, 0);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_SPECIFY_D));
        Type(dialog, IDC_SPECIFY_D, L"0.49");
        Type(dialog, IDC_SPECIFY_M, L"2000");
        Type(dialog, IDC_SPECIFY_MA_ORDER, L"1");
        Type(dialog, IDC_SPECIFY_MA_VALUE, L"0.4");
        Type(dialog, IDC_SPECIFY_MA_VALUE, L"Inf");
        wchar_t row[64] = {};
        SendDlgItemMessageW(dialog, IDC_SPECIFY_MA_LIST, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
        listRow = row;
        // Leaving the box with Inf would be refused with its reason (RefusedEntries): typed over.
        Type(dialog, IDC_SPECIFY_MA_VALUE, L"0.4");
        Type(dialog, IDC_SPECIFY_VARIANCE, L"0.5");
    };
    AnswerNextDialog(answer);
    ASSERT_EQ(Specify(), 1);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(listRow, L"Theta(1) = 0.40000");
    EXPECT_EQ(project_->fracIntegrated, 1);
    EXPECT_EQ(project_->d, 0.49);
    EXPECT_EQ(project_->M, 2000);
    EXPECT_EQ(project_->theta[1], 0.4);
    EXPECT_EQ(project_->wnVariance, 0.5);
}

// Cancel takes nothing, so an entry that would be refused does not hold it up.
TEST_F(SpecifyModelTest, CancelIsNotHeldUpByARefusedEntry)
{
    DialogAnswer answer;
    answer.inspect = [](HWND dialog) { SendDlgItemMessageW(dialog, IDC_SPECIFY_FRACTIONAL, BM_CLICK, 0, 0); };
    answer.texts = {{IDC_SPECIFY_D, L"0.7"}};
    answer.button = IDCANCEL;
    AnswerNextDialog(answer);
    ASSERT_EQ(Specify(), 0);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].caption, L"Specify Model");
    EXPECT_EQ(project_->fracIntegrated, 0);
}

// Enter (OK with the focus elsewhere than on the button) moves through the form: from an order to
// its coefficient, from a coefficient to the next row (back to the first after the last); a row
// picked in the list comes into the edit.
TEST_F(SpecifyModelTest, EnterMovesThroughTheCoefficients)
{
    project_->p = 3;
    project_->phi[1] = 0.1;
    project_->phi[2] = 0.2;
    project_->phi[3] = 0.3;
    std::vector<std::wstring> labels;
    std::wstring picked;
    bool toValue = false;
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        const auto enter = [dialog] { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
        SetFocus(GetDlgItem(dialog, IDC_SPECIFY_AR_ORDER));
        enter();
        toValue = GetFocus() == GetDlgItem(dialog, IDC_SPECIFY_AR_VALUE);
        for (int k = 0; k < 3; ++k) {
            enter();
            labels.push_back(Item(dialog, IDC_SPECIFY_AR_LABEL));
        }
        HWND list = GetDlgItem(dialog, IDC_SPECIFY_AR_LIST);
        SendMessageW(list, LB_SETCURSEL, 2, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SPECIFY_AR_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        picked = Item(dialog, IDC_SPECIFY_AR_LABEL) + Item(dialog, IDC_SPECIFY_AR_VALUE);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_SPECIFY_AR_VALUE));
    };
    answer.button = IDCANCEL;
    AnswerNextDialog(answer);
    ASSERT_EQ(Specify(), 0);
    EXPECT_TRUE(toValue);
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"Phi(2) = ", L"Phi(3) = ", L"Phi(1) = "}));
    EXPECT_EQ(picked, L"Phi(3) = 0.30000");
}
