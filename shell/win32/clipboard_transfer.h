#pragma once
// Series and tables of numbers to and from the clipboard as plain text. The text itself is
// built and parsed by shell/clipboard_text.h.
#include <windows.h>

#include <cstdint>
#include <vector>

// Puts the series, one value a line, on the clipboard. Returns 1, or 0 after "Clipboard not
// available" (caption "KLEO Error") when the clipboard cannot be opened or filled.
int CopySeriesToClipboard(const std::vector<double>& values);

// Puts the table (k rows, r columns, column by column) on the clipboard, one column a line with
// TABs between values. Returns as CopySeriesToClipboard.
int CopyTableToClipboard(int32_t k, int32_t r, const std::vector<double>& table);

// Reads a series from the clipboard text. status 1: `values` read. status 0: no text or no line;
// the caller reports "Clipboard empty". status -1: a line was refused and its message shown
// (caption "Import from clipboard"). `values` changes only on status 1.
void ReadClipboardSeries(std::vector<double>& values, int32_t& status);

// Reads a table, table(1..columns, 1..rows) column by column; status as for the series.
void ReadClipboardTable(std::vector<double>& table, int32_t& columns, int32_t& rows, int32_t& status);
