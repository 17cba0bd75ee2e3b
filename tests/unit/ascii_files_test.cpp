#include "shell/ascii_files.h"

#include <gtest/gtest.h>

#include <limits>

#include "file_test_support.h"
#include "platform/file_bytes.h"

namespace {

struct SeriesCase {
    const char* text;
    std::vector<double> expected;
};

TEST(AsciiFiles, SeriesReaderTakesTheFirstNumberOfEachLine)
{
    const SeriesCase cases[] = {
        {"1.5\n\n2.5\nabc\n3.5\n", {1.5, 2.5}},  // blank lines skipped; a word ends the series
        {"1 2 3\n", {1}},
        {"", {}},
        {"  4,5\r\n-1E2\r6.25", {4, -100, 6.25}},  // CR LF, CR, and a last line without a line end
        {"7\n, 8\n9\n", {7}},                      // a line that begins with a separator ends the read
        {"7\n/8\n", {7}},
        {"3*\n4\n", {}},  // a null value is no number
        {"1d3\t x\n", {1000}},
    };
    for (const SeriesCase& c : cases) EXPECT_EQ(ParseAsciiSeries(c.text), c.expected) << c.text;
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

    ASSERT_EQ(WriteRawData(name, {0.5, -2}, message), 1);
    std::vector<unsigned char> lines;
    ASSERT_EQ(ReadFileBytes(name, lines), 1);
    EXPECT_EQ(std::string(lines.begin(), lines.end()), "0.5\r\n-2\r\n");
    ASSERT_EQ(WriteRawData(name, {}, message), 1);
    ASSERT_EQ(ReadRawData(name, read, message), 1);
    EXPECT_TRUE(read.empty());

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
