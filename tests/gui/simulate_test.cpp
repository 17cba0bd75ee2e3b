#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "univariate/arma_simulation.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/regression_trend_dialog.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

std::vector<double> Wave(int n)
{
    std::vector<double> x;
    for (int t = 1; t <= n; ++t) x.push_back(std::sin(0.4 * t) + 0.1 * t);
    return x;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// The series the portable core gives for these entries, to compare with what the command did.
std::vector<double> Expected(const UnivariateProject& u, int32_t m, double sigma2, int32_t seed)
{
    SimulationChoice choice;
    choice.m = m;
    choice.sigma2 = sigma2;
    choice.seed = seed;
    std::vector<double> x;
    std::string message;
    EXPECT_EQ(SimulateSeries(u, choice, x, message), 1) << message;
    return x;
}

DialogAnswer Simulation(std::vector<std::pair<int, std::wstring>> texts, int button = IDOK)
{
    DialogAnswer answer;
    answer.texts = std::move(texts);
    answer.button = button;
    return answer;
}

}  // namespace

using SimulateTest = FrameFixture;

// OK with the proposals on a project with data: a new project becomes current with its data
// window, the univariate menu and its title in the status bar; its series is the simulation of
// the model with the seed 1234.
TEST_F(SimulateTest, NewProjectBecomesCurrent)
{
    UnivariateProject& u = NewUnivariateProject(Wave(60));
    u.p = 1;
    u.phi[1] = 0.5;
    u.wnVariance = 2.0;
    bool inspected = false;
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        inspected = true;
        EXPECT_EQ(WindowText(dialog), L"ARMA Simulation");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_SIMULATE_COUNT)), L"60");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_SIMULATE_SEED)), L"1234");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_SIMULATE_VARIANCE)), L"2");
        EXPECT_TRUE(Checked(dialog, IDC_SIMULATE_NEW));
        EXPECT_FALSE(Checked(dialog, IDC_SIMULATE_IMPORT));
        for (int id : {IDC_SIMULATE_SEASONAL, IDC_SIMULATE_BOX_COX, IDC_SIMULATE_REGRESSION}) {
            EXPECT_FALSE(Checked(dialog, id)) << id;
            EXPECT_FALSE(Enabled(dialog, id)) << id;
        }
    };
    AnswerNextDialog(answer);
    SendCommand(IDM_SIMULATE);
    EXPECT_TRUE(inspected);
    ASSERT_EQ(CurrentProject, 2);
    ASSERT_EQ(ProjectTable[2].kind, PROJECT_UNIVARIATE);
    const UnivariateProject& made = *ProjectTable[2].univariate;
    EXPECT_EQ(made.series, Expected(u, 60, 2.0, 1234));
    EXPECT_EQ(made.wnVariance, 2.0);
    EXPECT_EQ(made.p, 1);
    EXPECT_EQ(made.residuals.size(), 60u);
    ASSERT_TRUE(IsWindow(Handle(made.dataView.window)));
    EXPECT_EQ(made.dataView.curves[1].y, made.series);
    EXPECT_EQ(GetMenu(FrameWindow), UnivariateMenu);
    EXPECT_EQ(StatusText(0), WindowText(Handle(made.dataView.window)));
    EXPECT_EQ(u.series, Wave(60));  // the first project keeps its data

    // The seed is proposed afresh: the same entries again give the same series.
    AnswerWith(IDOK);
    SendCommand(IDM_SIMULATE);
    ASSERT_EQ(CurrentProject, 3);
    EXPECT_EQ(ProjectTable[3].univariate->series, made.series);
}

// A project without data proposes 100 values into itself: they are imported and its name asked.
TEST_F(SimulateTest, ImportIntoEmptyProjectAsksName)
{
    ASSERT_EQ(NewProjectOfKind(1), 1);
    TakeSeenDialogs();
    UnivariateProject& u = *ProjectTable[1].univariate;
    u.q = 1;
    u.theta[1] = -0.4;
    bool inspected = false;
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        inspected = true;
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_SIMULATE_COUNT)), L"100");
        EXPECT_TRUE(Checked(dialog, IDC_SIMULATE_IMPORT));
        EXPECT_FALSE(Checked(dialog, IDC_SIMULATE_NEW));
    };
    AnswerNextDialog(answer);
    DialogAnswer name;
    name.inspect = [](HWND dialog) { EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_PROJECT_TITLE)), L"ARMA Simulation"); };
    name.texts = {{IDC_PROJECT_TITLE, L"Noise"}};
    AnswerNextDialog(name);
    SendCommand(IDM_SIMULATE);
    EXPECT_TRUE(inspected);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, L"Name Vesk Project");
    EXPECT_EQ(CurrentProject, 1);
    EXPECT_EQ(u.n, 100);
    EXPECT_EQ(u.firstIndex, 1);
    EXPECT_EQ(u.lastIndex, 100);
    EXPECT_EQ(u.series, Expected(u, 100, 1.0, 1234));
    EXPECT_EQ(u.residuals.size(), 100u);
    EXPECT_EQ(u.q, 1);
    EXPECT_EQ(WindowText(Handle(u.dataView.window)), L"Noise");
    EXPECT_EQ(u.dataView.curves[1].y, u.series);
    EXPECT_EQ(GetFocus(), Handle(u.dataView.window));
}

