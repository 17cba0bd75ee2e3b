#include "shell/number_format.h"

#include "platform/fortran_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr std::size_t kShortLength = 15;
constexpr std::size_t kLongLength = 30;

std::string PadRight(std::string text, std::size_t length)
{
    if (text.size() < length)
        text.append(length - text.size(), ' ');
    return text;
}

std::string TrimTrailing(std::string text)
{
    std::size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

// The first `width`-character field of x written with `format`, leading blanks removed; asterisks
// when the format cannot be used.
std::string WriteField(const std::string& format, double x, std::size_t width = kShortLength)
{
    std::string record;
    if (WriteFormatted(format, {x}, record) != 1)
        return std::string(width, '*');
    record = record.substr(0, width);
    std::size_t first = record.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : record.substr(first);
}

// "(F15.d)" with d as FormatInt writes it.
std::string FixedFormat(int32_t decimals)
{
    return "(F15." + TrimTrailing(FormatInt(decimals)) + ")";
}

// The double nearest to 10^n (0 or infinity beyond the range); exact to the last bit on every
// platform, unlike pow.
double PowerOfTen(int n)
{
    std::string text = "1e" + FreeFormatInt(n);
    double value = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = n < 0 ? 0.0 : HUGE_VAL;
    return value;
}

// floor(log10 a) and ceiling(log10 a) for finite a > 0, as a correctly rounded log10 gives them:
// the powers of ten are the doubles nearest to them, so 1e-10 has both equal to -10. Found by
// comparison rather than from the library's log10, whose last bit differs between run times.
void Log10Bounds(double a, int& lower, int& upper)
{
    int e = static_cast<int>(std::floor(std::log10(a)));
    while (e > -400 && PowerOfTen(e) > a)
        --e;
    while (e < 400 && PowerOfTen(e + 1) <= a)
        ++e;
    lower = e;
    upper = PowerOfTen(e) == a ? e : e + 1;
}

}  // namespace

std::string FormatInt(int32_t n)
{
    return PadRight(FreeFormatInt(n), kShortLength);
}

std::string FormatFixed(double x, int32_t decimals)
{
    if (decimals < 0)
        return std::string(kShortLength, '*');
    return PadRight(WriteField(FixedFormat(decimals), x), kShortLength);
}

std::string FormatSignificant(double x, int32_t digits)
{
    if (!std::isfinite(x))
        return PadRight(WriteField("(F15.0)", x), kLongLength);
    // With digits beyond every double's exponent range the F15.d field can never hold the text.
    if (digits < 1 || digits > 400)
        return PadRight(std::string(kShortLength, '*'), kLongLength);
    double y = 0.0;
    int d = digits - 1;
    if (x != 0.0) {
        double a = std::fabs(x);
        int lower = 0;
        int k = 0;
        Log10Bounds(a, lower, k);
        if (k >= -10 - digits) {
            d = digits - 1 - lower;
            // A field of 15 characters holds at most 14 decimals; past that no y is needed.
            if (d <= 14) {
                double r = std::round(a * PowerOfTen(digits - k));
                y = std::copysign(r * PowerOfTen(k - digits), x);
                if (!std::isfinite(y))
                    return PadRight(std::string(kShortLength, '*'), kLongLength);
            }
        }
    }
    std::string format = d <= 1 ? "(F15.0)" : FixedFormat(d);
    return PadRight(WriteField(format, y), kLongLength);
}

std::string FormatFitted(double x, int32_t decimals)
{
    return PadRight(FittedFixed(x, decimals), kShortLength);
}

std::string WithoutBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

namespace {

constexpr int32_t kNarrowestField = 8;  // "-1.E+308": the narrowest exponent form

bool ShowsValue(const std::string& text, double x, NumberScale scale)
{
    return x == 0.0 || scale == NumberScale::Fixed || text.find_first_of("123456789") != std::string::npos;
}

// The one rule for a number in a field of `width` characters (8 to 15). `preferred` is the form
// the report asks for; it stands when it fits and, for a quantity of no fixed scale, does not turn
// a value that is not zero into zeros. A value too wide for it gets the significant-digit form
// with the most digits (at most `digits`) that fit, but never fewer than the exponent form would
// show; a value too small to show, or too wide for every fixed-point text, gets the exponent
// form: as many significant digits as fit, at most `digits` ("1.7970000E+308", "-7.390E-010").
std::string FieldText(double x, const std::string& preferred, int32_t digits, int32_t width, NumberScale scale)
{
    width = std::clamp(width, kNarrowestField, static_cast<int32_t>(kShortLength));
    if (!std::isfinite(x)) return WithoutBlanks(WriteField("(F15.0)", x));
    const std::string first = WithoutBlanks(preferred);
    const bool fits = first.find('*') == std::string::npos && first.size() <= static_cast<std::size_t>(width);
    if (fits && ShowsValue(first, x, scale)) return first;
    // "d." and "E+ddd" around the digits after the first, and the sign.
    const int32_t exponentDigits = std::clamp(width - 6 - (x < 0.0 ? 1 : 0), 1, std::max(digits, 1));
    if (!fits) {
        for (int32_t k = std::min(digits, width); k >= exponentDigits; --k) {
            const std::string text = WithoutBlanks(FormatSignificant(x, k));
            if (text.find('*') == std::string::npos && text.size() <= static_cast<std::size_t>(width) &&
                ShowsValue(text, x, NumberScale::Free))
                return text;
        }
    }
    const std::string format = "(1PE" + FreeFormatInt(width) + "." + FreeFormatInt(exponentDigits - 1) + "E3)";
    return WithoutBlanks(WriteField(format, x, static_cast<std::size_t>(width)));
}

}  // namespace

std::string FittedFixed(double x, int32_t decimals, int32_t width, NumberScale scale)
{
    return FieldText(x, FormatFixed(x, decimals), static_cast<int32_t>(kShortLength), width, scale);
}

std::string FittedSignificant(double x, int32_t digits, int32_t width, NumberScale scale)
{
    return FieldText(x, FormatSignificant(x, digits), digits, width, scale);
}

double ParseReal(std::string_view text)
{
    double value = 0.0;
    if (ReadFreeReals(text, 1, &value) == 1)
        return value;
    int32_t integer = 0;
    if (ReadFreeInts(text, 1, &integer) == 1)
        return integer;
    return 0.0;
}

std::string IntText(int32_t n) { return WithoutBlanks(FormatInt(n)); }
std::string FixedText(double x, int32_t decimals) { return WithoutBlanks(FormatFixed(x, decimals)); }
std::string SignificantText(double x, int32_t digits) { return FittedSignificant(x, digits); }
std::string FittedText(double x, int32_t decimals) { return FittedFixed(x, decimals); }
