#pragma once
// The console programs' data files: numbers in free format, read a series value or an observation
// vector at a time, each from the start of a line (SplitRecords' lines: CR LF, LF or CR, a leading
// byte-order mark skipped), going on over the following lines while a vector is incomplete and
// ignoring the rest of its last line; blank lines are passed over. Free format would read a
// decimal comma as two numbers and let an empty item (a lone comma or slash) leave a value unset;
// in a data file both only ever mean a wrong file, which is therefore refused. Other items that
// are not numbers the programs can hold end the data where they stand, and the reader says where.
// Keyboard entry keeps plain free-format reading (console/screen_io.h).
#include <string>
#include <string_view>
#include <vector>

// Why reading stopped before the end of a data file.
enum class DataFault {
    None,          // the end of the file
    Text,          // an item that is not a number
    NotText,       // a control character such as NUL where a number should stand: not a text file
    NotFinite,     // NaN or an infinity
    TooLarge,      // a number beyond the single-precision range (about 3.4E+38)
    Incomplete,    // the file ends inside a vector
    DecimalComma,  // "107,99": free format would read two numbers
    EmptyItem,     // a comma or slash where a number should stand: free format would keep a value
};

// Whether the fault refuses the whole file (a decimal comma, an empty item), rather than ending
// the data before it.
bool DataFaultRefuses(DataFault fault);

struct DataFileRead {
    std::vector<float> values;  // `count` vectors of m values, one after another
    int count = 0;
    bool more = false;  // a further complete vector followed the limit
    int stopLine = 0;   // where reading stopped (from 1): the faulty item's line, or for an
                        // incomplete vector the line it began on; 0 at the end of the file
    DataFault fault = DataFault::None;
};

// Reads vectors of m values (m >= 1) from the records until the end, the first fault, or `limit`
// vectors (then `more` tells whether another complete vector follows). The values are finite and
// within the single-precision range. With a fault that DataFaultRefuses, the values read before it
// are not to be used.
DataFileRead ReadDataRecords(const std::vector<std::string>& records, int m, int limit);

// ReadDataRecords over the text file `name`. Returns 1, or 0 when it cannot be opened or read
// (`read` then empty).
[[nodiscard]] int ReadDataFile(const std::string& name, int m, int limit, DataFileRead& read);

// For files of one item a line read by free format (halvire's model file): DecimalComma or
// EmptyItem when the record's first item is one, else None.
DataFault FirstItemFault(std::string_view record);

// What stands at a fault's line, after "Line N ": "holds a number with a decimal comma".
const char* DataFaultText(DataFault fault);

// The sentence that tells why a file gave no data or was refused: "Line 3 holds a number with a
// decimal comma.", or "It holds no numbers." for a file read to its end without a vector.
std::string DataFileProblem(const DataFileRead& read);

// The two sentences that tell where reading stopped before the end of the file (read.stopLine
// > 0) and what was kept, `unit` naming one kept item ("value", "vector"): "Line 61 holds a value
// that is not a finite number." and "Reading stopped there; the 60 values before it were kept."
std::vector<std::string> DataStopLines(const DataFileRead& read, const std::string& unit);

// Whether `name` names the same file as `path`, the loaded data file as DataFilePath gave it
// (both must exist); writing there would lose the data read.
bool IsSameFile(const std::string& name, const std::string& path);
// The absolute name of the file `name` in the current directory, for IsSameFile after the current
// directory may have changed.
std::string DataFilePath(const std::string& name);
