#pragma once
// Plot > Customize Colors: seven of the plot colours changed with a live preview in every
// univariate project's plots; Cancel puts the colours of the dialog's opening back.
#include <windows.h>

#include <cstdint>

// Runs dialog 149 over the frame. OK: asks the frame to repaint all plots and returns 1. Cancel
// (colours restored) and the title bar's close (colours kept) return 0.
int32_t CustomizeColors();

INT_PTR CALLBACK ColorsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows `color` in a static control of `dialog` as a picture filled with it; the picture it
// replaces is deleted.
void ShowColorSwatch(HWND dialog, int controlId, COLORREF color);
