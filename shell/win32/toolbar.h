#pragma once
// The frame's toolbar with its tooltips, and the three-part status bar.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

constexpr int kFixedToolbarButtons = 6;

// Creates the toolbar with the six buttons every project shares; stores and returns it.
HWND CreateToolbar(HWND frame);

// Answers a tooltip's need-text request (ANSI or Unicode form) from the string table.
// Returns 1; 0 only for a missing request.
int ToolbarTipText(NMHDR* request);

// The string-table id of a command's tooltip, 0 when the command has none.
UINT TooltipStringId(UINT command);

// Deletes every button behind the six fixed ones, last first.
void ClearProjectButtons();
// Appends a push button with an image of the program bitmap, or a separator when image is -1.
void AppendToolbarButton(int image, UINT command);

// Replaces the project-specific buttons for the project in `slot` (0: none).
void UpdateToolbar(int32_t slot);

// Writes the three status-bar parts for the project in `slot` (0: none).
void UpdateStatusBar(int32_t slot);

// Sets the text of one status-bar part (0, 1 or 2).
void SetStatusText(int part, const wchar_t* text);
