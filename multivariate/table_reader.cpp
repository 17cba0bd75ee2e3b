#include "multivariate/table_reader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"
#include "shell/ascii_files.h"
#include "shell/number_format.h"

namespace {

constexpr int64_t kManyNumbers = int64_t{1} << 62;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == '/'; }

// The repeat count of an item "r*v": 1 without a star, 0 when r is not a positive number.
int64_t RepeatOf(std::string_view token, std::string_view& value)
{
    const size_t star = token.find('*');
    value = token;
    if (star == std::string_view::npos) return 1;
    if (star == 0) return 0;
    int64_t repeat = 0;
    for (size_t k = 0; k < star; ++k) {
        if (token[k] < '0' || token[k] > '9') return 0;
        const int digit = token[k] - '0';
        // Saturated before the product, which would overflow for a count of 19 digits or more.
        repeat = repeat > (kManyNumbers - digit) / 10 ? kManyNumbers : repeat * 10 + digit;
    }
    value = token.substr(star + 1);
    return repeat;
}

// Saturated sum of two counts of at most kManyNumbers.
int64_t AddCounts(int64_t a, int64_t b) { return b > kManyNumbers - a ? kManyNumbers : a + b; }

// The values that the items of `line` from `i` on stand for, up to its end or a slash ("r*v"
// counts r, a null item none): what a vector that ended at `i` leaves unread.
int64_t ValuesAfter(std::string_view line, size_t i)
{
    int64_t values = 0;
    while (i < line.size() && line[i] != '/') {
        if (IsSeparator(line[i])) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < line.size() && !IsSeparator(line[i])) ++i;
        std::string_view value;
        const int64_t repeat = RepeatOf(line.substr(start, i - start), value);
        values = AddCounts(values, repeat > 0 && value.empty() ? 0 : std::max<int64_t>(repeat, 1));
    }
    return values;
}

// Why an item that is not a finite number ends the table.
MvStop ItemFault(std::string_view value)
{
    double x = 0.0;
    return ReadLeadingFiniteNumber(value, x) == LEADING_NOT_FINITE ? MvStop::NotFinite : MvStop::Text;
}

// Reads one vector of m numbers from record `record` on, as one free-format read: `fill`(k, r, x)
// gets its numbers k .. k + r - 1 (0-based), all x, so that a repeat costs one call whatever its
// count. Returns true for a complete vector, with `record` after the last line it used; false at
// the end of the file or at an item that ends the table. `notes`, when given, learns where and
// why it stopped before the end, the first line it left for the next one with the vector still
// incomplete, and the values it left unread after the vector's end.
template <typename Fill>
bool ReadVector(const MvTableFile& file, size_t& record, int32_t m, Fill fill, MvReadNotes* notes = nullptr)
{
    int64_t have = 0;
    size_t begun = 0;
    size_t shortLine = 0;
    const auto stop = [&](MvStop why, size_t line) {
        if (notes) {
            notes->stop = why;
            notes->stopLine = static_cast<int64_t>(line);
        }
        return false;
    };
    while (record < file.records.size()) {
        const std::string_view line = file.records[record++];
        size_t i = 0;
        for (;;) {
            while (i < line.size() && IsBlank(line[i])) ++i;
            if (i == line.size()) break;
            if (have == 0) begun = record;
            // A slash or a null value before the m-th number leaves the vector incomplete.
            if (line[i] == '/' || line[i] == ',') return stop(MvStop::EmptyItem, record);
            const size_t start = i;
            while (i < line.size() && !IsSeparator(line[i])) ++i;
            std::string_view text;
            const int64_t repeat = RepeatOf(line.substr(start, i - start), text);
            if (repeat >= 1 && text.empty()) return stop(MvStop::EmptyItem, record);
            double x = 0.0;
            if (repeat < 1 || ReadFreeReals(text, 1, &x) != 1) return stop(ItemFault(text), record);
            if (!std::isfinite(x)) return stop(MvStop::NotFinite, record);
            const int64_t taken = std::min<int64_t>(repeat, m - have);
            fill(have, taken, x);
            have += taken;
            if (have == m) {
                if (notes) {
                    const int64_t unread = AddCounts(repeat - taken, ValuesAfter(line, i));
                    if (unread > 0 && notes->restLine == 0) notes->restLine = static_cast<int64_t>(record);
                    notes->unread = AddCounts(notes->unread, unread);
                    if (shortLine > 0 && notes->shortLine == 0) notes->shortLine = static_cast<int64_t>(shortLine);
                }
                return true;
            }
            while (i < line.size() && IsBlank(line[i])) ++i;
            if (i < line.size() && line[i] == ',') ++i;
        }
        if (have > 0 && shortLine == 0) shortLine = record;
    }
    return have > 0 ? stop(MvStop::Incomplete, begun) : false;
}

