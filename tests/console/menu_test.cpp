// Console menus on the scripted PC: scrolling, hot keys, clicks, items that cannot be chosen, the
// bar's width, the table's limits and the position at the cursor, seen on the screen.
#include "scratch_folder.h"
#include "scripted_pc.h"

#include "console/file_select.h"
#include "console/menu.h"
#include "console/screen.h"
#include "console/screen_io.h"
#include "console/start_screen.h"
#include "platform/pc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Items = std::vector<std::pair<int, std::string>>;

constexpr int kColumn = 10;
constexpr int kRow = 2;

const std::string kMark(1, kMenuHotKeyMark);

// Items "Item 1~" .. "Item n~" with identifiers 101 ...
Items Numbered(int n)
{
    Items items;
    for (int k = 1; k <= n; ++k)
        items.push_back({100 + k, "Item " + std::to_string(k) + "~"});
    return items;
}

Items With(Items items, int position, std::pair<int, std::string> item)
{
    items[static_cast<size_t>(position - 1)] = std::move(item);
    return items;
}

std::string Repeat(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line + "\n";
    return text;
}

std::string ClickOnRow(int row)
{
    return "click " + std::to_string(kColumn * 8 + 3) + " " + std::to_string(row * 14 + 6) + "\n";
}

void Fill(const Items& items)
{
    MenuClear();
    for (const auto& [identifier, text] : items)
        MenuAdd(identifier, text);
}

// Whether the bar covers the first cell of text row `row`: its background is inverted to 15.
bool BarOn(const ScreenPicture& picture, int row)
{
    return picture.Count(kColumn * 8, row * 14, kColumn * 8 + 7, row * 14 + 13, 15) > 40;
}

std::vector<int> BarRows(const ScreenPicture& picture)
{
    std::vector<int> rows;
    for (int row = 0; row < kPcRows; ++row) {
        if (BarOn(picture, row))
            rows.push_back(row);
    }
    return rows;
}

// The shown text of the menu's row k (0 = its first row), without the columns left of the menu.
std::string MenuRow(const ScreenPicture& picture, int k)
{
    const std::string row = picture.Row(kRow + k);
    return row.size() > kColumn ? row.substr(kColumn) : std::string();
}

