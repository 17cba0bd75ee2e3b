#include "platform/win32/pc_window.h"

#include "platform/pc.h"
#include "platform/pc_view.h"

#include <cstdlib>

namespace {

constexpr wchar_t kClassName[] = L"VeskConsole";
// Drawing is shown at most this often while a program draws without waiting; text at once.
constexpr DWORD kPaintInterval = 40;

struct PcWindow {
    HWND window = nullptr;
    bool closed = false;
    bool pointerShown = false;
    DWORD lastPaint = 0;
    void (*stopHandler)(int code) = nullptr;
};

struct ScreenBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[16];
};

ScreenBitmapInfo MakeBitmapInfo()
{
    ScreenBitmapInfo info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = kPcWidth;
    info.header.biHeight = -kPcHeight;  // top-down, as the framebuffer
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 16;
    for (int i = 0; i < 16; ++i) {
        info.colours[i].rgbRed = static_cast<BYTE>(kPcPalette[i] >> 16);
        info.colours[i].rgbGreen = static_cast<BYTE>(kPcPalette[i] >> 8);
        info.colours[i].rgbBlue = static_cast<BYTE>(kPcPalette[i]);
    }
    return info;
}

PcWindow* WindowState(HWND window)
{
    return reinterpret_cast<PcWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

PcViewRect ClientView(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return PcFitView(client.right - client.left, client.bottom - client.top);
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const PcViewRect view = PcFitView(client.right, client.bottom);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bars[4] = {{0, 0, client.right, view.top},
                          {0, view.top + view.height, client.right, client.bottom},
                          {0, view.top, view.left, view.top + view.height},
                          {view.left + view.width, view.top, client.right, view.top + view.height}};
    for (const RECT& bar : bars) {
        if (bar.right > bar.left && bar.bottom > bar.top)
            FillRect(dc, &bar, black);
    }
    static const ScreenBitmapInfo info = MakeBitmapInfo();
    // Whole pixels copied, never blended: the picture stays as crisp as the screen's.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, view.left, view.top, view.width, view.height, 0, 0, kPcWidth, kPcHeight, PcFramebuffer(),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
    EndPaint(window, &paint);
}

// The PC's scan code of a key that types no character, or 0.
unsigned char ExtendedCode(WPARAM key)
{
    switch (key) {
    case VK_UP: return 72;
    case VK_DOWN: return 80;
    case VK_LEFT: return 75;
    case VK_RIGHT: return 77;
    case VK_HOME: return 71;
    case VK_END: return 79;
    case VK_PRIOR: return 73;
    case VK_NEXT: return 81;
    case VK_INSERT: return 82;
    case VK_DELETE: return 83;
    default: break;
    }
    if (key >= VK_F1 && key <= VK_F10)
        return static_cast<unsigned char>(59 + (key - VK_F1));
    return 0;
}

void ApplyPointer(PcWindow& state)
{
    state.pointerShown = PcPointerVisible();
    POINT point;
    if (!GetCursorPos(&point) || WindowFromPoint(point) != state.window)
        return;
    ScreenToClient(state.window, &point);
    RECT client;
    GetClientRect(state.window, &client);
    if (PtInRect(&client, point))
        SetCursor(state.pointerShown ? LoadCursorW(nullptr, IDC_ARROW) : nullptr);
}

void Repaint(PcWindow& state)
{
    InvalidateRect(state.window, nullptr, FALSE);
    UpdateWindow(state.window);
    state.lastPaint = GetTickCount();
}

void WaitInput(void* context)
{
    PcWindow& state = *static_cast<PcWindow*>(context);
    Repaint(state);
    const uint64_t before = PcInputEventCount();
    while (PcInputEventCount() == before) {
        if (state.closed)
            PcStop(0);
        MSG message;
        if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
            state.closed = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Present(void* context, bool now)
{
    PcWindow& state = *static_cast<PcWindow*>(context);
    if (state.pointerShown != PcPointerVisible())
        ApplyPointer(state);
    if (!now && GetTickCount() - state.lastPaint < kPaintInterval)
        return;
    Repaint(state);
    // Keeps the window answering while a program draws or computes between waits.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            state.closed = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (state.closed)
        PcStop(0);
}

int64_t Clock(void*)
{
    // Hundredths of a second since midnight, as the PC's clock counts.
    SYSTEMTIME time;
    GetLocalTime(&time);
    return ((int64_t(time.wHour) * 60 + time.wMinute) * 60 + time.wSecond) * 100 + time.wMilliseconds / 10;
}

void Stop(void* context, int code)
{
    PcWindow* state = static_cast<PcWindow*>(context);
    void (*handler)(int) = state->stopHandler;
    PcWindowClose(state->window);
    if (handler)
        handler(code);
    std::exit(code);
}

LRESULT CALLBACK PcWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* state = static_cast<PcWindow*>(create->lpCreateParams);
        state->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    }
    PcWindow* state = WindowState(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_CHAR:
        if (wParam >= 1 && wParam <= 127)
            PcQueueKey(static_cast<unsigned char>(wParam));
        return 0;
    case WM_KEYDOWN:
        if (const unsigned char code = ExtendedCode(wParam))
            PcQueueExtendedKey(code);
        return 0;
    case WM_SYSKEYDOWN:
        // F10 arrives as a system key; Alt+F4 and the rest keep their meaning.
        if (wParam == VK_F10) {
            PcQueueExtendedKey(ExtendedCode(wParam));
            return 0;
        }
        break;
    case WM_LBUTTONDOWN: {
        int x = 0, y = 0;
        if (PcViewPixel(ClientView(window), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                        x, y))
            PcQueuePress(x, y);
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(PcPointerVisible() ? LoadCursorW(nullptr, IDC_ARROW) : nullptr);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // The program's wait sees it and stops; the window goes with the stop.
        state->closed = true;
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete state;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing))
        return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = PcWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = nullptr;  // WM_SETCURSOR decides
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

// The client size: the largest of 2, 1.5 and 1 times 640 x 480 whose window fits the work area.
SIZE InitialClientSize()
{
    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, 1024, 768};
    SIZE client = {640, 480};
    for (const int tenths : {20, 15}) {
        RECT frame = {0, 0, 64 * tenths, 48 * tenths};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        if (frame.right - frame.left <= work.right - work.left && frame.bottom - frame.top <= work.bottom - work.top) {
            client = {64 * tenths, 48 * tenths};
            break;
        }
    }
    return client;
}

// Gives the window exactly the client size, whatever its frame turned out to be.
void SetClientSize(HWND window, SIZE client)
{
    RECT outer, inner;
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    const int width = (outer.right - outer.left) - inner.right + client.cx;
    const int height = (outer.bottom - outer.top) - inner.bottom + client.cy;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

HWND PcWindowOpen(HINSTANCE instance, const wchar_t* title, void (*stopHandler)(int code))
{
    if (!RegisterWindowClass(instance))
        return nullptr;
    auto* state = new PcWindow();
    state->stopHandler = stopHandler;
    const SIZE client = InitialClientSize();
    HWND window = CreateWindowExW(0, kClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, client.cx,
                                  client.cy, nullptr, nullptr, instance, state);
    if (!window) {
        delete state;
        return nullptr;
    }
    SetClientSize(window, client);
    PcBackend backend;
    backend.context = state;
    backend.waitInput = WaitInput;
    backend.present = Present;
    backend.clock = Clock;
    backend.stop = Stop;
    PcInstallBackend(backend);
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    Repaint(*state);
    return window;
}

void PcWindowClose(HWND window)
{
    if (!IsWindow(window))
        return;
    PcInstallBackend(PcBackend());
    DestroyWindow(window);
}

void PcWindowRun(HINSTANCE instance, const wchar_t* title, void (*program)())
{
    PcReset();
    if (!PcWindowOpen(instance, title, nullptr)) {
        MessageBoxW(nullptr, L"The program's window cannot be opened.", title, MB_OK | MB_ICONERROR);
        std::exit(1);
    }
    program();
    PcStop(0);
}
