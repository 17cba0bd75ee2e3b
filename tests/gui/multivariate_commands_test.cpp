#include <algorithm>
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "multivariate/multivariate_project.h"
#include "multivariate/win32/estimation_commands.h"
#include "multivariate/win32/forecast_command.h"
#include "multivariate/win32/mv_transform_commands.h"
#include "multivariate/win32/table_commands.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/project_commands.h"

namespace {

// Months of two series with a yearly swing, as whole numbers.
std::vector<double> TwoSeries(int32_t n)
{
    std::vector<double> x;
    for (int32_t t = 1; t <= n; ++t) {
        x.push_back(std::round(1000 + 300 * std::sin(0.5236 * t) + 40 * std::cos(1.3 * t)));
        x.push_back(std::round(500 + 120 * std::sin(0.5236 * t + 0.4) + 25 * std::sin(2.1 * t)));
    }
    return x;
}

class MultivariateCommandsTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        folder_ = std::filesystem::temp_directory_path() / ("vesk-mvcommands-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        FrameFixture::TearDown();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    // A new current multivariate project, with `table` (m by n) when it is not empty.
    MultivariateProject& Project(const std::vector<double>& table = {}, int32_t m = 2)
    {
        DialogAnswer kind;
        kind.checks = {{IDC_PROJECT_UNIVARIATE, false}, {IDC_PROJECT_MULTIVARIATE, true}};
        AnswerNextDialog(kind);
        SendCommand(IDM_PROJECT_NEW);
        MultivariateProject* project = ProjectTable[CurrentProject].multivariate;
        EXPECT_NE(project, nullptr);
        if (!table.empty()) MultivarSetData(*project, table, m, static_cast<int32_t>(table.size()) / m, 1);
        PumpMessages();
        TakeSeenDialogs();
        return *project;
    }
    std::wstring Path(const std::string& name) const { return (folder_ / name).wstring(); }
    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream out(folder_ / name, std::ios::binary);
        out << text;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(folder_ / name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // The message boxes seen since the last call, as caption: text.
    static std::vector<std::wstring> Messages()
    {
        std::vector<std::wstring> messages;
        for (const SeenDialog& seen : TakeSeenDialogs())
            if (!seen.message.empty()) messages.push_back(seen.caption + L": " + seen.message);
        return messages;
    }
    static std::wstring UndoText() { return MenuItemText(MultivariateMenu, IDM_MV_UNDO); }
    static bool UndoGrayed() { return (GetMenuState(MultivariateMenu, IDM_MV_UNDO, MF_BYCOMMAND) & MF_GRAYED) != 0; }
    static std::wstring Report(HWND__* window) { return WindowText(ReportEditOf(reinterpret_cast<HWND>(window))); }

    std::filesystem::path folder_;
};

std::string SevenByThree()
{
    std::string text;
    for (int t = 1; t <= 7; ++t)
        text += std::to_string(10 * t + 1) + " " + std::to_string(10 * t + 2) + " " + std::to_string(10 * t + 3) + "\r\n";
    return text;
}

}  // namespace

// Dialog 157: previews follow the number of columns; OK reads; a refused number and a table
// without a complete vector keep the dialog; Cancel keeps data and model.
TEST_F(MultivariateCommandsTest, ReadDataDialog)
{
    Write("table.txt", SevenByThree());
    MultivariateProject& project = Project();

    AnswerFileDialog(Path("table.txt"), L"Open file");
    bool previewed = false;
    DialogAnswer zero = Press(IDOK, {{IDC_MV_COLUMNS, L"0"}});
    zero.inspect = [&previewed](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Read Multivariate Data  ");
        EXPECT_EQ(ItemText(dialog, IDC_MV_COLUMNS), L"2");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_FIRST), L"  11.000,  21.000,  31.000,  41.000,  51.000,  etc ...");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_LAST), L"  12.000,  22.000,  32.000,  42.000,  52.000,  etc ... ");
        SetDlgItemTextW(dialog, IDC_MV_COLUMNS, L"3");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_LAST), L"  13.000,  23.000,  33.000,  43.000,  53.000,  etc ... ");
        // An m that reads no vector says so; text that is no number yet keeps what was shown.
        SetDlgItemTextW(dialog, IDC_MV_COLUMNS, L"30");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_FIRST), L"No vector of 30 numbers can be read from the file.");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_LAST), L"");
        SetDlgItemTextW(dialog, IDC_MV_COLUMNS, L"");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_FIRST), L"No vector of 30 numbers can be read from the file.");
        SetDlgItemTextW(dialog, IDC_MV_COLUMNS, L"3");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_FIRST), L"  11.000,  21.000,  31.000,  41.000,  51.000,  etc ...");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_LAST), L"  13.000,  23.000,  33.000,  43.000,  53.000,  etc ... ");
        previewed = true;
    };
    AnswerNextDialog(zero);                                     // m = 0: the dialog stays
    AnswerNextDialog(Press(IDOK));                              // the message
    AnswerNextDialog(Press(IDOK, {{IDC_MV_COLUMNS, L"2,5"}}));  // a decimal comma
    AnswerNextDialog(Press(IDOK));                              // the message
    AnswerNextDialog(Press(IDOK, {{IDC_MV_COLUMNS, L"30"}}));  // no complete vector of 30
    AnswerNextDialog(Press(IDOK));                              // the message
    AnswerNextDialog(Press(IDOK, {{IDC_MV_COLUMNS, L"3"}}));
    EXPECT_EQ(MultivarReadData(project), 1);
    EXPECT_TRUE(previewed);
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{
                              L"MultivarReadData(): Number of columns must be at least 1",
                              L"MultivarReadData(): Number of columns \"2,5\" has a decimal comma: type a decimal point.",
                              L"MultivarReadData(): The file holds no complete vector of 30 numbers."}));
    EXPECT_EQ(project.data->m, 3);
    EXPECT_EQ(project.data->n, 7);
    EXPECT_EQ(project.data->lastIndex, 7);
    EXPECT_EQ(project.data->at(3, 7), 73);

    // Cancel keeps the data and the model.
    project.model->p = 1;
    AnswerFileDialog(Path("table.txt"), L"Open file");
    AnswerNextDialog(Press(IDCANCEL, {{IDC_MV_COLUMNS, L"2"}}));
    EXPECT_EQ(MultivarReadData(project), 0);
    EXPECT_EQ(project.data->m, 3);
    EXPECT_EQ(project.model->p, 1);

    // A file that cannot be read is said, and the project stays.
    Write("locked.txt", "1 2\r\n");
    HANDLE lock = CreateFileW(Path("locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TakeSeenDialogs();
    AnswerFileDialog(Path("locked.txt"), L"Open file");
    AnswerNextDialog(Press(IDOK));
    EXPECT_EQ(MultivarReadData(project), 0);
    CloseHandle(lock);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"MultivarReadData(): Cannot open file"});
    EXPECT_EQ(project.data->n, 7);
}

