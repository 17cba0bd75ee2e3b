#pragma once
// Text files of the console programs, read and written record by record the way their run time did,
// but moved whole: an input file is read at once (ReadFileBytes) and split into records, an output
// file is collected and written at close (ReplaceFileBytes), so a failed write leaves the old file.
#include "platform/fortran_format.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Splits text into records: lines ended by CR LF, LF or CR alone; a last line without an end is a
// record; a leading UTF-8 byte-order mark is skipped. A DOS end-of-file mark (26) that no digit
// follows ends the text; one that digits follow is kept in its record, where a reader of numbers
// meets it and says that the file goes on after it.
std::vector<std::string> SplitRecords(std::string_view text);
// The records of SplitRecords one at a time, as views into the text, which outlives the cursor: a
// reader of a long text then holds no table of its lines.
class RecordCursor {
public:
    explicit RecordCursor(std::string_view text = {});
    // The next record; false after the last.
    bool Next(std::string_view& record);
    // The LF characters in the text still to come: a bound for sizing what is read from it.
    size_t LineEnds() const { return static_cast<size_t>(std::count(rest_.begin(), rest_.end(), '\n')); }

private:
    std::string_view rest_;
};

// A free-format read of `count` values that starts at a new record and goes on over the following
// ones until it has them all, ignoring the rest of its last record. `nextRecord` supplies the next
// record, or returns false at the end of the input. Blank records hold no value and are passed
// over. Values are stored only when the read succeeds.
// Returns 1 read, 0 at the end of the input before all values, -1 when an entry cannot be read
// (Inf and NaN included for reals, which must also fit a float).
[[nodiscard]] int ReadRecordSingles(const std::function<bool(std::string&)>& nextRecord, int count, float* values);
[[nodiscard]] int ReadRecordInts(const std::function<bool(std::string&)>& nextRecord, int count, int32_t* values);

// One open file: read from `records` or written into `text`.
struct TextFile {
    enum class Mode { Closed, Reading, Writing };
    Mode mode = Mode::Closed;
    std::string name;
    std::vector<std::string> records;
    size_t nextRecord = 0;
    std::string text;
};

// Opens an existing file for reading. Returns 1, or 0 when it cannot be read (`file` closed).
[[nodiscard]] int OpenInputFile(TextFile& file, const std::string& name);
// Opens `name` to be created or overwritten at close. Returns 1, or 0 for an empty name or one that
// names a directory (`file` closed).
[[nodiscard]] int OpenOutputFile(TextFile& file, const std::string& name);
// Free-format reads of the next values (ReadRecordSingles, ReadRecordInts) from a file opened for
// reading; -1 for a file not open for reading.
[[nodiscard]] int ReadFileSingles(TextFile& file, int count, float* values);
[[nodiscard]] int ReadFileInts(TextFile& file, int count, int32_t* values);
// Appends the records of WriteFormatted to a file opened for writing, each ended by CR LF (the
// programs' files are DOS text); a non-advancing end leaves the record open. Returns
// WriteFormatted's status, or 0 for a file not open for writing.
[[nodiscard]] int WriteFileFormatted(TextFile& file, std::string_view format, const std::vector<FormatValue>& values);
// Closes the file; a file opened for writing is written now. Returns 1, or the failed
// ReplaceFileBytes status (0 or -1) for a file that could not be written.
[[nodiscard]] int CloseFile(TextFile& file);
