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

namespace {

constexpr UINT kSbGetTextW = WM_USER + 13;
constexpr UINT kSbGetTextLengthW = WM_USER + 12;
constexpr UINT kTbButtonCount = WM_USER + 24;
constexpr UINT kExitCommand = 40008;

std::wstring ProgramNextToThisOne()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path);
    return text.substr(0, text.find_last_of(L"\\/") + 1) + L"vesk.exe";
}

HWND WaitForWindow(const wchar_t* cls, const wchar_t* caption, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        if (HWND window = FindWindowW(cls, caption)) return window;
        Sleep(100);
    }
    return nullptr;
}

// Reads a status-bar part through memory of the program that owns the status bar.
std::wstring RemoteStatusText(HANDLE process, HWND statusBar, int part)
{
    const LRESULT info = SendMessageW(statusBar, kSbGetTextLengthW, part, 0);
    const size_t length = LOWORD(info);
    const size_t bytes = (length + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return L"<no memory>";
    SendMessageW(statusBar, kSbGetTextW, part, reinterpret_cast<LPARAM>(remote));
    std::wstring text(length + 1, L'\0');
    SIZE_T read = 0;
    ReadProcessMemory(process, remote, text.data(), bytes, &read);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    text.resize(length);
    return text;
}

}  // namespace

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

namespace {

constexpr UINT kNewCommand = 40091;
constexpr UINT kOpenCommand = 40095;
constexpr UINT kSaveCommand = 40096;
constexpr UINT kSaveAsCommand = 40097;
constexpr UINT kImportFileCommand = 40098;
constexpr UINT kImportClipboardCommand = 40152;
constexpr UINT kDifferenceCommand = 40044;
constexpr UINT kUndoCommand = 40055;
constexpr UINT kBoxCoxCommand = 40056;
constexpr UINT kSubtractMeanCommand = 40061;
constexpr int kDifferenceLagEdit = 1065;
constexpr int kBoxCoxTrackbar = 1070;
constexpr UINT kTbmSetPos = WM_USER + 5;
constexpr int kTbThumbPosition = 4;

// Presses `button` in the program's message box captioned `caption` once it shows; returns the
// box's text, or "<none>" when no such box showed within `milliseconds`.
std::wstring AnswerBox(const wchar_t* caption, int button, DWORD milliseconds = 10000)
{
    HWND box = nullptr;
    for (DWORD waited = 0; !box && waited < milliseconds; waited += 50) {
        HWND found = FindWindowW(L"#32770", caption);
        if (found && IsWindowVisible(found)) box = found;
        else Sleep(50);
    }
    if (!box) return L"<none>";
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 256);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    for (int waited = 0; waited < 10000 && IsWindow(box) && IsWindowVisible(box); waited += 50) Sleep(50);
    return text;
}

bool PutClipboardText(const char* text)
{
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const size_t size = strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return placed;
}

