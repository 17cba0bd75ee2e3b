#pragma once
// Model > Specify: dialog 106, where the user types the ARMA model of a univariate project by
// hand. The dialog edits a working copy; OK writes it into the project (and refreshes every
// model view) only when the model passes its tests, Cancel leaves the project as it was.
#include <windows.h>

#include <cstdint>

struct UnivariateProject;

// Runs dialog 106 modally over the frame. Returns 1 after OK, 0 after Cancel.
int32_t SpecifyModel(UnivariateProject& project);

// The dialog's procedure; the creation parameter is the project.
INT_PTR CALLBACK SpecifyModelDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