// OK of dialog 157 on a file that the rules read other than as it stands: where reading stopped,
// and the lines that held fewer or more items than a vector, are told before the table is kept;
// Cancel of the question keeps the dialog open. A dated file names its first line.
TEST_F(MultivariateCommandsTest, ReadDataSaysWhatTheReadingRulesDid)
{
    Write("short.txt", "1 2\r\n2\r\n3 6\r\n4 8\r\n");
    std::string na;
    for (int t = 1; t <= 100; ++t) na += std::to_string(t) + " " + (t == 50 ? std::string("NA") : std::to_string(2 * t)) + "\r\n";
    Write("na.txt", na);
    Write("dated.csv", "1990-01,123.4\r\n1990-02,125.1\r\n1990-03,119.8\r\n");
    MultivariateProject& project = Project(TwoSeries(10));
    const std::wstring shortQuestion =
        L"MultivarReadData(): Line 3 holds more items than a vector takes. The rest of such lines was not read: 1 item "
        L"in all. Line 2 holds fewer items than a vector takes: a vector goes on in the lines that follow. 3 vectors "
        L"of 2 numbers were read. Keep them?";

    AnswerFileDialog(Path("short.txt"), L"Open file");
    AnswerNextDialog(Press(IDOK));      // two columns
    AnswerNextDialog(Press(IDCANCEL));  // the question: not kept, the dialog stays
    AnswerNextDialog(Press(IDCANCEL));  // the dialog
    EXPECT_EQ(MultivarReadData(project), 0);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{shortQuestion});
    EXPECT_EQ(project.data->n, 10);

    AnswerFileDialog(Path("short.txt"), L"Open file");
    AnswerNextDialog(Press(IDOK));
    AnswerNextDialog(Press(IDOK));  // kept
    EXPECT_EQ(MultivarReadData(project), 1);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{shortQuestion});
    EXPECT_EQ(project.data->n, 3);
    EXPECT_EQ(project.data->values, (std::vector<double>{1, 2, 2, 3, 4, 8}));

    AnswerFileDialog(Path("na.txt"), L"Open file");
    AnswerNextDialog(Press(IDOK));
    AnswerNextDialog(Press(IDOK));
    EXPECT_EQ(MultivarReadData(project), 1);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"MultivarReadData(): Line 50 holds text where a number should "
                                                    L"stand. Reading stopped there after 49 vectors. Keep them?"});
    EXPECT_EQ(project.data->n, 49);

    AnswerFileDialog(Path("dated.csv"), L"Open file");
    AnswerNextDialog(Press(IDOK));      // two columns
    AnswerNextDialog(Press(IDOK));      // the message
    AnswerNextDialog(Press(IDCANCEL));  // the dialog
    EXPECT_EQ(MultivarReadData(project), 0);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"MultivarReadData(): The file holds no complete vector of 2 "
                                                    L"numbers. Line 1 holds a date or a fraction where a number "
                                                    L"should stand."});
    EXPECT_EQ(project.data->n, 49);
}

