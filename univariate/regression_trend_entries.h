#pragma once
// What the Regression Trend Function dialog accepts, portable: the reading of its edits and the
// check of the record before the trend is set up, so that no degree above 10, no more than four
// harmonics and no Fourier index outside 1..n reaches the regression.
#include <cstdint>
#include <string>

#include "univariate/univariate_project.h"

// Reads the text of edit `controlId` of the dialog (IDC_TREND_ORDER, IDC_TREND_HARMONICS or an
// IDC_TREND_INDEX_k), n being the project's length, as one typed whole number (ReadEntryNumber).
// Returns "" with `value` set when the entry is in range (degree 0..10, harmonics 0..4, index
// 1..n), else the message to show ("Degree must be between 0 and 10", "Number of harmonics must be
// between 0 and 4", "Index must be between 1 and number of obs."); a text that is no whole number
// gets the refusal that says why ("Degree \"x\" is not a number."). `value` is untouched on
// refusal.
std::string ReadRegressionTrendEntry(int controlId, const std::string& text, int32_t n, int32_t& value);

// The field of the record the dialog must not let pass: returns the control id of
// the first out-of-range entry (degree, then the harmonic count, then the indices 1..harmonicCount
// against 1..n) with its message, or 0 when all may be used.
int RegressionTrendFault(const UnivariateFields& project, std::string& message);

// The edit of Fourier index k = 1..4.
int FourierIndexControl(int k);