TEST(Menu, ChoosingByKeysClicksAndScrolling)
{
    struct Case {
        const char* name;
        Items items;
        std::string script;
        int choice;
        int firstShown;  // the item in the menu's first row at the last wait
        int barred;      // the item under the bar at the last wait
        const char* picture = nullptr;  // a PNG of the last wait for a person
    };
    const std::string down20 = Repeat("key down", 20);
    const Case cases[] = {
        {"20 down arrows show items 2..21 with item 21 barred", With(Numbered(21), 3, {103, kMark + "Hot key H~"}),
         down20 + "key enter", 121, 2, 21, "scrolled-menu"},
        {"up arrows past the top scroll back", Numbered(21), down20 + Repeat("key up", 20) + "key enter", 101, 1, 1},
        {"no arrow moves past either end", Numbered(3), "key up\nkey down\nkey down\nkey down\nkey enter", 103, 1, 3},
        {"a hot key answers in the other case",
         {{3, kMark + "Continue~"}, {1, kMark + "Plot a subset of the data~"}, {2, kMark + "Rescale the vertical axis~"}},
         "key c",
         3,
         1,
         1},
        {"an upper-case key answers a lower-case hot key", {{5, "a" + kMark + "bc~"}, {6, kMark + "xyz~"}}, "key B", 5, 1,
         1},
        {"the hot key of an item below the view does nothing", With(Numbered(21), 21, {121, kMark + "Zebra~"}),
         "key z\nkey enter", 101, 1, 1},
        {"the hot key of an item scrolled above the view does nothing", With(Numbered(21), 1, {101, kMark + "Apple~"}),
         down20 + "key a\nkey enter", 121, 2, 21},
        {"a click moves the bar and a second click on it chooses", Numbered(3),
         ClickOnRow(kRow + 2) + ClickOnRow(kRow + 2), 103, 1, 3},
        {"a click below the visible items does nothing", Numbered(25),
         ClickOnRow(kRow + 20) + ClickOnRow(kRow + 20) + "key enter", 101, 1, 1},
        {"identifier 0 is refused by Enter, hot key and double click",
         {{0, kMark + "Header~"}, {7, kMark + "Go~"}},
         "key enter\nkey h\n" + ClickOnRow(kRow) + ClickOnRow(kRow) + "key down\nkey enter",
         7,
         1,
         2},
        {"a typed ~ is no key", Numbered(2), "key ~\nkey down\nkey enter", 102, 1, 2},
    };
    for (const Case& c : cases) {
        int choice = -1;
        const ScriptedRun run = RunScripted(c.script, [&] {
            Fill(c.items);
            int column = kColumn, row = kRow;
            MenuChoose(choice, column, row);
        });
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(choice, c.choice) << c.name;
        EXPECT_EQ(run.inputsLeft, 0) << c.name;
        ASSERT_FALSE(run.waits.empty()) << c.name;
        const ScreenPicture& last = run.waits.back();
        if (c.picture) {
            EXPECT_NE(DumpPicture(last, c.picture), "") << c.name;
        }
        const int shown = std::min(static_cast<int>(c.items.size()), kMenuVisibleItems);
        for (int k = 0; k < shown; ++k) {
            std::string expected = c.items[static_cast<size_t>(c.firstShown - 1 + k)].second;
            std::string drawn;
            for (char ch : expected) {
                if (ch != kMenuHotKeyMark && ch != '~')
                    drawn += ch;
            }
            EXPECT_EQ(MenuRow(last, k), drawn) << c.name << " row " << k;
        }
        EXPECT_EQ(MenuRow(last, shown), "") << c.name;
        EXPECT_EQ(BarRows(last), std::vector<int>{kRow + c.barred - c.firstShown}) << c.name;
        // Every wait showed the menu with one bar and the pointer.
        for (const ScreenPicture& wait : run.waits) {
            EXPECT_EQ(BarRows(wait).size(), 1u) << c.name << " at " << wait.label;
            EXPECT_TRUE(wait.pointerShown) << c.name << " at " << wait.label;
        }
        // The bar and the pointer are gone when the menu returns; the menu stays.
        EXPECT_TRUE(BarRows(run.end).empty()) << c.name;
        EXPECT_FALSE(run.end.pointerShown) << c.name;
        EXPECT_NE(MenuRow(run.end, 0), "") << c.name;
    }
}

TEST(Menu, TheFrameAndTheFilledLines)
{
    const ScriptedRun run = RunScripted("key enter", [] {
        Fill({{1, kMark + "No ~"}, {2, kMark + "Yes~"}, {3, "Maybe not   "}});
        int choice = 0, column = kColumn, row = kRow;
        MenuChoose(choice, column, row);
        // The cursor stands after the last item's filling blanks.
        int cursorColumn = 0, cursorRow = 0;
        BiosGetCursor(cursorColumn, cursorRow);
        EXPECT_EQ(cursorColumn, kColumn + 9);
        EXPECT_EQ(cursorRow, kRow + 2);
    });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    const ScreenPicture& shown = run.end;
    // Width 9 ("Maybe not"): the frame from (78, 26) to (78 + 76, 26 + 3 x 14 + 4) in colour 7.
    const int left = kColumn * 8 - 2, top = kRow * 14 - 2, right = left + 9 * 8 + 4, bottom = top + 3 * 14 + 4;
    for (auto [x, y] : {std::pair{left, top}, {right, top}, {left, bottom}, {right, bottom}})
        EXPECT_EQ(shown.Pixel(x, y), 7) << x << "," << y;
    EXPECT_EQ(shown.Count(left, top, right, top, 7), right - left + 1);
    EXPECT_EQ(shown.Count(left, top, left, bottom, 7), bottom - top + 1);
    EXPECT_EQ(shown.Pixel(left - 1, top), 0);
    EXPECT_EQ(shown.Pixel(right + 1, bottom), 0);
    // Hot-key letters yellow, the rest light blue; the marks and "~" take no cell.
    EXPECT_EQ(MenuRow(shown, 0), "No");
    EXPECT_EQ(MenuRow(shown, 1), "Yes");
    EXPECT_GT(shown.Count(kColumn * 8, kRow * 14, kColumn * 8 + 7, kRow * 14 + 13, 14), 10);
    EXPECT_EQ(shown.Count(kColumn * 8, kRow * 14, kColumn * 8 + 7, kRow * 14 + 13, 9), 0);
    EXPECT_GT(shown.Count(kColumn * 8 + 8, kRow * 14, kColumn * 8 + 15, kRow * 14 + 13, 9), 10);
}

