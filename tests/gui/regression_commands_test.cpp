// The Regression menu on the real frame: Specify through dialog 171, the two fits with their
// report, the fit view, Remove, the menu states after each step and the refusals.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/plot_record.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "univariate/regression.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

std::wstring ReportText(HWND__* window) { return WindowText(ReportEditOf(Handle(window))); }

bool Grayed(UINT id) { return (GetMenuState(UnivariateMenu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

std::wstring Cell(double value)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"%15.8f", value);
    return text;
}

// A univariate project holding 40 values: a line with a wiggle.
class RegressionCommandsTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        for (int t = 1; t <= 40; ++t) data_.push_back(2.0 + 0.5 * t + 0.3 * std::sin(1.7 * t));
        project_ = &NewUnivariateProject(data_);
        ASSERT_EQ(project_->series, data_);
    }

    std::vector<SeenDialog> Command(UINT id)
    {
        SendCommand(id);
        PumpMessages();
        return TakeSeenDialogs();
    }

    // Specify answered with a degree (and optionally one harmonic) and `button`.
    std::vector<SeenDialog> Specify(const wchar_t* degree, int button = IDOK, const wchar_t* index = nullptr)
    {
        DialogAnswer answer;
        answer.inspect = [this, index](HWND dialog) {
            inspected_ = true;
            if (index) SendMessageW(GetDlgItem(dialog, IDC_TREND_HARMONIC), BM_CLICK, 0, 0);
        };
        answer.texts = {{IDC_TREND_ORDER, degree}};
        if (index) answer.texts.push_back({IDC_TREND_HARMONICS, L"1"}), answer.texts.push_back({IDC_TREND_INDEX_1, index});
        answer.button = button;
        AnswerNextDialog(answer);
        inspected_ = false;
        std::vector<SeenDialog> seen = Command(IDM_REGRESSION_SPECIFY);
        EXPECT_TRUE(inspected_);
        return seen;
    }

    // Specify, LS, GLS, Remove, Show fit: grayed or not, and Difference.
    void ExpectMenu(bool specify, bool fits, bool fitted)
    {
        EXPECT_EQ(Grayed(IDM_REGRESSION_SPECIFY), !specify);
        EXPECT_EQ(Grayed(IDM_REGRESSION_LS), !fits);
        EXPECT_EQ(Grayed(IDM_REGRESSION_GLS), !fits);
        EXPECT_EQ(Grayed(IDM_REGRESSION_REMOVE), !fitted);
        EXPECT_EQ(Grayed(IDM_REGRESSION_SHOW_FIT), !fitted);
        EXPECT_EQ(Grayed(IDM_DIFFERENCE), fitted);
        EXPECT_EQ(Grayed(IDM_SUBSEQUENCE), fitted);
    }

    UnivariateProject* project_ = nullptr;
    std::vector<double> data_;
    bool inspected_ = false;
};

}  // namespace

