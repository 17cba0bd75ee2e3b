#pragma once
// The text of a number that a dialog proposes in one of its edits. A proposal the user accepts
// unchanged is read back by the dialog's own parser (ParseDialogReal), so it is always a plain
// number that parser reads: digits, a point and an exponent, no asterisks, blanks or commas.
#include <cstdint>
#include <string>

// Whether a quantity has a scale of its own (a smoothing constant, Box-Cox lambda, fractional d)
// or none (a variance, a coefficient, a tolerance, a plot limit).
enum class ProposedScale : int32_t { Fixed, Free };

// x as a dialog proposes it. `usual` is the field's own text of x (FixedText or SignificantText
// of x), and stays where the parser reads it back: for a quantity on a fixed scale any number it
// reads (its fixed form may round a tiny value to zero, as the field intends); for one without,
// only a number within a thousandth of x (not a false zero, nor a fixed form with too few
// digits left, such as 0.000001 for 1.4e-6). Otherwise x is written rounded to `digits` (1 to 17)
// significant digits in exponent form, two exponent digits where they hold the exponent
// ("1.40000E-06", "-1.79700E+308").
std::string ProposedNumberText(double x, const std::string& usual, int32_t digits, ProposedScale scale);
