#include "univariate/win32/transform_dialogs.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/win32/frame.h"
#include "shell/win32/project_commands.h"
#include "univariate/project_file.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/transform_commands.h"

namespace {

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

// Types `text` into an edit and leaves it for `next`, as a user tabbing on.
void Type(HWND dialog, int edit, const wchar_t* text, int next)
{
    SetFocus(GetDlgItem(dialog, edit));
    SetDlgItemTextW(dialog, edit, text);
    SetFocus(GetDlgItem(dialog, next));
}

// The message boxes among the dialogs seen since the last call, in order.
std::vector<std::wstring> Messages()
{
    std::vector<std::wstring> messages;
    for (const SeenDialog& seen : TakeSeenDialogs()) {
        if (seen.message.empty()) continue;
        EXPECT_EQ(seen.caption, L"KELO::Vesk Error") << testing::PrintToString(seen.message);
        messages.push_back(seen.message);
    }
    return messages;
}

// Whole numbers with a trend, a period-12 swing and irregular steps; at least `start` - 10.
std::vector<double> Ramp(int n, double start = 11.0)
{
    std::vector<double> x;
    for (int t = 0; t < n; ++t) x.push_back(start + t + std::round(10.0 * std::sin(0.5236 * t)) + (t * 7) % 5);
    return x;
}

class TransformDialogsTest : public FrameFixture {
protected:
    // A current univariate project holding `values` at indices 1..n.
    UnivariateProject& Project(const std::vector<double>& values) { return NewUnivariateProject(values); }
    // Cancel in the dialog of `kind` leaves no transform.
    static void CancelAppliesNothing(UnivariateProject& u, int32_t kind)
    {
        AnswerNextDialog(Press(IDCANCEL));
        EXPECT_EQ(VeskTransform(u, kind), 0);
        EXPECT_EQ(u.transforms, nullptr);
        EXPECT_EQ(TakeSeenDialogs().size(), 1u);
    }
    static std::wstring UndoText() { return MenuItemText(UnivariateMenu, IDM_UNDO); }
    static bool Grayed(UINT id) { return (GetMenuState(UnivariateMenu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
};

}  // namespace

TEST_F(TransformDialogsTest, DifferenceAppliesAValidLagAndAsksAgainForAnother)
{
    UnivariateProject& u = Project(Ramp(30));
    const std::vector<double> x = u.series;

    CancelAppliesNothing(u, TRANSFORM_DIFFERENCE);

    // Lag n - 1 is refused; the dialog comes back with "1".
    AnswerNextDialog(Press(IDOK, {{IDC_DIFFERENCE_LAG, L"29"}}));
    AnswerNextDialog(Press(IDOK));
    DialogAnswer again = Press(IDOK, {{IDC_DIFFERENCE_LAG, L"12"}});
    bool askedAgain = false;
    again.inspect = [&askedAgain](HWND dialog) {
        askedAgain = true;
        EXPECT_EQ(WindowText(dialog), L"Difference the series");
        EXPECT_EQ(ItemText(dialog, IDC_DIFFERENCE_LAG), L"1");
    };
    AnswerNextDialog(again);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_DIFFERENCE), 1);
    EXPECT_TRUE(askedAgain);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Lag too large for data set."});
    ASSERT_NE(u.transforms, nullptr);
    EXPECT_EQ(u.transforms->lag, 12);
    EXPECT_EQ(u.n, 18);
    EXPECT_EQ(u.firstIndex, 13);
    EXPECT_EQ(u.series[0], x[12] - x[0]);
    EXPECT_EQ(UndoText(), L"&Undo Differencing(12)");
    EXPECT_EQ(StatusText(1), L"Difference");
    EXPECT_TRUE(Grayed(IDM_BOX_COX));
    EXPECT_FALSE(Grayed(IDM_UNDO));
    // The data window shows the differenced series over its new range.
    EXPECT_EQ(u.dataView.curves[1].x.front(), 13.0);

