// The console programs' data-file reader: line ends and byte-order marks, the items free format
// would misread (decimal commas, empty items), the items that end the data (text, control
// characters, NaN, infinities, numbers beyond single precision), vectors over several lines and
// the limit; the first item of a model file's line; the sentences that report a read; and the
// test for writing over the data file.
#include "console/data_file.h"

#include "platform/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Lines(int count, const std::string& line)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += line;
    return text;
}

// A fresh folder made current for one test; the old current folder comes back after.
class Folder {
public:
    Folder()
    {
        std::error_code ignored;
        old_ = fs::current_path(ignored);
        path_ = fs::temp_directory_path(ignored) / ("vesk-data-file-" + std::to_string(std::random_device{}()));
        fs::create_directories(path_, ignored);
        fs::current_path(path_, ignored);
    }
    ~Folder()
    {
        std::error_code ignored;
        fs::current_path(old_, ignored);
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    void Write(const std::string& name, const std::string& text) const
    {
        ASSERT_EQ(ReplaceFileBytes(name, std::vector<unsigned char>(text.begin(), text.end())), 1) << name;
    }

private:
    fs::path old_;
    fs::path path_;
};

TEST(DataFile, ReadsAndStops)
{
    struct Case {
        const char* name;
        std::string text;
        int m;
        int limit;
        std::vector<float> first;  // the first values read
        int count;
        bool more;
        int stopLine;
        DataFault fault;
        // Where the rules took effect: the first line with items left, the items left in all, the
        // first line that begins a vector and is short of it; and the vectors the file holds
        // (-1: `count`).
        int longLine = 0;
        long long notRead = 0;
        int shortLine = 0;
        int total = -1;
    };
    const int ospe = 20000;
    const std::string twoMegabytes(2 << 20, '7');
    const Case cases[] = {
        {"one number a line, CR LF ends", "1.5\r\n-2\r\n3e2\r\n", 1, ospe, {1.5f, -2.0f, 300.0f}, 3, false, 0,
         DataFault::None},
        {"lines ended by CR alone", "1.5\r-2\r3e2\r", 1, ospe, {1.5f, -2.0f, 300.0f}, 3, false, 0, DataFault::None},
        {"a byte-order mark first", "\xEF\xBB\xBF" "1.5\n-2\n", 1, ospe, {1.5f, -2.0f}, 2, false, 0, DataFault::None},
        {"the first number of each line; commas part numbers in a list", "1 100\n2,200,9\n3, 300\n4 ,400\n", 1, ospe,
         {1, 2, 3, 4}, 4, false, 0, DataFault::None, 1, 5},
        {"a decimal comma refuses the file", "1 100\n2 200\n3,300\n", 1, ospe, {1, 2}, 2, false, 3,
         DataFault::DecimalComma, 1, 2},
        {"a decimal comma with an exponent", "-107,99E-3\n", 1, ospe, {}, 0, false, 1, DataFault::DecimalComma},
        {"decimal commas in a vector file", "304,857 128,714\n", 2, 10000, {}, 0, false, 1, DataFault::DecimalComma},
        {"a lone comma", "1\n,\n3\n", 1, ospe, {1}, 1, false, 2, DataFault::EmptyItem},
        {"a lone slash", "1\n /\n3\n", 1, ospe, {1}, 1, false, 2, DataFault::EmptyItem},
        {"two commas in a vector", "1,,2\n", 3, 10000, {}, 0, false, 1, DataFault::EmptyItem},
        {"a slash before the vector is complete", "1 2\n3 / 4\n", 2, 10000, {1, 2}, 1, false, 2,
         DataFault::EmptyItem},
        {"a slash after a complete vector is the ignored rest", "1 2 /\n3 4\n", 2, 10000, {1, 2, 3, 4}, 2, false, 0,
         DataFault::None},
        {"empty repeated items", "2*\n", 2, 10000, {}, 0, false, 1, DataFault::EmptyItem},
        {"repeated values", "2*1.5 3\n", 2, 10000, {1.5f, 1.5f}, 1, false, 0, DataFault::None, 1, 1},
        {"empty items after the vector are no items", "1 2,,3\n", 2, 10000, {1, 2}, 1, false, 0, DataFault::None, 1,
         1},
        {"blank lines are passed over", "1\n\n  \t\n2\n", 1, ospe, {1, 2}, 2, false, 0, DataFault::None},
        {"a vector over several lines, the rest of its last line ignored", "1\n2 3\n4 5 6 7\n", 3, 10000,
         {1, 2, 3, 4, 5, 6}, 2, false, 0, DataFault::None, 3, 1, 1},
        {"text ends the data", "1\n2\n3\n4\nfive\n6\n", 1, ospe, {1, 2, 3, 4}, 4, false, 5, DataFault::Text},
        {"text within a vector", "1 2\n3 x\n5 6\n", 2, 10000, {1, 2}, 1, false, 2, DataFault::Text},
        {"Inf and NaN end it too", "1\nInf\n3\n", 1, ospe, {1}, 1, false, 2, DataFault::NotFinite},
        {"NaN first", "nan\n1\n", 1, ospe, {}, 0, false, 1, DataFault::NotFinite},
        {"beyond single precision", "1\n2\n1e39\n", 1, ospe, {1, 2}, 2, false, 3, DataFault::TooLarge},
        {"beyond double precision", "1e308\n", 1, ospe, {}, 0, false, 1, DataFault::TooLarge},
        {"a number of two megabytes", twoMegabytes + "\n", 1, ospe, {}, 0, false, 1, DataFault::TooLarge},
        {"an exponent without digits is text", "1\n1e\n", 1, ospe, {1}, 1, false, 2, DataFault::Text},
        {"a sign without digits is text", "1\n1+\n", 1, ospe, {1}, 1, false, 2, DataFault::Text},
        {"an exponent given by its sign alone", "1.5+3\n1.5+400\n", 1, ospe, {1500}, 1, false, 2, DataFault::TooLarge},
        {"an exponent given by its sign alone, too small", "1.5+3\n1.5-400\n", 1, ospe, {1500}, 1, false, 2,
         DataFault::TooSmall},
        // Without a point, digits, a sign and digits are a date or a range: text, not 199 or a
        // number too large.
        {"a dated first column", "1990-01,123.4\n1990-02,125.1\n", 1, ospe, {}, 0, false, 1,
         DataFault::DateOrFraction},
        {"a range in a vector", "1 2\n1-2 3\n", 2, 10000, {1, 2}, 1, false, 2, DataFault::DateOrFraction},
        {"the largest float is held", "3.4028234e38\n", 1, ospe, {3.4028234e38f}, 1, false, 0, DataFault::None},
        // Too small a value is refused, as too large a one is; zero is a number.
        {"too small for single precision", "1\n1e-50\n", 1, ospe, {1}, 1, false, 2, DataFault::TooSmall},
        {"a subnormal float", "1e-40\n", 1, ospe, {}, 0, false, 1, DataFault::TooSmall},
        {"below the doubles", "-1e-400\n", 1, ospe, {}, 0, false, 1, DataFault::TooSmall},
        {"the smallest normal float", "1.1754944e-38\n0.0e-50\n", 1, ospe, {1.1754944e-38f, 0.0f}, 2, false, 0,
         DataFault::None},
        {"a thousands separator refuses the file", "1\n1,234.5\n", 1, ospe, {1}, 1, false, 2, DataFault::Thousands},
        {"a NUL byte", std::string("1\n2\0\n3\n", 7), 1, ospe, {1}, 1, false, 2, DataFault::Control},
        {"a binary file", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10), 1, ospe, {}, 0, false, 1,
         DataFault::Control},
        {"a vector the file does not complete", "1 2\n3 4\n5\n\n", 2, 10000, {1, 2, 3, 4}, 2, false, 3,
         DataFault::Incomplete},
        {"no number first", "x\n1\n", 1, ospe, {}, 0, false, 1, DataFault::Text},
        {"empty", "", 1, ospe, {}, 0, false, 0, DataFault::None},
        {"blank only", "\r\n  \r\n", 1, ospe, {}, 0, false, 0, DataFault::None},
        {"a DOS end-of-file mark ends the text", "1\n2\n\x1A" "abc\n", 1, ospe, {1, 2}, 2, false, 0, DataFault::None},
        {"20,000 values", Lines(20000, "2.5\n"), 1, ospe, {2.5f}, 20000, false, 0, DataFault::None},
        {"20,000 values and a text", Lines(20000, "2.5\n") + "end\n", 1, ospe, {2.5f}, 20000, false, 20001,
         DataFault::Text},
        {"20,001 values", Lines(20001, "2.5\n"), 1, ospe, {2.5f}, 20000, true, 0, DataFault::None, 0, 0, 0, 20001},
        // More items on a line than its vector takes are left, and said; so is a short line.
        {"120 values written ten a line", Lines(12, "1 2 3 4 5 6 7 8 9 10\n"), 1, ospe, {1, 1, 1}, 12, false, 0,
         DataFault::None, 1, 108},
        {"an index and a value a line", "1 107.99\n2 107.93\n3 108.01\n", 1, ospe, {1, 2, 3}, 3, false, 0,
         DataFault::None, 1, 3},
        {"a million values on one line", Lines(1000000, "1.5 ") + "\n", 1, ospe, {1.5f}, 1, false, 0, DataFault::None,
         1, 999999},
        {"a third column when m = 2", "1 2\n3 4\n5 6 7\n8 9 10\n", 2, 10000, {1, 2, 3, 4, 5, 6, 8, 9}, 4, false, 0,
         DataFault::None, 3, 2},
        {"whatever the rest holds, after a slash too", "5 kg, 7/ 9 / 11\n", 1, ospe, {5}, 1, false, 0, DataFault::None, 1, 4},
        {"a repeat longer than its vector", "3*1.5\n", 2, 10000, {1.5f, 1.5f}, 1, false, 0, DataFault::None, 1, 1},
        {"a short row takes the next line's first value", "1 2\n2\n3 6\n4 8\n", 2, 10000, {1, 2, 2, 3, 4, 8}, 3, false,
         0, DataFault::None, 3, 1, 2},
        // A comma between two digits parts items when that gives the line what its vector needs.
        {"a table of integers parted by commas", "1,2\n2,4\n3,6\n", 2, 10000, {1, 2, 2, 4, 3, 6}, 3, false, 0,
         DataFault::None},
        {"three columns parted by commas", "1,2,3\n4,5,6\n", 3, 10000, {1, 2, 3, 4, 5, 6}, 2, false, 0,
         DataFault::None},
        {"one value with a decimal comma", "107,99\n", 1, ospe, {}, 0, false, 1, DataFault::DecimalComma},
        {"a decimal comma with a d exponent", "1,5d3\n", 1, ospe, {}, 0, false, 1, DataFault::DecimalComma},
        {"a decimal comma with a D exponent and a sign", "1,5D-2\n", 1, ospe, {}, 0, false, 1,
         DataFault::DecimalComma},
        {"neither reading gives the vector: the line is refused", "1,5 2,5 3\n", 2, 10000, {}, 0, false, 1,
         DataFault::DecimalComma},
        {"a line that goes on with a vector needs what is left of it", "1\n2,5\n1 2\n2,5\n", 3, 10000, {1, 2, 5}, 1,
         false, 4, DataFault::DecimalComma, 0, 0, 1},
        // An end-of-file mark that numbers follow is a stop like any other.
        {"a mark on line 12 of 120", Lines(11, "1\n") + "\x1A\n" + Lines(108, "2\n"), 1, ospe, {1}, 11, false, 12,
         DataFault::EndMark},
        {"a mark within a line", "1\n2\x1A" "3\n", 1, ospe, {1, 2}, 2, false, 2, DataFault::EndMark},
        {"a mark in a vector that goes on after it", "1 2\n3\n\x1A" "4\n", 2, 10000, {1, 2}, 1, false, 3,
         DataFault::EndMark},
        {"a mark at the very end", "1\n2\n\x1A", 1, ospe, {1, 2}, 2, false, 0, DataFault::None},
        {"marks padding the last block", "1\n2\n\x1A\x1A\x1A\r\n", 1, ospe, {1, 2}, 2, false, 0, DataFault::None},
        // Rules at their edges.
        {"the largest float printed with 8 digits", "3.4028235e+38\n", 1, ospe, {3.4028235e38f}, 1, false, 0,
         DataFault::None},
        {"the value halfway to 2^128 is beyond single precision", "340282356779733661637539395458142568448\n", 1, ospe,
         {}, 0, false, 1, DataFault::TooLarge},
        {"a repeat of a repeat", "2*3*4 9\n", 1, ospe, {}, 0, false, 1, DataFault::Text},
        {"a repeat of none", "0*5 1\n", 1, ospe, {}, 0, false, 1, DataFault::Text},
        {"a repeat count of 2^64", "18446744073709551616*1.5 2\n", 2, 10000, {1.5f, 1.5f}, 1, false, 0,
         DataFault::None, 1, 2},
        {"a vector the file does not complete, begun on a short line", "1 2 3\n4\n5\n", 3, 10000, {1, 2, 3}, 1, false,
         2, DataFault::Incomplete},
        {"past the limit vectors are counted up to an item that ends the data",
         Lines(20005, "2.5\n") + "x\n" + Lines(3, "1\n"), 1, ospe, {2.5f}, 20000, true, 0, DataFault::None, 0, 0, 0,
         20005},
    };
    Folder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("data.txt", c.text);
        DataFileRead read;
        read.count = -7;
        ASSERT_EQ(ReadDataFile("data.txt", c.m, c.limit, read), 1);
        EXPECT_EQ(read.count, c.count);
        EXPECT_EQ(read.values.size(), static_cast<size_t>(c.count * c.m));
        // A short read fails its own row and leaves the other rows to run.
        if (read.values.size() < c.first.size()) {
            ADD_FAILURE() << read.values.size() << " values read";
            continue;
        }
        EXPECT_EQ(std::vector<float>(read.values.begin(), read.values.begin() + static_cast<long>(c.first.size())),
                  c.first);
        EXPECT_EQ(read.more, c.more);
        EXPECT_EQ(read.stopLine, c.stopLine);
        EXPECT_EQ(static_cast<int>(read.fault), static_cast<int>(c.fault));
        EXPECT_EQ(read.longLine, c.longLine);
        EXPECT_EQ(read.itemsNotRead, c.notRead);
        EXPECT_EQ(read.shortLine, c.shortLine);
        EXPECT_EQ(read.total, c.total < 0 ? c.count : c.total);
        EXPECT_EQ(DataFaultRefuses(read.fault), c.fault == DataFault::DecimalComma || c.fault == DataFault::EmptyItem ||
                                                    c.fault == DataFault::Thousands);
    }
    DataFileRead read;
    read.count = 3;
    EXPECT_EQ(ReadDataFile("missing.txt", 1, ospe, read), 0);
    EXPECT_EQ(read.count, 0);
    EXPECT_EQ(ReadDataFile(".", 1, ospe, read), 0);
}