// Specify, Least Squares, Show fit, Remove: the report, the view's curves and the menu after
// every step, and the data back at the end with both windows closed.
TEST_F(RegressionCommandsTest, SpecifyFitShowRemove)
{
    UnivariateProject& u = *project_;
    ExpectMenu(true, false, false);
    EXPECT_EQ(Specify(L"1").size(), 1u);
    EXPECT_EQ(u.regressionSpecified, 1);
    EXPECT_EQ(u.termCount, 2);
    ExpectMenu(false, true, false);

    UnivariateFields expected = u;
    ASSERT_EQ(FitLeastSquaresTrend(expected), REGRESSION_DONE);
    EXPECT_TRUE(Command(IDM_REGRESSION_LS).empty());
    ASSERT_EQ(u.regressionPresent, 1);
    ExpectMenu(false, true, true);
    HWND__* report = u.textWindows[TEXT_REGRESSION];
    ASSERT_TRUE(IsWindow(Handle(report)));
    EXPECT_EQ(WindowText(Handle(report)), L"Regression estimates: New Univariate Project");
    const std::wstring text = ReportText(report);
    const std::vector<std::wstring> lines = {
        L"\r\nMethod: Least Squares\r\n", L"\r\n           Coeff     Value",
        L"              0" + Cell(expected.trendCoefficients[0]) + L"\r\n",
        L"              1" + Cell(expected.trendCoefficients[1]) + L"\r\n"};
    for (const std::wstring& line : lines)
        EXPECT_NE(text.find(line), std::wstring::npos) << std::string(line.begin(), line.end());
    for (size_t t = 0; t < data_.size(); ++t) EXPECT_NEAR(u.series[t] + u.trendValues[t], data_[t], 1e-12);

    EXPECT_TRUE(Command(IDM_REGRESSION_SHOW_FIT).empty());
    const PlotRecord& view = u.views[VIEW_REGRESSION];
    ASSERT_TRUE(IsWindow(Handle(view.window)));
    EXPECT_EQ(WindowText(Handle(view.window)), L"Regression Trend Function: New Univariate Project");
    ASSERT_EQ(view.curves[1].y.size(), data_.size());
    for (size_t t = 0; t < data_.size(); ++t) {
        EXPECT_NEAR(view.curves[1].y[t], data_[t], 1e-12);
        EXPECT_EQ(view.curves[2].y[t], u.trendValues[t]);
    }
    EXPECT_EQ(view.curves[1].x.front(), 1.0);
    EXPECT_EQ(view.curves[1].x.back(), 40.0);
    EXPECT_EQ(view.curves[2].showMarkers, 0);

    // GLS with the view open changes curve 2 and the report's method.
    u.p = 1;
    u.phi[1] = 0.5;
    EXPECT_TRUE(Command(IDM_REGRESSION_GLS).empty());
    EXPECT_EQ(u.regressionPresent, 2);
    EXPECT_EQ(view.curves[2].y, u.trendValues);
    EXPECT_NE(ReportText(report).find(L"Method: Generalized Least Squares"), std::wstring::npos);

    EXPECT_TRUE(Command(IDM_REGRESSION_REMOVE).empty());
    ExpectMenu(true, false, false);
    EXPECT_FALSE(IsWindow(Handle(view.window)));
    EXPECT_FALSE(IsWindow(Handle(report)));
    EXPECT_EQ(u.regressionSpecified + u.regressionPresent, 0);
    ASSERT_EQ(u.series.size(), data_.size());
    for (size_t t = 0; t < data_.size(); ++t) EXPECT_NEAR(u.series[t], data_[t], 1e-12);
}

// Cancel specifies nothing; OK with nothing chosen neither.
TEST_F(RegressionCommandsTest, CancelSpecifiesNothing)
{
    UnivariateProject& u = *project_;
    Specify(L"3", IDCANCEL);
    EXPECT_EQ(u.regressionSpecified, 0);
    EXPECT_FALSE(u.regressionDesign.present());
    ExpectMenu(true, false, false);
}

