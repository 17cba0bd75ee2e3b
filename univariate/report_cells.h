#pragma once
// Number texts and cells of the univariate reports, all through the shell's formatters: running
// text without blanks, table cells right-justified in 15 (integers, F15.d) or 30 (significant
// digits) characters.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fortran_format.h"
#include "shell/number_format.h"

// The text without leading and trailing blanks.
std::string Trimmed(const std::string& text);
// The text right-justified in a cell of `width` characters (a longer text is kept whole).
std::string RightCell(const std::string& text, size_t width);
std::string IntCell(int32_t n);
// A real in its 15-character cell as FittedFixed writes it in 14, so that a blank stands before it.
std::string FixedCell(double x, int32_t decimals, NumberScale scale = NumberScale::Free);
std::string SignificantCell(double x, int32_t digits);
// A line written by free-format output of one text item: one blank in front of it.
std::string Composed(const std::string& text);
// One record written under a Fortran format, without its line end.
std::string FormattedLine(std::string_view format, const std::vector<FormatValue>& values);
