#pragma once
// A multivariate project's table from and to ASCII: the Read Multivariate Data dialog behind
// Open and Import, and the Export to ASCII dialog.
#include <windows.h>

#include <cstdint>

struct MultivariateProject;

// Asks a file, then its number of columns in dialog 157 with previews of the first and last
// series. OK installs the table read (the model and the transform stack go with the old table)
// only when it holds at least one complete vector; Cancel keeps the project as it was. Returns
// 1 after a read; 0 when cancelled, when the file cannot be read ("Cannot open file") or when
// there is not enough memory (the project unchanged).
int32_t MultivarReadData(MultivariateProject& project);

// Procedure of dialog 157, created with its state (see table_commands.cpp) as parameter.
INT_PTR CALLBACK ReadMultivariateDataDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog 105: the table or the model's residuals (the n - p points of the fit) to the clipboard
// or to a file. Returns 1 after a file was written, else 0.
int32_t MultivarExport(MultivariateProject& project);
