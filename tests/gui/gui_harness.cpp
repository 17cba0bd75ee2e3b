#include "gui_harness.h"

#include <commctrl.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include "app/win32/program_start.h"
#include "resources/resource.h"
#include "shell/plot_record.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/help_viewer.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/project_commands.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"

namespace {

std::deque<DialogAnswer> pendingAnswers;
std::vector<SeenDialog> seenDialogs;
UINT_PTR watchTimer = 0;
int quitCode = -1;

HWND FindOpenDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t cls[32] = {};
            GetClassNameW(window, cls, 32);
            if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void Press(HWND dialog, int button)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// Runs inside any modal loop through the thread's timer.
void CALLBACK WatchDialogs(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FindOpenDialog();
    if (!dialog) return;
    SeenDialog seen;
    seen.caption = WindowText(dialog);
    seen.message = WindowText(GetDlgItem(dialog, 0xFFFF));
    seen.owner = GetWindow(dialog, GW_OWNER);
    const bool ownerless = !pendingAnswers.empty() && pendingAnswers.front().ownerless;
    if (!seen.message.empty()) {
        if (!ownerless) {
            EXPECT_NE(seen.owner, nullptr) << "message box without owner: " << testing::PrintToString(seen.message);
        }
        EXPECT_FALSE(seen.caption.empty() || seen.caption == L" ")
            << "message box without caption: " << testing::PrintToString(seen.message);
    }
    if (pendingAnswers.empty()) {
        seen.expected = false;
        seenDialogs.push_back(seen);
        Press(dialog, GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : (GetDlgItem(dialog, IDNO) ? IDNO : IDOK));
        return;
    }
    DialogAnswer answer = std::move(pendingAnswers.front());
    pendingAnswers.pop_front();
    seenDialogs.push_back(seen);
    if (answer.inspect) answer.inspect(dialog);
    // As a user would: into each edit, type, and leave it for the button.
    for (const auto& [id, text] : answer.texts) {
        SetFocus(GetDlgItem(dialog, id));
        SetDlgItemTextW(dialog, id, text.c_str());
    }
    for (const auto& [id, checked] : answer.checks)
        SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!IsWindow(dialog)) return;
    if (HWND button = GetDlgItem(dialog, answer.button)) SetFocus(button);
    if (IsWindow(dialog)) Press(dialog, answer.button);
}

}  // namespace

