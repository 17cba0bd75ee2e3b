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

// Whether `text` reads back, as a whole, as a number within `tolerance` of x.
bool ReadsBack(const std::string& text, double x, double tolerance)
{
    double shown = 0.0;
    if (text.empty() || text.find_first_of(" ,/*") != std::string::npos) return false;
    if (ParseDialogReal(text, shown) != 1) return false;
    return std::fabs(shown - x) <= tolerance;
}

// x in exponent form with `digits` significant digits; three exponent digits only where two do
// not hold the exponent.
std::string ExponentText(double x, int32_t digits)
{
    const bool wide = x != 0.0 && (std::fabs(x) >= 1e99 || std::fabs(x) < 1e-99);
    const std::string format = "(1PE" + std::to_string(digits + 7 + (wide ? 1 : 0)) + "." +
                               std::to_string(digits - 1) + (wide ? "E3)" : "E2)");
    std::string text = Formatted(format, {x});
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return Trimmed(text);
}

}  // namespace

std::string ProposedNumberText(double x, const std::string& usual, int32_t digits, ProposedScale scale)
{
    digits = std::clamp(digits, 1, 17);
    const std::string kept = Trimmed(usual);
    if (scale == ProposedScale::Fixed ? ReadsBack(kept, x, HUGE_VAL) : ReadsBack(kept, x, 1e-3 * std::fabs(x))) return kept;
    return ExponentText(x, digits);
}
