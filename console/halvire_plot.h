#pragma once
// halvire's plot: the console series plot (console/series_plot.h) of the program's series with a
// second series the caller passes, in data mode or, for the autocovariance plots, in lag mode
// (index i stands for lag i - 1).

// Plots y(1..n) followed by the h appended values v(n + 1 .. n + h), with the second series
// v(1..n + h) (a value above 1e29 meaning none), and offers the plot's menu until "Continue".
// The caller's y is not changed. Arrays are passed from their first element.
// Returns PlotSeriesWith's status: 1, or 0 without drawing for arguments it refuses.
int HalvirePlot(const float* y, int n, int h, const float* v, bool lagMode);
