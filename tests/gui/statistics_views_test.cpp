#include "univariate/win32/statistics_views.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/plot_layout.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/project_commands.h"
#include "univariate/refresh.h"
#include "univariate/report_cells.h"
#include "univariate/statistics.h"
#include "univariate/statistics_reports.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/univariate_reports.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

std::wstring ReportText(HWND__* window) { return WindowText(ReportEditOf(Handle(window))); }

// An AR(1)-like series with a period-9 swing: sample correlations at many lags.
std::vector<double> Wavy(int n)
{
    std::vector<double> x(n);
    double v = 0.0;
    for (int t = 0; t < n; ++t) {
        v = 0.6 * v + std::sin(2.0 * 3.14159265358979 * t / 9.0) + 0.3 * std::cos(1.7 * t * t);
        x[t] = 10.0 + v;
    }
    return x;
}

class StatisticsViewsTest : public FrameFixture {
protected:
    // A current project holding `values`, its menus as an import leaves them.
    UnivariateProject& Project(const std::vector<double>& values)
    {
        UnivariateProject& u = NewUnivariateProject(values);
        UpdateMenus(CurrentProject);
        return u;
    }
    // Message boxes seen since the last call.
    static std::vector<SeenDialog> Messages()
    {
        std::vector<SeenDialog> out;
        for (const SeenDialog& seen : TakeSeenDialogs())
            if (!seen.message.empty()) out.push_back(seen);
        return out;
    }
    static bool Checked(UINT id) { return (GetMenuState(UnivariateMenu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
};

}  // namespace

TEST_F(StatisticsViewsTest, SampleCommandCyclesThePanelsAndRewritesTheReport)
{
    UnivariateProject& u = Project(Wavy(60));
    SendCommand(IDM_ACF_SAMPLE);
    PumpMessages();
    ASSERT_NE(u.acfView.window, nullptr);
    EXPECT_EQ(u.acfViewFlags, 25);
    EXPECT_EQ(WindowText(Handle(u.acfView.window)).rfind(L"ACF/PACF: ", 0), 0u);
    EXPECT_EQ(PanelTitleText(u.acfView, 1), "ACF");
    EXPECT_EQ(PanelTitleText(u.acfView, 2), "PACF");
    EXPECT_EQ(u.acfView.curves[1].y.size(), 41u);
    EXPECT_EQ(u.acfView.curves[1].nObs, 60);
    ASSERT_EQ(VeskInfo(u, u.acfView), 1);
    const std::wstring report = WideText(ReportWindowText(AcfReport(u)));
    EXPECT_EQ(ReportText(u.acfView.infoWindow), report);
    EXPECT_NE(report.find(L"Sample Autocorrelations:"), std::wstring::npos);

    // Sample again three times: ACF only, PACF only, both; each time the report is written anew.
    const int32_t flags[] = {9, 17, 25};
    for (int32_t expected : flags) {
        SetWindowTextW(ReportEditOf(Handle(u.acfView.infoWindow)), L"stale");
        SendCommand(IDM_ACF_SAMPLE);
        PumpMessages();
        EXPECT_EQ(u.acfViewFlags, expected);
        EXPECT_EQ(u.acfView.panels[1].inUse, (expected & 8) ? 1 : 0);
        EXPECT_EQ(u.acfView.panels[2].inUse, (expected & 16) ? 1 : 0);
        EXPECT_EQ(ReportText(u.acfView.infoWindow), report) << expected;
    }
}

TEST_F(StatisticsViewsTest, ModelOnASampleViewRedrawsInsteadOfCycling)
{
    UnivariateProject& u = Project(Wavy(60));
    u.p = 1;
    u.phi[1] = 0.5;
    SendCommand(IDM_ACF_SAMPLE);
    SendCommand(IDM_ACF_MODEL);
    PumpMessages();
    EXPECT_EQ(u.acfViewFlags, 26);
    EXPECT_EQ(u.acfView.curves[1].shown, 0);
    EXPECT_EQ(u.acfView.curves[3].shown, 0);
    EXPECT_EQ(u.acfView.curves[2].shown, 1);
    ASSERT_EQ(u.acfView.curves[2].y.size(), 41u);
    EXPECT_NEAR(u.acfView.curves[2].y[3], 0.125, 1e-15);
    EXPECT_EQ(u.acfView.curves[4].penStyle, 2);

    // With only the PACF panel in use, a model change still updates the hidden ACF curve, so the
    // panel that comes back shows the new model.
    SendCommand(IDM_ACF_MODEL);
    SendCommand(IDM_ACF_MODEL);
    ASSERT_EQ(u.acfViewFlags, 18);
    u.phi[1] = -0.4;
    VeskRefresh(u, 0, 1);
    SendCommand(IDM_ACF_MODEL);
    EXPECT_EQ(u.acfViewFlags, 26);
    ASSERT_EQ(u.acfView.curves[2].y.size(), 41u);
    EXPECT_NEAR(u.acfView.curves[2].y[1], -0.4, 1e-15);

    // Sample / Model from there draws both.
    SendCommand(IDM_ACF_SAMPLE_MODEL);
    EXPECT_EQ(u.acfViewFlags, 27);
    EXPECT_EQ(u.acfView.curves[1].shown, 1);
    EXPECT_EQ(u.acfView.curves[2].shown, 1);

    // A model without autocorrelations draws no model curves.
    u.phi[1] = 1.5;
    VeskRefresh(u, 0, 1);
    EXPECT_EQ(u.acfView.curves[2].shown, 0);
    EXPECT_TRUE(u.acfView.curves[4].y.empty());
    EXPECT_TRUE(u.modelAcf.empty());
    EXPECT_EQ(u.acfView.curves[1].shown, 1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StatisticsViewsTest, ModelWithoutDataShowsTheModelAlone)
{
    NewProjectOfKind(1);
    UnivariateProject* found = CurrentUnivariate();
    ASSERT_NE(found, nullptr);
    UnivariateProject& u = *found;
    ASSERT_FALSE(u.hasData());
    u.q = 1;
    u.theta[1] = 0.5;
    SendCommand(IDM_ACF_MODEL);
    PumpMessages();
    ASSERT_NE(u.acfView.window, nullptr);
    EXPECT_EQ(u.acfViewFlags, 26);
    EXPECT_EQ(PanelTitleText(u.acfView, 1), "");
    ASSERT_EQ(u.acfView.curves[2].y.size(), 41u);
    EXPECT_NEAR(u.acfView.curves[2].y[1], 0.4, 1e-15);
    EXPECT_EQ(u.acfView.curves[1].shown, 0);

    // Spectrum > Model draws the model's density alone; Periodogram does nothing.
    SendCommand(IDM_SPECTRUM_PERIODOGRAM);
    EXPECT_EQ(u.spectrumView.window, nullptr);
    SendCommand(IDM_SPECTRUM_MODEL);
    ASSERT_NE(u.spectrumView.window, nullptr);
    EXPECT_EQ(u.spectrumView.curves[1].shown, 0);
    ASSERT_EQ(u.spectrumView.curves[2].y.size(), 1025u);
    EXPECT_NEAR(u.spectrumView.curves[2].y[0], 2.25 / (2 * 3.14159265358979323846), 1e-12);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StatisticsViewsTest, SpecifyLagDialog)
{
    UnivariateProject& u = Project(Wavy(60));
    SendCommand(IDM_ACF_SAMPLE_MODEL);
    PumpMessages();

    // Cancel keeps everything.
    AnswerNextDialog(Press(IDCANCEL, {{IDC_LAG_COUNT, L"7"}}));
    SendCommand(IDM_ACF_SPECIFY_LAG);
    EXPECT_EQ(u.acfLags, 40);
    ASSERT_EQ(TakeSeenDialogs().size(), 1u);

    // 0 and a count above the maximum are refused with a message; the dialog comes back with
    // the old value; 60 is taken for all three lag counts and both shown curves are redrawn.
    int shown = 0;
    for (const wchar_t* entry : {L"0", L"1001", L"many"}) {
        DialogAnswer answer = Press(IDOK, {{IDC_LAG_COUNT, entry}});
        answer.inspect = [&shown](HWND dialog) {
            ++shown;
            EXPECT_EQ(WindowText(dialog), L"Specify Lag");
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_LAG_PROMPT)), L"Enter # of lags :");
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_LAG_COUNT)), L"40");
        };
        AnswerNextDialog(answer);
        AnswerNextDialog(Press(IDOK));  // the message
    }
    AnswerNextDialog(Press(IDOK, {{IDC_LAG_COUNT, L"60"}}));
    SendCommand(IDM_ACF_SPECIFY_LAG);
    EXPECT_EQ(shown, 3);
    std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 7u);
    for (int k : {1, 3, 5}) {
        EXPECT_EQ(seen[k].caption, L"KELO::Vesk Error");
        EXPECT_EQ(seen[k].message, k == 5 ? L"Number of lags \"many\" is not a number."
                                          : L"The number of lags must be a whole number from 1 to 1000");
    }
    EXPECT_EQ(u.acfLags, 60);
    EXPECT_EQ(u.modelAcfLags, 60);
    EXPECT_EQ(u.residualAcfLags, 60);
    EXPECT_EQ(u.acfView.curves[1].y.size(), 61u);
    EXPECT_EQ(u.acfView.curves[2].y.size(), 61u);
}

