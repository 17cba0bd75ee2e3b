#include "multivariate/table_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/unit/file_test_support.h"

namespace {

// Seven lines of three numbers: line t holds 10 t + 1, 10 t + 2, 10 t + 3.
std::string SevenByThree()
{
    std::string text;
    for (int t = 1; t <= 7; ++t)
        text += std::to_string(10 * t + 1) + " " + std::to_string(10 * t + 2) + " " + std::to_string(10 * t + 3) + "\n";
    return text;
}

}  // namespace

TEST(TableReaderTest, VectorsOfTheTablesCases)
{
    struct Case {
        const char* name;
        std::string text;
        int32_t m;
        std::vector<double> table;  // the vectors read, one after another
    };
    const Case cases[] = {
        {"7 x 3 with 3", SevenByThree(), 3,
         {11, 12, 13, 21, 22, 23, 31, 32, 33, 41, 42, 43, 51, 52, 53, 61, 62, 63, 71, 72, 73}},
        {"7 x 3 with 2: the third number of each line is ignored", SevenByThree(), 2,
         {11, 12, 21, 22, 31, 32, 41, 42, 51, 52, 61, 62, 71, 72}},
        {"six on one line with 2: the rest of the line is ignored", "1 2 3 4 5 6\n", 2, {1, 2}},
        {"a vector goes on over lines", "1 2\n3 4\n5 6\n7\n", 4, {1, 2, 3, 4}},
        {"the incomplete last vector is dropped", "1 2 3 4\n5 6\n", 4, {1, 2, 3, 4}},
        {"text on the first line", "series a b\n1 2\n", 2, {}},
        {"text ends the table", "1 2\n3 x\n5 6\n", 2, {1, 2}},
        {"a null value ends the table", "1,2\n3,,4\n5,6\n", 2, {1, 2}},
        {"a null value at the start of a line", "1 2\n,3 4\n", 2, {1, 2}},
        {"a slash before the m-th number ends the table", "1 2\n3 /\n5 6\n", 2, {1, 2}},
        {"a slash after the m-th number is the ignored rest", "1 2 / 9\n3 4\n", 2, {1, 2, 3, 4}},
        {"NaN and Inf end the table", "1 2\nNaN 4\n5 6\n", 2, {1, 2}},
        {"Infinity ends the table", "1 2\n3 -Infinity\n", 2, {1, 2}},
        {"commas, tabs and blank lines separate", "1,\t2\n\n  3 ,4\r\n", 2, {1, 2, 3, 4}},
        {"a repeat count fills values", "3*7 8\n", 4, {7, 7, 7, 8}},
        {"a null repeat ends the table", "1 2\n2* 4\n", 2, {1, 2}},
        {"exponents and Fortran forms", "1E3 1D-2\n+.5 -2.\n", 2, {1000, 0.01, 0.5, -2}},
        {"m above the count of numbers", "1 2 3\n", 4, {}},
        {"empty file", "", 1, {}},
        // Repeat counts beyond 2^63 and two counts whose sum is: both once overflowed while
        // the file was opened.
        {"a repeat count of 20 digits", "99999999999999999999*1 2\n", 2, {1, 1}},
        {"two repeat counts of 2^62", "4611686018427387904*1 4611686018427387904*1\n", 2, {1, 1}},
        {"a repeat count of 2^64, which wraps to 0 without the cap", "18446744073709551616*1.5 2\n", 2, {1.5, 1.5}},
        // A dated first column is text, not a number with an exponent: 1990-01 once read as 199.
        {"a dated first column", "1990-01,123.4\n1990-02,125.1\n1990-03,119.8\n", 2, {}},
        {"a range", "1 2\n1-2 3\n", 2, {1, 2}},
        {"Fortran's exponent without its letter", "0.123456-100 2.5+3\n", 2, {0.123456e-100, 2500}},
    };
    for (const Case& c : cases) {
        const MvTableFile file = MvTableFromText(c.text);
        std::vector<double> table;
        const int32_t n = MultivarReadTable(file, c.m, table);
        EXPECT_EQ(n * c.m, static_cast<int32_t>(c.table.size())) << c.name;
        EXPECT_EQ(table, c.table) << c.name;
    }
}

