#pragma once
// The statistics dialogs: Specify Lag (112), Specify Histogram Bins (116) and Fisher Spectrum
// Test (156).
#include <cstdint>

struct UnivariateProject;

// Asks the number of lags until a whole number from 1 to kMaxAcfLags is given (others are
// refused with a message) or the dialog is cancelled. The value becomes the sample, model and
// residual lag count, and the open ACF views that show them are redrawn. Returns 1 on OK, 0 on
// Cancel.
int32_t SpecifyLagDialog(UnivariateProject& project);

// Asks the number of bins (proposed: the open histogram's, else the default rule) until a whole
// number from 1 to kMaxHistogramBins is given or the dialog is cancelled; then draws the
// histogram with it. Returns 1 on OK, 0 on Cancel.
int32_t HistogramBinsDialog(UnivariateProject& project);

// Shows Fisher's ratio and its probability, computing the spectra first when neither spectrum
// view is open. Returns 1.
int32_t FisherTestDialog(UnivariateProject& project);