TEST_F(StatisticsViewsTest, SpecifyLagRedrawsAnOpenResidualAcfViewWithTheAcfViewClosed)
{
    UnivariateProject& u = Project(Wavy(60));
    static int redrawsAt12 = 0, otherRedraws = 0;
    redrawsAt12 = otherRedraws = 0;
    const ProjectRoutine installed = UnivariateRefresh.residualAcf;
    UnivariateRefresh.residualAcf = [](UnivariateProject& p) {
        ++(p.residualAcfLags == 12 ? redrawsAt12 : otherRedraws);
    };
    int windowStandIn = 0;
    u.residualAcfView.window = reinterpret_cast<HWND__*>(&windowStandIn);
    AnswerNextDialog(Press(IDOK, {{IDC_LAG_COUNT, L"12"}}));
    SendCommand(IDM_ACF_SPECIFY_LAG);
    u.residualAcfView.window = nullptr;
    UnivariateRefresh.residualAcf = installed;
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);
    EXPECT_EQ(redrawsAt12, 1);
    EXPECT_EQ(otherRedraws, 0);
    EXPECT_EQ(u.acfView.window, nullptr);
}

TEST_F(StatisticsViewsTest, HistogramAndItsBinDialog)
{
    UnivariateProject& u = Project(Wavy(100));
    SendCommand(IDM_HISTOGRAM);
    PumpMessages();
    ASSERT_NE(u.histogramView.window, nullptr);
    EXPECT_EQ(u.histogramBins, 13);
    const PlotCurve& bars = u.histogramView.curves[1];
    ASSERT_EQ(bars.y.size(), 13u);
    EXPECT_EQ(bars.style, CURVE_BARS);
    double total = 0;
    for (double c : bars.y) total += c;
    EXPECT_EQ(total, 100.0);
    EXPECT_EQ(WindowText(Handle(u.histogramView.window)).rfind(L"HISTOGRAM: ", 0), 0u);
    ASSERT_EQ(VeskInfo(u, u.histogramView), 1);
    EXPECT_EQ(ReportText(u.histogramView.infoWindow), WideText(ReportWindowText(HistogramReport(u))));
    EXPECT_NE(ReportText(u.histogramView.infoWindow).find(L"# of Bins =       13"), std::wstring::npos);

    AnswerNextDialog(Press(IDCANCEL));
    SendCommand(IDM_HISTOGRAM_BINS);
    EXPECT_EQ(u.histogramBins, 13);

    int shown = 0;
    for (const wchar_t* entry : {L"0", L"5000"}) {
        DialogAnswer answer = Press(IDOK, {{IDC_BINS_COUNT, entry}});
        answer.inspect = [&shown](HWND dialog) {
            ++shown;
            EXPECT_EQ(WindowText(dialog), L"Specify Histogram Bins");
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_BINS_COUNT)), L"13");
        };
        AnswerNextDialog(answer);
        AnswerNextDialog(Press(IDOK));
    }
    AnswerNextDialog(Press(IDOK, {{IDC_BINS_COUNT, L"4"}}));
    SendCommand(IDM_HISTOGRAM_BINS);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(u.histogramBins, 4);
    EXPECT_EQ(u.histogramView.curves[1].y.size(), 4u);

    // A second Default only brings the window forward: the bin count stays.
    SendCommand(IDM_HISTOGRAM);
    EXPECT_EQ(u.histogramBins, 4);

    // Cleared data leave the open view without the old counts.
    VeskClearData(u);
    ASSERT_NE(u.histogramView.window, nullptr);
    EXPECT_EQ(u.histogramView.curves[1].shown, 0);
    EXPECT_TRUE(u.histogramView.curves[1].y.empty());
}

