#include "console/menu.h"

#include "console/screen.h"
#include "platform/pc.h"

#include <algorithm>

MenuTable MenuItems;

namespace {

constexpr int kFrameColour = 7;
constexpr int kItemColour = 9;
constexpr int kHotKeyColour = 14;
constexpr int kBarColour = 15;
constexpr int kEnter = 13;
constexpr int kUpArrow = 72;
constexpr int kDownArrow = 80;

int MenuWidth()
{
    int width = 0;
    for (int k = 1; k <= MenuItems.count; ++k)
        width = std::max(width, MenuItemLength(MenuItems.items[k]));
    return width;
}

int LastVisible(int first)
{
    return std::min(first + kMenuVisibleItems - 1, MenuItems.count);
}

// Moves a menu that would not be drawn whole at (column, row) to where it is; the frame stands 2
// pixels off the items. A menu that would pass the right edge opens at the start of the next row,
// as wrapped text would; one that would pass the foot has the screen scroll up first, as a line
// feed on the last row does, so that the question written before it moves up with it and stays
// beside its first item. A menu on the first row stays there, beside its question: only its
// frame's top line, 2 pixels above the screen, is not seen.
void PlaceWhole(int& column, int& row)
{
    if (column + MenuWidth() > kPcColumns - 1) {
        column = 1;
        ++row;
    }
    const int overflow = row + MenuRowsTaken(MenuItems.count) - kPcRows;
    if (overflow <= 0)
        return;
    SetTextCursor(0, kPcRows - 1);
    for (int i = 0; i < overflow; ++i)
        BiosPutChar('\n', kItemColour);
    row -= overflow;
}

int OtherCase(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 'a';
    return 0;
}

// One input of the menu: a key (an extended key as 0 with its code) or an accepted click.
struct MenuInput {
    int key = -1;
    int extendedCode = 0;
    int clicked = 0;  // the item clicked, or 0
};

MenuInput NextInput(int first, int row)
{
    for (;;) {
        if (KeyWaiting()) {
            char c = 0;
            ReadKey(c);
            if (c == '~')
                continue;
            MenuInput input;
            input.key = static_cast<unsigned char>(c);
            if (input.key == 0) {
                char code = 0;
                ReadKey(code);
                input.extendedCode = static_cast<unsigned char>(code);
            }
            return input;
        }
        int x = 0, y = 0, presses = 0;
        MouseButtonPress(x, y, presses);
        if (presses == 0)
            continue;
        // Only a shown item can be clicked: below the last visible row lie items that are not drawn.
        const int item = y / 14 + first - row;
        if (item >= first && item <= LastVisible(first)) {
            MenuInput input;
            input.clicked = item;
            return input;
        }
    }
}

}  // namespace

int MenuRowsTaken(int count)
{
    return std::min(count, kMenuVisibleItems) + 1;
}

void MenuStepBelow()
{
    BiosPutChar('\r', kItemColour);
    BiosPutChar('\n', kItemColour);
    BiosPutChar('\n', kItemColour);
}

int MenuItemLength(std::string_view text)
{
    const size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? 0 : static_cast<int>(end + 1);
}

void MenuClear()
{
    MenuItems.count = 0;
}

void MenuAdd(int identifier, std::string_view text)
{
    if (MenuItems.count >= kMenuMaxItems)
        return;
    std::string item(text.substr(0, kMenuItemLength));
    item.resize(kMenuItemLength, ' ');
    ++MenuItems.count;
    MenuItems.items[MenuItems.count] = std::move(item);
    MenuItems.identifiers[MenuItems.count] = identifier;
}

