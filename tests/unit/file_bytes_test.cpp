#include "platform/file_bytes.h"

#include <gtest/gtest.h>

#include "file_test_support.h"

namespace {

TEST(FileBytes, ReplaceWritesNewAndExistingFilesAndLeavesNoTemporary)
{
    ScratchFolder folder("bytes");
    const std::string name = folder.File("data.bin");
    const std::vector<unsigned char> first = {1, 2, 3, 4, 5}, second = {9};
    ASSERT_EQ(ReplaceFileBytes(name, first), 1);
    ASSERT_EQ(ReplaceFileBytes(name, second), 1);  // a shorter content replaces a longer one whole
    std::vector<unsigned char> read;
    ASSERT_EQ(ReadFileBytes(name, read), 1);
    EXPECT_EQ(read, second);
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(FileBytes, FailuresAreReportedAndTouchNothing)
{
    ScratchFolder folder("bytes-fail");
    std::vector<unsigned char> read = {7};
    EXPECT_EQ(ReadFileBytes(folder.File("missing"), read), 0);
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(ReplaceFileBytes(folder.File("no-such-folder/data.bin"), {1}), 0);
    // A target that is a folder cannot be replaced: failure, the folder and its content stay.
    const std::string inner = folder.File("inner");
    std::filesystem::create_directory(std::filesystem::u8path(inner));
    ASSERT_EQ(ReplaceFileBytes(inner + "/keep", {1}), 1);
    EXPECT_EQ(ReplaceFileBytes(inner, {1, 2}), -1);
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(inner)));
    EXPECT_TRUE(FileExists(inner + "/keep"));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(FileBytes, ReaderChecksEveryLengthAndIsLittleEndian)
{
    std::vector<unsigned char> bytes;
    AppendInt32(bytes, -2);
    AppendDouble(bytes, 1.5);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
    ByteReader reader(bytes);
    int32_t i = 0;
    double x = 0;
    std::vector<double> values = {4.0};
    ASSERT_TRUE(reader.ReadInt32(i));
    EXPECT_EQ(i, -2);
    EXPECT_FALSE(reader.ReadDoubles(2, values));  // only one value left: nothing allocated
    EXPECT_FALSE(reader.ReadDoubles(-1, values));
    EXPECT_FALSE(reader.Skip(9));
    ASSERT_TRUE(reader.ReadDouble(x));
    EXPECT_EQ(x, 1.5);
    EXPECT_FALSE(reader.ReadInt32(i));
    EXPECT_EQ(reader.remaining(), 0u);
}

}  // namespace