// Refusals that must change nothing: GLS from the toolbar with no trend (the message owned by the
// frame, so it cannot fall behind it), and GLS under a model that gives no residuals.
TEST_F(RegressionCommandsTest, GlsRefusals)
{
    UnivariateProject& u = *project_;
    AnswerWith(IDOK);
    std::vector<SeenDialog> seen = Command(IDM_REGRESSION_GLS);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, FrameWindow);
    EXPECT_EQ(seen[0].caption, L"KELO::Error");
    EXPECT_EQ(seen[0].message, L"Must specify regression function before estimation.");
    EXPECT_EQ(u.series, data_);
    EXPECT_EQ(u.regressionPresent, 0);

    Specify(L"1");
    u.p = 1;
    u.phi[1] = 1.5;  // not causal
    AnswerWith(IDOK);
    seen = Command(IDM_REGRESSION_GLS);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"KELO::Vesk Error");
    EXPECT_NE(seen[0].message.find(L"no residuals"), std::wstring::npos);
    EXPECT_EQ(u.series, data_);
    EXPECT_EQ(u.regressionPresent, 0);
    EXPECT_FALSE(IsWindow(Handle(u.textWindows[TEXT_REGRESSION])));
    ExpectMenu(false, true, false);

    // AR(7) on 12 values: the series is too short for the model, and the message says so.
    std::vector<double> twelve(12);
    for (size_t t = 0; t < twelve.size(); ++t) twelve[t] = 3.0 + 0.5 * double(t) + std::sin(double(t));
    ASSERT_EQ(VeskImportData(u, twelve), 1);
    PumpMessages();
    TakeSeenDialogs();
    Specify(L"1");
    u.p = 7;
    u.phi[1] = 0.5;
    AnswerWith(IDOK);
    seen = Command(IDM_REGRESSION_GLS);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"KELO::Vesk Error");
    EXPECT_EQ(seen[0].message, L"The series has 12 values: too few for the ARMA(7,0) model, which needs at least 14, "
                               L"so the regression cannot be fitted with it.");
    EXPECT_EQ(u.series, twelve);
    EXPECT_EQ(u.regressionPresent, 0);
}

// Generalized LS on a design the dialog accepts fits it: harmonics at Fourier indices 10 and
// 88 = n - 10 beside a constant, whose 88 pair repeats the 10 pair, once stopped the fit with the
// library's "not positive definite" message, leaving Specify and Remove grayed until Least
// Squares was run. Now it fits, names the repeats, and the menu offers Remove. A fit that is
// refused (a model that is not causal gives no residuals to whiten with) leaves the menu as it
// was, whichever state it started from: specified, or fitted by least squares.
TEST_F(RegressionCommandsTest, GlsFitsAcceptedDesignsAndARefusalLeavesTheMenu)
{
    UnivariateProject& u = *project_;
    std::vector<double> data(98);
    for (size_t t = 0; t < data.size(); ++t) data[t] = 579.0 + std::sin(0.3 * double(t + 1)) + 0.01 * double(t + 1);
    ASSERT_EQ(VeskImportData(u, data), 1);
    PumpMessages();
    TakeSeenDialogs();
    DialogAnswer answer;
    answer.inspect = [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDC_TREND_HARMONIC), BM_CLICK, 0, 0); };
    answer.texts = {{IDC_TREND_ORDER, L"0"}, {IDC_TREND_HARMONICS, L"2"}, {IDC_TREND_INDEX_1, L"10"},
                    {IDC_TREND_INDEX_2, L"88"}};
    AnswerNextDialog(answer);
    Command(IDM_REGRESSION_SPECIFY);
    ASSERT_EQ(u.termCount, 5);
    ExpectMenu(false, true, false);
    u.p = 1;
    u.phi[1] = 0.5;
    AnswerWith(IDOK);
    std::vector<SeenDialog> seen = Command(IDM_REGRESSION_GLS);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Generalized LS");
    EXPECT_NE(seen[0].message.find(L"Cos(2*pi*t88/N) repeats the earlier term Cos(2*pi*t10/N)."), std::wstring::npos)
        << std::string(seen[0].message.begin(), seen[0].message.end());
    EXPECT_EQ(u.regressionPresent, 2);
    ExpectMenu(false, true, true);
    EXPECT_TRUE(Command(IDM_REGRESSION_REMOVE).empty());
    ExpectMenu(true, false, false);

    Specify(L"1");
    u.phi[1] = 1.5;
    for (const bool fitted : {false, true}) {
        SCOPED_TRACE(fitted ? "fitted by least squares" : "specified");
        if (fitted) {
            EXPECT_TRUE(Command(IDM_REGRESSION_LS).empty());
            ASSERT_EQ(u.regressionPresent, 1);
        }
        ExpectMenu(false, true, fitted);
        AnswerWith(IDOK);
        seen = Command(IDM_REGRESSION_GLS);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_NE(seen[0].message.find(L"no residuals"), std::wstring::npos);
        EXPECT_EQ(u.regressionPresent, fitted ? 1 : 0);
        ExpectMenu(false, true, fitted);
    }
    // The Remove the menu offers works.
    EXPECT_TRUE(Command(IDM_REGRESSION_REMOVE).empty());
    ExpectMenu(true, false, false);
    for (size_t t = 0; t < data.size(); ++t) EXPECT_NEAR(u.series[t], data[t], 1e-12);
}