HWND CreateTestFrame()
{
    quitCode = -1;
    seenDialogs.clear();
    pendingAnswers.clear();
    if (!watchTimer) watchTimer = SetTimer(nullptr, 0, 30, WatchDialogs);
    // The pointer rests on the frame's caption, away from the windows the tests open: a plot
    // window under it would write the mouse position into the status bar.
    SetCursorPos(1, 1);
    HWND frame = StartProgram(GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    return frame;
}

void DestroyTestFrame()
{
    if (!pendingAnswers.empty())
        ADD_FAILURE() << pendingAnswers.size() << " dialog answer(s) left unused: a dialog the test expected never opened";
    pendingAnswers.clear();
    // Projects a test left open are freed without asking, before their windows go.
    for (int32_t k = 1; k <= kMaxProjects; ++k) CloseProject(k);
    CurrentProject = 0;
    if (FrameWindow && IsWindow(FrameWindow)) DestroyWindow(FrameWindow);
    PumpMessages();
    if (MultivariateMenu) DestroyMenu(MultivariateMenu);
    FrameWindow = MdiClient = StatusBar = ToolbarHandle = nullptr;
    UnivariateMenu = MultivariateMenu = nullptr;
}

void PumpMessages()
{
    MSG message;
    for (int idleRounds = 0; idleRounds < 3;) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ++idleRounds;
            Sleep(5);
            continue;
        }
        idleRounds = 0;
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (ModelessDialog && IsDialogMessageW(ModelessDialog, &message)) continue;
        if (HelpViewerMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int QuitCode() { return quitCode; }

LRESULT SendCommand(UINT id)
{
    const LRESULT result = SendMessageW(FrameWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpMessages();
    return result;
}

void AnswerNextDialog(DialogAnswer answer) { pendingAnswers.push_back(std::move(answer)); }

void AnswerWith(int button)
{
    DialogAnswer answer;
    answer.button = button;
    AnswerNextDialog(std::move(answer));
}

size_t DropUnusedAnswers()
{
    const size_t count = pendingAnswers.size();
    pendingAnswers.clear();
    return count;
}

std::vector<SeenDialog> TakeSeenDialogs()
{
    std::vector<SeenDialog> out;
    out.swap(seenDialogs);
    return out;
}

namespace {

// The file-name field of the system's file dialog: a combo box (cmb13) or an edit (edt1).
HWND FileNameField(HWND dialog)
{
    for (int id : {0x47C, 0x480})
        if (HWND field = GetDlgItem(dialog, id)) return field;
    return FindWindowExW(dialog, nullptr, L"Edit", nullptr);
}

}  // namespace

void AnswerFileDialog(const std::wstring& path, const wchar_t* caption)
{
    DialogAnswer answer;
    answer.inspect = [path, caption](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), caption);
        HWND field = FileNameField(dialog);
        ASSERT_NE(field, nullptr);
        SetWindowTextW(field, path.c_str());
    };
    AnswerNextDialog(answer);
}

DialogAnswer Press(int button, std::vector<std::pair<int, std::wstring>> texts,
                   std::vector<std::pair<int, bool>> checks)
{
    DialogAnswer answer;
    answer.button = button;
    answer.texts = std::move(texts);
    answer.checks = std::move(checks);
    return answer;
}

std::wstring ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

std::wstring WindowText(HWND window)
{
    if (!window) return L"";
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::wstring StatusText(int part)
{
    const LRESULT info = SendMessageW(StatusBar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
    std::wstring text(LOWORD(info) + 1, L'\0');
    SendMessageW(StatusBar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(info));
    return text;
}

std::wstring MenuItemText(HMENU menu, UINT id)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND);
    return text;
}

bool ShownInClient(HWND child, int height)
{
    HWND client = child ? GetParent(child) : nullptr;
    if (!client || !IsWindowVisible(child)) return false;
    const auto place = [client](HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT strip = place(child), area{};
    if (height >= 0) strip.bottom = std::min<LONG>(strip.bottom, strip.top + height);
    GetClientRect(client, &area);
    if (strip.left < area.left || strip.top < area.top || strip.right > area.right || strip.bottom > area.bottom)
        return false;
    for (HWND above = GetWindow(child, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        RECT covered{};
        const RECT r = place(above);
        if (IsWindowVisible(above) && IntersectRect(&covered, &strip, &r)) return false;
    }
    return true;
}

bool SaveScreenshot(HWND window, const std::string& name)
{
    RECT outer{}, r{};
    // Only what is on the screen: a maximised frame's borders lie past its edges.
    const RECT desktop{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!window || !GetWindowRect(window, &outer) || !IntersectRect(&r, &outer, &desktop)) return false;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    // From the window's own device context: the window and its children, whatever lies above.
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP shot = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, shot);
    const bool copied = BitBlt(memory, 0, 0, w, h, source, r.left - outer.left, r.top - outer.top, SRCCOPY) != 0;
    GdiFlush();
    const size_t size = static_cast<size_t>(w) * h * 4;
    bool written = false;
    if (copied && bits) {
        // Opaque throughout: image lists leave alpha in some pixels, and viewers that see any
        // alpha would show the rest as transparent.
        auto* pixels = static_cast<uint32_t*>(bits);
        for (size_t i = 0; i < size / 4; ++i) pixels[i] |= 0xFF000000u;
        // Beside the test program: the file dialogs move the working directory.
        wchar_t program[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        const std::filesystem::path folder = std::filesystem::path(program).parent_path() / "gui-screens";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = static_cast<DWORD>(file.bfOffBits + size);
        std::ofstream out(folder / (name + ".bmp"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(size));
        written = static_cast<bool>(out);
    }
    SelectObject(memory, old);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return written;
}

int32_t NewProjectOfKind(int kind)
{
    DialogAnswer answer;
    if (kind == 2) answer.checks = {{IDC_PROJECT_UNIVARIATE, false}, {IDC_PROJECT_MULTIVARIATE, true}};
    AnswerNextDialog(std::move(answer));
    SendCommand(IDM_PROJECT_NEW);
    return CurrentProject;
}

void PlotWindowFixture::SetUp()
{
    FrameFixture::SetUp();
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    ASSERT_EQ(SetCurveY(plot_, 1, {1, 4, 2, 3}, 1, 4), 1);
    AutoscalePlot(plot_);
    PumpMessages();
}

UnivariateProject& NewUnivariateProject(const std::vector<double>& values)
{
    NewProjectOfKind(1);
    UnivariateProject* u = CurrentUnivariate();
    if (!u) {
        ADD_FAILURE() << "no univariate project was made";
        static UnivariateProject none;
        return none;
    }
    VeskImportData(*u, values);
    PumpMessages();
    TakeSeenDialogs();
    return *u;
}