TEST(Menu, TheBarIsAsWideAsItsItemWithMarkAndTilde)
{
    struct Case {
        const char* name;
        Items items;
        int width;  // cells under the bar on the first item
    };
    const Case cases[] = {
        {"No ~ with its mark", {{1, kMark + "No ~"}, {2, kMark + "Yes~"}}, 5},
        {"No  ~ with its mark", {{1, kMark + "No  ~"}, {2, kMark + "Yes ~"}}, 6},
        {"the item's own length, not the menu's", {{1, "ab"}, {2, "a much longer item"}}, 2},
    };
    for (const Case& c : cases) {
        const ScriptedRun run = RunScripted("key enter", [&] {
            Fill(c.items);
            int choice = 0, column = kColumn, row = kRow;
            MenuChoose(choice, column, row);
        });
        ASSERT_EQ(run.waits.size(), 1u) << c.name;
        const ScreenPicture& shown = run.waits[0];
        const int x0 = kColumn * 8, x1 = x0 + c.width * 8;  // the bar's lines end on x1
        const int y = kRow * 14;  // the cells' top row, above the glyphs
        EXPECT_EQ(shown.Count(x0, y, x1, y, 15), x1 - x0 + 1) << c.name;
        EXPECT_EQ(shown.Pixel(x1 + 1, y), 0) << c.name;
        EXPECT_EQ(shown.Pixel(x0 - 1, y), 0) << c.name;
        // Nothing of the bar on the second item.
        EXPECT_EQ(shown.Count(x0, y + 14, x1, y + 14, 15), 0) << c.name;
    }
}

TEST(Menu, MovingTheBarRedrawsOnlyTheTwoBars)
{
    const ScriptedRun run = RunScripted("key down\nkey enter", [] {
        Fill(Numbered(5));
        int choice = 0, column = kColumn, row = kRow;
        MenuChoose(choice, column, row);
    });
    ASSERT_EQ(run.waits.size(), 2u);
    int outside = 0;
    for (int y = 0; y < kPcHeight; ++y) {
        const bool barRows = y >= kRow * 14 && y < (kRow + 2) * 14;
        for (int x = 0; x < kPcWidth; ++x)
            outside += !barRows && run.waits[0].Pixel(x, y) != run.waits[1].Pixel(x, y);
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(BarRows(run.waits[0]), std::vector<int>{kRow});
    EXPECT_EQ(BarRows(run.waits[1]), std::vector<int>{kRow + 1});
}

TEST(Menu, AtTheCursorTheCallerGetsThePositionUsed)
{
    int choice = 0, column = kMenuAtCursor, row = 0;
    const ScriptedRun run = RunScripted("key enter", [&] {
        Fill(Numbered(2));
        SetTextCursor(30, 6);
        MenuChoose(choice, column, row);
    });
    EXPECT_EQ(choice, 101);
    EXPECT_EQ(column, 31);
    EXPECT_EQ(row, 6);
    EXPECT_EQ(run.end.Row(6), std::string(31, ' ') + "Item 1");
    EXPECT_EQ(run.end.Row(7), std::string(31, ' ') + "Item 2");
}

TEST(Menu, MenuShowDrawsAtTheCursorWithoutABarAndReturns)
{
    const ScriptedRun run = RunScripted("", [] {
        Fill(Numbered(22));
        SetTextCursor(4, 1);
        MenuShow();
    });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.end.Row(1), std::string(5, ' ') + "Item 1");
    EXPECT_EQ(run.end.Row(20), std::string(5, ' ') + "Item 20");
    EXPECT_EQ(run.end.Row(21), "");
    EXPECT_EQ(run.end.Count(0, 0, kPcWidth - 1, kPcHeight - 1, 15), 0);
}