// A fit rewrites the estimates in their window and brings it to the front, even when the user
// had put other windows over it: the command is seen to have done something.
TEST_F(RegressionCommandsTest, FitsBringTheirEstimatesToTheFront)
{
    UnivariateProject& u = *project_;
    Specify(L"1");
    u.p = 1;
    u.phi[1] = 0.5;
    for (UINT fit : {IDM_REGRESSION_LS, IDM_REGRESSION_GLS}) {
        SCOPED_TRACE(fit);
        HWND data = Handle(u.dataView.window);
        if (HWND report = Handle(u.textWindows[TEXT_REGRESSION])) {
            // The data window, made active, covers the report.
            RECT r{};
            GetWindowRect(data, &r);
            MapWindowPoints(nullptr, MdiClient, reinterpret_cast<POINT*>(&r), 2);
            SetWindowPos(report, nullptr, r.left + 10, r.top + 10, (r.right - r.left) / 2, (r.bottom - r.top) / 2,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageW(MdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(data), 0);
            PumpMessages();
            ASSERT_FALSE(ShownInClient(report));
        }
        EXPECT_TRUE(Command(fit).empty());
        HWND report = Handle(u.textWindows[TEXT_REGRESSION]);
        ASSERT_TRUE(IsWindow(report));
        EXPECT_TRUE(ShownInClient(report));
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0)), report);
    }
    EXPECT_NE(ReportText(u.textWindows[TEXT_REGRESSION]).find(L"Method: Generalized Least Squares"), std::wstring::npos);
}

// A harmonic at index n beside the intercept: its cosine is the constant and its sine is zero at
// every t. Either fit leaves both out, fits the rest and then, with the estimates already
// written, names the terms it left out, with their reasons, in a box captioned by the command.
// Generalized LS gives them a variance of 0 and the constant its own, with no warning.
TEST_F(RegressionCommandsTest, FitsNameTheTermTheyLeftOut)
{
    UnivariateProject& u = *project_;
    Specify(L"0", IDOK, L"40");
    ASSERT_EQ(u.termCount, 3);
    u.p = 1;
    u.phi[1] = 0.3;
    struct Case {
        UINT command;
        const wchar_t* caption;
        int32_t present;
    };
    const Case cases[] = {{IDM_REGRESSION_LS, L"Least Squares", 1}, {IDM_REGRESSION_GLS, L"Generalized LS", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.present);
        bool fittedFirst = false;
        DialogAnswer answer;
        answer.inspect = [&u, &fittedFirst, &c](HWND) {
            fittedFirst = u.regressionPresent == c.present && IsWindow(Handle(u.textWindows[TEXT_REGRESSION]));
        };
        AnswerNextDialog(answer);
        const std::vector<SeenDialog> seen = Command(c.command);
        ASSERT_EQ(seen.size(), 1u);
        const SeenDialog& box = seen.back();
        EXPECT_EQ(box.owner, FrameWindow);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_NE(box.message.find(L"\nCos(2*pi*t40/N) repeats the earlier term t^0 (the constant)."), std::wstring::npos)
            << std::string(box.message.begin(), box.message.end());
        EXPECT_NE(box.message.find(L"\nSin(2*pi*t40/N) is zero at every t."), std::wstring::npos);
        EXPECT_TRUE(fittedFirst);
        ASSERT_EQ(u.regressionPresent, c.present);
        ASSERT_EQ(u.trendCoefficients.size(), 3u);
        EXPECT_EQ(u.trendCoefficients[1], 0.0);
        EXPECT_EQ(u.trendCoefficients[2], 0.0);
        for (size_t t = 0; t < data_.size(); ++t) {
            EXPECT_TRUE(std::isfinite(u.trendValues[t]));
            EXPECT_NEAR(u.series[t] + u.trendValues[t], data_[t], 1e-9);
        }
    }
    ASSERT_EQ(u.coefficientCovariance.values.size(), 9u);
    EXPECT_GT(u.coefficientCovariance.values[0], 0.0);
    for (size_t k = 1; k < 9; ++k) EXPECT_EQ(u.coefficientCovariance.values[k], 0.0) << k;
}

