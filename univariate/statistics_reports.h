#pragma once
// Reports of the four statistics views of a univariate project: the ACF/PACF, the histogram,
// the spectrum and the cumulative spectrum.
#include <cstdint>
#include <string>

#include "shell/report_text.h"
#include "univariate/univariate_project.h"

// The sample part appears while the sample is shown (bit 1) and its values exist, the model part
// likewise (bit 2); a fractionally integrated model's Gamma(0) is given for its white-noise
// variance.
InfoCalls AcfReport(const UnivariateFields& project);
InfoCalls HistogramReport(const UnivariateFields& project);
// A histogram report: the heading block and the bin count.
InfoCalls BinCountReport(int32_t rowLength, const std::string& heading, int32_t bins);
InfoCalls SpectrumReport(const UnivariateFields& project);
InfoCalls CumulativeSpectrumReport(const UnivariateFields& project);
