// Starts the real vesk.exe as its own process and drives it from this one.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "vesk_driver.h"

using namespace blackbox;

TEST(BlackBox, StartsShowsFrameAndExitsWithZero)
{
    std::wstring program = ProgramNextToThisOne();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << "cannot start vesk.exe";

    HWND frame = WaitForWindow(L"Vesk", L"KELO::Vesk", 30000);
    if (!frame) TerminateProcess(process.hProcess, 1);
    ASSERT_NE(frame, nullptr) << "no frame window \"KELO::Vesk\"";

    // The frame exists from its creation on; its bars and its maximised show follow.
    HWND statusBar = nullptr;
    HWND toolbar = nullptr;
    for (int waited = 0; waited < 30000 && !(statusBar && toolbar && IsWindowVisible(frame)); waited += 100) {
        Sleep(100);
        statusBar = FindWindowExW(frame, nullptr, L"msctls_statusbar32", nullptr);
        toolbar = FindWindowExW(frame, nullptr, L"ToolbarWindow32", nullptr);
    }
    ASSERT_NE(statusBar, nullptr);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(RemoteStatusText(process.hProcess, statusBar, 0), L"NONE");
    EXPECT_EQ(SendMessageW(toolbar, kTbButtonCount, 0, 0), 6);
    EXPECT_TRUE(IsZoomed(frame));

    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
    const DWORD waited = WaitForSingleObject(process.hProcess, 20000);
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "vesk.exe did not end after File > Exit";
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// AirPassengers imported, then Box-Cox 0, Difference 12 and Subtract Mean, saved and opened
// again: the status bar names the three transforms and the file holds R's values; three Undos
// bring back the imported series.
TEST(BlackBox, TransformsOfAirPassengersSurviveSaveAndOpenAndUndo)
{
    const std::string table = std::string(VESK_TEST_DATA) + "/air_passengers.csv";
    const std::vector<double> passengers = ColumnOf(table, 1);
    const std::vector<double> transformed = ColumnOf(table, 2);
    ASSERT_EQ(passengers.size(), 144u);
    ASSERT_EQ(transformed.size(), 132u);

    const std::wstring data = TempPath(L"air.txt");
    const std::wstring saved = TempPath(L"air.KDX");
    {
        std::ofstream out(data.c_str());
        for (double v : passengers) out << v << "\n";
    }
    DeleteFileW(saved.c_str());

    VeskProcess vesk;
    ASSERT_TRUE(vesk.Start()) << "vesk.exe did not start";
    ASSERT_TRUE(NewUnivariateProjectFrom(vesk, data));
    EXPECT_EQ(vesk.StatusOnceItReads(1, L"None"), L"None");

    // Box-Cox with the trackbar at 0: the logarithm.
    vesk.Post(kBoxCoxCommand);
    HWND boxCox = WaitForDialog(L"Box-Cox Transformation");
    ASSERT_NE(boxCox, nullptr);
    SlideTo(boxCox, kBoxCoxTrackbar, 0);
    Click(boxCox, IDOK);
    vesk.Settle();

    vesk.Post(kDifferenceCommand);
    HWND difference = WaitForDialog(L"Difference the series");
    ASSERT_NE(difference, nullptr);
    SendMessageW(GetDlgItem(difference, kDifferenceLagEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12"));
    Click(difference, IDOK);
    vesk.Settle();

    const std::wstring three = L"Box-Cox->Difference->Subtract Mean";
    ASSERT_TRUE(vesk.Command(kSubtractMeanCommand));
    EXPECT_EQ(vesk.StatusOnceItReads(1, three), three);

    vesk.Post(kSaveAsCommand);
    ASSERT_TRUE(ChooseFile(L"Save KELO file", saved));
    vesk.Settle();

    vesk.Post(kOpenCommand);
    ASSERT_TRUE(AnswerProjectType());
    ASSERT_TRUE(ChooseFile(L"Open file", saved));
    vesk.Settle();
    EXPECT_EQ(vesk.StatusOnceItReads(1, three), three);

    SavedProject file;
    ASSERT_TRUE(ReadSavedProject(saved, file));
    EXPECT_EQ(file.firstIndex, 13);
    EXPECT_EQ(file.lastIndex, 144);
    EXPECT_EQ(file.kinds, (std::vector<int32_t>{2, 1, 16}));
    ASSERT_EQ(file.series.size(), transformed.size());
    for (size_t k = 0; k < transformed.size(); ++k) EXPECT_NEAR(file.series[k], transformed[k], 1e-12) << k;

    // Three Undos on the opened project, then Save writes its own file.
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(vesk.Command(kUndoCommand));
    EXPECT_EQ(vesk.StatusOnceItReads(1, L"None"), L"None");
    ASSERT_TRUE(vesk.Command(kSaveCommand));
    SavedProject undone;
    ASSERT_TRUE(ReadSavedProject(saved, undone));
    EXPECT_EQ(undone.firstIndex, 1);
    EXPECT_EQ(undone.lastIndex, 144);
    EXPECT_TRUE(undone.kinds.empty());
    ASSERT_EQ(undone.series.size(), passengers.size());
    for (size_t k = 0; k < passengers.size(); ++k) EXPECT_NEAR(undone.series[k], passengers[k], 1e-10) << k;

    DeleteFileW(data.c_str());
    DeleteFileW(saved.c_str());
}

// Exit with a project whose data came from the clipboard asks to save it: Cancel keeps the
// program running, No ends it.
TEST(BlackBox, ExitAsksAboutUnsavedChanges)
{
    VeskProcess vesk;
    ASSERT_TRUE(vesk.Start()) << "vesk.exe did not start";
    vesk.Post(kNewCommand);
    ASSERT_TRUE(AnswerProjectType());
    vesk.Settle();
    ASSERT_TRUE(PutClipboardText("1.5\r\n2.5\r\n-3\r\n"));
    ASSERT_TRUE(vesk.Command(kImportClipboardCommand));

    vesk.Post(kExitCommand);
    EXPECT_EQ(AnswerBox(L"KELO", IDCANCEL), L"Save changes to New Univariate Project?");
    vesk.Settle();
    EXPECT_EQ(vesk.ExitCode(1000), 99u) << "the program ended after Cancel";

    vesk.Post(kExitCommand);
    EXPECT_EQ(AnswerBox(L"KELO", IDNO), L"Save changes to New Univariate Project?");
    EXPECT_EQ(vesk.ExitCode(20000), 0u);
}

// R's mdeaths and fdeaths as a table file: New multivariate project, Import, Yule-Walker of
// order 2 (its report as R's), AR forecasts, and the table exported to a file and the clipboard.
TEST(BlackBox, MultivariateImportFitForecastAndExport)
{
    const std::string series = std::string(VESK_TEST_DATA) + "/mvar_series.csv";
    std::vector<std::string> rows;
    {
        std::ifstream in(series);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line))
            if (line.rfind("mf,", 0) == 0) rows.push_back(line.substr(line.find(',', 3) + 1));
    }
    ASSERT_EQ(rows.size(), 72u);
    const std::wstring data = TempPath(L"deaths.txt");
    const std::wstring exported = TempPath(L"deaths-out.txt");
    {
        std::ofstream out(data.c_str());
        for (const std::string& row : rows) out << row << "\n";
    }
    DeleteFileW(exported.c_str());

    VeskProcess vesk;
    ASSERT_TRUE(vesk.Start()) << "vesk.exe did not start";
    HWND frame = FindWindowW(L"Vesk", L"KELO::Vesk");
    // The pointer rests on the frame's caption: over a plot it would write its place into the
    // status bar.
    SetCursorPos(1, 1);
    ASSERT_TRUE(NewMultivariateProjectFrom(vesk, data, L"2"));
    EXPECT_EQ(vesk.StatusOnceItReads(1, L"# of series = 2"), L"# of series = 2");
    EXPECT_EQ(vesk.StatusOnceItReads(2, L"Length of series = 72"), L"Length of series = 72");

    vesk.Post(kMvYuleWalkerCommand);
    HWND order = WaitForDialog(L"Multivariate Yule-Walker Estimation");
    ASSERT_NE(order, nullptr);
    SetItemText(order, kYuleWalkerOrder, L"2");
    SetChecked(order, kYuleWalkerSearch, false);
    Click(order, IDOK);
    vesk.Settle();
    HWND report = WaitForChild(frame, L"Multivariate Yule-Walker estimates: New Multivariate Project");
    ASSERT_NE(report, nullptr);
    std::string golden;
    for (char c : FileText(std::string(VESK_TEST_DATA) + "/mvar_report_yw_p2.txt"))
        golden += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(ReportText(report), golden);

    vesk.Post(kMvForecastCommand);
    HWND forecast = WaitForDialog(L"Multivariate AR Forecasting");
    ASSERT_NE(forecast, nullptr);
    Click(forecast, IDOK);
    vesk.Settle();
    EXPECT_NE(WaitForChild(frame, L"AR Forecast"), nullptr);

    vesk.Post(kExportCommand);
    HWND toFile = WaitForDialog(L"Export to ASCII");
    ASSERT_NE(toFile, nullptr);
    SetChecked(toFile, kExportSeries, true);
    Click(toFile, IDOK);
    ASSERT_TRUE(ChooseFile(L"Save KELO file", exported));
    vesk.Settle();
    std::string expected;
    for (const std::string& row : rows) expected += row + "\r\n";
    const std::string written = FileText(std::string(exported.begin(), exported.end()));
    std::istringstream back(written);
    std::vector<double> values;
    for (double v; back >> v;) values.push_back(v);
    ASSERT_EQ(values.size(), 144u);
    std::istringstream source(expected);
    for (size_t k = 0; k < values.size(); ++k) {
        double v = 0;
        source >> v;
        EXPECT_EQ(values[k], v) << k;
    }

    vesk.Post(kExportCommand);
    HWND toClipboard = WaitForDialog(L"Export to ASCII");
    ASSERT_NE(toClipboard, nullptr);
    SetChecked(toClipboard, kExportSeries, true);
    SetChecked(toClipboard, kExportFile, false);
    SetChecked(toClipboard, kExportClipboard, true);
    Click(toClipboard, IDOK);
    vesk.Settle();
    const std::string clipboard = ClipboardText();
    EXPECT_EQ(clipboard.substr(0, clipboard.find('\r')), "2134.\t901.00");
    EXPECT_EQ(std::count(clipboard.begin(), clipboard.end(), '\n'), 71);

    DeleteFileW(data.c_str());
    DeleteFileW(exported.c_str());
}

// R's LakeHuron from a file, Smooth > FFT with the slider moved to 0.2 and OK: the view is titled
// after the data window, and its Info report gives the cut-off and the root of the mean squared
// difference from R's low pass of the same series.
TEST(BlackBox, FftSmoothingViewAndItsReport)
{
    std::vector<double> x, y;
    {
        std::ifstream in(std::string(VESK_TEST_DATA) + "/fft_smoother_reference.csv");
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            std::istringstream row(line);
            std::string name, frac, t, xv, yv;
            std::getline(row, name, ',');
            std::getline(row, frac, ',');
            std::getline(row, t, ',');
            std::getline(row, xv, ',');
            std::getline(row, yv, ',');
            if (name != "LakeHuron" || std::fabs(std::strtod(frac.c_str(), nullptr) - 0.2) > 1e-9) continue;
            x.push_back(std::strtod(xv.c_str(), nullptr));
            y.push_back(std::strtod(yv.c_str(), nullptr));
        }
    }
    ASSERT_EQ(x.size(), 98u);
    double sum = 0.0;
    for (size_t t = 0; t < x.size(); ++t) sum += (x[t] - y[t]) * (x[t] - y[t]);
    const double root = std::sqrt(sum / static_cast<double>(x.size()));

    const std::wstring data = TempPath(L"huron.txt");
    {
        std::ofstream out(data.c_str());
        out.precision(17);
        for (double v : x) out << v << "\n";
    }
    VeskProcess vesk;
    ASSERT_TRUE(vesk.Start()) << "vesk.exe did not start";
    HWND frame = FindWindowW(L"Vesk", L"KELO::Vesk");
    SetCursorPos(1, 1);
    ASSERT_TRUE(NewUnivariateProjectFrom(vesk, data));
    const std::vector<std::wstring> before = ChildTitles(frame);
    ASSERT_EQ(before.size(), 1u);

    vesk.Post(kFftSmoothCommand);
    HWND dialog = WaitForDialog(L"FFT Smoothing");
    ASSERT_NE(dialog, nullptr);
    SlideTo(dialog, kFftTrackbar, 3);
    Click(dialog, IDOK);
    vesk.Settle();

    const std::wstring title = L"FFT Smoothing: " + before[0];
    HWND view = WaitForChild(frame, title);
    ASSERT_NE(view, nullptr) << testing::PrintToString(ChildTitles(frame));
    HWND client = FindWindowExW(frame, nullptr, L"MDIClient", nullptr);
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view), 0);
    // Info acts on the window with the keyboard focus, which is the program's thread's to give:
    // share its input state for a moment and put the focus on the view.
    const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    ASSERT_TRUE(AttachThreadInput(GetCurrentThreadId(), thread, TRUE));
    SetFocus(view);
    const bool focused = GetFocus() == view;
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    EXPECT_TRUE(focused);
    vesk.Settle();
    ASSERT_TRUE(vesk.Command(kInfoCommand));
    HWND info = WaitForChild(frame, L"INFO: " + title);
    ASSERT_NE(info, nullptr) << testing::PrintToString(ChildTitles(frame));
    const std::string report = ReportText(info);
    EXPECT_NE(report.find("KELO::(FFT Smoothing)"), std::string::npos) << report;
    EXPECT_NE(report.find(" Value of cutoff =  0.20000"), std::string::npos) << report;
    const std::string label = " SQRT(MSE) =  ";
    const size_t at = report.find(label);
    ASSERT_NE(at, std::string::npos) << report;
    EXPECT_NEAR(std::strtod(report.c_str() + at + label.size(), nullptr), root, 6e-6) << report;
    DeleteFileW(data.c_str());
}