// Dialog 157 with a count the file cannot make a table of: fourteen bytes standing for two
// billion numbers, typed m = 1e8. The preview stays, OK says why and the dialog asks again; m = 1e9,
// past the largest table, reads no vector and the preview says so.
TEST_F(MultivariateCommandsTest, ReadDataRefusesMoreSeriesThanTimePoints)
{
    Write("repeats.txt", "2000000000*1.5");
    MultivariateProject& project = Project(TwoSeries(10));
    AnswerFileDialog(Path("repeats.txt"), L"Open file");
    DialogAnswer many = Press(IDOK, {{IDC_MV_COLUMNS, L"100000000"}});
    many.inspect = [](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_FIRST), L"  1.5000,  etc ...");
        SetDlgItemTextW(dialog, IDC_MV_COLUMNS, L"1000000000");
        EXPECT_EQ(ItemText(dialog, IDC_MV_PREVIEW_FIRST), L"No vector of 1000000000 numbers can be read from the file.");
        SetDlgItemTextW(dialog, IDC_MV_COLUMNS, L"100000000");
    };
    AnswerNextDialog(many);
    AnswerNextDialog(Press(IDOK));  // the message
    AnswerNextDialog(Press(IDCANCEL));
    EXPECT_EQ(MultivarReadData(project), 0);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"MultivarReadData(): The file holds at most 1 vector of 100000000 "
                                                    L"numbers: a table needs at least as many time points as series."});
    EXPECT_EQ(project.data->n, 10);
}

// File > Project > Open through the frame, choosing Multivariate: the table is read into a new
// current project, its report opens beside the series window, and the series window gets the
// focus.
TEST_F(MultivariateCommandsTest, OpenThroughTheFrameFocusesTheSeriesWindow)
{
    Write("table.txt", SevenByThree());
    DialogAnswer kind;
    kind.checks = {{IDC_PROJECT_UNIVARIATE, false}, {IDC_PROJECT_MULTIVARIATE, true}};
    AnswerNextDialog(kind);
    AnswerFileDialog(Path("table.txt"), L"Open file");
    AnswerNextDialog(Press(IDOK, {{IDC_MV_COLUMNS, L"3"}}));
    SendCommand(IDM_PROJECT_OPEN);
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(CurrentProject, 1);
    ASSERT_EQ(ProjectTable[1].kind, PROJECT_MULTIVARIATE);
    MultivariateProject& project = *ProjectTable[1].multivariate;
    EXPECT_EQ(project.data->m, 3);
    EXPECT_EQ(project.data->n, 7);
    EXPECT_EQ(GetMenu(FrameWindow), MultivariateMenu);
    HWND series = reinterpret_cast<HWND>(project.seriesView.window);
    HWND report = reinterpret_cast<HWND>(project.seriesView.infoWindow);
    ASSERT_TRUE(IsWindow(report));
    EXPECT_NE(Report(project.seriesView.infoWindow).find(L"# of Series"), std::wstring::npos);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0)), series);
    EXPECT_EQ(GetFocus(), series);
    EXPECT_TRUE(ShownInClient(series));
    EXPECT_TRUE(ShownInClient(report));
}