TEST(DataFile, FirstItemOfAModelLine)
{
    const std::pair<const char*, DataFault> cases[] = {
        {"0.25", DataFault::None},       {" 3  a comment", DataFault::None}, {"1,5", DataFault::DecimalComma},
        {"  -0,49", DataFault::DecimalComma}, {",", DataFault::EmptyItem},   {" /", DataFault::EmptyItem},
        {"2*", DataFault::EmptyItem},    {"1, 5", DataFault::None},          {"abc", DataFault::None},
        {"", DataFault::None},           {"0.4/", DataFault::DateOrFraction}, {"1/2", DataFault::DateOrFraction},
        {"0.25 / 7", DataFault::None},
    };
    for (const auto& [record, fault] : cases)
        EXPECT_EQ(static_cast<int>(FirstItemFault(record)), static_cast<int>(fault)) << record;
}

TEST(DataFile, SentencesOfARead)
{
    DataFileRead read;
    EXPECT_EQ(DataFileProblem(read), "It holds no numbers.");
    EXPECT_TRUE(DataStopLines(read, "value").empty());
    read.stopLine = 61;
    read.fault = DataFault::NotFinite;
    read.count = 60;
    EXPECT_EQ(DataFileProblem(read), "Line 61 holds a value that is not a finite number.");
    EXPECT_EQ(DataStopLines(read, "value"),
              (std::vector<std::string>{"Line 61 holds a value that is not a finite number.",
                                        "Reading stopped there; the 60 values before it were kept."}));
    read.count = 1;
    read.fault = DataFault::Incomplete;
    read.stopLine = 2;
    EXPECT_EQ(DataStopLines(read, "vector"),
              (std::vector<std::string>{"Line 2 begins a vector that the file does not complete.",
                                        "Reading stopped there; the vector before it was kept."}));
    read.fault = DataFault::DecimalComma;
    EXPECT_EQ(DataFileProblem(read), "Line 2 holds a decimal comma or comma-parted numbers.");
    read.unit = NumberUnit::Vector;
    EXPECT_EQ(DataFileProblem(read), "Line 2 holds a decimal comma or comma-parted numbers not fitting a vector.");
    read.fault = DataFault::EmptyItem;
    EXPECT_EQ(DataFileProblem(read), "Line 2 holds an empty item (a lone comma or slash).");
}

