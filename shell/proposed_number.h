#pragma once
// The text of a number that a dialog proposes in one of its edits. A proposal the user accepts
// unchanged is read back by the dialog's own parser (ParseDialogReal), so it is a plain number
// that parser reads: digits, a point and an exponent, no asterisks, blanks or commas.
#include <cstdint>
#include <string>

// x, a quantity of no fixed scale (a variance, a tolerance), as a dialog proposes it. `usual` is
// the field's own text of x (FixedText), and stays where the parser reads it back within a
// thousandth of x: not asterisks, not a false zero, nor a fixed form with too few digits left
// (0.000001 for 1.4e-6, 29 % off). Otherwise x is written rounded to `digits` (1 to 17)
// significant digits in exponent form with three exponent digits, as FittedFixed writes it
// ("1.40000E-006", "-1.79700E+308"). A quantity on a fixed scale needs no such rule: FittedFixed
// with NumberScale::Fixed writes it readably.
std::string ProposedNumberText(double x, const std::string& usual, int32_t digits);