// The text an item shows: without its hot-key mark and "~", and without trailing blanks.
std::string Drawn(const std::string& item)
{
    std::string drawn;
    for (char c : item.substr(0, static_cast<size_t>(MenuItemLength(item)))) {
        if (c != kMenuHotKeyMark && c != '~')
            drawn += c;
    }
    return drawn.substr(0, drawn.find_last_not_of(' ') + 1);
}

// The row under the bar (inverted to colour 15 over most of a cell), or -1.
int BarRow(const ScreenPicture& picture)
{
    for (int row = 0; row < kPcRows; ++row) {
        if (picture.Count(0, row * 14, kPcWidth - 1, row * 14 + 13, 15) > 40)
            return row;
    }
    return -1;
}

int RowWith(const ScreenPicture& picture, const std::string& part)
{
    for (int row = 0; row < kPcRows; ++row) {
        if (picture.Row(row).find(part) != std::string::npos)
            return row;
    }
    return -1;
}

TEST(Menu, EveryMenuOpenedOnTheLastRowsIsDrawnWholeWithTheBarOnWhatEnterTakes)
{
    const std::string question = "Question ?";
    // Each opens its menu with the cursor behind the question, steps below it as the programs do
    // and returns the answer as text.
    auto yesNo = [](YesNoItems items) {
        return [items] {
            int answer = -1;
            AskYesNo(answer, items);
            MenuStepBelow();
            return std::to_string(answer);
        };
    };
    auto atCursor = [](int count) {
        return [count] {
            Fill(Numbered(count));
            int choice = 0, column = kMenuAtCursor, row = 0;
            MenuChoose(choice, column, row);
            MenuStepBelow();
            return std::to_string(choice) + " at " + std::to_string(column) + "," + std::to_string(row);
        };
    };
    struct Case {
        const char* name;
        int questionColumn;  // where the question is written
        std::function<std::string()> open;
        std::string script;
        std::string barred;  // the item under the bar at the last wait ("" for none)
        std::string answer;  // "@" stands for the menu's first row
        int column;          // the menu's
        int below;           // its first row below the question's
        int width;
        int count;
    };
    const Case cases[] = {
        {"molda's Yes/No", 0, yesNo(YesNoItems::Narrow), "key enter", "No", "0", 11, 0, 5, 2},
        {"the other programs' Yes/No, answered Yes", 0, yesNo(YesNoItems::Wide), "key down\nkey enter", "Yes", "1", 11,
         0, 6, 2},
        {"three items at the cursor, whose place the caller gets", 0, atCursor(3), "key enter", "Item 1", "101 at 11,@",
         11, 0, 7, 3},
        {"25 items at the cursor, 20 shown", 0, atCursor(25), "key enter", "Item 1", "101 at 11,@", 11, 0, 8, 25},
        {"at a place given, which the caller gets back", 0,
         [] {
             Fill(Numbered(2));
             int column = 0, row = 0;
             BiosGetCursor(column, row);
             int choice = 0;
             column += 1;
             MenuChoose(choice, column, row);
             MenuStepBelow();
             return std::to_string(choice) + " at " + std::to_string(column) + "," + std::to_string(row);
         },
         "key enter", "Item 1", "101 at 11,@", 11, 0, 7, 2},
        {"shown without a bar", 0,
         [] {
             Fill(Numbered(8));
             MenuShow();
             WaitKey();
             MenuStepBelow();
             return std::string("shown");
         },
         "key a", "", "shown", 11, 0, 7, 8},
        {"a Yes/No whose frame ends on the last column stays beside", 63, yesNo(YesNoItems::Narrow), "key enter", "No",
         "0", 74, 0, 5, 2},
        {"a Yes/No a column farther opens at the next row's start", 64, yesNo(YesNoItems::Narrow), "key enter", "No",
         "0", 1, 1, 5, 2},
        {"past the right edge, the caller gets the place used", 66, atCursor(2), "key enter", "Item 1", "101 at 1,@", 1,
         1, 7, 2},
        {"the file list", 0,
         [] {
             std::string name(kFileNameField, ' ');
             SelectFile(name);
             MenuStepBelow();
             return name.substr(0, name.find_last_not_of(' ') + 1);
         },
         "key down\nkey down\nkey enter", "data.txt", "data.txt", 1, 1, 26, 3},
        {"whether to replace a file, on a row of its own", 0,
         [] { return std::to_string(AskReplaceFile("data.txt", 3)); }, "key enter", "No", "0", 33, 1, 6, 2},
    };
    const ScratchFolder folder("menu-rows");
    folder.Write("data.txt", "1\n");
    // Rows 20 to 25 of the screen, counted from 1.
    for (int row = 19; row < kPcRows; ++row) {
        for (const Case& c : cases) {
            const std::string what = std::string(c.name) + " from row " + std::to_string(row);
            std::string answer;
            const ScriptedRun run = RunScripted(c.script, [&] {
                SetDrawColor(1);
                SetTextCursor(c.questionColumn, row);
                ScreenWrite("(A,\\)", {question});
                answer = c.open();
                ScreenWrite("('next',\\)", {});
            });
            ASSERT_EQ(run.ending, "returned") << what << "\n" << run.Describe();
            ASSERT_FALSE(run.waits.empty()) << what;
            const ScreenPicture& shown = run.waits.back();
            const int visible = std::min(c.count, kMenuVisibleItems);
            // The screen scrolls as far as the frame's foot needs, no farther.
            const int questionRow = RowWith(shown, question);
            EXPECT_EQ(questionRow, std::min(row, kPcRows - c.below - MenuRowsTaken(c.count))) << what;
            const int first = questionRow + c.below;
            std::string expectedAnswer = c.answer;
            if (const size_t at = expectedAnswer.find('@'); at != std::string::npos)
                expectedAnswer.replace(at, 1, std::to_string(first));
            EXPECT_EQ(answer, expectedAnswer) << what;
            EXPECT_TRUE(shown.MenuFrameWhole(c.column, first, c.width, visible)) << what << "\n" << shown.text;
            for (int k = 0; k < visible; ++k) {
                const std::string rowText = shown.Row(first + k);
                EXPECT_EQ(rowText.size() > size_t(c.column) ? rowText.substr(static_cast<size_t>(c.column)) : "",
                          Drawn(MenuItems.items[k + 1]))
                    << what << " item " << k + 1;
            }
            if (!c.barred.empty()) {
                const int bar = BarRow(shown);
                ASSERT_GE(bar, 0) << what;
                EXPECT_EQ(shown.Row(bar).substr(static_cast<size_t>(c.column)), c.barred) << what;
            }
            // What is written after it starts below the frame, which stays whole (scrolled up at
            // the foot).
            const int endFirst = RowWith(run.end, question) + c.below;
            EXPECT_EQ(run.end.Row(endFirst + visible + 1), "next") << what << "\n" << run.end.text;
            EXPECT_TRUE(run.end.MenuFrameWhole(c.column, endFirst, c.width, visible)) << what;
        }
    }
}

