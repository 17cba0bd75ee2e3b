#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/number_format.h"
#include "shell/project_table.h"
#include "shell/win32/info_window.h"
#include "univariate/forecasting.h"
#include "univariate/refresh.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/univariate_reports.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

// A univariate project of n values of a trending wave with period 12.
class ForecastCommandsTest : public FrameFixture {
protected:
    void Open(int n, double scale = 1)
    {
        ASSERT_EQ(NewProjectOfKind(1), 1);
        project_ = ProjectTable[1].univariate;
        ASSERT_NE(project_, nullptr);
        std::vector<double> x;
        for (int t = 1; t <= n; ++t)
            x.push_back(scale * (10 + 0.1 * t + std::sin(0.5236 * t) + 0.3 * std::cos(1.9 * t)));
        ASSERT_EQ(VeskImportData(*project_, x), 1);
        PumpMessages();
        TakeSeenDialogs();
    }

    std::vector<SeenDialog> Command(UINT id)
    {
        SendCommand(id);
        PumpMessages();
        return TakeSeenDialogs();
    }

    UnivariateProject* project_ = nullptr;
};

}  // namespace

// A series in currency units (a white-noise variance of 1e8 and more, beyond F15.6): the dialog
// proposes the variance in a form OK reads back, and OK on the proposal forecasts at once; it
// used to propose asterisks and come back silently until a variance was typed.
TEST_F(ForecastCommandsTest, ArmaDialogProposalOfALargeVarianceIsAccepted)
{
    Open(40, 1e5);
    UnivariateProject& u = *project_;
    u.p = 1;
    u.phi[1] = 0.5;
    VeskRefresh(u, 0, 1);
    ASSERT_GE(u.residualSsPerN, 1e8);
    std::wstring proposed;
    DialogAnswer ok = Press(IDOK, {{IDC_FC_STEPS, L"5"}});
    ok.inspect = [&](HWND dialog) { proposed = ItemText(dialog, IDC_FC_VARIANCE); };
    AnswerNextDialog(ok);
    EXPECT_EQ(Command(IDM_FORECAST_ARMA).size(), 1u);
    EXPECT_EQ(proposed.find(L'*'), std::wstring::npos) << Utf8Text(proposed);
    EXPECT_EQ(u.armaForecasts.size(), 5u);
    EXPECT_NEAR(u.wnVariance, u.residualSsPerN, 1e-5 * u.residualSsPerN);
}

