// Every reader of number text on the same text: univariate Open, Paste of a series and of a table,
// multivariate Read Data and the console data file, with m numbers a vector chosen by the first
// byte. Readers of one shape that both read the whole text give the same numbers (the console in
// single precision); a reader that stops or refuses names a line of the text.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/data_file.h"
#include "multivariate/table_reader.h"
#include "platform/dialog_values.h"
#include "platform/text_file.h"
#include "platform/typed_entry.h"
#include "shell/ascii_files.h"
#include "shell/clipboard_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int kConsoleLimit = 20000;

// The line a message names first ("Line 3 ..." or "... Line 3 ..."), -1 when it names none.
int64_t NamedLine(const std::string& message)
{
    const size_t at = message.find("Line ");
    if (at == std::string::npos) return -1;
    int64_t line = 0;
    size_t k = at + 5;
    if (k >= message.size() || message[k] < '0' || message[k] > '9') return -1;
    for (; k < message.size() && message[k] >= '0' && message[k] <= '9'; ++k) line = line * 10 + (message[k] - '0');
    return line;
}

// The console's values agree with the double reader's rounded to single precision.
void CheckSingle(const std::vector<float>& single, const std::vector<double>& wide, size_t count)
{
    FUZZ_CHECK(single.size() >= count && wide.size() >= count);
    for (size_t k = 0; k < count; ++k) FUZZ_CHECK(single[k] == static_cast<float>(wide[k]));
}

// Read Data and the console data file with m numbers a vector; they read vectors by one routine,
// in double and single precision.
void CheckVectors(std::string_view text, int32_t m, const std::vector<double>* expected, int64_t records)
{
    MvReadNotes notes;
    std::vector<double> table;
    const int32_t n = MultivarReadTable(MvTableFromText(text), m, table, &notes);
    FUZZ_CHECK(n >= kMvTableTooLarge);
    FUZZ_CHECK(notes.stopLine >= 0 && notes.stopLine <= records);
    if (notes.stopLine > 0 && n > 0) FUZZ_CHECK(NamedLine(MvReadReport(notes, m, n)) == notes.stopLine);
    const bool dataRead = n > 0 && notes.stopLine == 0;

    const DataFileRead read = ReadDataText(text, m, kConsoleLimit);
    FUZZ_CHECK(read.stopLine >= 0 && read.stopLine <= records);
    FUZZ_CHECK((read.stopLine == 0) == (read.fault == DataFault::None));
    if (read.stopLine > 0) FUZZ_CHECK(NamedLine(DataFileProblem(read)) == read.stopLine);
    for (float v : read.values) FUZZ_CHECK(std::isfinite(v));
    const bool consoleRead = read.count > 0 && read.stopLine == 0;

    // Both read the text whole: the same vectors, up to the console's limit.
    if (dataRead && consoleRead) {
        FUZZ_CHECK(read.more ? read.count <= n : read.count == n);
        CheckSingle(read.values, table, static_cast<size_t>(read.count) * static_cast<size_t>(m));
    }
    if (expected && dataRead) FUZZ_CHECK(table == *expected);
    if (expected && consoleRead) CheckSingle(read.values, *expected, read.values.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const int32_t m = 1 + data[0] % 8;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const int64_t records = static_cast<int64_t>(SplitRecords(text).size());

    // Open: the first number of each line.
    const AsciiSeries series = ParseAsciiSeries(text);
    FUZZ_CHECK(series.notes.stopLine >= 0 && series.notes.stopLine <= records);
    for (double v : series.values) FUZZ_CHECK(std::isfinite(v));
    if (series.notes.stopLine > 0) FUZZ_CHECK(NamedLine(AsciiSeriesReport(series)) == series.notes.stopLine);
    const bool openRead = series.notes.stopLine == 0;

    // Paste of a series: the same rule, refusing where Open stops.
    std::vector<double> pasted;
    const ClipboardParse paste = ParseClipboardSeries(text, pasted);
    if (paste.status == -1) FUZZ_CHECK(NamedLine(paste.message) == series.notes.stopLine);
    FUZZ_CHECK((paste.status == -1) == !openRead);
    if (paste.status == 1) FUZZ_CHECK(pasted == series.values);
    FUZZ_CHECK((paste.status == 0) == (openRead && series.values.empty()));

    // The first number of a line is a vector of one number.
    CheckVectors(text, 1, openRead && !series.values.empty() ? &series.values : nullptr, records);
    CheckVectors(text, m, nullptr, records);

    // Paste of a table: when its rows are read, Read Data and the console read its columns alike.
    int32_t columns = 0, rows = 0;
    std::vector<double> table;
    const ClipboardParse pastedTable = ParseClipboardTable(text, columns, rows, table);
    FUZZ_CHECK(pastedTable.status >= -1 && pastedTable.status <= 1);
    if (pastedTable.status == -1 && pastedTable.message != "Memory allocation error.") {
        const int64_t line = NamedLine(pastedTable.message);
        FUZZ_CHECK(line >= 1 && line <= records);
    }
    if (pastedTable.status == 1) {
        FUZZ_CHECK(columns >= 1 && rows >= 1);
        FUZZ_CHECK(table.size() == static_cast<size_t>(columns) * static_cast<size_t>(rows));
        for (double v : table) FUZZ_CHECK(std::isfinite(v));
        if (columns <= 64) CheckVectors(text, columns, &table, records);
    }

    // The text's first line typed into a field or a prompt: a reading is finite and of its kind,
    // and the dialog parsers and the field rule agree with it.
    const std::string_view entry = text.substr(0, std::min(text.find('\n'), text.size()));
    double real = 0.0;
    const EntryFault realFault = ReadEntryNumber(entry, EntryKind::Real, real);
    if (realFault == EntryFault::None) FUZZ_CHECK(std::isfinite(real));
    double dialogReal = 0.0;
    FUZZ_CHECK((ParseDialogReal(std::string(entry), dialogReal) == 1) == (realFault == EntryFault::None));
    if (realFault == EntryFault::None) FUZZ_CHECK(dialogReal == real);
    double field = 0.0;
    FUZZ_CHECK(ReadFieldEntry("Entry", entry, EntryKind::Real, field).empty() == (realFault == EntryFault::None));
    int32_t whole = 0;
    if (ReadEntryInteger(entry, whole) == EntryFault::None) FUZZ_CHECK(realFault == EntryFault::None && real == whole);
    double single = 0.0;
    if (ReadEntryNumber(entry, EntryKind::Single, single) == EntryFault::None)
        FUZZ_CHECK(std::isfinite(static_cast<float>(single)));
    std::vector<double> line;
    const int64_t need = 1 + data[0] % 3;
    if (ReadEntryLine(entry, need, EntryKind::Real, line) == EntryFault::None) {
        FUZZ_CHECK(static_cast<int64_t>(line.size()) <= need);
        for (double v : line) FUZZ_CHECK(std::isfinite(v));
    }
    return 0;
}
