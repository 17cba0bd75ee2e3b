#pragma once
// ospe: forecasts of a univariate series in two stages. A memory-shortening filter, the product of
// at most three simple autoregressive filters chosen from the data, turns the series into a
// short-memory series; a subset autoregression at lags 1, l1, l2, l3, found by exhaustive search,
// is fitted to it; the two filters together give one-step predictions and up to 52 forecasts,
// which are plotted and may be filed with the data. The computations are numerics/arar's (double
// precision); the program holds its series and forecasts in single precision.
#include <string>
#include <vector>

constexpr int kOspeMinValues = 30;
constexpr int kOspeMaxValues = 20000;
constexpr int kOspeMaxForecasts = 52;
// The longest output file name: longer names are asked again rather than cut.
constexpr int kOspeFileNameLength = 24;

// The program: start screen, introduction, then the main menu until its Exit item (text mode
// restored). ESC on the start screen stops the program.
void OspeMain();

// The memory-shortening stage on X(1..n), n >= kOspeMinValues: finds the filters, shows each
// pass's report, the polynomial psi(0..d) (5F10.4) and waits for a key. Returns 1 with d and psi
// (lags 0..d) set, or 0 when a sum of squares is zero (the series, or what a filter leaves of it,
// is all zeros): that is said, a key is awaited, and d and psi are left as they were.
[[nodiscard]] int MemoryShorten(int n, const float* X, int& d, std::vector<double>& psi);

// The subset autoregression menu on X(1..n) with the shortening polynomial psi (lags 0..d,
// psi(0) = 1): fits, reports, forecasts h <= kOspeMaxForecasts values, plots them and offers to
// file the data with the forecasts, until "Return to main menu." is chosen. X must have room for
// n + kOspeMaxForecasts values: the forecast plot copies the forecasts into X(n+1..n+h).
// Returns at once, after saying so and waiting for a key, when the short-memory series is
// constant.
void SubsetArMenu(int n, float* X, int d, const std::vector<double>& psi);

// The data plot: X(1..n) with the menu identifiers Continue 1, subset 2, rescale 3, a refused
// subset asked again below the previous one, and OspeBoundsPrompt. Returns PlotSeriesWith's
// status.
int OspePlotData(int n, float* X);
// The forecast plot: X(1..n) followed by the forecasts B(n+1..n+h) (B(1..n) hold kPlotNoValue),
// which are copied into X(n+1..n+h); from index n - 1000 when n > 1000, with a pause after the
// data even when h = 0. Returns PlotSeriesWith's status.
int OspePlotForecasts(int n, int h, float* X, const float* B);
// AskVerticalBounds with two empty lines before the first prompt, an empty line after the order
// message, and the out-of-range message "Data outside given bounds. - Respecify bounds.".
void OspeBoundsPrompt(float& max, float& min);