// Dialog 146 without transforms: the four transform boxes and the regression box are unchecked
// and disabled; OK draws data and forecasts into the titled view; Cancel changes only the
// proposed count; 0 forecasts is refused and the next showing proposes 10.
TEST_F(ForecastCommandsTest, ArmaDialog)
{
    Open(40);
    UnivariateProject& u = *project_;
    u.p = 1;
    u.phi[1] = 0.5;
    VeskRefresh(u, 0, 1);
    ASSERT_GT(u.residualSsPerN, 0.0);

    bool inspected = false;
    DialogAnswer ok = Press(IDOK, {{IDC_FC_STEPS, L"5"}});
    ok.inspect = [&](HWND dialog) {
        inspected = true;
        EXPECT_EQ(WindowText(dialog), L"ARMA Forecast");
        EXPECT_EQ(ItemText(dialog, IDC_FC_STEPS), L"10");
        EXPECT_EQ(ItemText(dialog, IDC_FC_VARIANCE), WideText(FixedText(u.residualSsPerN, 6)));
        EXPECT_EQ(ItemText(dialog, IDC_FC_VARIANCE), WideText(ForecastVarianceText(u.residualSsPerN)));
        for (int id : {IDC_FC_ADD_MEAN, IDC_FC_ADD_TREND, IDC_FC_UNDIFFERENCE, IDC_FC_INVERT_BOXCOX, IDC_FC_REGRESSION}) {
            EXPECT_EQ(IsDlgButtonChecked(dialog, id), static_cast<UINT>(BST_UNCHECKED)) << id;
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
        }
    };
    AnswerNextDialog(ok);
    EXPECT_EQ(Command(IDM_FORECAST_ARMA).size(), 1u);
    EXPECT_TRUE(inspected);
    const PlotRecord& view = u.views[VIEW_ARMA_FORECAST];
    ASSERT_TRUE(IsWindow(Handle(view.window)));
    EXPECT_EQ(WindowText(Handle(view.window)), L"ARMA Forecast: New Univariate Project");
    EXPECT_EQ(view.curves[1].y, u.series);
    EXPECT_EQ(view.curves[1].x.front(), 1.0);
    ASSERT_EQ(view.curves[2].y.size(), 5u);
    EXPECT_EQ(view.curves[2].y, u.armaForecasts);
    EXPECT_EQ(view.curves[2].x.front(), 41.0);
    EXPECT_EQ(view.curves[2].filledMarkers, 1);
    EXPECT_EQ(u.forecastSteps, 5);

    // Cancel: only the proposed count changes.
    const std::vector<double> forecasts = u.armaForecasts;
    u.forecastSteps = 0;
    AnswerNextDialog(Press(IDCANCEL));
    EXPECT_EQ(Command(IDM_FORECAST_ARMA).size(), 1u);
    EXPECT_EQ(u.forecastSteps, 10);
    EXPECT_EQ(u.armaForecasts, forecasts);

    // 100001 refused, then Cancel: the open view's refresh still forecasts the stored count.
    u.forecastSteps = 5;
    AnswerNextDialog(Press(IDOK, {{IDC_FC_STEPS, L"100001"}}));
    AnswerNextDialog(Press(IDOK));
    AnswerNextDialog(Press(IDCANCEL));
    EXPECT_EQ(Command(IDM_FORECAST_ARMA).size(), 3u);
    EXPECT_EQ(u.forecastSteps, 5);
    VeskRefresh(u, 0, 1);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    EXPECT_EQ(u.armaForecasts, forecasts);
    EXPECT_EQ(view.curves[2].y, forecasts);
    u.forecastSteps = 10;

    // 0 forecasts: the message, then the dialog again with 10.
    bool again = false;
    AnswerNextDialog(Press(IDOK, {{IDC_FC_STEPS, L"0"}}));
    AnswerNextDialog(Press(IDOK));
    DialogAnswer cancel = Press(IDCANCEL);
    cancel.inspect = [&](HWND dialog) {
        again = true;
        EXPECT_EQ(ItemText(dialog, IDC_FC_STEPS), L"10");
    };
    AnswerNextDialog(cancel);
    const std::vector<SeenDialog> seen = Command(IDM_FORECAST_ARMA);
    EXPECT_TRUE(again);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].message, L" Number of predictors must be larger than 0");
    EXPECT_EQ(seen[1].caption, L"Error");
    EXPECT_EQ(u.armaForecasts, forecasts);
}

// A model change with the view open redraws it through the refresh and keeps the white-noise
// variance the user gave; a model that cannot be evaluated clears the view.
TEST_F(ForecastCommandsTest, RefreshRedrawsAndKeepsTheVariance)
{
    Open(40);
    UnivariateProject& u = *project_;
    u.p = 1;
    u.phi[1] = 0.5;
    VeskRefresh(u, 0, 1);
    AnswerNextDialog(Press(IDOK));
    Command(IDM_FORECAST_ARMA);
    const PlotRecord& view = u.views[VIEW_ARMA_FORECAST];
    ASSERT_TRUE(IsWindow(Handle(view.window)));
    const std::vector<double> before = u.armaForecasts;

    u.phi[1] = -0.3;
    u.wnVariance = 2.5;  // as Specify Model leaves it
    VeskRefresh(u, 0, 1);
    EXPECT_EQ(u.wnVariance, 2.5);
    ASSERT_EQ(u.armaForecasts.size(), 10u);
    EXPECT_NE(u.armaForecasts, before);
    EXPECT_EQ(view.curves[2].y, u.armaForecasts);

    u.phi[1] = 1.5;  // not causal
    VeskRefresh(u, 0, 1);
    EXPECT_TRUE(u.armaForecasts.empty());
    EXPECT_TRUE(view.curves[2].y.empty());
    EXPECT_TRUE(TakeSeenDialogs().empty());

    // After the dialog the failure is said (the variance is typed: the residuals are gone).
    AnswerNextDialog(Press(IDOK, {{IDC_FC_VARIANCE, L"1"}}));
    AnswerNextDialog(Press(IDOK));
    const std::vector<SeenDialog> seen = Command(IDM_FORECAST_ARMA);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, L"ERROR");
    EXPECT_NE(seen[1].message.find(L"no forecasts were made"), std::wstring::npos);
}