    EXPECT_EQ(VeskUndo(u), 1);
    EXPECT_EQ(u.series, x);
    EXPECT_EQ(UndoText(), L"&Undo");
    EXPECT_TRUE(Grayed(IDM_UNDO));
    EXPECT_EQ(StatusText(1), L"None");
}

TEST_F(TransformDialogsTest, BoxCoxTypedParameterOkAndCancel)
{
    UnivariateProject& u = Project(Ramp(24, 20.0));
    const std::vector<double> x = u.series;

    // OK at once applies nothing.
    DialogAnswer opened = Press(IDOK);
    opened.inspect = [](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_BOXCOX_PARAMETER), L"1.00");
        EXPECT_EQ(ItemText(dialog, IDC_BOXCOX_LOW_LABEL), L"0.0");
        HWND trackbar = GetDlgItem(dialog, IDC_BOXCOX_TRACKBAR);
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 10);
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0), 0);
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0), 15);
    };
    AnswerNextDialog(opened);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_BOX_COX), 0);
    EXPECT_EQ(u.transforms, nullptr);

    // A typed parameter is applied when the edit is left; Cancel withdraws it, and the project
    // (saved, say) has no changes afterwards either.
    u.changed = 0;
    AnswerNextDialog(Press(IDCANCEL, {{IDC_BOXCOX_PARAMETER, L"0.5"}}));
    EXPECT_EQ(VeskTransform(u, TRANSFORM_BOX_COX), 0);
    EXPECT_EQ(u.transforms, nullptr);
    EXPECT_EQ(u.changed, 0);
    for (size_t k = 0; k < x.size(); ++k) EXPECT_NEAR(u.series[k], x[k], 1e-12);

    // Typing 0.55 moves the trackbar to 6; a notification at 6 then only rewrites the edit; OK
    // keeps the typed parameter.
    bool typedChecked = false;
    DialogAnswer typed = Press(IDOK);
    typed.inspect = [&](HWND dialog) {
        Type(dialog, IDC_BOXCOX_PARAMETER, L"0.55", IDOK);
        HWND trackbar = GetDlgItem(dialog, IDC_BOXCOX_TRACKBAR);
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 6);
        ASSERT_NE(u.transforms, nullptr);
        const TransformNode* preview = u.transforms;
        SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 6), reinterpret_cast<LPARAM>(trackbar));
        EXPECT_EQ(ItemText(dialog, IDC_BOXCOX_PARAMETER), L"0.60");
        EXPECT_EQ(u.transforms, preview);
        SetFocus(GetDlgItem(dialog, IDOK));
        typedChecked = true;
    };
    AnswerNextDialog(typed);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_BOX_COX), 1);
    EXPECT_TRUE(typedChecked);
    EXPECT_EQ(u.changed, 1);
    ASSERT_NE(u.transforms, nullptr);
    EXPECT_EQ(u.transforms->lambda, 0.55);
    EXPECT_EQ(TransformCount(u.transforms), 1);
    EXPECT_NEAR(u.series[0], (std::pow(x[0], 0.55) - 1) / 0.55, 1e-12);
    EXPECT_EQ(UndoText(), L"&Undo Box-Cox(0.550)");
    EXPECT_EQ(StatusText(1), L"Box-Cox");
    EXPECT_TRUE(Messages().empty());
}

