#include "shell/proposed_number.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/dialog_values.h"
#include "platform/fortran_format.h"

namespace {

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

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
    return Trimmed(text);
}

// x in exponent form with `digits` significant digits; three exponent digits only where two do
// not hold the exponent (the field is then asterisks).
std::string ExponentText(double x, int32_t digits)
{
    const std::string mantissa = std::to_string(digits + 8) + "." + std::to_string(digits - 1);
    const std::string text = Written("(1PE" + mantissa + "E2)", x);
    return text.find('*') == std::string::npos ? text : Written("(1PE" + mantissa + "E3)", x);
}

}  // namespace

std::string ProposedNumberText(double x, const std::string& usual, int32_t digits, ProposedScale scale)
{
    digits = std::clamp(digits, 1, 17);
    const std::string kept = Trimmed(usual);
    if (scale == ProposedScale::Fixed ? ReadsBack(kept, x, HUGE_VAL) : ReadsBack(kept, x, 1e-3 * std::fabs(x))) return kept;
    return ExponentText(x, digits);
}
