#pragma once
// Smooth > Exponential, FFT and Moving Ave.: each smooths the imported series, shows it with its
// smoothed version in the command's view and opens its dialog, which recomputes the view while it
// is open: the slider dialogs 154 "Exponential Smoothing" and 153 "FFT Smoothing", and the weight
// dialog 151 "Moving Average Smooth". OK keeps the result, Cancel puts back what the project held
// when the view was open before (and closes a view the command opened).
#include <windows.h>

#include <cstdint>

struct UnivariateProject;
struct SmoothingRun;

// The creation parameter of the weight dialog: the project and the command's run, whose record
// of the last applied order and weights the dialog keeps up to date.
struct MaSmoothRequest {
    UnivariateProject* project = nullptr;
    SmoothingRun* run = nullptr;
};

// The commands. Each returns 1 after its dialog ran, 0 when the project holds no series (nothing
// is shown) or the view could not be opened.
int32_t ExpSmooth(UnivariateProject& project);
int32_t FftSmooth(UnivariateProject& project);
int32_t MaSmooth(UnivariateProject& project);

// The slider dialogs; the creation parameter is the project. They end with 1 (OK) or 0.
INT_PTR CALLBACK ExpSmoothDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FftSmoothDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The weight dialog; the creation parameter is a MaSmoothRequest. Ends with 1 (OK, after an
// accepted Apply) or 0.
INT_PTR CALLBACK MaSmoothDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