// The trackbar applies at once and the data window follows; a notification at the applied position
// only rewrites the edit; Cancel withdraws the preview.
TEST_F(TransformDialogsTest, BoxCoxTrackbarPreviewsAndCancelWithdraws)
{
    UnivariateProject& u = Project(Ramp(24, 20.0));
    const std::vector<double> x = u.series;
    bool moved = false;
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [&](HWND dialog) {
        HWND trackbar = GetDlgItem(dialog, IDC_BOXCOX_TRACKBAR);
        SendMessageW(trackbar, TBM_SETPOS, TRUE, 5);
        SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 5), reinterpret_cast<LPARAM>(trackbar));
        EXPECT_EQ(ItemText(dialog, IDC_BOXCOX_PARAMETER), L"0.50");
        ASSERT_NE(u.transforms, nullptr);
        EXPECT_EQ(u.transforms->lambda, 0.5);
        const std::vector<double>& curve = u.dataView.curves[1].y;
        ASSERT_EQ(curve.size(), x.size());
        for (size_t k = 0; k < x.size(); ++k) EXPECT_NEAR(curve[k], (std::sqrt(x[k]) - 1) / 0.5, 1e-12);

        // Position 0: the logarithm, replacing the preview.
        SendMessageW(trackbar, TBM_SETPOS, TRUE, 0);
        SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0), reinterpret_cast<LPARAM>(trackbar));
        EXPECT_EQ(TransformCount(u.transforms), 1);
        EXPECT_EQ(u.transforms->lambda, 0.0);
        EXPECT_NEAR(u.dataView.curves[1].y[3], std::log(x[3]), 1e-12);
        moved = true;
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_BOX_COX), 0);
    EXPECT_TRUE(moved);
    EXPECT_EQ(u.transforms, nullptr);
    for (size_t k = 0; k < x.size(); ++k) {
        EXPECT_NEAR(u.series[k], x[k], 1e-12);
        EXPECT_NEAR(u.dataView.curves[1].y[k], x[k], 1e-12);
    }
}

TEST_F(TransformDialogsTest, BoxCoxRefusesZeroParameterOnDataWithAZeroAndNegativeData)
{
    UnivariateProject& u = Project({0, 1, 2, 3, 4, 5});
    bool refused = false;
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_BOXCOX_LOW_LABEL), L"0.1");
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_BOXCOX_TRACKBAR), TBM_GETRANGEMIN, 0, 0), 1);
        AnswerNextDialog(Press(IDOK));  // the refusal
        Type(dialog, IDC_BOXCOX_PARAMETER, L"0", IDC_BOXCOX_TRACKBAR);
        EXPECT_EQ(u.transforms, nullptr);
        refused = true;
        // A blank entry reads nothing, so leaving it again asks nothing.
        SetDlgItemTextW(dialog, IDC_BOXCOX_PARAMETER, L"");
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_BOX_COX), 0);
    EXPECT_TRUE(refused);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Box-Cox parameter must be in (0.0, 1.5]"});
    EXPECT_EQ(u.transforms, nullptr);

    UnivariateProject& negative = Project({1, -2, 3});
    AnswerNextDialog(Press(IDOK));
    EXPECT_EQ(VeskTransform(negative, TRANSFORM_BOX_COX), 0);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Data must be nonnegative to implement Box-Cox"});
    EXPECT_EQ(negative.transforms, nullptr);
}

