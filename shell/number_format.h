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

// x in a 15-character field: as FormatFixed writes it with `decimals` decimals where that field
// holds it; else in significant-digit form, FormatSignificant's text with as many digits as 14
// characters hold (a value of 1e10 with 4 decimals gives "10000000000.00"), so that a blank stays
// in front of it in a right-aligned cell; and where no fixed-point text fits (magnitudes from 1e13
// on), in scientific form with 8 digits, 7 when negative (1PE15.7E3: "1.7970000E+308",
// "-1.797000E+308"). Leading blanks removed, padded to 15 characters; never asterisks.
std::string FormatFitted(double x, int32_t decimals);

// The number that `text` begins with, read in free format (blanks and commas separate values, a
// slash ends the input, the rest of the text is ignored); 0 when the text does not begin with a
// number, or begins with a null value (a comma or a slash).
double ParseReal(std::string_view text);

// FormatInt, FormatFixed, FormatSignificant and FormatFitted without their blanks, for running
// text.
std::string IntText(int32_t n);
std::string FixedText(double x, int32_t decimals);
std::string SignificantText(double x, int32_t digits);
std::string FittedText(double x, int32_t decimals);
