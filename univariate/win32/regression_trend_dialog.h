#pragma once
// The Regression Trend Function dialog (171): intercept, polynomial degree, harmonics with their
// Fourier indices and the auxiliary variables, written straight into the project's record.
#include <windows.h>

#include <cstdint>

struct UnivariateProject;

// Dialog procedure of dialog 171; the creation parameter is the UnivariateProject. Every accepted
// entry is in the record at once; a refused or unreadable one never reaches it (the field keeps
// its last accepted value). OK ends with 1 once the record holds a usable trend; Cancel clears
// termCount, harmonicCount, polynomialDegree and auxPresent and ends with 0; the close box ends
// with 2 (the entries stand, as with OK), dropping harmonics whose indices are not all in 1..n
// (as unchecking them does).
INT_PTR CALLBACK RegressionTrendDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs dialog 171 modally over the project's data window (the frame without one) on `project`.
// Returns the dialog's result: 1 OK, 2 the close box, 0 Cancel, -1 when it could not be shown.
int32_t RunRegressionTrendDialog(UnivariateProject& project);
