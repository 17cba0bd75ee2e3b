#include "platform/directory_list.h"

#include "file_test_support.h"
#include "platform/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::string, int>> Listing()
{
    std::vector<std::pair<std::string, int>> entries;
    DirectoryEntry entry;
    int status = ListFirstEntry("*.*", entry);
    while (status == kListingDone) {
        entries.emplace_back(entry.name, entry.attributes);
        status = ListNextEntry(entry);
    }
    EXPECT_EQ(status, kListingNoMoreFiles);
    return entries;
}

// Keeps the test binary's current directory.
class DirectoryListTest : public testing::Test {
protected:
    void SetUp() override { saved_ = std::filesystem::current_path(); }
    void TearDown() override { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

TEST_F(DirectoryListTest, DotsFirstThenByNameWithTheDirectoryBit)
{
    ScratchFolder folder("listing");
    for (const char* name : {"b.dat", "A.TXT", "series.txt"})
        ASSERT_EQ(ReplaceFileBytes(folder.File(name), {'1', '\n'}), 1);
    std::filesystem::create_directories(std::filesystem::u8path(folder.File("DATA")));
    ASSERT_EQ(ReplaceFileBytes(folder.File("DATA") + "/inner.dat", {'2', '\n'}), 1);

    ASSERT_EQ(ChangeDirectory(folder.File("")), 1);
    const int dir = kDirectoryAttribute;
    EXPECT_EQ(Listing(), (std::vector<std::pair<std::string, int>>{
                             {".", dir}, {"..", dir}, {"A.TXT", 0}, {"DATA", dir}, {"b.dat", 0}, {"series.txt", 0}}));

    ASSERT_EQ(ChangeDirectory("DATA"), 1);
    EXPECT_EQ(Listing(), (std::vector<std::pair<std::string, int>>{{".", dir}, {"..", dir}, {"inner.dat", 0}}));
    ASSERT_EQ(ChangeDirectory(".."), 1);
    EXPECT_EQ(Listing().size(), 6u);

    EXPECT_EQ(ChangeDirectory("no-such-folder"), 0);
    EXPECT_EQ(Listing().size(), 6u);  // still where it was
}

TEST_F(DirectoryListTest, PatternsAndTheEndOfAListing)
{
    DirectoryEntry entry;
    EXPECT_EQ(ListFirstEntry("*.DAT", entry), kListingBadPath);
    EXPECT_EQ(ListNextEntry(entry), kListingNoMoreFiles);
    ASSERT_EQ(ListFirstEntry("*.*", entry), kListingDone);
    EXPECT_EQ(entry.name, ".");
}


}  // namespace