TEST_F(StatisticsViewsTest, FisherDialogShowsTheValues)
{
    UnivariateProject& u = Project(Wavy(101));
    std::wstring ratio, probability;
    DialogAnswer answer = Press(IDOK);
    answer.inspect = [&](HWND dialog) {
        ratio = WindowText(GetDlgItem(dialog, IDC_FISHER_RATIO));
        probability = WindowText(GetDlgItem(dialog, IDC_FISHER_PROBABILITY));
    };
    AnswerNextDialog(answer);
    SendCommand(IDM_FISHER_TEST);
    ASSERT_EQ(TakeSeenDialogs().size(), 1u);
    ASSERT_EQ(u.fisherCount, 50);
    EXPECT_EQ(ratio, WideText(SignificantText(u.fisherStatistic, 6)));
    EXPECT_EQ(probability, WideText(SignificantText(u.fisherProbability, 6)));
    EXPECT_GT(u.fisherStatistic, 5.0);  // the period-9 swing stands out
    EXPECT_LT(u.fisherProbability, 0.01);

    // A constant series has nothing to test.
    UnivariateProject& flat = Project(std::vector<double>(12, 3.0));
    answer.inspect = [&](HWND dialog) { ratio = WindowText(GetDlgItem(dialog, IDC_FISHER_RATIO)); };
    AnswerNextDialog(answer);
    SendCommand(IDM_FISHER_TEST);
    EXPECT_EQ(flat.fisherCount, 0);
    EXPECT_EQ(ratio, L"none");
}

