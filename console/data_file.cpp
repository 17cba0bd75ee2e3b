#include "console/data_file.h"

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <new>
#include <system_error>

namespace {

// Halfway between the largest float and 2^128: from there on a float rounds to infinity.
constexpr double kFloatOverflow = 0x1.ffffffp127;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlankRecord(std::string_view record)
{
    for (char c : record)
        if (!IsSpace(c))
            return false;
    return true;
}

// Digits from `at` on; returns the position after them.
size_t SkipDigits(std::string_view text, size_t at)
{
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at;
}

// [sign] digits "," digits [exponent]: a number written with a decimal comma.
bool IsDecimalComma(std::string_view word)
{
    size_t k = !word.empty() && (word[0] == '+' || word[0] == '-') ? 1 : 0;
    size_t end = SkipDigits(word, k);
    if (end == k || end == word.size() || word[end] != ',')
        return false;
    k = end + 1;
    end = SkipDigits(word, k);
    if (end == k)
        return false;
    if (end < word.size()) {
        const char e = word[end];
        if (e != 'e' && e != 'E' && e != 'd' && e != 'D')
            return false;
        k = end + 1;
        if (k < word.size() && (word[k] == '+' || word[k] == '-'))
            ++k;
        end = SkipDigits(word, k);
        if (end == k)
            return false;
    }
    return end == word.size();
}

// [sign] digits [. digits] [exponent], or with the digits after the point only: the shape of a
// number, which free format refuses only when it lies beyond the range of doubles.
bool HasNumberShape(std::string_view token)
{
    size_t k = !token.empty() && (token[0] == '+' || token[0] == '-') ? 1 : 0;
    const size_t whole = SkipDigits(token, k);
    bool digits = whole > k;
    k = whole;
    const bool point = k < token.size() && token[k] == '.';
    if (point) {
        const size_t fraction = SkipDigits(token, k + 1);
        digits = digits || fraction > k + 1;
        k = fraction;
    }
    if (!digits)
        return false;
    if (k == token.size())
        return true;
    // An exponent: a letter, a sign or both, then digits; a sign alone only after a point, as
    // free format reads it ("1990-01" is a date, not a number too large).
    const bool letter = token[k] == 'e' || token[k] == 'E' || token[k] == 'd' || token[k] == 'D';
    if (letter)
        ++k;
    else if (!point)
        return false;
    if (k < token.size() && (token[k] == '+' || token[k] == '-'))
        ++k;
    const size_t end = SkipDigits(token, k);
    return end > k && end == token.size();
}

// One value item (no repeat count) as a single-precision number.
DataFault ParseValue(std::string_view token, float& value)
{
    for (char c : token) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127)
            return DataFault::NotText;
    }
    double x = 0.0;
    if (token.find('*') != std::string_view::npos || ReadFreeReals(token, 1, &x) != 1)
        return HasNumberShape(token) ? DataFault::TooLarge : DataFault::Text;
    if (!std::isfinite(x))
        return DataFault::NotFinite;
    if (std::fabs(x) >= kFloatOverflow)
        return DataFault::TooLarge;
    value = static_cast<float>(x);
    return DataFault::None;
}

bool IsItemEnd(char c)
{
    return IsSpace(c) || c == ',' || c == '/';
}

// The items of a record up to a slash (which ends a free-format record), parted by blanks and
// commas, empty ones left out; `each` sees every one.
template <typename Each>
void ForEachItem(std::string_view record, Each each)
{
    size_t i = 0;
    const size_t n = record.size();
    while (i < n && record[i] != '/') {
        if (IsItemEnd(record[i])) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < n && !IsItemEnd(record[i]))
            ++i;
        each(record.substr(start, i - start));
    }
}

// The repeat count r of an item "r*c", read up to `cap` (more is told as `cap`, so that a long
// count cannot wrap round); 0 for an item that is not of that form or has no digits before "*".
long long RepeatCount(std::string_view item, long long cap)
{
    const size_t star = item.find('*');
    if (star == std::string_view::npos || star == 0)
        return 0;
    long long repeat = 0;
    for (size_t k = 0; k < star; ++k) {
        if (!IsDigit(item[k]))
            return 0;
        repeat = std::min<long long>(repeat * 10 + (item[k] - '0'), cap);
    }
    return repeat;
}

// Whether the comma at `at` stands between two digits, where it may be a decimal comma.
bool IsDigitComma(std::string_view record, size_t at)
{
    return at > 0 && at + 1 < record.size() && record[at] == ',' && IsDigit(record[at - 1]) && IsDigit(record[at + 1]);
}