void MenuDrawItem(std::string_view text, int colour, int width, int position)
{
    const int length = MenuItemLength(text);
    int drawn = 0;
    int current = colour;
    bool afterMark = false;
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
        if (afterMark && c != 0) {
            MenuItems.hotKeys[c] = position;
            if (const int other = OtherCase(c))
                MenuItems.hotKeys[other] = position;
        }
        afterMark = false;
        if (c == static_cast<unsigned char>(kMenuHotKeyMark)) {
            current = kHotKeyColour;
            afterMark = true;
        } else if (c != '~') {
            BiosPutChar(static_cast<char>(c), current);
            ++drawn;
            current = colour;
        }
    }
    for (; drawn < width; ++drawn)
        BiosPutChar(' ', current);
}

void MenuDraw(int first, int column, int row)
{
    const int width = MenuWidth();
    const int left = column * 8 - 2;
    const int top = row * 14 - 2;
    const int right = left + width * 8 + 4;
    const int bottom = top + std::min(MenuItems.count, kMenuVisibleItems) * 14 + 4;
    SetDrawColor(kFrameColour);
    DrawLine(left, top, right, top);
    DrawLine(right, top, right, bottom);
    DrawLine(right, bottom, left, bottom);
    DrawLine(left, bottom, left, top);
    std::fill(std::begin(MenuItems.hotKeys), std::end(MenuItems.hotKeys), 0);
    for (int k = first; k <= LastVisible(first); ++k) {
        SetTextCursor(column, row + k - first);
        MenuDrawItem(MenuItems.items[k], kItemColour, width, k);
    }
}

void MenuInvertBar(int column, int row, int width)
{
    SetWriteMode(kPcWriteXor);
    SetDrawColor(kBarColour);
    for (int y = row * 14; y <= row * 14 + 13; ++y)
        DrawLine(column * 8, y, column * 8 + width * 8, y);
    SetWriteMode(kPcWriteReplace);
}

void MenuHighlight(int selected, int first, int column, int row)
{
    MouseHide();
    MenuInvertBar(column, row + selected - first, MenuItemLength(MenuItems.items[selected]));
    MouseShow();
}

void MenuShow()
{
    int column = 0, row = 0;
    BiosGetCursor(column, row);
    ++column;
    PlaceWhole(column, row);
    MenuDraw(1, column, row);
}

void MenuChoose(int& choice, int& column, int& row)
{
    if (column == kMenuAtCursor) {
        BiosGetCursor(column, row);
        ++column;
    }
    PlaceWhole(column, row);
    MouseReset();
    if (MenuItems.count == 0) {
        // Nothing can be chosen; an identifier left from an earlier menu must not come back.
        MenuDraw(1, column, row);
        choice = 0;
        return;
    }
    MouseShow();
    int selected = 1;
    int first = 1;
    MouseHide();
    MenuDraw(first, column, row);
    MouseShow();
    MenuHighlight(selected, first, column, row);
    for (;;) {
        const MenuInput input = NextInput(first, row);
        MenuHighlight(selected, first, column, row);
        MouseHide();
        bool chosen = false;
        if (input.clicked != 0) {
            chosen = input.clicked == selected;
            selected = input.clicked;
        } else if (input.key == kEnter) {
            chosen = true;
        } else if (input.key == 0) {
            if (input.extendedCode == kUpArrow && selected > 1) {
                --selected;
                if (selected < first) {
                    --first;
                    MenuDraw(first, column, row);
                }
            } else if (input.extendedCode == kDownArrow && selected < MenuItems.count) {
                ++selected;
                if (selected - first > kMenuVisibleItems - 1) {
                    ++first;
                    MenuDraw(first, column, row);
                }
            }
        } else if (MenuItems.hotKeys[input.key] != 0) {
            selected = MenuItems.hotKeys[input.key];
            chosen = true;
        }
        if (chosen && MenuItems.identifiers[selected] != 0) {
            choice = MenuItems.identifiers[selected];
            return;
        }
        // The pointer comes back with the bar, also after an item that cannot be chosen, so that
        // the driver's show count stays balanced.
        MouseShow();
        MenuHighlight(selected, first, column, row);
    }
}
