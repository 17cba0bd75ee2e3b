// Starts the real vesk.exe as its own process and drives it from this one.
#include <windows.h>

#include <gtest/gtest.h>

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
constexpr UINT kDifferenceCommand = 40044;
constexpr UINT kUndoCommand = 40055;
constexpr UINT kBoxCoxCommand = 40056;
constexpr UINT kSubtractMeanCommand = 40061;
constexpr int kDifferenceLagEdit = 1065;
constexpr int kBoxCoxTrackbar = 1070;
constexpr UINT kTbmSetPos = WM_USER + 5;
constexpr int kTbThumbPosition = 4;

// The running program, ended at the close of a test.
class VeskProcess {
public:
    ~VeskProcess()
    {
        if (!process_.hProcess) return;
        if (frame_) PostMessageW(frame_, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
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
    HWND trackbar = GetDlgItem(boxCox, kBoxCoxTrackbar);
    SendMessageW(trackbar, kTbmSetPos, TRUE, 0);
    SendMessageW(boxCox, WM_HSCROLL, MAKEWPARAM(kTbThumbPosition, 0), reinterpret_cast<LPARAM>(trackbar));
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