// Dialog 102: 31 observations are refused and the dialog stays; the complete set of 60 draws
// the titled view.
TEST_F(ForecastCommandsTest, ArarDialog)
{
    Open(60);
    UnivariateProject& u = *project_;
    bool stayed = false;
    DialogAnswer subset = Press(IDOK, {}, {});
    subset.inspect = [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"ARAR Forecasting");
        EXPECT_EQ(ItemText(dialog, IDC_ARAR_LAST_LABEL),
                  L"Enter index of last observation in subset  (total number of observations is 60)");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_FC_UNTRANSFORMED)));
        SendDlgItemMessageW(dialog, IDC_ARAR_ALL, BM_SETCHECK, BST_UNCHECKED, 0);
        SendDlgItemMessageW(dialog, IDC_ARAR_SUBSET, BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_ARAR_LAST)));
        SetDlgItemTextW(dialog, IDC_ARAR_LAST, L"31");
    };
    AnswerNextDialog(subset);
    AnswerNextDialog(Press(IDOK));  // the message
    DialogAnswer cancel = Press(IDCANCEL);
    cancel.inspect = [&](HWND) { stayed = true; };
    AnswerNextDialog(cancel);
    std::vector<SeenDialog> seen = Command(IDM_FORECAST_ARAR);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].message, L"Need at least 30 observations to run ARAR");
    EXPECT_EQ(seen[1].caption, L"ERROR");
    EXPECT_EQ(u.views[VIEW_ARAR_FORECAST].window, nullptr);

    AnswerNextDialog(Press(IDOK, {{IDC_FC_STEPS, L"6"}}));
    seen = Command(IDM_FORECAST_ARAR);
    ASSERT_EQ(seen.size(), 1u);
    const PlotRecord& view = u.views[VIEW_ARAR_FORECAST];
    ASSERT_TRUE(IsWindow(Handle(view.window)));
    EXPECT_EQ(WindowText(Handle(view.window)), L"ARAR Forecast: New Univariate Project");
    EXPECT_EQ(u.ararLast, 60);
    EXPECT_EQ(u.ararForecastEnd, 66);
    ASSERT_EQ(view.curves[2].y.size(), 6u);
    EXPECT_EQ(view.curves[2].x.front(), 61.0);
}

// Dialogs 104 and 103: a constant outside [0, 1] and a period of 1 are refused with the dialog
// staying open; OK draws the titled views and sets the engine's last index for the reports.
TEST_F(ForecastCommandsTest, HoltWintersDialogs)
{
    Open(48);
    UnivariateProject& u = *project_;
    int shown = 0;
    DialogAnswer alpha = Press(IDOK, {{IDC_HW_ALPHA, L"1.5"}}, {});
    alpha.inspect = [&](HWND dialog) {
        ++shown;
        EXPECT_EQ(WindowText(dialog), L"Holt-Winters Forecasting");
        // Unchecking the optimisation enables the constants.
        SendDlgItemMessageW(dialog, IDC_HW_OPTIMISE, BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_HW_ALPHA)));
    };
    AnswerNextDialog(alpha);
    AnswerNextDialog(Press(IDOK));
    DialogAnswer cancel = Press(IDCANCEL);
    cancel.inspect = [&](HWND) { ++shown; };
    AnswerNextDialog(cancel);
    std::vector<SeenDialog> seen = Command(IDM_FORECAST_HOLT_WINTERS);
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].message, L"alpha must be between 0 and 1");
    EXPECT_EQ(u.views[VIEW_HW_FORECAST].window, nullptr);

    AnswerNextDialog(Press(IDOK, {{IDC_FC_STEPS, L"4"}}));
    Command(IDM_FORECAST_HOLT_WINTERS);
    const PlotRecord& hw = u.views[VIEW_HW_FORECAST];
    ASSERT_TRUE(IsWindow(Handle(hw.window)));
    EXPECT_EQ(WindowText(Handle(hw.window)), L"Holt-Winters Forecast: New Univariate Project");
    EXPECT_EQ(u.hwEngineLast, 48);
    EXPECT_EQ(hw.curves[2].x.front(), 49.0);
    EXPECT_EQ(hw.curves[2].y.size(), 4u);

    shown = 0;
    DialogAnswer period = Press(IDOK, {{IDC_SHW_PERIOD, L"1"}});
    period.inspect = [&](HWND dialog) {
        ++shown;
        EXPECT_EQ(WindowText(dialog), L"Seasonal Holt-Winters Forecasting");
        EXPECT_EQ(ItemText(dialog, IDC_SHW_PERIOD), L"12");
        EXPECT_EQ(ItemText(dialog, IDC_SHW_GAMMA), L"0.20000");
    };
    AnswerNextDialog(period);
    AnswerNextDialog(Press(IDOK));
    AnswerNextDialog(Press(IDOK, {{IDC_SHW_PERIOD, L"12"}}));
    seen = Command(IDM_FORECAST_SEASONAL_HW);
    EXPECT_EQ(shown, 1);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].message, L"Period must be greater than 1");
    const PlotRecord& shw = u.views[VIEW_SHW_FORECAST];
    ASSERT_TRUE(IsWindow(Handle(shw.window)));
    EXPECT_EQ(WindowText(Handle(shw.window)), L"Seasonal Holt-Winters Forecast: New Univariate Project");
    EXPECT_EQ(u.shwPeriod, 12);
    EXPECT_EQ(u.shwEngineLast, 48);
    EXPECT_EQ(shw.curves[2].y.size(), 4u);
}

