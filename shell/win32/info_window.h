#pragma once
// Text report windows: MDI children of class PlotTxtWin titled "INFO" whose client area is a
// read-only, multi-line EDIT control in a fixed-pitch font. Report writers fill them line by
// line.
#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "shell/report_text.h"

// Opens a report window owned by project `slot` and gives it the focus; returns it (null when it
// could not be created).
HWND CreateInfoWindow(int32_t slot);
// One call of a report writer. `length` counts the text's ending NUL. When the first `length`
// characters are blanks the report's whole text becomes `text` (an empty text clears it);
// otherwise the text and CR LF are appended at the end, wherever the user left the caret.
// A window that no longer exists ignores the call. Returns 1.
int32_t InfoPrint(HWND window, std::string_view text, int32_t length);
// Appends values[0..n-1], `perLine` to a line, each right-justified in 14 characters with
// `decimals` decimals, and one more line end after the last. Returns 1.
int32_t InfoPrintArray(HWND window, const std::vector<double>& values, int32_t n, int32_t perLine,
                       int32_t decimals, NumberScale scale = NumberScale::Free);

// Replays a report writer's calls on the report window: the window then holds what the calls
// one by one would leave in it. Returns 1.
int32_t InfoReplay(HWND window, const InfoCalls& calls);

LRESULT CALLBACK InfoWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shared with duplicate report windows: the read-only EDIT child filling `parent`, with no
// limit on its text but memory.
HWND CreateReportEdit(HWND parent);
// The EDIT child kept in a report window's user data.
HWND ReportEditOf(HWND window);
