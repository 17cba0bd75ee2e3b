#pragma once
// Reading a multivariate ASCII table: m numbers a time point in free format. Each vector is read
// from the start of a line, goes on over the following lines while it has fewer than m numbers
// and ignores the rest of the last line it used. Reading stops at the end of the file and at the
// first vector that cannot be completed: an item that is not a finite number (text, a date, a
// number with a decimal comma or a thousands separator, Inf or NaN), a null value (",," or "r*"),
// a "/" before the m-th number, or an end-of-file mark that more numbers follow. Only complete
// vectors count. Blank lines hold no number and are passed over. The vectors are read by the
// routine of the console programs' data files (platform/number_text.h), in double precision. The
// reader keeps these rules and tells what they did: where it stopped, and the lines that held
// fewer or more items than a vector.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/number_text.h"

// The open table file: its lines, how many numbers it holds at most (a repeat "r*v" counted r
// times) and how many of its lines hold an item. Each vector begins on a line of its own, so the
// file holds at most min(lines, numbers / m) vectors of m numbers; these bound every count taken
// from the user.
struct MvTableFile {
    std::vector<std::string> records;
    int64_t numbers = 0;
    int64_t lines = 0;
};

// The largest table read, in numbers (128 MB of doubles): a file of a few bytes can stand for
// billions of numbers by its repeat counts.
constexpr int64_t kMvMaxTableValues = int64_t{1} << 24;
// MultivarReadTable's result for a table larger than that.
constexpr int32_t kMvTableTooLarge = -1;

// Splits the text of a table file into its lines.
MvTableFile MvTableFromText(std::string_view text);
// Reads the file `name`. Returns 1, or 0 when it cannot be read (`file` emptied).
[[nodiscard]] int32_t OpenMvTableFile(const std::string& name, MvTableFile& file);

// What a read met besides its vectors (lines from 1, 0 for none): where and why reading stopped
// before the end, the first line that ended inside a vector read whole, the first line holding
// items after its vector's end and how many such items were not read.
using MvReadNotes = NumberReadNotes;

// Reads vectors of m numbers from the start of the file. Mode 0 counts them, up to one vector
// past a table of kMvMaxTableValues numbers; mode 1 stores vector c in column c of `table`
// (m by `count` on entry, column by column) and stops at that limit. On return `count` is the
// number of vectors read. Counting allocates nothing; storing, one column. Returns 1 when it
// stopped at the limit, 0 at the end of the file or at a vector that cannot be completed.
// `notes`, when given, is filled by the vectors this call read.
int32_t MultivarReadColumns(const MvTableFile& file, std::vector<double>& table, int32_t m, int32_t& count,
                            int32_t mode, MvReadNotes* notes = nullptr);

// The table of the file with m numbers a vector: both passes of MultivarReadColumns. Returns the
// number of vectors read into `table` (m by that count); 0 when none, kMvTableTooLarge when the
// table would hold more than kMvMaxTableValues numbers (`table` then empty, nothing allocated).
// `notes`, when given, tells what the count pass met.
int32_t MultivarReadTable(const MvTableFile& file, int32_t m, std::vector<double>& table,
                          MvReadNotes* notes = nullptr);

// The question after a read of n >= 1 vectors that did not take the file as it stands, or "" when
// it did: where reading stopped and after how many vectors, then the sentences of the reading
// rules that took effect (NumberRuleLines), then "Keep them?".
std::string MvReadReport(const MvReadNotes& notes, int32_t m, int32_t n);

// OK of the Read Multivariate Data dialog with m numbers a vector: the table read into `table`
// (m by n), n returned, with MvReadReport's question in `message` ("" when the file was read as it
// stands); or 0, `table` empty, with the message that says why: the file holds no complete vector
// of m numbers (and the line that ended the reading, when one did), fewer vectors than m (a table
// with fewer time points than series cannot be fitted; told before anything is read), or a table
// too large to read.
int32_t MultivarReadDialogTable(const MvTableFile& file, int32_t m, std::vector<double>& table, std::string& message);

// The previews of the first and the m-th series over the first five vectors: for each, two
// blanks, the value with 5 significant digits and a comma; then "  etc ..." (first) and
// "  etc ... " (last). Returns 1; 0 when no vector could be read or m is below 1 or exceeds
// kMvMaxTableValues: `first` then says that no vector of m numbers can be read and `last` is
// empty. Its work is bounded by the text, whatever m.
int32_t MultivarPreviewTexts(const MvTableFile& file, int32_t m, std::string& first, std::string& last);
