#pragma once
// The console programs' file selection: the current directory as a menu; choosing a directory
// changes into it and asks the caller to list again.
#include "platform/directory_list.h"

#include <string>

// The longest name a listed entry may have: as long as the names the programs open and write.
constexpr int kFileNameField = 24;

// Lists the current directory ("*.*", in listing order) in a menu at the screen cursor, preceded
// by an empty line and, when the listing failed, the line "UMBO: out of memory!" (DOS error 12) or
// "UMBO: Invalid specification or path name" (any other code but 2, the normal end). Files are
// shown as their names blank-padded to kFileNameField characters, directories as "<", that field
// and ">". Entries whose names are longer than the field, end in a blank or hold characters
// outside printable ASCII are left out, since what is offered must open as shown; ".." is always
// offered (at a root it leads back there), so the menu is never empty; at most 69 are offered.
// How many entries are left out, and why, is said before the menu, a line for each reason (one
// line for all when a full menu would not fit below them), and an empty line after them keeps the
// menu's frame off that text.
// Result in `name`: the chosen file's name, blank-padded to the text's length (lengthened to the
// field when shorter), or "changedir" when a directory was chosen and made current (a change that
// fails is not reported; the next listing shows the same directory).
void SelectFile(std::string& name);

// SelectFile over another listing (`first` and `next` as ListFirstEntry and ListNextEntry).
void SelectFileFromListing(std::string& name, int (*first)(const std::string& pattern, DirectoryEntry& entry),
                           int (*next)(DirectoryEntry& entry));