// Import through the frame: the status bar and the Transform menu follow, the transforms of the
// old table go and the Undo item with them.
TEST_F(MultivariateCommandsTest, ImportReplacesTableModelAndTransforms)
{
    Write("table.txt", SevenByThree());
    MultivariateProject& project = Project(TwoSeries(20));
    AnswerNextDialog(Press(IDOK, {{IDC_DIFFERENCE_LAG, L"1"}}));
    SendCommand(IDM_MV_DIFFERENCE);
    EXPECT_EQ(UndoText(), L"&Undo Differencing (1)");

    AnswerFileDialog(Path("table.txt"), L"Open file");
    AnswerNextDialog(Press(IDOK, {{IDC_MV_COLUMNS, L"2"}}));
    AnswerNextDialog(Press(IDOK));  // kept, though the third number of each line is not read
    TakeSeenDialogs();
    SendCommand(IDM_IMPORT_FILE);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"MultivarReadData(): Line 1 holds more items than a vector "
                                                    L"takes. The rest of such lines was not read: 7 items in all. 7 "
                                                    L"vectors of 2 numbers were read. Keep them?"});
    EXPECT_EQ(project.data->m, 2);
    EXPECT_EQ(project.data->n, 7);
    EXPECT_EQ(project.transforms, nullptr);
    EXPECT_EQ(UndoText(), L"&Undo");
    EXPECT_TRUE(UndoGrayed());
    EXPECT_EQ(StatusText(1), L"# of series = 2");
    EXPECT_EQ(StatusText(2), L"Length of series = 7");
}

// Dialog 114: a refused lag, Cancel, then a lag applied; the Undo item and the status bar follow.
// Dialog 118: a = b refused, then a range kept. Undo twice.
TEST_F(MultivariateCommandsTest, DifferenceTrimAndUndo)
{
    MultivariateProject& project = Project(TwoSeries(10));
    const std::vector<double> before = project.data->values;

    AnswerNextDialog(Press(IDCANCEL));
    EXPECT_EQ(MultivarTransform(project, 1), 0);
    AnswerNextDialog(Press(IDOK, {{IDC_DIFFERENCE_LAG, L"0"}}));
    AnswerNextDialog(Press(IDOK));  // the message
    DialogAnswer again = Press(IDOK, {{IDC_DIFFERENCE_LAG, L"2"}});
    bool askedAgain = false;
    again.inspect = [&askedAgain](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Difference the series");
        EXPECT_EQ(ItemText(dialog, IDC_DIFFERENCE_LAG), L"1");
        askedAgain = true;
    };
    AnswerNextDialog(again);
    EXPECT_EQ(MultivarTransform(project, 1), 1);
    EXPECT_TRUE(askedAgain);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"KELO::Error: Lag must be positive"});
    EXPECT_EQ(project.data->n, 8);
    EXPECT_EQ(project.data->firstIndex, 3);
    EXPECT_EQ(UndoText(), L"&Undo Differencing (2)");
    EXPECT_FALSE(UndoGrayed());
    EXPECT_EQ(StatusText(2), L"Length of series = 8");
    EXPECT_EQ(project.seriesView.curves[1].x.front(), 3);

    AnswerNextDialog(Press(IDCANCEL));
    EXPECT_EQ(MultivarTransform(project, 32), 0);
    DialogAnswer equal = Press(IDOK, {{IDC_SUBSEQUENCE_MIN, L"5"}, {IDC_SUBSEQUENCE_MAX, L"5"}});
    equal.inspect = [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Select Subsequence");
        EXPECT_EQ(ItemText(dialog, IDC_SUBSEQUENCE_MIN), L"3");
        EXPECT_EQ(ItemText(dialog, IDC_SUBSEQUENCE_MAX), L"10");
    };
    AnswerNextDialog(equal);
    AnswerNextDialog(Press(IDOK));
    AnswerNextDialog(Press(IDOK, {{IDC_SUBSEQUENCE_MIN, L"4"}, {IDC_SUBSEQUENCE_MAX, L"8"}}));
    TakeSeenDialogs();
    EXPECT_EQ(MultivarTransform(project, 32), 1);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"KELO::MultiVar Error: Select a subsequence in [3,10]"});
    EXPECT_EQ(project.data->n, 5);
    EXPECT_EQ(UndoText(), L"&Undo Trimming");
    EXPECT_EQ(StatusText(2), L"Length of series = 5");

    SendCommand(IDM_MV_UNDO);
    EXPECT_EQ(UndoText(), L"&Undo Differencing (2)");
    SendCommand(IDM_MV_UNDO);
    EXPECT_EQ(UndoText(), L"&Undo");
    EXPECT_TRUE(UndoGrayed());
    EXPECT_EQ(StatusText(2), L"Length of series = 10");
    ASSERT_EQ(project.data->values.size(), before.size());
    for (size_t k = 0; k < before.size(); ++k) EXPECT_DOUBLE_EQ(project.data->values[k], before[k]);
    EXPECT_EQ(GetFocus(), reinterpret_cast<HWND>(project.seriesView.window));
}

