#include "shell/clipboard_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ClipboardText, CopiedTextsOfSeriesAndTables)
{
    EXPECT_EQ(FormatClipboardSeries({1.5, 2.25, -3}), "1.5000\r\n2.2500\r\n-3.0000");
    EXPECT_EQ(FormatClipboardSeries({}), "");
    EXPECT_EQ(FormatClipboardTable(2, 2, {1, 2, 3, 4}), "1.0000\t2.0000\r\n3.0000\t4.0000");
}

TEST(ClipboardText, ValuesTheFixedTextCannotShowGoInExponentForm)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double x;
        const char* text;
    } cases[] = {
        {0.0, "0.0000"},           // a true zero keeps its fixed text
        {12.345, "12.345"},
        {1.2345678e20, "1.2346E+020"},  // fixed text would be asterisks
        {-1.5e-12, "-1.5000E-012"},
        {3e-20, "3.0000E-020"},         // fixed text would show 0
        {std::nan(""), "NaN"},
        {inf, "Infinity"},
        {-inf, "-Infinity"},
        // Rounding up would pass the largest double: the digits are cut instead.
        {std::numeric_limits<double>::max(), "1.7976E+308"},
        {-std::numeric_limits<double>::max(), "-1.7976E+308"},
        {1.79766e308, "1.7976E+308"},
        {1.79764e308, "1.7976E+308"},
        {1.7975e308, "1.7975E+308"},
        {-1.7975e308, "-1.7975E+308"},
        {5e-324, "4.9407E-324"},
    };
    for (const auto& c : cases) EXPECT_EQ(ClipboardNumberText(c.x), c.text) << c.x;
}

// What Copy writes Paste reads back, finite and within the 5 digits, up to the largest double.
TEST(ClipboardText, CopiesNearTheEndsOfTheRangePasteBack)
{
    const double largest = std::numeric_limits<double>::max();
    std::vector<double> values;
    for (double x : {largest, std::nextafter(largest, 0.0), largest * (1 - 1e-5), largest * (1 - 3e-5),
                     largest * (1 - 1e-4), 1e308, std::numeric_limits<double>::min(), 4.9e-324, 1e-320})
        for (double sign : {1.0, -1.0}) values.push_back(sign * x);
    std::vector<double> read;
    const ClipboardParse series = ParseClipboardSeries(FormatClipboardSeries(values), read);
    ASSERT_EQ(series.status, 1) << series.message;
    ASSERT_EQ(read.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_TRUE(std::isfinite(read[i])) << values[i];
        // Subnormal values keep fewer digits than their 5-digit text shows.
        EXPECT_NEAR(read[i], values[i], 1e-4 * std::fabs(values[i]) + 5e-324) << values[i];
    }
    int32_t columns = 0, rows = 0;
    const ClipboardParse table = ParseClipboardTable(FormatClipboardTable(2, static_cast<int32_t>(values.size() / 2), values),
                                                     columns, rows, read);
    ASSERT_EQ(table.status, 1) << table.message;
    ASSERT_EQ(read.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) EXPECT_NEAR(read[i], values[i], 1e-4 * std::fabs(values[i]) + 5e-324);
}