TEST(DataFile, SentencesOfTheRulesThatTookEffect)
{
    const auto read = [](int longLine, long long notRead, int shortLine, int stopLine, DataFault fault, int count) {
        DataFileRead r;
        r.longLine = longLine;
        r.itemsNotRead = notRead;
        r.shortLine = shortLine;
        r.stopLine = stopLine;
        r.fault = fault;
        r.count = count;
        return r;
    };
    const struct {
        DataFileRead read;
        const char* unit;
        std::vector<std::string> lines;
    } cases[] = {
        {read(0, 0, 0, 0, DataFault::None, 12), "value", {}},
        {read(1, 108, 0, 0, DataFault::None, 12), "value",
         {"Line 1 holds more than one item.", "The rest of such lines was not read: 108 items in all."}},
        {read(3, 1, 2, 0, DataFault::None, 3), "vector",
         {"Line 3 holds more items than a vector takes.", "The rest of such lines was not read: 1 item in all.",
          "Line 2 holds fewer items than a vector takes:", "a vector goes on in the lines that follow."}},
        {read(0, 0, 2, 12, DataFault::EndMark, 11), "vector",
         {"Line 2 holds fewer items than a vector takes:", "a vector goes on in the lines that follow.",
          "Line 12 holds an end-of-file mark (Ctrl-Z) with more after it.",
          "Reading stopped there; the 11 vectors before it were kept."}},
        {read(0, 0, 0, 2, DataFault::Incomplete, 1), "vector",
         {"Line 2 begins a vector that the file does not complete.",
          "Reading stopped there; the vector before it was kept."}},
    };
    for (const auto& c : cases) EXPECT_EQ(DataReadLines(c.read, c.unit), c.lines) << c.lines.size();
}

TEST(DataFile, TheDataFileIsToldFromOthers)
{
    Folder folder;
    folder.Write("data.txt", "1\n");
    folder.Write("other.txt", "1\n");
    fs::create_directories("sub");
    const std::string path = DataFilePath("data.txt");
    EXPECT_TRUE(fs::path(path).is_absolute());
    EXPECT_TRUE(IsSameFile("data.txt", path));
    EXPECT_TRUE(IsSameFile("./data.txt", path));
    EXPECT_TRUE(IsSameFile("sub/../data.txt", path));
    EXPECT_FALSE(IsSameFile("other.txt", path));
    EXPECT_FALSE(IsSameFile("new.txt", path));
    EXPECT_FALSE(IsSameFile("data.txt", ""));
    EXPECT_FALSE(IsSameFile("", path));
    // From another current folder, by its absolute name as kept.
    fs::current_path("sub");
    EXPECT_TRUE(IsSameFile("../data.txt", path));
    EXPECT_FALSE(IsSameFile("data.txt", path));
    fs::current_path("..");
}

}  // namespace
