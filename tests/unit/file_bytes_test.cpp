#include "platform/file_bytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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

// The user's write permission on a file, as the platform shows it.
bool Writable(const std::string& name)
{
    const auto perms = std::filesystem::status(std::filesystem::u8path(name)).permissions();
    return (perms & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
}

void MakeReadOnly(const std::string& name, bool readOnly)
{
    std::filesystem::permissions(std::filesystem::u8path(name), std::filesystem::perms::owner_write,
                                 readOnly ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
}

TEST(FileBytes, ReadRefusesWhatIsNotAFileAndReadsThroughLinks)
{
    ScratchFolder folder("bytes-read");
    std::vector<unsigned char> read = {7};
    EXPECT_EQ(ReadFileBytes(folder.File(""), read), 0);  // a folder, once a failed allocation
    EXPECT_TRUE(read.empty());
    const std::string name = folder.File("data.bin");
    ASSERT_EQ(ReplaceFileBytes(name, {1, 2, 3}), kReplaceDone);
    std::error_code error;
    std::filesystem::create_symlink("data.bin", std::filesystem::u8path(folder.File("link")), error);
    if (!error) {
        ASSERT_EQ(ReadFileBytes(folder.File("link"), read), 1);
        EXPECT_EQ(read, (std::vector<unsigned char>{1, 2, 3}));
    }
}

TEST(FileBytes, SavesRefuseReadOnlyTargetsAndWriteThroughLinks)
{
    ScratchFolder folder("bytes-targets");
    const std::string name = folder.File("data.bin");
    ASSERT_EQ(ReplaceFileBytes(name, {1}), kReplaceDone);
    MakeReadOnly(name, true);
    EXPECT_EQ(ReplaceFileBytes(name, {2, 2}), kReplaceReadOnly);
    EXPECT_STREQ(ReplaceFailureText(kReplaceReadOnly), "Cannot write to a read-only file");
    std::vector<unsigned char> read;
    ASSERT_EQ(ReadFileBytes(name, read), 1);
    EXPECT_EQ(read, std::vector<unsigned char>{1});
    EXPECT_FALSE(Writable(name));
    MakeReadOnly(name, false);
    EXPECT_EQ(folder.EntryCount(), 1u);

    // Through a link (where the system lets us make one) the file it names gets the content.
    std::error_code error;
    const std::filesystem::path link = std::filesystem::u8path(folder.File("link.bin"));
    std::filesystem::create_symlink("data.bin", link, error);
    if (error) GTEST_SKIP() << "no symbolic links here";
    ASSERT_EQ(ReplaceFileBytes(link.u8string(), {3, 4}), kReplaceDone);
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(link)));
    ASSERT_EQ(ReadFileBytes(name, read), 1);
    EXPECT_EQ(read, (std::vector<unsigned char>{3, 4}));
    // A link to a file not made yet makes it; a loop of links is refused.
    std::filesystem::create_symlink("later.bin", std::filesystem::u8path(folder.File("ahead")));
    ASSERT_EQ(ReplaceFileBytes(folder.File("ahead"), {5}), kReplaceDone);
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(std::filesystem::u8path(folder.File("ahead")))));
    ASSERT_EQ(ReadFileBytes(folder.File("later.bin"), read), 1);
    std::filesystem::create_symlink("loop2", std::filesystem::u8path(folder.File("loop1")));
    std::filesystem::create_symlink("loop1", std::filesystem::u8path(folder.File("loop2")));
    EXPECT_EQ(ReplaceFileBytes(folder.File("loop1"), {6}), kReplaceWriteFailed);
    EXPECT_EQ(folder.EntryCount(), 6u);
}

TEST(FileBytes, TemporaryNamesAreUniqueAndStaleOnesOfOursAreRemoved)
{
    ScratchFolder folder("bytes-temps");
    const std::string name = folder.File("data.bin");
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(2);
    // Leftovers of killed saves: the hundred names that once blocked every save, and a new one.
    std::vector<std::string> stale;
    for (int k = 0; k < 100; ++k) stale.push_back(name + ".vesk-tmp" + std::to_string(k));
    stale.push_back(name + ".0123456789abcdef.vesk-tmp");
    // Not ours to remove: a save still running, and files of other names.
    const std::vector<std::string> kept = {name + ".fedcba9876543210.vesk-tmp", folder.File("other.bin.vesk-tmp3"),
                                           name + ".vesk-tmp100"};
    for (const std::string& file : stale) {
        ASSERT_EQ(ReplaceFileBytes(file, {0}), kReplaceDone);
        std::filesystem::last_write_time(std::filesystem::u8path(file), old);
    }
    for (const std::string& file : kept) {
        ASSERT_EQ(ReplaceFileBytes(file, {0}), kReplaceDone);
        if (file != kept[0]) std::filesystem::last_write_time(std::filesystem::u8path(file), old);
    }
    ASSERT_EQ(ReplaceFileBytes(name, {8, 9}), kReplaceDone);
    for (const std::string& file : stale) EXPECT_FALSE(FileExists(file)) << file;
    for (const std::string& file : kept) EXPECT_TRUE(FileExists(file)) << file;
    EXPECT_EQ(folder.EntryCount(), 1 + kept.size());
}

TEST(FileBytes, ANewFileKeepsThePermissionsOfTheOldOne)
{
    ScratchFolder folder("bytes-perms");
    const std::string name = folder.File("data.bin");
    ASSERT_EQ(ReplaceFileBytes(name, {1}), kReplaceDone);
    namespace fs = std::filesystem;
    fs::permissions(fs::u8path(name), fs::perms::group_all | fs::perms::others_all, fs::perm_options::remove);
    const fs::perms before = fs::status(fs::u8path(name)).permissions();
    ASSERT_EQ(ReplaceFileBytes(name, {2}), kReplaceDone);
    EXPECT_EQ(fs::status(fs::u8path(name)).permissions(), before);
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

#ifndef _WIN32
// A pipe or a device node as the target of a save, by name or through a link, stays what it is
// and the save fails: it was once replaced by a plain file, reported as saved.
TEST(FileBytes, SavesOntoPipesAndDevicesAreRefused)
{
    ScratchFolder folder("bytes-special");
    const std::string pipe = folder.File("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // The null device through a link: making a device node needs a right a test does not have.
    const std::string device = folder.File("null");
    std::filesystem::create_symlink("/dev/null", std::filesystem::u8path(device));
    std::filesystem::create_symlink("pipe", std::filesystem::u8path(folder.File("link")));
    const std::vector<std::string> targets = {pipe, device, folder.File("link")};
    for (const std::string& target : targets) {
        EXPECT_EQ(ReplaceFileBytes(target, {1, 2}), kReplaceWriteFailed) << target;
        std::vector<unsigned char> read = {7};
        EXPECT_EQ(ReadFileBytes(target, read), 0) << target;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::u8path(pipe)));
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::u8path(device)));
    EXPECT_TRUE(std::filesystem::is_character_file(std::filesystem::u8path(device)));
    EXPECT_EQ(folder.EntryCount(), targets.size());
}
#endif

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
