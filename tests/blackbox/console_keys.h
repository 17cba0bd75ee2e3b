#pragma once
// Keys for a console program's window, posted from another process, one token a key:
//   a single character   that character
//   enter, esc           Enter, Escape
//   up, down             the arrow keys
//   line:TEXT            TEXT typed, then Enter
// The program takes them as typed ahead, in order.
#include <windows.h>

#include <string>

// Posts one token's keys; false for a token it does not know.
inline bool PostConsoleKeys(HWND window, const std::string& token)
{
    auto character = [&](char c) { PostMessageW(window, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1); };
    if (token.size() == 1) {
        character(token[0]);
    } else if (token == "enter") {
        character('\r');
    } else if (token == "esc") {
        character('\x1b');
    } else if (token == "up" || token == "down") {
        PostMessageW(window, WM_KEYDOWN, token == "up" ? VK_UP : VK_DOWN, 1);
    } else if (token.rfind("line:", 0) == 0) {
        for (char c : token.substr(5))
            character(c);
        character('\r');
    } else {
        return false;
    }
    return true;
}

// The console programs' window of that title, waited for up to `milliseconds`.
inline HWND WaitForConsoleWindow(const wchar_t* title, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        if (HWND window = FindWindowW(L"VeskConsole", title))
            return window;
        Sleep(100);
    }
    return nullptr;
}