// A transform whose Undo could not give the series back is refused with the message that says
// why, and nothing changes: Subtract Mean of values near the largest double (the mean added back
// overflows), and the Box-Cox preview of values below the spacing of doubles near 1 (they all
// transform to the same value).
TEST_F(TransformDialogsTest, TransformsUndoCouldNotReverseAreRefusedSayingWhy)
{
    const std::wstring loss(kTransformLossMessage, kTransformLossMessage + std::strlen(kTransformLossMessage));
    UnivariateProject& large = Project({1.7976931348623157e308, -9.0973917704989455e305});
    const std::vector<double> x = large.series;
    AnswerNextDialog(Press(IDOK));
    EXPECT_EQ(VeskTransform(large, TRANSFORM_SUBTRACT_MEAN), 0);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{loss});
    EXPECT_EQ(large.transforms, nullptr);
    EXPECT_EQ(large.series, x);
    EXPECT_EQ(UndoText(), L"&Undo");

    UnivariateProject& tiny = Project({1e-20, 2e-20, 3e-20});
    bool refused = false;
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [&](HWND dialog) {
        AnswerNextDialog(Press(IDOK));  // the refusal
        Type(dialog, IDC_BOXCOX_PARAMETER, L"1.2", IDC_BOXCOX_TRACKBAR);
        EXPECT_EQ(tiny.transforms, nullptr);
        refused = true;
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(VeskTransform(tiny, TRANSFORM_BOX_COX), 0);
    EXPECT_TRUE(refused);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{loss});
    EXPECT_EQ(tiny.transforms, nullptr);
    EXPECT_EQ(tiny.series, (std::vector<double>{1e-20, 2e-20, 3e-20}));

    // Values of 1.7e308 every sixth: a seasonal fit of period 6 can be made, a harmonic one cannot;
    // the refused harmonic fit leaves the seasonal one and its fit view as they were.
    std::vector<double> sixth;
    for (int t = 0; t < 24; ++t) sixth.push_back((t % 6 == 0 ? 1.7e308 : 1.0) + t);
    UnivariateProject& spikes = Project(sixth);
    const std::wstring range(kTransformRangeMessage, kTransformRangeMessage + std::strlen(kTransformRangeMessage));
    bool kept = false;
    DialogAnswer classical = Press(IDCANCEL);
    classical.inspect = [&](HWND dialog) {
        Click(dialog, IDC_CLASSICAL_SEASONAL);
        SetDlgItemTextW(dialog, IDC_CLASSICAL_PERIOD, L"6");
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        ASSERT_NE(spikes.transforms, nullptr);
        const std::vector<double> seasonal = spikes.series, fit = spikes.views[VIEW_FIT].curves[2].y;
        AnswerNextDialog(Press(IDOK));  // the refusal
        Click(dialog, IDC_CLASSICAL_HARMONIC);
        Click(dialog, IDC_CLASSICAL_POLYNOMIAL);
        SetDlgItemTextW(dialog, IDC_CLASSICAL_HARMONICS, L"1");
        SetDlgItemTextW(dialog, IDC_CLASSICAL_INDEX_1, L"4");
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        EXPECT_EQ(TransformCount(spikes.transforms), 1);
        ASSERT_NE(spikes.transforms, nullptr);
        EXPECT_EQ(spikes.transforms->kind, TRANSFORM_CLASSICAL);
        EXPECT_EQ(spikes.transforms->period, 6);
        EXPECT_EQ(spikes.series, seasonal);
        ASSERT_NE(spikes.views[VIEW_FIT].window, nullptr);
        EXPECT_EQ(spikes.views[VIEW_FIT].curves[2].y, fit);
        kept = true;
    };
    AnswerNextDialog(classical);
    EXPECT_EQ(VeskTransform(spikes, TRANSFORM_CLASSICAL), 0);
    EXPECT_TRUE(kept);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{range});
    EXPECT_EQ(spikes.transforms, nullptr);
}

TEST_F(TransformDialogsTest, ClassicalOkCancelAndARefusedPeriod)
{
    UnivariateProject& u = Project(Ramp(100));
    const std::vector<double> x = u.series;

    CancelAppliesNothing(u, TRANSFORM_CLASSICAL);

    // Period 34 at n = 100 is refused and the dialog stays; Cancel then leaves nothing.
    DialogAnswer refused = Press(IDOK);
    refused.inspect = [](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CLASSICAL_PERIOD)));
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_CLASSICAL_POLYNOMIAL) == BST_CHECKED);
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_CLASSICAL_LINEAR) == BST_CHECKED);
        Click(dialog, IDC_CLASSICAL_SEASONAL);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CLASSICAL_PERIOD)));
        SetDlgItemTextW(dialog, IDC_CLASSICAL_PERIOD, L"34");
    };
    AnswerNextDialog(refused);
    AnswerNextDialog(Press(IDOK));  // the message
    bool stayed = false;
    DialogAnswer cancel = Press(IDCANCEL);
    cancel.inspect = [&stayed](HWND dialog) {
        stayed = true;
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_CLASSICAL_PERIOD));
    };
    AnswerNextDialog(cancel);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_CLASSICAL), 0);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Period must be in: (2,33]"});
    EXPECT_EQ(u.transforms, nullptr);

    // Seasonal period 12 with a quadratic trend.
    DialogAnswer ok = Press(IDOK);
    ok.inspect = [](HWND dialog) {
        Click(dialog, IDC_CLASSICAL_SEASONAL);
        SetDlgItemTextW(dialog, IDC_CLASSICAL_PERIOD, L"12");
        Click(dialog, IDC_CLASSICAL_QUADRATIC);
    };
    AnswerNextDialog(ok);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_CLASSICAL), 1);
    ASSERT_NE(u.transforms, nullptr);
    EXPECT_EQ(u.transforms->kind, TRANSFORM_CLASSICAL);
    EXPECT_EQ(u.transforms->period, 12);
    EXPECT_EQ(u.transforms->degree, 2);
    EXPECT_EQ(UndoText(), L"&Undo Classical");
    EXPECT_FALSE(Grayed(IDM_SHOW_CLASSICAL_FIT));
    EXPECT_TRUE(Grayed(IDM_DIFFERENCE));
    EXPECT_EQ(VeskUndo(u), 1);
    for (size_t k = 0; k < x.size(); ++k) EXPECT_NEAR(u.series[k], x[k], 1e-12);
}

