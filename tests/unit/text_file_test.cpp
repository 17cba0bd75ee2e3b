#include "platform/text_file.h"

#include "file_test_support.h"
#include "platform/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

TEST(TextFile, RecordsAreLinesOfAnyDosOrUnixEnding)
{
    EXPECT_EQ(SplitRecords("1\r\n2\n\n3"), (std::vector<std::string>{"1", "2", "", "3"}));
    EXPECT_EQ(SplitRecords("1\n"), (std::vector<std::string>{"1"}));
    // A mark that no digit follows ends the text; one that digits follow stays for the reader.
    EXPECT_EQ(SplitRecords("1\r\n2\r\n\x1A" "end\r\n"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(SplitRecords("1\r\n2\r\n\x1A\x1A"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(SplitRecords("1\r\n2\r\n\x1A" "3\r\n"), (std::vector<std::string>{"1", "2", "\x1A" "3"}));
    EXPECT_TRUE(SplitRecords("").empty());
    // A CR alone ends a line too, and a UTF-8 byte-order mark before the first line is skipped.
    EXPECT_EQ(SplitRecords("1\r2\r\r3"), (std::vector<std::string>{"1", "2", "", "3"}));
    EXPECT_EQ(SplitRecords("1\r\n\r2\n"), (std::vector<std::string>{"1", "", "2"}));
    EXPECT_EQ(SplitRecords("\xEF\xBB\xBF" "1\n2"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(SplitRecords("1\n\xEF\xBB\xBF"), (std::vector<std::string>{"1", "\xEF\xBB\xBF"}));
}

// Reads of m values a vector, as the programs read their data files, until the first failure.
TEST(TextFile, VectorReadsOverRecordsTellTheEndFromAnUnreadableValue)
{
    struct Case {
        const char* name;
        const char* text;
        int m;
        std::vector<std::vector<float>> vectors;  // read before the failure
        int ending;                              // the failing read's status
    };
    const Case cases[] = {
        {"one vector a line", "1 2\r\n3 4\r\n", 2, {{1, 2}, {3, 4}}, 0},
        {"a vector over several lines", "1\n2 3\n4 5 6\n", 3, {{1, 2, 3}, {4, 5, 6}}, 0},
        {"the rest of a line is ignored", "1 2 9\n3 4 9\n", 2, {{1, 2}, {3, 4}}, 0},
        {"a short last vector is not a vector", "1 2 3\n4 5\n", 3, {{1, 2, 3}}, 0},
        {"an empty record is passed over", "1\n\n   \n2\n", 1, {{1}, {2}}, 0},
        {"text ends the data", "1.5\n2.5\nabc\n4\n", 1, {{1.5f}, {2.5f}}, -1},
        {"text within a vector", "1.5 abc\n", 2, {}, -1},
        {"NaN ends the data", "1\nNaN\n3\n", 1, {{1}}, -1},
        {"Inf ends the data", "1\n-inf\n3\n", 1, {{1}}, -1},
        {"an empty file", "", 1, {}, 0},
    };
    ScratchFolder folder("text-file");
    for (const Case& c : cases) {
        const std::string name = folder.File("data.txt");
        ASSERT_EQ(ReplaceFileBytes(name, Bytes(c.text)), 1);
        TextFile file;
        ASSERT_EQ(OpenInputFile(file, name), 1) << c.name;
        std::vector<std::vector<float>> vectors;
        int status = 0;
        for (;;) {
            std::vector<float> vector(static_cast<size_t>(c.m), -9.0f);
            status = ReadFileSingles(file, c.m, vector.data());
            if (status != 1)
                break;
            vectors.push_back(vector);
        }
        EXPECT_EQ(vectors, c.vectors) << c.name;
        EXPECT_EQ(status, c.ending) << c.name;
        EXPECT_EQ(CloseFile(file), 1);
    }
}

TEST(TextFile, IntegersOneARecordAndBadModes)
{
    ScratchFolder folder("text-file-ints");
    const std::string name = folder.File("model.txt");
    ASSERT_EQ(ReplaceFileBytes(name, Bytes("2\n0.5\n")), 1);
    TextFile file;
    ASSERT_EQ(OpenInputFile(file, name), 1);
    int32_t p = 0;
    EXPECT_EQ(ReadFileInts(file, 1, &p), 1);
    EXPECT_EQ(p, 2);
    EXPECT_EQ(ReadFileInts(file, 1, &p), -1);
    EXPECT_EQ(WriteFileFormatted(file, "(I3)", {1}), 0);  // not open for writing
    EXPECT_EQ(CloseFile(file), 1);
    float x = 0;
    EXPECT_EQ(ReadFileSingles(file, 1, &x), -1);  // closed

    EXPECT_EQ(OpenInputFile(file, folder.File("missing.txt")), 0);
    std::filesystem::create_directories(std::filesystem::u8path(folder.File("DATA")));
    EXPECT_EQ(OpenInputFile(file, folder.File("DATA")), 0);
    EXPECT_EQ(OpenOutputFile(file, folder.File("DATA")), 0);
    EXPECT_EQ(OpenOutputFile(file, ""), 0);
    EXPECT_EQ(file.mode, TextFile::Mode::Closed);
}

TEST(TextFile, OutputIsWrittenAtCloseAsDosText)
{
    ScratchFolder folder("text-file-out");
    const std::string name = folder.File("errors.txt");
    ASSERT_EQ(ReplaceFileBytes(name, Bytes("old content\n")), 1);
    TextFile file;
    ASSERT_EQ(OpenOutputFile(file, name), 1);
    EXPECT_EQ(WriteFileFormatted(file, "(6E13.5)", {1.5, -2.0, 3.0, 4.0, 5.0, 6.0, 7.0}), 1);
    EXPECT_EQ(WriteFileFormatted(file, "('h = ',\\)", {}), 1);
    EXPECT_EQ(WriteFileFormatted(file, "(I2)", {12}), 1);
    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadFileBytes(name, bytes), 1);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old content\n");  // nothing before the close
    EXPECT_EQ(CloseFile(file), 1);
    ASSERT_EQ(ReadFileBytes(name, bytes), 1);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "  0.15000E+01 -0.20000E+01  0.30000E+01  0.40000E+01  0.50000E+01  0.60000E+01\r\n"
              "  0.70000E+01\r\n"
              "h = 12\r\n");

    // A file whose folder went away cannot be written, and says so.
    const std::string lost = folder.File("gone") + "/out.txt";
    std::filesystem::create_directories(std::filesystem::u8path(folder.File("gone")));
    ASSERT_EQ(OpenOutputFile(file, lost), 1);
    std::filesystem::remove_all(std::filesystem::u8path(folder.File("gone")));
    EXPECT_NE(CloseFile(file), 1);
}

}  // namespace