TEST(ClipboardText, PastedSeriesReadsEveryLineAndRefusesNonNumbers)
{
    const struct {
        const char* text;
        int32_t status;
        std::vector<double> values;
        const char* message;
    } cases[] = {
        {"1\r\n2\r\n3\r\n", 1, {1, 2, 3}, ""},
        {"1\r\n2\r\n3", 1, {1, 2, 3}, ""},  // the last line is read
        {"1\n2\r3", 1, {1, 2, 3}, ""},
        {"7", 1, {7}, ""},
        {"1.5 abc\n2\t\n", 1, {1.5, 2},
         "Line 1 holds more than one item. The rest of such lines was not read: 1 item in all."},
        {"", 0, {}, ""},
        {"1\r\nabc\r\n3", -1, {}, "Line 2 holds text where a number should stand"},
        // Blank lines are skipped as a file's are: a spreadsheet column copied with an empty cell.
        {"1\n\n3", 1, {1, 3}, ""},
        {"112\r\n118\r\n132\r\n\r\n", 1, {112, 118, 132}, ""},
        {"1\n,2", -1, {}, "Line 2 holds an empty item (a lone comma or slash)"},
        {"\xEF\xBB\xBF" "4\r\n5", 1, {4, 5}, ""},  // a byte-order mark is skipped
        {"1\nNaN\n3", -1, {}, "Line 2 holds a value that is not a finite number"},
        {"Inf", -1, {}, "Line 1 holds a value that is not a finite number"},
        {"1\n2\n-1e400", -1, {}, "Line 3 holds a value that is not a finite number"},
        {"1\nNA\n", -1, {}, "Line 2 holds text where a number should stand"},
        {"3,14\r\n2,72", -1, {}, "Line 1 holds a decimal comma or comma-parted numbers"},
        // not 199, 19.9
        {"1990-01,123.4\r\n1990-02,125.1", -1, {}, "Line 1 holds a date or a fraction where a number should stand"},
        {"5\r\n1-2", -1, {}, "Line 2 holds a date or a fraction where a number should stand"},  // not 0.01
    };
    for (const auto& c : cases) {
        std::vector<double> values = {99};
        const ClipboardParse result = ParseClipboardSeries(c.text, values);
        EXPECT_EQ(result.status, c.status) << c.text;
        EXPECT_EQ(result.message, c.message) << c.text;
        EXPECT_EQ(values, c.status == 1 ? c.values : std::vector<double>{99}) << c.text;
    }
}

TEST(ClipboardText, PastedTableTakesItsWidthFromTheNumbersOfTheFirstLine)
{
    const struct {
        const char* name;
        const char* text;
        int32_t columns;
        std::vector<double> table;  // row after row
    } read[] = {
        {"TAB-separated", "1\t2\t3\r\n4\t5\t6", 3, {1, 2, 3, 4, 5, 6}},
        // Columns parted by blanks, as in the table files, are columns (not one series of 1, 4).
        {"blank-separated", "1 2 3\r\n4 5 6\r\n", 3, {1, 2, 3, 4, 5, 6}},
        // A TAB after the last number adds no column of zeros.
        {"trailing TABs", "1\t2\t\n4\t5\n", 2, {1, 2, 4, 5}},
        {"blanks and TABs around numbers", "  1 \t 2\t \r\n3\t4  ", 2, {1, 2, 3, 4}},
        {"commas, a byte-order mark", "\xEF\xBB\xBF" "1, 2\t3\n4 5 6\n", 3, {1, 2, 3, 4, 5, 6}},
        {"comma-separated", "1,2,3\n4,5,6\n", 3, {1, 2, 3, 4, 5, 6}},
        {"text after the numbers of every row", "1\t2\tnote\n3\t4\tother\n", 2, {1, 2, 3, 4}},
        {"a slash ends a row", "1 2 / 7\n3 4\n", 2, {1, 2, 3, 4}},
        {"one column", "7\r\n8", 1, {7, 8}},
    };
    for (const auto& c : read) {
        int32_t columns = 0, rows = 0;
        std::vector<double> table;
        const ClipboardParse result = ParseClipboardTable(c.text, columns, rows, table);
        ASSERT_EQ(result.status, 1) << c.name << ": " << result.message;
        EXPECT_EQ(columns, c.columns) << c.name;
        EXPECT_EQ(rows, static_cast<int32_t>(c.table.size()) / c.columns) << c.name;
        // Row i is column i of the table, which holds its rows one after another.
        EXPECT_EQ(table, c.table) << c.name;
    }

    const struct {
        const char* text;
        const char* message;
    } refused[] = {
        {"1\t2\n3\n", "Line 2 has fewer numbers than the first line"},
        // A longer row once lost its extra numbers.
        {"1\t2\n3\t4\t5\n", "Line 2 has more numbers than the first line"},
        {"1\t\t\t\n1 2 3 4\n", "Line 2 has more numbers than the first line"},
        // An empty cell would move the values after it one column to the left.
        {"1\t\t3\n4\t5\t6\n", "Line 1 has an empty cell"},
        {"1\t2\t3\n4\t\t6\n", "Line 2 has an empty cell"},
        {"\t2\t3\n", "Line 1 has an empty cell"},
        {"1,,3\n", "Line 1 has an empty cell"},
        {"1\t2\nx\t3\n", "Line 2 holds text where a number should stand"},
        {"1\t2\n3\tNaN\n", "Line 2 holds a value that is not a finite number"},
        {"1\t1e999\n", "Line 1 holds a value that is not a finite number"},
        {"3,14\t2,72\n", "Line 1 holds a decimal comma or comma-parted numbers not fitting a row"},
        // A dated first column is not a number with an exponent (1990-01 once read as 199).
        {"1990-01,123.4\r\n1990-02,125.1\r\n", "Line 1 holds a date or a fraction where a number should stand"},
        {"1990-01\t123.4\r\n", "Line 1 holds a date or a fraction where a number should stand"},
        // A text column in the middle, and a missing value in the first row, name their own line.
        {"2134\tx\t901\n", "Line 1 holds text where a number should stand"},
        {"2134\tNA\n2135\t13\n", "Line 1 holds text where a number should stand"},
        {"1\t2\n3\tx\n", "Line 2 holds text where a number should stand"},
        // Repeat counts are bounded by the largest table before anything is stored.
        {"16777217*1.5\n", "Line 1 starts a table too large to read"},
        {"9000000*1 9000000*1\n", "Line 1 starts a table too large to read"},
    };
    for (const auto& c : refused) {
        int32_t columns = 5, rows = 5;
        std::vector<double> table = {42};
        const ClipboardParse result = ParseClipboardTable(c.text, columns, rows, table);
        EXPECT_EQ(result.status, -1) << c.text;
        EXPECT_EQ(result.message, c.message) << c.text;
        EXPECT_EQ(table, std::vector<double>{42});
        EXPECT_EQ(columns, 5);
        EXPECT_EQ(rows, 5);
    }
    int32_t columns = 0, rows = 0;
    std::vector<double> table;
    EXPECT_EQ(ParseClipboardTable("", columns, rows, table).status, 0);
}