TEST_F(StatisticsViewsTest, LogSpectrumCheckMarkAndCurve)
{
    UnivariateProject& u = Project(Wavy(64));
    SendCommand(IDM_SPECTRUM_PERIODOGRAM);
    PumpMessages();
    ASSERT_NE(u.spectrumView.window, nullptr);
    const std::vector<double> linear = u.spectrumView.curves[1].y;
    ASSERT_EQ(linear.size(), 32u);
    EXPECT_EQ(linear, u.periodogram);

    SendCommand(IDM_LOG_SPECTRUM);
    EXPECT_EQ(u.logSpectrum, 1);
    EXPECT_TRUE(Checked(IDM_LOG_SPECTRUM));
    const std::vector<double>& logs = u.spectrumView.curves[1].y;
    ASSERT_EQ(logs.size(), 32u);
    for (size_t k = 0; k < logs.size(); ++k) EXPECT_NEAR(logs[k], std::log(linear[k]), 1e-12) << k;

    // Another project becoming current shows its own flag; coming back shows this one's.
    const int32_t first = CurrentProject;
    Project(Wavy(30));
    EXPECT_FALSE(Checked(IDM_LOG_SPECTRUM));
    SelectProject(first);
    EXPECT_TRUE(Checked(IDM_LOG_SPECTRUM));
    SendCommand(IDM_LOG_SPECTRUM);
    EXPECT_FALSE(Checked(IDM_LOG_SPECTRUM));
    EXPECT_EQ(u.spectrumView.curves[1].y, linear);
    EXPECT_TRUE(Messages().empty());
}

// Values near the largest double: a constant series has a periodogram of zeros, without the
// library's stop on X(1) - XBASE; ordinates beyond the doubles are said in one plain message.
TEST_F(StatisticsViewsTest, PeriodogramOfValuesNearTheLargestDouble)
{
    UnivariateProject& constant = Project(std::vector<double>(40, 1e308));
    SendCommand(IDM_SPECTRUM_PERIODOGRAM);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(constant.spectrumView.curves[1].y, std::vector<double>(20, 0.0));

    std::vector<double> x;
    for (int t = 1; t <= 100; ++t) x.push_back(t % 25 == 0 ? 1.7e308 : 100.0 + std::sin(0.3 * t));
    UnivariateProject& u = Project(x);
    SendCommand(IDM_SPECTRUM_BOTH);
    const std::vector<SeenDialog> seen = Messages();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"KELO::Vesk ERROR");
    EXPECT_EQ(seen[0].message, L"The values are too large for a periodogram: it is not shown.");
    EXPECT_EQ(u.ordinateCount, 0);
    EXPECT_EQ(u.spectrumView.curves[1].shown, 0);
    EXPECT_EQ(u.spectrumView.curves[2].y.size(), 1025u);  // the model curve alone

    // With that view open its spectra are not computed again; the cumulative periodogram still
    // says why it is not drawn.
    SendCommand(IDM_CUMULATIVE_PERIODOGRAM);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(u.cumSpectrumView.window, nullptr);
}

