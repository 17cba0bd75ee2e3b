#pragma once
// The frame's command table: WM_COMMAND ids and their handlers.
#include <windows.h>

// Runs the handler of command `id`. Returns true when the table holds the id (the frame then
// returns 0), false when the id belongs to the default frame procedure.
bool FrameCommand(HWND frame, UINT id);
