#include "shell/report_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(InfoPrintText, ClearsOnlyForBlankTextsWithoutTheirNul)
{
    using namespace std::string_literals;
    struct Case {
        std::string text;
        int32_t length;
        bool clears;
    };
    const Case cases[] = {
        {"", 0, true},
        {"anything", 0, true},         // length 0 examines nothing
        {"  ", 3, false},              // blank, blank, NUL: an empty-looking line
        {"   ", 3, true},              // three blanks, NUL not examined
        {"Sample ACF", 11, false},
        {"  x", 2, true},              // only the first two are looked at
        {"AB\0CD"s, 6, false},
        {"", -4, true},
    };
    for (const Case& c : cases) EXPECT_EQ(InfoPrintClears(c.text, c.length), c.clears) << '"' << c.text << "\" " << c.length;
    EXPECT_EQ(InfoPrintText("AB\0CD"s), "AB");
}

TEST(InfoArrayTextTest, CellsAndLineEnds)
{
    const std::vector<double> v{1.5, -2.25, 3, 4, 5, 6};
    const std::string five = InfoArrayText(v, 5, 3, 2);
    EXPECT_EQ(five, "          1.50         -2.25          3.00\r\n"
                    "          4.00          5.00\r\n");
    const std::string six = InfoArrayText(v, 6, 3, 2);
    EXPECT_EQ(six, "          1.50         -2.25          3.00\r\n"
                   "          4.00          5.00          6.00\r\n\r\n");
    EXPECT_EQ(InfoArrayText(v, 0, 3, 2), "\r\n");
    EXPECT_EQ(InfoArrayText(v, 99, 10, 0).size(), 6 * 14 + 2u);  // n cut to the values given
    EXPECT_EQ(InfoArrayText({7}, 1, 0, 1), "           7.0\r\n\r\n");  // a count below 1 counts as 1
}

TEST(InfoArrayTextTest, WideValuesKeepABlankInFrontAndTheirColumn)
{
    // A text of 14 characters would fill the cell and run into the value before: 13 at most,
    // in significant-digit form where F15.d needs more, never asterisks.
    EXPECT_EQ(InfoArrayText({12345678901.25, 12345678901.25}, 2, 2, 2), "  12345678901.  12345678901.\r\n\r\n");
    EXPECT_EQ(InfoArrayText({1234567890.25}, 1, 1, 2), " 1234567890.25\r\n\r\n");
    EXPECT_EQ(InfoArrayText({-12345678901.25, 1}, 2, 2, 2), " -12345678901.          1.00\r\n\r\n");
    // Beyond every fixed-point text of 13 characters, and too small to show: exponent form.
    EXPECT_EQ(InfoArrayText({2.2e10, -1.5e20}, 2, 2, 4), "  22000000000. -1.50000E+020\r\n\r\n");
    EXPECT_EQ(InfoArrayText({7.39e-10, 0.0}, 2, 2, 6), " 7.390000E-010      0.000000\r\n\r\n");
    // Autocorrelations keep their fixed form, zeros included.
    EXPECT_EQ(InfoArrayText({7.39e-10, 0.5}, 2, 2, 4, NumberScale::Fixed), "        0.0000        0.5000\r\n\r\n");
}