// Upper bounds of the numbers in the lines (every item counts, "r*v" r times) and of the
// vectors they hold (the lines with an item: each vector begins on a line of its own).
void CountItems(const std::vector<std::string>& records, int64_t& numbers, int64_t& lines)
{
    numbers = 0;
    lines = 0;
    for (const std::string& line : records) {
        size_t i = 0;
        bool item = false;
        while (i < line.size()) {
            if (IsSeparator(line[i])) {
                ++i;
                continue;
            }
            const size_t start = i;
            while (i < line.size() && !IsSeparator(line[i])) ++i;
            std::string_view value;
            const int64_t count = std::max<int64_t>(1, RepeatOf(std::string_view(line).substr(start, i - start), value));
            // Saturated before the sum: two counts near the bound would overflow it.
            numbers = count > kManyNumbers - numbers ? kManyNumbers : numbers + count;
            item = true;
        }
        lines += item;
    }
}

// The most vectors of m numbers the file can hold.
int64_t VectorBound(const MvTableFile& file, int32_t m) { return m < 1 ? 0 : std::min(file.lines, file.numbers / m); }

}  // namespace

MvTableFile MvTableFromText(std::string_view text)
{
    MvTableFile file;
    file.records = SplitRecords(text);
    CountItems(file.records, file.numbers, file.lines);
    return file;
}

int32_t OpenMvTableFile(const std::string& name, MvTableFile& file)
{
    file = MvTableFile{};
    std::vector<unsigned char> bytes;
    if (name.empty() || ReadFileBytes(name, bytes) != 1) return 0;
    file = MvTableFromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return 1;
}

int32_t MultivarReadColumns(const MvTableFile& file, std::vector<double>& table, int32_t m, int32_t& count,
                            int32_t mode, MvReadNotes* notes)
{
    if (notes) *notes = MvReadNotes{};
    int32_t limit = count;
    count = 0;
    if (m < 1 || m > file.numbers) return 0;
    const size_t rows = static_cast<size_t>(m);
    // Counting goes no further than the first vector past the largest table: a file of repeats
    // may stand for far more numbers than that.
    if (mode == 0) limit = static_cast<int32_t>(kMvMaxTableValues / m + 1);
    else limit = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(std::max(limit, 0)), table.size() / rows));
    // The store pass reads into a row as large as one column of the table it fills, so that an
    // incomplete last vector leaves the table as it was; counting needs no row.
    std::vector<double> row(mode == 1 && limit > 0 ? rows : 0);
    size_t record = 0;
    while (count < limit) {
        const bool complete = ReadVector(
            file, record, m,
            [&row](int64_t k, int64_t r, double x) {
                if (!row.empty()) std::fill_n(row.begin() + static_cast<std::ptrdiff_t>(k), static_cast<size_t>(r), x);
            },
            notes);
        if (!complete) return 0;
        if (mode == 1) std::copy(row.begin(), row.end(), table.begin() + static_cast<std::ptrdiff_t>(count * rows));
        ++count;
    }
    return 1;
}

