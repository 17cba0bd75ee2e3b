#pragma once
// Text of the report windows: what one InfoPrint call does, and the block of numbers that
// InfoPrintArray writes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text handed to InfoPrint ends at its NUL, which callers count in `length` (a 15-character
// heading comes with length 16). The call clears the report when the first `length` characters
// are all blanks: always when length is 0, never when the NUL lies within them.
bool InfoPrintClears(std::string_view text, int32_t length);
// The text up to its NUL.
std::string_view InfoPrintText(std::string_view text);

// The numbers values[0..n-1] (n is cut to the size of values), `perLine` to a line (at least 1):
// each written as F15.decimals without blanks, right-justified in a cell of 14 characters; a
// text too wide for its cell comes whole after one blank. Every line ends with CR LF, and one
// more CR LF follows the last value.
std::string InfoArrayText(const std::vector<double>& values, int32_t n, int32_t perLine, int32_t decimals);