// The Undo item is shared: it shows the stack of the project made current.
TEST_F(MultivariateCommandsTest, UndoItemFollowsTheCurrentProject)
{
    MultivariateProject& first = Project(TwoSeries(12));
    SendCommand(IDM_MV_SUBTRACT_MEANS);
    EXPECT_EQ(UndoText(), L"&Undo Subtract Mean");
    const int32_t firstSlot = CurrentProject;
    Project(TwoSeries(12));
    EXPECT_EQ(UndoText(), L"&Undo");
    EXPECT_TRUE(UndoGrayed());
    SelectProject(firstSlot);
    EXPECT_EQ(UndoText(), L"&Undo Subtract Mean");
    EXPECT_FALSE(UndoGrayed());
    EXPECT_NE(first.transforms, nullptr);
}

// Dialogs 160 and 161: the preset, a refused order and Cancel, a fit with its report window, and
// the search with "Optimal value of p = ".
TEST_F(MultivariateCommandsTest, EstimationDialogsAndReports)
{
    MultivariateProject& project = Project(TwoSeries(60));
    const struct {
        UINT command;
        int order, search;
        const wchar_t* caption;
        HWND__* MultivariateProject::*report;
        const wchar_t* heading;
        const wchar_t* title;
    } methods[] = {
        {IDM_MV_YULE_WALKER, IDC_MV_YW_ORDER, IDC_MV_YW_SEARCH, L"Multivariate Yule-Walker Estimation",
         &MultivariateProject::yuleWalkerReport, L"KELO::(Multivariate Yule-Walker Estimates)",
         L"Multivariate Yule-Walker estimates: New Multivariate Project"},
        {IDM_MV_BURG, IDC_MV_BURG_ORDER, IDC_MV_BURG_SEARCH, L"Multivariate Burg Estimation",
         &MultivariateProject::burgReport, L"KELO::(Multivariate Burg Estimates)",
         L"Multivariate Burg estimates: New Multivariate Project"},
    };
    for (const auto& method : methods) {
        const int32_t p = project.model->p;
        int shown = 0;
        DialogAnswer large = Press(IDOK, {{method.order, L"21"}}, {{method.search, false}});
        large.inspect = [&](HWND dialog) {
            EXPECT_EQ(WindowText(dialog), method.caption);
            EXPECT_EQ(IsDlgButtonChecked(dialog, method.search), static_cast<UINT>(BST_CHECKED));
            EXPECT_EQ(ItemText(dialog, method.order), std::to_wstring(p));
            ++shown;
        };
        AnswerNextDialog(large);
        AnswerNextDialog(Press(IDOK));  // " p is too large"
        DialogAnswer back = Press(IDCANCEL);
        back.inspect = [&](HWND dialog) {
            EXPECT_EQ(ItemText(dialog, method.order), L"21");  // the refused entry comes back
            ++shown;
        };
        AnswerNextDialog(back);
        SendCommand(method.command);
        EXPECT_EQ(shown, 2);
        EXPECT_EQ(Messages(), std::vector<std::wstring>{L"ERROR:  p is too large, try a smaller value."});
        EXPECT_EQ(project.model->p, p);  // a refused order is not kept
        EXPECT_EQ(project.*method.report, nullptr);

        AnswerNextDialog(Press(IDOK, {{method.order, L"2"}}, {{method.search, false}}));
        SendCommand(method.command);
        EXPECT_EQ(project.model->p, 2);
        HWND__* report = project.*method.report;
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(WindowText(reinterpret_cast<HWND>(report)), method.title);
        const std::wstring text = Report(report);
        EXPECT_EQ(text.find(std::wstring(40, L'=') + L"\r\n" + method.heading), 0u) << text;
        EXPECT_NE(text.find(L" PHI(2)"), std::wstring::npos);
        EXPECT_EQ(text.find(L"Optimal value"), std::wstring::npos);

        AnswerNextDialog(Press(IDOK));  // the search, preset
        SendCommand(method.command);
        EXPECT_EQ(project.*method.report, report);  // the same window again
        EXPECT_NE(Report(report).find(L"Optimal value of p = " + std::to_wstring(project.model->p)), std::wstring::npos);
        EXPECT_TRUE(Messages().empty());
    }
    EXPECT_NE(project.yuleWalkerReport, project.burgReport);
}

