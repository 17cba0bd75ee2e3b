// File selection on the scripted PC: a fixture tree walked through the menu, the names left out,
// the root, and the listing's error lines and limit through a made-up listing.
#include "scratch_folder.h"
#include "scripted_pc.h"

#include "console/file_select.h"
#include "console/menu.h"
#include "console/screen.h"
#include "platform/pc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CurrentDirectoryGuard {
    fs::path saved = fs::current_path();
    ~CurrentDirectoryGuard()
    {
        std::error_code ignored;
        fs::current_path(saved, ignored);
    }
};

void Touch(const fs::path& name)
{
    std::ofstream(name) << "1\n";
}

std::string Padded(const std::string& text, size_t length)
{
    return text + std::string(length - text.size(), ' ');
}

// The fixture under `root`: DATA (with inner.dat), a name of 24 characters,
// series.dat, and names that cannot be offered as shown.
void MakeTree(const fs::path& root)
{
    fs::create_directories(root / "DATA");
    Touch(root / "DATA" / "inner.dat");
    Touch(root / "a_name_of_exactly_24_chr");
    Touch(root / "a_name_of_twenty_five_chr");
    Touch(root / "series.dat");
#ifndef _WIN32
    Touch(root / "trailing ");
    Touch(root / fs::u8path("caf\xC3\xA9.dat"));
#endif
}

TEST(SelectFile, WalksTheTreeAndReturnsPaddedNames)
{
    ScratchFolder folder("select-fixture");
    const fs::path& root = folder.Path();
    MakeTree(root);
    std::vector<std::string> results;
    std::vector<fs::path> places;
    // Into DATA, back by "..", then series.dat: as callers do, listing again after "changedir".
    const ScriptedRun run = RunScripted(
        "key down\nkey down\nkey enter\n"
        "key down\nkey enter\n"
        "key down\nkey down\nkey down\nkey down\nkey enter",
        [&] {
            for (int call = 0; call < 3; ++call) {
                SetGraphicsMode(16);
                std::string name(80, '?');
                SelectFile(name);
                results.push_back(name);
                places.push_back(fs::current_path());
            }
        });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0], Padded("changedir", 80));
    EXPECT_EQ(places[0], fs::canonical(root / "DATA"));
    EXPECT_EQ(results[1], Padded("changedir", 80));
    EXPECT_EQ(places[1], fs::canonical(root));
    EXPECT_EQ(results[2], Padded("series.dat", 80));

    // The first listing, after an empty line, one column right of the cursor: directories in
    // brackets after their padded field, the long, blank-ended and non-ASCII names left out, and
    // a line for each reason saying how many, then an empty line.
    const ScreenPicture& first = run.waits[0];
    std::vector<std::string> rows = {" 1 entry is not listed: its name is longer than 24 characters."};
#ifndef _WIN32
    rows.push_back(" 2 entries are not listed: their names are not plain ASCII or end in a blank.");
#endif
    rows.push_back("");
    for (const char* item : {" <.                       >", " <..                      >", " <DATA                    >",
                             " a_name_of_exactly_24_chr", " series.dat"})
        rows.push_back(item);
    for (size_t k = 0; k < rows.size(); ++k)
        EXPECT_EQ(first.Row(1 + static_cast<int>(k)), rows[k]) << k;
    EXPECT_EQ(first.Row(1 + static_cast<int>(rows.size())), "");
    // Inside DATA nothing is left out.
    EXPECT_EQ(run.waits[3].Row(3), " inner.dat");
}

TEST(SelectFile, ParentAtTheRootStaysThere)
{
    CurrentDirectoryGuard guard;
    const fs::path root = fs::current_path().root_path();
    fs::current_path(root);
    std::string name(80, ' ');
    const ScriptedRun run = RunScripted("key down\nkey enter", [&] { SelectFile(name); });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(name, Padded("changedir", 80));
    EXPECT_EQ(fs::current_path(), root);
}

TEST(SelectFile, AShortTextIsLengthenedToTheField)
{
    ScratchFolder folder("select-fixture");
    MakeTree(folder.Path());
    std::string name(4, ' ');
    const ScriptedRun run = RunScripted("key down\nkey down\nkey down\nkey enter", [&] { SelectFile(name); });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(name, "a_name_of_exactly_24_chr");
}

// A made-up listing: its entries, then its ending code.
struct MadeUpListing {
    std::vector<DirectoryEntry> entries;
    int endCode = kListingNoMoreFiles;
    size_t next = 0;
};
MadeUpListing listing;

int MadeUpNext(DirectoryEntry& entry)
{
    if (listing.next >= listing.entries.size())
        return listing.endCode;
    entry = listing.entries[listing.next++];
    return kListingDone;
}

int MadeUpFirst(const std::string&, DirectoryEntry& entry)
{
    listing.next = 0;
    return MadeUpNext(entry);
}

