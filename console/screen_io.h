#pragma once
// Formatted and free-format text on the console screen, and free-format reading of typed numbers.
// Text starts at the text cursor in the drawing colour; a record's end (and each "/") moves the
// cursor to the start of the next row, and writing past the last row scrolls the screen.
#include "platform/fortran_format.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Writes the records of WriteFormatted(format, values) at the cursor; a format ending in the
// non-advancing marker leaves the cursor behind its text (a prompt). Returns WriteFormatted's
// status (what it produced before a fault is written all the same).
int ScreenWrite(std::string_view format, const std::vector<FormatValue>& values);

// Writes a free-format output list as one record: the line begins with one blank; items
// (FreeFormatItem: numbers as their shortest text, floats as floats; texts as they are) are parted
// by one blank, except two texts in a row, which run on; an item that would pass column 80 starts
// a new line, which again begins with one blank.
void ScreenWriteList(const std::vector<FormatValue>& items);

// Reads of typed numbers (ReadEntryNumber, ReadEntryLine): a read starts with a new typed line;
// one number is the whole of its line, blanks around it allowed; `count` > 1 numbers follow the
// files' comma rule and may go on over lines while fewer than `count` have been typed. Blank lines
// are passed over. Returns 1, or -1 for a refused entry (a decimal comma, a thousands separator, a
// date or a fraction, text, too many numbers, a fraction where an integer is asked for, Inf, NaN,
// a real beyond the float range), whose reason is written on the next line; nothing is stored then.
[[nodiscard]] int ScreenReadSingles(int count, float* values);
[[nodiscard]] int ScreenReadInts(int count, int32_t* values);
