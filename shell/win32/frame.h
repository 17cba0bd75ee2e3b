#pragma once
// The MDI frame window: its globals, window procedure, creation and message loop.
#include <windows.h>

#include <cstdint>

// User messages between the frame and the views.
enum : UINT {
    UM_QUERYVIEWTYPE = WM_USER + 0,   // 1024: a view answers its VIEW_* code
    UM_QUERYVIEWINFO = WM_USER + 1,   // 1025: a plot view answers its window, a report its slot
    UM_PLOTACTIVATED = WM_USER + 2,   // 1026: wParam owning slot, lParam view window
    UM_PLOTDEACTIVATED = WM_USER + 3, // 1027
    UM_TEXTACTIVATED = WM_USER + 4,   // 1028: wParam owning slot
    UM_TEXTDEACTIVATED = WM_USER + 5, // 1029
    UM_CUSTOMIZECOLORS = WM_USER + 6, // 1030: wParam frame window
    UM_REDRAWALL = WM_USER + 7,       // 1031
};

enum : int32_t { VIEW_PLOT = 1101, VIEW_TEXT = 1102, VIEW_DUPPLOT = 1103, VIEW_DUPTEXT = 1104 };

// Frame globals, set once at start.
extern HWND FrameWindow;
extern HWND MdiClient;
extern HMENU UnivariateMenu;
extern HMENU MultivariateMenu;
extern int32_t MenuInUse;  // 1 univariate bar on the frame, 2 multivariate
extern HWND StatusBar;
extern HWND ToolbarHandle;
extern HWND ModelessDialog;  // offered every message first while not null
extern HWND CommandTarget;
extern int32_t ZoomMode;     // 0 none, 1 region, 2 range, 3 out

constexpr const wchar_t* kFrameClass = L"Vesk";
constexpr const wchar_t* kFrameCaption = L"KELO::Vesk";

// The owner of a message box: the active dialog of this program, else the frame. A box with an
// owner keeps it disabled until answered, so boxes cannot stack or hide behind the frame.
HWND MessageBoxOwner();

// The top-level menu of a bar that carries the MDI window list (its Window menu).
HMENU WindowMenuOf(HMENU bar);

LRESULT CALLBACK FrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Start steps of WinMain before the loop: registers the class (first instance), loads both
// menu bars, creates the frame, clears the project table, puts the shell's own commands in the
// command table and shows the frame maximised. The project kinds register theirs afterwards.
// Returns the frame, or null when it could not be created.
HWND StartFrame(HINSTANCE instance, HINSTANCE previousInstance);

// The program's one message loop; returns the quit message's exit code.
int RunMessageLoop();