TEST(SelectFile, ListingEndsAndLimits)
{
    struct Case {
        const char* name;
        std::vector<DirectoryEntry> entries;
        int endCode;
        std::string message;  // the lines after the prompt's, each ended by '\n' but the last; "" for none
        std::vector<std::string> items;
        int count;
        int row = 0;  // the cursor's row at the call
    };
    std::vector<DirectoryEntry> many;
    for (int k = 0; k < 100; ++k)
        many.push_back({"f" + std::to_string(1000 + k), 0});
    const std::string parent = "<..                      >";
    std::vector<DirectoryEntry> threeReasons = {{"a_name_of_twenty_five_chr", 0}, {"trailing ", 0}};
    for (int k = 0; k < 69; ++k)
        threeReasons.push_back({"f" + std::to_string(1000 + k), 0});
    std::vector<DirectoryEntry> twoReasons = threeReasons;
    twoReasons.erase(twoReasons.begin() + 1);
    const Case cases[] = {
        {"the normal end says nothing",
         {{".", kDirectoryAttribute}, {"..", kDirectoryAttribute}, {"x.dat", 0}},
         kListingNoMoreFiles,
         "",
         {"<.                       >", parent, "x.dat"},
         3},
        {"out of memory", {{"..", kDirectoryAttribute}, {"x.dat", 0}}, kListingOutOfMemory, " UMBO: out of memory!",
         {parent, "x.dat"}, 2},
        {"a bad path, nothing listed: .. alone", {}, kListingBadPath, " UMBO: Invalid specification or path name",
         {parent}, 1},
        {"another code", {}, 18, " UMBO: Invalid specification or path name", {parent}, 1},
        {"only 69 of 100 entries, .. first, the others counted", many, kListingNoMoreFiles,
         " 32 entries are not listed: the list holds at most 69.\n", {parent, "f1000"}, 69},
        {"names left out are counted by reason",
         {{"..", kDirectoryAttribute},
          {"a_name_of_twenty_five_chr", 0},
          {"<a_directory_of_25_chars>", kDirectoryAttribute},
          {"donn\xC3\xA9" "es.dat", 0},
          {"x.dat", 0}},
         kListingNoMoreFiles,
         " 2 entries are not listed: their names are longer than 24 characters.\n"
         " 1 entry is not listed: its name is not plain ASCII or ends in a blank.\n",
         {parent, "x.dat"},
         2},
        {"two reasons: a full menu still fits below them", twoReasons, kListingNoMoreFiles,
         " 1 entry is not listed: its name is longer than 24 characters.\n"
         " 1 entry is not listed: the list holds at most 69.\n",
         {parent, "f1000"},
         69},
        {"three reasons: a full menu's frame would pass the foot, one line tells all", threeReasons,
         kListingNoMoreFiles, " 3 entries are not listed: long or unusual names, or past the 69th.\n",
         {parent, "f1000"}, 69},
        {"three reasons a row lower: one line tells all", threeReasons, kListingNoMoreFiles,
         " 3 entries are not listed: long or unusual names, or past the 69th.\n", {parent, "f1000"}, 69, 1},
        {"three reasons after an error line: one line tells all", threeReasons, kListingOutOfMemory,
         " UMBO: out of memory!\n 3 entries are not listed: long or unusual names, or past the 69th.\n",
         {parent, "f1000"}, 69},
    };
    for (const Case& c : cases) {
        CurrentDirectoryGuard guard;
        listing = MadeUpListing{c.entries, c.endCode, 0};
        std::string name(80, ' ');
        const ScriptedRun run = RunScripted("key enter", [&] {
            SetTextCursor(0, c.row);
            SelectFileFromListing(name, MadeUpFirst, MadeUpNext);
        });
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        ASSERT_EQ(run.waits.size(), 1u) << c.name;
        const ScreenPicture& shown = run.waits[0];
        int menuRow = c.row + 1;
        for (size_t begin = 0; !c.message.empty(); ++menuRow) {
            const size_t end = std::min(c.message.find('\n', begin), c.message.size());
            EXPECT_EQ(shown.Row(menuRow), c.message.substr(begin, end - begin)) << c.name;
            if (end == c.message.size()) {
                ++menuRow;
                break;
            }
            begin = end + 1;
        }
        for (size_t k = 0; k < c.items.size(); ++k)
            EXPECT_EQ(shown.Row(menuRow + static_cast<int>(k)), " " + c.items[k]) << c.name << " " << k;
        // The menu's frame keeps off the lines above it, and its foot is on the screen.
        for (int row = c.row + 1; row < menuRow - 1; ++row)
            EXPECT_EQ(shown.Count(0, row * 14, kPcWidth - 1, row * 14 + 13, 7), 0) << c.name << " row " << row;
        EXPECT_LE(menuRow + MenuRowsTaken(c.count), kPcRows) << c.name;
        EXPECT_EQ(MenuItems.count, c.count) << c.name;
        if (c.count == 69) {
            EXPECT_EQ(MenuItems.items[69].substr(0, 5), "f1067") << c.name;
        }
        // Enter takes the first entry: a directory, or the file.
        const bool firstIsFile = c.items[0] == "x.dat";
        EXPECT_EQ(name, Padded(firstIsFile ? "x.dat" : "changedir", 80)) << c.name;
    }
}

TEST(SelectFile, AFileWhoseNameLooksLikeADirectoryIsAFile)
{
    listing = MadeUpListing{{{"..", kDirectoryAttribute}, {"<x>", 0}}, kListingNoMoreFiles, 0};
    CurrentDirectoryGuard guard;
    const fs::path before = fs::current_path();
    std::string name(80, ' ');
    const ScriptedRun run =
        RunScripted("key down\nkey enter", [&] { SelectFileFromListing(name, MadeUpFirst, MadeUpNext); });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(name, Padded("<x>", 80));
    EXPECT_EQ(fs::current_path(), before);
}

}  // namespace
