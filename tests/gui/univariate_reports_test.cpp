#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gui_harness.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/toolbar.h"
#include "univariate/data_report.h"
#include "univariate/model_text.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/specify_model_dialog.h"
#include "univariate/win32/univariate_reports.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

// The text of a report window's edit control.
std::wstring ReportText(HWND__* window) { return WindowText(ReportEditOf(Handle(window))); }

class UnivariateReportsTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        AnswerNextDialog(DialogAnswer{});
        SendCommand(IDM_PROJECT_NEW);
        project_ = ProjectTable[1].univariate;
        ASSERT_NE(project_, nullptr);
        TakeSeenDialogs();
    }
    UnivariateProject* project_ = nullptr;
};

}  // namespace

TEST_F(UnivariateReportsTest, InfoOnTheDataViewWritesTheDataReportAndTheRefreshRewritesIt)
{
    UnivariateProject& u = *project_;
    ASSERT_EQ(VeskImportData(u, {1, 2, 3, 4}), 1);
    ASSERT_EQ(VeskInfo(u, u.dataView), 1);
    PumpMessages();
    ASSERT_TRUE(IsWindow(Handle(u.dataView.infoWindow)));
    EXPECT_EQ(WindowText(Handle(u.dataView.infoWindow)), L"INFO: New Univariate Project");
    const std::wstring text = ReportText(u.dataView.infoWindow);
    EXPECT_EQ(text, WideText(ReportWindowText(DataReport(u))));
    EXPECT_EQ(text.rfind(L"==========\r\nKELO::Vesk\r\n==========\r\n# of Data Points =        4\r\n", 0), 0u);
    EXPECT_NE(text.find(L"Std.Error(Sample Mean) =  0.625000\r\n"), std::wstring::npos);

    // New data: the open report is rewritten, not appended to.
    ASSERT_EQ(VeskImportData(u, {1, 2, 3, 4, 5, 6, 7, 8, 9}), 1);
    const std::wstring again = ReportText(u.dataView.infoWindow);
    EXPECT_EQ(again, WideText(ReportWindowText(DataReport(u))));
    EXPECT_NE(again.find(L"Sample Mean = 5.0000\r\n"), std::wstring::npos);
    EXPECT_EQ(again.find(L"2.5000"), std::wstring::npos);
}

// Info on a view with an open report restores and focuses that report without rewriting it.
TEST_F(UnivariateReportsTest, InfoWithTheReportOpenRestoresIt)
{
    UnivariateProject& u = *project_;
    ASSERT_EQ(VeskImportData(u, {1, 2, 3, 4}), 1);
    ASSERT_EQ(VeskInfo(u, u.dataView), 1);
    HWND info = Handle(u.dataView.infoWindow);
    InfoPrint(info, "a line the user sees", 21);
    ShowWindow(info, SW_MINIMIZE);
    SetFocus(Handle(u.dataView.window));
    PumpMessages();
    SendCommand(IDM_INFO);
    EXPECT_FALSE(IsIconic(info));
    EXPECT_EQ(GetFocus(), info);
    EXPECT_NE(ReportText(u.dataView.infoWindow).find(L"a line the user sees"), std::wstring::npos);
}

// VeskInfo writes the report of the view whose window it is given: here the residual plot, and
// the regression view, whose estimates go to the project's regression window only.
TEST_F(UnivariateReportsTest, InfoReachesTheReportOfEachView)
{
    UnivariateProject& u = *project_;
    ASSERT_EQ(VeskImportData(u, {1, 2, 3, 4, 5}), 1);
    PlotRecord& residuals = u.views[VIEW_RESIDUAL];
    ASSERT_EQ(CreatePlotWindow(residuals, 1), 1);
    residuals.slot = 1;
    u.residualSsPerN = 0.5;
    ASSERT_EQ(VeskInfo(u, residuals), 1);
    EXPECT_EQ(ReportText(residuals.infoWindow), L"=========================\r\nKELO::Vesk(Residual Plot)\r\n"
                                                L"=========================\r\n  \r\nResidual Variance = 0.50000000\r\n  \r\n");
    EXPECT_FALSE(IsWindow(Handle(u.dataView.infoWindow)));

    PlotRecord& regression = u.views[VIEW_REGRESSION];
    ASSERT_EQ(CreatePlotWindow(regression, 1), 1);
    regression.slot = 1;
    u.regressionPresent = 1;
    u.termCount = 1;
    u.trendCoefficients = {2.5};
    ASSERT_EQ(VeskInfo(u, regression), 1);
    PumpMessages();
    EXPECT_FALSE(IsWindow(Handle(regression.infoWindow)));
    ASSERT_TRUE(IsWindow(Handle(u.textWindows[TEXT_REGRESSION])));
    EXPECT_EQ(WindowText(Handle(u.textWindows[TEXT_REGRESSION])), L"Regression estimates: New Univariate Project");
    EXPECT_NE(ReportText(u.textWindows[TEXT_REGRESSION]).find(L"              0     2.50000000\r\n"), std::wstring::npos);
}

