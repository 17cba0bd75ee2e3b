#pragma once
// The dialogs of the univariate transforms: Difference (114), Box-Cox with its live preview (115),
// Classical Decomposition with Show Fit (117) and Select Subsequence (118). Each reads its
// controls, checks them through the portable routines of univariate/transforms.h and applies.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct UnivariateProject;

// Shows `text` with the caption "KELO::Vesk Error"; the owner is `owner`, else the frame.
void ShowTransformMessage(HWND owner, const std::string& text);

// Shown when a transform ran out of memory; the project keeps what it held before.
extern const char* const kTransformMemoryMessage;

// Dialog 114: asks a lag until a valid one is applied or the dialog is cancelled. Returns 1 when
// a difference was applied, 0 otherwise.
int32_t DifferenceDialog(UnivariateProject& project);

// Dialog 115, run by DialogBoxParam with the project as creation parameter. Every new parameter
// withdraws the preview the dialog applied before and applies itself, with the views refreshed;
// OK keeps the last one (ends with 1), Cancel and the close box withdraw it (end with 0).
INT_PTR CALLBACK BoxCoxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog 117, run by DialogBoxParam with the project as creation parameter. Show Fit and OK
// replace the classical transform the dialog applied before; Cancel withdraws it and closes the
// fit view; the close box keeps both.
INT_PTR CALLBACK ClassicalDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog 118: asks a range until a valid one is applied or the dialog is cancelled. Returns 1
// when a subsequence was taken, 0 otherwise.
int32_t SubsequenceDialog(UnivariateProject& project);

// The classical-fit view (view 5): created when it has no window (titled after the data window,
// curve 1 the decomposed data over first..last, no markers on curve 2), then curve 2 takes `fit`
// and the view is shown in front of the other windows. Returns 1; 0 when the view could not be
// created.
int32_t ShowFitView(UnivariateProject& project, const std::vector<double>& data, const std::vector<double>& fit,
                 int32_t first, int32_t last);

// The same for view `which`, titled `titlePrefix` and the data window's title without trailing
// blanks; the view is shown where it stands among the windows.
int32_t ShowDataAndFitView(UnivariateProject& project, int32_t which, const wchar_t* titlePrefix,
                           const std::vector<double>& data, const std::vector<double>& fit, int32_t first, int32_t last);
