#pragma once
// The console programs' data files: numbers in free format, read a series value or an observation
// vector at a time, each from the start of a line (SplitRecords' lines: CR LF, LF or CR, a leading
// byte-order mark skipped), going on over the following lines while a vector is incomplete and
// ignoring the rest of its last line; blank lines are passed over. These rules stay, because files
// written for them rely on them, but a read says where they took effect: the first line that holds
// more items than its vector takes (with the count of items not read) and the first line that
// ended inside a vector read whole.
// What an item is, when a comma between digits parts items and how a vector is read over lines are
// the rules of every reader of number text (platform/number_text.h); multivariate Read Data reads
// its vectors by the same routine. Items that are not numbers the programs can hold end the data
// where they stand, and so does an end-of-file mark that more numbers follow; the reader says
// where. A decimal comma, a thousands separator, an empty item (a lone comma or slash) and an
// empty first cell of a TAB table only ever mean a wrong file here, which is therefore refused
// whole. Keyboard entry keeps plain free-format reading (console/screen_io.h).
#include "platform/number_text.h"

#include <string>
#include <string_view>
#include <vector>

// Why reading stopped before the end of a data file: the faults of every number reader, here in
// single precision (TooLarge, TooSmall).
using DataFault = NumberFault;

// Whether the fault refuses the whole file (a decimal comma, a thousands separator, an empty
// item or cell), rather than ending the data before it.
bool DataFaultRefuses(DataFault fault);

struct DataFileRead {
    std::vector<float> values;  // `count` vectors of m values, one after another
    int count = 0;
    bool more = false;  // a further complete vector followed the limit
    int total = 0;      // the complete vectors the file holds: `count`, and with `more` those past
                        // the limit, counted up to the end or the first item that ends the data
    int stopLine = 0;   // where reading stopped (from 1): the faulty item's line, for an incomplete
                        // vector the line it began on, for an end-of-file mark its line; 0 at the
                        // end of the file
    DataFault fault = DataFault::None;
    // Up to the limit: the first line holding more items than its vector took, and the items
    // left unread on all such lines (an item "r*c" counts once, also when only part of it went
    // into the vector); the first line that ended inside a vector read whole.
    int longLine = 0;
    long long itemsNotRead = 0;
    int shortLine = 0;
    NumberUnit unit = NumberUnit::Value;  // a vector of one number, or of more, for the words of the notes
};

// Reads vectors of m values (m >= 1) from the records until the end, the first fault, or `limit`
// vectors; past the limit the vectors are only counted (`more`, `total`). The values are finite
// and within the single-precision range, neither too large nor, unless zero, too small. With a
// fault that DataFaultRefuses, the values read before it are not to be used.
DataFileRead ReadDataRecords(const std::vector<std::string>& records, int m, int limit);

// ReadDataRecords over the records of `text` (SplitRecords): an end-of-file mark (26) that digits
// follow ends the data with the fault EndMark at the mark's line, one that none follow ends the
// text silently.
DataFileRead ReadDataText(std::string_view text, int m, int limit);

// ReadDataText over the text file `name`. Returns 1, or 0 when it cannot be opened or read
// (`read` then empty).
[[nodiscard]] int ReadDataFile(const std::string& name, int m, int limit, DataFileRead& read);

// For files of one item a line read by free format (halvire's model file): DecimalComma,
// Thousands, EmptyItem or DateOrFraction (1/2, 0.4/) when the record's first item is one, which
// free format would misread, else None.
DataFault FirstItemFault(std::string_view record);

// What stands at a fault's line, after "Line N ", for a file of one value a line: "holds a
// decimal comma, or more than one number parted by commas".
std::string DataFaultText(DataFault fault);

// The sentence that tells why a file gave no data or was refused: "Line 3 holds text where a
// number should stand.", or "It holds no numbers." for a file read to its end without a vector.
std::string DataFileProblem(const DataFileRead& read);

// The two sentences that tell where reading stopped before the end of the file (read.stopLine
// > 0) and what was kept, `unit` naming one kept item ("value", "vector"): "Line 61 holds a value
// that is not a finite number." and "Reading stopped there; the 60 values before it were kept."
std::vector<std::string> DataStopLines(const DataFileRead& read, const std::string& unit);

// The sentences that tell where the reading rules took effect (read.longLine, read.shortLine) and
// where reading stopped (DataStopLines), for the page that follows a read; `unit` as there:
// "Line 1 holds more items than a vector takes." and "The rest of such lines was not read: 108
// items in all."
std::vector<std::string> DataReadLines(const DataFileRead& read, const std::string& unit);

// Whether `name` names the same file as `path`, the loaded data file as DataFilePath gave it
// (both must exist); writing there would lose the data read.
bool IsSameFile(const std::string& name, const std::string& path);
// The absolute name of the file `name` in the current directory, for IsSameFile after the current
// directory may have changed.
std::string DataFilePath(const std::string& name);
