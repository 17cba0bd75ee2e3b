#include "shell/ascii_files.h"

#include <gtest/gtest.h>

#include <limits>

#include "file_test_support.h"
#include "platform/file_bytes.h"

namespace {

TEST(AsciiFiles, SeriesReaderTakesTheFirstNumberOfEachLineAndSaysWhereItStopped)
{
    const struct {
        const char* text;
        std::vector<double> expected;
        int64_t stopLine;
        NumberFault reason;
        int64_t longLine = 0;  // the first line that held more than its first number
        int64_t notRead = 0;
    } cases[] = {
        {"1.5\n\n2.5\nabc\n3.5\n", {1.5, 2.5}, 4, NumberFault::Text},  // blank lines skipped; a word ends the series
        {"1 2 3\n", {1}, 0, NumberFault::None, 1, 2},
        {"", {}, 0, NumberFault::None},
        {"  4, 5\r\n-1E2\r6.25", {4, -100, 6.25}, 0, NumberFault::None, 1, 1},  // CR LF, CR, a last line without an end
        {"7\n, 8\n9\n", {7}, 2, NumberFault::EmptyItem},  // a line that begins with a separator ends the read
        {"7\n/8\n", {7}, 2, NumberFault::DateOrFraction},  // a slash joined to digits is part of its item
        {"7\n/ 8\n", {7}, 2, NumberFault::EmptyItem},
        {"3*\n4\n", {}, 1, NumberFault::EmptyItem},  // a null value is no number
        {"3*1.5\n", {1.5}, 0, NumberFault::None, 1, 1},  // the rest of a repeat is not read
        {"1d3\t x\n", {1000}, 0, NumberFault::None, 1, 1},
        {"\xEF\xBB\xBF" "1\n2\n", {1, 2}, 0, NumberFault::None},  // a byte-order mark is skipped
        {"1\nNA\n2\n", {1}, 2, NumberFault::Text},
        {"1\n2\nNaN\n3\n", {1, 2}, 3, NumberFault::NotFinite},
        {"1\n-Inf\n", {1}, 2, NumberFault::NotFinite},
        {"1\n1e400\n2\n", {1}, 2, NumberFault::NotFinite},
        {"1\n-2.5D+999, 3\n", {1}, 2, NumberFault::NotFinite},
        {"1\n1e-400\n", {1, 0}, 0, NumberFault::None},  // an underflow is a zero, not a loss
        {"3,14\n2,72\n", {}, 1, NumberFault::DecimalComma},  // not 3 and 2
        {"1\n-3,5 x\n", {1}, 2, NumberFault::DecimalComma},
        {"1,2,3\n", {1}, 0, NumberFault::None, 1, 2},  // a list of values separated by commas is a list
        // A dated first column is no exponent without its letter (not 199, 19.9, 1.99).
        {"1990-01,123.4\n1990-02,125.1\n1990-03,119.8\n", {}, 1, NumberFault::DateOrFraction},
        {"5\n1-2\n", {5}, 2, NumberFault::DateOrFraction},
        {"0.123456-100\n2.5+3\n", {0.123456e-100, 2500}, 0, NumberFault::None},  // Fortran's own form is kept
        {"1\n2\n\x1A", {1, 2}, 0, NumberFault::None},  // a mark as the last byte ends the text
        {"1\n2\n\x1A" "3\n", {1, 2}, 3, NumberFault::EndMark},
    };
    for (const auto& c : cases) {
        const AsciiSeries read = ParseAsciiSeries(c.text);
        EXPECT_EQ(read.values, c.expected) << c.text;
        EXPECT_EQ(read.notes.stopLine, c.stopLine) << c.text;
        EXPECT_EQ(static_cast<int>(read.notes.fault), static_cast<int>(c.reason)) << c.text;
        EXPECT_EQ(read.notes.longLine, c.longLine) << c.text;
        EXPECT_EQ(read.notes.itemsNotRead, c.notRead) << c.text;
    }
}

TEST(AsciiFiles, ReportOfAReadNamesTheLineAndTheValuesRead)
{
    const struct {
        const char* text;
        const char* report;
    } cases[] = {
        {"1\n2\n", ""},
        {"", "The file holds no numbers"},
        {"\n \n", "The file holds no numbers"},
        {"\xEF\xBB\xBF" "abc\n", "Line 1 holds text where a number should stand. No values were read."},
        {"1\n2\nNaN\n", "Line 3 holds a value that is not a finite number. Reading stopped there after 2 values. Keep them?"},
        {"5\n3,14\n",
         "Line 2 holds a decimal comma or comma-parted numbers. Reading stopped there after 1 value. "
         "Keep them?"},
        {"1990-01 123.4\n", "Line 1 holds a date or a fraction where a number should stand. No values were read."},
        {"1 2 3\n4\n5 6\n",
         "Line 1 holds more than one item. The rest of such lines was not read: 3 items in all. 3 values were read. "
         "Keep them?"},
    };
    for (const auto& c : cases) EXPECT_EQ(AsciiSeriesReport(ParseAsciiSeries(c.text)), c.report) << c.text;
}

TEST(AsciiFiles, WrittenSeriesAndTableReadBackExactly)
{
    ScratchFolder folder("ascii");
    const std::string name = folder.File("series.txt");
    const std::vector<double> series = {0.1, -2.5e-300, 1e300, 3.0, 1.0 / 3.0};
    FileMessage message;
    ASSERT_EQ(WriteRawData(name + "     ", series, message), 1);  // blank padding is not part of the name
    std::vector<double> read;
    ASSERT_EQ(ReadRawData(name, read, message), 1);
    EXPECT_EQ(read, series);
    EXPECT_TRUE(message.empty());

    // A read that stops early keeps its values and says so; the caller decides.
    ASSERT_EQ(ReplaceFileBytes(name, {'4', '\n', 'I', 'n', 'f', '\n', '5'}), kReplaceDone);
    ASSERT_EQ(ReadRawData(name, read, message), 1);
    EXPECT_EQ(read, std::vector<double>{4});
    EXPECT_EQ(message.caption, "ReadRawData()");
    EXPECT_EQ(message.text, "Line 2 holds a value that is not a finite number. Reading stopped there after 1 value. Keep them?");
    message = {};

    ASSERT_EQ(WriteRawData(name, {0.5, -2}, message), 1);
    std::vector<unsigned char> lines;
    ASSERT_EQ(ReadFileBytes(name, lines), 1);
    EXPECT_EQ(std::string(lines.begin(), lines.end()), "0.5\r\n-2\r\n");
    ASSERT_EQ(WriteRawData(name, {}, message), 1);
    ASSERT_EQ(ReadRawData(name, read, message), 1);
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(message.text, "The file holds no numbers");

    const std::vector<double> table = {1, 2, 3, 4, 5, 6};  // k = 2 rows, r = 3 columns
    EXPECT_EQ(FormatAsciiTable(2, 3, table), "1 2\r\n3 4\r\n5 6\r\n");
    ASSERT_EQ(WriteAsciiArray(name, 2, 3, table, message), 1);
    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadFileBytes(name, bytes), 1);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "1 2\r\n3 4\r\n5 6\r\n");
    ASSERT_EQ(WriteAsciiArray(name, 2, 0, {}, message), 1);
    ASSERT_EQ(ReadFileBytes(name, bytes), 1);
    EXPECT_TRUE(bytes.empty());
}

TEST(AsciiFiles, FailuresGiveTheirMessages)
{
    ScratchFolder folder("ascii-fail");
    FileMessage message;
    std::vector<double> read = {5};
    EXPECT_EQ(ReadRawData(folder.File("missing.txt"), read, message), 0);
    EXPECT_EQ(message.text, "Cannot open file");
    EXPECT_EQ(message.caption, "ReadRawData()");
    EXPECT_EQ(read, std::vector<double>{5});

    EXPECT_EQ(WriteRawData(folder.File("none/x.txt"), {1}, message), 0);
    EXPECT_EQ(message.text, "Cannot open file");
    EXPECT_EQ(message.caption, "WriteRawData()");
    EXPECT_EQ(WriteAsciiArray(folder.File("t.txt"), 2, 2, {1, 2, 3}, message), 0);
    EXPECT_EQ(message.caption, "WriteAsciiArray()");
}

}  // namespace
