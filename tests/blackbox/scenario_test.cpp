// The main road walked by the real program: a univariate project from AirPassengers through the
// transforms, the statistics views, the residual tests, Save As and Open; a multivariate project
// fitted by Burg with the order search and forecast; Exit. Numbers are compared with R
// (scripts/reference/scenario.R). A picture of the screen is kept after each step.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "vesk_driver.h"

using namespace blackbox;

namespace {

constexpr UINT kAcfSampleCommand = 40047;
constexpr UINT kPeriodogramCommand = 40051;
constexpr UINT kHistogramCommand = 40064;
constexpr UINT kResidualTestsCommand = 40085;
constexpr UINT kCloseCommand = 40069;
constexpr UINT kMvBurgCommand = 40140;
constexpr int kRandomnessLagEdit = 1144;
constexpr UINT kArmaForecastCommand = 40086;
constexpr UINT kArarCommand = 40118;
constexpr UINT kSeasonalHoltWintersCommand = 40120;
constexpr int kForecastSteps = 1152, kForecastAddMean = 1156, kForecastUndifference = 1155;
constexpr int kForecastInvertBoxCox = 1154;
constexpr UINT kPreliminaryCommand = 40078;
constexpr UINT kMaxLikelihoodCommand = 40079;
constexpr int kPrelimP = 1101, kPrelimQ = 1102, kPrelimHannanRissanen = 1108, kPrelimInnovations = 1109;
constexpr int kMleConstrain = 1142;
constexpr int kConstrainMaList = 1016, kConstrainSetZero = 1143, kConstrainCount = 1133;
constexpr int kConstrainB = 1130, kConstrainD = 1131, kConstrainA = 1132, kConstrainAr = 1141, kConstrainMa = 1142;
constexpr int kBurgOrderEdit = 1202;
constexpr int kBurgSearch = 1203;

// name -> k -> value, from the reference table.
using Reference = std::map<std::string, std::map<int, double>>;

Reference ReadReference(const std::string& path)
{
    Reference table;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::stringstream row(line);
        std::string name, k, value;
        std::getline(row, name, ',');
        std::getline(row, k, ',');
        std::getline(row, value, ',');
        table[name][std::atoi(k.c_str())] = std::strtod(value.c_str(), nullptr);
    }
    return table;
}

// The number that follows `label` in `text`; NaN when the label is missing.
double NumberAfter(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    if (at == std::string::npos) return std::nan("");
    return std::strtod(text.c_str() + at + label.size(), nullptr);
}

// The numbers of the block that follows `heading` up to the first empty line after them.
std::vector<double> BlockAfter(const std::string& text, const std::string& heading)
{
    std::vector<double> values;
    size_t at = text.find(heading);
    if (at == std::string::npos) return values;
    std::istringstream lines(text.substr(at + heading.size()));
    std::string line;
    bool started = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream cells(line);
        bool any = false;
        for (double v; cells >> v;) {
            values.push_back(v);
            any = true;
        }
        if (!any && started) break;
        started = started || any;
    }
    return values;
}

// Saves the whole screen as a BMP file in the scenario's picture folder.
void KeepScreen(const std::string& name)
{
    const char* folder = std::getenv("VESK_SCENARIO_SHOTS");
    const std::string path = std::string(folder && *folder ? folder : ".") + "/" + name + ".bmp";
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
        const DWORD size = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + size;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof(file));
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
        out.write(static_cast<const char*>(bits), size);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// The child window that is not among `before`, once there is one.
HWND WaitForNewChild(HWND frame, const std::vector<std::wstring>& before, std::wstring& title)
{
    HWND client = FindWindowExW(frame, nullptr, L"MDIClient", nullptr);
    for (int waited = 0; client && waited < 20000; waited += 100) {
        for (HWND child = FindWindowExW(client, nullptr, nullptr, nullptr); child;
             child = FindWindowExW(client, child, nullptr, nullptr)) {
            wchar_t text[256] = {};
            GetWindowTextW(child, text, 256);
            // Reports that open along with a view are not the view.
            bool known = std::wstring(text).rfind(L"INFO: ", 0) == 0;
            for (const std::wstring& t : before) known = known || t == text;
            if (!known) {
                title = text;
                return child;
            }
        }
        Sleep(100);
    }
    return nullptr;
}