// Cancel in dialogs 146, 102, 104 and 103 changes only what the dialog proposed: the count
// raised to 10, the complete range reset to 1..T and the seasonal period 12; no view opens. A
// count refused before the Cancel (100001, or 0) is not kept: the next refresh of an open ARMA
// forecast view once failed on it without a word.
TEST_F(ForecastCommandsTest, CancelChangesOnlyThePrefill)
{
    Open(48);
    UnivariateProject& u = *project_;
    const struct {
        UINT command;
        const wchar_t* refused;  // typed before the Cancel; nullptr: none
        const wchar_t* message;
    } cases[] = {
        {IDM_FORECAST_ARMA, nullptr, nullptr},
        {IDM_FORECAST_ARMA, L"100001", L"Number of predictors must be at most 100000"},
        {IDM_FORECAST_ARMA, L"0", L" Number of predictors must be larger than 0"},
        {IDM_FORECAST_ARAR, nullptr, nullptr},
        {IDM_FORECAST_ARAR, L"100001", L"Number of predictors must be at most 100000"},
        {IDM_FORECAST_HOLT_WINTERS, nullptr, nullptr},
        {IDM_FORECAST_HOLT_WINTERS, L"100001", L"Number of predictors must be at most 100000"},
        {IDM_FORECAST_SEASONAL_HW, nullptr, nullptr},
        {IDM_FORECAST_SEASONAL_HW, L"0", L"Number of predictors MUST be greater than 0"},
        // An entry that is no whole number is refused with its reason, never silently.
        {IDM_FORECAST_ARMA, L"abc", L"Number of forecasts \"abc\" is not a number."},
        {IDM_FORECAST_ARAR, L"1.5", L"Number of forecasts \"1.5\" is not a whole number."},
        {IDM_FORECAST_HOLT_WINTERS, L"abc", L"Number of forecasts \"abc\" is not a number."},
        {IDM_FORECAST_SEASONAL_HW, L"2,5", L"Number of forecasts \"2,5\" has a decimal comma: type a decimal point."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.command) + (c.refused ? " after " + Utf8Text(c.refused) : std::string()));
        const UINT id = c.command;
        u.forecastSteps = 0;
        u.ararLast = u.hwLast = u.shwLast = 7;
        u.shwPeriod = 0;
        if (c.refused) {
            AnswerNextDialog(Press(IDOK, {{IDC_FC_STEPS, c.refused}}));
            AnswerNextDialog(Press(IDOK));  // the refusal
        }
        AnswerNextDialog(Press(IDCANCEL));
        const std::vector<SeenDialog> seen = Command(id);
        ASSERT_EQ(seen.size(), c.refused ? 3u : 1u);
        if (c.refused) {
            EXPECT_EQ(seen[1].message, c.message);
        }
        EXPECT_EQ(u.forecastSteps, 10);
        if (id != IDM_FORECAST_ARMA) {
            const int32_t last = id == IDM_FORECAST_ARAR ? u.ararLast : id == IDM_FORECAST_HOLT_WINTERS ? u.hwLast : u.shwLast;
            EXPECT_EQ(last, 48);
        }
        EXPECT_EQ(u.shwPeriod, id == IDM_FORECAST_SEASONAL_HW ? 12 : 0);
    }
    for (int v : {VIEW_ARMA_FORECAST, VIEW_ARAR_FORECAST, VIEW_HW_FORECAST, VIEW_SHW_FORECAST})
        EXPECT_EQ(u.views[v].window, nullptr);
    EXPECT_TRUE(u.armaForecasts.empty());
    EXPECT_TRUE(u.ararForecasts.empty());
    EXPECT_TRUE(u.hwForecasts.empty());
    EXPECT_TRUE(u.shwForecasts.empty());
}

