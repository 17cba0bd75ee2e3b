#pragma once
// Reading a multivariate ASCII table: m numbers a time point in free format. Each vector is read
// from the start of a line, goes on over the following lines while it has fewer than m numbers
// and ignores the rest of the last line it used. Reading stops at the end of the file and at the
// first vector that cannot be completed: text that is not a number, Inf or NaN, a null value
// (",," or "r*") or a "/" before the m-th number. Only complete vectors count. Blank lines hold
// no number and are passed over. The reader keeps these rules and tells what they did: where it
// stopped, and the lines that held fewer or more items than a vector.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Why reading a table stopped before the end of its file.
enum class MvStop {
    None,        // it did not: the end of the file
    Text,        // an item that is not a number (a date such as 1990-01, NA, a word)
    NotFinite,   // NaN, an infinity, or a number beyond the range of doubles
    EmptyItem,   // a slash or a null value (",," or "r*") before a vector's m-th number
    Incomplete,  // the file ends inside a vector
};

// What a read met besides its vectors; lines are counted from 1, 0 for none.
struct MvReadNotes {
    int64_t stopLine = 0;  // where reading stopped before the end; for Incomplete, where that vector began
    MvStop stop = MvStop::None;
    int64_t shortLine = 0;  // the first line that ended inside a vector read whole: it went on in the next line
    int64_t restLine = 0;   // the first line holding items after the end of its vector, which were not read
    int64_t unread = 0;     // all such items ("r*v" counted r times), at most 2^62
};

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

// What stands at the line where reading stopped, after "Line N ": "holds text where a number
// should stand"; "" for MvStop::None.
const char* MvStopText(MvStop stop);

// The question after a read of n >= 1 vectors that did not take the file as it stands, or "" when
// it did: where reading stopped and after how many vectors, the first line that held fewer
// numbers than a vector (its vector went on in the next line), the first line holding items after
// its vector's end and how many such items were not read, then "Keep them?".
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
// "  etc ... " (last). Returns 1; 0 when no vector could be read or m exceeds kMvMaxTableValues
// (the texts are then not changed). Its work is bounded by the text, whatever m.
int32_t MultivarPreviewTexts(const MvTableFile& file, int32_t m, std::string& first, std::string& last);