// Info on `view`: the view is activated and given the keyboard focus (the program's thread's to
// give, so the input state is shared for a moment), then the report "INFO: <title>" is read.
std::string InfoOf(VeskProcess& vesk, HWND frame, HWND view)
{
    wchar_t text[256] = {};
    GetWindowTextW(view, text, 256);
    HWND client = FindWindowExW(frame, nullptr, L"MDIClient", nullptr);
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view), 0);
    const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    if (!AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) return "<no input>";
    SetFocus(view);
    const bool focused = GetFocus() == view;
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    if (!focused) return "<no focus>";
    vesk.Settle();
    if (!vesk.Command(kInfoCommand)) return "<no info>";
    HWND info = WaitForChild(frame, L"INFO: " + std::wstring(text));
    return info ? ReportText(info) : "<no report>";
}

// Types `text` into a dialog's edit as a user would: the edit has the keyboard focus meanwhile
// (some edits act on their changes only then).
bool TypeInto(HWND dialog, int id, const wchar_t* text)
{
    HWND edit = GetDlgItem(dialog, id);
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    if (!edit || !AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) return false;
    SetFocus(edit);
    const bool focused = GetFocus() == edit;
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return focused;
}

struct Transform {
    UINT command;
    const wchar_t* dialog;  // nullptr: no dialog
    int lag;                // for Difference
    const wchar_t* status;
};

}  // namespace

