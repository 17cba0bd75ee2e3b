// Starts the real vesk.exe as its own process and drives it from this one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/resource.h"

namespace {

constexpr UINT kSbGetTextW = WM_USER + 13;
constexpr UINT kSbGetTextLengthW = WM_USER + 12;
constexpr UINT kTbButtonCount = WM_USER + 24;

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

// Starts vesk.exe from beside this test program; its frame, or null (the process ended) when the
// frame does not appear.
HWND StartProgram(PROCESS_INFORMATION& process)
{
    std::wstring program = ProgramNextToThisOne();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    HWND frame = WaitForWindow(L"Vesk", L"KELO::Vesk", 30000);
    if (!frame) TerminateProcess(process.hProcess, 1);
    return frame;
}

// Presses `button` in the program's dialog or message box captioned `caption` once it shows;
// returns the box's text (empty for a dialog), or "<none>" when it never showed.
std::wstring Answer(const wchar_t* caption, int button)
{
    HWND box = WaitForWindow(L"#32770", caption, 10000);
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

// The program's exit code once it has ended; 99 when it is still running after `milliseconds`.
DWORD WaitForEnd(const PROCESS_INFORMATION& process, DWORD milliseconds)
{
    const DWORD waited = WaitForSingleObject(process.hProcess, milliseconds);
    if (waited != WAIT_OBJECT_0) return 99;
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

}  // namespace

TEST(BlackBox, StartsShowsFrameAndExitsWithZero)
{
    PROCESS_INFORMATION process{};
    HWND frame = StartProgram(process);
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

    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    const DWORD exitCode = WaitForEnd(process, 20000);
    if (exitCode == 99) TerminateProcess(process.hProcess, 1);
    EXPECT_EQ(exitCode, 0u) << "vesk.exe did not end after File > Exit with 0";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Exit with a project whose data came from the clipboard asks to save it; Cancel keeps the
// program running, No ends it.
TEST(BlackBox, ExitAsksAboutUnsavedChanges)
{
    PROCESS_INFORMATION process{};
    HWND frame = StartProgram(process);
    ASSERT_NE(frame, nullptr) << "no frame window \"KELO::Vesk\"";

    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(IDM_PROJECT_NEW, 0), 0);
    EXPECT_EQ(Answer(L"Create New Project ", IDOK), L"");
    ASSERT_TRUE(PutClipboardText("1.5\r\n2.5\r\n-3\r\n"));
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(IDM_IMPORT_CLIPBOARD, 0), 0);

    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    EXPECT_EQ(Answer(L"KELO", IDCANCEL), L"Save changes to New Univariate Project?");
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 1000), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(IsWindow(frame));

    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    EXPECT_EQ(Answer(L"KELO", IDNO), L"Save changes to New Univariate Project?");
    const DWORD exitCode = WaitForEnd(process, 20000);
    if (exitCode == 99) TerminateProcess(process.hProcess, 1);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