// Show Fit replaces the dialog's own transform and draws the fit, unless its entries are refused;
// Cancel withdraws both.
TEST_F(TransformDialogsTest, ClassicalShowFitTwiceKeepsOneNodeAndCancelClosesTheFitView)
{
    UnivariateProject& u = Project(Ramp(100));
    const std::vector<double> x = u.series;
    bool shown = false;
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [&](HWND dialog) {
        Click(dialog, IDC_CLASSICAL_SEASONAL);
        SetDlgItemTextW(dialog, IDC_CLASSICAL_PERIOD, L"12");
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        ASSERT_NE(u.views[VIEW_FIT].window, nullptr);
        EXPECT_EQ(WindowText(reinterpret_cast<HWND>(u.views[VIEW_FIT].window)).rfind(L"Classical Decomposition: ", 0), 0u);
        EXPECT_EQ(u.views[VIEW_FIT].curves[1].y, x);
        EXPECT_EQ(u.views[VIEW_FIT].curves[2].y.size(), x.size());
        EXPECT_EQ(u.views[VIEW_FIT].curves[2].showMarkers, 0);
        SetDlgItemTextW(dialog, IDC_CLASSICAL_PERIOD, L"6");
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        EXPECT_EQ(TransformCount(u.transforms), 1);
        ASSERT_NE(u.transforms, nullptr);
        EXPECT_EQ(u.transforms->period, 6);
        const std::vector<double> sixFit = u.views[VIEW_FIT].curves[2].y;
        // A refused period leaves the transform on the stack and its fit on show.
        SetDlgItemTextW(dialog, IDC_CLASSICAL_PERIOD, L"34");
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        EXPECT_EQ(TransformCount(u.transforms), 1);
        ASSERT_NE(u.transforms, nullptr);
        EXPECT_EQ(u.transforms->period, 6);
        ASSERT_NE(u.views[VIEW_FIT].window, nullptr);
        EXPECT_EQ(u.views[VIEW_FIT].curves[2].y, sixFit);
        // Harmonic regression replaces it in turn.
        Click(dialog, IDC_CLASSICAL_HARMONIC);
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_CLASSICAL_SEASONAL) == BST_UNCHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CLASSICAL_PERIOD)));
        SetDlgItemTextW(dialog, IDC_CLASSICAL_HARMONICS, L"2");
        SetDlgItemTextW(dialog, IDC_CLASSICAL_INDEX_1, L"8");
        SetDlgItemTextW(dialog, IDC_CLASSICAL_INDEX_2, L"16");
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        EXPECT_EQ(TransformCount(u.transforms), 1);
        EXPECT_EQ(u.transforms->kind, TRANSFORM_HARMONIC);
        // Entries that ask for no transform withdraw it, and the fit view goes.
        Click(dialog, IDC_CLASSICAL_HARMONIC);
        Click(dialog, IDC_CLASSICAL_POLYNOMIAL);
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        EXPECT_EQ(u.transforms, nullptr);
        EXPECT_EQ(u.views[VIEW_FIT].window, nullptr);
        shown = true;
    };
    AnswerNextDialog(answer);
    AnswerNextDialog(Press(IDOK));  // the refused period's message
    EXPECT_EQ(VeskTransform(u, TRANSFORM_CLASSICAL), 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Period must be in: (2,33]"});
    EXPECT_EQ(u.transforms, nullptr);
    EXPECT_EQ(u.views[VIEW_FIT].window, nullptr);
    for (size_t k = 0; k < x.size(); ++k) EXPECT_NEAR(u.series[k], x[k], 1e-12);
}

