#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using K = NumberItemKind;

TEST(NumberText, ClassifierTellsNumbersFromEveryKindOfNonNumber)
{
    const struct {
        std::string item;
        K kind;
        double value;  // for numbers
    } cases[] = {
        {"1.5", K::Number, 1.5},
        {"-.5", K::Number, -0.5},
        {"5.", K::Number, 5},
        {"+3", K::Number, 3},
        {"1D3", K::Number, 1000},
        {"-7.25d-2", K::Number, -0.0725},
        {"0.123456-100", K::Number, 0.123456e-100},  // Fortran's exponent without its letter
        {"2.5+3", K::Number, 2500},
        {"Inf", K::NotFinite, 0},
        {"-infinity", K::NotFinite, 0},
        {"nan", K::NotFinite, 0},
        {"1e400", K::TooLarge, 0},
        {"-2.5D+999", K::TooLarge, 0},
        {".5e999", K::TooLarge, 0},
        // Dates and fractions: digits joined to '/', or to a '-' after a mantissa without a point.
        {"01/02/1990", K::DateOrFraction, 0},
        {"1/2", K::DateOrFraction, 0},
        {"2020/01/15", K::DateOrFraction, 0},
        {"1990-01", K::DateOrFraction, 0},
        {"-1-2", K::DateOrFraction, 0},
        {"1.5-3-4", K::Text, 0},
        {"a/2", K::Text, 0},
        // Digits joined to '/' on one side: a date when the parts between the slashes are a date's.
        {"12/Jan/2020", K::DateOrFraction, 0},
        {"Sept/2020", K::DateOrFraction, 0},
        {"2020/Q1", K::DateOrFraction, 0},
        {"1/", K::DateOrFraction, 0},
        {"/2", K::DateOrFraction, 0},
        {"-1.5/", K::DateOrFraction, 0},
        {"5/hr", K::Text, 0},
        {"2020/Q", K::Text, 0},
        {"Ja/2020", K::Text, 0},
        {"./2", K::Text, 0},
        {"12,", K::Text, 0},
        {"1e-", K::Text, 0},
        // Thousands separators and decimal commas.
        {"1,234.5", K::Thousands, 0},
        {"-1,234.", K::Thousands, 0},
        {"1,234,567", K::Thousands, 0},
        {"1.234,5", K::Thousands, 0},
        {"1.234.567,89", K::Thousands, 0},
        {"1.234.567", K::Thousands, 0},
        {"1,234.5e3", K::Thousands, 0},
        {"1234,567.8", K::Text, 0},
        {"1,2345.5", K::Text, 0},
        {"1.234,", K::Text, 0},
        {"1,234", K::DecimalComma, 0},
        {"12,5", K::DecimalComma, 0},
        {"-3,75", K::DecimalComma, 0},
        {"1,5e3", K::DecimalComma, 0},
        {"1,5D-2", K::DecimalComma, 0},
        {"1,5e", K::Text, 0},
        {"1,2,3", K::Text, 0},
        {"42,904762;304,85714", K::DecimalComma, 0},
        {"2;1,234.5", K::Thousands, 0},
        {"1;2", K::Text, 0},
        // The rest.
        {"", K::Empty, 0},
        {"\x1A", K::EndMark, 0},
        {"2\x1A", K::EndMark, 0},
        {"1\x01", K::Control, 0},
        {std::string("1\0", 2), K::Control, 0},
        {"\x7F", K::Control, 0},
        {"abc", K::Text, 0},
        {"580.38x", K::Text, 0},
        {"NA", K::Text, 0},
        {"0x10", K::Text, 0},
    };
    for (const auto& c : cases) {
        const NumberItem item = ClassifyNumberItem(c.item);
        EXPECT_EQ(static_cast<int>(item.kind), static_cast<int>(c.kind)) << c.item;
        if (c.kind == K::Number) {
            EXPECT_DOUBLE_EQ(item.value, c.value) << c.item;
        }
    }
}

TEST(NumberText, SinglePrecisionRefusesValuesTooLargeOrTooSmall)
{
    const struct {
        const char* item;
        NumberFault single;
        NumberFault wide;
    } cases[] = {
        {"3.4028235e38", NumberFault::None, NumberFault::None},
        {"3.5e38", NumberFault::TooLarge, NumberFault::None},
        {"340282356779733661637539395458142568448", NumberFault::TooLarge, NumberFault::None},
        {"1e400", NumberFault::TooLarge, NumberFault::NotFinite},
        {"1.1754944e-38", NumberFault::None, NumberFault::None},
        {"1.1754942e-38", NumberFault::TooSmall, NumberFault::None},
        {"-1e-39", NumberFault::TooSmall, NumberFault::None},
        {"1e-400", NumberFault::TooSmall, NumberFault::None},  // zero in double, but not zero
        {"0", NumberFault::None, NumberFault::None},
        {"-0.000e-400", NumberFault::None, NumberFault::None},
        {"NaN", NumberFault::NotFinite, NumberFault::NotFinite},
        {"x", NumberFault::Text, NumberFault::Text},
        {"1/2", NumberFault::DateOrFraction, NumberFault::DateOrFraction},
        {"1,5", NumberFault::DecimalComma, NumberFault::DecimalComma},
        {"1,234.5", NumberFault::Thousands, NumberFault::Thousands},
        {"", NumberFault::EmptyItem, NumberFault::EmptyItem},
        {"\x1A", NumberFault::EndMark, NumberFault::EndMark},
        {"\x02", NumberFault::Control, NumberFault::Control},
    };
    for (const auto& c : cases) {
        const NumberItem item = ClassifyNumberItem(c.item);
        EXPECT_EQ(static_cast<int>(ItemFault(item, NumberPrecision::Single)), static_cast<int>(c.single)) << c.item;
        EXPECT_EQ(static_cast<int>(ItemFault(item, NumberPrecision::Double)), static_cast<int>(c.wide)) << c.item;
    }
}

