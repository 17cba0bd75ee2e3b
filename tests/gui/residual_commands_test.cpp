#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/plot_record.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "univariate/refresh.h"
#include "univariate/residual_reports.h"
#include "univariate/residuals.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/residual_commands.h"
#include "univariate/win32/statistics_views.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

std::wstring ReportText(HWND__* window) { return WindowText(ReportEditOf(Handle(window))); }

// A univariate project holding 40 values of a fixed wave.
class ResidualCommandsTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ASSERT_EQ(NewProjectOfKind(1), 1);
        project_ = ProjectTable[1].univariate;
        ASSERT_NE(project_, nullptr);
        std::vector<double> x;
        for (int t = 1; t <= 40; ++t) x.push_back(std::sin(0.9 * t) + 0.05 * t);
        ASSERT_EQ(VeskImportData(*project_, x), 1);
        PumpMessages();
        TakeSeenDialogs();
    }

    // Sends a command; returns the dialogs and message boxes it showed.
    std::vector<SeenDialog> Command(UINT id)
    {
        SendCommand(id);
        PumpMessages();
        return TakeSeenDialogs();
    }

    static DialogAnswer Lag(const wchar_t* h, int button = IDOK)
    {
        DialogAnswer answer;
        answer.texts = {{IDC_RANDOMNESS_H, h}};
        answer.button = button;
        return answer;
    }

    std::wstring TestsReport() const { return ReportText(project_->textWindows[TEXT_TESTS]); }

    UnivariateProject* project_ = nullptr;
};

}  // namespace

// The residual plot opens titled after the project, shows the residuals against their indices,
// and follows a change of the model through the refresh.
TEST_F(ResidualCommandsTest, ResidualPlotFollowsTheModel)
{
    UnivariateProject& u = *project_;
    EXPECT_TRUE(Command(IDM_RESIDUAL_PLOT).empty());
    const PlotRecord& view = u.views[VIEW_RESIDUAL];
    ASSERT_TRUE(IsWindow(Handle(view.window)));
    EXPECT_EQ(WindowText(Handle(view.window)), L"Residuals: New Univariate Project");
    EXPECT_EQ(view.curves[1].y, u.series);  // white noise: the residuals are the series
    EXPECT_EQ(view.curves[1].x.front(), 1.0);

    u.p = 1;
    u.phi[1] = 0.5;
    VeskRefresh(u, 0, 1);
    ASSERT_EQ(u.residuals.size(), 40u);
    EXPECT_NE(u.residuals, u.series);
    EXPECT_EQ(view.curves[1].y, u.residuals);
}