// Whether the commas of a record between two digits are decimal commas: they are when reading
// them as separators does not give the `needed` values its vector still takes and reading each
// word of decimal-comma shape as one number does. A repeat "r*c" gives r values.
bool HoldsDecimalCommas(std::string_view record, int needed)
{
    const std::string_view items = record.substr(0, std::min(record.find('/'), record.size()));
    long long decimalWords = 0;
    size_t i = 0;
    while (i < items.size()) {
        if (IsSpace(items[i]) || (items[i] == ',' && !IsDigitComma(items, i))) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < items.size() && !IsSpace(items[i]) && (items[i] != ',' || IsDigitComma(items, i)))
            ++i;
        if (IsDecimalComma(items.substr(start, i - start)))
            ++decimalWords;
    }
    if (decimalWords == 0)
        return false;
    // A word of decimal-comma shape is two values when its comma parts them and one when it is
    // read as a point. A repeat is counted up to one more than the vector needs: a larger one
    // fits neither reading.
    long long separated = 0;
    ForEachItem(items, [&](std::string_view item) {
        const long long repeat = RepeatCount(item, static_cast<long long>(needed) + 1);
        separated += repeat > 0 ? repeat : 1;
    });
    // When parting gives `needed`, the point reading gives fewer: the commas part items then.
    return separated - decimalWords == needed;
}

// What reading one record gave besides its values.
struct RecordRead {
    DataFault fault = DataFault::None;
    long long itemsNotRead = 0;  // items after the vector was complete; a repeat not used up
};

// Reads values of one record into values[have .. m - 1] as a free-format read does, stopping
// when the vector is complete (the rest of the record is left, and its items counted) or the
// record ends (the vector goes on in the next record). Its fault is that of the item where it
// stopped, or None.
RecordRead ReadRecordItems(std::string_view record, int m, int& have, float* values)
{
    RecordRead result;
    if (HoldsDecimalCommas(record, m - have)) {
        result.fault = DataFault::DecimalComma;
        return result;
    }
    size_t i = 0;
    const size_t n = record.size();
    while (have < m) {
        while (i < n && IsSpace(record[i]))
            ++i;
        if (i == n)
            return result;
        if (record[i] == ',' || record[i] == '/') {
            result.fault = DataFault::EmptyItem;
            return result;
        }
        const size_t start = i;
        while (i < n && !IsItemEnd(record[i]))
            ++i;
        std::string_view token = record.substr(start, i - start);
        long long repeat = 1;
        const size_t star = token.find('*');
        if (star != std::string_view::npos) {
            // One more than the vector can take tells a repeat that is not used up.
            repeat = RepeatCount(token, static_cast<long long>(m) + 1);
            if (repeat < 1) {
                result.fault = DataFault::Text;
                return result;
            }
            token.remove_prefix(star + 1);
            // "r*" stands for r empty items.
            if (token.empty()) {
                result.fault = DataFault::EmptyItem;
                return result;
            }
        }
        float value = 0.0f;
        result.fault = ParseValue(token, value);
        if (result.fault != DataFault::None)
            return result;
        long long r = 0;
        for (; r < repeat && have < m; ++r)
            values[have++] = value;
        if (r < repeat)
            ++result.itemsNotRead;
        // The separator after an item: blanks with at most one comma among them.
        while (i < n && IsSpace(record[i]))
            ++i;
        if (i < n && record[i] == ',')
            ++i;
    }
    ForEachItem(record.substr(i), [&](std::string_view) { ++result.itemsNotRead; });
    return result;
}

}  // namespace

bool DataFaultRefuses(DataFault fault)
{
    return fault == DataFault::DecimalComma || fault == DataFault::EmptyItem;
}

DataFileRead ReadDataRecords(const std::vector<std::string>& records, int m, int limit)
{
    DataFileRead read;
    if (m < 1 || limit < 0)
        return read;
    std::vector<float> vector(static_cast<size_t>(m));
    size_t next = 0;
    for (;;) {
        // The rules are told for the vectors kept. Once a complete vector has followed the limit,
        // vectors are only counted, up to the first item that would end the data.
        const bool kept = read.count < limit;
        int have = 0;
        size_t begun = 0;
        while (have < m && next < records.size()) {
            const std::string& record = records[next++];
            if (IsBlankRecord(record))
                continue;
            const bool begins = have == 0;
            if (begins)
                begun = next;
            const RecordRead line = ReadRecordItems(record, m, have, vector.data());
            if (line.fault != DataFault::None) {
                if (!read.more) {
                    read.stopLine = static_cast<int>(next);
                    read.fault = line.fault;
                }
                return read;
            }
            if (!kept)
                continue;
            if (line.itemsNotRead > 0) {
                if (read.longLine == 0)
                    read.longLine = static_cast<int>(next);
                read.itemsNotRead += line.itemsNotRead;
            }
            if (begins && have < m && read.shortLine == 0)
                read.shortLine = static_cast<int>(next);
        }
        if (have < m) {
            if (have > 0 && !read.more) {
                read.stopLine = static_cast<int>(begun);
                read.fault = DataFault::Incomplete;
            }
            return read;
        }
        if (read.total < INT_MAX)
            ++read.total;
        if (!kept) {
            read.more = true;
            continue;
        }
        read.values.insert(read.values.end(), vector.begin(), vector.end());
        ++read.count;
    }
}