// Five harmonics are refused without reading past the four index entries; nothing is applied.
TEST_F(TransformDialogsTest, ClassicalRefusesFiveHarmonics)
{
    UnivariateProject& u = Project(Ramp(100));
    DialogAnswer answer = Press(IDOK);
    answer.inspect = [](HWND dialog) {
        Click(dialog, IDC_CLASSICAL_HARMONIC);
        SetDlgItemTextW(dialog, IDC_CLASSICAL_HARMONICS, L"5");
    };
    AnswerNextDialog(answer);
    AnswerNextDialog(Press(IDOK));
    AnswerNextDialog(Press(IDCANCEL));
    EXPECT_EQ(VeskTransform(u, TRANSFORM_CLASSICAL), 0);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Number of harmonics must be in [1, 4]"});
    EXPECT_EQ(u.transforms, nullptr);
}

TEST_F(TransformDialogsTest, SubsequenceAppliesAValidRangeAndAsksAgainForAnother)
{
    std::vector<double> x;
    for (int t = 1; t <= 200; ++t) x.push_back(t * 1.5);
    UnivariateProject& u = Project(x);

    CancelAppliesNothing(u, TRANSFORM_SUBSEQUENCE);

    DialogAnswer single = Press(IDOK, {{IDC_SUBSEQUENCE_MIN, L"50"}, {IDC_SUBSEQUENCE_MAX, L"50"}});
    single.inspect = [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Select Subsequence");
        EXPECT_EQ(ItemText(dialog, IDC_SUBSEQUENCE_MIN), L"1");
        EXPECT_EQ(ItemText(dialog, IDC_SUBSEQUENCE_MAX), L"200");
    };
    AnswerNextDialog(single);
    AnswerNextDialog(Press(IDOK));
    AnswerNextDialog(Press(IDOK, {{IDC_SUBSEQUENCE_MIN, L"20"}, {IDC_SUBSEQUENCE_MAX, L"120"}}));
    EXPECT_EQ(VeskTransform(u, TRANSFORM_SUBSEQUENCE), 1);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Select a subsequence in [1,200]"});
    EXPECT_EQ(u.n, 101);
    EXPECT_EQ(u.firstIndex, 20);
    EXPECT_EQ(u.lastIndex, 120);
    EXPECT_EQ(UndoText(), L"&Undo Trimming");
    EXPECT_TRUE(Grayed(IDM_SUBSEQUENCE));

    EXPECT_EQ(VeskUndo(u), 1);
    EXPECT_EQ(u.series, x);
    EXPECT_EQ(u.firstIndex, 1);
    EXPECT_EQ(u.lastIndex, 200);
}

TEST_F(TransformDialogsTest, UndoWithARegressionPresentIsRefused)
{
    UnivariateProject& u = Project(Ramp(20));
    EXPECT_EQ(VeskTransform(u, TRANSFORM_SUBTRACT_MEAN), 1);
    const std::vector<double> centred = u.series;
    u.regressionSpecified = 1;
    u.regressionPresent = 1;
    AnswerNextDialog(Press(IDOK));
    EXPECT_EQ(VeskUndo(u), 1);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Must remove regression function before untransforming"});
    EXPECT_EQ(TransformCount(u.transforms), 1);
    EXPECT_EQ(u.series, centred);
}

