#include "multivariate/table_reader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/number_text.h"
#include "platform/text_file.h"
#include "shell/number_format.h"

namespace {

constexpr int64_t kManyNumbers = int64_t{1} << 62;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == '/'; }

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
            const int64_t count = std::max<int64_t>(1, RepeatCountOf(std::string_view(line).substr(start, i - start), value));
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
    NumberVectorReader reader(file.records, m, NumberPrecision::Double);
    const auto fill = [&row](int64_t k, int64_t r, double x) {
        if (!row.empty()) std::fill_n(row.begin() + static_cast<std::ptrdiff_t>(k), static_cast<size_t>(r), x);
    };
    while (count < limit) {
        if (!reader.Next(fill, notes)) return 0;
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

std::string MvReadReport(const MvReadNotes& notes, int32_t m, int32_t n)
{
    return NumberReadQuestion(notes, m == 1 ? NumberUnit::Value : NumberUnit::Vector, n, "vector",
                              " of " + IntText(m) + " numbers");
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
        if (notes.stopLine > 0)
            message += " " + NumberFaultSentence(notes.stopLine, notes.fault, m == 1 ? NumberUnit::Value : NumberUnit::Vector);
    } else {
        message = MvReadReport(notes, m, n);
    }
    return std::max(n, 0);
}

int32_t MultivarPreviewTexts(const MvTableFile& file, int32_t m, std::string& first, std::string& last)
{
    // A preview of another m would show what this one does not read.
    first = "No vector of " + IntText(m) + " numbers can be read from the file.";
    last.clear();
    // No table of more numbers than the largest is read, so none is previewed either.
    if (m < 1 || m > file.numbers || m > kMvMaxTableValues) return 0;
    std::string firstText, lastText;
    NumberVectorReader reader(file.records, m, NumberPrecision::Double);
    int32_t read = 0;
    for (; read < 5; ++read) {
        double a = 0.0, b = 0.0;
        const bool complete = reader.Next(
            [&](int64_t k, int64_t r, double x) {
                if (k == 0) a = x;
                if (k <= m - 1 && m - 1 < k + r) b = x;
            },
            nullptr);
        if (!complete) break;
        firstText += "  " + SignificantText(a, 5) + ",";
        lastText += "  " + SignificantText(b, 5) + ",";
    }
    if (read == 0) return 0;
    first = firstText + "  etc ...";
    last = lastText + "  etc ... ";
    return 1;
}
