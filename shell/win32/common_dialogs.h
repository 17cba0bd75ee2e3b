#pragma once
// The system's file and colour dialogs, as the whole program asks them.
#include <windows.h>

#include <string>

constexpr int kOpenFileMode = 4534;

// Asks for a project or data file: the open dialog ("Open file") for mode kOpenFileMode, else
// the save dialog ("Save KELO file"). Filter "KELO Files (*.KDX)" and "All Files (*.*)",
// default extension KDX, the overwrite question, no read-only box; the path must exist, and in
// the open dialog the file too (saving may create a file). The dialog shows centred on the part of
// the owner's top-level window (the frame) that the screen shows, wherever the owner itself lies.
// Nothing is remembered between calls.
// Returns 1 with `name` the chosen path in UTF-8, blank-padded to 256 characters when shorter;
// 0 when cancelled or the dialog failed (`name` unchanged).
[[nodiscard]] int GetProjectFileName(HWND owner, std::string& name, int mode);

// Runs the colour dialog preset to `color`, with the 16 greys 0, 16, ..., 240 as custom colours
// on every call. Returns the chosen colour, or `color` when cancelled.
COLORREF ChoosePlotColor(HWND owner, COLORREF color);