std::string Rows(int n, int naRow)
{
    std::string text;
    for (int t = 1; t <= n; ++t) text += std::to_string(t) + " " + (t == naRow ? std::string("NA") : std::to_string(2 * t)) + "\n";
    return text;
}

// The rules stay, and what they did is told: where reading stopped and why, the first line that
// ended inside a vector, the first that held items after its vector and how many went unread.
TEST(TableReaderTest, NotesOfARead)
{
    std::string tenALine;  // 40 values written 10 a line, read 12 a vector
    for (int line = 0; line < 4; ++line) {
        for (int k = 1; k <= 10; ++k) tenALine += std::to_string(10 * line + k) + (k < 10 ? " " : "\n");
    }
    const struct {
        const char* name;
        std::string text;
        int32_t m;
        int32_t n;
        MvReadNotes notes;
        const char* report;
    } cases[] = {
        {"a whole table", "1 2\n3 4\n", 2, 2, {}, ""},
        {"a slash after the m-th number ends its line", "1 2 / 9\n3 4\n", 2, 2, {0, NumberFault::None, 1, 1, 0},
         "Line 1 holds more items than a vector takes. The rest of such lines was not read: 1 item in all. 2 vectors "
         "of 2 numbers were read. Keep them?"},
        {"NA in line 3", "1 2\n2 4\n3 NA\n4 8\n", 2, 2, {3, NumberFault::Text, 0, 0, 0},
         "Line 3 holds text where a number should stand. Reading stopped there after 2 vectors. Keep them?"},
        {"NA in row 50 of 100", Rows(100, 50), 2, 49, {50, NumberFault::Text, 0, 0, 0},
         "Line 50 holds text where a number should stand. Reading stopped there after 49 vectors. Keep them?"},
        {"a short row takes its second value from the next line", "1 2\n2\n3 6\n4 8\n", 2, 3, {0, NumberFault::None, 3, 1, 2},
         "Line 3 holds more items than a vector takes. The rest of such lines was not read: 1 item in all. Line 2 holds "
         "fewer items than a vector takes: a vector goes on in the lines that follow. 3 vectors of 2 numbers were read. "
         "Keep them?"},
        {"a third column", SevenByThree(), 2, 7, {0, NumberFault::None, 1, 7, 0},
         "Line 1 holds more items than a vector takes. The rest of such lines was not read: 7 items in all. 7 vectors "
         "of 2 numbers were read. Keep them?"},
        {"ten a line, twelve a vector", tenALine, 12, 2, {0, NumberFault::None, 2, 16, 1}, nullptr},
        {"the rest of a repeat", "3*7 8\n", 2, 1, {0, NumberFault::None, 1, 2, 0}, nullptr},
        {"NaN", "1 2\nNaN 4\n", 2, 1, {2, NumberFault::NotFinite, 0, 0, 0},
         "Line 2 holds a value that is not a finite number. Reading stopped there after 1 vector. Keep them?"},
        {"a number beyond the doubles", "1 2\n3 1e400\n", 2, 1, {2, NumberFault::NotFinite, 0, 0, 0}, nullptr},
        {"a slash before the m-th number", "1 2\n3 /\n", 2, 1, {2, NumberFault::EmptyItem, 0, 0, 0}, nullptr},
        {"a null repeat", "1 2\n2*\n", 2, 1, {2, NumberFault::EmptyItem, 0, 0, 0}, nullptr},
        {"the file ends inside a vector", "1 2\n3 4\n\n5\n\n", 2, 2, {4, NumberFault::Incomplete, 0, 0, 0},
         "Line 4 begins a vector that the file does not complete. Reading stopped there after 2 vectors. Keep them?"},
        {"a date after two vectors", "1 2\n3 4\n1990-01 5\n", 2, 2, {3, NumberFault::DateOrFraction, 0, 0, 0}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MvReadNotes notes;
        notes.itemsNotRead = -1;
        std::vector<double> table;
        ASSERT_EQ(MultivarReadTable(MvTableFromText(c.text), c.m, table, &notes), c.n);
        EXPECT_EQ(notes.stopLine, c.notes.stopLine);
        EXPECT_EQ(static_cast<int>(notes.fault), static_cast<int>(c.notes.fault));
        EXPECT_EQ(notes.shortLine, c.notes.shortLine);
        EXPECT_EQ(notes.longLine, c.notes.longLine);
        EXPECT_EQ(notes.itemsNotRead, c.notes.itemsNotRead);
        if (c.report) {
            EXPECT_EQ(MvReadReport(notes, c.m, c.n), c.report);
        } else {
            EXPECT_FALSE(MvReadReport(notes, c.m, c.n).empty());
        }
    }
}

TEST(TableReaderTest, CountAndStorePassesStopAtTheirLimit)
{
    const MvTableFile file = MvTableFromText(SevenByThree());
    std::vector<double> table;
    int32_t count = 0;
    EXPECT_EQ(MultivarReadColumns(file, table, 3, count, 0), 0);  // the end of the file
    EXPECT_EQ(count, 7);
    table.assign(3 * 4, -1.0);
    count = 4;
    EXPECT_EQ(MultivarReadColumns(file, table, 3, count, 1), 1);  // the limit
    EXPECT_EQ(count, 4);
    EXPECT_EQ(table.back(), 43);
    // A limit past the table's room stops at the room.
    count = 9;
    EXPECT_EQ(MultivarReadColumns(file, table, 3, count, 1), 1);
    EXPECT_EQ(count, 4);
}

TEST(TableReaderTest, CountsAboveTheFilesNumbersAllocateNothing)
{
    // A user's m far above the numbers of a short file neither allocates nor loops by m.
    const MvTableFile file = MvTableFromText("1 2 3\n4 5 6\n");
    EXPECT_EQ(file.numbers, 6);
    std::vector<double> table;
    int32_t count = 0;
    EXPECT_EQ(MultivarReadColumns(file, table, 2000000000, count, 0), 0);
    EXPECT_EQ(count, 0);
    std::string first = "old", last = "old";
    EXPECT_EQ(MultivarPreviewTexts(file, 2000000000, first, last), 0);
    EXPECT_EQ(first, "No vector of 2000000000 numbers can be read from the file.");
    EXPECT_EQ(last, "");
    EXPECT_EQ(MultivarReadTable(file, 0, table), 0);
    EXPECT_EQ(MultivarReadTable(file, -3, table), 0);
    // A repeat counts its values: "4*1" is four numbers.
    EXPECT_EQ(MvTableFromText("4*1, 2\n").numbers, 5);
    // Counts that would pass the largest integer stop at 2^62.
    EXPECT_EQ(MvTableFromText("99999999999999999999*1 2\n").numbers, int64_t{1} << 62);
    EXPECT_EQ(MvTableFromText("4611686018427387904*1 4611686018427387904*1\n").numbers, int64_t{1} << 62);
    // Lines that hold an item: blank lines and lines of separators hold none.
    EXPECT_EQ(MvTableFromText("1 2\n\n , /\n3*4\n").lines, 2);
}

// Fourteen bytes can stand for two billion numbers: a table of them is refused before it is
// allocated, and the previews, redone at every key typed, take no time that grows with m.
TEST(TableReaderTest, TablesOfRepeatsAreBoundedBeforeAnythingIsAllocated)
{
    const MvTableFile tiny = MvTableFromText("2000000000*1.5");
    std::vector<double> table = {9};
    EXPECT_EQ(MultivarReadTable(tiny, 100000000, table), kMvTableTooLarge);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(MultivarReadTable(tiny, 2000000000, table), kMvTableTooLarge);
    ASSERT_EQ(MultivarReadTable(tiny, 1000, table), 1);  // one line, one vector
    EXPECT_EQ(table, std::vector<double>(1000, 1.5));

    // Counting stops one vector past the largest table.
    int32_t count = 0;
    EXPECT_EQ(MultivarReadColumns(tiny, table, 1, count, 0), 0);
    EXPECT_EQ(count, 1);
    std::string manyLines;
    for (int k = 0; k < 5000; ++k) manyLines += "2000000000*1.5\n";
    const MvTableFile many = MvTableFromText(manyLines);
    count = 0;
    EXPECT_EQ(MultivarReadColumns(many, table, 5000, count, 0), 1);
    EXPECT_EQ(count, kMvMaxTableValues / 5000 + 1);
    EXPECT_EQ(MultivarReadTable(many, 5000, table), kMvTableTooLarge);

    // The largest table is read; one vector more is refused.
    std::string square;
    for (int k = 0; k < 4096; ++k) square += "4096*0.5\n";
    ASSERT_EQ(MultivarReadTable(MvTableFromText(square), 4096, table), 4096);
    EXPECT_EQ(static_cast<int64_t>(table.size()), kMvMaxTableValues);
    EXPECT_EQ(table.back(), 0.5);
    EXPECT_EQ(MultivarReadTable(MvTableFromText(square + "4096*0.5\n"), 4096, table), kMvTableTooLarge);

    std::string first, last;
    EXPECT_EQ(MultivarPreviewTexts(tiny, 1000000000, first, last), 0);
    EXPECT_EQ(first, "No vector of 1000000000 numbers can be read from the file.");
    EXPECT_EQ(last, "");
    ASSERT_EQ(MultivarPreviewTexts(tiny, static_cast<int32_t>(kMvMaxTableValues), first, last), 1);
    EXPECT_EQ(first, "  1.5000,  etc ...");
    EXPECT_EQ(last, "  1.5000,  etc ... ");
    // The m-th value inside a repeat, and after it.
    ASSERT_EQ(MultivarPreviewTexts(MvTableFromText("1 3*7 8\n2 3*6 9\n"), 3, first, last), 1);
    EXPECT_EQ(first, "  1.0000,  2.0000,  etc ...");
    EXPECT_EQ(last, "  7.0000,  6.0000,  etc ... ");
    ASSERT_EQ(MultivarPreviewTexts(MvTableFromText("1 3*7 8\n"), 5, first, last), 1);
    EXPECT_EQ(last, "  8.0000,  etc ... ");
}

// The dialog's OK: m is bounded by the vectors the file can hold, since a table with fewer time
// points than series can never be fitted, and the table by its size; each refusal says why.
TEST(TableReaderTest, DialogReadRefusesCountsTheFileCannotHold)
{
    std::string manyLines;
    for (int k = 0; k < 5000; ++k) manyLines += "2000000000*1.5\n";
    const struct {
        const char* name;
        std::string text;
        int32_t m;
        int32_t n;
        const char* message;
    } cases[] = {
        {"the 14-byte file with m = 1e8", "2000000000*1.5", 100000000, 0,
         "The file holds at most 1 vector of 100000000 numbers: a table needs at least as many time points as series."},
        {"the 14-byte file with m = 1e9", "2000000000*1.5", 1000000000, 0,
         "The file holds at most 1 vector of 1000000000 numbers: a table needs at least as many time points as series."},
        {"six numbers in three lines with 3", "1 2\n3 4\n5 6\n", 3, 0,
         "The file holds at most 2 vectors of 3 numbers: a table needs at least as many time points as series."},
        {"m above the numbers", "1 2 3\n4 5 6\n", 30, 0, "The file holds no complete vector of 30 numbers."},
        {"text on the first line", "x y\n1 2\n3 4\n", 2, 0,
         "The file holds no complete vector of 2 numbers. Line 1 holds text where a number should stand."},
        {"a dated first column", "1990-01,123.4\n1990-02,125.1\n1990-03,119.8\n", 2, 0,
         "The file holds no complete vector of 2 numbers. Line 1 holds a date or a fraction where a number should "
         "stand."},
        {"a short row is asked about", "1 2\n2\n3 6\n4 8\n", 2, 3,
         "Line 3 holds more items than a vector takes. The rest of such lines was not read: 1 item in all. Line 2 holds "
         "fewer items than a vector takes: a vector goes on in the lines that follow. 3 vectors of 2 numbers were read. "
         "Keep them?"},
        {"a table too large", manyLines, 5000, 0, "The table would hold more than 16777216 numbers, too many to read."},
        {"as many time points as series", "1 2\n3 4\n", 2, 2, ""},
        {"repeats fill a square table", "3*1\n3*2\n3*3\n", 3, 3, ""},
    };
    for (const auto& c : cases) {
        std::vector<double> table = {9};
        std::string message = "old";
        EXPECT_EQ(MultivarReadDialogTable(MvTableFromText(c.text), c.m, table, message), c.n) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
        EXPECT_EQ(table.size(), static_cast<size_t>(c.n) * static_cast<size_t>(c.m)) << c.name;
    }
}

TEST(TableReaderTest, PreviewsShowTheFirstFiveVectors)
{
    const MvTableFile file = MvTableFromText(SevenByThree());
    std::string first, last;
    ASSERT_EQ(MultivarPreviewTexts(file, 3, first, last), 1);
    EXPECT_EQ(first, "  11.000,  21.000,  31.000,  41.000,  51.000,  etc ...");
    EXPECT_EQ(last, "  13.000,  23.000,  33.000,  43.000,  53.000,  etc ... ");
    ASSERT_EQ(MultivarPreviewTexts(MvTableFromText("0.123456 -98765.4\n"), 2, first, last), 1);
    EXPECT_EQ(first, "  0.12346,  etc ...");
    EXPECT_EQ(last, "  -98765.,  etc ... ");

    // An m that reads no vector says so instead of keeping another m's preview: a file whose
    // first line is text, an m above the numbers of the file or above the largest table, and an m
    // below 1.
    const struct {
        const char* text;
        int32_t m;
    } none[] = {{"x y\n1 2\n", 2}, {"1 2 3\n4 5 6\n", 7}, {"1 2 3\n4 5 6\n", 0}, {"1 2 3\n4 5 6\n", -2},
                {"20000000*1\n", static_cast<int32_t>(kMvMaxTableValues) + 1}};
    for (const auto& c : none) {
        first = last = "old";
        EXPECT_EQ(MultivarPreviewTexts(MvTableFromText(c.text), c.m, first, last), 0) << c.m;
        EXPECT_EQ(first, "No vector of " + std::to_string(c.m) + " numbers can be read from the file.");
        EXPECT_EQ(last, "");
    }
    ASSERT_EQ(MultivarPreviewTexts(MvTableFromText("1 2 3\n4 5 6\n"), 6, first, last), 1);
    EXPECT_EQ(first, "  1.0000,  etc ...");
}

TEST(TableReaderTest, OpenReadsAFileAndFailsOnAMissingOne)
{
    ScratchFolder folder("table-reader");
    const std::string name = folder.File("table.txt");
    {
        std::ofstream out(name);
        out << "1 2\n3 4\n";
    }
    MvTableFile file;
    ASSERT_EQ(OpenMvTableFile(name, file), 1);
    std::vector<double> table;
    EXPECT_EQ(MultivarReadTable(file, 2, table), 2);
    EXPECT_EQ(OpenMvTableFile(folder.File("missing.txt"), file), 0);
    EXPECT_TRUE(file.records.empty());
}
