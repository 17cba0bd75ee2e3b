#pragma once
// The PC's window backend: the screen scaled to the EGA monitor's 4:3 shape, the keyboard, the
// left button at screen pixels, the pointer shown or hidden as the program asks. Waiting for input
// waits for window messages; closing the window ends the program.
#include <windows.h>

// Opens the window, titled `title`, and installs it as the PC's backend. A program stop destroys
// the window and then calls `stopHandler` with the exit code when one is given (tests), or ends the
// process. Returns the window, or nullptr when it cannot be created.
HWND PcWindowOpen(HINSTANCE instance, const wchar_t* title, void (*stopHandler)(int code));
// Destroys the window without stopping the program; the PC is left without a backend.
void PcWindowClose(HWND window);

// Runs a console program in a window: switches the PC on, opens the window, runs `program` and
// ends the process with code 0 when it returns (its own stops end it with theirs).
[[noreturn]] void PcWindowRun(HINSTANCE instance, const wchar_t* title, void (*program)());