// A fit refused for a constant series is said; the old model and report stay.
TEST_F(MultivariateCommandsTest, FailedFitsAreSaid)
{
    std::vector<double> x = TwoSeries(30);
    MultivariateProject& project = Project(x);
    AnswerNextDialog(Press(IDOK, {{IDC_MV_YW_ORDER, L"1"}}, {{IDC_MV_YW_SEARCH, false}}));
    SendCommand(IDM_MV_YULE_WALKER);
    const std::wstring report = Report(project.yuleWalkerReport);
    for (size_t t = 0; t < 30; ++t) project.data->values[2 * t + 1] = 0.1;
    AnswerNextDialog(Press(IDOK, {{IDC_MV_YW_ORDER, L"2"}}, {{IDC_MV_YW_SEARCH, false}}));
    AnswerNextDialog(Press(IDOK));
    SendCommand(IDM_MV_YULE_WALKER);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"ERROR: Series 2 is constant: no AR model can be fitted."});
    EXPECT_EQ(project.model->p, 1);
    EXPECT_EQ(Report(project.yuleWalkerReport), report);
}

// Dialog 162: refused without a fit; then its preset, an origin at p refused in the open dialog,
// Cancel, and the forecasts with the "AR Forecast" view.
TEST_F(MultivariateCommandsTest, ForecastDialogAndView)
{
    MultivariateProject& project = Project(TwoSeries(48));
    AnswerNextDialog(Press(IDOK));
    SendCommand(IDM_MV_FORECAST_AR);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{
                              L"ERROR: Fit an AR model to the data as they are now (Model > Estimation) before forecasting."});

    AnswerNextDialog(Press(IDOK, {{IDC_MV_YW_ORDER, L"2"}}, {{IDC_MV_YW_SEARCH, false}}));
    SendCommand(IDM_MV_YULE_WALKER);
    TakeSeenDialogs();

    int shown = 0;
    DialogAnswer atP = Press(IDOK, {{IDC_MV_FORECAST_LAST, L"2"}}, {{IDC_MV_FORECAST_ALL, false}, {IDC_MV_FORECAST_SUBSET, true}});
    atP.inspect = [&shown](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Multivariate AR Forecasting");
        EXPECT_EQ(ItemText(dialog, IDC_MV_FORECAST_COUNT), L"10");
        EXPECT_EQ(ItemText(dialog, IDC_MV_FORECAST_PROMPT), L"Enter number of predicted values past observation 48:");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MV_FORECAST_ALL), static_cast<UINT>(BST_CHECKED));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MV_FORECAST_LAST)));
        EXPECT_EQ(ItemText(dialog, IDC_MV_FORECAST_LAST), L"48");
        EXPECT_EQ(ItemText(dialog, IDC_MV_FORECAST_SUBSET_LABEL),
                  L"Enter index of last observation in subset  (total number of observations is 48)");
        // Choosing the subset enables the origin.
        SendDlgItemMessageW(dialog, IDC_MV_FORECAST_ALL, BM_SETCHECK, BST_UNCHECKED, 0);
        SendDlgItemMessageW(dialog, IDC_MV_FORECAST_SUBSET, BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MV_FORECAST_LAST)));
        ++shown;
    };
    AnswerNextDialog(atP);
    AnswerNextDialog(Press(IDOK));  // "Need number of observations to > p."
    DialogAnswer cancel = Press(IDCANCEL);
    cancel.inspect = [&shown](HWND dialog) {
        // The same dialog, still open, with the prompt of the refused origin.
        EXPECT_EQ(ItemText(dialog, IDC_MV_FORECAST_PROMPT), L"Enter number of predicted values past observation 2:");
        ++shown;
    };
    AnswerNextDialog(cancel);
    SendCommand(IDM_MV_FORECAST_AR);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"ERROR: Need number of observations to > p."});
    EXPECT_EQ(project.forecastView.window, nullptr);
    EXPECT_TRUE(project.model->forecasts.empty());

    AnswerNextDialog(Press(IDOK, {{IDC_MV_FORECAST_COUNT, L"6"}, {IDC_MV_FORECAST_LAST, L"40"}},
                           {{IDC_MV_FORECAST_ALL, false}, {IDC_MV_FORECAST_SUBSET, true}}));
    SendCommand(IDM_MV_FORECAST_AR);
    ASSERT_NE(project.forecastView.window, nullptr);
    EXPECT_EQ(WindowText(reinterpret_cast<HWND>(project.forecastView.window)), L"AR Forecast");
    EXPECT_EQ(project.forecastView.slot, project.seriesView.slot);
    EXPECT_EQ(project.model->forecastOrigin, 40);
    EXPECT_EQ(project.model->forecastEnd, 46);
    EXPECT_EQ(project.model->useSubset, 1);
    EXPECT_EQ(project.forecastView.curves[3].x.front(), 41);
    EXPECT_EQ(project.forecastView.curves[4].x.size(), 6u);

    // The next dialog opens with the subset and origin kept.
    DialogAnswer kept = Press(IDCANCEL);
    bool checked = false;
    kept.inspect = [&checked](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_MV_FORECAST_COUNT), L"6");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MV_FORECAST_SUBSET), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(ItemText(dialog, IDC_MV_FORECAST_LAST), L"40");
        checked = true;
    };
    AnswerNextDialog(kept);
    SendCommand(IDM_MV_FORECAST_AR);
    EXPECT_TRUE(checked);
    EXPECT_EQ(project.model->forecastEnd, 46);
}