// The residual ACF/PACF view opens titled after the project with both panels, the residual ACF
// and PACF of the model in curves 1 and 3; chosen again it cycles its panels (both, ACF only,
// PACF only, both) without recomputing, and the refresh follows a change of the model with the
// panels where the cycle left them.
TEST_F(ResidualCommandsTest, ResidualAcfOpensCyclesAndFollowsTheModel)
{
    UnivariateProject& u = *project_;
    EXPECT_TRUE(Command(IDM_RESIDUAL_ACF).empty());
    PlotRecord& view = u.views[VIEW_RESIDUAL_ACF];
    ASSERT_TRUE(IsWindow(Handle(view.window)));
    EXPECT_EQ(WindowText(Handle(view.window)), L"Residuals:ACF/PACF: New Univariate Project");
    EXPECT_EQ(u.residualAcfViewFlags, 24);
    ASSERT_EQ(u.residualAcf.size(), 41u);
    EXPECT_EQ(view.curves[1].y, u.residualAcf);
    EXPECT_EQ(view.curves[3].y, u.residualPacf);
    EXPECT_EQ(view.curves[1].panel, 1);
    EXPECT_EQ(view.curves[3].panel, 2);
    EXPECT_EQ(PanelTitleText(view, 1), "ACF");
    EXPECT_EQ(PanelTitleText(view, 2), "PACF");

    const HWND__* window = view.window;
    struct Step {
        int32_t flags, acfPanel, pacfPanel;
    };
    for (const Step& step : {Step{8, 1, 0}, Step{16, 0, 1}, Step{24, 1, 1}, Step{8, 1, 0}}) {
        SCOPED_TRACE(step.flags);
        u.residualAcf.clear();  // the cycle must not recompute
        EXPECT_TRUE(Command(IDM_RESIDUAL_ACF).empty());
        EXPECT_EQ(view.window, window);
        EXPECT_EQ(u.residualAcfViewFlags, step.flags);
        EXPECT_EQ(view.panels[1].inUse, step.acfPanel);
        EXPECT_EQ(view.panels[2].inUse, step.pacfPanel);
        EXPECT_TRUE(u.residualAcf.empty());
    }

    u.p = 1;
    u.phi[1] = 0.5;
    VeskRefresh(u, 0, 1);
    ASSERT_EQ(u.residualAcf.size(), 41u);
    EXPECT_EQ(view.curves[1].y, u.residualAcf);
    EXPECT_EQ(u.residualAcfViewFlags, 8);
    EXPECT_EQ(view.panels[2].inUse, 0);

    // A new lag count redraws the open residual view with it.
    DialogAnswer lags;
    lags.texts = {{IDC_LAG_COUNT, L"7"}};
    lags.button = IDOK;
    AnswerNextDialog(lags);
    EXPECT_EQ(Command(IDM_ACF_SPECIFY_LAG).size(), 1u);
    EXPECT_EQ(u.residualAcfLags, 7);
    ASSERT_EQ(u.residualAcf.size(), 8u);
    EXPECT_EQ(view.curves[1].y, u.residualAcf);
    EXPECT_EQ(view.curves[3].y, u.residualPacf);
}

// The residual histogram opens titled after the project with 2·floor(log2 40) + 1 = 11 bins
// holding every residual, keeps its count apart from the open data histogram's, and follows a
// change of the model.
TEST_F(ResidualCommandsTest, ResidualHistogramKeepsItsOwnBinCount)
{
    UnivariateProject& u = *project_;
    int32_t dataBins = 4;
    ASSERT_EQ(PlotHistogram(u, dataBins), 1);
    EXPECT_TRUE(Command(IDM_RESIDUAL_HISTOGRAM).empty());
    const PlotRecord& view = u.views[VIEW_RESIDUAL_HISTOGRAM];
    ASSERT_TRUE(IsWindow(Handle(view.window)));
    EXPECT_EQ(WindowText(Handle(view.window)), L"Residual:HISTOGRAM: New Univariate Project");
    EXPECT_EQ(u.residualHistogramBins, 11);
    ASSERT_EQ(view.curves[1].y.size(), 11u);
    double counted = 0.0;
    for (double c : view.curves[1].y) counted += c;
    EXPECT_EQ(counted, 40.0);
    EXPECT_EQ(u.histogramBins, 4);
    EXPECT_EQ(u.histogramView.curves[1].y.size(), 4u);

    const std::vector<double> before = view.curves[1].x;
    u.p = 1;
    u.phi[1] = 0.5;
    VeskRefresh(u, 0, 1);
    EXPECT_EQ(view.curves[1].y.size(), 11u);
    EXPECT_NE(view.curves[1].x, before);
    EXPECT_EQ(u.histogramBins, 4);
    EXPECT_EQ(u.histogramView.curves[1].y.size(), 4u);
}

