#pragma once
// Reading a multivariate ASCII table: m numbers a time point in free format. Each vector is read
// from the start of a line, goes on over the following lines while it has fewer than m numbers
// and ignores the rest of the last line it used. Reading stops at the end of the file and at the
// first vector that cannot be completed: text that is not a number, Inf or NaN, a null value
// (",," or "r*") or a "/" before the m-th number. Only complete vectors count. Blank lines hold
// no number and are passed over.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The open table file: its lines, and how many numbers it holds at most (a repeat "r*v"
// counted r times), which bounds every count taken from the user.
struct MvTableFile {
    std::vector<std::string> records;
    int64_t numbers = 0;
};

// Splits the text of a table file into its lines.
MvTableFile MvTableFromText(std::string_view text);
// Reads the file `name`. Returns 1, or 0 when it cannot be read (`file` emptied).
[[nodiscard]] int32_t OpenMvTableFile(const std::string& name, MvTableFile& file);

// Reads vectors of m numbers from the start of the file. Mode 0 counts them; mode 1 stores
// vector c in column c of `table` (m by `count` on entry, column by column) and stops at that
// limit. On return `count` is the number of vectors read. Nothing sized by m is allocated when
// m exceeds the numbers of the file (no vector can then be complete). Returns 1 when it stopped
// at the limit, 0 at the end of the file or at a vector that cannot be completed.
int32_t MultivarReadColumns(const MvTableFile& file, std::vector<double>& table, int32_t m, int32_t& count,
                            int32_t mode);

// The table of the file with m numbers a vector: both passes of MultivarReadColumns. Returns the
// number of vectors read into `table` (m by that count); 0 when none (`table` emptied).
int32_t MultivarReadTable(const MvTableFile& file, int32_t m, std::vector<double>& table);

// The previews of the first and the m-th series over the first five vectors: for each, two
// blanks, the value with 5 significant digits and a comma; then "  etc ..." (first) and
// "  etc ... " (last). Returns 1; 0 when no vector could be read
// (the texts are then not changed).
int32_t MultivarPreviewTexts(const MvTableFile& file, int32_t m, std::string& first, std::string& last);
