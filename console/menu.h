#pragma once
// The console programs' pop-up menus: one process-wide item table that a caller clears and fills,
// shown framed at a text position, with a highlight bar moved by the arrow keys, hot keys and the
// left mouse button. At most 20 items are visible at a time; the list scrolls under the bar.
//
// Item texts: the byte kMenuHotKeyMark is not drawn and makes the character after it the item's
// hot key (drawn yellow); "~" is never drawn. An item's length is its length without trailing
// blanks, counting both, so callers end their texts with "~" to keep blanks before it ("No ~").
// Text positions are 0-based (column, row) cells of 8 x 14 pixels.
#include <cstdint>
#include <string>
#include <string_view>

constexpr int kMenuMaxItems = 69;
constexpr int kMenuItemLength = 80;
constexpr int kMenuVisibleItems = 20;
constexpr char kMenuHotKeyMark = '\xFE';
// MenuChoose's column that places the menu one column right of the screen cursor.
constexpr int kMenuAtCursor = 255;

struct MenuTable {
    int32_t count = 0;
    std::string items[kMenuMaxItems + 1];       // items[1..count], kMenuItemLength characters each
    int32_t identifiers[kMenuMaxItems + 1] = {};  // 0 marks an item that cannot be chosen
    int32_t hotKeys[256] = {};                    // by character code: the visible item's position, or 0
};

// The one item table of the process.
extern MenuTable MenuItems;

// Empties the item table.
void MenuClear();
// Appends an item (its first 80 characters, blank-padded) with its identifier; does nothing when
// the table holds kMenuMaxItems items already.
void MenuAdd(int identifier, std::string_view text);
// Shows the menu with its first item at (column, row), or one column right of the screen cursor
// when column is kMenuAtCursor, and lets the user
// choose: Enter takes the barred item, a hot key of a visible item takes its item, a first click
// on an item moves the bar there and a second click takes it; items with identifier 0 cannot be
// taken. Returns the item's identifier in `choice`. The menu is drawn whole, so that Enter takes the
// item the bar is seen on: one that would pass the right edge opens at the start of the next row,
// and one whose items or frame would pass the foot of the screen scroll the screen up first (only
// the top line of a frame on the first row lies above the screen); column and row receive the
// position used. The menu stays on the screen, the cursor after its
// last visible item. An empty table shows its frame and returns 0 at once, which no item has.
void MenuChoose(int& choice, int& column, int& row);
// Draws the menu from its first item one column right of the screen cursor, whole as MenuChoose
// draws it, without a bar, and returns at once.
void MenuShow();
// Draws the frame (colour 7), clears the hot-key table and draws the visible items
// first .. min(first + 19, count) in colour 9 from (column, row), each filled to the menu width.
void MenuDraw(int first, int column, int row);
// Writes one item at the screen cursor, filled with blanks to `width` drawn characters, and enters
// its hot key (both cases of a letter) under `position`.
void MenuDrawItem(std::string_view text, int colour, int width, int position);
// Toggles the bar over item `selected` (as wide as that item's length) with the pointer hidden.
void MenuHighlight(int selected, int first, int column, int row);
// Inverts `width` cells from (column, row) by exclusive-or in colour 15; twice restores the screen.
// Leaves the drawing colour 15 and the write mode normal.
void MenuInvertBar(int column, int row, int width);

// The text rows a menu of `count` items takes from its first item's row: the visible items and the
// row below them, which its frame's foot reaches 2 pixels into.
int MenuRowsTaken(int count);
// From behind a menu's last item to the start of the row below its frame, so that text written
// next leaves the frame whole (the screen scrolls at the foot).
void MenuStepBelow();

// An item's length: without trailing blanks, the hot-key mark and "~" counted.
int MenuItemLength(std::string_view text);