// Into a project whose data carry transforms and a regression: the new data replace them all,
// so Undo has nothing of the old data to apply.
TEST_F(SimulateTest, ImportDropsTheOldStack)
{
    UnivariateProject& u = NewUnivariateProject(Wave(48));
    ASSERT_EQ(ApplySubtractMean(u), 1);
    u.regressionPresent = 1;
    u.trendCoefficients = {1.0};
    DialogAnswer answer = Simulation({{IDC_SIMULATE_COUNT, L"30"}, {IDC_SIMULATE_MEAN, L"0"}});
    answer.checks = {{IDC_SIMULATE_IMPORT, true}, {IDC_SIMULATE_NEW, false}, {IDC_SIMULATE_REGRESSION, false}};
    AnswerNextDialog(answer);
    AnswerWith(IDOK);  // the name
    SendCommand(IDM_SIMULATE);
    EXPECT_EQ(TakeSeenDialogs().size(), 2u);
    EXPECT_EQ(u.transforms, nullptr);
    EXPECT_EQ(u.regressionPresent, 0);
    ASSERT_EQ(u.n, 30);
    const std::vector<double> simulated = u.series;
    SendCommand(IDM_UNDO);
    EXPECT_EQ(u.series, simulated);
}

// Cancel changes nothing; a refused entry shows its message over the data window and the
// dialog comes back with its first proposals.
TEST_F(SimulateTest, CancelAndRefusedEntries)
{
    UnivariateProject& u = NewUnivariateProject(Wave(40));
    AnswerWith(IDCANCEL);
    SendCommand(IDM_SIMULATE);
    EXPECT_EQ(CurrentProject, 1);
    EXPECT_EQ(ProjectTable[2].kind, PROJECT_FREE);
    EXPECT_EQ(u.series, Wave(40));
    TakeSeenDialogs();

    struct Case {
        std::vector<std::pair<int, std::wstring>> texts;
        const wchar_t* message;
    };
    const Case cases[] = {
        {{{IDC_SIMULATE_VARIANCE, L"0"}}, L" WN Variance must be postive"},
        {{{IDC_SIMULATE_COUNT, L"0"}}, L" Number of observations must be > 0"},
        {{{IDC_SIMULATE_COUNT, L"5000000000"}}, L" Number of observations must be at most 1000000"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::PrintToString(k.message));
        AnswerNextDialog(Simulation(k.texts));
        AnswerWith(IDOK);
        bool reset = false;
        DialogAnswer again;
        again.inspect = [&](HWND dialog) {
            reset = true;
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_SIMULATE_COUNT)), L"40");
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_SIMULATE_VARIANCE)), L"1");
        };
        again.button = IDCANCEL;
        AnswerNextDialog(again);
        SendCommand(IDM_SIMULATE);
        EXPECT_TRUE(reset);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[1].caption, L"ERROR");
        EXPECT_EQ(seen[1].message, k.message);
        EXPECT_EQ(seen[1].owner, GetAncestor(Handle(u.dataView.window), GA_ROOT));  // over the data window
        EXPECT_EQ(CurrentProject, 1);
        EXPECT_EQ(u.series, Wave(40));
    }

    // A model read from a file may not be causal: refused before anything is simulated.
    u.p = 1;
    u.phi[1] = 1.5;
    AnswerWith(IDOK);
    AnswerWith(IDOK);
    AnswerWith(IDCANCEL);
    SendCommand(IDM_SIMULATE);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].message, L"The model is not causal: it cannot be simulated.");
    EXPECT_EQ(ProjectTable[2].kind, PROJECT_FREE);
}

// ---- Regression trend dialog

