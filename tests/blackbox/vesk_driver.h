#pragma once
// Drives the real vesk.exe from another process as a user would: commands by id, dialogs
// answered by control id, the file dialogs typed into, and what the user sees read back.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace blackbox {


constexpr UINT kSbGetTextW = WM_USER + 13;
constexpr UINT kSbGetTextLengthW = WM_USER + 12;
constexpr UINT kTbButtonCount = WM_USER + 24;
constexpr UINT kExitCommand = 40008;

inline std::wstring ProgramNextToThisOne()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path);
    return text.substr(0, text.find_last_of(L"\\/") + 1) + L"vesk.exe";
}

inline HWND WaitForWindow(const wchar_t* cls, const wchar_t* caption, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        if (HWND window = FindWindowW(cls, caption)) return window;
        Sleep(100);
    }
    return nullptr;
}

// Reads a status-bar part through memory of the program that owns the status bar.
inline std::wstring RemoteStatusText(HANDLE process, HWND statusBar, int part)
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
inline std::wstring AnswerBox(const wchar_t* caption, int button, DWORD milliseconds = 10000)
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

inline bool PutClipboardText(const char* text)
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
inline HWND WaitForDialog(const wchar_t* caption)
{
    for (int waited = 0; waited < 20000; waited += 50) {
        HWND dialog = FindWindowW(L"#32770", caption);
        if (dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog)) return dialog;
        Sleep(50);
    }
    return nullptr;
}

inline void Click(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Moves a dialog's trackbar to `position` and tells the dialog, as a dragged thumb does.
inline void SlideTo(HWND dialog, int id, int position)
{
    HWND trackbar = GetDlgItem(dialog, id);
    SendMessageW(trackbar, kTbmSetPos, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(kTbThumbPosition, position), reinterpret_cast<LPARAM>(trackbar));
}

// Chooses `path` in the system's file dialog titled `caption`.
inline bool ChooseFile(const wchar_t* caption, const std::wstring& path)
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
inline bool AnswerProjectType()
{
    HWND dialog = WaitForDialog(L"Create New Project ");
    if (!dialog) return false;
    Click(dialog, IDOK);
    return true;
}

inline std::vector<double> ColumnOf(const std::string& csv, int column)
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
inline bool ReadSavedProject(const std::wstring& path, SavedProject& out)
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

inline std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"vesk-blackbox-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}



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

inline void SetItemText(HWND dialog, int id, const wchar_t* text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

inline void SetChecked(HWND dialog, int id, bool checked)
{
    SendMessageW(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// New multivariate project, then Import of `path` as a table of `columns` columns.
// A new univariate project with the series of `path` imported through the file dialog.
inline bool NewUnivariateProjectFrom(VeskProcess& vesk, const std::wstring& path)
{
    vesk.Post(kNewCommand);
    if (!AnswerProjectType()) return false;
    vesk.Settle();
    vesk.Post(kImportFileCommand);
    if (!ChooseFile(L"Open file", path)) return false;
    vesk.Settle();
    return true;
}

inline bool NewMultivariateProjectFrom(VeskProcess& vesk, const std::wstring& path, const wchar_t* columns)
{
    vesk.Post(kNewCommand);
    HWND kind = WaitForDialog(L"Create New Project ");
    if (!kind) return false;
    SetChecked(kind, kProjectUnivariate, false);
    SetChecked(kind, kProjectMultivariate, true);
    Click(kind, IDOK);
    vesk.Settle();
    vesk.Post(kImportFileCommand);
    if (!ChooseFile(L"Open file", path)) return false;
    HWND read = WaitForDialog(L"Read Multivariate Data  ");
    if (!read) return false;
    SetItemText(read, kColumnsEdit, columns);
    // The first OK only moves the focus from the edit to the button, as Enter typed there would.
    Click(read, IDOK);
    vesk.Settle();
    if (IsWindow(read)) Click(read, IDOK);
    vesk.Settle();
    return true;
}

// The MDI child of the frame titled `title`, once it exists.
inline HWND WaitForChild(HWND frame, const std::wstring& title)
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
inline std::string ReportText(HWND report)
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

inline std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string ClipboardText()
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



constexpr UINT kFftSmoothCommand = 40123;
constexpr UINT kInfoCommand = 40042;
constexpr int kFftTrackbar = 1181;

inline std::vector<std::wstring> ChildTitles(HWND frame)
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

}  // namespace blackbox
