// Starts the real vesk.exe as its own process and drives it from this one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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