// Dialog 105: the residuals of the fit to a file (n - p lines), the table to the clipboard,
// Cancel, and an existing file kept when the question is answered No.
TEST_F(MultivariateCommandsTest, ExportDialog)
{
    MultivariateProject& project = Project({1, 2, 3, 4, 5, 6.5});
    DialogAnswer choose = Press(IDOK, {}, {{IDC_EXPORT_SERIES, true}, {IDC_EXPORT_FILE, false}, {IDC_EXPORT_CLIPBOARD, true}});
    choose.inspect = [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Export to ASCII");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_SERIES)));
        // The table starts chosen: OK alone exports something.
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_EXPORT_SERIES), static_cast<UINT>(BST_CHECKED));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_RESIDUALS)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_PERIODOGRAM)));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_EXPORT_FILE), static_cast<UINT>(BST_CHECKED));
    };
    AnswerNextDialog(choose);
    SendCommand(IDM_EXPORT);
    ASSERT_TRUE(OpenClipboard(FrameWindow));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(data))), "1.0000\t2.0000\r\n3.0000\t4.0000\r\n5.0000\t6.5000");
    GlobalUnlock(data);
    CloseClipboard();

    MultivarSetData(project, TwoSeries(30), 2, 30, 1);
    AnswerNextDialog(Press(IDOK, {{IDC_MV_BURG_ORDER, L"3"}}, {{IDC_MV_BURG_SEARCH, false}}));
    SendCommand(IDM_MV_BURG);
    AnswerNextDialog(Press(IDCANCEL, {}, {{IDC_EXPORT_RESIDUALS, true}}));
    SendCommand(IDM_EXPORT);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "residuals.txt"));
    TakeSeenDialogs();

    AnswerNextDialog(Press(IDOK, {}, {{IDC_EXPORT_RESIDUALS, true}}));
    AnswerFileDialog(Path("residuals.txt"), L"Save KELO file");
    EXPECT_EQ(MultivarExport(project), 1);
    const std::string written = Read("residuals.txt");
    int lines = 0;
    for (char c : written) lines += c == '\n';
    EXPECT_EQ(lines, 27);  // n - p points

    Write("replaced.txt", "old");
    AnswerNextDialog(Press(IDOK, {}, {{IDC_EXPORT_SERIES, true}}));
    AnswerFileDialog(Path("replaced.txt"), L"Save KELO file");
    AnswerNextDialog(Press(IDYES));  // the file dialog's own overwrite question, the only one
    TakeSeenDialogs();
    EXPECT_EQ(MultivarExport(project), 1);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].caption, L"Save KELO file");
    EXPECT_FALSE(seen[2].message.empty());
    const std::string replaced = Read("replaced.txt");
    EXPECT_EQ(std::count(replaced.begin(), replaced.end(), '\n'), 30);
    EXPECT_EQ(std::count(replaced.begin(), replaced.end(), '\r'), 30);
}
