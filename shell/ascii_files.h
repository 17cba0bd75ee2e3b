#pragma once
// Plain text files of numbers: a series read one number a line, a series written one value a
// line, a table written one line per time point. Written lines end in CR LF, as Windows text
// files do; the reader takes CR LF, LF or CR. The text is built and parsed in memory; the file
// routines only move it to and from disk.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/file_message.h"

// The number a text begins with, in free format (decimal or exponent notation, Inf, NaN),
// after leading blanks and TABs. Returns false, `value` unchanged, when the text is blank, begins
// with a separator (a comma or "/") or with anything that is not a number. The rest of the text,
// after the first blank, TAB or comma, is ignored.
bool ReadLeadingNumber(std::string_view text, double& value);

// What a text begins with, for readers that take finite numbers only.
enum LeadingNumber : int {
    LEADING_NUMBER = 1,     // a finite number, stored in `value`
    LEADING_NOTHING = 0,    // blank, a separator, or text that is not a number
    LEADING_NOT_FINITE = -1,  // NaN, an infinity, or a number too large for a double
    LEADING_DECIMAL_COMMA = -2,  // digits, one comma, digits ("3,14"): a decimal comma, not two values
};

// ReadLeadingNumber for readers of finite numbers: the first item (up to a blank or TAB) is
// classified as above; `value` is written only for LEADING_NUMBER.
LeadingNumber ReadLeadingFiniteNumber(std::string_view text, double& value);

// The end of a sentence that begins "Line N " and names what the line holds instead of a finite
// number: "does not begin with a number", "holds a value that is not a finite number", "holds a
// number with a decimal comma".
const char* LeadingNumberFault(LeadingNumber reason);

// The text without a leading UTF-8 byte-order mark.
std::string_view SkipByteOrderMark(std::string_view text);

// Splits a text into lines at CR LF, LF or CR. The last line is kept even without a line end.
std::vector<std::string_view> SplitLines(std::string_view text);

// An ASCII series text read: the first number of each line; blank lines are skipped and the first
// other line that does not begin with a finite number ends the series. A leading byte-order
// mark is skipped.
struct AsciiSeries {
    std::vector<double> values;
    size_t stopLine = 0;  // 0: read to the end; else the line (from 1) that ended the series
    LeadingNumber stopReason = LEADING_NOTHING;  // what that line began with
};
AsciiSeries ParseAsciiSeries(std::string_view text);

// The message of a series read that did not take the whole text, or "" when it did and read at
// least one value. With values read it asks whether to keep them ("... Keep them?"); without it
// says that nothing was read.
std::string AsciiSeriesReport(const AsciiSeries& series);

// One value a line, each the shortest free-format text that reads back to the same double.
std::string FormatAsciiSeries(const std::vector<double>& values);

// For c = 1..r one line holding table(1, c) .. table(k, c), separated by blanks. `table` holds
// k * r values column by column (element (j, c) at table[(c - 1) * k + j - 1]).
std::string FormatAsciiTable(int32_t k, int32_t r, const std::vector<double>& table);

// Reads the text file `name` as an ASCII series into `values` (replaced). Returns 1 (n may be 0),
// with AsciiSeriesReport in `message` (caption "ReadRawData()") when the read stopped before the
// end of the text or read nothing, for the caller to show or ask; or 0 with "Cannot open file" /
// "ReadRawData()" in `message` (a file too large for memory: "Memory allocation error." /
// "ERROR").
[[nodiscard]] int32_t ReadRawData(const std::string& name, std::vector<double>& values, FileMessage& message);

// Writes a series, one value a line, through a temporary file that replaces `name` only when
// the whole text was written. Returns 1, or 0 with ReplaceFailureText ("Cannot open file",
// "Cannot write to file", "Cannot write to a read-only file") and caption "WriteRawData()" in
// `message`.
[[nodiscard]] int32_t WriteRawData(const std::string& name, const std::vector<double>& values,
                                   FileMessage& message);

// Writes the table (k rows, r columns, column by column) one column a line, as WriteRawData.
// Captions "WriteAsciiArray()". A table whose size disagrees with k * r writes nothing and
// returns 0 with "Cannot write to file".
[[nodiscard]] int32_t WriteAsciiArray(const std::string& name, int32_t k, int32_t r,
                                      const std::vector<double>& table, FileMessage& message);

// Removes trailing blanks (and NUL characters) of a blank-padded name.
std::string TrimFileName(std::string_view name);