// A line's items: commas between digits part items only where that gives exactly what the line
// must give; empty items where a value should stand; a lone slash ends the items.
TEST(NumberText, LinesPartTheirItemsByTheCountTheyMustGive)
{
    const struct {
        const char* line;
        int64_t need;
        bool tabCells;
        NumberFault fault;
        const char* items;  // the kinds: n number, e empty, t text, d date, m mark, r a repeat of 3
        bool slash;
        int64_t afterSlash = 0;
        bool emptyEnd = false;
    } cases[] = {
        {"1 2 3", 3, false, NumberFault::None, "nnn", false},
        {"1,2", 2, false, NumberFault::None, "nn", false},
        {"1,2", 1, false, NumberFault::DecimalComma, "", false},
        {"1,2", 3, false, NumberFault::DecimalComma, "", false},
        {"1,2,3", 2, false, NumberFault::None, "nnn", false},
        {"1,234.5", 2, false, NumberFault::None, "nn", false},
        {"1,234.5", 1, false, NumberFault::Thousands, "", false},
        {"1,5 2,5", -1, false, NumberFault::DecimalComma, "", false},
        {"1,2,3", -1, false, NumberFault::None, "nnn", false},
        {"4611686018427387904*1 1,2", -1, false, NumberFault::DecimalComma, "", false},
        {"3*1,5", 2, false, NumberFault::DecimalComma, "", false},
        {"3*1,5", 4, false, NumberFault::None, "rn", false},
        {"1, 2", 1, false, NumberFault::None, "nn", false},
        {"1 ,2", 1, false, NumberFault::None, "nn", false},
        {"1,,2", 3, false, NumberFault::None, "nen", false},
        {",1", 2, false, NumberFault::None, "en", false},
        {"1,", 1, false, NumberFault::None, "n", false},
        {"1\t\t2", 2, false, NumberFault::None, "nn", false},
        {"1\t\t2", 2, true, NumberFault::None, "nen", false},
        {"\t1\t2\t\t", 2, true, NumberFault::None, "enn", false, 0, true},
        {"1\t2\t", 2, true, NumberFault::None, "nn", false, 0, true},
        {"1.5\t", 1, true, NumberFault::None, "n", false, 0, true},
        {"1.5 ", 1, true, NumberFault::None, "n", false},
        {"1\t2\t", 2, false, NumberFault::None, "nn", false},
        // A slash standing apart ends the items and counts those after it; one joined to a
        // character is part of its item.
        {"1 2 / 3", 2, false, NumberFault::None, "nn", true, 1},
        {"1,/ 3 4,5 / 6", 1, false, NumberFault::None, "n", true, 3},
        {"1 / 2 \x1A" "3", 1, false, NumberFault::None, "nm", true, 1},
        {"1\t/\t2\t", 1, true, NumberFault::None, "n", true, 1},
        {"7/ 9", 1, false, NumberFault::None, "dn", false},
        {"1/2 3", 2, false, NumberFault::None, "dn", false},
        {"12/Jan/2020 5.5", 2, false, NumberFault::None, "dn", false},
        {"12/Jan/2020,5.5", 1, false, NumberFault::None, "dn", false},
        {"5/hr", 1, false, NumberFault::None, "t", false},
        {"02/ 12/1967", 1, false, NumberFault::None, "dd", false},
        {"1 x 2", 3, false, NumberFault::None, "ntn", false},
        {"1 2\x1A" "3", 2, false, NumberFault::None, "nnm", false},
        {"", 1, false, NumberFault::None, "", false},
    };
    for (const auto& c : cases) {
        const LineItems split = SplitNumberLine(c.line, c.need, c.tabCells);
        EXPECT_EQ(static_cast<int>(split.fault), static_cast<int>(c.fault)) << c.line;
        std::string kinds;
        for (const LineItem& item : split.items) {
            switch (item.item.kind) {
            case K::Number: kinds += item.repeat == 3 ? 'r' : 'n'; break;
            case K::Empty: kinds += 'e'; break;
            case K::DateOrFraction: kinds += 'd'; break;
            case K::EndMark: kinds += 'm'; break;
            default: kinds += 't'; break;
            }
        }
        EXPECT_EQ(kinds, c.items) << c.line;
        EXPECT_EQ(split.slash, c.slash) << c.line;
        EXPECT_EQ(split.afterSlash, c.afterSlash) << c.line;
        EXPECT_EQ(split.emptyEnd, c.emptyEnd) << c.line;
    }
}

}  // namespace
