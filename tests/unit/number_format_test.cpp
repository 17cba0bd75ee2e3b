#include "shell/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

struct TextCase {
    std::string actual;
    const char* expected;  // without the trailing blanks
    std::size_t length;
};

TEST(NumberFormat, FormatsNumbers)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::string stars(15, '*');
    const std::vector<TextCase> cases = {
        {FormatInt(-42), "-42", 15},
        {FormatInt(0), "0", 15},
        {FormatInt(-2147483647 - 1), "-2147483648", 15},
        {FormatFixed(3.14159, 2), "3.14", 15},
        {FormatFixed(2500000.0, 1), "2500000.0", 15},
        {FormatFixed(12345678901234.0, 2), stars.c_str(), 15},
        {FormatFixed(-0.5, 2), "-0.50", 15},
        {FormatFixed(12.0, 0), "12.", 15},
        {FormatFixed(0.5, 14), ".50000000000000", 15},
        {FormatFixed(1.0, 20), stars.c_str(), 15},
        {FormatFixed(1.0, -1), stars.c_str(), 15},
        {FormatSignificant(0.0, 5), "0.0000", 30},
        {FormatSignificant(0.0, 1), "0.", 30},
        {FormatSignificant(0.0, 2), "0.", 30},
        {FormatSignificant(-0.0, 5), "0.0000", 30},
        {FormatSignificant(12.345, 5), "12.345", 30},
        {FormatSignificant(-0.0012345678, 5), "-0.0012346", 30},
        {FormatSignificant(100.0, 5), "100.00", 30},
        // d = 1 still takes F15.0.
        {FormatSignificant(1234.56, 5), "1235.", 30},
        {FormatSignificant(12345.6, 5), "12346.", 30},
        {FormatSignificant(99999.7, 5), "100000.", 30},
        // Rounding carries to the next power of ten but the decimals stay those of the smaller one.
        {FormatSignificant(9.99996, 5), "10.0000", 30},
        // Halves go away from zero before the F descriptor sees the value.
        {FormatSignificant(0.125, 2), "0.13", 30},
        {FormatSignificant(-2.5, 1), "-3.", 30},
        {FormatSignificant(1e-16, 5), "0.0000", 30},
        {FormatSignificant(-3e-17, 5), "0.0000", 30},
        {FormatSignificant(1.0000001e-16, 5), stars.c_str(), 30},
        {FormatSignificant(9.9999e-11, 5), stars.c_str(), 30},
        {FormatSignificant(1e-10, 5), ".00000000010000", 30},
        {FormatSignificant(1e14, 5), stars.c_str(), 30},
        {FormatSignificant(2e15, 5), stars.c_str(), 30},
        {FormatSignificant(99999e9, 5), "99999000000000.", 30},
        {FormatSignificant(1.7976931348623157e308, 1), stars.c_str(), 30},
        {FormatSignificant(5e-324, 5), "0.0000", 30},
        {FormatSignificant(1.0, 0), stars.c_str(), 30},
        {FormatSignificant(1.0, 2147483647), stars.c_str(), 30},
        {FormatSignificant(-inf, 5), "-Infinity", 30},
        // Fixed where F15.d holds the value, else the most significant digits 15 characters hold,
        // else exponent form; a value that is not zero never reads as zero.
        {FormatFitted(2.5, 4), "2.5000", 15},
        {FormatFitted(-1234567890.12345, 4), "-1234567890.123", 15},
        {FormatFitted(-999999999.12345, 4), "-999999999.1235", 15},
        {FormatFitted(9999999999.99994, 4), "9999999999.9999", 15},
        {FormatFitted(9999999999.99996, 4), "10000000000.000", 15},
        {FormatFitted(1e10, 4), "10000000000.000", 15},
        {FormatFitted(-1e10, 4), "-10000000000.00", 15},
        {FormatFitted(123456789012.3456, 4), "123456789012.35", 15},
        {FormatFitted(1.5e8, 6), "150000000.00000", 15},
        {FormatFitted(9999999999999.0, 4), "9999999999999.", 15},
        {FormatFitted(99999999999999.0, 4), "99999999999999.", 15},
        {FormatFitted(1e14, 4), "1.00000000E+014", 15},
        {FormatFitted(-1.797e308, 4), "-1.7970000E+308", 15},
        {FormatFitted(1.7976931348623157e308, 6), "1.79769313E+308", 15},
        {FormatFitted(1e-7, 4), "1.00000000E-007", 15},
        // A value too small to show takes the exponent form, not ".00000200000000".
        {FormatFitted(2e-6, 4), "2.00000000E-006", 15},
        {FormatFitted(0.0, 4), "0.0000", 15},
        {FormatFitted(0.5, 20), ".50000000000000", 15},
        {FormatFitted(-inf, 4), "-Infinity", 15},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(c.actual.size(), c.length) << c.expected;
        std::string trimmed = c.actual.substr(0, c.actual.find_last_not_of(' ') + 1);
        EXPECT_EQ(trimmed, c.expected);
    }
}

struct ParseCase {
    const char* text;
    double expected;
};

TEST(NumberFormat, ParsesFirstNumber)
{
    const std::vector<ParseCase> cases = {
        {"  3.5  ", 3.5}, {"7", 7.0}, {"1.5 2.5", 1.5}, {"1e3", 1000.0}, {"-.25,9", -0.25}, {"4 abc", 4.0},
        {"abc", 0.0}, {"", 0.0}, {"   ", 0.0}, {"3.5abc", 0.0}, {",5", 0.0}, {"/5", 0.0},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(ParseReal(c.text), c.expected) << '"' << c.text << '"';
}

}  // namespace