TEST(Scenario, MainRoadOfTheRealProgram)
{
    const Reference r = ReadReference(std::string(VESK_TEST_DATA) + "/scenario_reference.csv");
    ASSERT_EQ(r.at("acf").size(), 40u);
    const std::vector<double> passengers = ColumnOf(std::string(VESK_TEST_DATA) + "/air_passengers.csv", 1);
    ASSERT_EQ(passengers.size(), 144u);
    const std::wstring data = TempPath(L"scenario-air.txt");
    const std::wstring saved = TempPath(L"scenario-air.KDX");
    const std::wstring table = TempPath(L"scenario-belts.txt");
    {
        std::ofstream out(data.c_str());
        for (double v : passengers) out << v << "\n";
    }
    {
        std::ifstream in(std::string(VESK_TEST_DATA) + "/scenario_seatbelts.csv");
        std::ofstream out(table.c_str());
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            for (char& c : line)
                if (c == ',') c = ' ';
            out << line << "\n";
        }
    }
    DeleteFileW(saved.c_str());

    VeskProcess vesk;
    ASSERT_TRUE(vesk.Start()) << "vesk.exe did not start";
    HWND frame = FindWindowW(L"Vesk", L"KELO::Vesk");
    // The pointer rests on the frame's caption: over a plot it would write its place into the
    // status bar.
    SetCursorPos(1, 1);

    // 1. New univariate project, Import through the file dialog.
    ASSERT_TRUE(NewUnivariateProjectFrom(vesk, data));
    const std::vector<std::wstring> titles = ChildTitles(frame);
    ASSERT_EQ(titles.size(), 1u);
    const std::wstring dataTitle = titles[0];
    EXPECT_EQ(dataTitle, data);
    EXPECT_EQ(vesk.StatusOnceItReads(0, dataTitle), dataTitle);
    EXPECT_EQ(vesk.StatusOnceItReads(1, L"None"), L"None");
    HWND dataWindow = WaitForChild(frame, dataTitle);
    ASSERT_NE(dataWindow, nullptr);
    {
        const std::string report = InfoOf(vesk, frame, dataWindow);
        EXPECT_EQ(NumberAfter(report, "# of Data Points = "), 144.0) << report;
        EXPECT_NEAR(NumberAfter(report, "Sample Mean = "), r.at("data_mean").at(0), 6e-5) << report;
        EXPECT_NEAR(NumberAfter(report, "Sample Variance = "), r.at("data_variance").at(0), 6e-7) << report;
        EXPECT_NEAR(NumberAfter(report, "Std.Error(Sample Mean) = "), r.at("data_se").at(0), 6e-7) << report;
    }
    KeepScreen("scenario-1-import");

    // 2. Box-Cox 0, Difference 12, Difference 1, Subtract Mean; each shows in the status bar, and
    // Undo takes back the last one only.
    const Transform transforms[] = {
        {kBoxCoxCommand, L"Box-Cox Transformation", 0, L"Box-Cox"},
        {kDifferenceCommand, L"Difference the series", 12, L"Box-Cox->Difference"},
        {kDifferenceCommand, L"Difference the series", 1, L"Box-Cox->Difference->Difference"},
        {kSubtractMeanCommand, nullptr, 0, L"Box-Cox->Difference->Difference->Subtract Mean"},
    };
    for (const Transform& t : transforms) {
        if (t.dialog) {
            vesk.Post(t.command);
            HWND dialog = WaitForDialog(t.dialog);
            ASSERT_NE(dialog, nullptr) << testing::PrintToString(t.status);
            if (t.command == kBoxCoxCommand)
                SlideTo(dialog, kBoxCoxTrackbar, 0);
            else
                SetItemText(dialog, kDifferenceLagEdit, std::to_wstring(t.lag).c_str());
            Click(dialog, IDOK);
            vesk.Settle();
        } else {
            ASSERT_TRUE(vesk.Command(t.command));
        }
        EXPECT_EQ(vesk.StatusOnceItReads(1, t.status), t.status);
    }
    ASSERT_TRUE(vesk.Command(kUndoCommand));
    EXPECT_EQ(vesk.StatusOnceItReads(1, transforms[2].status), transforms[2].status);
    ASSERT_TRUE(vesk.Command(kSubtractMeanCommand));
    const std::wstring allFour = transforms[3].status;
    EXPECT_EQ(vesk.StatusOnceItReads(1, allFour), allFour);
    KeepScreen("scenario-2-transforms");

    // 3. Sample ACF/PACF, periodogram and histogram, each view's report against R.
    std::vector<std::string> viewReports;
    std::wstring acfTitle, spectrumTitle, histogramTitle;
    std::vector<std::wstring> before = ChildTitles(frame);
    ASSERT_TRUE(vesk.Command(kAcfSampleCommand));
    HWND acfView = WaitForNewChild(frame, before, acfTitle);
    ASSERT_NE(acfView, nullptr);
    {
        const std::string report = InfoOf(vesk, frame, acfView);
        viewReports.push_back(report);
        EXPECT_EQ(NumberAfter(report, "# of Lags = "), 40.0) << report;
        EXPECT_NEAR(NumberAfter(report, "Sample Variance = "), r.at("gamma0").at(0), 6e-9) << report;
        const std::vector<double> acf = BlockAfter(report, "Sample Autocorrelations:");
        const std::vector<double> pacf = BlockAfter(report, "Sample Partial Autocorrelations:");
        ASSERT_EQ(acf.size(), 40u) << report;  // lags 0..39
        ASSERT_EQ(pacf.size(), 40u) << report;
        for (int k = 0; k < 40; ++k) EXPECT_NEAR(acf[k], r.at("acf").at(k), 6e-5) << "lag " << k;
        for (int k = 1; k < 40; ++k) EXPECT_NEAR(pacf[k], r.at("pacf").at(k), 6e-5) << "lag " << k;
    }
    before = ChildTitles(frame);
    ASSERT_TRUE(vesk.Command(kPeriodogramCommand));
    HWND spectrumView = WaitForNewChild(frame, before, spectrumTitle);
    ASSERT_NE(spectrumView, nullptr);
    {
        const std::string report = InfoOf(vesk, frame, spectrumView);
        viewReports.push_back(report);
        EXPECT_EQ(NumberAfter(report, "Number of frequencies in periodogram = "), 65.0) << report;
        const double ratio = NumberAfter(report, "Ratio of maximum periodogram ordinate to average = ");
        const double p = NumberAfter(report, "Probability (under H0) of seeing this or larger = ");
        EXPECT_NEAR(ratio, r.at("fisher_ratio").at(0), 1e-4 * r.at("fisher_ratio").at(0)) << report;
        EXPECT_NEAR(p, r.at("fisher_p").at(0), 1e-4 * r.at("fisher_p").at(0)) << report;
    }
    before = ChildTitles(frame);
    ASSERT_TRUE(vesk.Command(kHistogramCommand));
    HWND histogramView = WaitForNewChild(frame, before, histogramTitle);
    ASSERT_NE(histogramView, nullptr);
    {
        const std::string report = InfoOf(vesk, frame, histogramView);
        viewReports.push_back(report);
        // 1 + 2 floor(log2 n) bins for the 131 values.
        EXPECT_EQ(NumberAfter(report, "# of Bins = "), 15.0) << report;
    }
    KeepScreen("scenario-3-statistics");


    // 4. Preliminary estimation of an MA(13) by innovations, then maximum likelihood of the MA(1)
    // x seasonal MA(12) model: theta 2..11 fixed at 0 and theta 13 = theta 1 x theta 12.
    before = ChildTitles(frame);
    vesk.Post(kPreliminaryCommand);
    HWND prelim = WaitForDialog(L"Preliminary Estimation");
    ASSERT_NE(prelim, nullptr);
    SetItemText(prelim, kPrelimP, L"0");
    SetItemText(prelim, kPrelimQ, L"13");
    SetChecked(prelim, kPrelimHannanRissanen, false);
    SetChecked(prelim, kPrelimInnovations, true);
    Click(prelim, IDOK);
    vesk.Settle();
    std::wstring prelimTitle;
    HWND prelimReport = WaitForNewChild(frame, before, prelimTitle);
    ASSERT_NE(prelimReport, nullptr) << testing::PrintToString(ChildTitles(frame));
    EXPECT_NE(ReportText(prelimReport).find("Method: Innovations"), std::string::npos) << ReportText(prelimReport);

    before = ChildTitles(frame);
    vesk.Post(kMaxLikelihoodCommand);
    HWND mle = WaitForDialog(L"Maximum Likelihood Estimation");
    ASSERT_NE(mle, nullptr);
    Click(mle, kMleConstrain);
    HWND constrain = WaitForDialog(L"Constrain Optimization");
    ASSERT_NE(constrain, nullptr);
    for (int j = 2; j <= 11; ++j) SendDlgItemMessageW(constrain, kConstrainMaList, LB_SETSEL, TRUE, j - 1);
    Click(constrain, kConstrainSetZero);
    vesk.Settle();
    SetItemText(constrain, kConstrainCount, L"1");
    SetChecked(constrain, kConstrainAr, false);
    SetChecked(constrain, kConstrainMa, true);
    Click(constrain, kConstrainMa);
    vesk.Settle();
    EXPECT_TRUE(TypeInto(constrain, kConstrainB, L"1"));
    EXPECT_TRUE(TypeInto(constrain, kConstrainD, L"12"));
    EXPECT_TRUE(TypeInto(constrain, kConstrainA, L"13"));
    Click(constrain, IDOK);
    mle = WaitForDialog(L"Maximum Likelihood Estimation");
    ASSERT_NE(mle, nullptr);
    Click(mle, IDOK);
    vesk.Settle();
    std::wstring mleTitle;
    HWND mleReport = WaitForNewChild(frame, before, mleTitle);
    ASSERT_NE(mleReport, nullptr) << testing::PrintToString(ChildTitles(frame));
    vesk.Settle();
    const std::string mleText = ReportText(mleReport);
    EXPECT_NE(mleText.find("Method: Maximum Likelihood"), std::string::npos) << mleText;
    const std::vector<double> ma = BlockAfter(mleText, "MA Coefficients\r\n");
    ASSERT_EQ(ma.size(), 13u) << mleText;
    for (int j = 1; j <= 13; ++j) {
        const double expected = (j == 1 || j == 12 || j == 13) ? r.at("ma").at(j) : 0.0;
        EXPECT_NEAR(ma[j - 1], expected, 2e-3) << "theta " << j << "\n" << mleText;
    }
    EXPECT_NEAR(NumberAfter(mleText, "AICC = "), r.at("aicc").at(0), 0.01) << mleText;
    const double iterations = NumberAfter(mleText, "Number of iterations = ");
    EXPECT_GE(iterations, 1.0) << mleText;
    const std::wstring counted = L"Iteration  " + std::to_wstring(static_cast<int>(iterations));
    EXPECT_EQ(vesk.StatusOnceItReads(2, counted), counted);
    KeepScreen("scenario-4-estimation");

    // 5. Tests of randomness on the residuals of the fitted model.
    vesk.Post(kResidualTestsCommand);
    HWND lag = WaitForDialog(L"Tests of Randomness");
    ASSERT_NE(lag, nullptr);
    SetItemText(lag, kRandomnessLagEdit, L"20");
    Click(lag, IDOK);
    vesk.Settle();
    HWND tests = WaitForChild(frame, L"Tests of randomness: " + dataTitle);
    ASSERT_NE(tests, nullptr) << testing::PrintToString(ChildTitles(frame));
    const std::string randomness = ReportText(tests);
    const double ljungBox = NumberAfter(randomness, "Ljung - Box statistic = ");
    const double mcleodLi = NumberAfter(randomness, "McLeod - Li statistic = ");
    // The program's residuals are the innovations scaled by their standard deviations, R's the
    // innovations themselves: the two differ slightly at the start of the series.
    EXPECT_NEAR(ljungBox, r.at("ljung_box").at(20), 2e-2 * r.at("ljung_box").at(20)) << randomness;
    EXPECT_NEAR(mcleodLi, r.at("mcleod_li").at(20), 2e-2 * r.at("mcleod_li").at(20)) << randomness;
    // 20 lags less the two estimated coefficients.
    EXPECT_NE(randomness.find("Chi-Square ( 18 )"), std::string::npos) << randomness;
    KeepScreen("scenario-5-randomness");


    // 6. ARMA forecasts of 24 steps with the transforms undone, against R; then ARAR and seasonal
    // Holt-Winters forecasts of 24 steps.
    before = ChildTitles(frame);
    vesk.Post(kArmaForecastCommand);
    HWND arma = WaitForDialog(L"ARMA Forecast");
    ASSERT_NE(arma, nullptr);
    SetItemText(arma, kForecastSteps, L"24");
    for (int id : {kForecastAddMean, kForecastUndifference, kForecastInvertBoxCox}) SetChecked(arma, id, true);
    Click(arma, IDOK);
    vesk.Settle();
    std::wstring armaTitle;
    HWND armaView = WaitForNewChild(frame, before, armaTitle);
    ASSERT_NE(armaView, nullptr) << testing::PrintToString(ChildTitles(frame));
    {
        const std::string report = InfoOf(vesk, frame, armaView);
        const std::vector<double> table = BlockAfter(report, "sqrt(MSE)\r\n");
        ASSERT_EQ(table.size(), 72u) << report;  // step, prediction, sqrt(MSE)
        for (int h = 1; h <= 24; ++h) {
            EXPECT_EQ(table[3 * (h - 1)], h) << report;
            const double expected = r.at("forecast").at(h);
            EXPECT_NEAR(table[3 * (h - 1) + 1], expected, 2e-3 * expected) << "step " << h;
            EXPECT_GT(table[3 * (h - 1) + 2], 0.0) << "step " << h;
        }
    }
    const std::pair<UINT, const wchar_t*> others[] = {{kArarCommand, L"ARAR Forecasting"},
                                                      {kSeasonalHoltWintersCommand, L"Seasonal Holt-Winters Forecasting"}};
    const char* headings[] = {"KELO::(ARAR Forecast)", "KELO::(Seasonal H-W Forecast)"};
    for (size_t k = 0; k < 2; ++k) {
        before = ChildTitles(frame);
        vesk.Post(others[k].first);
        HWND dialog = WaitForDialog(others[k].second);
        ASSERT_NE(dialog, nullptr) << k;
        SetItemText(dialog, kForecastSteps, L"24");
        Click(dialog, IDOK);
        vesk.Settle();
        std::wstring title;
        HWND view = WaitForNewChild(frame, before, title);
        ASSERT_NE(view, nullptr) << k << testing::PrintToString(ChildTitles(frame));
        const std::string report = InfoOf(vesk, frame, view);
        EXPECT_NE(report.find(headings[k]), std::string::npos) << report;
    }
    KeepScreen("scenario-6-forecasts");

    // 7. Save As, Close, Open: the same transforms and the same reports.
    vesk.Post(kSaveAsCommand);
    ASSERT_TRUE(ChooseFile(L"Save KELO file", saved));
    vesk.Settle();
    EXPECT_EQ(vesk.StatusOnceItReads(0, saved), saved);
    vesk.Post(kCloseCommand);
    EXPECT_EQ(AnswerBox(L"KELO", IDYES), L"Close current project ?");
    vesk.Settle();
    EXPECT_EQ(vesk.StatusOnceItReads(0, L"No project open"), L"No project open");
    EXPECT_TRUE(ChildTitles(frame).empty()) << testing::PrintToString(ChildTitles(frame));
    vesk.Post(kOpenCommand);
    ASSERT_TRUE(AnswerProjectType());
    ASSERT_TRUE(ChooseFile(L"Open file", saved));
    vesk.Settle();
    EXPECT_EQ(vesk.StatusOnceItReads(1, allFour), allFour);
    {
        // The data window, titled with the file's name, and its report.
        ASSERT_NE(WaitForChild(frame, saved), nullptr) << testing::PrintToString(ChildTitles(frame));
        EXPECT_NE(WaitForChild(frame, L"INFO: " + saved), nullptr) << testing::PrintToString(ChildTitles(frame));
        ASSERT_TRUE(vesk.Command(kAcfSampleCommand));
        ASSERT_TRUE(vesk.Command(kPeriodogramCommand));
        ASSERT_TRUE(vesk.Command(kHistogramCommand));
        vesk.Settle();
        const std::wstring views[] = {acfTitle, spectrumTitle, histogramTitle};
        for (size_t k = 0; k < 3; ++k) {
            std::wstring title = views[k];
            // The views are named after the data window, which now carries the saved file's name.
            const size_t at = title.find(dataTitle);
            if (at != std::wstring::npos) title.replace(at, dataTitle.size(), saved);
            HWND view = WaitForChild(frame, title);
            ASSERT_NE(view, nullptr) << testing::PrintToString(title) << testing::PrintToString(ChildTitles(frame));
            std::string again = InfoOf(vesk, frame, view);
            EXPECT_EQ(again, viewReports[k]);
        }
    }
    KeepScreen("scenario-7-reopened");

    // 8. A multivariate project: Burg with the minimum-AICC search, then a forecast.
    vesk.Post(kCloseCommand);
    EXPECT_EQ(AnswerBox(L"KELO", IDYES), L"Close current project ?");
    vesk.Settle();
    ASSERT_TRUE(NewMultivariateProjectFrom(vesk, table, L"3"));
    EXPECT_EQ(vesk.StatusOnceItReads(1, L"# of series = 3"), L"# of series = 3");
    EXPECT_EQ(vesk.StatusOnceItReads(2, L"Length of series = 192"), L"Length of series = 192");
    vesk.Post(kMvBurgCommand);
    HWND burg = WaitForDialog(L"Multivariate Burg Estimation");
    ASSERT_NE(burg, nullptr);
    SetItemText(burg, kBurgOrderEdit, L"1");
    SetChecked(burg, kBurgSearch, true);
    Click(burg, IDOK);
    vesk.Settle();
    HWND estimates = WaitForChild(frame, L"Multivariate Burg estimates: New Multivariate Project");
    ASSERT_NE(estimates, nullptr) << testing::PrintToString(ChildTitles(frame));
    const std::string burgReport = ReportText(estimates);
    EXPECT_EQ(NumberAfter(burgReport, "Optimal value of p = "), r.at("mv_order").at(0)) << burgReport;
    EXPECT_NEAR(NumberAfter(burgReport, "AICC = "), r.at("mv_aicc").at(0), 1e-6 * r.at("mv_aicc").at(0))
        << burgReport;
    vesk.Post(kMvForecastCommand);
    HWND forecast = WaitForDialog(L"Multivariate AR Forecasting");
    ASSERT_NE(forecast, nullptr);
    Click(forecast, IDOK);
    vesk.Settle();
    EXPECT_NE(WaitForChild(frame, L"AR Forecast"), nullptr) << testing::PrintToString(ChildTitles(frame));
    KeepScreen("scenario-8-multivariate");

    // 9. Exit ends the program with 0 (a question about saving answered No); an unhandled
    // exception in the program's log fails the test's run (see cmake/windows.cmake).
    vesk.Post(kExitCommand);
    (void)AnswerBox(L"KELO", IDNO, 3000);
    EXPECT_EQ(vesk.ExitCode(20000), 0u);

    DeleteFileW(data.c_str());
    DeleteFileW(saved.c_str());
    DeleteFileW(table.c_str());
}
