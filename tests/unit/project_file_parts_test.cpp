#include "shell/project_file_parts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "file_test_support.h"
#include "platform/file_bytes.h"

namespace {

// Header (9923 = 0x26C3, length 12, 2 parts), a part of tag 7 and length 20 whose body looks like
// a data part, then the data part (9924 = 0x26C4, length 28, n = 2, 1.5 and -2).
const std::vector<unsigned char> kFixture = {
    0xC3, 0x26, 0, 0, 12, 0, 0, 0, 2, 0, 0, 0,
    7, 0, 0, 0, 20, 0, 0, 0, 0xC4, 0x26, 0, 0, 28, 0, 0, 0, 9, 9, 9, 9,
    0xC4, 0x26, 0, 0, 28, 0, 0, 0, 2, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0xC0,
};

std::vector<unsigned char> MultiPart(int32_t n, int32_t length, const std::vector<double>& values)
{
    std::vector<unsigned char> bytes;
    for (int32_t v : {kHeaderPartTag, 12, 1, kDataPartTag, length, n}) AppendInt32(bytes, v);
    for (double v : values) AppendDouble(bytes, v);
    return bytes;
}

TEST(ProjectFileParts, FixtureIsReadPastTheSkippedPart)
{
    FilePartBuffer buffer;
    ResetFileParts(buffer);
    FileMessage message;
    size_t body = 0;
    EXPECT_EQ(FindPart(kFixture, 7, body), 20);
    EXPECT_EQ(body, 20u);
    EXPECT_EQ(FindPart(kFixture, kHeaderPartTag, body), 12);
    ASSERT_EQ(ReadHeaderPart(kFixture, buffer, message), 1);
    EXPECT_EQ(buffer.partCount, 2);
    ASSERT_EQ(ReadDataPart(kFixture, buffer, message), 1);
    EXPECT_EQ(buffer.dataTag, kDataPartTag);
    EXPECT_EQ(buffer.dataLength, 28);
    EXPECT_EQ(buffer.values, (std::vector<double>{1.5, -2.0}));
    EXPECT_TRUE(message.empty());
}

TEST(ProjectFileParts, MissingPartsGiveNoMessage)
{
    FilePartBuffer buffer;
    FileMessage message;
    size_t body = 0;
    const std::vector<unsigned char> notMultiPart = {0xDB, 0x08, 0, 0, 12, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(FindPart(notMultiPart, kHeaderPartTag, body), -1);
    EXPECT_EQ(ReadHeaderPart(notMultiPart, buffer, message), 0);
    const std::vector<unsigned char> headerOnly(kFixture.begin(), kFixture.begin() + 12);
    EXPECT_EQ(ReadHeaderPart(headerOnly, buffer, message), 1);
    EXPECT_EQ(ReadDataPart(headerOnly, buffer, message), 0);
    EXPECT_TRUE(message.empty());
    ASSERT_EQ(ReadDataPart(MultiPart(0, 12, {}), buffer, message), 1);
    EXPECT_EQ(buffer.n, 0);
    EXPECT_TRUE(buffer.values.empty());
}

TEST(ProjectFileParts, UnsoundPartsAreRefusedWithTheirMessages)
{
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        bool header;  // the failure is the header's
        const char* message = "File corrupt";
    };
    const char* const notFinite = "Cannot read file: the series holds a value that is not finite";
    const std::vector<unsigned char> countCut(kFixture.begin(), kFixture.begin() + 10);
    std::vector<unsigned char> valuesCut = kFixture;
    valuesCut.resize(valuesCut.size() - 1);
    const Case cases[] = {
        {"part count cut off", countCut, true},
        {"values cut off", valuesCut, false},
        {"negative n", MultiPart(-1, 12, {}), false},
        {"huge n", MultiPart(0x7FFFFFFF, 20, {1.0}), false},
        {"length below 12 + 8 n", MultiPart(2, 20, {1.0, 2.0}), false},
        {"length past the end", MultiPart(1, 28, {1.0}), false},
        {"+Infinity", MultiPart(2, 28, {1.0, HUGE_VAL}), false, notFinite},
        {"-Infinity", MultiPart(2, 28, {-HUGE_VAL, 1.0}), false, notFinite},
        {"NaN", MultiPart(1, 20, {std::nan("")}), false, notFinite},
    };
    for (const Case& c : cases) {
        FilePartBuffer buffer;
        buffer.values = {42.0};
        FileMessage message;
        if (c.header) {
            EXPECT_EQ(ReadHeaderPart(c.bytes, buffer, message), 0) << c.what;
            EXPECT_EQ(message.text, "KELO file corrupt") << c.what;
            EXPECT_EQ(message.caption, "ReadHeaderPart()");
            continue;
        }
        EXPECT_EQ(ReadDataPart(c.bytes, buffer, message), 0) << c.what;
        EXPECT_EQ(message.text, c.message) << c.what;
        EXPECT_EQ(message.caption, "ReadDataPart()");
        EXPECT_EQ(buffer.values, std::vector<double>{42.0}) << c.what;
    }
}

TEST(ProjectFileParts, RandomMutantsNeverReadOutsideTheBuffer)
{
    std::mt19937 random(12);
    for (int trial = 0; trial < 3000; ++trial) {
        const std::vector<unsigned char> bytes = Mutate(kFixture, random);
        FilePartBuffer buffer;
        FileMessage message;
        if (ReadHeaderPart(bytes, buffer, message) && ReadDataPart(bytes, buffer, message)) {
            EXPECT_GE(buffer.n, 0);
            EXPECT_EQ(buffer.values.size(), static_cast<size_t>(buffer.n));
            EXPECT_LE(12 + 8 * static_cast<int64_t>(buffer.n), buffer.dataLength);
        }
    }
}

}  // namespace