// Box-Cox, difference at lag 1 and subtract mean: the boxes of the three transforms are offered
// checked; with only "Invert Box-Cox transformation." left checked the forcing rules add the
// mean and undifference, so the data curve is the imported series (n + 1 points).
TEST_F(ForecastCommandsTest, ArmaInvertBoxCoxForcesTheOtherUndoSteps)
{
    Open(40);
    UnivariateProject& u = *project_;
    const std::vector<double> imported = u.series;
    ASSERT_TRUE(ApplyBoxCox(u, 0.5));
    ASSERT_TRUE(ApplyDifference(u, 1));
    ASSERT_TRUE(ApplySubtractMean(u));
    VeskRefresh(u, 1, 0);
    bool inspected = false;
    DialogAnswer answer = Press(IDOK, {{IDC_FC_VARIANCE, L"1"}},
                                {{IDC_FC_ADD_MEAN, false}, {IDC_FC_UNDIFFERENCE, false}, {IDC_FC_INVERT_BOXCOX, true}});
    answer.inspect = [&](HWND dialog) {
        inspected = true;
        for (int id : {IDC_FC_ADD_MEAN, IDC_FC_UNDIFFERENCE, IDC_FC_INVERT_BOXCOX}) {
            EXPECT_EQ(IsDlgButtonChecked(dialog, id), static_cast<UINT>(BST_CHECKED)) << id;
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
        }
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_FC_ADD_TREND)));
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(Command(IDM_FORECAST_ARMA).size(), 1u);
    EXPECT_TRUE(inspected);
    EXPECT_EQ(u.forecastAddMean, 1);
    EXPECT_EQ(u.forecastUndifference, 1);
    const PlotRecord& view = u.views[VIEW_ARMA_FORECAST];
    ASSERT_EQ(view.curves[1].y.size(), imported.size());
    for (size_t t = 0; t < imported.size(); ++t) EXPECT_NEAR(view.curves[1].y[t], imported[t], 1e-9) << t;
    EXPECT_EQ(view.curves[1].x.front(), 1.0);
    EXPECT_EQ(view.curves[2].x.front(), 41.0);
}

// With a view's report window open, each command rewrites the report after its run: ARMA and
// Holt-Winters tables hold the new count of rows.
TEST_F(ForecastCommandsTest, CommandsRewriteOpenReports)
{
    Open(48);
    UnivariateProject& u = *project_;
    const struct {
        UINT command;
        int32_t view;
        std::vector<std::pair<int, std::wstring>> texts;
        const wchar_t* lastRow;  // the row of the third forecast
    } cases[] = {
        {IDM_FORECAST_ARMA, VIEW_ARMA_FORECAST, {{IDC_FC_STEPS, L"3"}, {IDC_FC_VARIANCE, L"1"}}, L"              3"},
        {IDM_FORECAST_HOLT_WINTERS, VIEW_HW_FORECAST, {{IDC_FC_STEPS, L"3"}}, L"             51"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        AnswerNextDialog(Press(IDOK, {{IDC_FC_STEPS, L"8"}, {IDC_FC_VARIANCE, L"1"}}));
        Command(c.command);
        PlotRecord& view = u.views[c.view];
        ASSERT_NE(view.window, nullptr);
        ASSERT_EQ(VeskInfo(u, view), 1);
        ASSERT_NE(view.infoWindow, nullptr);
        AnswerNextDialog(Press(IDOK, c.texts));
        Command(c.command);
        const std::wstring report = WindowText(ReportEditOf(Handle(view.infoWindow)));
        EXPECT_NE(report.find(c.lastRow), std::wstring::npos) << report;
        // No fourth row is left from the first run.
        const std::wstring fourth = c.command == IDM_FORECAST_ARMA ? L"\r\n              4" : L"\r\n             52";
        EXPECT_EQ(report.find(fourth), std::wstring::npos) << report;
    }
}
