#pragma once
// The text of series and tables of numbers on the clipboard: built for copying, parsed after
// pasting. Lines end in CR LF when copied; pasted text may use CR LF, LF or CR.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The clipboard text of one value: its 5-significant-digit text without blanks, or, where that
// text would be asterisks or would show a non-zero value as 0, the value with 5 significant
// digits in exponent form ("1.2346e+20"), cut rather than rounded where rounding would pass the
// largest double ("1.7976e+308"), so that the text reads back as a finite value. NaN and
// infinite values give "NaN", "Infinity" and "-Infinity".
std::string ClipboardNumberText(double x);

// One value a line, CR LF between values and none after the last; empty for no values.
std::string FormatClipboardSeries(const std::vector<double>& values);

// For c = 1..r one line holding table(1, c) .. table(k, c) separated by TABs; CR LF between
// lines, none after the last. `table` holds k * r values column by column.
std::string FormatClipboardTable(int32_t k, int32_t r, const std::vector<double>& table);

// The most numbers a pasted table holds (128 MB of doubles), as a table file read: a few bytes of
// repeat counts can stand for billions of numbers.
constexpr int64_t kClipboardMaxValues = int64_t{1} << 24;

// Result of parsing pasted text. status 1: read, with `message` the notes of what was not read
// ("" when everything was), for the caller to show. status 0: nothing to read (no lines but blank
// ones), the caller reports "Clipboard empty". status -1: refused; `message` names the line (or
// says "Memory allocation error." when the text is too large to hold).
struct ClipboardParse {
    int32_t status = 0;
    std::string message;
};

// A series, the first number of each line, read by the rules of every number reader
// (platform/number_text.h) as a file opened as a series is: a leading byte-order mark and blank
// lines are skipped, items after a line's first number are not read (the notes say where). Any
// line that does not begin with a finite number (text, a date, NaN, an infinity, a number too
// large, a decimal comma such as "3,14", a thousands separator) refuses the paste.
ClipboardParse ParseClipboardSeries(std::string_view text, std::vector<double>& values);

// A table of one row a line; row i is table(1..columns, i), stored column by column in `table`.
// Numbers are separated by TABs, blanks or commas, as in the table files; `columns` is the count
// of numbers in the first line, and TABs after a row's last number add none; blank lines are
// skipped. A row's numbers end at a slash or at text that no number follows (a last column of
// notes, which the notes name). Refused, with the line named: a row that does not begin with a
// number, holds fewer or more numbers than the first (a first line whose numbers end at text is
// named when a later row has more), holds an empty cell (two TABs or two commas with nothing
// between, or one before the first number), text with numbers after it, or an item that is not a
// finite number (a date, a decimal comma, a thousands separator, NaN). The table is made only
// after every row was read, so its size is bounded by the numbers in the text (repeat counts by
// kClipboardMaxValues).
ClipboardParse ParseClipboardTable(std::string_view text, int32_t& columns, int32_t& rows,
                                   std::vector<double>& table);