int32_t MultivarReadTable(const MvTableFile& file, int32_t m, std::vector<double>& table, MvReadNotes* notes)
{
    table.clear();
    int32_t count = 0;
    MultivarReadColumns(file, table, m, count, 0, notes);
    if (count == 0) return 0;
    if (static_cast<int64_t>(count) * m > kMvMaxTableValues) return kMvTableTooLarge;
    table.assign(static_cast<size_t>(count) * static_cast<size_t>(m), 0.0);
    MultivarReadColumns(file, table, m, count, 1);
    return count;
}

const char* MvStopText(MvStop stop)
{
    switch (stop) {
    case MvStop::Text:
        return "holds text where a number should stand";
    case MvStop::NotFinite:
        return "holds a value that is not a finite number";
    case MvStop::EmptyItem:
        return "holds an empty item (a lone comma or slash)";
    case MvStop::Incomplete:
        return "begins a vector that the file does not complete";
    default:
        return "";
    }
}

std::string MvReadReport(const MvReadNotes& notes, int32_t m, int32_t n)
{
    const auto count = [](int64_t k, const char* unit) {
        return std::to_string(k) + " " + unit + (k == 1 ? "" : "s");
    };
    std::string text;
    if (notes.stopLine > 0)
        text += "Line " + std::to_string(notes.stopLine) + " " + MvStopText(notes.stop) + ". Reading stopped there after " +
                count(n, "vector") + ". ";
    if (notes.shortLine > 0)
        text += "Line " + std::to_string(notes.shortLine) + " holds fewer numbers than a vector of " + IntText(m) +
                ": the vector went on in the next line. ";
    if (notes.restLine > 0)
        text += "Line " + std::to_string(notes.restLine) + " holds more items than its vector takes; " +
                count(notes.unread, "item") + (notes.unread == 1 ? " was" : " in all were") + " not read. ";
    if (text.empty()) return text;
    if (notes.stopLine == 0) text += count(n, "vector") + " of " + IntText(m) + " numbers were read. ";
    return text + "Keep them?";
}

int32_t MultivarReadDialogTable(const MvTableFile& file, int32_t m, std::vector<double>& table, std::string& message)
{
    table.clear();
    message.clear();
    const std::string noVector = "The file holds no complete vector of " + IntText(m) + " numbers.";
    if (m < 1 || m > file.numbers) {
        message = noVector;
        return 0;
    }
    // Fewer time points than series could never be fitted; the bound costs no reading.
    const int64_t bound = VectorBound(file, m);
    if (bound < m) {
        message = "The file holds at most " + IntText(static_cast<int32_t>(bound)) + (bound == 1 ? " vector" : " vectors") +
                  " of " + IntText(m) + " numbers: a table needs at least as many time points as series.";
        return 0;
    }
    MvReadNotes notes;
    const int32_t n = MultivarReadTable(file, m, table, &notes);
    if (n == kMvTableTooLarge) {
        message = "The table would hold more than " + IntText(static_cast<int32_t>(kMvMaxTableValues)) +
                  " numbers, too many to read.";
    } else if (n == 0) {
        message = noVector;
        if (notes.stopLine > 0) message += " Line " + std::to_string(notes.stopLine) + " " + MvStopText(notes.stop) + ".";
    } else {
        message = MvReadReport(notes, m, n);
    }
    return std::max(n, 0);
}

int32_t MultivarPreviewTexts(const MvTableFile& file, int32_t m, std::string& first, std::string& last)
{
    // No table of more numbers than the largest is read, so none is previewed either.
    if (m < 1 || m > file.numbers || m > kMvMaxTableValues) return 0;
    std::string firstText, lastText;
    size_t record = 0;
    int32_t read = 0;
    for (; read < 5; ++read) {
        double a = 0.0, b = 0.0;
        const bool complete = ReadVector(file, record, m, [&](int64_t k, int64_t r, double x) {
            if (k == 0) a = x;
            if (k <= m - 1 && m - 1 < k + r) b = x;
        });
        if (!complete) break;
        firstText += "  " + SignificantText(a, 5) + ",";
        lastText += "  " + SignificantText(b, 5) + ",";
    }
    if (read == 0) return 0;
    first = firstText + "  etc ...";
    last = lastText + "  etc ... ";
    return 1;
}