TEST(ClipboardText, PastedTableIsSizedByTheNumbersItHolds)
{
    // A first line of one number and 20000 TABs over 20000 short lines once asked for a table
    // of 20001 x 20000 cells before looking at the rows.
    // It is now one column of 20001 rows.
    std::string wide = "1" + std::string(20000, '\t') + "\n";
    for (int i = 0; i < 20000; ++i) wide += "1\n";
    int32_t columns = 0, rows = 0;
    std::vector<double> table = {42};
    ClipboardParse result = ParseClipboardTable(wide, columns, rows, table);
    ASSERT_EQ(result.status, 1);
    EXPECT_EQ(columns, 1);
    EXPECT_EQ(rows, 20001);
    EXPECT_EQ(table, std::vector<double>(20001, 1.0));

    // A wide first row that is full takes as many numbers from every row.
    std::string full;
    for (int j = 0; j < 3000; ++j) full += (j ? "\t" : "") + std::to_string(j);
    full += "\n" + full + "\n1\n";
    result = ParseClipboardTable(full, columns, rows, table);
    EXPECT_EQ(result.status, -1);
    EXPECT_EQ(result.message, "Line 3 has fewer numbers than the first line");
    result = ParseClipboardTable(full.substr(0, full.size() - 2), columns, rows, table);
    ASSERT_EQ(result.status, 1);
    EXPECT_EQ(columns, 3000);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(table[5999], 2999);
}

TEST(ClipboardText, RoundTripsOfALongSeriesAndATable)
{
    std::vector<double> series(10000);
    for (size_t i = 0; i < series.size(); ++i) series[i] = std::sin(0.37 * i) * std::pow(10.0, static_cast<int>(i % 41) - 20);
    std::vector<double> read;
    ASSERT_EQ(ParseClipboardSeries(FormatClipboardSeries(series), read).status, 1);
    ASSERT_EQ(read.size(), series.size());
    for (size_t i = 0; i < series.size(); ++i) EXPECT_NEAR(read[i], series[i], 5e-4 * std::fabs(series[i])) << i;  // 4 digits for 1000..9999

    std::vector<double> table(3 * 400);
    for (size_t i = 0; i < table.size(); ++i) table[i] = 0.5 * i - 100;
    int32_t columns = 0, rows = 0;
    ASSERT_EQ(ParseClipboardTable(FormatClipboardTable(3, 400, table), columns, rows, read).status, 1);
    EXPECT_EQ(columns, 3);
    EXPECT_EQ(rows, 400);
    EXPECT_EQ(read, table);
}

}  // namespace
