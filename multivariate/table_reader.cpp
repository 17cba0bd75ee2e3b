#include "multivariate/table_reader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"
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
        repeat = std::min(repeat * 10 + (token[k] - '0'), kManyNumbers);
    }
    value = token.substr(star + 1);
    return repeat;
}

// Reads one vector of m numbers from record `record` on, as one free-format read: `store`(k, x)
// gets its k-th number (0-based). Returns true for a complete vector, with `record` after the
// last line it used; false at the end of the file or at an item that ends the table.
template <typename Store>
bool ReadVector(const MvTableFile& file, size_t& record, int32_t m, Store store)
{
    int64_t have = 0;
    while (record < file.records.size()) {
        const std::string_view line = file.records[record++];
        size_t i = 0;
        for (;;) {
            while (i < line.size() && IsBlank(line[i])) ++i;
            if (i == line.size()) break;
            // A slash or a null value before the m-th number leaves the vector incomplete.
            if (line[i] == '/' || line[i] == ',') return false;
            const size_t start = i;
            while (i < line.size() && !IsSeparator(line[i])) ++i;
            std::string_view text;
            const int64_t repeat = RepeatOf(line.substr(start, i - start), text);
            double x = 0.0;
            if (repeat < 1 || text.empty() || ReadFreeReals(text, 1, &x) != 1 || !std::isfinite(x)) return false;
            for (int64_t r = 0; r < repeat && have < m; ++r) store(have++, x);
            if (have == m) return true;
            while (i < line.size() && IsBlank(line[i])) ++i;
            if (i < line.size() && line[i] == ',') ++i;
        }
    }
    return false;
}

// An upper bound of the numbers in the lines: every item counts, "r*v" r times.
int64_t CountItems(const std::vector<std::string>& records)
{
    int64_t count = 0;
    for (const std::string& line : records) {
        size_t i = 0;
        while (i < line.size()) {
            if (IsSeparator(line[i])) {
                ++i;
                continue;
            }
            const size_t start = i;
            while (i < line.size() && !IsSeparator(line[i])) ++i;
            std::string_view value;
            count = std::min(count + std::max<int64_t>(1, RepeatOf(std::string_view(line).substr(start, i - start), value)),
                             kManyNumbers);
        }
    }
    return count;
}

}  // namespace

MvTableFile MvTableFromText(std::string_view text)
{
    MvTableFile file;
    file.records = SplitRecords(text);
    file.numbers = CountItems(file.records);
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
                            int32_t mode)
{
    int32_t limit = count;
    count = 0;
    if (m < 1 || m > file.numbers) return 0;
    const size_t rows = static_cast<size_t>(m);
    if (mode == 1) limit = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(std::max(limit, 0)), table.size() / rows));
    std::vector<double> row(rows);
    size_t record = 0;
    while (mode == 0 || count < limit) {
        if (count == std::numeric_limits<int32_t>::max()) return 1;
        if (!ReadVector(file, record, m, [&row](int64_t k, double x) { row[static_cast<size_t>(k)] = x; })) return 0;
        if (mode == 1) std::copy(row.begin(), row.end(), table.begin() + static_cast<std::ptrdiff_t>(count * rows));
        ++count;
    }
    return 1;
}

int32_t MultivarReadTable(const MvTableFile& file, int32_t m, std::vector<double>& table)
{
    table.clear();
    int32_t count = 0;
    MultivarReadColumns(file, table, m, count, 0);
    if (count == 0) return 0;
    table.assign(static_cast<size_t>(count) * static_cast<size_t>(m), 0.0);
    MultivarReadColumns(file, table, m, count, 1);
    return count;
}

int32_t MultivarPreviewTexts(const MvTableFile& file, int32_t m, std::string& first, std::string& last)
{
    if (m < 1 || m > file.numbers) return 0;
    std::string firstText, lastText;
    size_t record = 0;
    int32_t read = 0;
    for (; read < 5; ++read) {
        double a = 0.0, b = 0.0;
        const bool complete = ReadVector(file, record, m, [&](int64_t k, double x) {
            if (k == 0) a = x;
            if (k == m - 1) b = x;
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