// The AR/MA infinity report opens its own window and follows every change of the model.
TEST_F(UnivariateReportsTest, ArmaInfinityFollowsTheModel)
{
    UnivariateProject& u = *project_;
    ASSERT_EQ(InfoArmaInfinity(u), 1);
    PumpMessages();
    HWND__* window = u.textWindows[TEXT_INFINITY];
    ASSERT_TRUE(IsWindow(Handle(window)));
    EXPECT_EQ(WindowText(Handle(window)), L"AR/MA Infinity: New Univariate Project");
    EXPECT_NE(ReportText(window).find(L"X(t) = Z(t)\r\n"), std::wstring::npos);

    DialogAnswer answer;
    answer.texts = {{IDC_SPECIFY_AR_ORDER, L"1"}, {IDC_SPECIFY_AR_VALUE, L"0.2"}};
    AnswerNextDialog(answer);
    ASSERT_EQ(SpecifyModel(u), 1);
    PumpMessages();
    EXPECT_EQ(u.textWindows[TEXT_INFINITY], window);
    const std::wstring text = ReportText(window);
    EXPECT_EQ(text, WideText(ReportWindowText(ArmaInfinityReport(u))));
    EXPECT_NE(text.find(L"X(t) =   0.2000 X(t-1)\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"              2        0.04000        0.00000\r\n"), std::wstring::npos);
}

// File > Open reads the file and shows the data report in the data window's report window, beside
// the data window, which gets the focus.
TEST_F(UnivariateReportsTest, OpenShowsTheDataReport)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("vesk-reports-" + std::to_string(GetCurrentProcessId()) + ".txt");
    std::ofstream(file) << "1\n2\n3\n4\n";
    AnswerNextDialog(DialogAnswer{});  // a univariate project
    AnswerFileDialog(file.wstring(), L"Open file");
    SendCommand(IDM_PROJECT_OPEN);
    std::filesystem::remove(file);
    ASSERT_EQ(TakeSeenDialogs().size(), 2u);
    ASSERT_EQ(ProjectTable[2].kind, PROJECT_UNIVARIATE);
    UnivariateProject& u = *ProjectTable[2].univariate;
    ASSERT_TRUE(IsWindow(Handle(u.dataView.infoWindow)));
    const std::wstring text = ReportText(u.dataView.infoWindow);
    EXPECT_EQ(text, WideText(ReportWindowText(DataReport(u))));
    EXPECT_NE(text.find(L"# of Data Points =        4\r\n"), std::wstring::npos);
    // The data window has the focus, and the report shows beside it, not behind it.
    HWND data = Handle(u.dataView.window), report = Handle(u.dataView.infoWindow);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0)), data);
    EXPECT_EQ(GetFocus(), data);
    EXPECT_TRUE(ShownInClient(data));
    EXPECT_TRUE(ShownInClient(report));
}

// Model > AR/MA Infinity opens the project's AR/MA infinity window; a second run rewrites it and
// brings it to the front.
TEST_F(UnivariateReportsTest, ArmaInfinityCommandOpensItsWindow)
{
    SendCommand(IDM_AR_MA_INFINITY);
    HWND__* window = project_->textWindows[TEXT_INFINITY];
    ASSERT_TRUE(IsWindow(Handle(window)));
    EXPECT_EQ(ReportText(window), WideText(ReportWindowText(ArmaInfinityReport(*project_))));
    SetFocus(Handle(project_->dataView.window));
    PumpMessages();
    SendCommand(IDM_AR_MA_INFINITY);
    EXPECT_EQ(project_->textWindows[TEXT_INFINITY], window);
    EXPECT_EQ(ReportText(window), WideText(ReportWindowText(ArmaInfinityReport(*project_))));
    // The rewritten report comes to the front again.
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0)), Handle(window));
}

// The Specify button of the univariate toolbar opens dialog 106, as the menu item does.
TEST_F(UnivariateReportsTest, SpecifyButtonOpensTheDialog)
{
    const LRESULT index = SendMessageW(ToolbarHandle, TB_COMMANDTOINDEX, IDM_SPECIFY_MODEL, 0);
    ASSERT_GE(index, 0);
    RECT rect{};
    ASSERT_TRUE(SendMessageW(ToolbarHandle, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)));
    const LPARAM centre = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    AnswerNextDialog(DialogAnswer{});
    SendMessageW(ToolbarHandle, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageW(ToolbarHandle, WM_LBUTTONUP, 0, centre);
    PumpMessages();
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Specify Model");
    EXPECT_TRUE(seen[0].expected);

    AnswerNextDialog(DialogAnswer{});
    SendCommand(IDM_SPECIFY_MODEL);
    ASSERT_EQ(TakeSeenDialogs().size(), 1u);
}