// Show Classical Fit draws the fit of the data before the decomposition, whatever came after it.
TEST_F(TransformDialogsTest, ShowClassicalFitLeavesTheProjectUnchanged)
{
    UnivariateProject& u = Project(Ramp(60));
    const std::vector<double> x = u.series;
    EXPECT_EQ(ShowClassicalFit(u), 0);
    EXPECT_EQ(u.views[VIEW_FIT].window, nullptr);

    std::vector<double> fit;
    ASSERT_EQ(ApplyClassicalSeasonal(u, 12, fit, 1), 1);
    ASSERT_EQ(ApplySubtractMean(u), 1);
    const std::vector<double> series = u.series;
    EXPECT_EQ(ShowClassicalFit(u), 1);
    ASSERT_NE(u.views[VIEW_FIT].window, nullptr);
    const PlotRecord& view = u.views[VIEW_FIT];
    ASSERT_EQ(view.curves[1].y.size(), x.size());
    ASSERT_EQ(view.curves[2].y.size(), x.size());
    for (size_t k = 0; k < x.size(); ++k) {
        EXPECT_NEAR(view.curves[1].y[k], x[k], 1e-12);
        EXPECT_NEAR(view.curves[2].y[k], fit[k], 1e-9);
    }
    EXPECT_EQ(u.series, series);
    EXPECT_EQ(TransformCount(u.transforms), 2);

    // Undoing the decomposition closes the fit view.
    EXPECT_EQ(VeskUndo(u), 1);
    EXPECT_EQ(VeskUndo(u), 1);
    EXPECT_EQ(u.views[VIEW_FIT].window, nullptr);
}

// The close box keeps what Show Fit applied and the fit view; the command reports the transform.
TEST_F(TransformDialogsTest, ClassicalCloseBoxKeepsTheTransformAndTheFitView)
{
    UnivariateProject& u = Project(Ramp(48));
    DialogAnswer answer = Press(0);
    answer.inspect = [](HWND dialog) {
        Click(dialog, IDC_CLASSICAL_SEASONAL);
        SetDlgItemTextW(dialog, IDC_CLASSICAL_PERIOD, L"4");
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_CLASSICAL), 1);
    ASSERT_NE(u.transforms, nullptr);
    EXPECT_EQ(u.transforms->period, 4);
    EXPECT_NE(u.views[VIEW_FIT].window, nullptr);
    EXPECT_EQ(StatusText(1), L"Classical");
}

