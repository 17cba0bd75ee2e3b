#pragma once
// Plain text files of numbers: a series read one number a line, a series written one value a
// line, a table written one line per time point. Written lines end in CR LF, as Windows text
// files do; the reader takes CR LF, LF or CR. The text is built and parsed in memory; the file
// routines only move it to and from disk.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/number_text.h"
#include "shell/file_message.h"

// An ASCII series text read: the first number of each line (a vector of one number, read by the
// rules of every number reader, platform/number_text.h); blank lines are skipped and the first
// other line that does not begin with a finite number ends the series. Items after a line's first
// number are not read, and the notes say where. A leading byte-order mark is skipped; so is an
// end-of-file mark that no digit follows.
struct AsciiSeries {
    std::vector<double> values;
    NumberReadNotes notes;  // where reading stopped and why (stopLine 0: read to the end); long lines
};
AsciiSeries ParseAsciiSeries(std::string_view text);

// The question after a series read that did not take the whole text as it stands (it stopped
// before the end, or lines held more than one item), or "" when it did and read at least one
// value: with values read it says where and asks whether to keep them ("... Keep them?"); without
// it says that nothing was read.
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