namespace {

class RegressionTrendTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        project_ = &NewUnivariateProject(Wave(120));
        TakeSeenDialogs();
    }
    UnivariateProject* project_ = nullptr;
};

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Types `text` into edit `id` and leaves it for a check box, which reads no entry of its own.
void Type(HWND dialog, int id, const wchar_t* text)
{
    SetFocus(GetDlgItem(dialog, id));
    SetDlgItemTextW(dialog, id, text);
    SetFocus(GetDlgItem(dialog, IDC_TREND_INTERCEPT));
}

}  // namespace

// The dialog opens from the record, writes accepted entries into it and ends with 1 on OK.
TEST_F(RegressionTrendTest, OkWritesTheRecord)
{
    UnivariateProject& u = *project_;
    u.intercept = 0;
    u.polynomialDegree = 2;
    bool inspected = false;
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        inspected = true;
        EXPECT_EQ(WindowText(dialog), L"Regression Trend Function");
        EXPECT_FALSE(Checked(dialog, IDC_TREND_INTERCEPT));
        EXPECT_TRUE(Checked(dialog, IDC_TREND_POLYNOMIAL));
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_TREND_ORDER)), L"2");
        EXPECT_FALSE(Checked(dialog, IDC_TREND_HARMONIC));
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_TREND_HARMONICS)), L"0");
        for (int id : {IDC_TREND_HARMONICS, IDC_TREND_INDEX_1, IDC_TREND_INDEX_4}) EXPECT_FALSE(Enabled(dialog, id));
        Click(dialog, IDC_TREND_INTERCEPT);
        Click(dialog, IDC_TREND_AUXILIARY);
        Click(dialog, IDC_TREND_HARMONIC);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_TREND_HARMONICS));
    };
    // "3" is read as 03; the index 120 = n is accepted.
    answer.texts = {{IDC_TREND_ORDER, L"3"}, {IDC_TREND_HARMONICS, L"2"}, {IDC_TREND_INDEX_1, L"120"},
                    {IDC_TREND_INDEX_2, L"03"}};
    AnswerNextDialog(answer);
    EXPECT_EQ(RunRegressionTrendDialog(u), 1);
    EXPECT_TRUE(inspected);
    EXPECT_EQ(u.intercept, 1);
    EXPECT_EQ(u.auxPresent, 1);
    EXPECT_EQ(u.polynomialDegree, 3);
    EXPECT_EQ(u.harmonicCount, 2);
    EXPECT_EQ(u.fourierIndex[1], 120);
    EXPECT_EQ(u.fourierIndex[2], 3);
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);
}

// Refused entries: each message over the dialog, the record keeping its last accepted value;
// OK does not end while a chosen index lies outside 1..n.
TEST_F(RegressionTrendTest, RefusedEntriesNeverReachTheRecord)
{
    UnivariateProject& u = *project_;
    u.polynomialDegree = 1;
    struct Case {
        int id;
        const wchar_t* text;
        const wchar_t* message;
    };
    const Case cases[] = {
        {IDC_TREND_ORDER, L"11", L"Degree must be between 0 and 10"},
        {IDC_TREND_ORDER, L"two", L"Degree \"two\" is not a number."},
        {IDC_TREND_HARMONICS, L"5", L"Number of harmonics must be between 0 and 4"},
        {IDC_TREND_INDEX_1, L"121", L"Index must be between 1 and number of obs."},
        {IDC_TREND_INDEX_1, L"0", L"Index must be between 1 and number of obs."},
        {IDC_TREND_INDEX_1, L"x", L"Index \"x\" is not a number."},
    };
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        Click(dialog, IDC_TREND_HARMONIC);
        Type(dialog, IDC_TREND_HARMONICS, L"1");
        Type(dialog, IDC_TREND_INDEX_1, L"7");
        TakeSeenDialogs();
        for (const Case& k : cases) {
            SCOPED_TRACE(testing::PrintToString(k.text));
            AnswerWith(IDOK);
            Type(dialog, k.id, k.text);
            const std::vector<SeenDialog> seen = TakeSeenDialogs();
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_EQ(seen[0].caption, L"KELO Error");
            EXPECT_EQ(seen[0].message, k.message);
            EXPECT_EQ(seen[0].owner, dialog);
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog, k.id));
            EXPECT_EQ(u.polynomialDegree, 1);
            EXPECT_EQ(u.harmonicCount, 1);
            EXPECT_EQ(u.fourierIndex[1], 7);
            SetDlgItemTextW(dialog, k.id, k.id == IDC_TREND_INDEX_1 ? L"7" : L"1");
        }
        // Unchecking the polynomial sets the degree to 0 at once.
        Click(dialog, IDC_TREND_POLYNOMIAL);
        EXPECT_EQ(u.polynomialDegree, 0);
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(RunRegressionTrendDialog(u), 1);
    EXPECT_EQ(u.harmonicCount, 1);
    EXPECT_EQ(u.fourierIndex[1], 7);
    EXPECT_EQ(u.polynomialDegree, 0);
}

