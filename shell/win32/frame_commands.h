#pragma once
// The shell's own frame commands and the frame's WM_COMMAND entry.
#include <windows.h>

// Puts the shell's commands (view, window, help and project commands) in the command table.
void RegisterShellCommands();

// Finds CommandTarget, the view the command concerns, and dispatches `id` through the command
// table. Returns true when the table holds the id (the frame then returns 0), false when the id
// belongs to the default frame procedure.
bool FrameCommand(UINT id);

// Tells the user that a command stopped for want of memory (the project keeps what it had).
void ShowOutOfMemory();
