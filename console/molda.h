#pragma once
// molda: a multivariate autoregression fitted by Whittle's recursion to an m-variate series read
// from a file, optionally differenced, with forecasts of the differenced and the original series
// and the file of one-step prediction errors.

// The program's dialogue; ends through its Exit items (or ESC on the start screen) with the
// program stop.
[[noreturn]] void MoldaMain();