// A difference in the specified state, then Least Squares: the fit uses the new length.
TEST_F(RegressionCommandsTest, DifferenceAfterSpecify)
{
    UnivariateProject& u = *project_;
    Specify(L"1");
    DialogAnswer lag;
    lag.texts = {{IDC_DIFFERENCE_LAG, L"1"}};
    AnswerNextDialog(lag);
    Command(IDM_DIFFERENCE);
    ASSERT_EQ(u.n, 39);
    EXPECT_TRUE(Command(IDM_REGRESSION_LS).empty());
    EXPECT_EQ(u.regressionPresent, 1);
    ASSERT_EQ(u.trendValues.size(), 39u);
    EXPECT_EQ(u.regressionDesign.rows, 39);
}

// The maximum likelihood report of an optimised AR(1) shows the BIC and the FPE of the fit.
TEST_F(RegressionCommandsTest, MaxLikelihoodReportShowsCriteria)
{
    UnivariateProject& u = *project_;
    const std::vector<double> lh = {2.4, 2.4, 2.4, 2.2, 2.1, 1.5, 2.3, 2.3, 2.5, 2,   1.9, 1.7, 2.2, 1.8, 3.2, 3.2,
                                    2.7, 2.2, 2.2, 1.9, 1.9, 1.8, 2.7, 3,   2.3, 2,   2,   2.9, 2.9, 2.7, 2.7, 2.3,
                                    2.6, 2.4, 1.8, 1.7, 1.5, 1.4, 2.1, 3.3, 3.5, 3.5, 3.1, 2.6, 2.1, 3.4, 3,   2.9};
    ASSERT_EQ(VeskImportData(u, lh), 1);
    PumpMessages();
    TakeSeenDialogs();
    u.p = 1;
    u.phi[1] = 0.001;
    u.numFree = 1;
    u.freeIndex[1] = 1;
    AnswerWith(IDOK);  // Subtract Mean?
    AnswerWith(IDOK);  // the estimation dialog
    EXPECT_EQ(Command(IDM_MAX_LIKELIHOOD).size(), 2u);
    UnivariateFields criteria = u;
    ModelCriteria(criteria);
    EXPECT_NE(criteria.bic, 0.0);
    wchar_t bic[64], fpe[64];
    std::swprintf(bic, 64, L"BIC  = %.6f\r\n", criteria.bic);
    std::swprintf(fpe, 64, L"FPE  = %.6f\r\n", criteria.fpe);
    HWND__* window = u.textWindows[TEXT_MLE];
    ASSERT_TRUE(IsWindow(Handle(window)));
    const std::wstring report = ReportText(window);
    EXPECT_NE(report.find(bic), std::wstring::npos) << std::string(report.begin(), report.end());
    EXPECT_NE(report.find(fpe), std::wstring::npos);
    EXPECT_NEAR(criteria.fpe, u.wnVariance * 49.0 / 47.0, 1e-12);
}
