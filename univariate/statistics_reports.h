#pragma once
// Reports of the four statistics views of a univariate project: the ACF/PACF, the histogram,
// the spectrum and the cumulative spectrum.
#include "shell/report_text.h"
#include "univariate/univariate_project.h"

// The sample part appears while the sample is shown (bit 1) and its values exist, the model part
// likewise (bit 2); a fractionally integrated model's Gamma(0) is given for its white-noise
// variance.
InfoCalls AcfReport(const UnivariateFields& project);
InfoCalls HistogramReport(const UnivariateFields& project);
InfoCalls SpectrumReport(const UnivariateFields& project);
InfoCalls CumulativeSpectrumReport(const UnivariateFields& project);
