#include "console/data_file.h"

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"

#include <algorithm>
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

// Reads values of one record into values[have .. m - 1] as a free-format read does, stopping
// when the vector is complete (the rest of the record is ignored) or the record ends (the vector
// goes on in the next record). Returns the fault of the item where it stopped, or None.
DataFault ReadRecordItems(std::string_view record, int m, int& have, float* values)
{
    size_t i = 0;
    const size_t n = record.size();
    while (have < m) {
        while (i < n && IsSpace(record[i]))
            ++i;
        if (i == n)
            return DataFault::None;
        if (record[i] == ',' || record[i] == '/')
            return DataFault::EmptyItem;
        const size_t start = i;
        while (i < n && !IsSpace(record[i]) && record[i] != ',' && record[i] != '/')
            ++i;
        // The word up to the next blank; an item that follows a comma belongs to a list of
        // numbers parted by commas, never to the second half of a decimal comma.
        size_t wordEnd = i;
        while (wordEnd < n && !IsSpace(record[wordEnd]))
            ++wordEnd;
        const bool afterComma = start > 0 && record[start - 1] == ',';
        if (!afterComma && IsDecimalComma(record.substr(start, wordEnd - start)))
            return DataFault::DecimalComma;
        std::string_view token = record.substr(start, i - start);
        long long repeat = 1;
        const size_t star = token.find('*');
        if (star != std::string_view::npos) {
            repeat = 0;
            for (size_t k = 0; k < star; ++k) {
                if (!IsDigit(token[k]))
                    return DataFault::Text;
                repeat = std::min<long long>(repeat * 10 + (token[k] - '0'), m);
            }
            if (star == 0 || repeat < 1)
                return DataFault::Text;
            token.remove_prefix(star + 1);
            // "r*" stands for r empty items.
            if (token.empty())
                return DataFault::EmptyItem;
        }
        float value = 0.0f;
        const DataFault fault = ParseValue(token, value);
        if (fault != DataFault::None)
            return fault;
        for (long long r = 0; r < repeat && have < m; ++r)
            values[have++] = value;
        // The separator after an item: blanks with at most one comma among them.
        while (i < n && IsSpace(record[i]))
            ++i;
        if (i < n && record[i] == ',')
            ++i;
    }
    return DataFault::None;
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
        int have = 0;
        size_t begun = 0;
        while (have < m && next < records.size()) {
            const std::string& record = records[next++];
            if (IsBlankRecord(record))
                continue;
            if (have == 0)
                begun = next;
            const DataFault fault = ReadRecordItems(record, m, have, vector.data());
            if (fault != DataFault::None) {
                read.stopLine = static_cast<int>(next);
                read.fault = fault;
                return read;
            }
        }
        if (have < m) {
            if (have > 0) {
                read.stopLine = static_cast<int>(begun);
                read.fault = DataFault::Incomplete;
            }
            return read;
        }
        if (read.count == limit) {
            read.more = true;
            return read;
        }
        read.values.insert(read.values.end(), vector.begin(), vector.end());
        ++read.count;
    }
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
        const std::vector<std::string> records =
            SplitRecords(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        bytes = std::vector<unsigned char>();
        read = ReadDataRecords(records, m, limit);
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
    const DataFault fault = ReadRecordItems(record, 1, have, &value);
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
