#pragma once
// Number texts for reports, dialogs, plot labels and the clipboard, and the reading of one number
// from a text. Every result is a fixed-length, blank-padded, left-justified string; callers that
// want the short text take it up to its last non-blank character.
#include <cstdint>
#include <string>
#include <string_view>

// The free-format (shortest decimal) text of n, padded to 15 characters: "-42", "0".
std::string FormatInt(int32_t n);

// x written with the descriptor F15.decimals, leading blanks removed, padded to 15 characters:
// 3.14159 with 2 decimals gives "3.14"; a value that needs more than 15 characters gives 15
// asterisks. decimals is 0 or more (a negative count also gives the asterisks).
std::string FormatFixed(double x, int32_t decimals);

// x rounded to `digits` (1 or more) significant digits, halves away from zero, and written as
// fixed-point text in a 15-character field, padded to 30 characters: 12.345 with 5 digits gives
// "12.345", 1234.56 gives "1235.". The decimals shown are digits - 1 - floor(log10 |x|), or none
// when that is 1 or less; magnitudes below 10^(-10 - digits) show as zero. A value whose text needs
// more than 15 characters gives 15 asterisks (also for digits < 1); Infinity and NaN give their
// names.
std::string FormatSignificant(double x, int32_t digits);

// Whether a quantity lives on a fixed scale (an autocorrelation, a probability, a fraction of
// one), where a value too small to show may read as zero, or has none (a coefficient, a standard
// error, a variance, a criterion, a mean), where a value that is not zero never reads as zero.
enum class NumberScale { Free, Fixed };

// The one rule for writing a number into a field of `width` characters (8 to 15), without blanks:
// - the preferred form (FittedFixed: FormatFixed's F15.decimals; FittedSignificant:
//   FormatSignificant's text with `digits` digits) wherever it fits and shows the value, that is
//   its digits are not all zero, or the value is zero, or the scale is fixed;
// - a value too wide for it: the significant-digit form with the most digits that fit, but not
//   fewer than the exponent form would show (1e10 with 4 decimals in 14: "10000000000.00");
// - otherwise (too wide for every fixed-point text, or too small to show) the exponent form
//   1PEw.dE3 with as many significant digits as fit, at most `digits` ("1.7970000E+308",
//   "-7.390E-010");
// never asterisks; Infinity and NaN give their names. A cell of a row takes a width one less than
// its own, so that a blank always stands before the number.
std::string FittedFixed(double x, int32_t decimals, int32_t width = 15, NumberScale scale = NumberScale::Free);
std::string FittedSignificant(double x, int32_t digits, int32_t width = 15,
                              NumberScale scale = NumberScale::Free);

// FittedFixed(x, decimals) padded to 15 characters.
std::string FormatFitted(double x, int32_t decimals);

// The number that `text` begins with, read in free format (blanks and commas separate values, a
// slash ends the input, the rest of the text is ignored); 0 when the text does not begin with a
// number, or begins with a null value (a comma or a slash).
double ParseReal(std::string_view text);

// The text without its leading and trailing blanks.
std::string WithoutBlanks(const std::string& text);
// FormatInt and FormatFixed without their blanks, for running text.
std::string IntText(int32_t n);
std::string FixedText(double x, int32_t decimals);
// FittedSignificant and FittedFixed in a 15-character field, for a quantity of no fixed scale.
std::string SignificantText(double x, int32_t digits);
std::string FittedText(double x, int32_t decimals);
