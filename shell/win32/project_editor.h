#pragma once
// File > Project Editor: every open project as a tree, a project renamed by editing its node's
// label, and a series moved between projects by dragging its leaf onto another project's node.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// Item values of the tree's nodes: the level in the high half, the number in the low half.
enum : int32_t { TREE_LEVEL_ROOT = 0, TREE_LEVEL_PROJECT = 1, TREE_LEVEL_SERIES = 2 };
constexpr LPARAM TreeItemValue(int32_t level, int32_t number)
{
    return static_cast<LPARAM>((static_cast<uint32_t>(level) << 16) | (static_cast<uint32_t>(number) & 0xFFFFu));
}
constexpr int32_t TreeItemLevel(LPARAM value) { return static_cast<int32_t>((static_cast<uint32_t>(value) >> 16) & 0xFFFFu); }
constexpr int32_t TreeItemNumber(LPARAM value) { return static_cast<int32_t>(static_cast<uint32_t>(value) & 0xFFFFu); }

// Runs dialog 163 modally over the frame. Changes made in it stay whether it ends by OK or
// Cancel. Returns 0.
int32_t ProjectEditor();

INT_PTR CALLBACK ProjectEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Empties `tree` and fills it from the project table: the root "KELO Projects", a node per open
// project titled by its data or series window, a leaf per series. Gives the tree a fresh image
// list, destroying the one it replaces. Returns 1.
int32_t FillProjectTree(HWND tree);

// Moves the series of leaf `dragged` into the project of node `target`, after the user answers
// Yes to "Confirm data transfer" (told how many rows a widening cuts). Refills the tree and
// refreshes the menus, toolbar and status bar for the current project. Returns 1 when data were
// moved; 0 when the items are not a series and another project's node, or the user said No.
int32_t TransferSeries(HWND tree, HTREEITEM dragged, HTREEITEM target);

// The label edit's window procedure while a node is renamed: Enter keeps the text, Escape
// discards it.
LRESULT CALLBACK TreeLabelEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