// Dialog 135 shows the range and the suggestion; OK writes the report with the lag typed into a
// window titled "Tests of randomness: ", and the refresh rewrites it with the suggested lag.
TEST_F(ResidualCommandsTest, TestsDialogOkWritesTheReport)
{
    UnivariateProject& u = *project_;
    bool inspected = false;
    DialogAnswer answer = Lag(L"10");
    answer.inspect = [&](HWND dialog) {
        inspected = true;
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_RANDOMNESS_RANGE)), L"Enter value of h, 0 < h < 40");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_RANDOMNESS_SUGGESTION)), L"Suggested value is 20.");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_RANDOMNESS_H)), L"20");
    };
    AnswerNextDialog(answer);
    const std::vector<SeenDialog> seen = Command(IDM_RESIDUAL_TESTS);
    EXPECT_TRUE(inspected);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Tests of Randomness");
    HWND__* window = u.textWindows[TEXT_TESTS];
    ASSERT_TRUE(IsWindow(Handle(window)));
    EXPECT_EQ(WindowText(Handle(window)), L"Tests of randomness: New Univariate Project");
    EXPECT_EQ(TestsReport(), WideText(ReportWindowText(TestsOfRandomnessReport(u, 10))));
    EXPECT_NE(TestsReport().find(L"Ljung - Box statistic = "), std::wstring::npos);
    EXPECT_NE(TestsReport().find(L" Chi-Square ( 10 )"), std::wstring::npos);

    u.q = 1;
    u.theta[1] = 0.4;
    u.numFree = 1;
    VeskRefresh(u, 0, 1);
    EXPECT_EQ(u.textWindows[TEXT_TESTS], window);
    // The suggested lag min(k + 21, n) - 1 with k = 1.
    EXPECT_EQ(TestsReport(), WideText(ReportWindowText(TestsOfRandomnessReport(u, 21))));
    EXPECT_NE(TestsReport().find(L" Chi-Square ( 20 )"), std::wstring::npos);
}

// Cancel leaves everything as it was: no window, or the open report unchanged.
TEST_F(ResidualCommandsTest, TestsDialogCancel)
{
    AnswerNextDialog(Lag(L"10", IDCANCEL));
    ASSERT_EQ(Command(IDM_RESIDUAL_TESTS).size(), 1u);
    EXPECT_EQ(project_->textWindows[TEXT_TESTS], nullptr);

    AnswerNextDialog(Lag(L"7"));
    Command(IDM_RESIDUAL_TESTS);
    const std::wstring before = TestsReport();
    AnswerNextDialog(Lag(L"12", IDCANCEL));
    ASSERT_EQ(Command(IDM_RESIDUAL_TESTS).size(), 1u);
    EXPECT_EQ(TestsReport(), before);
}

// A lag outside k < h < min(n, 54) gives " h out of range. Try again.", one that is not a number
// the reason, and the dialog once more.
TEST_F(ResidualCommandsTest, TestsDialogAsksAgainOutOfRange)
{
    project_->numFree = 2;
    for (const wchar_t* wrong : {L"2", L"40", L"x"}) {
        SCOPED_TRACE(testing::PrintToString(Utf8Text(wrong)));
        AnswerNextDialog(Lag(wrong));
        AnswerWith(IDOK);
        AnswerNextDialog(Lag(L"3"));
        const std::vector<SeenDialog> seen = Command(IDM_RESIDUAL_TESTS);
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[0].caption, L"Tests of Randomness");
        EXPECT_EQ(seen[1].caption, L"ERROR");
        EXPECT_EQ(seen[1].message, std::wstring(wrong) == L"x" ? L" h \"x\" is not a number." : L" h out of range. Try again.");
        EXPECT_EQ(seen[2].caption, L"Tests of Randomness");
        EXPECT_NE(TestsReport().find(L" Chi-Square ( 1 )"), std::wstring::npos);
    }
}