// The running program, ended at the close of a test; projects a scenario left with changes are
// closed without saving.
class VeskProcess {
public:
    ~VeskProcess()
    {
        if (!process_.hProcess) return;
        if (frame_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            PostMessageW(frame_, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
            for (int k = 0; k < 10 && AnswerBox(L"KELO", IDNO, 1000) != L"<none>"; ++k) {
            }
        }
        if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool Start()
    {
        std::wstring program = ProgramNextToThisOne();
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_))
            return false;
        frame_ = WaitForWindow(L"Vesk", L"KELO::Vesk", 30000);
        for (int waited = 0; frame_ && waited < 30000 && !statusBar_; waited += 100) {
            Sleep(100);
            statusBar_ = FindWindowExW(frame_, nullptr, L"msctls_statusbar32", nullptr);
        }
        return frame_ && statusBar_;
    }
    // Sends a command that opens no window and waits until it has run.
    bool Command(UINT id)
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(frame_, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, 20000, &result) != 0;
    }
    // Posts a command that opens a dialog.
    void Post(UINT id) { PostMessageW(frame_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // Waits until the program is idle again.
    void Settle()
    {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(frame_, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
        Sleep(200);
        SendMessageTimeoutW(frame_, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
    }
    std::wstring Status(int part) { return RemoteStatusText(process_.hProcess, statusBar_, part); }
    // The exit code once the program has ended; 99 while it still runs after `milliseconds`.
    DWORD ExitCode(DWORD milliseconds)
    {
        if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return 99;
        DWORD code = 99;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }
    // The status-bar part once it reads `expected`, or what it reads after 10 s.
    std::wstring StatusOnceItReads(int part, const std::wstring& expected)
    {
        std::wstring text = Status(part);
        for (int waited = 0; text != expected && waited < 10000; waited += 100) {
            Sleep(100);
            text = Status(part);
        }
        return text;
    }

private:
    PROCESS_INFORMATION process_{};
    HWND frame_ = nullptr;
    HWND statusBar_ = nullptr;
};

// A dialog of the program with this caption, once it is shown.
HWND WaitForDialog(const wchar_t* caption)
{
    for (int waited = 0; waited < 20000; waited += 50) {
        HWND dialog = FindWindowW(L"#32770", caption);
        if (dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog)) return dialog;
        Sleep(50);
    }
    return nullptr;
}

void Click(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Moves a dialog's trackbar to `position` and tells the dialog, as a dragged thumb does.
void SlideTo(HWND dialog, int id, int position)
{
    HWND trackbar = GetDlgItem(dialog, id);
    SendMessageW(trackbar, kTbmSetPos, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(kTbThumbPosition, position), reinterpret_cast<LPARAM>(trackbar));
}

// Chooses `path` in the system's file dialog titled `caption`.
bool ChooseFile(const wchar_t* caption, const std::wstring& path)
{
    HWND dialog = WaitForDialog(caption);
    if (!dialog) return false;
    HWND field = nullptr;
    for (int id : {0x47C, 0x480})
        if (!field) field = GetDlgItem(dialog, id);
    if (!field) field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
    if (!field) return false;
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Click(dialog, IDOK);
    return true;
}

// New univariate project: the project-type dialog answered with its preset Univariate.
bool AnswerProjectType()
{
    HWND dialog = WaitForDialog(L"Create New Project ");
    if (!dialog) return false;
    Click(dialog, IDOK);
    return true;
}

std::vector<double> ColumnOf(const std::string& csv, int column)
{
    std::ifstream in(csv);
    std::string line;
    std::vector<double> values;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::stringstream fields(line);
        std::string field;
        for (int k = 0; k <= column && std::getline(fields, field, ','); ++k) {
        }
        if (!field.empty() && field != "\r") values.push_back(std::strtod(field.c_str(), nullptr));
    }
    return values;
}

struct SavedProject {
    int32_t firstIndex = 0, lastIndex = 0;
    std::vector<double> series;
    std::vector<int32_t> kinds;  // oldest first
};

// Reads the parts of a project file this scenario checks; nodes of kinds 1, 2 and 16 only.
bool ReadSavedProject(const std::wstring& path, SavedProject& out)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = 0;
    auto take = [&](void* target, size_t size) {
        if (at + size > bytes.size()) return false;
        memcpy(target, bytes.data() + at, size);
        at += size;
        return true;
    };
    int32_t magic = 0;
    if (!take(&magic, 4) || magic != 2267) return false;
    at = 504;
    if (!take(&out.firstIndex, 4) || !take(&out.lastIndex, 4) || out.lastIndex < out.firstIndex) return false;
    out.series.resize(static_cast<size_t>(out.lastIndex - out.firstIndex + 1));
    if (!take(out.series.data(), out.series.size() * 8)) return false;
    int32_t count = 0;
    if (!take(&count, 4)) return false;
    for (int32_t k = 0; k < count; ++k) {
        int32_t kind = 0;
        if (!take(&kind, 4)) return false;
        out.kinds.push_back(kind);
        int32_t lag = 0;
        if (kind == 1 && !(take(&lag, 4) && lag >= 0)) return false;
        const size_t skip = kind == 1 ? 8 * static_cast<size_t>(lag) : (kind == 2 || kind == 16) ? 8 : 0;
        if (kind != 1 && kind != 2 && kind != 16) return false;
        at += skip;
    }
    return at == bytes.size();
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"vesk-blackbox-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

}  // namespace

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
    vesk.Post(kNewCommand);
    ASSERT_TRUE(AnswerProjectType());
    vesk.Settle();
    vesk.Post(kImportFileCommand);
    ASSERT_TRUE(ChooseFile(L"Open file", data));
    vesk.Settle();
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

namespace {

constexpr UINT kExportCommand = 40006;
constexpr UINT kMvYuleWalkerCommand = 40141;
constexpr UINT kMvForecastCommand = 40142;
constexpr int kColumnsEdit = 1193;
constexpr int kYuleWalkerOrder = 1200;
constexpr int kYuleWalkerSearch = 1201;
constexpr int kExportSeries = 1057;
constexpr int kExportFile = 1225;
constexpr int kExportClipboard = 1226;
constexpr int kProjectMultivariate = 1200;
constexpr int kProjectUnivariate = 1199;

void SetItemText(HWND dialog, int id, const wchar_t* text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void SetChecked(HWND dialog, int id, bool checked)
{
    SendMessageW(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The MDI child of the frame titled `title`, once it exists.
HWND WaitForChild(HWND frame, const std::wstring& title)
{
    HWND client = FindWindowExW(frame, nullptr, L"MDIClient", nullptr);
    for (int waited = 0; client && waited < 20000; waited += 100) {
        for (HWND child = FindWindowExW(client, nullptr, nullptr, nullptr); child;
             child = FindWindowExW(client, child, nullptr, nullptr)) {
            wchar_t text[256] = {};
            GetWindowTextW(child, text, 256);
            if (title == text) return child;
        }
        Sleep(100);
    }
    return nullptr;
}

// The text of a report window's edit control, read through the system's marshalling of WM_GETTEXT.
std::string ReportText(HWND report)
{
    HWND edit = FindWindowExW(report, nullptr, L"Edit", nullptr);
    if (!edit) return "";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 10000, &copied);
    text.resize(copied);
    return std::string(text.begin(), text.end());  // the report is ASCII
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ClipboardText()
{
    std::string text;
    for (int tries = 0; tries < 50 && !OpenClipboard(nullptr); ++tries) Sleep(100);
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

}  // namespace

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
    vesk.Post(kNewCommand);
    HWND kind = WaitForDialog(L"Create New Project ");
    ASSERT_NE(kind, nullptr);
    SetChecked(kind, kProjectUnivariate, false);
    SetChecked(kind, kProjectMultivariate, true);
    Click(kind, IDOK);
    vesk.Settle();

    vesk.Post(kImportFileCommand);
    ASSERT_TRUE(ChooseFile(L"Open file", data));
    HWND read = WaitForDialog(L"Read Multivariate Data  ");
    ASSERT_NE(read, nullptr);
    SetItemText(read, kColumnsEdit, L"2");
    // The first OK only moves the focus from the edit to the button, as Enter typed there would.
    Click(read, IDOK);
    vesk.Settle();
    if (IsWindow(read)) Click(read, IDOK);
    vesk.Settle();
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

namespace {

constexpr UINT kFftSmoothCommand = 40123;
constexpr UINT kInfoCommand = 40042;
constexpr int kFftTrackbar = 1181;

std::vector<std::wstring> ChildTitles(HWND frame)
{
    std::vector<std::wstring> titles;
    HWND client = FindWindowExW(frame, nullptr, L"MDIClient", nullptr);
    for (HWND child = client ? FindWindowExW(client, nullptr, nullptr, nullptr) : nullptr; child;
         child = FindWindowExW(client, child, nullptr, nullptr)) {
        wchar_t text[256] = {};
        GetWindowTextW(child, text, 256);
        titles.push_back(text);
    }
    return titles;
}

}  // namespace

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
    vesk.Post(kNewCommand);
    ASSERT_TRUE(AnswerProjectType());
    vesk.Settle();
    vesk.Post(kImportFileCommand);
    ASSERT_TRUE(ChooseFile(L"Open file", data));
    vesk.Settle();
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