// With 121 typed into an index, OK brings the message back each time and the dialog stays; a
// valid index then ends it.
TEST_F(RegressionTrendTest, IndexPastTheSeriesIsRefusedAtOk)
{
    UnivariateProject& u = *project_;
    DialogAnswer first;
    first.inspect = [](HWND dialog) { Click(dialog, IDC_TREND_HARMONIC); };
    first.texts = {{IDC_TREND_HARMONICS, L"1"}, {IDC_TREND_INDEX_1, L"121"}};
    AnswerNextDialog(first);
    AnswerWith(IDOK);  // leaving the index for OK
    AnswerWith(IDOK);  // OK, which moves the focus out of the index again
    DialogAnswer second;
    second.texts = {{IDC_TREND_INDEX_1, L"60"}};
    AnswerNextDialog(second);
    EXPECT_EQ(RunRegressionTrendDialog(u), 1);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[1].message, L"Index must be between 1 and number of obs.");
    EXPECT_EQ(seen[2].message, L"Index must be between 1 and number of obs.");
    EXPECT_EQ(u.harmonicCount, 1);
    EXPECT_EQ(u.fourierIndex[1], 60);

    // An index left in the record from before, never typed here, is caught at OK too.
    u.fourierIndex[2] = 500;
    DialogAnswer stale;
    stale.inspect = [](HWND dialog) { Click(dialog, IDC_TREND_HARMONIC); };
    stale.texts = {{IDC_TREND_HARMONICS, L"2"}};
    AnswerNextDialog(stale);
    AnswerWith(IDOK);
    DialogAnswer fixed;
    fixed.inspect = [](HWND dialog) { EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_TREND_INDEX_2)); };
    fixed.texts = {{IDC_TREND_INDEX_2, L"30"}};
    AnswerNextDialog(fixed);
    EXPECT_EQ(RunRegressionTrendDialog(u), 1);
    EXPECT_EQ(u.harmonicCount, 2);
    EXPECT_EQ(u.fourierIndex[2], 30);
}

// Cancel clears the counts and flags but keeps the intercept and the indices; the close box
// after a refusal keeps the fields, dropping harmonics whose indices cannot be used.
TEST_F(RegressionTrendTest, CancelAndCloseBox)
{
    UnivariateProject& u = *project_;
    u.polynomialDegree = 2;
    u.harmonicCount = 1;
    u.fourierIndex[1] = 4;
    u.auxPresent = 1;
    u.termCount = 5;
    u.intercept = 0;
    AnswerWith(IDCANCEL);
    EXPECT_EQ(RunRegressionTrendDialog(u), 0);
    EXPECT_EQ(u.polynomialDegree, 0);
    EXPECT_EQ(u.harmonicCount, 0);
    EXPECT_EQ(u.auxPresent, 0);
    EXPECT_EQ(u.termCount, 0);
    EXPECT_EQ(u.intercept, 0);
    EXPECT_EQ(u.fourierIndex[1], 4);
    TakeSeenDialogs();

    u.fourierIndex[2] = 0;  // never set: the second harmonic cannot be used
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        Click(dialog, IDC_TREND_HARMONIC);
        Type(dialog, IDC_TREND_ORDER, L"4");
        Type(dialog, IDC_TREND_HARMONICS, L"2");
        AnswerWith(IDOK);
        Type(dialog, IDC_TREND_INDEX_2, L"999");
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    };
    answer.button = 0;  // the dialog has ended by its close box
    AnswerNextDialog(answer);
    EXPECT_EQ(RunRegressionTrendDialog(u), 2);  // the entries stand, as after OK
    EXPECT_EQ(TakeSeenDialogs().size(), 2u);
    EXPECT_EQ(u.polynomialDegree, 4);
    EXPECT_EQ(u.harmonicCount, 0);
    EXPECT_EQ(u.fourierIndex[2], 0);
    EXPECT_EQ(GetFocus(), Handle(u.dataView.window));
}