// A series of values near both ends of the doubles: each view either draws or says why not in one
// message, and no empty window is left open. The data plot has its y labels.
TEST_F(StatisticsViewsTest, ViewsOfValuesNearBothEndsOfTheDoubles)
{
    std::vector<double> x;
    for (int t = 0; t < 60; ++t) x.push_back(t % 3 == 0 ? 1.797e308 : t % 3 == 1 ? -1.797e308 : 1.0e308 * std::sin(t));
    UnivariateProject& u = Project(x);
    PanelAxes axes;
    ASSERT_EQ(LayOutPanelAxes(u.dataView.panels[u.dataView.curves[1].panel], PlotRect{0, 0, 400, 300}, axes), 1);
    ASSERT_GE(axes.y.size(), 2u);
    for (const AxisTick& tick : axes.y) EXPECT_FALSE(tick.label.empty()) << tick.value;

    const std::wstring tooLarge = L"The values are too large for a periodogram: it is not shown.";
    const struct {
        UINT command;
        const PlotRecord* view;
        bool drawn;
    } cases[] = {
        {IDM_SPECTRUM_PERIODOGRAM, &u.spectrumView, false},
        {IDM_CUMULATIVE_PERIODOGRAM, &u.cumSpectrumView, false},
        {IDM_HISTOGRAM, &u.histogramView, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        SendCommand(c.command);
        PumpMessages();
        const std::vector<SeenDialog> seen = Messages();
        if (c.drawn) {
            EXPECT_TRUE(seen.empty());
            ASSERT_NE(c.view->window, nullptr);
        } else {
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_EQ(seen[0].message, tooLarge);
            EXPECT_EQ(c.view->window, nullptr);
        }
    }
    double total = 0.0;
    for (double count : u.histogramView.curves[1].y) total += count;
    EXPECT_EQ(total, 60.0);
    for (double edge : u.histogramView.curves[1].x) EXPECT_TRUE(std::isfinite(edge));
}

TEST_F(StatisticsViewsTest, ZeroOrdinatesGiveOneMessageAndShortSeriesNone)
{
    UnivariateProject& u = Project(std::vector<double>(40, 2.5));
    u.logSpectrum = 1;
    SendCommand(IDM_SPECTRUM_PERIODOGRAM);
    const std::vector<SeenDialog> seen = Messages();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"KELO::Vesk ERROR");
    EXPECT_EQ(seen[0].message, L"Null in spectrum, setting log to -100");
    EXPECT_EQ(u.spectrumView.curves[1].y, std::vector<double>(20, -100.0));
    // No cumulative periodogram of a constant series.
    EXPECT_EQ(PlotCumulativeSpectrum(u, 1), 0);
    EXPECT_EQ(u.cumSpectrumView.window, nullptr);

    // One observation: no ordinate, no library stop, the model curve alone.
    UnivariateProject& one = Project({4.0});
    SendCommand(IDM_SPECTRUM_BOTH);
    EXPECT_EQ(one.ordinateCount, 0);
    EXPECT_EQ(one.showPeriodogram, 0);
    EXPECT_EQ(one.spectrumView.curves[1].shown, 0);
    EXPECT_EQ(one.spectrumView.curves[2].y.size(), 1025u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StatisticsViewsTest, CumulativeSpectrumAndReports)
{
    UnivariateProject& u = Project(Wavy(50));
    SendCommand(IDM_CUMULATIVE_BOTH);
    PumpMessages();
    ASSERT_NE(u.cumSpectrumView.window, nullptr);
    EXPECT_EQ(u.cumSpectrumView.curves[1].y.size(), 24u);
    EXPECT_EQ(u.cumSpectrumView.curves[2].y.size(), 1025u);
    EXPECT_DOUBLE_EQ(u.cumSpectrumView.curves[1].y.back(), 1.0);
    SendCommand(IDM_CUMULATIVE_PERIODOGRAM);
    EXPECT_EQ(u.cumSpectrumView.curves[2].shown, 0);
    ASSERT_EQ(VeskInfo(u, u.cumSpectrumView), 1);
    EXPECT_EQ(ReportText(u.cumSpectrumView.infoWindow), WideText(ReportWindowText(CumulativeSpectrumReport(u))));

    SendCommand(IDM_SPECTRUM_MODEL);
    ASSERT_EQ(VeskInfo(u, u.spectrumView), 1);
    // With the spectrum view open its spectra are current: the cumulative commands do not compute
    // them again, nor repeat what that said (here a singular model spectrum).
    u.p = 1;
    u.phi[1] = 1.0;
    VeskRefresh(u, 0, 1);
    ASSERT_FALSE(Messages().empty());
    SendCommand(IDM_CUMULATIVE_PERIODOGRAM);
    SendCommand(IDM_CUMULATIVE_BOTH);
    EXPECT_TRUE(Messages().empty());
    u.p = 0;
    VeskRefresh(u, 0, 1);
    SendCommand(IDM_CUMULATIVE_PERIODOGRAM);
    EXPECT_NE(ReportText(u.spectrumView.infoWindow).find(L"Number of frequencies in periodogram = 25"),
              std::wstring::npos);
    EXPECT_EQ(u.spectrumView.curves[1].shown, 0);
    EXPECT_EQ(u.spectrumView.curves[2].showMarkers, 0);

    // A data change redraws both views from the new series.
    u.series.resize(40);
    u.n = u.lastIndex = 40;
    VeskRefresh(u, 1, 0);
    EXPECT_EQ(u.ordinateCount, 20);
    EXPECT_EQ(u.cumSpectrumView.curves[1].y.size(), 19u);
    EXPECT_NE(ReportText(u.spectrumView.infoWindow).find(L"Number of frequencies in periodogram = 20"),
              std::wstring::npos);

    // A series that turns constant has no cumulative periodogram: the old series' curve goes and
    // the model's stays.
    SendCommand(IDM_CUMULATIVE_BOTH);
    ASSERT_EQ(u.cumSpectrumView.curves[1].y.size(), 19u);
    u.series.assign(40, 3.0);
    VeskRefresh(u, 1, 0);
    EXPECT_EQ(u.cumSpectrumView.curves[1].shown, 0);
    EXPECT_TRUE(u.cumSpectrumView.curves[1].y.empty());
    EXPECT_EQ(u.cumSpectrumView.curves[2].shown, 1);
    EXPECT_EQ(u.cumSpectrumView.curves[2].y.size(), 1025u);
}

// Opening the spectrum view of a long series takes long enough to want the hourglass: the busy
// routine runs around the computation from the long-series length on, and not below it.
TEST_F(StatisticsViewsTest, SpectrumOfALongSeriesShowsTheBusyRoutine)
{
    static std::vector<int32_t> calls;
    const auto installed = UnivariateRefresh.busy;
    UnivariateRefresh.busy = [](UnivariateProject&, int32_t on) { calls.push_back(on); };
    for (const int32_t n : {kBusyRefreshLength - 1, kBusyRefreshLength}) {
        UnivariateProject& u = Project(Wavy(n));
        calls.clear();  // loading refreshes a long series under the busy routine too
        SendCommand(IDM_SPECTRUM_PERIODOGRAM);
        EXPECT_NE(u.spectrumView.window, nullptr) << n;
        EXPECT_EQ(u.ordinateCount, n / 2) << n;
        EXPECT_EQ(calls, (n < kBusyRefreshLength ? std::vector<int32_t>{} : std::vector<int32_t>{1, 0})) << n;
        // A second command redraws the open view without computing again.
        calls.clear();
        SendCommand(IDM_SPECTRUM_BOTH);
        EXPECT_TRUE(calls.empty()) << n;
    }
    UnivariateRefresh.busy = installed;
}
