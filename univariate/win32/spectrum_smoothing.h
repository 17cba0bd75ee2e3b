#pragma once
// Spectrum > Smoothed Periodogram: dialog 155 "Spectrum smoothing", where the user builds a chain
// of Daniell filters, sees their combined weights as a stick picture, and with Apply shows the
// smoothed periodogram in the spectrum view. OK keeps it as the view's curve; any other end puts
// back the settings and the smoothed periodogram the project held before.
#include <windows.h>

#include <cstdint>

struct UnivariateProject;

// The command; the frame sets the project's showPeriodogram first. Returns 1 after the dialog
// ran; 0 when there is no periodogram to smooth (the spectrum code has said why).
int32_t SmoothPeriodogram(UnivariateProject& project);

// The dialog's procedure; the creation parameter is the project. Ends with 1 (OK after an
// accepted Apply) or 0.
INT_PTR CALLBACK SpectrumSmoothDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Steps of the dialog, on its controls and the project. SetDaniellCount applies the count
// edit's text (1, or 0 after refusing it with a message); SetDaniellOrder the order edit's text
// to the selected filter; DrawFilterWeights redraws the weight picture and its three labels.
int32_t SetDaniellCount(HWND dialog, UnivariateProject& project);
int32_t SetDaniellOrder(HWND dialog, UnivariateProject& project);
int32_t DrawFilterWeights(HWND dialog, UnivariateProject& project);