TEST(Menu, TheTableKeeps69ItemsOf80Characters)
{
    MenuClear();
    for (int k = 1; k <= 70; ++k)
        MenuAdd(k, std::string(k == 1 ? 90 : 3, 'a' + static_cast<char>(k % 26)));
    EXPECT_EQ(MenuItems.count, 69);
    EXPECT_EQ(MenuItems.identifiers[69], 69);
    EXPECT_EQ(MenuItems.items[1], std::string(80, 'b'));
    EXPECT_EQ(MenuItems.items[2], "ccc" + std::string(77, ' '));
    EXPECT_EQ(MenuItemLength(MenuItems.items[2]), 3);
    EXPECT_EQ(MenuItemLength(kMark + "No ~   "), 5);
}

TEST(Menu, AnEmptyTableReturnsNothingStale)
{
    std::vector<int> choices;
    const ScriptedRun run = RunScripted("key enter\nkey enter", [&] {
        Fill({{42, "Open this~"}});
        int choice = -1, column = kColumn, row = kRow;
        MenuChoose(choice, column, row);
        choices.push_back(choice);
        MenuClear();
        MenuChoose(choice, column, row);
        choices.push_back(choice);
    });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(choices, (std::vector<int>{42, 0}));
    EXPECT_EQ(run.inputsLeft, 1);  // the empty menu took no key
}

}  // namespace