DataFileRead ReadDataText(std::string_view text, int m, int limit)
{
    const std::vector<std::string> records = SplitRecords(text);
    DataFileRead read = ReadDataRecords(records, m, limit);
    const size_t mark = text.find('\x1A');
    if (mark == std::string_view::npos || read.more ||
        (read.fault != DataFault::None && read.fault != DataFault::Incomplete))
        return read;
    // A mark at the very end, or one that no number follows (padding, an editor's leftovers),
    // ends the file as it always did.
    const std::string_view after = text.substr(mark);
    if (std::none_of(after.begin(), after.end(), IsDigit))
        return read;
    const std::string_view before = text.substr(0, mark);
    const bool atLineStart = before.empty() || before.back() == '\n' || before.back() == '\r';
    const size_t line = SplitRecords(before).size() + (atLineStart ? 1 : 0);
    read.stopLine = static_cast<int>(std::clamp<size_t>(line, 1, INT_MAX));
    read.fault = DataFault::EndMark;
    return read;
}

int ReadDataFile(const std::string& name, int m, int limit, DataFileRead& read)
{
    read = DataFileRead();
    try {
        std::vector<unsigned char> bytes;
        std::error_code error;
        if (name.empty() || std::filesystem::is_directory(std::filesystem::u8path(name), error) ||
            ReadFileBytes(name, bytes) != 1)
            return 0;
        read = ReadDataText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), m, limit);
    } catch (const std::bad_alloc&) {
        read = DataFileRead();
        return 0;
    }
    return 1;
}

DataFault FirstItemFault(std::string_view record)
{
    int have = 0;
    float value = 0.0f;
    const DataFault fault = ReadRecordItems(record, 1, have, &value).fault;
    return DataFaultRefuses(fault) ? fault : DataFault::None;
}

const char* DataFaultText(DataFault fault)
{
    switch (fault) {
    case DataFault::Text:
        return "holds text where a number should stand";
    case DataFault::NotText:
        return "holds a control character where a number should stand";
    case DataFault::NotFinite:
        return "holds a value that is not a finite number";
    case DataFault::TooLarge:
        return "holds a number beyond the single-precision range";
    case DataFault::Incomplete:
        return "begins a vector that the file does not complete";
    case DataFault::DecimalComma:
        return "holds a number with a decimal comma";
    case DataFault::EmptyItem:
        return "holds an empty item (a lone comma or slash)";
    case DataFault::EndMark:
        return "holds an end-of-file mark (Ctrl-Z) with more after it";
    default:
        return "";
    }
}

std::string DataFileProblem(const DataFileRead& read)
{
    if (read.stopLine == 0)
        return "It holds no numbers.";
    return "Line " + std::to_string(read.stopLine) + " " + DataFaultText(read.fault) + ".";
}

std::vector<std::string> DataStopLines(const DataFileRead& read, const std::string& unit)
{
    if (read.stopLine == 0)
        return {};
    const std::string kept = read.count == 1 ? "the " + unit + " before it was kept."
                                             : "the " + std::to_string(read.count) + " " + unit + "s before it were kept.";
    return {DataFileProblem(read), "Reading stopped there; " + kept};
}

std::vector<std::string> DataReadLines(const DataFileRead& read, const std::string& unit)
{
    std::vector<std::string> lines;
    if (read.longLine > 0) {
        lines.push_back("Line " + std::to_string(read.longLine) +
                        (unit == "value" ? " holds more than one item." : " holds more items than a " + unit + " takes."));
        lines.push_back("The rest of such lines was not read: " + std::to_string(read.itemsNotRead) +
                        (read.itemsNotRead == 1 ? " item in all." : " items in all."));
    }
    // An incomplete vector's first line is told where reading stopped.
    if (read.shortLine > 0 && !(read.fault == DataFault::Incomplete && read.stopLine == read.shortLine)) {
        lines.push_back("Line " + std::to_string(read.shortLine) + " holds fewer items than a " + unit + " takes:");
        lines.push_back("a " + unit + " goes on in the lines that follow.");
    }
    for (std::string& stop : DataStopLines(read, unit))
        lines.push_back(std::move(stop));
    return lines;
}

bool IsSameFile(const std::string& name, const std::string& path)
{
    std::error_code error;
    return !name.empty() && !path.empty() &&
           std::filesystem::equivalent(std::filesystem::u8path(name), std::filesystem::u8path(path), error) && !error;
}

std::string DataFilePath(const std::string& name)
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(std::filesystem::u8path(name), error);
    return error ? name : path.u8string();
}
