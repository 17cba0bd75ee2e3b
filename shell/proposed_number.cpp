#include "shell/proposed_number.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/dialog_values.h"
#include "platform/fortran_format.h"
#include "shell/number_format.h"

namespace {

// Whether `text` reads back as a number within `tolerance` of x.
bool ReadsBack(const std::string& text, double x, double tolerance)
{
    double shown = 0.0;
    return ParseDialogReal(text, shown) == 1 && std::fabs(shown - x) <= tolerance;
}

std::string Written(const std::string& format, double x)
{
    std::string text = Formatted(format, {x});
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return WithoutBlanks(text);
}

// x in exponent form with `digits` significant digits and three exponent digits, as the reports
// write a number too wide for its field.
std::string ExponentText(double x, int32_t digits)
{
    return Written("(1PE" + std::to_string(digits + 8) + "." + std::to_string(digits - 1) + "E3)", x);
}

}  // namespace

std::string ProposedNumberText(double x, const std::string& usual, int32_t digits)
{
    digits = std::clamp(digits, 1, 17);
    const std::string kept = WithoutBlanks(usual);
    if (ReadsBack(kept, x, 1e-3 * std::fabs(x))) return kept;
    return ExponentText(x, digits);
}