// When the model cannot be evaluated on the series, the open residual view is emptied, the
// open tests report says the residuals are not available, and the commands say so too.
TEST_F(ResidualCommandsTest, FailedEvaluationShowsNoNumbers)
{
    UnivariateProject& u = *project_;
    Command(IDM_RESIDUAL_PLOT);
    Command(IDM_RESIDUAL_ACF);
    Command(IDM_RESIDUAL_HISTOGRAM);
    AnswerNextDialog(Lag(L"10"));
    Command(IDM_RESIDUAL_TESTS);
    ASSERT_FALSE(u.views[VIEW_RESIDUAL].curves[1].y.empty());
    ASSERT_FALSE(u.views[VIEW_RESIDUAL_ACF].curves[1].y.empty());
    ASSERT_FALSE(u.views[VIEW_RESIDUAL_HISTOGRAM].curves[1].y.empty());

    u.q = 26;  // the recursion needs 52 values
    for (int j = 1; j <= 26; ++j) u.theta[j] = 0.01;
    VeskRefresh(u, 0, 1);
    EXPECT_TRUE(u.residuals.empty());
    for (int32_t k : {VIEW_RESIDUAL, VIEW_RESIDUAL_ACF, VIEW_RESIDUAL_HISTOGRAM}) {
        EXPECT_TRUE(IsWindow(Handle(u.views[k].window))) << k;
        EXPECT_TRUE(u.views[k].curves[1].y.empty()) << k;
    }
    EXPECT_TRUE(u.views[VIEW_RESIDUAL_ACF].curves[3].y.empty());
    EXPECT_NE(TestsReport().find(WideText(kResidualsUnavailable)), std::wstring::npos);
    EXPECT_EQ(TestsReport().find(L"Ljung"), std::wstring::npos);

    // With the ACF/PACF and histogram views closed, every residual command says why it shows
    // nothing.
    SendMessageW(MdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(Handle(u.views[VIEW_RESIDUAL_ACF].window)), 0);
    SendMessageW(MdiClient, WM_MDIDESTROY,
                 reinterpret_cast<WPARAM>(Handle(u.views[VIEW_RESIDUAL_HISTOGRAM].window)), 0);
    PumpMessages();
    for (UINT id : {IDM_RESIDUAL_PLOT, IDM_RESIDUAL_ACF, IDM_RESIDUAL_HISTOGRAM, IDM_RESIDUAL_TESTS}) {
        AnswerWith(IDOK);
        const std::vector<SeenDialog> seen = Command(id);
        ASSERT_EQ(seen.size(), 1u) << id;
        EXPECT_EQ(seen[0].message, WideText(kResidualsUnavailable));
        EXPECT_EQ(seen[0].caption, L"KELO::Vesk Error");
    }
}

// Switch to invertible on an invertible model only says so; on theta = 2 it switches to 0.5
// and rescales the variance, and the open residual report follows; a root on the unit circle is
// refused with a message.
TEST_F(ResidualCommandsTest, SwitchToInvertible)
{
    UnivariateProject& u = *project_;
    AnswerWith(IDOK);
    std::vector<SeenDialog> seen = Command(IDM_SWITCH_INVERTIBLE);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Message box");
    EXPECT_EQ(seen[0].message, L" Model is invertible");

    u.q = 1;
    u.theta[1] = 2.0;
    u.numFree = 1;
    u.freeIndex[1] = 1;
    u.wnVariance = 1.5;
    VeskRefresh(u, 0, 1);
    Command(IDM_RESIDUAL_PLOT);
    const double variance = u.residualSsPerN;
    EXPECT_TRUE(Command(IDM_SWITCH_INVERTIBLE).empty());
    EXPECT_NEAR(u.theta[1], 0.5, 1e-9);
    EXPECT_NEAR(u.wnVariance, 6.0, 1e-6);
    EXPECT_NEAR(u.residualSsPerN, 4.0 * variance, 1e-6 * variance);
    EXPECT_EQ(u.views[VIEW_RESIDUAL].curves[1].y, u.residuals);

    // A root on the unit circle has no invertible twin: the command says so and changes nothing.
    u.theta[1] = 1.0;
    const double wn = u.wnVariance;
    AnswerWith(IDOK);
    seen = Command(IDM_SWITCH_INVERTIBLE);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"KELO::Vesk Error");
    EXPECT_EQ(seen[0].message, L"The MA part has a root on the unit circle: no invertible model has the same "
                               L"autocovariances. The model was not changed.");
    EXPECT_EQ(u.theta[1], 1.0);
    EXPECT_EQ(u.wnVariance, wn);
}