// Show Fit brings the fit view to the front, over the data window, as a report a command writes
// into comes: in the dialog (where the data window takes the focus back when it closes), and from
// Transform > Show Classical Fit while another window covers the view.
TEST_F(TransformDialogsTest, ShowFitBringsTheFitViewToTheFront)
{
    UnivariateProject& u = Project(Ramp(48));
    HWND data = Handle(u.dataView.window);
    const auto active = []() { return reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0)); };
    DialogAnswer answer = Press(IDOK);
    answer.inspect = [](HWND dialog) {
        Click(dialog, IDC_CLASSICAL_SEASONAL);
        SetDlgItemTextW(dialog, IDC_CLASSICAL_PERIOD, L"4");
        Click(dialog, IDC_CLASSICAL_SHOW_FIT);
        SetFocus(GetDlgItem(dialog, IDOK));
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(VeskTransform(u, TRANSFORM_CLASSICAL), 1);
    PumpMessages();
    HWND fit = Handle(u.views[VIEW_FIT].window);
    ASSERT_TRUE(IsWindow(fit));
    EXPECT_EQ(active(), fit);
    EXPECT_TRUE(ShownInClient(fit));
    ASSERT_EQ(VeskUndo(u), 1);  // closes the fit view
    ASSERT_EQ(u.views[VIEW_FIT].window, nullptr);

    // Transform > Show Classical Fit, with the data window made active over the view.
    std::vector<double> removed;
    ASSERT_EQ(ApplyClassicalSeasonal(u, 4, removed, 1), 1);
    VeskTransformMenu(u);
    SendCommand(IDM_SHOW_CLASSICAL_FIT);
    HWND view = Handle(u.views[VIEW_FIT].window);
    ASSERT_TRUE(IsWindow(view));
    RECT r{};
    GetWindowRect(data, &r);
    MapWindowPoints(nullptr, MdiClient, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(view, nullptr, r.left + 10, r.top + 10, (r.right - r.left) / 2, (r.bottom - r.top) / 2,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(MdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(data), 0);
    PumpMessages();
    ASSERT_FALSE(ShownInClient(view));
    SendCommand(IDM_SHOW_CLASSICAL_FIT);
    PumpMessages();
    EXPECT_EQ(active(), view);
    EXPECT_TRUE(ShownInClient(view));
}

// Through the frame: the commands reach the current project, a grayed transform does nothing,
// and putting a project's menu on the frame rebuilds its Transform items and Undo text.
TEST_F(TransformDialogsTest, FrameCommandsAndTheMenuOfTheCurrentProject)
{
    UnivariateProject& first = Project(Ramp(30));
    EXPECT_TRUE(Grayed(IDM_UNDO));
    EXPECT_EQ(UndoText(), L"&Undo");
    EXPECT_TRUE(Grayed(IDM_SHOW_CLASSICAL_FIT));
    SendCommand(IDM_SUBTRACT_MEAN);
    EXPECT_EQ(TransformCount(first.transforms), 1);
    SendCommand(IDM_SUBTRACT_MEAN);  // grayed by the first
    SendCommand(IDM_SHOW_CLASSICAL_FIT);
    EXPECT_EQ(TransformCount(first.transforms), 1);
    EXPECT_EQ(first.views[VIEW_FIT].window, nullptr);
    EXPECT_EQ(UndoText(), L"&Undo Subtract Mean");

    UnivariateProject& second = Project(Ramp(20));
    SelectProject(2);
    EXPECT_EQ(UndoText(), L"&Undo");
    EXPECT_FALSE(Grayed(IDM_SUBTRACT_MEAN));
    SelectProject(1);
    EXPECT_EQ(UndoText(), L"&Undo Subtract Mean");
    EXPECT_TRUE(Grayed(IDM_SUBTRACT_MEAN));
    EXPECT_EQ(StatusText(1), L"Subtract Mean");
    SendCommand(IDM_UNDO);
    EXPECT_EQ(first.transforms, nullptr);
    EXPECT_EQ(second.transforms, nullptr);
    EXPECT_TRUE(Messages().empty());
}

// A project file read by Open brings its stack: the status bar and the Undo item describe it.
TEST_F(TransformDialogsTest, OpenOfAFileWithTransformsDescribesThem)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vesk-transforms-" + std::to_string(GetCurrentProcessId()) + ".kdx");
    {
        UnivariateProject saved;
        VeskInit(saved);
        saved.series = Ramp(40);
        saved.n = 40;
        saved.firstIndex = 1;
        saved.lastIndex = 40;
        ASSERT_EQ(ApplyBoxCox(saved, 0.5), 1);
        ASSERT_EQ(ApplyDifference(saved, 4), 1);
        FileMessage message;
        ASSERT_EQ(WriteUnivariateFile(saved, path.u8string(), message), 1);
    }
    AnswerNextDialog(DialogAnswer{});
    AnswerFileDialog(path.wstring(), L"Open file");
    SendCommand(IDM_PROJECT_OPEN);
    UnivariateProject* u = CurrentUnivariate();
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(TransformCount(u->transforms), 2);
    EXPECT_EQ(StatusText(1), L"Box-Cox->Difference");
    EXPECT_EQ(UndoText(), L"&Undo Differencing(4)");
    EXPECT_TRUE(Grayed(IDM_BOX_COX));
    EXPECT_TRUE(Grayed(IDM_CLASSICAL));
    EXPECT_FALSE(Grayed(IDM_SUBTRACT_MEAN));
    std::error_code error;
    std::filesystem::remove(path, error);
}
