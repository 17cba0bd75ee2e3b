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
    };
    for (const Case& c : cases) {
        const MvTableFile file = MvTableFromText(c.text);
        std::vector<double> table;
        const int32_t n = MultivarReadTable(file, c.m, table);
        EXPECT_EQ(n * c.m, static_cast<int32_t>(c.table.size())) << c.name;
        EXPECT_EQ(table, c.table) << c.name;
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
    EXPECT_EQ(MultivarReadTable(file, 0, table), 0);
    EXPECT_EQ(MultivarReadTable(file, -3, table), 0);
    // A repeat counts its values: "4*1" is four numbers.
    EXPECT_EQ(MvTableFromText("4*1, 2\n").numbers, 5);
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

    // A file whose first line is text leaves the previews as they were.
    first = last = "kept";
    EXPECT_EQ(MultivarPreviewTexts(MvTableFromText("x y\n1 2\n"), 2, first, last), 0);
    EXPECT_EQ(first, "kept");
    EXPECT_EQ(last, "kept");
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
